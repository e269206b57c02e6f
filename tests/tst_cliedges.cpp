// The command line at its edges: bad periods and paths, outputs that fail
// half-way, a stdout that takes nothing, no display, failures nobody
// expected, and the machine-readable summaries. The program runs as a
// separate process; its top-level guard also in-process.
#include "report/MetaTypes.h"
#include "TestSupport.h"
#include "cli/CliApp.h"
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"

#include "CliProcess.h"
#include "LogFileBytes.h"
#include "ZrSimulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <new>
#include <stdexcept>
#include <unistd.h>

namespace {

using cliprocess::Run;

// 10.03.2024 01:30:00 of the instrument's clock, records 10 s apart, with a
// gap of five minutes after the third.
const quint32 kStart = 1710034200;
const QList<quint32> kTimes{kStart, kStart + 10, kStart + 20, kStart + 320, kStart + 330};

QByteArray logBytes(quint32 id)
{
    QByteArray bytes = logbytes::header(0, id);
    float value = 20.0f;
    for (quint32 time : kTimes)
        bytes += logbytes::record(time, logbytes::present(value += 0.5f, 40.0f), logbytes::present(1.0f, 2.0f, 67));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList sqlite(const QString& file, const QString& sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {file, sql});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QJsonObject jsonOf(const Run& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// What CliApp::run says on stderr, caught at the descriptor.
class StderrCapture
{
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        m_file.open();
        dup2(m_file.handle(), STDERR_FILENO);
    }
    QString finish()
    {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TestCliEdges : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void anyFailure_endsWithOneLineAndItsCode_data();
    void anyFailure_endsWithOneLineAndItsCode();
    void stdoutThatTakesNothing_isAFailure();
    void noDisplay_isNeverNeeded();
    void refusedCall_saysWhyAndWritesNothing_data();
    void refusedCall_saysWhyAndWritesNothing();
    void csvAndXlsx_areWrittenBothOrNeither();
    void dash_isStdoutForCsvAndStdinForImport();
    void import_damagedFirstFile_stillImportsTheOthers();
    void json_summariesOfDownloadSyncClockImportQueryReport();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Files of m_dir that a refused or failed command must not have left.
    QStringList leftovers() const
    {
        return QDir(m_dir.path()).entryList({QStringLiteral("out*"), QStringLiteral(".*part*")},
                                            QDir::Files | QDir::Hidden);
    }

    QTemporaryDir m_dir;
    QString m_log;
    QString m_archive;
    const quint32 m_id = 4100000002u;
};

void TestCliEdges::initTestCase()
{
    registerMetaTypes();
    QVERIFY(m_dir.isValid());
    m_log = path(QStringLiteral("run.LOG"));
    QVERIFY(writeFile(m_log, logBytes(m_id)));
    m_archive = path(QStringLiteral("archive.sqlite"));
    const Run imported = cliprocess::run({QStringLiteral("import"), m_log, QStringLiteral("--db"), m_archive});
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
}

void TestCliEdges::anyFailure_endsWithOneLineAndItsCode_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");
    QTest::newRow("out of memory") << 0 << 2 << "Недостаточно памяти";
    QTest::newRow("standard exception") << 1 << 2 << "Внутренняя ошибка: broken invariant";
    QTest::newRow("anything thrown") << 2 << 2 << "Внутренняя ошибка";
    QTest::newRow("core message") << 3 << 2 << "Файл поврежден";
    QTest::newRow("wrong call") << 4 << 1 << "нет такого";
}

void TestCliEdges::anyFailure_endsWithOneLineAndItsCode()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(QString, says);
    CliCommand failing;
    failing.name = QStringLiteral("fail");
    failing.run = [kind](const CliArguments&) -> int {
        switch (kind) {
        case 0:
            throw std::bad_alloc();
        case 1:
            throw std::logic_error("broken invariant");
        case 2:
            throw 42;
        case 3:
            throw QStringLiteral("Файл поврежден");
        default:
            throw CliFailure::usage(QStringLiteral("нет такого"));
        }
    };
    StderrCapture capture;
    const int exitCode = CliApp::run({QStringLiteral("fail")}, {failing});
    const QString said = capture.finish();
    QCOMPARE(exitCode, code);
    QVERIFY2(said.startsWith(QStringLiteral("orvelin-cli: ")) && said.contains(says), qPrintable(said));
    QCOMPARE(said.count(QLatin1Char('\n')), 1);
}

void TestCliEdges::stdoutThatTakesNothing_isAFailure()
{
    // A full disk behind a redirection: the table, the help, a JSON summary.
    const QList<QStringList> calls{
        {QStringLiteral("show"), m_log},
        {QStringLiteral("--help")},
        {QStringLiteral("show"), m_log, QStringLiteral("--stats"), QStringLiteral("--json")},
        {QStringLiteral("export"), m_log, QStringLiteral("--csv"), QStringLiteral("-")},
    };
    for (const QStringList& arguments : calls) {
        cliprocess::Setup setup;
        setup.outputFile = QStringLiteral("/dev/full");
        const Run run = cliprocess::run(arguments, setup);
        QVERIFY(!run.crashed);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(QStringLiteral("Ошибка записи в стандартный вывод: нет места на диске")),
                 qPrintable(run.err));
    }
}

