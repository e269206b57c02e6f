#include "database/SqlDialect.h"

#include "database/IDBTable.h"

QString SqlDialect::busyText()
{
    return QStringLiteral("база данных занята другой программой");
}

QString SqlDialect::diskFullText()
{
    return QStringLiteral("диск заполнен");
}

const SqlDialect& SqlDialect::sqlite()
{
    static const SqlDialect dialect;
    return dialect;
}

QString SqlDialect::driverName() const
{
    return QStringLiteral("QSQLITE");
}

QString SqlDialect::autoIncrementKeyType() const
{
    return IDBTable::autoIncrementKeyType();
}

QString SqlDialect::plainKeyType() const
{
    return IDBTable::plainKeyType();
}

QString SqlDialect::timestampType() const
{
    return IDBTable::timestampType();
}

QString SqlDialect::createTableStatement(const QString& table, const QStringList& items) const
{
    return IDBTable::createTableStatement(table, items);
}

QString SqlDialect::createIndexStatement(const QString& name, const QString& table, const QStringList& columns,
                                         bool unique) const
{
    if (!unique)
        return IDBTable::createIndexStatement(name, table, columns);
    return QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (%3);").arg(name, table, columns.join(QLatin1Char(',')));
}

QString SqlDialect::dateTimeValueOf(const QString& seconds) const
{
    return IDBTable::dateTimeValueOf(seconds);
}

QString SqlDialect::dateTimeValue(const QDateTime& value) const
{
    return dateTimeValueOf(QString::number(IDBTable::epochSeconds(value)));
}

QString SqlDialect::dateTimeText(const QString& column) const
{
    return IDBTable::dateTimeText(column);
}

QString SqlDialect::quotedLabel(const QString& name) const
{
    return IDBTable::quoted(name);
}

QString SqlDialect::pivotColumn(const QString& keyTable, const QString& keyColumn, const QString& valueTable,
                                const QString& valueColumn, const QString& keyValue) const
{
    return IDBTable::pivotColumn(keyTable, keyColumn, valueTable, valueColumn, keyValue);
}

QString SqlDialect::groupedSelectStatement(const QStringList& columns, const QString& table, const QString& join,
                                           const QStringList& conditions, const QStringList& groupBy,
                                           const QStringList&) const
{
    return IDBTable::selectGroupedStatement(columns, table, join, conditions, groupBy);
}

QString SqlDialect::listStatement(const QStringList&, const QString& table, const QStringList& conditions,
                                  const QString& key) const
{
    return IDBTable::selectGroupedStatement({}, table, QString(), conditions, {key});
}

QString SqlDialect::maxStatement(const QString& column, const QString& table) const
{
    return IDBTable::maxStatement(column, table);
}

QString SqlDialect::minStatement(const QString& column, const QString& table) const
{
    return IDBTable::minStatement(column, table);
}

QString SqlDialect::insertStatement(const QString& table, const QStringList& columns, const QStringList& values,
                                    const QString&, const QString&) const
{
    // One writer: the lookups before an insert are enough to keep texts single.
    return IDBTable::insertStatement(table, columns, values);
}

QString SqlDialect::lastInsertIdStatement() const
{
    return IDBTable::lastInsertIdStatement();
}

QString SqlDialect::copyStatement(const QString&, const QStringList&) const
{
    return QString();
}

QString SqlDialect::deleteOrphansStatement(const QString& table, const QString& key,
                                           const QString& referencingTable) const
{
    return IDBTable::deleteOrphansStatement(table, key, referencingTable);
}

QString SqlDialect::vacuumStatement() const
{
    return QStringLiteral("VACUUM;");
}

QString SqlDialect::loadLockStatement(int) const
{
    return QString();
}

QString SqlDialect::failureReason(const QString&, const QString&) const
{
    return QString();
}

QString SqlDialect::conditionText(const QString& nativeErrorCode) const
{
    // SQLite's primary result codes (the extended ones carry them in their low byte).
    bool ok = false;
    const int code = nativeErrorCode.toInt(&ok) & 0xff;
    if (!ok)
        return QString();
    switch (code) {
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
        return busyText();
    case 13: // SQLITE_FULL
        return diskFullText();
    default:
        return QString();
    }
}
