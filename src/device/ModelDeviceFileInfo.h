#pragma once

#include "device/DeviceFileInfo.h"

#include <QAbstractListModel>
#include <QList>

// The instrument's log files as the device screen's list shows them: one row
// per file in the order received. Lives in the GUI thread.
class ModelDeviceFileInfo : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        StartLogRole = Qt::UserRole + 1, // 257
        StopLogRole,
        SizeRole,
        NumberOfRecordsRole,
        NameFileRole,
    };

    explicit ModelDeviceFileInfo(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Replaces every row: the old rows are announced as removed, then the new
    // ones as inserted, so views never see a mixture of both lists.
    void setListFiles(const QList<DeviceFileInfo>& list);
    const QList<DeviceFileInfo>& listFiles() const { return m_files; }

    // "hh:mm:ss dd.MM.yyyy" of the instrument's clock reading; empty for a null time.
    static QString timeText(const QDateTime& time);

private:
    QList<DeviceFileInfo> m_files;
};
