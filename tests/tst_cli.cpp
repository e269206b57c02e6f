// The command-line program, run as a separate process against a simulated
// instrument on a pseudo-terminal. What it writes is checked against the
// simulator's own files, the application's exporters, the sqlite3 shell and
// pdftotext.
#include "link/DeviceCommand.h"
#include "TestSupport.h"
#include "report/MetaTypes.h"
#include "data/CsvExporter.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "data/XlsxExporter.h"
#include "database/DataBaseInteractor.h"
#include "database/TableDBModel.h"

#include "CliProcess.h"
#include "ReportPdf.h"
#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

using CliRun = cliprocess::Run;

CliRun cli(const QStringList& arguments, const QString& ports, const QString& locale = QString())
{
    return cliprocess::run(arguments, ports, locale);
}

QJsonObject describeWorkbook(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(ORVELIN_TEST_SUPPORT_DIR "/check_xlsx.py"), path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

QStringList sqlite(const QString& file, const QString& sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {file, sql});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

float floatAt(const QByteArray& bytes, int offset)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes.constData() + offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const QDateTime kFirstStart(QDate(2024, 3, 10), QTime(1, 30, 0), Qt::UTC);
const QDateTime kSecondStart(QDate(2024, 3, 11), QTime(8, 0, 0), Qt::UTC);

QString runName(const QDateTime& start)
{
    return QString::number(start.toSecsSinceEpoch(), 16).toUpper() + QStringLiteral(".LOG");
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void find_namesTheInstrumentAndItsClockOffset();
    void files_listsRunsThenSingleMeasurements();
    void download_all_copiesTheInstrumentsBytes_andNewFetchesOnlyWhatIsMissing();
    void download_fileThatCannotBeWritten_isSaidAndTheOthersStillCome();
    void settings_set_isWrittenAndReadBack();
    void settings_secondModel_takesItsSensorFields_typedTheRussianWay();
    void settings_unreadablePeriod_isNotWrittenBackUnlessGiven();
    void syncClock_setsTheComputersWallClock();
    void show_printsTheTableAndStatistics();
    void export_isTheApplicationsExport();
    void import_thenQuery_roundTrip();
    void report_pdf_readsBack();
    void badInput_givesItsExitCodeAndOneLine_data();
    void badInput_givesItsExitCodeAndOneLine();

private:
    QString downloaded(const QString& name) const
    {
        return m_dir.filePath(QStringLiteral("LOG/%1/%2").arg(m_id).arg(name));
    }
    QString port() const { return m_sim->portName(); }

    QTemporaryDir m_dir;
    std::unique_ptr<ZrSimulator> m_sim;
    quint32 m_id = 0;
    QMap<QString, QByteArray> m_files; // name -> the instrument's bytes
    QStringList m_order;               // the names in listing order
    CliRun m_firstDownload;
};

void TestCli::initTestCase()
{
    registerMetaTypes();
    QVERIFY(m_dir.isValid());
    m_id = 7000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    ZrSimulator::Options options;
    options.id = m_id;
    options.defaultFiles = false;
    m_sim = std::make_unique<ZrSimulator>(options);
    SimRunSpec first;
    first.records = 12;
    first.start = kFirstStart;
    SimRunSpec second;
    second.records = 3;
    second.start = kSecondStart;
    second.channel2Present = false;
    second.seed = 7;
    m_files.insert(runName(kFirstStart), m_sim->addRun(first));
    m_files.insert(runName(kSecondStart), m_sim->addRun(second));
    m_files.insert(QStringLiteral("SINGLE00.LOG"), m_sim->addSingle(3));
    m_order = QStringList{runName(kFirstStart), runName(kSecondStart), QStringLiteral("SINGLE00.LOG")};
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));

    // Everything below works on downloaded copies.
    m_firstDownload = cli({QStringLiteral("download"), QStringLiteral("--all"), QStringLiteral("-o"),
                           m_dir.filePath(QStringLiteral("LOG"))},
                          port());
    QVERIFY2(m_firstDownload.code == 0, qPrintable(m_firstDownload.err));
}

