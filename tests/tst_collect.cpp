// Collecting many files from an instrument: which files are home, a set that
// fetches only those that are not, cancel, a lost instrument and a failing
// disk, against a simulated instrument on a pseudo-terminal.
#include "report/MetaTypes.h"
#include "data/ModelLogRecord.h"
#include "device/CollectResult.h"
#include "screens/DeviceCollectWindow.h"
#include "device/FileCollector.h"
#include "device/FilesInteractor.h"
#include "device/HomeCopy.h"
#include "device/ZR74XManager.h"
#include "link/ComPortManager.h"
#include "link/DeviceCommand.h"

#include "TestSupport.h"
#include "ZrSimulator.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

DeviceFileInfo listed(const QString& name, int records)
{
    DeviceFileInfo info;
    info.nameFile = name;
    info.numberOfRecords = records;
    info.size = 7 + 24 * records;
    return info;
}

} // namespace

class TestCollect : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void homeCopy_marksAbsentPartialComplete_data();
    void homeCopy_marksAbsentPartialComplete();
    void summary_saysWhatCameAndWhatDidNot_data();
    void summary_saysWhatCameAndWhatDidNot();

    void downloadNew_twice_secondFetchesNothing();
    void downloadNew_partialCopy_isFetchedAgainAndEndsComplete();
    void cancel_midSet_keepsEarlierCopyByteExact_andInstrumentStays();
    void cancel_singleDownload_saysCancelledAndOpensNothing();
    void instrumentLost_midSet_namesTheFileAndWhatDidNotCome();
    void localFileFailure_stopsTheSetWithTheFileName();
    void panel_clockReadWhileStoring_isStillNamedInTheSummary();

private:
    QList<DeviceFileInfo> listFiles();

    QTemporaryDir m_root;
    std::unique_ptr<ZrSimulator> m_sim;
    testsupport::DownloadSide m_side;
    QList<QByteArray> m_served;
    const quint32 m_id = 4711;
};

void TestCollect::initTestCase()
{
    registerMetaTypes();
    QVERIFY(m_root.isValid());
}

void TestCollect::init()
{
    ZrSimulator::Options options;
    options.id = m_id;
    options.defaultFiles = false;
    m_sim = std::make_unique<ZrSimulator>(options);
    m_served.clear();
    m_served << m_sim->addRun(testsupport::simRun(30, 1700000000, 1)) << m_sim->addRun(testsupport::simRun(200, 1700100000, 2))
             << m_sim->addRun(testsupport::simRun(5, 1700200000, 3));
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    QVERIFY(m_side.connect(m_sim->portName()));
    m_side.files->setLogRoot(m_root.path());
    QDir(m_root.filePath(QString::number(m_id))).removeRecursively();
}

void TestCollect::cleanup()
{
    m_side.reset();
    m_sim.reset();
}

QList<DeviceFileInfo> TestCollect::listFiles()
{
    QSignalSpy listedSpy(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
    m_side.files->requestListOfFiles();
    return listedSpy.count() == 1 ? listedSpy.at(0).at(0).value<QList<DeviceFileInfo>>() : QList<DeviceFileInfo>();
}

void TestCollect::homeCopy_marksAbsentPartialComplete_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("bytesAtHome"); // -1: no file
    QTest::addColumn<QString>("recordHash"); // of the download record; empty: no record
    QTest::addColumn<QString>("mark");
    const QString sameBytes = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray(7 + 3 * 24, 'x'), QCryptographicHash::Sha256).toHex());
    const QString otherBytes = QString(64, QLatin1Char('0'));
    QTest::newRow("absent") << 3 << -1 << QString() << QString();
    QTest::newRow("complete") << 3 << 7 + 3 * 24 << QString() << QStringLiteral("загружен");
    QTest::newRow("complete, record agrees") << 3 << 7 + 3 * 24 << sameBytes << QStringLiteral("загружен");
    QTest::newRow("complete size, changed since") << 3 << 7 + 3 * 24 << otherBytes << QString();
    QTest::newRow("instrument logged on since") << 3 << 7 + 2 * 24 << QString() << QStringLiteral("частично");
    QTest::newRow("header only") << 3 << 7 << QString() << QStringLiteral("частично");
    QTest::newRow("empty file") << 3 << 0 << QString() << QStringLiteral("частично");
    // A longer copy is another file of the same name: it has to come again.
    QTest::newRow("longer copy") << 3 << 7 + 4 * 24 << QString() << QString();
    QTest::newRow("one record") << 1 << 31 << QString() << QStringLiteral("загружен");
}

