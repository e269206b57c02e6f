#include "device/ModelDeviceFileInfo.h"

ModelDeviceFileInfo::ModelDeviceFileInfo(QObject* parent)
    : QAbstractListModel(parent)
{
}

int ModelDeviceFileInfo::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_files.size();
}

QString ModelDeviceFileInfo::timeText(const QDateTime& time)
{
    // Formatted as held: the UTC spec carries the instrument's wall clock, so no
    // time-zone conversion may happen here.
    if (!time.isValid())
        return QString();
    return time.toString(QStringLiteral("hh:mm:ss dd.MM.yyyy"));
}

QVariant ModelDeviceFileInfo::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_files.size() || index.column() != 0)
        return QVariant();
    const DeviceFileInfo& file = m_files.at(index.row());
    switch (role) {
    case StartLogRole:
        return timeText(file.startLog);
    case StopLogRole:
        return timeText(file.stopLog);
    case SizeRole:
        return file.size;
    case NumberOfRecordsRole:
        return file.numberOfRecords;
    case NameFileRole:
        return file.nameFile;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ModelDeviceFileInfo::roleNames() const
{
    return {
        {StartLogRole, "StartLog"},
        {StopLogRole, "StopLog"},
        {SizeRole, "Size"},
        {NumberOfRecordsRole, "NumberOfRecords"},
        {NameFileRole, "NameFile"},
    };
}

void ModelDeviceFileInfo::setListFiles(const QList<DeviceFileInfo>& list)
{
    if (!m_files.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, m_files.size() - 1);
        m_files.clear();
        endRemoveRows();
    }
    if (!list.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, list.size() - 1);
        m_files = list;
        endInsertRows();
    }
}
