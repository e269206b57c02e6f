// Downloads through the real application while the line, the instrument or
// the disk misbehaves. Whatever happens, the file on disk is either the
// complete new copy or the earlier one untouched, the user is told what went
// wrong, and the link comes back.
#include "data/DownloadRecord.h"
#include "TestSupport.h"
#include "link/DeviceCommand.h"
#include "AppHarness.h"
#include "ZrSimulator.h"

#include "app/ApplicationShell.h"
#include "screens/DeviceWindow.h"
#include "device/FilesInteractor.h"
#include "device/ModelDeviceFileInfo.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kName = QStringLiteral("6553F100.LOG");
const QString kSilent = QStringLiteral("Ошибка. Прибор не отвечает ");

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// What the disk does to the download.
enum class Disk { Fine, Full, FolderBlocked };

// Files may grow to `bytes` only while it lives, as on a nearly full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved;
};

} // namespace

Q_DECLARE_METATYPE(Disk)

class TestDownloadFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void download_underFault_givesExactFileOrEarlierCopy_tellsUser_linkComesBack_data();
    void download_underFault_givesExactFileOrEarlierCopy_tellsUser_linkComesBack();

private:
    QString path() const { return m_folder + QLatin1Char('/') + kName; }

    quint32 m_id = 0;
    QString m_folder;
    QString m_link;
    QByteArray m_served;
    QByteArray m_earlier;
    std::unique_ptr<ZrSimulator> m_sim;
    std::unique_ptr<AppHarness> m_app;
    QStringList m_warnings;
    int m_ready = 0;
};

void TestDownloadFaults::initTestCase()
{
    m_id = 7000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    m_folder = AppHarness::logFolder(m_id);
    QDir(m_folder).removeRecursively();
    m_link = QDir::temp().filePath(QStringLiteral("orvelin-downloadfaults-%1").arg(QCoreApplication::applicationPid()));

    ZrSimulator::Options options;
    options.id = m_id;
    options.defaultFiles = false;
    options.linkPath = m_link;
    m_sim = std::make_unique<ZrSimulator>(options);
    SimRunSpec spec;
    spec.records = 30;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    m_served = m_sim->addRun(spec);
    // An earlier download of the same file, from before the instrument logged on.
    spec.records = 12;
    spec.seed = 5;
    m_earlier = m_sim->generateRun(spec);
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));

    m_app = std::make_unique<AppHarness>(QStringList{m_link});
    QVERIFY2(m_app->start(), qPrintable(m_app->errorString()));
    m_app->shell()->deviceWindow()->setDialogs({[this](const QString& text) { m_warnings << text; }});
    connect(m_app->shell()->filesInteractor(), &FilesInteractor::modelRecordReady, this, [this] { ++m_ready; });
    QVERIFY(m_app->waitForProperty("ListFilesInfo", "visible", true));
    QTRY_COMPARE(m_app->shell()->modelFilesInfo()->rowCount(), 1);
    QVERIFY(m_app->emitWindowSignal("currentNameFileChange", kName));
}

void TestDownloadFaults::cleanupTestCase()
{
    m_app.reset();
    m_sim.reset();
    QFile::remove(m_folder);
    QDir(m_folder).removeRecursively();
}

void TestDownloadFaults::download_underFault_givesExactFileOrEarlierCopy_tellsUser_linkComesBack_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("param");
    QTest::addColumn<Disk>("disk");
    QTest::addColumn<bool>("unplug");
    QTest::addColumn<QString>("warning");   // empty: the download completes

    const int record = DeviceCommand::ReadRecord;
    const int header = DeviceCommand::OpenFile;
    const int none = -1;
    const Disk fine = Disk::Fine;
    const QString failed = QStringLiteral("Ошибка загрузки файла ") + kName + QLatin1Char('\n');

    QTest::newRow("late") << int(SimFault::LateAnswer) << 1 << record << 650 << fine << false << QString();
    QTest::newRow("late at every attempt") << int(SimFault::LateAnswer) << 3 << record << 650 << fine << false
                                           << failed + kSilent;
    QTest::newRow("dropped") << int(SimFault::NoAnswer) << 1 << record << 0 << fine << false << QString();
    QTest::newRow("cut short") << int(SimFault::ShortAnswer) << 1 << record << 20 << fine << false << QString();
    QTest::newRow("split by 150 ms") << int(SimFault::SplitAnswer) << 1 << record << 150 << fine << false << QString();
    QTest::newRow("pieces 16 ms apart") << int(SimFault::Pieces) << 4 << record << 16 << fine << false << QString();
    QTest::newRow("record of 23 bytes") << int(SimFault::WrongLength) << 1 << record << 23 << fine << false << QString();
    QTest::newRow("record without data") << int(SimFault::ErrorCode) << 1 << record << record << fine << false << QString();
    QTest::newRow("header without data") << int(SimFault::ErrorCode) << 1 << header << header << fine << false << QString();
    QTest::newRow("records always short") << int(SimFault::WrongLength) << -1 << record << 0 << fine << false
                                          << failed + QStringLiteral("Ошибка протокола обмена: Ошибка длины данных ");
    QTest::newRow("wrong command") << int(SimFault::WrongCommand) << 1 << record << 0 << fine << false << QString();
    QTest::newRow("noise") << int(SimFault::Noise) << 1 << record << 0 << fine << false << QString();
    QTest::newRow("length field lies") << int(SimFault::LyingLength) << 1 << record << 0 << fine << false << QString();
    QTest::newRow("unplugged") << none << 0 << 0 << 0 << fine << true << failed + kSilent;
    QTest::newRow("disk full") << none << 0 << 0 << 0 << Disk::Full << false
                               << QStringLiteral("Ошибка записи файла\n") + QStringLiteral("%1");
    QTest::newRow("folder cannot be made") << none << 0 << 0 << 0 << Disk::FolderBlocked << false
                                           << QStringLiteral("Ошибка открытия файла\n") + QStringLiteral("%1");
}

