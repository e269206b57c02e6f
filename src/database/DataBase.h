#pragma once

#include "database/IDBTable.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

class QSqlQueryModel;

// The archive's SQLite connection and the only code that runs SQL. Each
// operation asks a table object for its statement, runs it and returns the
// result; a failure is thrown as a QString with the message the user sees.
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

    // `filePath` empty: Record.sqlite beside the executable.
    explicit DataBase(const QString& filePath = QString());
    ~DataBase();
    DataBase(const DataBase&) = delete;
    DataBase& operator=(const DataBase&) = delete;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    void open();
    // The table and the indexes it asks for.
    void createTable(const IDBTable& table);
    void beginTransaction();
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
    void remove(const IDBTable& table, const DBParameters& parameters);
    // Runs the table's selectQuery into the model and reads every row, so the
    // model can be handed to another thread complete.
    void setQuery(QSqlQueryModel* model, const IDBTable& table, const DBParameters& parameters);
    // Column `column` of every row of the table's selectQuery, as text.
    QStringList selectTexts(const IDBTable& table, const DBParameters& parameters, int column = 0);

    // A statement prepared once and run many times with new bound values.
    QSqlQuery prepare(const QString& statement);
    void execPrepared(QSqlQuery& query);

private:
    QSqlQuery query() const;
    void exec(QSqlQuery& query, const QString& statement, const QString& errorText = queryErrorText());
    QVariant selectFirst(const QString& statement);
    int insertRow(QSqlQuery& query, const QString& statement);

    QString m_filePath;
    QString m_connectionName;
    QSqlDatabase* m_database;
};
