#include "device/HomeCopy.h"

#include "data/DownloadRecord.h"
#include "data/LogFile.h"
#include "device/FilesInteractor.h"

#include <QFileInfo>

qint64 HomeCopy::completeSize(const DeviceFileInfo& info)
{
    return LogFile::headerSize + qint64(LogFile::recordSize) * FilesInteractor::recordsToDownload(info);
}

HomeCopy::State HomeCopy::of(const QString& path, const DeviceFileInfo& info)
{
    const QFileInfo file(path);
    if (info.nameFile.isEmpty() || !file.isFile())
        return State::Absent;
    const qint64 size = file.size();
    const qint64 complete = completeSize(info);
    if (size == complete) {
        // A copy changed after its download is not the instrument's file any
        // more; copies from before download records existed go by size alone.
        return DownloadRecord::verify(path) == DownloadRecord::Check::Changed ? State::Absent : State::Complete;
    }
    return size < complete ? State::Partial : State::Absent;
}

QString HomeCopy::markText(State state)
{
    switch (state) {
    case State::Complete:
        return QStringLiteral("загружен");
    case State::Partial:
        return QStringLiteral("частично");
    case State::Absent:
        break;
    }
    return QString();
}

QVariantMap HomeCopy::marks(const QList<DeviceFileInfo>& list, uint idDevice, const QString& logRoot)
{
    QVariantMap marks;
    for (const DeviceFileInfo& info : list) {
        if (info.nameFile.isEmpty())
            continue;
        const QString mark = markText(of(LogFile::filePath(idDevice, info.nameFile, logRoot), info));
        if (!mark.isEmpty())
            marks.insert(info.nameFile, mark);
    }
    return marks;
}
