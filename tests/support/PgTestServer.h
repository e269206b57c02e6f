#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder,
// listening only on a Unix socket in that folder, stopped (and the folder
// removed) when the object goes. The binaries are Debian's, found under
// /usr/lib/postgresql/<version>/bin. Run as root, the server runs as the
// unprivileged `postgres` user, since PostgreSQL refuses to run as root.
//
// Its superuser is "orvelin", trusted without a password.
class PgTestServer
{
public:
    // `durable`: the server's usual flushing to disk, for figures that mean
    // something; tests skip it.
    explicit PgTestServer(bool durable = false);
    ~PgTestServer();
    PgTestServer(const PgTestServer&) = delete;
    PgTestServer& operator=(const PgTestServer&) = delete;

    // Empty when the server runs; else why not, to skip or fail with.
    QString problem() const { return m_problem; }
    // True when the binaries are not installed at all (a skip, not a failure).
    bool missing() const { return m_missing; }

    // The archive address of `database` for `user`.
    QString url(const QString& database, const QString& user = QStringLiteral("orvelin")) const;
    // Runs statements as the superuser on `database`; the first failure's text, or empty.
    QString run(const QString& database, const QStringList& statements) const;
    // A new, empty UTF-8 database.
    bool createDatabase(const QString& name) const;

    bool stop();
    bool start();

    // Processor time the server's processes have used so far, in ms (Linux).
    double processorMs() const;

private:
    bool tool(const QString& name, const QStringList& arguments, QString* output = nullptr) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bin;
    QString m_data;
    QString m_socketDir;
    int m_port = 0;
    QString m_runAs;
    QString m_problem;
    bool m_missing = false;
    bool m_running = false;
    bool m_durable = false;
};
