#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The places where the archive's SQL depends on the database that holds it:
// key and time-stamp types, how a time stamp is written and read back, column
// labels, the pivot cell, grouped lists, orphan removal, inserts that give
// back their key, and the locks that keep several writers apart.
//
// This class speaks SQLite: the embedded Record.sqlite, whose texts are those
// the archive has always sent (the table classes' own builders). A shared
// archive on a PostgreSQL server is PostgresDialect.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    static const SqlDialect& sqlite();
    static const SqlDialect& postgres();

    // Reasons that follow a failure's message after ": ".
    static QString busyText();
    static QString diskFullText();

    // The Qt driver that talks to this database.
    virtual QString driverName() const;
    // True for a server that several computers write at the same time.
    virtual bool isShared() const { return false; }

    // --- schema -------------------------------------------------------------
    virtual QString autoIncrementKeyType() const;
    // The record table's key; it may outgrow 32 bits on a server.
    virtual QString wideAutoIncrementKeyType() const { return autoIncrementKeyType(); }
    virtual QString plainKeyType() const;
    virtual QString timestampType() const;
    virtual QString createTableStatement(const QString& table, const QStringList& items) const;
    virtual QString createIndexStatement(const QString& name, const QString& table, const QStringList& columns,
                                         bool unique = false) const;

    // --- time stamps ----------------------------------------------------------
    // A time stamp from its second count since 1970 UTC, given as SQL text.
    virtual QString dateTimeValueOf(const QString& seconds) const;
    QString dateTimeValue(const QDateTime& value) const;
    // A stored time stamp as "dd.mm.yyyy hh:mm:ss".
    virtual QString dateTimeText(const QString& column) const;

    // --- selections -----------------------------------------------------------
    // A column label as a bare word, and as a label that may hold blanks.
    virtual QString label(const QString& name) const { return name; }
    virtual QString quotedLabel(const QString& name) const;
    virtual QString pivotColumn(const QString& keyTable, const QString& keyColumn, const QString& valueTable,
                                const QString& valueColumn, const QString& keyValue) const;
    // A text column as it is grouped and ordered: by its bytes, whatever the
    // database's collation.
    virtual QString byteOrder(const QString& column) const { return column; }
    // The rows of a lookup table, one per `key` value, in the key's order.
    // SQLite selects "*"; a server names `columns`, so they keep their case.
    virtual QString listStatement(const QStringList& columns, const QString& table, const QStringList& conditions,
                                  const QString& key) const;
    // One row per group of aggregated `columns`, the rows in `orderBy` order.
    // SQLite's text has no ORDER BY: it reads the groups through an index
    // that gives them in that order.
    virtual QString groupedSelectStatement(const QStringList& columns, const QString& table, const QString& join,
                                           const QStringList& conditions, const QStringList& groupBy,
                                           const QStringList& orderBy) const;
    // The extreme of a column; a time stamp comes back as "yyyy-MM-dd hh:mm:ss".
    virtual QString maxStatement(const QString& column, const QString& table) const;
    virtual QString minStatement(const QString& column, const QString& table) const;

    // --- changes --------------------------------------------------------------
    // An insert whose key lastInsertIdStatement (or, where that is empty, the
    // insert itself) gives back. `uniqueColumn`, when not empty, holds values
    // stored only once: inserting one that is there gives the stored row's key.
    virtual QString insertStatement(const QString& table, const QStringList& columns, const QStringList& values,
                                    const QString& key, const QString& uniqueColumn) const;
    virtual QString lastInsertIdStatement() const;
    // Values a load sends at once with copyStatement; 0: one prepared insert
    // per value, the fastest way where the database runs in the process.
    virtual int copyValues() const { return 0; }
    // Rows in COPY's text format, in `columns` order.
    virtual QString copyStatement(const QString& table, const QStringList& columns) const;
    virtual QString deleteOrphansStatement(const QString& table, const QString& key,
                                           const QString& referencingTable) const;
    // Empty: the database reclaims space by itself.
    virtual QString vacuumStatement() const;

    // --- several writers ------------------------------------------------------
    // Starts a transaction that writes. SQLite's takes the write lock at
    // once: two writers that both began by reading would otherwise each wait
    // for the other, and one of them fail, however long they were let wait.
    virtual QString beginWriteStatement() const { return QStringLiteral("BEGIN IMMEDIATE;"); }
    // How long a statement waits for another program's lock, in milliseconds.
    static constexpr int busyTimeoutMs = 10000;
    // Run once after connecting.
    virtual QStringList sessionStatements() const { return {}; }
    // Run inside the transaction of a load, before anything is read: loads of
    // one instrument take turns, and no delete runs beside a load.
    virtual QString loadLockStatement(int deviceKey) const;
    // Run inside a transaction before it adds its first lookup row (unit,
    // channel, instrument), so two loads never wait on each other's new rows.
    virtual QString lookupLockStatement() const { return QString(); }
    // Run inside the transaction of a delete, before anything is deleted.
    virtual QString deleteLockStatement() const { return QString(); }
    // Run inside the transaction that adds a journal line, before the last
    // line is read: lines are added one computer at a time, so each follows
    // the one it names.
    virtual QString journalLockStatement() const { return QString(); }
    // The line shown under a failure's message: the database's own words, or
    // empty where the message stands alone (the embedded archive's).
    virtual QString failureReason(const QString& databaseText, const QString& driverText) const;
    // What a failure's error code says in the user's words ("база данных
    // занята другой программой", "диск заполнен"), or empty.
    virtual QString conditionText(const QString& nativeErrorCode) const;
};
