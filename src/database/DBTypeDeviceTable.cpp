#include "database/DBTypeDeviceTable.h"

namespace {
const QString table = QStringLiteral("TYPE_DEVICE");
const QString idDevice = QStringLiteral("idDevice");
const QString typeDevice = QStringLiteral("typeDevice");
const QString aliasDevice = QStringLiteral("aliasDevice");
} // namespace

QString DBTypeDeviceTable::createTableQuery() const
{
    return dialect().createTableStatement(table, {columnDefinition(idDevice, dialect().plainKeyType()),
                                                  columnDefinition(typeDevice, QStringLiteral("TEXT")),
                                                  columnDefinition(aliasDevice, QStringLiteral("TEXT"))});
}

QString DBTypeDeviceTable::selectIdQuery(const DBParameters& parameters) const
{
    return selectStatement({idDevice}, table,
                           {condition(idDevice, QStringLiteral("="), parameters.value(idDevice).toInt())});
}

QString DBTypeDeviceTable::insertQuery(const DBParameters& parameters) const
{
    if (!parameters.contains(idDevice) || !parameters.contains(typeDevice))
        return QString();
    // An instrument already stored keeps the type name it was stored with.
    return dialect().insertStatement(
        table, {idDevice, typeDevice},
        {number(parameters.value(idDevice).toInt()), quoted(parameters.value(typeDevice).toString())}, idDevice, idDevice);
}

QString DBTypeDeviceTable::selectQuery(const DBParameters& parameters) const
{
    QStringList conditions;
    for (const QString& column : {idDevice, typeDevice, aliasDevice}) {
        const QVariantList values = parameters.values(column);
        if (!values.isEmpty())
            conditions << orCondition(values, column);
    }
    return dialect().listStatement({idDevice, typeDevice, aliasDevice}, table, conditions, idDevice);
}

QString DBTypeDeviceTable::deleteOrphansQuery(const QString& referencingTable) const
{
    return dialect().deleteOrphansStatement(table, idDevice, referencingTable);
}