void TestCliEdges::noDisplay_isNeverNeeded()
{
    cliprocess::Setup setup;
    setup.environment = QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY="),
                                    QStringLiteral("WAYLAND_DISPLAY=")};
    Run run = cliprocess::run({QStringLiteral("--help")}, setup);
    QVERIFY(!run.crashed);
    QCOMPARE(run.code, 0);
    QVERIFY(run.out.contains(QStringLiteral("Коды завершения")));
    // Drawing a report is what would reach for the platform.
    const QString pdf = path(QStringLiteral("nodisplay.pdf"));
    run = cliprocess::run({QStringLiteral("report"), m_log, QStringLiteral("--charts"), QStringLiteral("common"),
                           QStringLiteral("--pdf"), pdf},
                          setup);
    QVERIFY2(run.code == 0, qPrintable(run.err));
    QVERIFY(testsupport::fileBytes(pdf).startsWith("%PDF"));
}

void TestCliEdges::refusedCall_saysWhyAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    const QString pdf = path(QStringLiteral("out.pdf"));
    const QString csv = path(QStringLiteral("out.csv"));
    const QString folder = path(QStringLiteral("folder.LOG"));
    QDir().mkpath(folder);
    const QString text = path(QStringLiteral("notes.sqlite"));
    writeFile(text, "просто текст, не база\n");
    // Sparse: a valid header, then a gigabyte nobody wrote.
    const QString huge = path(QStringLiteral("huge.LOG"));
    writeFile(huge, logBytes(m_id));
    QFile::resize(huge, qint64(1) << 30);
    // One record over the instrument's memory.
    const QString oversized = path(QStringLiteral("oversized.LOG"));
    writeFile(oversized, logBytes(m_id));
    QFile::resize(oversized, 0x100000 + 1);

    const QString db = QStringLiteral("--db");
    QTest::newRow("query backwards") << QStringList{"query", "--from", "01.04.2024", "--to", "01.03.2024", "--csv", csv, db,
                                                    m_archive}
                                     << 1 << "позже его конца";
    QTest::newRow("archive report backwards") << QStringList{"report", db, m_archive, "--from", "01.04.2024", "--to",
                                                             "01.03.2024", "--pdf", pdf}
                                              << 1 << "позже его конца";
    QTest::newRow("file report backwards") << QStringList{"report", m_log, "--from", "11.03.2024", "--to", "10.03.2024",
                                                          "--pdf", pdf}
                                           << 1 << "позже его конца";
    QTest::newRow("file report after the file") << QStringList{"report", m_log, "--from", "01.01.2030", "--to",
                                                               "02.01.2030", "--pdf", pdf}
                                                << 2 << "Нет измерений за период";
    QTest::newRow("file report before the file") << QStringList{"report", m_log, "--to", "09.03.2024", "--pdf", pdf}
                                                 << 2 << "Нет измерений за период";
    QTest::newRow("file report in a gap") << QStringList{"report", m_log, "--from", "10.03.2024 01:30:30", "--to",
                                                         "10.03.2024 01:35:00", "--pdf", pdf}
                                          << 2 << "Нет измерений за период";
    QTest::newRow("archive report in a gap") << QStringList{"report", db, m_archive, "--from", "10.03.2024 01:30:30",
                                                            "--to", "10.03.2024 01:35:00", "--pdf", pdf}
                                             << 2 << "Нет измерений за период";
    QTest::newRow("query from after the archive") << QStringList{"query", "--from", "01.01.2030", "--csv", csv, db,
                                                                 m_archive}
                                                  << 2 << "Нет измерений за период";
    QTest::newRow("log taken for the archive") << QStringList{"report", db, m_log, "--pdf", pdf} << 1
                                               << "файл .LOG, а не база данных";
    QTest::newRow("xlsx to stdout") << QStringList{"export", m_log, "--xlsx", "-"} << 1 << "--xlsx";
    QTest::newRow("csv to stdout beside json") << QStringList{"query", "--csv", "-", "--json", db, m_archive} << 1
                                               << "--json";
    QTest::newRow("folder as log") << QStringList{"show", folder} << 2 << "Файл не найден: это папка";
    QTest::newRow("device as log") << QStringList{"show", "/dev/zero"} << 2 << "Файл не найден: это не обычный файл";
    QTest::newRow("folder as archive") << QStringList{"query", "--csv", csv, db, m_dir.path()} << 2
                                       << "Ошибка открытия базы данных: это папка";
    QTest::newRow("text as archive") << QStringList{"import", m_log, db, text} << 2
                                     << "Ошибка открытия базы данных: файл не является базой данных";
    QTest::newRow("sparse gigabyte log") << QStringList{"show", huge, "--stats"} << 2
                                         << "Файл поврежден: файл больше памяти прибора";
    QTest::newRow("log one byte too large") << QStringList{"report", oversized, "--pdf", pdf} << 2
                                            << "Файл поврежден: файл больше памяти прибора";
}

