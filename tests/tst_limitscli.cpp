// The command line's alarm limits, run as a separate process on a log with a
// download record beside it: the verdicts and exit codes of check, the
// evaluation in show's JSON and the report's section, read back by pdftotext.
#include "ReportPdf.h"
#include "LogFileBytes.h"
#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include "CliProcess.h"

#include <QtTest>

namespace {

using Run = cliprocess::Run;

Run cli(const QStringList& arguments)
{
    return cliprocess::run(arguments);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Channel 1 in °C, ten minutes apart from 01.03.2024 00:00 of the
// instrument's clock; a NaN reading has no value.
QByteArray logBytes(const QVector<float>& values)
{
    QByteArray bytes = logbytes::header(0, 777);
    for (int i = 0; i < values.size(); ++i)
        bytes += logbytes::record(1709251200 + 600 * i, logbytes::present(values.at(i), 21.0f), logbytes::absent());
    return bytes;
}

const QByteArray record = R"({"format": "orvelin-download/1", "instrument": {"type": "ZR7.47"},
  "sha256": "0000000000000000000000000000000000000000000000000000000000000000",
  "settings": {"logPeriodSeconds": 600, "channels": [
    {"number": 1, "alarm": true, "limits": {"temperature": {"lower": 2.0, "upper": 8.0}}},
    {"number": 2, "alarm": false, "limits": {}}]}})";

} // namespace

class TestLimitsCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_outside;  // readings above and below 2..8 of its record
    QString m_within;   // no record: limits only from --limits

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_outside = m_dir.filePath("65E11A00.LOG");
        m_within = m_dir.filePath("65E11B00.LOG");
        const float gap = std::numeric_limits<float>::quiet_NaN();
        QVERIFY(writeFile(m_outside, logBytes({9.0f, 9.5f, 5.0f, gap, 1.5f, 5.0f, 8.5f})));
        QVERIFY(writeFile(m_outside + ".json", record));
        QVERIFY(writeFile(m_within, logBytes({4.0f, 5.0f})));
    }

    void check_saysVerdictsAndExitsByWhatItFound_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("outside its record's limits")
            << QStringList{"check", "OUT"} << 3
            << QStringList{QString::fromUtf8("Канал №1  2.00 .. 8.00 °C  выход за пределы  выше: 2 соб., 3 изм., 00:30:00"),
                           QString::fromUtf8("ниже: 1 соб., 1 изм., 00:10:00  первый выход 01.03.2024 00:00:00, 9.00 °C")};
        QTest::newRow("typed limits override the record")
            << QStringList{"check", "OUT", "--limits", QString::fromUtf8("Канал №1=0,5..10"), "--limits",
                           QString::fromUtf8("Доп.измерение №1=20..22")} << 0
            << QStringList{QString::fromUtf8("0.50 .. 10.00 °C  в пределах")};
        QTest::newRow("a file without limits is said, not passed unseen")
            << QStringList{"check", "IN"} << 0 << QStringList{QString::fromUtf8("нет пределов для проверки")};
        QTest::newRow("a failing file wins over a verdict")
            << QStringList{"check", "OUT", "missing.LOG"} << 2 << QStringList{QString::fromUtf8("выход за пределы")};
        QTest::newRow("lower above upper is a wrong call")
            << QStringList{"check", "OUT", "--limits", QString::fromUtf8("Канал №1=8..2")} << 1 << QStringList{};
        QTest::newRow("text is a wrong call")
            << QStringList{"check", "OUT", "--limits", QString::fromUtf8("Канал №1=два..8")} << 1 << QStringList{};
        QTest::newRow("a column the log lacks is a wrong call")
            << QStringList{"check", "OUT", "--limits", QString::fromUtf8("Канал №7=2..8")} << 1 << QStringList{};
    }
    void check_saysVerdictsAndExitsByWhatItFound()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QStringList, says);
        arguments.replaceInStrings(QRegularExpression("^OUT$"), m_outside);
        arguments.replaceInStrings(QRegularExpression("^IN$"), m_within);
        arguments.replaceInStrings(QRegularExpression("^missing"), m_dir.filePath("missing"));
        const Run run = cli(arguments);
        QCOMPARE(run.code, code);
        if (code == 1)
            QVERIFY2(run.err.contains("--limits"), qPrintable(run.err));
        const QString out = run.out.simplified();
        for (const QString& text : says)
            QVERIFY2(out.contains(text.simplified()), qPrintable(run.out));
    }

    void showJson_carriesTheEvaluationAndMkt()
    {
        const Run run = cli({"show", m_outside, "--stats", "--json"});
        QCOMPARE(run.code, 0);
        const QJsonObject column =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("columns").toArray().at(0).toObject();
        const QJsonObject e = column.value("evaluation").toObject();
        QCOMPARE(e.value("within").toBool(true), false);
        QCOMPARE(e.value("intervalSeconds").toInt(), 600);
        QCOMPARE(e.value("above").toObject(), (QJsonObject{{"readings", 3}, {"seconds", 1800}, {"events", 2}}));
        QCOMPARE(e.value("below").toObject(), (QJsonObject{{"readings", 1}, {"seconds", 600}, {"events", 1}}));
        QCOMPARE(e.value("firstOutside").toObject(), (QJsonObject{{"time", "2024-03-01T00:00:00"}, {"value", 9}}));
        QCOMPARE(e.value("withoutValue").toInt(), 1);
        QCOMPARE(e.value("maximumTime").toString(), QStringLiteral("2024-03-01T00:10:00"));
        // Independently: 10000 / -ln(mean(exp(-10000/T))) - 273.15 of the six values.
        QCOMPARE(qRound(e.value("mkt").toDouble() * 1000), 6875);
        // The additional measurement reads °C too: channel 1's temperature limits hold for it.
        const QJsonObject extra =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("columns").toArray().at(1).toObject();
        QCOMPARE(extra.value("evaluation").toObject().value("limits").toObject(),
                 (QJsonObject{{"lower", 2}, {"upper", 8}}));
        QCOMPARE(qRound(extra.value("evaluation").toObject().value("mkt").toDouble() * 1000), 21000);
    }

    void report_withLimitsCarriesTheSection()
    {
        const QString pdf = m_dir.filePath("limits.pdf");
        const Run run = cli({"report", m_within, "--limits", QString::fromUtf8("Канал №1=4,5..6"), "--charts", "separate",
                             "--pdf", pdf});
        QCOMPARE(run.code, 0);
        const QString text = reportpdf::text(pdf);
        QVERIFY2(reportpdf::containsInOrder(text, {QString::fromUtf8("Соответствие пределам"), QString::fromUtf8("Канал №1"),
                                                   QString::fromUtf8("4.50 .. 6.00 °C"), QString::fromUtf8("выход за пределы"),
                                                   QString::fromUtf8("Время ниже"), QString::fromUtf8("00:10:00 (1 изм.)")}),
                 qPrintable(text));
        // Without limits the report stays as it was.
        const QString plain = m_dir.filePath("plain.pdf");
        QCOMPARE(cli({"report", m_within, "--pdf", plain}).code, 0);
        QVERIFY(!reportpdf::text(plain).contains(QString::fromUtf8("Соответствие пределам")));
    }

    // From the archive the values are the stored texts and the interval the
    // median step of their times; NaN readings were never stored.
    void archiveReport_withLimitsCarriesTheSection()
    {
        const QString archive = m_dir.filePath("limits.sqlite");
        QCOMPARE(cli({"import", m_outside, "--db", archive}).code, 0);
        const QString pdf = m_dir.filePath("archive.pdf");
        Run run = cli({"report", "--db", archive, "--limits", QString::fromUtf8("Канал №1=2..8"), "--pdf", pdf});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(reportpdf::containsInOrder(reportpdf::text(pdf),
                                            {QString::fromUtf8("Соответствие пределам"), QString::fromUtf8("Канал №1"),
                                             QString::fromUtf8("выход за пределы"), QString::fromUtf8("Время выше"),
                                             QString::fromUtf8("00:30:00 (3 изм.)"), QString::fromUtf8("Первый выход"),
                                             QString::fromUtf8("01.03.2024 00:00:00, 9.00 °C")}),
                 qPrintable(reportpdf::text(pdf)));
        run = cli({"report", "--db", archive, "--limits", QString::fromUtf8("Канал №5=2..8"), "--pdf", pdf});
        QCOMPARE(run.code, 1);
    }

    // Without typed limits the archive takes those the instruments were set
    // to when their logs were downloaded, where every source log of the
    // selection names the same; instruments set differently leave it to the user.
    void archiveReport_takesTheLimitsItsSourceInstrumentsAgreeOn()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath("sources.sqlite");
        const QList<QPair<quint32, QString>> instruments = {{5550001, "8"}, {5550002, "30"}};
        for (const auto& instrument : instruments) {
            ZrSimulator::Options options;
            options.id = instrument.first;
            options.defaultFiles = false;
            ZrSimulator sim(options);
            QString error;
            QVERIFY2(sim.start(&error), qPrintable(error));
            SimRunSpec spec;
            spec.records = 30;
            spec.start = QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
            sim.addRun(spec);
            cliprocess::Setup setup;
            setup.ports = sim.portName();
            const Run set = cliprocess::run({"settings", "--set", "alarm1=1", "--set", "temperatureAlarmMin1=2",
                                             "--set", "temperatureAlarmMax1=" + instrument.second},
                                            setup);
            QVERIFY2(set.code == 0, qPrintable(set.err));
            const QString folder = dir.filePath(QString::number(instrument.first));
            const Run download = cliprocess::run({"download", "--all", "-o", folder}, setup);
            QVERIFY2(download.code == 0, qPrintable(download.err));
            QCOMPARE(cli(QStringList{"import", "--db", archive} + download.out.split('\n', Qt::SkipEmptyParts)).code, 0);
        }
        const QString one = dir.filePath("one.pdf");
        Run run = cli({"report", "--db", archive, "--device", "5550001", "--pdf", one});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(reportpdf::containsInOrder(reportpdf::text(one),
                                            {QString::fromUtf8("Соответствие пределам"), QString::fromUtf8("Канал №1"),
                                             QString::fromUtf8("2.00 .. 8.00 °C")}),
                 qPrintable(reportpdf::text(one)));
        const QString both = dir.filePath("both.pdf");
        run = cli({"report", "--db", archive, "--pdf", both});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(!reportpdf::text(both).contains(QString::fromUtf8("Соответствие пределам")));
    }
};

QTEST_GUILESS_MAIN(TestLimitsCli)
#include "tst_limitscli.moc"
