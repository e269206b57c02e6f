#include "PgTestServer.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QVersionNumber>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The newest Debian server installation, or ORVELIN_PG_BIN.
QString serverBinaries()
{
    const QString given = qEnvironmentVariable("ORVELIN_PG_BIN");
    if (!given.isEmpty())
        return given;
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) {
        return QVersionNumber::fromString(a) > QVersionNumber::fromString(b);
    });
    for (const QString& version : versions) {
        const QString bin = root.filePath(version + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable()
            && QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    return QString();
}

bool handTo(const QString& path, const passwd* owner)
{
    return ::chown(QFile::encodeName(path).constData(), owner->pw_uid, owner->pw_gid) == 0;
}

} // namespace

PgTestServer::PgTestServer(bool durable) : m_durable(durable)
{
    m_bin = serverBinaries();
    if (m_bin.isEmpty()) {
        m_missing = true;
        m_problem = QStringLiteral("no PostgreSQL server binaries under /usr/lib/postgresql/<version>/bin "
                                   "(Debian package postgresql; scripts/install-deps.sh installs it)");
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/orvelin-pg-XXXXXX"));
    m_data = m_dir->filePath(QStringLiteral("data"));
    m_socketDir = m_dir->filePath(QStringLiteral("run"));
    QDir().mkpath(m_data);
    QDir().mkpath(m_socketDir);
    if (::geteuid() == 0) {
        // The server refuses to run as root; Debian's package creates this user.
        const passwd* owner = ::getpwnam("postgres");
        if (!owner) {
            m_missing = true;
            m_problem = QStringLiteral("running as root and there is no 'postgres' user to run the server as");
            return;
        }
        m_runAs = QStringLiteral("postgres");
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        if (!handTo(m_data, owner) || !handTo(m_socketDir, owner)) {
            m_problem = QStringLiteral("cannot hand the server's folders to the postgres user");
            return;
        }
    }
    // A collation that is not byte order shows whether lists still come in
    // the embedded archive's order.
    QString output;
    const QStringList init = {QStringLiteral("-D"), m_data, QStringLiteral("-U"), QStringLiteral("orvelin"),
                              QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8")};
    if (!tool(QStringLiteral("initdb"), init + QStringList{QStringLiteral("--locale=ru_RU.UTF-8")}, &output)) {
        QDir(m_data).removeRecursively();
        QDir().mkpath(m_data);
        if (::geteuid() == 0)
            handTo(m_data, ::getpwnam("postgres"));
        if (!tool(QStringLiteral("initdb"), init + QStringList{QStringLiteral("--no-locale")}, &output)) {
            m_problem = QStringLiteral("initdb failed: ") + output;
            return;
        }
    }
    // Only a socket in our own folder: no port of the machine is taken, and
    // servers of tests running side by side never meet.
    m_port = 40000 + int(QCoreApplication::applicationPid() % 20000);
    if (!start())
        m_problem = QStringLiteral("the server did not start: ") + m_problem;
}

PgTestServer::~PgTestServer()
{
    if (m_running)
        stop();
}

bool PgTestServer::tool(const QString& name, const QStringList& arguments, QString* output) const
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString program = m_bin + QLatin1Char('/') + name;
    if (m_runAs.isEmpty())
        process.start(program, arguments);
    else
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), m_runAs, QStringLiteral("--"), program} + arguments);
    const bool finished = process.waitForFinished(180000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PgTestServer::start()
{
    QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=''").arg(m_port).arg(m_socketDir);
    if (!m_durable)
        options += QStringLiteral(" -c fsync=off -c full_page_writes=off");
    QString output;
    m_running = tool(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-l"),
                                               m_socketDir + QStringLiteral("/server.log"), QStringLiteral("-w"),
                                               QStringLiteral("-t"), QStringLiteral("120"), QStringLiteral("-o"),
                                               options, QStringLiteral("start")},
                     &output);
    if (!m_running)
        m_problem = output;
    return m_running;
}

bool PgTestServer::stop()
{
    m_running = !tool(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-m"),
                                                QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    return !m_running;
}

double PgTestServer::processorMs() const
{
    QFile pidFile(m_data + QStringLiteral("/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray postmaster = pidFile.readLine().trimmed();
    const double tick = 1000.0 / double(::sysconf(_SC_CLK_TCK));
    double total = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // Fields after the name in parentheses: state, ppid, ..., utime (14), stime (15).
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12 && (pid.toLatin1() == postmaster || fields.at(1) == postmaster))
            total += (fields.at(11).toDouble() + fields.at(12).toDouble()) * tick;
    }
    return total;
}

QString PgTestServer::url(const QString& database, const QString& user) const
{
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(user, QString::fromLatin1(QUrl::toPercentEncoding(m_socketDir)), QString::number(m_port), database);
}

QString PgTestServer::run(const QString& database, const QStringList& statements) const
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("pg-test-admin-%1").arg(counter.fetchAndAddOrdered(1));
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(m_socketDir);
        db.setPort(m_port);
        db.setUserName(QStringLiteral("orvelin"));
        db.setDatabaseName(database);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            for (const QString& statement : statements) {
                if (!query.exec(statement)) {
                    error = statement + QStringLiteral(": ") + query.lastError().text();
                    break;
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

bool PgTestServer::createDatabase(const QString& name) const
{
    return run(QStringLiteral("postgres"),
               {QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name)})
        .isEmpty();
}
