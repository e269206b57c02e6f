#pragma once

#include <QByteArray>
#include <QString>

class QSqlDatabase;

// Sends rows to a PostgreSQL server with COPY ... FROM STDIN on the open
// connection of `database` (Qt's QPSQL driver), inside whatever transaction
// that connection has open. Qt's driver has no COPY of its own; it is the
// fastest way in, about twice as fast as the largest INSERT.
//
// `data` is COPY's text format. Returns the server's message on failure,
// else an empty text.
QString pgCopyIn(const QSqlDatabase& database, const QString& statement, const QByteArray& data);
