#include "device/FileCollector.h"

#include "device/FilesInteractor.h"
#include "device/HomeCopy.h"

#include <cmath>

FileCollector::FileCollector(FilesInteractor* files, QObject* parent)
    : QObject(parent)
    , m_files(files)
{
}

QList<DeviceFileInfo> FileCollector::newFiles(uint idDevice, const QList<DeviceFileInfo>& list) const
{
    QList<DeviceFileInfo> chosen;
    for (const DeviceFileInfo& info : list) {
        if (info.nameFile.isEmpty() || FilesInteractor::recordsToDownload(info) == 0)
            continue;
        if (HomeCopy::of(m_files->logFilePath(idDevice, info.nameFile), info) != HomeCopy::State::Complete)
            chosen << info;
    }
    return chosen;
}

quint32 FileCollector::recordsAt(float percent, quint32 count)
{
    if (count <= 1)
        return count;
    const double done = std::floor(double(percent) / 100.0 * double(count - 1) + 0.5) + 1.0;
    return quint32(qBound(1.0, done, double(count)));
}

CollectResult FileCollector::collect(uint idDevice, const QList<DeviceFileInfo>& list)
{
    CollectResult result;
    result.deviceId = idDevice;
    const QList<DeviceFileInfo> chosen = newFiles(idDevice, list);
    for (const DeviceFileInfo& info : list)
        if (!info.nameFile.isEmpty() && FilesInteractor::recordsToDownload(info) > 0 && !chosen.contains(info))
            ++result.alreadyHome;
    qint64 total = 0;
    for (const DeviceFileInfo& info : chosen)
        total += FilesInteractor::recordsToDownload(info);

    qint64 before = 0;
    const int count = chosen.size();
    // One read of the instrument's settings serves the records of the whole set.
    m_files->beginDownloadBatch();
    for (int i = 0; i < count; ++i) {
        const DeviceFileInfo& info = chosen.at(i);
        const quint32 records = FilesInteractor::recordsToDownload(info);
        auto stopHere = [&](int from) {
            for (int rest = from; rest < count; ++rest)
                result.notReached << chosen.at(rest).nameFile;
        };
        if (m_files->isCancelled()) {
            result.cancelled = true;
            stopHere(i);
            break;
        }
        emit collectProgress(i + 1, count, before, total);
        QObject context;
        connect(m_files, &FilesInteractor::downloadFileProcess, &context, [&, i](float percent) {
            emit collectProgress(i + 1, count, before + recordsAt(percent, records), total);
        });
        const FilesInteractor::Fetch fetch = m_files->fetchFile(idDevice, info);
        before += records;
        switch (fetch.outcome) {
        case FilesInteractor::Fetch::Done: {
            const QString path = m_files->logFilePath(idDevice, info.nameFile);
            result.done << CollectResult::File{info.nameFile, path, int(records)};
            emit fileCollected(info.nameFile, path, int(records));
            continue;
        }
        case FilesInteractor::Fetch::Cancelled:
            result.cancelled = true;
            stopHere(i);
            break;
        case FilesInteractor::Fetch::Failed:
        case FilesInteractor::Fetch::InstrumentLost:
        {
            // The file is named beside the reason already: the link's own message says the rest.
            const QString why = fetch.localFile || fetch.message.isEmpty() ? fetch.reason : fetch.message;
            result.failed << CollectResult::Failure{info.nameFile, why};
            emit fileFailed(info.nameFile, why);
        }
            if (fetch.outcome == FilesInteractor::Fetch::InstrumentLost) {
                result.instrumentLost = true;
                result.lostMessage = fetch.message;
                stopHere(i + 1);
                break;
            }
            // A disk that cannot take this file (full, read-only) will not
            // take the next one either; a name the instrument got wrong is
            // that file's fault alone.
            if (fetch.localFile && FilesInteractor::isPlainFileName(info.nameFile)) {
                stopHere(i + 1);
                break;
            }
            continue;
        }
        break;
    }
    m_files->endDownloadBatch();
    return result;
}

void FileCollector::collectNewFiles(uint idDevice, QList<DeviceFileInfo> list)
{
    m_files->clearCancel();
    const CollectResult result = collect(idDevice, list);
    emit collectFinished(result);
    if (result.instrumentLost)
        emit instrumentLost(result.lostMessage);
}
