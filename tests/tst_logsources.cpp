// Where archive values came from: the source table in both dialects, read by
// the databases' own clients, and the block of every report, read by pdftotext.
#include "CliProcess.h"
#include "TestSupport.h"
#include "PgTestServer.h"
#include "ZrSimulator.h"

#include "data/Journal.h"
#include "database/ArchiveJournal.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <thread>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run program(const QString& path, const QStringList& arguments, const QString& journal = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORVELIN_PORTS"), QString());
    if (!journal.isEmpty())
        environment.insert(QStringLiteral("ORVELIN_JOURNAL"), journal);
    process.setProcessEnvironment(environment);
    process.start(path, arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

Run cli(const QStringList& arguments, const QString& journal)
{
    return program(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli"), arguments, journal);
}

QString sha256sum(const QString& path)
{
    return program(QStringLiteral("sha256sum"), {path}).out.left(64);
}

QString pdfText(const QString& pdf)
{
    // -raw keeps each table cell's text whole, the hash on one line.
    return program(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}).out;
}

} // namespace

class TestLogSources : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sqlite_oneRowPerLoadedLog_changedFileWarnsOnceAndIsNoted();
    void reports_carryTheHashesOfTheirSources();
    void postgres_oneRowPerLoadedLog();
    void postgres_journalIsTheArchivesTable_oneChainForEveryWriter();

private:
    PgTestServer* server();

    std::unique_ptr<PgTestServer> m_server;
    QTemporaryDir m_dir;
    QStringList m_logs;
    QString m_journal;
};

void TestLogSources::initTestCase()
{
    ZrSimulator::Options options;
    options.id = 8000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    options.defaultFiles = false;
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    SimRunSpec first;
    first.records = 40;
    first.start = QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
    sim.addRun(first);
    SimRunSpec second = first;
    second.start = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC);
    second.seed = 2;
    sim.addRun(second);
    m_journal = m_dir.filePath("journal.jsonl");
    const Run download = program(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli"),
                                 {"download", "--all", "-o", m_dir.path(), "--port", sim.portName()}, m_journal);
    QCOMPARE(download.code, 0);
    m_logs = download.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(m_logs.size(), 2);
}

void TestLogSources::sqlite_oneRowPerLoadedLog_changedFileWarnsOnceAndIsNoted()
{
    const QString db = m_dir.filePath("sources.sqlite");
    QCOMPARE(cli(QStringList{"import", "--db", db} + m_logs, m_journal).code, 0);
    QCOMPARE(cli(QStringList{"import", "--db", db} + m_logs, m_journal).code, 0); // the same bytes again
    const auto rows = [&] {
        return program("sqlite3", {db, "SELECT fileName, sha256, recordCheck, valuesStored FROM LOG_SOURCE ORDER BY idSource;"})
            .out.split('\n', Qt::SkipEmptyParts);
    };
    QStringList stored = rows();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[0].section('|', 1, 1), sha256sum(m_logs[0]));
    QCOMPARE(stored[0].section('|', 2, 2), QStringLiteral("совпадает"));
    QVERIFY(stored[0].section('|', 3, 3).toInt() > 0);

    // A copy changed after its download still loads; it is said once and noted.
    const QString changed = m_dir.filePath("changed/") + m_logs[1].section('/', -1);
    QVERIFY(QDir().mkpath(m_dir.filePath("changed")));
    QByteArray bytes = testsupport::fileBytes(m_logs[1]);
    bytes[bytes.size() - 2] = char(bytes[bytes.size() - 2] ^ 0x10);
    QFile out(changed);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    QVERIFY(QFile::copy(m_logs[1] + ".json", changed + ".json"));
    Run load = cli({"import", "--db", db, changed}, m_journal);
    QCOMPARE(load.code, 0);
    QCOMPARE(load.err.count(QStringLiteral("изменён после загрузки")), 1);
    load = cli({"import", "--db", db, changed}, m_journal);
    QCOMPARE(load.err.count(QStringLiteral("изменён после загрузки")), 0);
    stored = rows();
    QCOMPARE(stored.size(), 3);
    QCOMPARE(stored[2].section('|', 2, 2), QStringLiteral("изменён после загрузки"));

    // The journal names both loads and the changed one with its hash.
    const QString journal = QString::fromUtf8(testsupport::fileBytes(m_journal));
    QCOMPARE(journal.count(QStringLiteral("\"event\":\"archiveLoad\"")), 3);
    QVERIFY(journal.contains(sha256sum(changed)));
}

void TestLogSources::reports_carryTheHashesOfTheirSources()
{
    const QString pdf = m_dir.filePath("log.pdf");
    QCOMPARE(cli({"report", m_logs[0], "--pdf", pdf}, m_journal).code, 0);
    QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Происхождение данных")), qPrintable(text.left(400)));
    QVERIFY2(text.contains(sha256sum(m_logs[0])), qPrintable(text.mid(text.indexOf(QStringLiteral("Происхождение")), 900)));
    QVERIFY(text.contains(QStringLiteral("совпадает")));
    QVERIFY(text.contains(QStringLiteral("Orvelin 1.00")));

    const QString db = m_dir.filePath("report.sqlite");
    QCOMPARE(cli(QStringList{"import", "--db", db} + m_logs, m_journal).code, 0);
    const QString dbPdf = m_dir.filePath("db.pdf");
    const Run report = cli({"report", "--db", db, "--from", "01.03.2026", "--to", "03.03.2026", "--pdf", dbPdf}, m_journal);
    QVERIFY2(report.code == 0, qPrintable(report.err));
    text = pdfText(dbPdf);
    QVERIFY2(text.contains(QStringLiteral("Происхождение данных")), qPrintable(text.left(400)));
    QVERIFY2(text.contains(sha256sum(m_logs[0])), qPrintable(text.mid(text.indexOf(QStringLiteral("Происхождение")), 900)));
    QVERIFY(text.contains(sha256sum(m_logs[1])));
}

