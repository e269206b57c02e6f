#include "database/DBLogSourceTable.h"

#include <algorithm>

namespace {
const QString idSource = QStringLiteral("idSource");
const QString idDevice = QStringLiteral("idDevice");
const QString typeDevice = QStringLiteral("typeDevice");
const QString fileName = QStringLiteral("fileName");
const QString sha256 = QStringLiteral("sha256");
const QString downloaded = QStringLiteral("downloaded");
const QString firmware = QStringLiteral("firmware");
const QString settingsHex = QStringLiteral("settingsHex");
const QString recordCheck = QStringLiteral("recordCheck");
const QString loaded = QStringLiteral("loaded");
const QString firstTime = QStringLiteral("firstTime");
const QString lastTime = QStringLiteral("lastTime");
const QString valuesStored = QStringLiteral("valuesStored");
const QString period = QStringLiteral("DateTime");
} // namespace

QString DBLogSourceTable::createTableQuery() const
{
    const QString text = QStringLiteral("TEXT");
    return dialect().createTableStatement(
        tableName(), {columnDefinition(idSource, dialect().autoIncrementKeyType()),
                      columnDefinition(idDevice, QStringLiteral("BIGINT")), columnDefinition(typeDevice, text),
                      columnDefinition(fileName, text), columnDefinition(sha256, text),
                      columnDefinition(downloaded, text), columnDefinition(firmware, text),
                      columnDefinition(settingsHex, text), columnDefinition(recordCheck, text),
                      columnDefinition(loaded, dialect().timestampType()),
                      columnDefinition(firstTime, dialect().timestampType()),
                      columnDefinition(lastTime, dialect().timestampType()),
                      columnDefinition(valuesStored, QStringLiteral("INTEGER"))});
}

QStringList DBLogSourceTable::createIndexQueries() const
{
    return {dialect().createIndexStatement(QStringLiteral("LOG_SOURCE_HASH"), tableName(), {idDevice, sha256})};
}

QString DBLogSourceTable::selectIdQuery(const DBParameters& parameters) const
{
    return selectStatement({idSource}, tableName(),
                           {condition(idDevice, QStringLiteral("="), parameters.value(idDevice).toUInt()),
                            condition(sha256, QStringLiteral("="), parameters.value(sha256).toString())});
}

QString DBLogSourceTable::insertQuery(const DBParameters& parameters) const
{
    if (!parameters.contains(idDevice) || !parameters.contains(sha256))
        return QString();
    const auto text = [&](const QString& column) {
        const QVariant value = parameters.value(column);
        return value.isNull() ? QStringLiteral("NULL") : quoted(value.toString());
    };
    const auto time = [&](const QString& column) {
        const QDateTime value = parameters.value(column).toDateTime();
        return value.isValid() ? dialect().dateTimeValue(value) : QStringLiteral("NULL");
    };
    return dialect().insertStatement(
        tableName(),
        {idDevice, typeDevice, fileName, sha256, downloaded, firmware, settingsHex, recordCheck, loaded, firstTime,
         lastTime, valuesStored},
        {QString::number(parameters.value(idDevice).toUInt()), text(typeDevice), text(fileName), text(sha256),
         text(downloaded), text(firmware), text(settingsHex), text(recordCheck), time(loaded), time(firstTime),
         time(lastTime), number(parameters.value(valuesStored).toInt())},
        idSource, QString());
}

QString DBLogSourceTable::selectQuery(const DBParameters& parameters) const
{
    QStringList conditions;
    const QVariantList devices = parameters.values(idDevice);
    if (!devices.isEmpty()) {
        QStringList any;
        for (const QVariant& device : devices)
            any << condition(idDevice, QStringLiteral("="), device.toUInt());
        conditions << QStringLiteral("(") + any.join(QStringLiteral("OR ")) + QStringLiteral(")");
    }
    QList<QDateTime> limits;
    for (const QVariant& limit : parameters.values(period))
        if (limit.toDateTime().isValid())
            limits << limit.toDateTime();
    if (!limits.isEmpty()) {
        std::sort(limits.begin(), limits.end());
        // The logged span meets the period.
        conditions << timeCondition(lastTime, QStringLiteral(">="), limits.first())
                   << timeCondition(firstTime, QStringLiteral("<="), limits.last());
    }
    return selectStatement({fileName, idDevice, typeDevice, firmware, downloaded, sha256, recordCheck,
                            dialect().dateTimeText(firstTime), dialect().dateTimeText(lastTime), valuesStored,
                            settingsHex},
                           tableName(), conditions)
        + QStringLiteral("ORDER BY %1").arg(idSource);
}
