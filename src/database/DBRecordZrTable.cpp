#include "database/DBRecordZrTable.h"

#include "database/NaturalOrder.h"

#include <algorithm>

namespace {
const QString dateTime = QStringLiteral("DateTime");
const QString value = QStringLiteral("Value");
const QString idUnit = QStringLiteral("idUnit");
const QString idTypeChannel = QStringLiteral("idTypeChannel");
const QString idDevice = QStringLiteral("idDevice");
const QString idNote = QStringLiteral("idNote");
const QStringList insertColumns = {dateTime, value, idUnit, idTypeChannel, idDevice};
} // namespace

QString DBRecordZrTable::createTableQuery() const
{
    const QString integer = QStringLiteral("INTEGER");
    return createTableStatement(tableName(), {
        columnDefinition(QStringLiteral("idRecord"), autoIncrementKeyType()),
        columnDefinition(dateTime, timestampType()),
        columnDefinition(value, QStringLiteral("FLOAT")),
        columnDefinition(idUnit, integer),
        columnDefinition(idTypeChannel, integer),
        columnDefinition(idDevice, integer),
        columnDefinition(idNote, integer),
        foreignKey(idUnit, QStringLiteral("UNIT"), idUnit),
        foreignKey(idTypeChannel, QStringLiteral("TYPE_CHANNEL"), idTypeChannel),
        foreignKey(idDevice, QStringLiteral("TYPE_DEVICE"), idDevice),
        foreignKey(idNote, QStringLiteral("NOTES"), idNote),
    });
}

QStringList DBRecordZrTable::createIndexQueries() const
{
    return {createIndexStatement(QStringLiteral("RECORD_ZR_DEVICE_TIME"), tableName(), {idDevice, dateTime})};
}

QString DBRecordZrTable::selectIdQuery(const DBParameters& p) const
{
    const QString eq = QStringLiteral("=");
    return selectStatement({QStringLiteral("idRecord")}, tableName(), {
        condition(dateTime, eq, p.value(dateTime).toDateTime()),
        condition(value, eq, p.value(value).toFloat()),
        condition(idUnit, eq, p.value(idUnit).toInt()),
        condition(idTypeChannel, eq, p.value(idTypeChannel).toInt()),
        condition(idDevice, eq, p.value(idDevice).toInt()),
    });
}

QString DBRecordZrTable::insertQuery(const DBParameters& p) const
{
    for (const QString& column : insertColumns)
        if (!p.contains(column))
            return QString();
    return insertStatement(tableName(), insertColumns, {
        dateTimeValue(p.value(dateTime).toDateTime()),
        number(p.value(value).toFloat()),
        number(p.value(idUnit).toInt()),
        number(p.value(idTypeChannel).toInt()),
        number(p.value(idDevice).toInt()),
    });
}

QString DBRecordZrTable::insertBoundQuery() const
{
    const QString bound = QStringLiteral("?");
    return insertStatement(tableName(), insertColumns, {dateTimeValueOf(bound), bound, bound, bound, bound});
}

QString DBRecordZrTable::selectQuery(const DBParameters& p) const
{
    QStringList columns = {dateTimeText(dateTime) + QStringLiteral(" as Дата")};
    QStringList channels;
    for (const QVariant& name : p.values(QStringLiteral("nameChannel")))
        channels << name.toString();
    std::sort(channels.begin(), channels.end(), naturalLessThan);
    for (const QString& channel : channels)
        columns << pivotColumn(QStringLiteral("TYPE_CHANNEL"), QStringLiteral("nameChannel"), QStringLiteral("UNIT"),
                               QStringLiteral("unit"), channel);
    columns << QStringLiteral("idDevice as '№ прибора'");

    const QString join = innerJoin(QStringLiteral("TYPE_CHANNEL"), tableName(), idTypeChannel)
        + innerJoin(QStringLiteral("UNIT"), tableName(), idUnit);

    QStringList conditions;
    const QVariantList devices = p.values(idDevice);
    if (!devices.isEmpty())
        conditions << orCondition(devices, idDevice);
    const QVariantList units = p.values(QStringLiteral("unit"));
    if (!units.isEmpty())
        conditions << orCondition(units, QStringLiteral("unit"));
    QList<QDateTime> period;
    for (const QVariant& limit : p.values(dateTime))
        period << limit.toDateTime();
    if (period.size() > 1) {
        std::sort(period.begin(), period.end());
        conditions << condition(dateTime, QStringLiteral(">="), period.at(0));
        conditions << condition(dateTime, QStringLiteral("<="), period.at(1));
    }
    return selectGroupedStatement(columns, tableName(), join, conditions, {dateTime, idDevice});
}

QString DBRecordZrTable::maxQuery(const QString& column) const
{
    return maxStatement(column, tableName());
}

QString DBRecordZrTable::minQuery(const QString& column) const
{
    return minStatement(column, tableName());
}

QString DBRecordZrTable::deleteQuery(const DBParameters& p) const
{
    QStringList conditions;
    for (const QVariant& time : p.values(dateTime))
        conditions << condition(dateTime, QStringLiteral("="), time.toDateTime());
    const QVariantList devices = p.values(idDevice);
    if (!devices.isEmpty())
        conditions << orCondition(devices, idDevice);
    return deleteStatement(tableName(), conditions);
}
