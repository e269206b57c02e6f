// What a download leaves beside its .LOG, checked against a simulated
// instrument's own state and against sha256sum.
#include "data/DownloadRecord.h"
#include "data/ModelLogRecord.h"
#include "device/FilesInteractor.h"
#include "link/ComPortManager.h"

#include "TestSupport.h"
#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Hash by an independent tool.
QByteArray sha256sum(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("sha256sum"), {path});
    if (!process.waitForFinished(30000))
        return QByteArray();
    return process.readAllStandardOutput().left(64);
}

void putBytes(QByteArray& area, int offset, const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    area.replace(offset, bytes.size(), bytes);
}

} // namespace

class TestDownloadEvidence : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void download_writesRecordAgreeingWithTheInstrument();
    void batch_readsSettingsOnce_singleDownloadsEachTheirOwn();
    void failedDownload_keepsEarlierCopyAndItsRecord();
    void recordThatCannotBeWritten_warnsAndDownloadStillSucceeds();

private:
    void start(const QString& model);
    DeviceFileInfo firstListed();
    QString folder() const;

    std::unique_ptr<ZrSimulator> m_sim;
    testsupport::DownloadSide m_side;
    QTemporaryDir m_root;
    quint32 m_id = 0;
};

void TestDownloadEvidence::init()
{
    m_id = 6000000 + quint32(QCoreApplication::applicationPid() % 1000000);
}

void TestDownloadEvidence::start(const QString& model)
{
    ZrSimulator::Options options;
    options.id = m_id;
    options.model = model;
    options.defaultFiles = false;
    m_sim = std::make_unique<ZrSimulator>(options);
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
    QVERIFY(m_side.connect(m_sim->portName()));
    m_side.files->setLogRoot(m_root.path());
}

void TestDownloadEvidence::cleanup()
{
    m_side.reset();
    m_sim.reset();
    QDir(folder()).removeRecursively();
}

QString TestDownloadEvidence::folder() const
{
    return m_root.path() + QStringLiteral("/") + QString::number(m_id);
}

