#pragma once

#include "database/ArchiveLocation.h"
#include "database/IDBTable.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QVariant>

class DBRecordZrTable;
class QSqlError;
class QSqlQueryModel;

// The archive's connection and the only code that runs SQL. Each operation
// asks a table object for its statement, runs it and returns the result; a
// failure is thrown as a QString with the message the user sees. On a server
// the server's reason follows the message on a second line.
//
// The archive is an SQLite file or a database on a PostgreSQL server (see
// ArchiveLocation); dialect() is the SQL the table objects must speak to it.
//
// The connection belongs to the thread that called open() and must be used
// only there. Each DataBase has a connection of its own name, so several
// (a test's reader, a command-line loader) can coexist in one process.
class DataBase
{
public:
    static QString openErrorText() { return QStringLiteral("Ошибка открытия базы данных"); }
    static QString createErrorText() { return QStringLiteral("Ошибка создание таблицы"); }
    static QString queryErrorText() { return QStringLiteral("Ошибка запроса"); }

    // `location` is a file path or a server address; empty: the archive this
    // installation is configured for (ArchiveLocation::configuredText).
    explicit DataBase(const QString& location = QString());
    ~DataBase();
    DataBase(const DataBase&) = delete;
    DataBase& operator=(const DataBase&) = delete;

    static QString defaultFilePath();
    // The archive's file, or the server's address as given.
    QString filePath() const { return m_location.isServer() ? m_location.text : m_location.filePath; }
    const ArchiveLocation& location() const { return m_location; }
    const SqlDialect& dialect() const { return *m_dialect; }

    // How long a statement waits for another program's lock (from the next open()).
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }

    // Opens (again) a connection that is not open; throws the opening error.
    void open();
    // Whether the connection is open and, on a server, still answers. A lost
    // one is closed, so that the next open() connects anew.
    bool isConnected();
    // The table and the indexes it asks for.
    void createTable(const IDBTable& table);
    // Names of the tables the archive holds, in upper case.
    QStringList tableNames() const;
    void beginTransaction();
    // Locks the dialect asks for inside a load's or a delete's transaction.
    void lockForLoad(int deviceKey);
    void lockForDelete();
    void lockForJournal();
    void commitTransaction();
    // Ends an open transaction without keeping its changes. Never throws: it
    // is the way out of a failure.
    void rollbackTransaction() noexcept;
    void vacuum();
    // Runs the table's statement removing rows no longer used by `referencingTable`.
    void execute(const IDBTable& table, const QString& referencingTable);
    // Invalid when the table has no rows.
    QVariant selectMax(const IDBTable& table, const QString& column);
    QVariant selectMin(const IDBTable& table, const QString& column);
    // -1 when no row matches.
    int findId(const IDBTable& table, const DBParameters& parameters);
    int findOrInsert(const IDBTable& table, const DBParameters& parameters);
    int insert(const IDBTable& table, const DBParameters& parameters);
    // Returns the number of rows deleted.
    int remove(const IDBTable& table, const DBParameters& parameters);
    // Runs the table's selectQuery into the model and reads every row, so the
    // model can be handed to another thread complete.
    void setQuery(QSqlQueryModel* model, const IDBTable& table, const DBParameters& parameters);
    // Column `column` of every row of the table's selectQuery, as text.
    QStringList selectTexts(const IDBTable& table, const DBParameters& parameters, int column = 0);
    // The first `columns` columns of every row of the table's selectQuery, as texts.
    QVector<QStringList> selectRows(const IDBTable& table, const DBParameters& parameters, int columns);

    // A statement prepared once and run many times with new bound values.
    QSqlQuery prepare(const QString& statement);
    void execPrepared(QSqlQuery& query);
    // Records in the table's COPY text format (DBRecordZrTable::appendCopyRow).
    void copyRows(const DBRecordZrTable& table, const QByteArray& rows);

private:
    QSqlQuery query() const;
    void exec(QSqlQuery& query, const QString& statement, const QString& errorText = queryErrorText());
    void execIfAny(const QString& statement);
    [[noreturn]] void fail(const QString& errorText, const QSqlError& error);
    QVariant selectFirst(const QString& statement);
    int insertRow(QSqlQuery& query, const QString& statement);
    void openServer();
    void endTransaction();

    ArchiveLocation m_location;
    const SqlDialect* m_dialect;
    bool m_lookupsLocked = false;
    int m_busyTimeoutMs = SqlDialect::busyTimeoutMs;
    QString m_connectionName;
    QSqlDatabase* m_database;
};