void TestCli::find_namesTheInstrumentAndItsClockOffset()
{
    // An instrument an hour ahead of the computer.
    m_sim->setClock(QDateTime(QDateTime::currentDateTime().date(), QDateTime::currentDateTime().time(), Qt::UTC)
                        .addSecs(3600));
    const CliRun run = cli({QStringLiteral("find"), QStringLiteral("--json")}, QStringLiteral("/nonexistent/tty:") + port());
    QCOMPARE(run.code, 0);
    const QJsonObject found = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(found.value("port").toString(), port());
    QCOMPARE(found.value("type").toString(), QStringLiteral("ZR7.47"));
    QCOMPARE(found.value("firmware").toString(), QStringLiteral("1.03"));
    QCOMPARE(qint64(found.value("id").toDouble()), qint64(m_id));
    QVERIFY2(qAbs(found.value("clockOffsetSeconds").toDouble() - 3600) <= 5, qPrintable(run.out));

    const CliRun text = cli({QStringLiteral("find")}, port());
    QCOMPARE(text.code, 0);
    QVERIFY(text.out.contains(QStringLiteral("ID устройства:")));
    QVERIFY(text.out.contains(QString::number(m_id)));
}

void TestCli::files_listsRunsThenSingleMeasurements()
{
    const CliRun run = cli({QStringLiteral("files"), QStringLiteral("--json")}, port());
    QCOMPARE(run.code, 0);
    const QJsonArray files = QJsonDocument::fromJson(run.out.toUtf8()).object().value("files").toArray();
    QCOMPARE(files.size(), 3);
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(files.at(i).toObject().value("name").toString(), m_order.at(i));
    const QJsonObject first = files.at(0).toObject();
    QCOMPARE(first.value("records").toInt(), 12);
    QCOMPARE(first.value("start").toString(), QStringLiteral("2024-03-10T01:30:00"));
    QCOMPARE(files.at(2).toObject().value("start").toString(), QString());

    const CliRun text = cli({QStringLiteral("files")}, port());
    QCOMPARE(text.code, 0);
    QVERIFY(text.out.contains(QStringLiteral("01:30:00 10.03.2024")));
}

void TestCli::download_all_copiesTheInstrumentsBytes_andNewFetchesOnlyWhatIsMissing()
{
    // Without a terminal: the paths on stdout, one line per file on stderr.
    QStringList paths;
    QStringList said;
    for (const QString& name : qAsConst(m_order)) {
        QVERIFY2(testsupport::fileBytes(downloaded(name)) == m_files.value(name), qPrintable(name));
        paths << downloaded(name);
        said << QStringLiteral("%1: загружен, измерений: %2").arg(name).arg((m_files.value(name).size() - 7) / 24);
    }
    QCOMPARE(m_firstDownload.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), paths);
    QCOMPARE(m_firstDownload.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts), said);

    m_sim->clearRequests();
    CliRun run = cli({QStringLiteral("download"), QStringLiteral("--new"), QStringLiteral("-o"),
                      m_dir.filePath(QStringLiteral("LOG"))},
                     port());
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QString());
    QCOMPARE(m_sim->requestCount(DeviceCommand::OpenFile), 0);
    QCOMPARE(m_sim->requestCount(DeviceCommand::ReadRecord), 0);

    // A copy cut short is not complete: only it is fetched again, whole.
    const QString cut = downloaded(m_order.at(1));
    QVERIFY(QFile::resize(cut, 40));
    run = cli({QStringLiteral("download"), QStringLiteral("--new"), QStringLiteral("-o"), m_dir.filePath(QStringLiteral("LOG"))},
              port());
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out.trimmed(), cut);
    QCOMPARE(m_sim->requestCount(DeviceCommand::OpenFile), 1);
    QCOMPARE(testsupport::fileBytes(cut), m_files.value(m_order.at(1)));
}

void TestCli::download_fileThatCannotBeWritten_isSaidAndTheOthersStillCome()
{
    // A folder in the way of the first file's name.
    const QString root = m_dir.filePath(QStringLiteral("blocked"));
    QVERIFY(QDir().mkpath(QStringLiteral("%1/%2/%3").arg(root).arg(m_id).arg(m_order.at(0))));
    const CliRun run = cli({QStringLiteral("download"), QStringLiteral("--all"), QStringLiteral("-o"), root}, port());
    QCOMPARE(run.code, 2);
    const QString said = run.err.section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(said.startsWith(QStringLiteral("orvelin-cli: ")) && said.contains(m_order.at(0)), qPrintable(run.err));
    QCOMPARE(run.err.count(QStringLiteral("orvelin-cli: ")), 1);
    const QStringList paths = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(paths.size(), 2);
    for (const QString& path : paths)
        QCOMPARE(testsupport::fileBytes(path), m_files.value(QFileInfo(path).fileName()));
}