void TestCollect::homeCopy_marksAbsentPartialComplete()
{
    QFETCH(int, records);
    QFETCH(int, bytesAtHome);
    QFETCH(QString, recordHash);
    QFETCH(QString, mark);
    const DeviceFileInfo info = listed(QStringLiteral("6553F100.LOG"), records);
    const QString path = m_side.files->logFilePath(m_id, info.nameFile);
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".json"));
    if (bytesAtHome >= 0)
        writeAll(path, QByteArray(bytesAtHome, 'x'));
    if (!recordHash.isEmpty())
        writeAll(path + QStringLiteral(".json"),
                 QStringLiteral("{\"format\": \"orvelin-download/1\", \"sha256\": \"%1\"}").arg(recordHash).toUtf8());
    QCOMPARE(HomeCopy::markText(HomeCopy::of(path, info)), mark);
    const QVariantMap marks = HomeCopy::marks({info, DeviceFileInfo()}, m_id, m_root.path());
    QCOMPARE(marks.value(info.nameFile).toString(), mark);
    QCOMPARE(marks.size(), mark.isEmpty() ? 0 : 1);
}

void TestCollect::summary_saysWhatCameAndWhatDidNot_data()
{
    QTest::addColumn<CollectResult>("result");
    QTest::addColumn<QString>("text");

    CollectResult three;
    three.deviceId = 1234567;
    three.done = {{"A.LOG", "", 400}, {"B.LOG", "", 10000}, {"C.LOG", "", 2000}};
    three.archiveAsked = true;
    three.storedFiles = 3;
    QTest::newRow("three stored") << three << QStringLiteral("Загружено 3 файла, 12 400 измерений; сохранено в базу данных");

    CollectResult one;
    one.done = {{"A.LOG", "", 1}};
    QTest::newRow("one, no archive") << one << QStringLiteral("Загружено 1 файл, 1 измерение");

    CollectResult eleven;
    for (int i = 0; i < 11; ++i)
        eleven.done << CollectResult::File{QString::number(i), "", 2};
    QTest::newRow("eleven") << eleven << QStringLiteral("Загружено 11 файлов, 22 измерения");

    CollectResult nothing;
    nothing.alreadyHome = 4;
    QTest::newRow("nothing new") << nothing << QStringLiteral("Новых файлов нет: все файлы прибора уже загружены");

    CollectResult lost;
    lost.done = {{"A.LOG", "", 21}};
    lost.failed = {{"B.LOG", "Ошибка загрузки файла B.LOG\nОшибка. Прибор не отвечает "}};
    lost.notReached = QStringList{"C.LOG", "D.LOG"};
    lost.instrumentLost = true;
    lost.archiveAsked = true;
    lost.storedFiles = 0;
    lost.archiveErrors = QStringList{"Ошибка открытия базы данных"};
    QTest::newRow("lost, archive failed")
        << lost
        << QStringLiteral("Загружено 1 файл, 21 измерение; в базу данных сохранено 0 из 1 файла\n"
                          "Не загружен B.LOG: Ошибка загрузки файла B.LOG: Ошибка. Прибор не отвечает \n"
                          "Ошибка сохранения в базу данных: Ошибка открытия базы данных\n"
                          "Прибор отключён; не загружены: C.LOG, D.LOG");

    CollectResult cancelled;
    cancelled.cancelled = true;
    cancelled.notReached = QStringList{"A.LOG"};
    cancelled.deviceId = 77;
    cancelled.clockKnown = true;
    cancelled.clockOffset = -3600;
    QTest::newRow("cancelled, clock off")
        << cancelled
        << QStringLiteral("Ни один файл не загружен\nЗагрузка отменена; не загружены: A.LOG\n"
                          "Часы прибора 77 отличаются от часов компьютера на -3 600 с; "
                          "синхронизировать их можно кнопкой у времени прибора");

    CollectResult clockWithinAMinute;
    clockWithinAMinute.clockKnown = true;
    clockWithinAMinute.clockOffset = 60;
    QTest::newRow("clock within a minute") << clockWithinAMinute << QStringLiteral("Новых файлов нет");
}

void TestCollect::summary_saysWhatCameAndWhatDidNot()
{
    QFETCH(CollectResult, result);
    QFETCH(QString, text);
    QCOMPARE(result.summaryText(), text);
}

