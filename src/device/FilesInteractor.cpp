#include "device/FilesInteractor.h"

#include "data/CsvExporter.h"
#include "data/LogFile.h"
#include "data/LogFileWriter.h"
#include "data/ModelLogRecord.h"
#include "data/XlsxExporter.h"
#include "device/ZR74XManager.h"

#include <QThread>

namespace {
// Thrown when the application stops in the middle of a download.
struct Stopped
{
};

// Groups in the order the instrument's files are listed.
constexpr uchar kFileGroups[] = {1, 0};

const QString kOpenFailed = QStringLiteral("Ошибка открытия файла");

// The name comes from the instrument: it must stay a plain file name inside the
// instrument's folder.
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}
} // namespace

FilesInteractor::FilesInteractor(ComPortManager* manager, ModelLogRecord* model, QObject* parent)
    : QObject(parent)
    , m_device(new ZR74XManager(manager, this))
    , m_model(model)
{
}

FilesInteractor::~FilesInteractor() = default;

float FilesInteractor::downloadProgress(quint32 index, quint32 count)
{
    if (count == 1)
        return float((quint64(index) + 1) * 100);
    return float(double(index) / double(count - 1) * 100.0);
}

quint32 FilesInteractor::recordsToDownload(const DeviceFileInfo& info)
{
    if (info.size < DeviceFileInfo::headerSize || info.numberOfRecords <= 0)
        return 0;
    return quint32(info.numberOfRecords);
}

void FilesInteractor::requestListOfFiles()
{
    QList<DeviceFileInfo> list;
    try {
        for (uchar group : kFileGroups) {
            const quint16 count = m_device->getFileCount(group);
            for (quint16 i = 0; i < count; ++i)
                list.append(m_device->getFileInfo(i, group));
        }
    } catch (const QString& message) {
        emit errorOccurred(message);
        return;
    }
    emit listOfFilesReceived(list);
}

void FilesInteractor::downloadFileFromDevice(uint idDevice, DeviceFileInfo deviceFileInfo)
{
    try {
        download(idDevice, deviceFileInfo);
    } catch (const QString& message) {
        emit errorOccurred(message);
        return;
    } catch (const Stopped&) {
        return;
    }
    openLogFile(idDevice, deviceFileInfo);
}

void FilesInteractor::download(uint idDevice, const DeviceFileInfo& info)
{
    if (!isPlainFileName(info.nameFile))
        throw kOpenFailed;
    // The writer drops its temporary file unless commit() is reached, so an
    // interrupted download never leaves a truncated file under the final name.
    LogFileWriter writer(LogFile::filePath(idDevice, info.nameFile));
    writer.open();
    writer.write(m_device->openFile(info.nameFile));
    const quint32 count = recordsToDownload(info);
    for (quint32 i = 0; i < count; ++i) {
        // A long download must not hold up the application's exit.
        if (QThread::currentThread()->isInterruptionRequested())
            throw Stopped();
        writer.write(m_device->readRecord(i));
        emit downloadFileProcess(downloadProgress(i, count));
    }
    m_device->closeFile();
    writer.commit(info.startLog, info.stopLog);
}

void FilesInteractor::openLogFile(QString pathFile)
{
    try {
        m_opened = LogFile::read(pathFile);
    } catch (const QString& message) {
        emit fileErrorOccurred(message);
        return;
    }
    // The model lives in the GUI thread: fill it there (directly when this
    // interactor shares its thread). The fill is queued before modelRecordReady(),
    // so the screen sees the new content when it reattaches its views.
    const LogFileContent content = m_opened;
    ModelLogRecord* model = m_model;
    QMetaObject::invokeMethod(
        model, [model, content] { model->setContent(content); },
        Qt::AutoConnection);
    emit modelRecordReady();
}

void FilesInteractor::openLogFile(uint idDevice, DeviceFileInfo deviceFileInfo)
{
    if (!isPlainFileName(deviceFileInfo.nameFile)) {
        emit fileErrorOccurred(kOpenFailed);
        return;
    }
    openLogFile(LogFile::filePath(idDevice, deviceFileInfo.nameFile));
}

// Local file work: a failure is reported as a file error, the shown data stays.
template <typename Task>
void FilesInteractor::reportingFileErrors(Task task)
{
    try {
        task();
    } catch (const QString& message) {
        emit fileErrorOccurred(message);
    }
}

ModelLogRecord* FilesInteractor::openedSnapshot(ModelLogRecord& snapshot) const
{
    snapshot.setContent(m_opened.deviceId, m_opened.deviceType, m_opened.records);
    return &snapshot;
}

void FilesInteractor::saveCSVFile(QString pathFile)
{
    ModelLogRecord snapshot;
    reportingFileErrors([&] { CsvExporter::saveLog(pathFile, *openedSnapshot(snapshot)); });
}

void FilesInteractor::saveCSVFileFromModel(QString pathFile, QSqlQueryModel* model)
{
    reportingFileErrors([&] { CsvExporter::saveQuery(pathFile, model); });
}

void FilesInteractor::saveXLSXFile(QString pathFile)
{
    ModelLogRecord snapshot;
    reportingFileErrors([&] { XlsxExporter::saveLog(pathFile, *openedSnapshot(snapshot)); });
}

void FilesInteractor::saveXLSXFileFromModel(QString pathFile, QSqlQueryModel* model)
{
    reportingFileErrors([&] { XlsxExporter::saveQuery(pathFile, model); });
}
