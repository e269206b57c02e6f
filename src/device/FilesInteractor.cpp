#include "device/FilesInteractor.h"

#include "data/CsvExporter.h"
#include "data/LogFile.h"
#include "data/LogFileWriter.h"
#include "data/ModelLogRecord.h"
#include "data/XlsxExporter.h"
#include "device/ZR74XManager.h"
#include "data/DownloadRecord.h"
#include "data/Journal.h"
#include "link/ComPortManager.h"

#include <QThread>

namespace {
// Thrown when the application stops in the middle of a download.
struct Stopped
{
};

// Thrown when the user (or a stopping watcher) cancels the download.
struct Cancelled
{
};

// A failure of the local file (its message is the file code's own), as
// opposed to a failure of the instrument dialogue, which is thrown as a QString.
struct FileFailure
{
    QString message;
    QString path;
};

// Groups in the order the instrument's files are listed.
constexpr uchar kFileGroups[] = {1, 0};

const QString kOpenFailed = QStringLiteral("Ошибка открытия файла");
const QString kDownloadFailed = QStringLiteral("Ошибка загрузки файла");

// Runs one step on the local file, telling its failures apart from the
// instrument's.
template <typename Step>
void onFile(const QString& path, Step step)
{
    try {
        step();
    } catch (const QString& message) {
        throw FileFailure{message, path};
    }
}
} // namespace

// The name comes from the instrument: it must stay a plain file name inside the
// instrument's folder.
bool FilesInteractor::isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}