PgTestServer* TestLogSources::server()
{
    if (!m_server)
        m_server = std::make_unique<PgTestServer>();
    return m_server->problem().isEmpty() ? m_server.get() : nullptr;
}

void TestLogSources::postgres_oneRowPerLoadedLog()
{
    if (!server() && m_server->missing())
        QSKIP("PostgreSQL is not installed");
    QVERIFY2(server(), qPrintable(m_server->problem()));
    QVERIFY(server()->createDatabase("sources"));
    const QString url = server()->url("sources");
    QCOMPARE(cli(QStringList{"import", "--db", url} + m_logs, m_journal).code, 0);
    QCOMPARE(cli(QStringList{"import", "--db", url} + m_logs, m_journal).code, 0);
    const Run rows = program("psql", {url, "-At", "-c", "SELECT sha256 FROM LOG_SOURCE ORDER BY idSource"});
    QCOMPARE(rows.out.split('\n', Qt::SkipEmptyParts), (QStringList{sha256sum(m_logs[0]), sha256sum(m_logs[1])}));
}

// With the archive on the lab's server and no journal file named, the journal
// is the archive's table, one chain for every computer: programs adding lines
// at once never fork it (psql reads it back), the command line lists and
// checks it there, and a row deleted from it is named as the break.
void TestLogSources::postgres_journalIsTheArchivesTable_oneChainForEveryWriter()
{
    if (!server() && m_server->missing())
        QSKIP("PostgreSQL is not installed");
    QVERIFY2(server(), qPrintable(m_server->problem()));
    QVERIFY(server()->createDatabase("journal"));
    const QString url = server()->url("journal");

    QStringList failures;
    QMutex failuresMutex;
    const auto writer = [&](int number) {
        ArchiveJournal journal(url);
        for (int line = 0; line < 15; ++line) {
            try {
                Journal::append(journal, QStringLiteral("test"), {{"writer", number}, {"line", line}});
            } catch (const QString& message) {
                const QMutexLocker locker(&failuresMutex);
                failures << message;
            }
        }
    };
    std::thread first(writer, 1);
    std::thread second(writer, 2);
    first.join();
    second.join();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    const QStringList lines = program("psql", {url, "-At", "-c", "SELECT line FROM JOURNAL ORDER BY idLine"})
                                  .out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 30);
    QByteArray previous(64, '0');
    QSet<QString> written;
    for (const QString& line : lines) {
        const QJsonObject entry = QJsonDocument::fromJson(line.toUtf8()).object();
        QCOMPARE(entry.value("prev").toString().toLatin1(), previous);
        previous = QCryptographicHash::hash(line.toUtf8(), QCryptographicHash::Sha256).toHex();
        written << QStringLiteral("%1/%2").arg(entry.value("writer").toInt()).arg(entry.value("line").toInt());
    }
    QCOMPARE(written.size(), 30);

    // The archive configured, no journal file: loads go to the table, not to a file.
    const QString fileJournal = QCoreApplication::applicationDirPath() + QStringLiteral("/journal.jsonl");
    const qint64 fileJournalSize = QFileInfo(fileJournal).size();
    cliprocess::Setup onServer;
    onServer.environment = QStringList{QStringLiteral("ORVELIN_JOURNAL="), QStringLiteral("ORVELIN_ARCHIVE=") + url};
    QCOMPARE(cliprocess::run(QStringList{"import"} + m_logs, onServer).code, 0);
    QCOMPARE(QFileInfo(fileJournal).size(), fileJournalSize);
    const cliprocess::Run listed = cliprocess::run({"journal", "--json"}, onServer);
    QCOMPARE(listed.code, 0);
    const QJsonObject list = QJsonDocument::fromJson(listed.out.toUtf8()).object();
    QCOMPARE(list.value("archive").toString(), url);
    const QJsonArray entries = list.value("entries").toArray();
    QCOMPARE(entries.size(), 32);
    QCOMPARE(entries.last().toObject().value("event").toString(), QStringLiteral("archiveLoad"));
    QCOMPARE(entries.last().toObject().value("sha256").toString(), sha256sum(m_logs[1]));
    QCOMPARE(cliprocess::run({"journal", "--verify", "--db", url}, onServer).code, 0);

    // A row taken out of the table breaks the chain at the row after it.
    program("psql", {url, "-c", "DELETE FROM JOURNAL WHERE idLine = (SELECT idLine FROM JOURNAL ORDER BY idLine "
                                "OFFSET 30 LIMIT 1)"});
    onServer.environment = QStringList{QStringLiteral("ORVELIN_JOURNAL=")};
    const cliprocess::Run verify = cliprocess::run({"journal", "--verify", "--json", "--db", url}, onServer);
    QCOMPARE(verify.code, 3);
    const QJsonObject check = QJsonDocument::fromJson(verify.out.toUtf8()).object();
    QCOMPARE(check.value("intact").toBool(true), false);
    QCOMPARE(check.value("firstBadLine").toInt(), 31);
    QCOMPARE(check.value("table").toString(), QStringLiteral("JOURNAL"));
}

QTEST_GUILESS_MAIN(TestLogSources)
#include "tst_logsources.moc"
