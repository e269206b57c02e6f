#pragma once

#include "database/SqlDialect.h"

// A shared archive on a PostgreSQL server. The schema is the embedded one in
// the server's types; selections give the same texts ("13.09.2020 12:26:40",
// "23.45 °C") in the same order. Several computers load and delete at once:
// unique indexes keep lookup texts and record values single, lookup inserts
// go through ON CONFLICT, and transaction-scoped advisory locks order loads of
// one instrument, new lookup rows, and keep deletes apart from loads (see the
// lock statements). Records go in by COPY. The foreign keys SQLite only
// declares are left out (see DBRecordZrTable::createTableQuery).
class PostgresDialect : public SqlDialect
{
public:
    QString driverName() const override;
    bool isShared() const override { return true; }

    QString autoIncrementKeyType() const override;
    QString wideAutoIncrementKeyType() const override;
    QString plainKeyType() const override;
    QString timestampType() const override;
    QString createTableStatement(const QString& table, const QStringList& items) const override;
    QString createIndexStatement(const QString& name, const QString& table, const QStringList& columns,
                                 bool unique) const override;

    QString dateTimeValueOf(const QString& seconds) const override;
    QString dateTimeText(const QString& column) const override;

    QString label(const QString& name) const override;
    QString quotedLabel(const QString& name) const override;
    QString pivotColumn(const QString& keyTable, const QString& keyColumn, const QString& valueTable,
                        const QString& valueColumn, const QString& keyValue) const override;
    QString byteOrder(const QString& column) const override;
    QString groupedSelectStatement(const QStringList& columns, const QString& table, const QString& join,
                                   const QStringList& conditions, const QStringList& groupBy,
                                   const QStringList& orderBy) const override;
    QString listStatement(const QStringList& columns, const QString& table, const QStringList& conditions,
                          const QString& key) const override;
    QString maxStatement(const QString& column, const QString& table) const override;
    QString minStatement(const QString& column, const QString& table) const override;

    QString insertStatement(const QString& table, const QStringList& columns, const QStringList& values,
                            const QString& key, const QString& uniqueColumn) const override;
    QString lastInsertIdStatement() const override { return QString(); }
    int copyValues() const override { return 50000; }
    QString copyStatement(const QString& table, const QStringList& columns) const override;
    QString deleteOrphansStatement(const QString& table, const QString& key,
                                   const QString& referencingTable) const override;
    QString vacuumStatement() const override { return QString(); }

    QStringList sessionStatements() const override;
    QString loadLockStatement(int deviceKey) const override;
    QString lookupLockStatement() const override;
    QString deleteLockStatement() const override;
    QString journalLockStatement() const override;
    QString failureReason(const QString& databaseText, const QString& driverText) const override;
    QString conditionText(const QString& nativeErrorCode) const override;
    // The server's transactions take their locks as they go (see the load lock).
    QString beginWriteStatement() const override { return QStringLiteral("BEGIN;"); }
};