FilesInteractor::FilesInteractor(ComPortManager* manager, ModelLogRecord* model, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
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

QString FilesInteractor::logFilePath(uint idDevice, const QString& nameFile) const
{
    return LogFile::filePath(idDevice, nameFile, m_logRoot);
}

void FilesInteractor::requestListOfFiles()
{
    QList<DeviceFileInfo> list;
    QHash<QString, QPair<int, int>> places;
    try {
        for (uchar group : kFileGroups) {
            const quint16 count = m_device->getFileCount(group);
            for (quint16 i = 0; i < count; ++i) {
                list.append(m_device->getFileInfo(i, group));
                places.insert(list.last().nameFile, {group, i});
            }
        }
    } catch (const QString& message) {
        emit errorOccurred(message);
        return;
    }
    m_listed = places;
    emit listOfFilesReceived(list);
}

void FilesInteractor::downloadFileFromDevice(uint idDevice, DeviceFileInfo deviceFileInfo)
{
    clearCancel();
    const Fetch fetch = fetchFile(idDevice, deviceFileInfo);
    switch (fetch.outcome) {
    case Fetch::Done:
        openLogFile(idDevice, deviceFileInfo);
        return;
    case Fetch::Cancelled:
        emit downloadCancelled(deviceFileInfo.nameFile);
        return;
    case Fetch::Failed:
    case Fetch::InstrumentLost:
        if (!fetch.reason.isEmpty())
            emit downloadErrorOccurred(fetch.reason);
        if (fetch.outcome == Fetch::InstrumentLost)
            emit errorOccurred(fetch.message);
        return;
    }
}

FilesInteractor::Fetch FilesInteractor::fetchFile(uint idDevice, const DeviceFileInfo& info)
{
    Fetch fetch;
    try {
        download(idDevice, info);
    } catch (const FileFailure& failure) {
        // The instrument is not to blame: it stays connected and listed.
        fetch.outcome = Fetch::Failed;
        fetch.localFile = true;
        fetch.reason = failure.message + QLatin1Char('\n') + failure.path;
    } catch (const QString& message) {
        fetch.outcome = Fetch::Failed;
        fetch.reason = kDownloadFailed + QLatin1Char(' ') + info.nameFile + QLatin1Char('\n') + message;
        fetch.message = message;
        // A dialogue that failed with an instrument that still answers was a
        // disturbance of the line; only a lost instrument is searched for again.
        if (!instrumentAnswers())
            fetch.outcome = Fetch::InstrumentLost;
    } catch (const Cancelled&) {
        fetch.outcome = Fetch::Cancelled;
        // The instrument is left with the file closed, ready for the next request.
        try {
            m_device->closeFile();
        } catch (const QString&) {
        }
    } catch (const Stopped&) {
        fetch.outcome = Fetch::Cancelled;
    }
    // Every kind of download (one file, a set, the command line, watch)
    // passes here: the record follows each file that came whole.
    if (fetch.outcome == Fetch::Done)
        recordDownload(idDevice, info);
    return fetch;
}

void FilesInteractor::beginDownloadBatch()
{
    m_inBatch = true;
    m_session.reset();
}

void FilesInteractor::endDownloadBatch()
{
    m_inBatch = false;
    m_session.reset();
}

DownloadSession FilesInteractor::downloadSession(QString* problem)
{
    if (!m_session) {
        try {
            m_session = DownloadProvenance::readSession(*m_device, m_manager->portName(), m_deviceInfo);
        } catch (const QString& message) {
            // Not kept for the batch: the next file tries again.
            *problem = QStringLiteral("настройки прибора не прочитаны: ") + message.trimmed();
            return DownloadSession{QString(), m_manager->portName(), QByteArray()};
        }
    }
    return *m_session;
}

void FilesInteractor::recordDownload(uint idDevice, const DeviceFileInfo& info)
{
    // Called once the .LOG is in place: whatever fails here is told, but the
    // download itself has succeeded.
    const QString path = logFilePath(idDevice, info.nameFile);
    const auto warn = [&](const QString& reason) {
        emit downloadWarningOccurred(QStringLiteral("Файл %1 загружен, но запись о загрузке неполна или не сохранена: %2")
                                         .arg(info.nameFile, reason));
    };
    const QByteArray hash = DownloadRecord::fileSha256Hex(path);
    if (hash.isEmpty()) {
        DownloadRecord::remove(path);
        warn(kOpenFailed + QStringLiteral(" ") + path);
        return;
    }
    QString problem;
    const DownloadSession session = downloadSession(&problem);
    QDateTime clock;
    try {
        clock = m_device->getTime();
    } catch (const QString& message) {
        problem += (problem.isEmpty() ? QString() : QStringLiteral("; ")) + QStringLiteral("часы прибора не прочитаны: ")
            + message.trimmed();
    }
    const QPair<int, int> place = m_listed.value(info.nameFile, {-1, -1});
    DownloadRecord::Source source =
        DownloadProvenance::source(session, idDevice, info, place.first, place.second, clock, QDateTime::currentDateTime());
    source.sha256 = hash;
    try {
        DownloadRecord::write(path, DownloadRecord::compose(source));
    } catch (const QString& message) {
        // An earlier record would now speak for bytes it never saw.
        DownloadRecord::remove(path);
        problem = message;
    }
    if (!m_inBatch)
        m_session.reset();
    const QString journalFailure = Journal::record(
        QStringLiteral("download"),
        {{QStringLiteral("file"), info.nameFile},
         {QStringLiteral("path"), path},
         {QStringLiteral("sha256"), QString::fromLatin1(hash)},
         {QStringLiteral("instrument"),
          QJsonObject{{QStringLiteral("id"), double(idDevice)}, {QStringLiteral("port"), session.port}}}});
    if (!journalFailure.isEmpty())
        problem += (problem.isEmpty() ? QString() : QStringLiteral("; ")) + journalFailure;
    if (!problem.isEmpty())
        warn(problem);
    emit fileDownloaded(path, hash);
}

bool FilesInteractor::instrumentAnswers()
{
    try {
        return m_device->checkConnection();
    } catch (const QString&) {
        return false;
    }
}

void FilesInteractor::download(uint idDevice, const DeviceFileInfo& info)
{
    if (!isPlainFileName(info.nameFile))
        throw FileFailure{kOpenFailed, info.nameFile};
    // The writer drops its temporary file unless commit() is reached, so an
    // interrupted download never leaves a truncated file under the final name.
    const QString path = logFilePath(idDevice, info.nameFile);
    LogFileWriter writer(path);
    onFile(path, [&] { writer.open(); });
    const QByteArray header = m_device->openFile(info.nameFile);
    onFile(path, [&] { writer.write(header); });
    const quint32 count = recordsToDownload(info);
    RecordSequence sequence(info);
    int shownPercent = -1;
    for (quint32 i = 0; i < count; ++i) {
        // A long download must not hold up the application's exit.
        if (QThread::currentThread()->isInterruptionRequested())
            throw Stopped();
        if (m_cancel.load())
            throw Cancelled();
        const QByteArray record = m_device->readRecord(i, sequence);
        onFile(path, [&] { writer.write(record); });
        // The screen only shows whole percents: one signal per step of the bar,
        // not one per record.
        const float percent = downloadProgress(i, count);
        if (int(percent) != shownPercent) {
            shownPercent = int(percent);
            emit downloadFileProcess(percent);
        }
    }
    m_device->closeFile();
    onFile(path, [&] { writer.commit(info.startLog, info.stopLog); });
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
    openLogFile(logFilePath(idDevice, deviceFileInfo.nameFile));
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