void TestDownloadFaults::download_underFault_givesExactFileOrEarlierCopy_tellsUser_linkComesBack()
{
    QFETCH(int, fault);
    QFETCH(int, count);
    QFETCH(int, command);
    QFETCH(int, param);
    QFETCH(Disk, disk);
    QFETCH(bool, unplug);
    QFETCH(QString, warning);
    if (warning.contains(QLatin1String("%1")))
        warning = warning.arg(path());
    // A finished download shows the data page; the user comes back.
    m_app->setProperty("DataWindow", "visible", false);
    m_app->setProperty("DeviceMenu", "visible", true);

    // The earlier copy is on disk (or, where the folder cannot be made, a file
    // stands in its way).
    QFile::remove(m_folder);
    QDir().mkpath(m_folder);
    QVERIFY(writeAll(path(), m_earlier));
    QFile::remove(DownloadRecord::recordPath(path()));
    if (disk == Disk::FolderBlocked) {
        QDir(m_folder).removeRecursively();
        QVERIFY(writeAll(m_folder, "not a folder"));
    }
    const QByteArray before = disk == Disk::FolderBlocked ? testsupport::fileBytes(m_folder) : m_earlier;
    const int identified = m_sim->requestCount(DeviceCommand::GetDeviceInfo);
    const int readyBefore = m_ready;
    m_warnings.clear();

    if (fault >= 0)
        m_sim->injectFault(SimFault(fault), count, quint16(command), param);
    QMetaObject::Connection pull;
    if (unplug) {
        // The cable is pulled a third of the way through, in the middle of the dialogue.
        pull = connect(m_app->shell()->filesInteractor(), &FilesInteractor::downloadFileProcess, this,
                       [this](float percent) { if (percent >= 30.0f) m_sim->stop(); }, Qt::DirectConnection);
    }
    std::unique_ptr<FileSizeLimit> full;
    if (disk == Disk::Full)
        full = std::make_unique<FileSizeLimit>(7 + 24 * 10);

    QVERIFY(m_app->emitWindowSignal("clickOpenCurrentFileFromDevice"));
    QVERIFY(AppHarness::waitFor([&] { return m_ready > readyBefore || !m_warnings.isEmpty(); }, 20000));
    full.reset();
    disconnect(pull);

    // What is on disk, and what the user was told.
    if (warning.isEmpty()) {
        QCOMPARE(testsupport::fileBytes(path()), m_served);
        QVERIFY(AppHarness::drainQueued(m_app->shell()->filesInteractor()));
        QCOMPARE(m_warnings, QStringList());
        m_app->setProperty("DataWindow", "visible", false);
        m_app->setProperty("DeviceMenu", "visible", true);
    } else {
        QCOMPARE(m_warnings, QStringList{warning});
        QCOMPARE(testsupport::fileBytes(disk == Disk::FolderBlocked ? m_folder : path()), before);
        QCOMPARE(m_ready, readyBefore);
    }
    // A finished download leaves its record beside it; a failed one adds nothing.
    if (disk != Disk::FolderBlocked)
        QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden),
                 warning.isEmpty() ? QStringList({kName, kName + QStringLiteral(".json")}) : QStringList{kName});
    QVERIFY(m_app->waitForProperty("ButtonOpenFilesDevice", "enabled", true));

    // The link: a lost instrument is shown as such and found again once it is
    // back; otherwise it stays connected, with its file list, and is not
    // identified anew.
    m_sim->clearFaults();
    if (unplug) {
        QVERIFY(m_app->waitForProperty("ErrorDevice", "visible", true));
        QCOMPARE(m_app->property("ErrorDevice", "textError").toString(), kSilent);
        QString error;
        QVERIFY2(m_sim->start(&error), qPrintable(error));
        QVERIFY(m_app->waitForProperty("ListFilesInfo", "visible", true, 20000));
        QVERIFY(m_app->emitWindowSignal("currentNameFileChange", kName));
    } else {
        QCOMPARE(m_app->property("ErrorDevice", "visible").toBool(), false);
        QCOMPARE(m_app->property("ListFilesInfo", "visible").toBool(), true);
        QCOMPARE(m_app->shell()->modelFilesInfo()->rowCount(), 1);
        QCOMPARE(m_sim->requestCount(DeviceCommand::GetDeviceInfo), identified);
    }
    const int clock = m_sim->requestCount(DeviceCommand::GetTime);
    QVERIFY(AppHarness::waitFor([&] { return m_sim->requestCount(DeviceCommand::GetTime) > clock; }, 5000));
    QCOMPARE(m_app->property("ErrorDevice", "visible").toBool(), false);
    QCOMPARE(m_app->property("ButtonOpenFilesDevice", "visible").toBool(), true);
}

QTEST_MAIN(TestDownloadFaults)
#include "tst_downloadfaults.moc"
