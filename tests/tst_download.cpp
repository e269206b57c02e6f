// Listing and downloading the instrument's log files over a real serial line
// (a simulated instrument on a pseudo-terminal).
#include "link/DeviceCommand.h"
#include "report/MetaTypes.h"
#include "data/ModelLogRecord.h"
#include "link/ComPortManager.h"
#include "device/FilesInteractor.h"
#include "device/RecordSequence.h"
#include "device/ZR74XManager.h"

#include "TestSupport.h"
#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

const QString kSilent = QStringLiteral("Ошибка. Прибор не отвечает ");

SimRunSpec runSpec(int records, quint32 start, quint32 seed = 1)
{
    SimRunSpec spec;
    spec.records = records;
    spec.start = QDateTime::fromSecsSinceEpoch(start, Qt::UTC);
    spec.seed = seed;
    return spec;
}

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void progress_lastValueIsExactly100();
    void recordSequence_takesOnlyTheNextRecordOfTheFile_data();
    void recordSequence_takesOnlyTheNextRecordOfTheFile();
    void download_progressOncePerWholePercent();
    void listing_groupOneBeforeGroupZero();
    void listing_emptyInstrument_givesEmptyList();
    void listing_failure_emitsErrorAndNoList();
    void download_oneRecord_reportsOnly100();
    void download_threeRecords_reports0_50_100_andCopiesBytes();
    void download_secondTime_replacesEarlierFileCompletely();
    void download_cutOffHalfWay_keepsEarlierCopy_andLeavesNoPartialFile();
    void download_cutOffWithoutEarlierCopy_leavesNoFile();
    void download_nameLeavingTheFolder_isRefused();
    void openLogFile_missingFile_reportsFileError();
    void download_inDeviceThread_fillsModelInItsOwnThreadBeforeReady();
    void download_fileTimeIsTheLogsStopAsLocalWallClock();

private:
    QList<DeviceFileInfo> listFiles();
    DeviceFileInfo fileNamed(const QString& name);
    QString folder() const;

    std::unique_ptr<ZrSimulator> m_sim;
    testsupport::DownloadSide m_side;
    quint32 m_id = 0;
};

void TestDownload::init()
{
    // Both time-zone runs of this test may share the folder beside the
    // executable: a device ID of its own keeps their files apart.
    m_id = 5000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    ZrSimulator::Options options;
    options.id = m_id;
    options.defaultFiles = false;
    m_sim = std::make_unique<ZrSimulator>(options);
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    QVERIFY(m_side.connect(m_sim->portName()));
    QDir(folder()).removeRecursively();
}

void TestDownload::cleanup()
{
    m_side.reset();
    m_sim.reset();
    QDir(folder()).removeRecursively();
}

QString TestDownload::folder() const
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/LOG/") + QString::number(m_id);
}

