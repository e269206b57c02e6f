#include "database/IDBTable.h"

// Every template is filled in one QString::arg call, so a marker that a
// substituted value happens to contain ("%2" in a unit text, "%d" in a
// strftime format) is never substituted again.

namespace {

QString decimal(double value)
{
    // QString::arg(double) defaults: 'g' with 6 significant digits.
    return QString::number(value, 'g', 6);
}

} // namespace

QString IDBTable::escaped(QString text)
{
    return text.replace(QLatin1Char('\''), QLatin1String("''"));
}

qint64 IDBTable::epochSeconds(const QDateTime& value)
{
    // An invalid time stamp names no stored second (it used to be the
    // unsigned -1 of toTime_t, which lies far after every stored time).
    return value.isValid() ? value.toSecsSinceEpoch() : qint64(0xFFFFFFFFu);
}

QString IDBTable::columnDefinition(const QString& name, const QString& type)
{
    return QStringLiteral("%1 %2").arg(name, type);
}

QString IDBTable::foreignKey(const QString& column, const QString& table, const QString& referencedColumn)
{
    return QStringLiteral("FOREIGN KEY(%1)REFERENCES %2(%3) ON DELETE CASCADE").arg(column, table, referencedColumn);
}

QString IDBTable::condition(const QString& column, const QString& op, const QString& text)
{
    return QStringLiteral("%1 %2 '%3'").arg(column, op, escaped(text));
}

QString IDBTable::condition(const QString& column, const QString& op, int value)
{
    return QStringLiteral("%1 %2 %3").arg(column, op, QString::number(value));
}

QString IDBTable::condition(const QString& column, const QString& op, unsigned int value)
{
    return QStringLiteral("%1 %2 %3").arg(column, op, QString::number(value));
}

QString IDBTable::condition(const QString& column, const QString& op, float value)
{
    return QStringLiteral("%1 %2 %3").arg(column, op, decimal(value));
}

QString IDBTable::condition(const QString& column, const QString& op, const QDateTime& value)
{
    return QStringLiteral("%1 %2 %3").arg(column, op, dateTimeValue(value));
}

QString IDBTable::timeCondition(const QString& column, const QString& op, const QDateTime& value) const
{
    return QStringLiteral("%1 %2 %3").arg(column, op, dialect().dateTimeValue(value));
}

QString IDBTable::orCondition(const QVariantList& values, const QString& column)
{
    QString text = QStringLiteral("(");
    for (const QVariant& value : values) {
        QString item;
        switch (value.userType()) {
        case QMetaType::UInt: item = condition(column, QStringLiteral("="), value.toUInt()); break;
        case QMetaType::QString: item = condition(column, QStringLiteral("="), value.toString()); break;
        case QMetaType::Int: item = condition(column, QStringLiteral("="), value.toInt()); break;
        default: continue;
        }
        text += QStringLiteral("%1 %2").arg(item, QStringLiteral("OR "));
    }
    text.chop(3);
    return text + QLatin1Char(')');
}

QString IDBTable::quoted(const QString& text)
{
    return QStringLiteral("'%1'").arg(escaped(text));
}

QString IDBTable::number(int value)
{
    return QString::number(value);
}

QString IDBTable::number(float value)
{
    return decimal(value);
}

QString IDBTable::dateTimeValue(const QDateTime& value)
{
    return dateTimeValueOf(QString::number(epochSeconds(value)));
}

QString IDBTable::dateTimeValueOf(const QString& seconds)
{
    return QStringLiteral("datetime( %1,'unixepoch')").arg(seconds);
}

QString IDBTable::dateTimeText(const QString& column)
{
    return QStringLiteral("strftime('%d.%m.%Y %H:%M:%S',%1)").arg(column);
}

QString IDBTable::innerJoin(const QString& table, const QString& baseTable, const QString& key)
{
    return QStringLiteral("  INNER JOIN %1 ON %2.%3 = %1.%3 ").arg(table, baseTable, key);
}

QString IDBTable::pivotColumn(const QString& keyTable, const QString& keyColumn, const QString& valueTable,
                              const QString& valueColumn, const QString& keyValue)
{
    return QStringLiteral("SUM(CASE WHEN %1.%2 == '%3' then round(Value,2)  else NULL END)  || ' '||  "
                          "MAX(CASE WHEN %1.%2 == '%3' then %4.%5  else NULL END ) AS '%3'")
        .arg(keyTable, keyColumn, escaped(keyValue), valueTable, valueColumn);
}

QString IDBTable::joinList(const QStringList& items)
{
    QString text;
    for (const QString& item : items)
        text += QStringLiteral("%1 %2").arg(item, QStringLiteral(","));
    text.chop(1);
    return text;
}

QString IDBTable::whereClause(const QStringList& conditions)
{
    if (conditions.isEmpty())
        return QString();
    QString text = QStringLiteral("WHERE ");
    for (const QString& item : conditions)
        text += QStringLiteral("%1 %2").arg(item, QStringLiteral("AND "));
    text.chop(4);
    return text;
}

QString IDBTable::createTableStatement(const QString& table, const QStringList& items)
{
    QString text = QStringLiteral("CREATE TABLE IF NOT EXISTS ") + table + QStringLiteral(" (");
    for (const QString& item : items)
        text += item + QLatin1Char(',');
    text.chop(1);
    return text + QStringLiteral(");");
}

QString IDBTable::createIndexStatement(const QString& name, const QString& table, const QStringList& columns)
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3);").arg(name, table, columns.join(QLatin1Char(',')));
}

QString IDBTable::selectStatement(const QStringList& columns, const QString& table, const QStringList& conditions)
{
    const QString columnText = columns.isEmpty() ? QStringLiteral("*") : joinList(columns);
    return QStringLiteral("SELECT %1 FROM %2 %3").arg(columnText, table, whereClause(conditions));
}

QString IDBTable::selectGroupedStatement(const QStringList& columns, const QString& table, const QString& join,
                                         const QStringList& conditions, const QStringList& groupBy)
{
    const QString columnText = columns.isEmpty() ? QStringLiteral("*") : joinList(columns);
    const QString groupText = groupBy.isEmpty() ? QString() : QStringLiteral("GROUP BY ") + joinList(groupBy);
    return QStringLiteral("SELECT %1 FROM %2 %3 %4 %5 ;")
        .arg(columnText, table, join, whereClause(conditions), groupText);
}

QString IDBTable::insertStatement(const QString& table, const QStringList& columns, const QStringList& values)
{
    const QString columnText = columns.isEmpty() ? QStringLiteral("*") : joinList(columns);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES(%3);").arg(table, columnText, joinList(values));
}

QString IDBTable::deleteStatement(const QString& table, const QStringList& conditions)
{
    return QStringLiteral("DELETE FROM %1 %2").arg(table, whereClause(conditions));
}

QString IDBTable::deleteOrphansStatement(const QString& table, const QString& key, const QString& referencingTable)
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 NOT IN (SELECT %2 from %3);").arg(table, key, referencingTable);
}

QString IDBTable::maxStatement(const QString& column, const QString& table)
{
    return QStringLiteral("SELECT max(%1) FROM %2").arg(column, table);
}

QString IDBTable::minStatement(const QString& column, const QString& table)
{
    return QStringLiteral("SELECT min(%1) FROM %2").arg(column, table);
}