DeviceFileInfo TestDownloadEvidence::firstListed()
{
    QSignalSpy listed(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
    m_side.files->requestListOfFiles();
    if (listed.count() != 1)
        return DeviceFileInfo();
    return listed.at(0).at(0).value<QList<DeviceFileInfo>>().value(0);
}

void TestDownloadEvidence::download_writesRecordAgreeingWithTheInstrument()
{
    start(QStringLiteral("7.49"));
    // Settings written in the block's own layout: period 00:01:00, channel 1
    // temperature limits 2.0 … 8.0 with the alarm on, 20 mA = 100.0, unit 3.
    QByteArray area = m_sim->settingsArea();
    putBytes(area, 3, "000100");
    putBytes(area, 10, "00000041"); // channel 1 upper temperature 8.0
    putBytes(area, 30, "00000040"); // channel 1 lower temperature 2.0
    putBytes(area, 34, "cdcc0c41"); // channel 1 lower humidity 8.8
    putBytes(area, 50, "01");
    putBytes(area, 91, "00");
    putBytes(area, 94, "0001");
    putBytes(area, 96, "0000c842"); // 100.0
    putBytes(area, 100, "00000000");
    putBytes(area, 104, "03");
    m_sim->setSettingsArea(area);
    // The instrument runs 5 s ahead of the computer's wall clock.
    const QDateTime wall = QDateTime::currentDateTime();
    m_sim->setClock(QDateTime(wall.date(), wall.time(), Qt::UTC).addSecs(5));
    m_sim->addRun(50);
    m_sim->addRun(3);
    const QList<DeviceFileInfo> all = [&] {
        QSignalSpy listed(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
        m_side.files->requestListOfFiles();
        return listed.at(0).at(0).value<QList<DeviceFileInfo>>();
    }();
    QCOMPARE(all.size(), 2);
    const DeviceFileInfo info = all.at(1);

    QSignalSpy warnings(m_side.files.get(), &FilesInteractor::downloadWarningOccurred);
    QSignalSpy downloaded(m_side.files.get(), &FilesInteractor::fileDownloaded);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(warnings.count(), 0);
    QCOMPARE(downloaded.count(), 1);

    const QString log = m_side.files->logFilePath(m_id, info.nameFile);
    QString why;
    const std::optional<QJsonObject> record = DownloadRecord::read(log, &why);
    QVERIFY2(record, qPrintable(why));
    const QByteArray independent = sha256sum(log);
    QCOMPARE(independent.size(), 64);
    QCOMPARE((*record)["sha256"].toString().toLatin1(), independent);
    QCOMPARE(downloaded.at(0).at(1).toByteArray(), independent);

    const QJsonObject instrument = (*record)["instrument"].toObject();
    QCOMPARE(instrument["type"].toString(), QStringLiteral("ZR7.49"));
    QCOMPARE(instrument["firmware"].toString(), QStringLiteral("1.03"));
    QCOMPARE(instrument["id"].toDouble(), double(m_id));
    QCOMPARE(instrument["port"].toString(), m_sim->portName());

    const QJsonObject file = (*record)["file"].toObject();
    QCOMPARE(file["name"].toString(), info.nameFile);
    QCOMPARE(file["group"].toInt(), 1);
    QCOMPARE(file["index"].toInt(), 1);
    QCOMPARE(file["records"].toInt(), 3);
    QCOMPARE(file["sizeBytes"].toInt(), 7 + 3 * 24);

    const qint64 difference = qint64((*record)["clock"].toObject()["differenceSeconds"].toDouble());
    QVERIFY2(difference >= 4 && difference <= 7, qPrintable(QString::number(difference)));

    const QJsonObject settings = (*record)["settings"].toObject();
    QCOMPARE(settings["hex"].toString().toLatin1(), area.toHex());
    QCOMPARE(settings["logPeriodSeconds"].toInt(), 60);
    const QJsonObject channel1 = settings["channels"].toArray().at(0).toObject();
    QCOMPARE(channel1["number"].toInt(), 1);
    QCOMPARE(channel1["alarm"].toBool(), true);
    const QJsonObject limits = channel1["limits"].toObject();
    QCOMPARE(limits["temperature"].toObject()["lower"].toDouble(), 2.0);
    QCOMPARE(limits["temperature"].toObject()["upper"].toDouble(), 8.0);
    QCOMPARE(limits["humidity"].toObject()["lower"].toDouble(), 8.8); // as entered, not 8.800000190734863
    QCOMPARE(settings["channels"].toArray().at(1).toObject()["alarm"].toBool(), false);
    const QJsonObject second = settings["secondModel"].toObject();
    QCOMPARE(second["valueResistAt0"].toInt(), 1);
    QCOMPARE(second["value20mA"].toDouble(), 100.0);
    QCOMPARE(second["unit"].toInt(), 3);

    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::Matches);
}

void TestDownloadEvidence::batch_readsSettingsOnce_singleDownloadsEachTheirOwn()
{
    start(QStringLiteral("7.47"));
    m_sim->addRun(4);
    m_sim->addRun(5);
    m_sim->addRun(6);
    QSignalSpy listed(m_side.files.get(), &FilesInteractor::listOfFilesReceived);
    m_side.files->requestListOfFiles();
    const QList<DeviceFileInfo> all = listed.at(0).at(0).value<QList<DeviceFileInfo>>();
    QCOMPARE(all.size(), 3);
    const quint16 readMemory = 0xA4;

    m_sim->clearRequests();
    m_side.files->beginDownloadBatch();
    for (const DeviceFileInfo& info : all)
        m_side.files->downloadFileFromDevice(m_id, info);
    m_side.files->endDownloadBatch();
    QCOMPARE(m_sim->requestCount(readMemory), 4);

    m_sim->clearRequests();
    m_side.files->downloadFileFromDevice(m_id, all.at(0));
    m_side.files->downloadFileFromDevice(m_id, all.at(1));
    QCOMPARE(m_sim->requestCount(readMemory), 8);
    for (const DeviceFileInfo& info : all) {
        const std::optional<QJsonObject> record = DownloadRecord::read(m_side.files->logFilePath(m_id, info.nameFile));
        QVERIFY(record);
        // The first model has no second-model fields.
        QVERIFY(!(*record)["settings"].toObject().contains("secondModel"));
    }
}

void TestDownloadEvidence::failedDownload_keepsEarlierCopyAndItsRecord()
{
    start(QStringLiteral("7.47"));
    m_sim->addRun(20);
    const DeviceFileInfo info = firstListed();
    QVERIFY(!info.nameFile.isEmpty());
    m_side.files->downloadFileFromDevice(m_id, info);
    const QString log = m_side.files->logFilePath(m_id, info.nameFile);
    QFile recordFile(DownloadRecord::recordPath(log));
    QVERIFY(recordFile.open(QIODevice::ReadOnly));
    const QByteArray earlierRecord = recordFile.readAll();
    recordFile.close();

    // The instrument falls silent in the middle of the second download.
    m_sim->injectFault(SimFault::GoSilent, 5);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::downloadErrorOccurred);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(failed.count(), 1);
    QVERIFY(recordFile.open(QIODevice::ReadOnly));
    QCOMPARE(recordFile.readAll(), earlierRecord);
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::Matches);
}

void TestDownloadEvidence::recordThatCannotBeWritten_warnsAndDownloadStillSucceeds()
{
    start(QStringLiteral("7.47"));
    m_sim->addRun(3);
    const DeviceFileInfo info = firstListed();
    const QString log = m_side.files->logFilePath(m_id, info.nameFile);
    // A folder where the record should go stops it as a full disk would.
    QVERIFY(QDir().mkpath(DownloadRecord::recordPath(log)));
    QSignalSpy warnings(m_side.files.get(), &FilesInteractor::downloadWarningOccurred);
    QSignalSpy failed(m_side.files.get(), &FilesInteractor::downloadErrorOccurred);
    QSignalSpy opened(m_side.files.get(), &FilesInteractor::modelRecordReady);
    m_side.files->downloadFileFromDevice(m_id, info);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(warnings.count(), 1);
    QVERIFY2(warnings.at(0).at(0).toString().contains(info.nameFile), qPrintable(warnings.at(0).at(0).toString()));
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::NoRecord);
}

QTEST_GUILESS_MAIN(TestDownloadEvidence)
#include "tst_downloadevidence.moc"