QList<DeviceFileInfo> TestDownload::listFiles()
{
    QSignalSpy listed(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
    m_side.files->requestListOfFiles();
    if (listed.count() != 1)
        return {};
    return listed.at(0).at(0).value<QList<DeviceFileInfo>>();
}

DeviceFileInfo TestDownload::fileNamed(const QString& name)
{
    for (const DeviceFileInfo& info : listFiles()) {
        if (info.nameFile == name)
            return info;
    }
    return DeviceFileInfo();
}

void TestDownload::progress_lastValueIsExactly100()
{
    QCOMPARE(FilesInteractor::downloadProgress(0, 1), 100.0f);
    QCOMPARE(FilesInteractor::downloadProgress(0, 3), 0.0f);
    QCOMPARE(FilesInteractor::downloadProgress(1, 3), 50.0f);
    QCOMPARE(FilesInteractor::downloadProgress(2, 3), 100.0f);
    // The device page ends a download only on exactly 100.
    for (quint32 count : {7u, 49u, 1000u, 40000u, 4294967295u})
        QVERIFY(FilesInteractor::downloadProgress(count - 1, count) == 100.0f);
    QVERIFY(FilesInteractor::downloadProgress(39998, 40000) < 100.0f);

    DeviceFileInfo tooSmall;
    tooSmall.size = 3;
    tooSmall.numberOfRecords = -1;
    QCOMPARE(FilesInteractor::recordsToDownload(tooSmall), 0u);
}

namespace {
// A record as the instrument stores it, with only its time set.
QByteArray recordAt(quint32 time)
{
    QByteArray record(24, '\0');
    record[0] = char(time & 0xFF);
    record[1] = char((time >> 8) & 0xFF);
    record[2] = char((time >> 16) & 0xFF);
    record[3] = char(time >> 24);
    return record;
}
} // namespace

void TestDownload::recordSequence_takesOnlyTheNextRecordOfTheFile_data()
{
    QTest::addColumn<bool>("single");
    QTest::addColumn<QList<quint32>>("times");      // answers, in the order they come
    QTest::addColumn<QList<bool>>("taken");

    // The run lasts from 1000 to 1100.
    QTest::newRow("in order") << false << QList<quint32>{1000, 1010, 1100} << QList<bool>{true, true, true};
    QTest::newRow("before the start") << false << QList<quint32>{999, 1000} << QList<bool>{false, true};
    QTest::newRow("after the stop") << false << QList<quint32>{1000, 1101, 1010} << QList<bool>{true, false, true};
    // A late answer to the request before carries the record before again.
    QTest::newRow("the record before again") << false << QList<quint32>{1000, 1010, 1010, 1020}
                                             << QList<bool>{true, true, false, true};
    QTest::newRow("going back") << false << QList<quint32>{1000, 1050, 1020, 1060}
                                << QList<bool>{true, true, false, true};
    // The instrument insists: its clock was set back while it logged.
    QTest::newRow("going back, given twice") << false << QList<quint32>{1000, 1050, 1020, 1020, 1030}
                                             << QList<bool>{true, true, false, true, true};
    QTest::newRow("single measurement, any time") << true << QList<quint32>{5} << QList<bool>{true};
}

void TestDownload::recordSequence_takesOnlyTheNextRecordOfTheFile()
{
    QFETCH(bool, single);
    QFETCH(QList<quint32>, times);
    QFETCH(QList<bool>, taken);
    DeviceFileInfo info;
    if (!single) {
        info.startLog = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
        info.stopLog = QDateTime::fromSecsSinceEpoch(1100, Qt::UTC);
    }
    RecordSequence sequence(info);
    for (int i = 0; i < times.size(); ++i) {
        const QByteArray record = recordAt(times.at(i));
        const bool fits = sequence.fits(record);
        QVERIFY2(fits == taken.at(i), qPrintable(QStringLiteral("answer %1").arg(i)));
        if (fits)
            sequence.take(record);
    }
}

void TestDownload::download_progressOncePerWholePercent()
{
    m_sim->addRun(runSpec(250, 1700000000));
    QSignalSpy progress(m_side.files.get(), &FilesInteractor::downloadFileProcess);
    m_side.files->downloadFileFromDevice(m_id, fileNamed(QStringLiteral("6553F100.LOG")));
    // 250 records step by 0.4 %: every whole percent once, then exactly 100.
    QCOMPARE(progress.count(), 101);
    for (int i = 0; i < progress.count(); ++i)
        QCOMPARE(int(progress.at(i).at(0).toFloat()), i);
    QCOMPARE(progress.last().at(0).toFloat(), 100.0f);
}

void TestDownload::listing_groupOneBeforeGroupZero()
{
    m_sim->addSingle(1);
    m_sim->addRun(runSpec(2, 1700000000));
    m_sim->addSingle(2);
    m_sim->addRun(runSpec(5, 1700003600));

    const QList<DeviceFileInfo> list = listFiles();
    QCOMPARE(list.size(), 4);
    QCOMPARE(list.at(0).nameFile, QStringLiteral("6553F100.LOG"));
    QCOMPARE(list.at(0).numberOfRecords, 2);
    QCOMPARE(list.at(1).numberOfRecords, 5);
    QCOMPARE(list.at(2).nameFile, QStringLiteral("SINGLE00.LOG"));
    QCOMPARE(list.at(3).nameFile, QStringLiteral("SINGLE01.LOG"));
    QVERIFY(list.at(2).startLog.isNull());
    QCOMPARE(m_sim->requestCount(DeviceCommand::GetFileCount), 2);
}

void TestDownload::listing_emptyInstrument_givesEmptyList()
{
    QSignalSpy listed(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::errorOccurred);
    m_side.files->requestListOfFiles();
    QCOMPARE(failed.count(), 0);
    QCOMPARE(listed.count(), 1);
    QVERIFY(listed.at(0).at(0).value<QList<DeviceFileInfo>>().isEmpty());
}

void TestDownload::listing_failure_emitsErrorAndNoList()
{
    m_sim->addRun(runSpec(2, 1700000000));
    m_sim->injectFault(SimFault::NoAnswer, -1, DeviceCommand::GetFileInfo);
    QSignalSpy listed(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::errorOccurred);
    m_side.files->requestListOfFiles();
    QCOMPARE(listed.count(), 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), kSilent);
}