void TestCli::settings_set_isWrittenAndReadBack()
{
    const CliRun run = cli({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("brightness=35"),
                            QStringLiteral("--set"), QStringLiteral("temperatureAlarmMax1=31,5"), QStringLiteral("--set=sound=0"),
                            QStringLiteral("--set"), QStringLiteral("logPeriod=1:02:03")},
                           port());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    for (const QString& expected : {QStringLiteral("brightness=35"), QStringLiteral("temperatureAlarmMax1=31.5"),
                                    QStringLiteral("sound=0"), QStringLiteral("logPeriod=01:02:03")})
        QVERIFY2(lines.contains(expected), qPrintable(expected));

    // The instrument's memory, read at the offsets of its settings block.
    const QByteArray area = m_sim->settingsArea();
    QCOMPARE(quint8(area.at(0)), quint8(35));
    QCOMPARE(quint8(area.at(3)), quint8(1));
    QCOMPARE(quint8(area.at(4)), quint8(2));
    QCOMPARE(quint8(area.at(5)), quint8(3));
    QCOMPARE(quint8(area.at(9)) & 1, 0);
    QCOMPARE(floatAt(area, 10), 31.5f);

    const QJsonObject json = QJsonDocument::fromJson(
        cli({QStringLiteral("settings"), QStringLiteral("--json")}, port()).out.toUtf8()).object();
    QCOMPARE(json.value("settings").toObject().value("brightness").toInt(), 35);
    QCOMPARE(json.value("settings").toObject().value("temperatureAlarmMax1").toDouble(), 31.5);
    QCOMPARE(json.value("settings").toObject().value("sound").toBool(), false);

    // Asking for what the instrument holds already writes nothing.
    m_sim->clearRequests();
    QCOMPARE(cli({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("brightness=35")}, port()).code, 0);
    QCOMPARE(m_sim->requestCount(DeviceCommand::WriteMemory), 0);
}

void TestCli::settings_secondModel_takesItsSensorFields_typedTheRussianWay()
{
    ZrSimulator::Options options;
    options.model = QStringLiteral("7.49");
    options.id = m_id + 1;
    options.defaultFiles = false;
    ZrSimulator second(options);
    QVERIFY(second.start());
    const CliRun run = cli({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("sensorType=5"),
                            QStringLiteral("--set"), QStringLiteral("value4mA=-12,34"), QStringLiteral("--set"),
                            QStringLiteral("unit=3"), QStringLiteral("--set"), QStringLiteral("humidityAlarmMax2=99.9")},
                           second.portName(), QStringLiteral("ru_RU.UTF-8"));
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(QStringLiteral("value4mA=-12.3")), qPrintable(run.out));
    QVERIFY(lines.contains(QStringLiteral("humidityAlarmMax2=99.9")));

    const QByteArray area = second.settingsArea();
    QCOMPARE(quint8(area.at(94)), quint8(5));
    QCOMPARE(floatAt(area, 100), -12.3f);
    QCOMPARE(quint8(area.at(104)), quint8(3));
    QCOMPARE(floatAt(area, 51 + 4), 99.9f);
}

void TestCli::settings_unreadablePeriod_isNotWrittenBackUnlessGiven()
{
    const QByteArray original = m_sim->settingsArea();
    QByteArray broken = original;
    broken[3] = char(25); // hours past 23
    m_sim->setSettingsArea(broken);

    CliRun run = cli({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("brightness=40")}, port());
    QCOMPARE(run.code, 2);
    QVERIFY2(run.err.contains(QStringLiteral("logPeriod")), qPrintable(run.err));
    QCOMPARE(m_sim->settingsArea(), broken);

    run = cli({QStringLiteral("settings"), QStringLiteral("--set"), QStringLiteral("brightness=40"), QStringLiteral("--set"),
               QStringLiteral("logPeriod=0:00:10")},
              port());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QByteArray area = m_sim->settingsArea();
    QCOMPARE(area.mid(3, 3), QByteArray("\x00\x00\x0a", 3));
    QCOMPARE(quint8(area.at(0)), quint8(40));
    m_sim->setSettingsArea(original);
}

