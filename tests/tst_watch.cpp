// orvelin-cli watch as a lab runs it: instruments plugged in and out one after
// another, each file fetched once, every event said, stopped by SIGTERM.
#include "ZrSimulator.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The watcher as a separate process; its JSON lines gathered as they come.
class Watcher
{
public:
    Watcher(const QStringList& ports, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ORVELIN_PORTS"), ports.join(QLatin1Char(':')));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli"),
                        QStringList{QStringLiteral("watch"), QStringLiteral("--json")} + arguments);
    }
    ~Watcher()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Waits for the next event line; every line before it is kept in `said`.
    QJsonObject next(int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_pending.contains('\n')) {
            const bool ended = m_process.state() == QProcess::NotRunning;
            if (deadline.hasExpired() || (ended && !m_process.bytesAvailable()))
                return QJsonObject();
            m_process.waitForReadyRead(100);
            m_pending += m_process.readAllStandardOutput();
        }
        const int end = m_pending.indexOf('\n');
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        said << event;
        return event;
    }

    QProcess& process() { return m_process; }
    QList<QJsonObject> said;

private:
    QProcess m_process;
    QByteArray m_pending;
};

QString describe(const QJsonObject& event)
{
    return QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact));
}

} // namespace

class TestWatch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void twoInstruments_oneAfterAnother_eachFileOnce_andSigtermEndsWithZero();
    void sigterm_inTheMiddleOfAFile_leavesNoHalfFile();

private:
    QTemporaryDir m_dir;
};

void TestWatch::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestWatch::twoInstruments_oneAfterAnother_eachFileOnce_andSigtermEndsWithZero()
{
    const QString linkA = m_dir.filePath(QStringLiteral("zrA"));
    const QString linkB = m_dir.filePath(QStringLiteral("zrB"));
    const QString root = m_dir.filePath(QStringLiteral("LOG"));
    const QString database = m_dir.filePath(QStringLiteral("Record.sqlite"));

    // Both instruments hold a file of the same name with different contents.
    ZrSimulator::Options optionsA;
    optionsA.id = 301;
    optionsA.defaultFiles = false;
    optionsA.linkPath = linkA;
    ZrSimulator::Options optionsB = optionsA;
    optionsB.id = 302;
    optionsB.linkPath = linkB;
    auto simA = std::make_unique<ZrSimulator>(optionsA);
    const QByteArray sameA = simA->addRun(testsupport::simRun(20, 1700000000, 1));
    const QByteArray otherA = simA->addRun(testsupport::simRun(3, 1700050000, 2));
    ZrSimulator simB(optionsB);
    const QByteArray sameB = simB.addRun(testsupport::simRun(50, 1700000000, 3));
    QVERIFY(sameA != sameB);
    QString error;
    QVERIFY2(simA->start(&error), qPrintable(error));

    Watcher watcher({linkA, linkB}, {QStringLiteral("-o"), root, QStringLiteral("--import"), QStringLiteral("--db"), database});
    auto expect = [&](const QString& event, int id) {
        const QJsonObject said = watcher.next();
        return said.value(QStringLiteral("event")).toString() == event && said.value(QStringLiteral("id")).toInt() == id;
    };
    QVERIFY2(expect("found", 301), qPrintable(describe(watcher.said.value(watcher.said.size() - 1))));
    for (int file = 0; file < 2; ++file) {
        QVERIFY(expect("downloaded", 301));
        QVERIFY(expect("stored", 301));
    }
    simA->stop();
    QVERIFY(expect("gone", 301));

    QVERIFY2(simB.start(&error), qPrintable(error));
    QVERIFY(expect("found", 302));
    QVERIFY(expect("downloaded", 302));
    QVERIFY(expect("stored", 302));
    simB.stop();
    QVERIFY(expect("gone", 302));

    // The first instrument comes back: nothing of it is fetched again.
    simA = std::make_unique<ZrSimulator>(optionsA);
    simA->addRun(testsupport::simRun(20, 1700000000, 1));
    simA->addRun(testsupport::simRun(3, 1700050000, 2));
    QVERIFY2(simA->start(&error), qPrintable(error));
    QVERIFY(expect("found", 301));
    simA->stop();
    QVERIFY2(expect("gone", 301), qPrintable(describe(watcher.said.last())));

    watcher.process().terminate();
    QVERIFY(expect("stopped", 0));
    QVERIFY(watcher.process().waitForFinished(10000));
    QCOMPARE(watcher.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(watcher.process().exitCode(), 0);

    QCOMPARE(testsupport::fileBytes(root + QStringLiteral("/301/6553F100.LOG")), sameA);
    QCOMPARE(testsupport::fileBytes(root + QStringLiteral("/302/6553F100.LOG")), sameB);
    QCOMPARE(testsupport::fileBytes(root + QStringLiteral("/301/6554B450.LOG")).size(), otherA.size());
    int downloads = 0;
    for (const QJsonObject& event : watcher.said)
        downloads += event.value(QStringLiteral("event")).toString() == QLatin1String("downloaded");
    QCOMPARE(downloads, 3);
}

void TestWatch::sigterm_inTheMiddleOfAFile_leavesNoHalfFile()
{
    const QString link = m_dir.filePath(QStringLiteral("zrSlow"));
    const QString root = m_dir.filePath(QStringLiteral("slow"));
    ZrSimulator::Options options;
    options.id = 303;
    options.defaultFiles = false;
    options.linkPath = link;
    options.pace = true; // a long file takes seconds at the line's own rate
    ZrSimulator sim(options);
    sim.addRun(testsupport::simRun(40000, 1700000000, 1));
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));

    Watcher watcher({link}, {QStringLiteral("-o"), root});
    QCOMPARE(watcher.next().value(QStringLiteral("event")).toString(), QStringLiteral("found"));
    const QString folder = root + QStringLiteral("/303");
    // Well into the file (159: read a record).
    QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(159) > 200, 20000);
    watcher.process().terminate();
    QCOMPARE(watcher.next().value(QStringLiteral("event")).toString(), QStringLiteral("stopped"));
    QVERIFY(watcher.process().waitForFinished(10000));
    QCOMPARE(watcher.process().exitCode(), 0);
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(sim.requestCount(159) < 40000);
}

QTEST_MAIN(TestWatch)
#include "tst_watch.moc"