void TestDownload::download_oneRecord_reportsOnly100()
{
    const QByteArray bytes = m_sim->addRun(runSpec(1, 1700000000));
    const DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));
    QCOMPARE(info.numberOfRecords, 1);

    QSignalSpy progress(m_side.files.get(), &FilesInteractor::downloadFileProcess);
    QSignalSpy ready(m_side.files.get(), &FilesInteractor::modelRecordReady);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.at(0).at(0).toFloat(), 100.0f);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(testsupport::fileBytes(folder() + QStringLiteral("/6553F100.LOG")), bytes);
}

void TestDownload::download_threeRecords_reports0_50_100_andCopiesBytes()
{
    const QByteArray bytes = m_sim->addRun(runSpec(3, 1700000000));
    const DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));

    QSignalSpy progress(m_side.files.get(), &FilesInteractor::downloadFileProcess);
    QSignalSpy ready(m_side.files.get(), &FilesInteractor::modelRecordReady);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::errorOccurred);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(progress.count(), 3);
    QCOMPARE(progress.at(0).at(0).toFloat(), 0.0f);
    QCOMPARE(progress.at(1).at(0).toFloat(), 50.0f);
    QCOMPARE(progress.at(2).at(0).toFloat(), 100.0f);

    QCOMPARE(testsupport::fileBytes(folder() + QStringLiteral("/6553F100.LOG")), bytes);
    QCOMPARE(ready.count(), 1);
    QCOMPARE(m_side.model->rowCount(), 3);
    QCOMPARE(m_side.model->deviceId(), m_id);
    // Nothing but the finished file and its record is left in the folder.
    QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList({"6553F100.LOG", "6553F100.LOG.json"}));
}

void TestDownload::download_secondTime_replacesEarlierFileCompletely()
{
    m_sim->addRun(runSpec(6, 1700000000, 1));
    m_side.files->downloadFileFromDevice(m_id, fileNamed(QStringLiteral("6553F100.LOG")));
    QCOMPARE(QFileInfo(folder() + QStringLiteral("/6553F100.LOG")).size(), qint64(7 + 6 * 24));

    // The same file, now shorter and with other values.
    m_sim->clearLogFiles();
    const QByteArray shorter = m_sim->addRun(runSpec(2, 1700000000, 9));
    m_side.files->downloadFileFromDevice(m_id, fileNamed(QStringLiteral("6553F100.LOG")));
    QCOMPARE(testsupport::fileBytes(folder() + QStringLiteral("/6553F100.LOG")), shorter);
    QCOMPARE(m_side.model->rowCount(), 2);
}

void TestDownload::download_cutOffHalfWay_keepsEarlierCopy_andLeavesNoPartialFile()
{
    const QByteArray complete = m_sim->addRun(runSpec(8, 1700000000));
    const DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));
    m_side.files->downloadFileFromDevice(m_id, info);
    const QString path = folder() + QStringLiteral("/6553F100.LOG");
    QCOMPARE(testsupport::fileBytes(path), complete);

    // Header and four records arrive, then the instrument falls silent.
    m_sim->injectFault(SimFault::GoSilent, 5);
    QSignalSpy progress(m_side.files.get(), &FilesInteractor::downloadFileProcess);
    QSignalSpy ready(m_side.files.get(), &FilesInteractor::modelRecordReady);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::errorOccurred);
    QSignalSpy told(m_side.files.get(), &FilesInteractor::downloadErrorOccurred);
    m_side.files->downloadFileFromDevice(m_id, info);

    // The instrument is lost: the download says so, and so does the link.
    QCOMPARE(told.count(), 1);
    QCOMPARE(told.at(0).at(0).toString(), QStringLiteral("Ошибка загрузки файла 6553F100.LOG\n") + kSilent);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), kSilent);
    QCOMPARE(progress.count(), 4);
    QVERIFY(progress.last().at(0).toFloat() < 100.0f);
    QCOMPARE(ready.count(), 0);
    QCOMPARE(testsupport::fileBytes(path), complete);
    QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList({"6553F100.LOG", "6553F100.LOG.json"}));
}

