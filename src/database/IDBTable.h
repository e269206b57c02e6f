#pragma once

#include "database/SqlDialect.h"

#include <QDateTime>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <QVariant>

using DBParameters = QMultiHash<QString, QVariant>;

// One table of the archive. A table class turns a request (a parameter hash
// whose keys are column names, a column name or a table name) into the text of
// one statement; it never runs SQL itself, DataBase does.
//
// Values are written into the text literally. Text values have their single
// quotes doubled, so a channel called "Канал 'А'" is stored and found again.
//
// The static builders produce SQLite's texts. The few pieces that are
// SQLite's own (key type texts, dateTimeValue, the pivot's strftime and
// lastInsertIdStatement) are kept apart below; a table asks its dialect for
// them, so the same table speaks to a PostgreSQL server too.
class IDBTable
{
public:
    explicit IDBTable(const SqlDialect& dialect = SqlDialect::sqlite()) : m_dialect(&dialect) {}
    virtual ~IDBTable() = default;

    const SqlDialect& dialect() const { return *m_dialect; }

    virtual QString createTableQuery() const = 0;
    virtual QString selectIdQuery(const DBParameters& parameters) const = 0;
    // Empty when a value the insert needs is missing.
    virtual QString insertQuery(const DBParameters& parameters) const = 0;
    virtual QString selectQuery(const DBParameters& parameters) const = 0;
    virtual QString maxQuery(const QString& column) const = 0;
    virtual QString minQuery(const QString& column) const = 0;
    virtual QString deleteQuery(const DBParameters& parameters) const = 0;
    virtual QString deleteOrphansQuery(const QString& referencingTable) const = 0;
    // Indexes the table needs beyond its keys; created on every opening.
    virtual QStringList createIndexQueries() const { return {}; }

    // --- text fragments ---------------------------------------------------
    static QString columnDefinition(const QString& name, const QString& type);
    static QString foreignKey(const QString& column, const QString& table, const QString& referencedColumn);
    static QString condition(const QString& column, const QString& op, const QString& text);
    static QString condition(const QString& column, const QString& op, int value);
    static QString condition(const QString& column, const QString& op, unsigned int value);
    static QString condition(const QString& column, const QString& op, float value);
    static QString condition(const QString& column, const QString& op, const QDateTime& value);
    // "(c = v1 OR c = v2 )" over the texts, ints and unsigned ints of `values`;
    // values of any other type are skipped.
    static QString orCondition(const QVariantList& values, const QString& column);
    static QString quoted(const QString& text);
    static QString number(int value);
    static QString number(float value);
    static QString innerJoin(const QString& table, const QString& baseTable, const QString& key);
    static QString pivotColumn(const QString& keyTable, const QString& keyColumn, const QString& valueTable,
                               const QString& valueColumn, const QString& keyValue);

    // --- statements ---------------------------------------------------------
    static QString createTableStatement(const QString& table, const QStringList& items);
    static QString createIndexStatement(const QString& name, const QString& table, const QStringList& columns);
    static QString selectStatement(const QStringList& columns, const QString& table, const QStringList& conditions);
    static QString selectGroupedStatement(const QStringList& columns, const QString& table, const QString& join,
                                          const QStringList& conditions, const QStringList& groupBy);
    static QString insertStatement(const QString& table, const QStringList& columns, const QStringList& values);
    static QString deleteStatement(const QString& table, const QStringList& conditions);
    static QString deleteOrphansStatement(const QString& table, const QString& key, const QString& referencingTable);
    static QString maxStatement(const QString& column, const QString& table);
    static QString minStatement(const QString& column, const QString& table);

    // --- SQLite's own pieces ----------------------------------------------
    static QString autoIncrementKeyType() { return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"); }
    static QString plainKeyType() { return QStringLiteral("INTEGER PRIMARY KEY "); }
    static QString timestampType() { return QStringLiteral("TIMESTAMP "); }
    // A time stamp as SQLite's UTC date-time text, from its second count.
    static QString dateTimeValue(const QDateTime& value);
    // The same with the second count given as SQL text (a bound "?", say).
    static QString dateTimeValueOf(const QString& seconds);
    // A stored time stamp as "dd.mm.yyyy hh:mm:ss".
    static QString dateTimeText(const QString& column);
    static QString lastInsertIdStatement() { return QStringLiteral("SELECT last_insert_rowid();"); }

    // Seconds since 1970 UTC of a time stamp, whatever its time spec.
    static qint64 epochSeconds(const QDateTime& value);

    // "a ,b ,c ": every item followed by a blank, items separated by ",".
    static QString joinList(const QStringList& items);
    // "WHERE c1 AND c2 ", or empty.
    static QString whereClause(const QStringList& conditions);
    // Single quotes doubled.
    static QString escaped(QString text);

protected:
    // "column op time" with the time stamp written in this table's dialect.
    QString timeCondition(const QString& column, const QString& op, const QDateTime& value) const;

private:
    const SqlDialect* m_dialect;
};
