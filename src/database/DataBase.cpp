#include "database/DataBase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQueryModel>

namespace {
QAtomicInt connectionCount;
}

DataBase::DataBase(const QString& filePath)
    : m_filePath(filePath.isEmpty() ? defaultFilePath() : filePath)
    , m_connectionName(QStringLiteral("orvelin-archive-%1").arg(connectionCount.fetchAndAddOrdered(1)))
    , m_database(new QSqlDatabase())
{
}

DataBase::~DataBase()
{
    const bool added = m_database->isValid();
    delete m_database;
    if (added)
        QSqlDatabase::removeDatabase(m_connectionName);
}

QString DataBase::defaultFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Record.sqlite");
}

void DataBase::open()
{
    if (!m_database->isValid())
        *m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_database->setDatabaseName(m_filePath);
    if (!m_database->open())
        throw openErrorText();
}

QSqlQuery DataBase::query() const
{
    return QSqlQuery(*m_database);
}

void DataBase::exec(QSqlQuery& query, const QString& statement, const QString& errorText)
{
    // An empty text (a table with nothing to say for these parameters) fails
    // like any other rejected statement.
    if (statement.isEmpty() || !query.exec(statement))
        throw errorText;
}

void DataBase::createTable(const IDBTable& table)
{
    QSqlQuery q = query();
    exec(q, table.createTableQuery(), createErrorText());
    for (const QString& index : table.createIndexQueries())
        exec(q, index, createErrorText());
}

void DataBase::beginTransaction()
{
    QSqlQuery q = query();
    exec(q, QStringLiteral("BEGIN;"));
}

void DataBase::commitTransaction()
{
    QSqlQuery q = query();
    exec(q, QStringLiteral("COMMIT;"));
}

void DataBase::rollbackTransaction() noexcept
{
    if (!m_database->isOpen())
        return;
    // Fails harmlessly when no transaction is open (SQLite may already have
    // rolled back by itself after some errors).
    QSqlQuery q = query();
    q.exec(QStringLiteral("ROLLBACK;"));
}

void DataBase::vacuum()
{
    QSqlQuery q = query();
    exec(q, QStringLiteral("VACUUM;"));
    q.next();
}

void DataBase::execute(const IDBTable& table, const QString& referencingTable)
{
    QSqlQuery q = query();
    exec(q, table.deleteOrphansQuery(referencingTable));
    q.next();
}

QVariant DataBase::selectFirst(const QString& statement)
{
    QSqlQuery q = query();
    q.setForwardOnly(true);
    exec(q, statement);
    return q.next() ? q.value(0) : QVariant();
}

QVariant DataBase::selectMax(const IDBTable& table, const QString& column)
{
    const QVariant value = selectFirst(table.maxQuery(column));
    return value.isNull() ? QVariant() : value;
}

QVariant DataBase::selectMin(const IDBTable& table, const QString& column)
{
    const QVariant value = selectFirst(table.minQuery(column));
    return value.isNull() ? QVariant() : value;
}

int DataBase::findId(const IDBTable& table, const DBParameters& parameters)
{
    const QVariant id = selectFirst(table.selectIdQuery(parameters));
    return id.isValid() ? id.toInt() : -1;
}

int DataBase::insertRow(QSqlQuery& q, const QString& statement)
{
    // The same query object on the one connection: the id is the row just inserted.
    exec(q, statement);
    exec(q, IDBTable::lastInsertIdStatement());
    if (!q.next())
        throw queryErrorText();
    return q.value(0).toInt();
}

int DataBase::findOrInsert(const IDBTable& table, const DBParameters& parameters)
{
    // Not findId: its "none" (-1) is also a key, the instrument 4294967295
    // (an ID never set reads as all ones) stored as a signed number.
    const QVariant id = selectFirst(table.selectIdQuery(parameters));
    if (id.isValid())
        return id.toInt();
    return insert(table, parameters);
}

int DataBase::insert(const IDBTable& table, const DBParameters& parameters)
{
    QSqlQuery q = query();
    return insertRow(q, table.insertQuery(parameters));
}

void DataBase::remove(const IDBTable& table, const DBParameters& parameters)
{
    QSqlQuery q = query();
    exec(q, table.deleteQuery(parameters));
    q.next();
}

void DataBase::setQuery(QSqlQueryModel* model, const IDBTable& table, const DBParameters& parameters)
{
    model->setQuery(table.selectQuery(parameters), *m_database);
    // QSqlQueryModel reads 256 rows at a time and the rest on demand; readers in
    // other threads (views, exports, statistics) must find every row there.
    while (model->canFetchMore())
        model->fetchMore();
    if (model->lastError().isValid())
        throw queryErrorText();
}

QStringList DataBase::selectTexts(const IDBTable& table, const DBParameters& parameters, int column)
{
    QSqlQuery q = query();
    q.setForwardOnly(true);
    exec(q, table.selectQuery(parameters));
    QStringList texts;
    while (q.next())
        texts << q.value(column).toString();
    return texts;
}

QSqlQuery DataBase::prepare(const QString& statement)
{
    QSqlQuery q = query();
    if (!q.prepare(statement))
        throw queryErrorText();
    return q;
}

void DataBase::execPrepared(QSqlQuery& q)
{
    if (!q.exec())
        throw queryErrorText();
}