void TestCliEdges::refusedCall_saysWhyAndWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, says);
    const QByteArray archiveBefore = testsupport::fileBytes(m_archive);
    const Run run = cliprocess::run(arguments);
    QVERIFY(!run.crashed);
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(QStringLiteral("orvelin-cli: ")) && run.err.contains(says), qPrintable(run.err));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    QCOMPARE(leftovers(), QStringList());
    QCOMPARE(testsupport::fileBytes(m_archive), archiveBefore);
}

void TestCliEdges::csvAndXlsx_areWrittenBothOrNeither()
{
    const QString csv = path(QStringLiteral("out.csv"));
    const QString missingFolder = path(QStringLiteral("no-such-folder/out.xlsx"));
    // The XLSX cannot be written: the CSV must not appear alone.
    Run run = cliprocess::run({QStringLiteral("export"), m_log, QStringLiteral("--csv"), csv, QStringLiteral("--xlsx"),
                               missingFolder});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(missingFolder), qPrintable(run.err));
    QCOMPARE(leftovers(), QStringList());

    run = cliprocess::run({QStringLiteral("query"), QStringLiteral("--csv"), csv, QStringLiteral("--xlsx"), missingFolder,
                           QStringLiteral("--db"), m_archive});
    QCOMPARE(run.code, 2);
    QCOMPARE(leftovers(), QStringList());

    // An earlier export stays as it was when the new one fails.
    const QString kept = path(QStringLiteral("kept.csv"));
    QVERIFY(writeFile(kept, "earlier export\n"));
    run = cliprocess::run({QStringLiteral("export"), m_log, QStringLiteral("--csv"), kept, QStringLiteral("--xlsx"),
                           missingFolder});
    QCOMPARE(run.code, 2);
    QCOMPARE(testsupport::fileBytes(kept), QByteArray("earlier export\n"));

    // Both writable: both are there, and nothing else.
    const QString both = path(QStringLiteral("both.csv"));
    const QString workbook = path(QStringLiteral("both.xlsx"));
    run = cliprocess::run({QStringLiteral("export"), m_log, QStringLiteral("--csv"), both, QStringLiteral("--xlsx"), workbook});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    QVERIFY(testsupport::fileBytes(both).contains("10.03.2024"));
    QVERIFY(testsupport::fileBytes(workbook).startsWith("PK"));
    QCOMPARE(leftovers(), QStringList());
}

void TestCliEdges::dash_isStdoutForCsvAndStdinForImport()
{
    const QString csv = path(QStringLiteral("export.csv"));
    QCOMPARE(cliprocess::run({QStringLiteral("export"), m_log, QStringLiteral("--csv"), csv}).code, 0);
    Run run = cliprocess::run({QStringLiteral("export"), m_log, QStringLiteral("--csv"), QStringLiteral("-")});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.outBytes, testsupport::fileBytes(csv));

    const QString selection = path(QStringLiteral("selection.csv"));
    QCOMPARE(cliprocess::run({QStringLiteral("query"), QStringLiteral("--csv"), selection, QStringLiteral("--db"), m_archive})
                 .code,
             0);
    run = cliprocess::run({QStringLiteral("query"), QStringLiteral("--csv"), QStringLiteral("-"), QStringLiteral("--db"),
                           m_archive});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.outBytes, testsupport::fileBytes(selection));
    QVERIFY(run.outBytes.count('\n') > kTimes.size());

    // Paths on standard input, one a line, blank lines and CR LF ends allowed.
    const QString second = path(QStringLiteral("second.LOG"));
    QByteArray other = logbytes::header(0, m_id + 1);
    other += logbytes::record(kStart, logbytes::present(1.0f), logbytes::absent());
    QVERIFY(writeFile(second, other));
    const QString db = path(QStringLiteral("fromstdin.sqlite"));
    cliprocess::Setup setup;
    setup.input = (m_log + QStringLiteral("\r\n\n") + second + QStringLiteral("\n")).toUtf8();
    run = cliprocess::run({QStringLiteral("import"), QStringLiteral("-"), QStringLiteral("--db"), db}, setup);
    QVERIFY2(run.code == 0, qPrintable(run.err));
    // Five records of two channels with their additional values, then one of channel 1 with its own.
    QCOMPARE(sqlite(db, QStringLiteral("SELECT count(*) FROM RECORD_ZR")), QStringList{QStringLiteral("22")});
}

