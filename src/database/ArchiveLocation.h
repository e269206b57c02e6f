#pragma once

#include <QString>
#include <QStringList>

// Where the archive lives: an SQLite file, or a database on a PostgreSQL
// server named as postgresql://user@host:port/database. A server's host may be
// a socket folder, written with %2F for its slashes or as ?host=/folder.
//
// The password never comes from here: the server's client library takes it
// from PGPASSWORD or ~/.pgpass, as every PostgreSQL client does. An address
// that carries one is refused, so it is not left in orvelin.ini by mistake.
struct ArchiveLocation
{
    // The text this installation names its archive with: the environment
    // variable ORVELIN_ARCHIVE, else `url` in section [archive] of orvelin.ini
    // beside the executable, else empty (Record.sqlite beside the executable).
    static QString configuredText();
    static QString configuredText(const QString& iniFile, const QString& environmentValue);

    // `text` empty: Record.sqlite in `baseDir`; a relative file path is taken
    // from `baseDir` as well.
    static ArchiveLocation parse(const QString& text, const QString& baseDir);

    bool isServer() const { return server; }

    bool server = false;
    QString text;     // as given, for messages
    QString filePath; // the SQLite file
    QString host;     // empty: the client library's default socket
    int port = -1;    // -1: the default port
    QString user;     // empty: the client library's default (the login name)
    QString database; // empty: the user's name
    // Further client options as "key=value", for the driver's option list.
    QStringList options;
    // Why the text names no usable archive (shown under the opening error).
    QString error;
};
