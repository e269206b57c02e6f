#include "database/DataBase.h"
#include "base/DataLocation.h"

#include "database/DBRecordZrTable.h"
#include "database/PgCopy.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQueryModel>

namespace {
QAtomicInt connectionCount;
}

DataBase::DataBase(const QString& location)
    : m_location(ArchiveLocation::parse(location.isEmpty() ? ArchiveLocation::configuredText() : location,
                                        DataLocation::dataDir()))
    , m_dialect(m_location.isServer() ? &SqlDialect::postgres() : &SqlDialect::sqlite())
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
    return DataLocation::dataDir() + QStringLiteral("/Record.sqlite");
}

void DataBase::open()
{
    if (m_database->isOpen())
        m_database->close();
    endTransaction();
    if (m_location.isServer()) {
        openServer();
        return;
    }
    if (!m_database->isValid())
        *m_database = QSqlDatabase::addDatabase(m_dialect->driverName(), m_connectionName);
    m_database->setDatabaseName(m_location.filePath);
    // Another program (a scheduled import, a second window) may hold the
    // archive for a moment: wait for it rather than fail at once.
    m_database->setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
    if (!m_database->open())
        throw openErrorText();
}

void DataBase::openServer()
{
    const QString driver = m_dialect->driverName();
    if (!m_location.error.isEmpty())
        throw openErrorText() + QLatin1Char('\n') + m_location.error;
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw openErrorText() + QStringLiteral("\nНет драйвера %1 (пакет libqt5sql5-psql)").arg(driver);
    if (!m_database->isValid())
        *m_database = QSqlDatabase::addDatabase(driver, m_connectionName);
    m_database->setHostName(m_location.host);
    m_database->setPort(m_location.port);
    m_database->setUserName(m_location.user);
    m_database->setDatabaseName(m_location.database);
    // A server that does not answer must not hold the archive's thread for
    // minutes: give up connecting after 10 s, and drop a connection whose
    // data goes unacknowledged for 30 s.
    QStringList options = m_location.options;
    for (const QString& fallback : {QStringLiteral("connect_timeout=10"), QStringLiteral("tcp_user_timeout=30000")})
        if (options.filter(fallback.section(QLatin1Char('='), 0, 0) + QLatin1Char('=')).isEmpty())
            options << fallback;
    m_database->setConnectOptions(options.join(QLatin1Char(';')));
    if (!m_database->open())
        fail(openErrorText(), m_database->lastError());
    QSqlQuery q = query();
    for (const QString& statement : m_dialect->sessionStatements()) {
        if (!q.exec(statement)) {
            const QSqlError error = q.lastError();
            m_database->close();
            fail(openErrorText(), error);
        }
    }
}

bool DataBase::isConnected()
{
    if (!m_database->isOpen())
        return false;
    if (!m_location.isServer())
        return true;
    // A server restarted or a network gone leaves the connection looking open.
    QSqlQuery probe = query();
    if (probe.exec(QStringLiteral("SELECT 1")))
        return true;
    m_database->close();
    endTransaction();
    return false;
}