void TestCliEdges::import_damagedFirstFile_stillImportsTheOthers()
{
    const QString damaged = path(QStringLiteral("damaged.LOG"));
    QVERIFY(writeFile(damaged, QByteArray("ID\x00\x01\x02\x03\x04", 7)));
    const QString db = path(QStringLiteral("partial.sqlite"));
    const Run run = cliprocess::run({QStringLiteral("import"), damaged, m_log, QStringLiteral("--db"), db});
    QCOMPARE(run.code, 2);
    QCOMPARE(run.err.count(QStringLiteral("orvelin-cli: ")), 1);
    QVERIFY2(run.err.contains(damaged + QStringLiteral(": Файл поврежден")), qPrintable(run.err));
    QCOMPARE(sqlite(db, QStringLiteral("SELECT count(*) FROM RECORD_ZR")), QStringList{QStringLiteral("20")});
}

void TestCliEdges::json_summariesOfDownloadSyncClockImportQueryReport()
{
    ZrSimulator::Options options;
    options.id = m_id;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    SimRunSpec spec;
    spec.records = 7;
    spec.start = QDateTime::fromSecsSinceEpoch(kStart, Qt::UTC);
    const QByteArray instrumentBytes = sim.addRun(spec);
    QVERIFY(sim.start());

    const QString root = path(QStringLiteral("downloads"));
    Run run = cliprocess::run({QStringLiteral("download"), QStringLiteral("--all"), QStringLiteral("-o"), root,
                               QStringLiteral("--json")},
                              sim.portName());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QJsonArray files = jsonOf(run).value("files").toArray();
    QCOMPARE(files.size(), 1);
    const QJsonObject file = files.at(0).toObject();
    const QString downloaded = file.value("path").toString();
    QCOMPARE(QFileInfo(downloaded).absoluteFilePath(), QDir(root).absoluteFilePath(QStringLiteral("%1/65ED0D18.LOG").arg(m_id)));
    QCOMPARE(testsupport::fileBytes(downloaded), instrumentBytes);
    QCOMPARE(qint64(file.value("size").toDouble()), qint64(instrumentBytes.size()));
    QCOMPARE(file.value("records").toInt(), 7);
    QCOMPARE(file.value("status").toString(), QStringLiteral("downloaded"));

    // An instrument two hours behind the computer.
    const QDateTime now = QDateTime::currentDateTime();
    sim.setClock(QDateTime(now.date(), now.time(), Qt::UTC).addSecs(-7200));
    run = cliprocess::run({QStringLiteral("sync-clock"), QStringLiteral("--json")}, sim.portName());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    QVERIFY2(qAbs(jsonOf(run).value("offsetBeforeSeconds").toDouble() + 7200) <= 5, qPrintable(run.out));
    QVERIFY2(qAbs(jsonOf(run).value("offsetSeconds").toDouble()) <= 5, qPrintable(run.out));

    const QString db = path(QStringLiteral("json.sqlite"));
    run = cliprocess::run({QStringLiteral("import"), downloaded, QStringLiteral("--db"), db, QStringLiteral("--json")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QString stored = sqlite(db, QStringLiteral("SELECT count(*) FROM RECORD_ZR")).value(0);
    QCOMPARE(QString::number(jsonOf(run).value("values").toInt()), stored);
    QCOMPARE(jsonOf(run).value("files").toArray().at(0).toObject().value("records").toInt(), 7);

    const QString csv = path(QStringLiteral("json.csv"));
    run = cliprocess::run({QStringLiteral("query"), QStringLiteral("--csv"), csv, QStringLiteral("--db"), db,
                           QStringLiteral("--json")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    QCOMPARE(jsonOf(run).value("rows").toInt(), 7);
    QCOMPARE(jsonOf(run).value("csv").toString(), QFileInfo(csv).absoluteFilePath());

    const QString pdf = path(QStringLiteral("json.pdf"));
    run = cliprocess::run({QStringLiteral("report"), downloaded, QStringLiteral("--from"), QStringLiteral("10.03.2024 01:30:05"),
                           QStringLiteral("--pdf"), pdf, QStringLiteral("--json")});
    QVERIFY2(run.code == 0, qPrintable(run.err));
    // Records at 01:30:10 ... 01:31:00.
    QCOMPARE(jsonOf(run).value("rows").toInt(), 6);
    QCOMPARE(qint64(jsonOf(run).value("size").toDouble()), QFileInfo(pdf).size());
}

QTEST_GUILESS_MAIN(TestCliEdges)
#include "tst_cliedges.moc"