void TestCollect::downloadNew_twice_secondFetchesNothing()
{
    const QList<DeviceFileInfo> list = listFiles();
    QCOMPARE(list.size(), 3);
    FileCollector collector(m_side.files.get());
    QSignalSpy progress(&collector, &FileCollector::collectProgress);
    const CollectResult first = collector.collect(m_id, list);
    QCOMPARE(first.done.size(), 3);
    QCOMPARE(first.records(), 235);
    QVERIFY(first.failed.isEmpty() && first.notReached.isEmpty());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(testsupport::fileBytes(m_side.files->logFilePath(m_id, list.at(i).nameFile)), m_served.at(i));
    // One progress over the whole set: file numbers climb, records end at the total.
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).toInt(), 3);
    QCOMPARE(progress.last().at(2).toLongLong(), 235);
    QCOMPARE(progress.last().at(3).toLongLong(), 235);

    m_sim->clearRequests();
    const CollectResult second = collector.collect(m_id, list);
    QVERIFY(second.done.isEmpty());
    QCOMPARE(second.alreadyHome, 3);
    QCOMPARE(m_sim->requestCount(DeviceCommand::OpenFile), 0);
    QCOMPARE(m_sim->requestCount(DeviceCommand::ReadRecord), 0);
}

void TestCollect::downloadNew_partialCopy_isFetchedAgainAndEndsComplete()
{
    const QList<DeviceFileInfo> list = listFiles();
    FileCollector collector(m_side.files.get());
    QCOMPARE(collector.collect(m_id, list).done.size(), 3);
    const QString second = m_side.files->logFilePath(m_id, list.at(1).nameFile);
    writeAll(second, m_served.at(1).left(7 + 24 * 50));
    QCOMPARE(HomeCopy::of(second, list.at(1)), HomeCopy::State::Partial);

    const CollectResult again = collector.collect(m_id, list);
    QCOMPARE(again.done.size(), 1);
    QCOMPARE(again.done.first().name, list.at(1).nameFile);
    QCOMPARE(testsupport::fileBytes(second), m_served.at(1));
}