void TestCli::syncClock_setsTheComputersWallClock()
{
    m_sim->setClock(QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC));
    QCOMPARE(cli({QStringLiteral("sync-clock")}, port()).code, 0);
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime wallClock(now.date(), now.time(), Qt::UTC);
    QVERIFY(qAbs(m_sim->clock().secsTo(wallClock)) <= 5);
}

void TestCli::show_printsTheTableAndStatistics()
{
    const QString log = downloaded(m_order.at(0));
    CliRun run = cli({QStringLiteral("show"), log}, QString());
    QCOMPARE(run.code, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1 + 12);
    const QRegularExpression columns(QStringLiteral("\\s{2,}"));
    QCOMPARE(lines.at(0).split(columns),
             (QStringList{"Дата", "Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"}));
    QVERIFY2(lines.at(1).startsWith(QStringLiteral("10.03.2024 01:30:00  ")), qPrintable(lines.at(1)));

    // Channel 1's extremes, read from the instrument's bytes (value at record offset 8).
    const QByteArray bytes = m_files.value(m_order.at(0));
    float maximum = floatAt(bytes, 7 + 8);
    int maxRecord = 0;
    for (int k = 1; k < 12; ++k) {
        if (floatAt(bytes, 7 + 24 * k + 8) > maximum) {
            maximum = floatAt(bytes, 7 + 24 * k + 8);
            maxRecord = k;
        }
    }
    run = cli({QStringLiteral("show"), log, QStringLiteral("--stats"), QStringLiteral("--json")}, QString());
    QCOMPARE(run.code, 0);
    const QJsonObject stats = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(stats.value("records").toInt(), 12);
    const QJsonObject channel1 = stats.value("columns").toArray().at(0).toObject();
    QCOMPARE(channel1.value("name").toString(), QStringLiteral("Канал №1"));
    QCOMPARE(float(channel1.value("maximum").toObject().value("value").toDouble()), maximum);
    QCOMPARE(channel1.value("maximum").toObject().value("time").toString(),
             kFirstStart.addSecs(10 * maxRecord).toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")));

    run = cli({QStringLiteral("show"), log, QStringLiteral("--stats")}, QString());
    QCOMPARE(run.code, 0);
    // The statistics table comes first and whole; the times of the extremes
    // and the MKT follow it after an empty line.
    const QStringList statLines = run.out.section(QStringLiteral("\n\n"), 0, 0).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(statLines.size(), 4);
    QVERIFY(statLines.at(1).startsWith(QStringLiteral("Максимум  ") + QString::number(maximum, 'f', 2)));
}

void TestCli::export_isTheApplicationsExport()
{
    const QString log = downloaded(m_order.at(0));
    const QString csv = m_dir.filePath(QStringLiteral("cli.csv"));
    const QString xlsx = m_dir.filePath(QStringLiteral("cli.xlsx"));
    const CliRun run = cli({QStringLiteral("export"), log, QStringLiteral("--csv"), csv, QStringLiteral("--xlsx"), xlsx},
                           QString());
    QVERIFY2(run.code == 0, qPrintable(run.err));

    ModelLogRecord model;
    LogFile::readInto(log, model);
    QCOMPARE(testsupport::fileBytes(csv), CsvExporter::logCsv(model));
    const QString expected = m_dir.filePath(QStringLiteral("app.xlsx"));
    XlsxExporter::saveLog(expected, model);
    const QJsonObject workbook = describeWorkbook(xlsx);
    QVERIFY(!workbook.isEmpty());
    QCOMPARE(workbook, describeWorkbook(expected));
}

void TestCli::import_thenQuery_roundTrip()
{
    const QString db = m_dir.filePath(QStringLiteral("archive.sqlite"));
    const QString first = downloaded(m_order.at(0));
    const QString second = downloaded(m_order.at(1));
    CliRun run = cli({QStringLiteral("import"), first, second, QStringLiteral("--db"), db}, QString());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    // Both channels with their additional values, then channel 1 alone.
    const int values = 12 * 4 + 3 * 2;
    QCOMPARE(sqlite(db, QStringLiteral("SELECT count(*) FROM RECORD_ZR")), QStringList{QString::number(values)});

    run = cli({QStringLiteral("import"), first, QStringLiteral("--db"), db}, QString());
    QCOMPARE(run.code, 0);
    QVERIFY2(run.err.contains(QStringLiteral("добавлено значений: 0")), qPrintable(run.err));
    QCOMPARE(sqlite(db, QStringLiteral("SELECT count(*) FROM RECORD_ZR")), QStringList{QString::number(values)});

    // The first run's period, one channel: what the database screen would save.
    const QString csv = m_dir.filePath(QStringLiteral("query.csv"));
    run = cli({QStringLiteral("query"), QStringLiteral("--channel"), QStringLiteral("Канал №1"), QStringLiteral("--device"),
               QString::number(m_id), QStringLiteral("--from"), QStringLiteral("10.03.2024"), QStringLiteral("--to"),
               QStringLiteral("2024-03-10 23:00"), QStringLiteral("--csv"), csv, QStringLiteral("--db"), db},
              QString());
    QVERIFY2(run.code == 0, qPrintable(run.err));

    DataBaseInteractor archive(db);
    TableDBModel selection;
    archive.setRecordModel(&selection);
    archive.open();
    QMultiHash<QString, QVariant> filter;
    filter.insert(QStringLiteral("DateTime"), QDateTime(QDate(2024, 3, 10), QTime(0, 0), Qt::UTC));
    filter.insert(QStringLiteral("DateTime"), QDateTime(QDate(2024, 3, 10), QTime(23, 0), Qt::UTC));
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    filter.insert(QStringLiteral("idDevice"), int(m_id));
    archive.updateModel(filter);
    QCOMPARE(selection.rowCount(), 12);
    QCOMPARE(testsupport::fileBytes(csv), CsvExporter::queryCsv(&selection));
}

void TestCli::report_pdf_readsBack()
{
    const QString pdf = m_dir.filePath(QStringLiteral("log.pdf"));
    CliRun run = cli({QStringLiteral("report"), downloaded(m_order.at(0)), QStringLiteral("--charts"),
                      QStringLiteral("separate"), QStringLiteral("--pdf"), pdf},
                     QString());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QString text = reportpdf::text(pdf);
    QVERIFY2(reportpdf::containsInOrder(text, {QStringLiteral("Краткий отчёт о работе прибора ZR-7.47 ID: %1,").arg(m_id),
                                               QStringLiteral("c 10.03.24 01:30:00 по 10.03.24 01:31:50."),
                                               QStringLiteral("Статистика по Канал №1"),
                                               QStringLiteral("Статистика по Доп.измерение №2")}),
             qPrintable(text));
    // One chart per measurement column.
    QCOMPARE(reportpdf::pictures(pdf).size(), 4);

    const QString db = m_dir.filePath(QStringLiteral("report.sqlite"));
    QCOMPARE(cli({QStringLiteral("import"), downloaded(m_order.at(0)), QStringLiteral("--db"), db}, QString()).code, 0);
    const QString dbPdf = m_dir.filePath(QStringLiteral("db.pdf"));
    run = cli({QStringLiteral("report"), QStringLiteral("--db"), db, QStringLiteral("--channel"), QStringLiteral("Канал №2"),
               QStringLiteral("--full"), QStringLiteral("--pdf"), dbPdf},
              QString());
    QVERIFY2(run.code == 0, qPrintable(run.err));
    const QString dbText = reportpdf::text(dbPdf);
    QVERIFY2(reportpdf::containsInOrder(dbText, {QStringLiteral("Полный отчёт из базы данных с отбором"),
                                                 QStringLiteral("по каналам : Канал №2;"),
                                                 QStringLiteral("Статистика по Канал №2"), QStringLiteral("Отчёт"),
                                                 QStringLiteral("10.03.2024 01:31:50")}),
             qPrintable(dbText));
}

void TestCli::badInput_givesItsExitCodeAndOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("instrument");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    const QString damaged = m_dir.filePath(QStringLiteral("damaged.LOG"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ID\x00\x01\x02\x03\x04", 7);
    file.close();
    const QString log = downloaded(m_order.at(0));
    const QString db = m_dir.filePath(QStringLiteral("bad.sqlite"));
    const QString nowhere = QStringLiteral("/nonexistent-dir/out");

    QTest::newRow("no command") << QStringList{} << false << 1 << "Не указана команда";
    QTest::newRow("unknown command") << QStringList{"frob"} << false << 1 << "Неизвестная команда «frob»";
    QTest::newRow("unknown option") << QStringList{"show", "--bogus", log} << false << 1 << "«--bogus»";
    QTest::newRow("option without value") << QStringList{"export", log, "--csv"} << false << 1 << "«--csv»";
    QTest::newRow("missing file") << QStringList{"show", "/nonexistent.LOG"} << false << 2 << "Файл не найден";
    QTest::newRow("damaged log") << QStringList{"show", damaged} << false << 2 << "Файл поврежден";
    QTest::newRow("damaged log import") << QStringList{"import", damaged, "--db", db} << false << 2 << "Файл поврежден";
    QTest::newRow("no instrument") << QStringList{"find"} << false << 2 << "Прибор не найден";
    QTest::newRow("no instrument on port") << QStringList{"files", "--port", "/nonexistent/tty"} << true << 2
                                           << "Прибор не найден";
    QTest::newRow("file not on instrument") << QStringList{"download", "NOPE.LOG", "-o", m_dir.path()} << true << 2
                                            << "NOPE.LOG";
    QTest::newRow("download without choice") << QStringList{"download"} << true << 1 << "--all";
    QTest::newRow("unwritable csv") << QStringList{"export", log, "--csv", nowhere + ".csv"} << false << 2
                                    << "Ошибка открытия файла";
    QTest::newRow("unwritable xlsx") << QStringList{"export", log, "--xlsx", nowhere + ".xlsx"} << false << 2
                                     << "Ошибка сохранения xlsx файла";
    QTest::newRow("unwritable pdf") << QStringList{"report", log, "--pdf", nowhere + ".pdf"} << false << 2
                                    << "Не удалось записать отчёт";
    QTest::newRow("setting out of range") << QStringList{"settings", "--set", "brightness=300"} << true << 1
                                          << "brightness=300";
    QTest::newRow("lower limit equal to upper") << QStringList{"settings", "--set", "humidityAlarmMin2=80"} << true << 1
                                                << "humidityAlarmMax2";
    QTest::newRow("zero logging period") << QStringList{"settings", "--set", "logPeriod=0:00:00"} << false << 1
                                         << "logPeriod";
    QTest::newRow("fractional integer") << QStringList{"settings", "--set", "brightness=12.5"} << false << 1
                                        << "brightness";
    QTest::newRow("switch neither on nor off") << QStringList{"settings", "--set", "sound=maybe"} << false << 1 << "sound";
    QTest::newRow("assignment without key") << QStringList{"settings", "--set", "=5"} << false << 1 << "«=5»";
    QTest::newRow("json table") << QStringList{"show", log, "--json"} << false << 1 << "--stats";
    QTest::newRow("unknown chart kind") << QStringList{"report", log, "--charts", "pie", "--pdf", nowhere} << false << 1
                                        << "pie";
    QTest::newRow("unknown setting") << QStringList{"settings", "--set", "sensorType=1"} << true << 1 << "sensorType";
    QTest::newRow("malformed time") << QStringList{"query", "--from", "32.13.2020", "--csv", nowhere, "--db", db} << false
                                    << 1 << "32.13.2020";
    QTest::newRow("missing archive") << QStringList{"query", "--csv", nowhere, "--db", "/nonexistent.sqlite"} << false << 2
                                     << "Ошибка открытия базы данных";
    QTest::newRow("report without pdf") << QStringList{"report", log} << false << 1 << "--pdf";
}

void TestCli::badInput_givesItsExitCodeAndOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, instrument);
    QFETCH(int, code);
    QFETCH(QString, says);

    const QByteArray settingsBefore = m_sim->settingsArea();
    const CliRun run = cli(arguments, instrument ? port() : QString());
    QVERIFY(!run.crashed);
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.endsWith(QLatin1Char('\n')) && run.err.count(QLatin1Char('\n')) == 1, qPrintable(run.err));
    QVERIFY2(run.err.startsWith(QStringLiteral("orvelin-cli: ")) && run.err.contains(says), qPrintable(run.err));
    // A refused setting never reaches the instrument.
    QCOMPARE(m_sim->settingsArea(), settingsBefore);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
