#pragma once

#include "device/CollectResult.h"
#include "device/DeviceFileInfo.h"

#include <QList>
#include <QObject>

class FilesInteractor;

// Downloads every file of an instrument that is not home yet, one after
// another, each through the one download routine of FilesInteractor, so each
// file is committed on its own: a failed file is named and the others still
// come. A cancel, a lost instrument or a failing local disk stops the set.
// Lives in the thread of the FilesInteractor it is given (not owned).
class FileCollector : public QObject
{
    Q_OBJECT
public:
    explicit FileCollector(FilesInteractor* files, QObject* parent = nullptr);

    // The files of `list` to fetch: named, with records, and not complete at home.
    QList<DeviceFileInfo> newFiles(uint idDevice, const QList<DeviceFileInfo>& list) const;

    // Runs the set in the calling thread and returns what came. Does not
    // clear an earlier cancel request: the caller decides when a set starts.
    CollectResult collect(uint idDevice, const QList<DeviceFileInfo>& list);

    // Records done so far in a file of `count` records at `percent`.
    static quint32 recordsAt(float percent, quint32 count);

signals:
    // `file` counts from 1; records over the whole set.
    void collectProgress(int file, int files, qint64 records, qint64 totalRecords);
    void fileCollected(QString name, QString path, int records);
    void fileFailed(QString name, QString reason);
    void collectFinished(CollectResult result);
    // The instrument stopped answering in the middle of the set.
    void instrumentLost(QString message);

public slots:
    // A new set: clears an earlier cancel, collects, then reports.
    void collectNewFiles(uint idDevice, QList<DeviceFileInfo> list);

private:
    FilesInteractor* m_files;
};