void TestCollect::cancel_midSet_keepsEarlierCopyByteExact_andInstrumentStays()
{
    const QList<DeviceFileInfo> list = listFiles();
    const QString first = m_side.files->logFilePath(m_id, list.at(0).nameFile);
    const QString second = m_side.files->logFilePath(m_id, list.at(1).nameFile);
    // An earlier, shorter copy of the long file: it must survive as it was.
    const QByteArray earlier = m_served.at(1).left(7 + 24 * 20);
    writeAll(second, earlier);

    FileCollector collector(m_side.files.get());
    const QMetaObject::Connection canceller =
        connect(&collector, &FileCollector::collectProgress, this, [&](int file, int, qint64 records, qint64) {
            if (file == 2 && records > 30 + 40)
                m_side.files->cancelDownload();
        });
    const CollectResult result = collector.collect(m_id, list);
    disconnect(canceller);
    QVERIFY(result.cancelled);
    QCOMPARE(result.done.size(), 1);
    QCOMPARE(result.notReached, (QStringList{list.at(1).nameFile, list.at(2).nameFile}));
    QCOMPARE(testsupport::fileBytes(first), m_served.at(0));
    QCOMPARE(testsupport::fileBytes(second), earlier);
    // The finished file has its download record; the cancelled one keeps its
    // earlier copy and gains nothing, not even a temporary file.
    QCOMPARE(QDir(QFileInfo(second).path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
             (QStringList{list.at(0).nameFile, list.at(0).nameFile + QStringLiteral(".json"), list.at(1).nameFile}));
    QVERIFY(m_sim->requestCount(DeviceCommand::ReadRecord) < 30 + 200);

    // The instrument stays connected: the next set takes up the rest.
    ZR74XManager device(m_side.manager.get());
    QVERIFY(device.checkConnection());
    m_side.files->clearCancel();
    const CollectResult rest = collector.collect(m_id, list);
    QCOMPARE(rest.done.size(), 2);
    QCOMPARE(testsupport::fileBytes(second), m_served.at(1));
}

void TestCollect::cancel_singleDownload_saysCancelledAndOpensNothing()
{
    const QList<DeviceFileInfo> list = listFiles();
    QSignalSpy cancelled(m_side.files.get(), &FilesInteractor::downloadCancelled);
    QSignalSpy ready(m_side.files.get(), &FilesInteractor::modelRecordReady);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::downloadErrorOccurred);
    connect(m_side.files.get(), &FilesInteractor::downloadFileProcess, this, [&](float percent) {
        if (percent >= 10.0f)
            m_side.files->cancelDownload();
    });
    // A cancel left over from before does not stop the download it did not see.
    m_side.files->cancelDownload();
    m_side.files->downloadFileFromDevice(m_id, list.at(1));
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(cancelled.at(0).at(0).toString(), list.at(1).nameFile);
    QCOMPARE(ready.count(), 0);
    QCOMPARE(failed.count(), 0);
    QVERIFY(!QFile::exists(m_side.files->logFilePath(m_id, list.at(1).nameFile)));
    QVERIFY(QDir(m_root.filePath(QString::number(m_id))).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestCollect::instrumentLost_midSet_namesTheFileAndWhatDidNotCome()
{
    const QList<DeviceFileInfo> list = listFiles();
    FileCollector collector(m_side.files.get());
    QSignalSpy lost(&collector, &FileCollector::instrumentLost);
    QSignalSpy finished(&collector, &FileCollector::collectFinished);
    // Answers the first file (open, 30 records, close) and 60 records of the
    // second, then falls silent.
    m_sim->injectFault(SimFault::GoSilent, 1 + 30 + 1 + 1 + 60);
    collector.collectNewFiles(m_id, list);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(lost.count(), 1);
    const CollectResult result = finished.at(0).at(0).value<CollectResult>();
    QVERIFY(result.instrumentLost);
    QCOMPARE(result.done.size(), 1);
    QCOMPARE(result.failed.size(), 1);
    QCOMPARE(result.failed.first().name, list.at(1).nameFile);
    QCOMPARE(result.notReached, QStringList{list.at(2).nameFile});
    QCOMPARE(testsupport::fileBytes(m_side.files->logFilePath(m_id, list.at(0).nameFile)), m_served.at(0));
    const QString second = m_side.files->logFilePath(m_id, list.at(1).nameFile);
    QVERIFY(!QFile::exists(second));
    QCOMPARE(QDir(QFileInfo(second).path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{list.at(0).nameFile, list.at(0).nameFile + QStringLiteral(".json")}));
}

void TestCollect::localFileFailure_stopsTheSetWithTheFileName()
{
    const QList<DeviceFileInfo> list = listFiles();
    // The instrument's folder cannot be made: a regular file stands in its way.
    writeAll(m_root.filePath(QStringLiteral("blocked")), "x");
    m_side.files->setLogRoot(m_root.filePath(QStringLiteral("blocked")));
    FileCollector collector(m_side.files.get());
    const CollectResult result = collector.collect(m_id, list);
    QVERIFY(result.done.isEmpty());
    QCOMPARE(result.failed.size(), 1);
    QCOMPARE(result.failed.first().name, list.at(0).nameFile);
    QVERIFY(result.failed.first().reason.startsWith(QStringLiteral("Ошибка открытия файла")));
    QCOMPARE(result.notReached, (QStringList{list.at(1).nameFile, list.at(2).nameFile}));
    QVERIFY(!result.instrumentLost);
}

void TestCollect::panel_clockReadWhileStoring_isStillNamedInTheSummary()
{
    // The panel without a screen: its QML objects are missing, its logic is not.
    QObject root;
    DeviceCollectWindow panel(&root, m_root.filePath(QStringLiteral("orvelin.ini")));
    panel.setArchive(true);
    QSignalSpy starts(&panel, &DeviceCollectWindow::startCollect);
    QSignalSpy stores(&panel, &DeviceCollectWindow::storeLog);
    const QList<DeviceFileInfo> list = listFiles();
    panel.showDeviceID(m_id);
    panel.setOnConnect(true);
    panel.showDeviceFiles(list);
    QCOMPARE(starts.count(), 1);

    FileCollector collector(m_side.files.get());
    CollectResult result = collector.collect(m_id, list.mid(0, 1));
    panel.showCollectFinished(result);
    QCOMPARE(stores.count(), 1);
    // The first clock reading comes in while the archive is still storing.
    const QDateTime behind = QDateTime::currentDateTime().addSecs(-7200);
    panel.showDeviceTime(QDateTime(behind.date(), behind.time(), Qt::UTC));
    panel.showStored(120);
    const QStringList lines = panel.summary().split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), QStringLiteral("Загружено 1 файл, 30 измерений; сохранено в базу данных"));
    QVERIFY2(lines.last().startsWith(QStringLiteral("Часы прибора %1 отличаются от часов компьютера на -7 ").arg(m_id)),
             qPrintable(panel.summary()));
}

QTEST_MAIN(TestCollect)
#include "tst_collect.moc"