void TestDownload::download_cutOffWithoutEarlierCopy_leavesNoFile()
{
    m_sim->addRun(runSpec(8, 1700000000));
    const DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));
    m_sim->injectFault(SimFault::GoSilent, 3);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::errorOccurred);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(failed.count(), 1);
    QVERIFY(QDir(folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestDownload::download_nameLeavingTheFolder_isRefused()
{
    m_sim->addRun(runSpec(2, 1700000000));
    DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));
    info.nameFile = QStringLiteral("../escaped.LOG");
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::errorOccurred);
    QSignalSpy told(m_side.files.get(), &FilesInteractor::downloadErrorOccurred);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(told.count(), 1);
    QCOMPARE(told.at(0).at(0).toString(), QStringLiteral("Ошибка открытия файла\n../escaped.LOG"));
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/LOG/escaped.LOG")));
    QCOMPARE(m_sim->requestCount(DeviceCommand::OpenFile), 0);
}

void TestDownload::openLogFile_missingFile_reportsFileError()
{
    QSignalSpy fileFailed(m_side.files.get(), &FilesInteractor::fileErrorOccurred);
    QSignalSpy ready(m_side.files.get(), &FilesInteractor::modelRecordReady);
    DeviceFileInfo info;
    info.nameFile = QStringLiteral("6553F100.LOG");
    m_side.files->openLogFile(m_id, info);
    QCOMPARE(fileFailed.count(), 1);
    QCOMPARE(ready.count(), 0);
}

// The model lives in the GUI thread while downloads run in the device thread:
// the model must be refilled in its own thread (with a reset, views may still be
// attached), and the announcement must arrive after the new content is in place.
void TestDownload::download_inDeviceThread_fillsModelInItsOwnThreadBeforeReady()
{
    m_sim->addRun(runSpec(40, 1700000000));
    const DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));
    QCOMPARE(info.numberOfRecords, 40);

    registerMetaTypes();
    QThread deviceThread;
    FilesInteractor* files = m_side.files.release();
    ComPortManager* manager = m_side.manager.release();
    files->moveToThread(&deviceThread);
    manager->moveToThread(&deviceThread);
    connect(&deviceThread, &QThread::finished, files, &QObject::deleteLater);
    connect(&deviceThread, &QThread::finished, manager, &QObject::deleteLater);

    QList<QThread*> resetThreads;
    connect(m_side.model.get(), &QAbstractItemModel::modelAboutToBeReset, this,
            [&] { resetThreads << QThread::currentThread(); }, Qt::DirectConnection);
    int rowsWhenReady = -1;
    connect(files, &FilesInteractor::modelRecordReady, this,
            [&] { rowsWhenReady = m_side.model->rowCount(); }, Qt::QueuedConnection);

    deviceThread.start();
    QMetaObject::invokeMethod(files, "downloadFileFromDevice", Qt::QueuedConnection,
                              Q_ARG(uint, m_id), Q_ARG(DeviceFileInfo, info));
    QTRY_COMPARE_WITH_TIMEOUT(rowsWhenReady, 40, 20000);
    QCOMPARE(resetThreads, QList<QThread*>({QThread::currentThread()}));
    QCOMPARE(m_side.model->deviceId(), m_id);

    // The export reads the interactor's own copy, not the shown model.
    const QString csv = QDir(folder()).filePath(QStringLiteral("export.csv"));
    QMetaObject::invokeMethod(files, "saveCSVFile", Qt::QueuedConnection, Q_ARG(QString, csv));
    QTRY_VERIFY_WITH_TIMEOUT(testsupport::fileBytes(csv).count('\n') == 42, 10000);

    deviceThread.quit();
    QVERIFY(deviceThread.wait(10000));
}

void TestDownload::download_fileTimeIsTheLogsStopAsLocalWallClock()
{
    // 14.11.2023 22:13:20 of the instrument's clock, four records 10 s apart.
    m_sim->addRun(runSpec(4, 1700000000));
    const DeviceFileInfo info = fileNamed(QStringLiteral("6553F100.LOG"));
    QCOMPARE(info.stopLog, QDateTime(QDate(2023, 11, 14), QTime(22, 13, 50), Qt::UTC));
    m_side.files->downloadFileFromDevice(m_id, info);
    // The same reading on this computer's clock, whatever its zone; the
    // birth time cannot be set on this system and is not looked at.
    const QFileInfo file(folder() + QStringLiteral("/6553F100.LOG"));
    QCOMPARE(file.lastModified(), QDateTime(QDate(2023, 11, 14), QTime(22, 13, 50), Qt::LocalTime));
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
