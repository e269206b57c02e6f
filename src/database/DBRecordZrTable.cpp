#include "database/DBRecordZrTable.h"

#include "database/NaturalOrder.h"

#include <QDate>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

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
    QStringList items = {
        columnDefinition(QStringLiteral("idRecord"), dialect().wideAutoIncrementKeyType()),
        columnDefinition(dateTime, dialect().timestampType()),
        columnDefinition(value, QStringLiteral("FLOAT")),
        columnDefinition(idUnit, integer),
        columnDefinition(idTypeChannel, integer),
        columnDefinition(idDevice, integer),
        columnDefinition(idNote, integer),
    };
    // SQLite only declares the foreign keys. A server would check each of
    // them for every value loaded, which costs more than half the load; there
    // the lookups, the orphan removal and the locks that keep a delete apart
    // from every load keep the tables consistent, as they do here.
    if (!dialect().isShared())
        items << foreignKey(idUnit, QStringLiteral("UNIT"), idUnit)
              << foreignKey(idTypeChannel, QStringLiteral("TYPE_CHANNEL"), idTypeChannel)
              << foreignKey(idDevice, QStringLiteral("TYPE_DEVICE"), idDevice)
              << foreignKey(idNote, QStringLiteral("NOTES"), idNote);
    return dialect().createTableStatement(tableName(), items);
}

QStringList DBRecordZrTable::createIndexQueries() const
{
    if (!dialect().isShared())
        return {dialect().createIndexStatement(QStringLiteral("RECORD_ZR_DEVICE_TIME"), tableName(), {idDevice, dateTime})};
    // On a server one value per channel, instrument and time stamp is a rule
    // that holds whoever loads; the orphan removal finds units and channels
    // through the other two.
    return {
        dialect().createIndexStatement(QStringLiteral("RECORD_ZR_DEVICE_TIME_CHANNEL"), tableName(),
                                       {idDevice, dateTime, idTypeChannel}, true),
        dialect().createIndexStatement(QStringLiteral("RECORD_ZR_UNIT"), tableName(), {idUnit}),
        dialect().createIndexStatement(QStringLiteral("RECORD_ZR_CHANNEL"), tableName(), {idTypeChannel}),
    };
}

QString DBRecordZrTable::selectIdQuery(const DBParameters& p) const
{
    const QString eq = QStringLiteral("=");
    return selectStatement({QStringLiteral("idRecord")}, tableName(), {
        timeCondition(dateTime, eq, p.value(dateTime).toDateTime()),
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
    return dialect().insertStatement(tableName(), insertColumns, {
        dialect().dateTimeValue(p.value(dateTime).toDateTime()),
        number(p.value(value).toFloat()),
        number(p.value(idUnit).toInt()),
        number(p.value(idTypeChannel).toInt()),
        number(p.value(idDevice).toInt()),
    }, QStringLiteral("idRecord"), QString());
}

QString DBRecordZrTable::insertBoundQuery() const
{
    const QString bound = QStringLiteral("?");
    return insertStatement(tableName(), insertColumns, {dialect().dateTimeValueOf(bound), bound, bound, bound, bound});
}

namespace {

void writeInteger(QByteArray& text, qint64 number)
{
    char digits[24];
    text.append(digits, int(std::to_chars(digits, digits + sizeof digits, number).ptr - digits));
}

} // namespace

QString DBRecordZrTable::copyRowsQuery() const
{
    return dialect().copyStatement(tableName(), insertColumns);
}

void DBRecordZrTable::appendCopyRow(QByteArray& data, qint64 seconds, float value, int unit, int channel, int device)
{
    // The time stamp as UTC wall-clock text, the form every date style reads.
    const qint64 days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const int inDay = int(seconds - days * 86400);
    const QDate date = QDate::fromJulianDay(2440588 + days);
    char time[32];
    data.append(time, std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d\t", date.year(), date.month(),
                                    date.day(), inDay / 3600, inDay / 60 % 60, inDay % 60));
    // The shortest text that reads back as the same float: the value the
    // embedded archive stores as well. SQLite keeps no NaN; neither do we.
    if (std::isnan(value)) {
        data += "\\N";
    } else if (std::isinf(value)) {
        data += value < 0 ? "-Infinity" : "Infinity";
    } else {
        char digits[32];
        data.append(digits, int(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
    }
    for (const int key : {unit, channel, device}) {
        data += '\t';
        writeInteger(data, key);
    }
    data += '\n';
}

QString DBRecordZrTable::selectQuery(const DBParameters& p) const
{
    QStringList columns = {dialect().dateTimeText(dateTime) + QStringLiteral(" as ") + dialect().label(QStringLiteral("Дата"))};
    QStringList channels;
    for (const QVariant& name : p.values(QStringLiteral("nameChannel")))
        channels << name.toString();
    std::sort(channels.begin(), channels.end(), naturalLessThan);
    for (const QString& channel : channels)
        columns << dialect().pivotColumn(QStringLiteral("TYPE_CHANNEL"), QStringLiteral("nameChannel"),
                                         QStringLiteral("UNIT"), QStringLiteral("unit"), channel);
    columns << QStringLiteral("idDevice as ") + dialect().quotedLabel(QStringLiteral("№ прибора"));

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
        conditions << timeCondition(dateTime, QStringLiteral(">="), period.at(0));
        conditions << timeCondition(dateTime, QStringLiteral("<="), period.at(1));
    }
    // Per instrument, each by time: the order the instrument-and-time index gives.
    return dialect().groupedSelectStatement(columns, tableName(), join, conditions, {dateTime, idDevice},
                                            {idDevice, dateTime});
}

QString DBRecordZrTable::maxQuery(const QString& column) const
{
    return dialect().maxStatement(column, tableName());
}

QString DBRecordZrTable::minQuery(const QString& column) const
{
    return dialect().minStatement(column, tableName());
}

QString DBRecordZrTable::deleteQuery(const DBParameters& p) const
{
    QStringList conditions;
    for (const QVariant& time : p.values(dateTime))
        conditions << timeCondition(dateTime, QStringLiteral("="), time.toDateTime());
    const QVariantList devices = p.values(idDevice);
    if (!devices.isEmpty())
        conditions << orCondition(devices, idDevice);
    // A selection shows only some channels and units; the values it hides
    // at that instant are not the user's to lose.
    for (const QString& key : {idTypeChannel, idUnit}) {
        const QVariantList keys = p.values(key);
        if (!keys.isEmpty())
            conditions << orCondition(keys, key);
    }
    return deleteStatement(tableName(), conditions);
}
