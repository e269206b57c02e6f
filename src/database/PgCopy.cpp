#include "database/PgCopy.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

namespace {

QString message(PGconn* connection, const PGresult* result)
{
    const char* text = result ? PQresultErrorMessage(result) : PQerrorMessage(connection);
    return QString::fromUtf8(text && *text ? text : "COPY failed");
}

} // namespace

QString pgCopyIn(const QSqlDatabase& database, const QString& statement, const QByteArray& data)
{
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return QStringLiteral("no PostgreSQL connection");
    PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    if (!connection)
        return QStringLiteral("no PostgreSQL connection");

    QString error;
    PGresult* result = PQexec(connection, statement.toUtf8().constData());
    if (PQresultStatus(result) != PGRES_COPY_IN) {
        error = message(connection, result);
    } else if (PQputCopyData(connection, data.constData(), data.size()) != 1
               || PQputCopyEnd(connection, nullptr) != 1) {
        error = message(connection, nullptr);
    }
    PQclear(result);
    // The connection is Qt's again only once every result has been read.
    while ((result = PQgetResult(connection))) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && error.isEmpty())
            error = message(connection, result);
        PQclear(result);
    }
    return error;
}