void DataBase::fail(const QString& errorText, const QSqlError& error)
{
    QString text = errorText;
    const QString condition = m_dialect->conditionText(error.nativeErrorCode());
    if (!condition.isEmpty())
        text += QStringLiteral(": ") + condition;
    const QString reason = m_dialect->failureReason(error.databaseText(), error.driverText());
    throw reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

void DataBase::execIfAny(const QString& statement)
{
    if (statement.isEmpty())
        return;
    QSqlQuery q = query();
    exec(q, statement);
}

void DataBase::endTransaction()
{
    m_lookupsLocked = false;
}

QSqlQuery DataBase::query() const
{
    return QSqlQuery(*m_database);
}

void DataBase::exec(QSqlQuery& query, const QString& statement, const QString& errorText)
{
    // An empty text (a table with nothing to say for these parameters) fails
    // like any other rejected statement.
    if (statement.isEmpty())
        throw errorText;
    if (!query.exec(statement))
        fail(errorText, query.lastError());
}

void DataBase::createTable(const IDBTable& table)
{
    QSqlQuery q = query();
    exec(q, table.createTableQuery(), createErrorText());
    for (const QString& index : table.createIndexQueries())
        exec(q, index, createErrorText());
}

QStringList DataBase::tableNames() const
{
    QStringList names;
    for (const QString& name : m_database->tables())
        names << name.toUpper();
    return names;
}

void DataBase::beginTransaction()
{
    endTransaction();
    QSqlQuery q = query();
    exec(q, m_dialect->beginWriteStatement());
}

void DataBase::lockForLoad(int deviceKey)
{
    execIfAny(m_dialect->loadLockStatement(deviceKey));
}

void DataBase::lockForDelete()
{
    execIfAny(m_dialect->deleteLockStatement());
}

void DataBase::lockForJournal()
{
    execIfAny(m_dialect->journalLockStatement());
}

void DataBase::commitTransaction()
{
    endTransaction();
    QSqlQuery q = query();
    exec(q, QStringLiteral("COMMIT;"));
}

void DataBase::rollbackTransaction() noexcept
{
    endTransaction();
    if (!m_database->isOpen())
        return;
    // Fails harmlessly when no transaction is open (SQLite may already have
    // rolled back by itself after some errors).
    QSqlQuery q = query();
    q.exec(QStringLiteral("ROLLBACK;"));
}

void DataBase::vacuum()
{
    const QString statement = m_dialect->vacuumStatement();
    if (statement.isEmpty())
        return;
    QSqlQuery q = query();
    exec(q, statement);
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
    // The same query object on the one connection: the id is the row just
    // inserted. Where the dialect has no such statement the insert returns it.
    exec(q, statement);
    const QString lastId = m_dialect->lastInsertIdStatement();
    if (!lastId.isEmpty())
        exec(q, lastId);
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
    if (!m_lookupsLocked) {
        execIfAny(m_dialect->lookupLockStatement());
        m_lookupsLocked = true;
    }
    return insert(table, parameters);
}

int DataBase::insert(const IDBTable& table, const DBParameters& parameters)
{
    QSqlQuery q = query();
    return insertRow(q, table.insertQuery(parameters));
}

int DataBase::remove(const IDBTable& table, const DBParameters& parameters)
{
    QSqlQuery q = query();
    exec(q, table.deleteQuery(parameters));
    return qMax(0, q.numRowsAffected());
}

void DataBase::setQuery(QSqlQueryModel* model, const IDBTable& table, const DBParameters& parameters)
{
    model->setQuery(table.selectQuery(parameters), *m_database);
    // QSqlQueryModel reads 256 rows at a time and the rest on demand; readers in
    // other threads (views, exports, statistics) must find every row there.
    while (model->canFetchMore())
        model->fetchMore();
    if (model->lastError().isValid())
        fail(queryErrorText(), model->lastError());
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

QVector<QStringList> DataBase::selectRows(const IDBTable& table, const DBParameters& parameters, int columns)
{
    // Run as it is, not prepared: a time format's ":MI" would be taken for a placeholder.
    QSqlQuery q = query();
    q.setForwardOnly(true);
    exec(q, table.selectQuery(parameters));
    QVector<QStringList> rows;
    while (q.next()) {
        QStringList row;
        for (int column = 0; column < columns; ++column)
            row << q.value(column).toString();
        rows << row;
    }
    return rows;
}

QSqlQuery DataBase::prepare(const QString& statement)
{
    QSqlQuery q = query();
    if (!q.prepare(statement))
        fail(queryErrorText(), q.lastError());
    return q;
}

void DataBase::execPrepared(QSqlQuery& q)
{
    if (!q.exec())
        fail(queryErrorText(), q.lastError());
}

void DataBase::copyRows(const DBRecordZrTable& table, const QByteArray& rows)
{
    const QString statement = table.copyRowsQuery();
    if (statement.isEmpty())
        throw queryErrorText();
    const QString error = pgCopyIn(*m_database, statement, rows);
    if (!error.isEmpty()) {
        const QString reason = m_dialect->failureReason(error, QString());
        throw reason.isEmpty() ? queryErrorText() : queryErrorText() + QLatin1Char('\n') + reason;
    }
}
