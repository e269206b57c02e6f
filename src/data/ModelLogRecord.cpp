#include "data/ModelLogRecord.h"

#include "data/UnitTable.h"

#include <QFileInfo>

namespace {
const QString dateHeader = QStringLiteral("Дата");
}

ModelLogRecord::ModelLogRecord(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int ModelLogRecord::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_records.size();
}

int ModelLogRecord::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QString ModelLogRecord::entryText(const LogEntry& entry)
{
    return QStringLiteral("%1 %2").arg(QString::number(entry.value, 'f', 2), UnitTable::text(entry.unit));
}

QString ModelLogRecord::dateTimeText(const QDateTime& dateTime)
{
    // Formatting a UTC date-time shows its own clock reading, unconverted.
    return dateTime.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

QString ModelLogRecord::cellText(int row, int column) const
{
    if (row < 0 || row >= m_records.size() || column < 0 || column >= m_headers.size())
        return QString();
    const LogRecord& record = m_records.at(row);
    if (column == 0)
        return dateTimeText(record.dateTime);
    const LogEntry* entry = record.entry(column);
    return entry ? entryText(*entry) : QString();
}

QVariant ModelLogRecord::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size() || index.column() >= m_headers.size())
        return QVariant();
    const LogRecord& record = m_records.at(index.row());
    const int column = index.column();

    if (role >= FirstColumnRole) {
        const int target = role - FirstColumnRole;
        if (target >= m_headers.size())
            return QVariant();
        if (target == 0)
            return cellText(index.row(), 0);
        const LogEntry* entry = record.entry(target);
        return entry ? QVariant(entryText(*entry)) : QVariant();
    }

    if (column == 0) {
        switch (role) {
        case Qt::DisplayRole: return dateTimeText(record.dateTime);
        case ValueRole: return record.dateTime;
        default: return QVariant();
        }
    }

    const LogEntry* entry = record.entry(column);
    if (!entry)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole: return entryText(*entry);
    case ValueRole: return entry->value;
    case UnitRole: return UnitTable::text(entry->unit);
    default: return QVariant();
    }
}

QVariant ModelLogRecord::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_headers.at(section);
    case MeasurementColumnRole:
        return m_headers.at(section) != dateHeader;
    case UnitRole:
        if (section == 0)
            return QString();
        for (const LogRecord& record : m_records)
            if (const LogEntry* entry = record.entry(section))
                return UnitTable::text(entry->unit);
        return QString();
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ModelLogRecord::roleNames() const
{
    QHash<int, QByteArray> roles = QAbstractTableModel::roleNames();
    for (int i = 0; i < m_headers.size(); ++i)
        roles.insert(FirstColumnRole + i, m_headers.at(i).toUtf8());
    return roles;
}

void ModelLogRecord::setDeviceType(int type)
{
    m_deviceType = type;
    m_headers = headersForType(type);
}

QString ModelLogRecord::deviceName(int type)
{
    switch (type) {
    case 0: return QStringLiteral("ZR-7.47");
    case 1: return QStringLiteral("ZR-7.49");
    default: return QString();
    }
}

QStringList ModelLogRecord::headersForType(int type)
{
    switch (type) {
    case 0:
        return {dateHeader, QStringLiteral("Канал №1"), QStringLiteral("Доп.измерение №1"),
                QStringLiteral("Канал №2"), QStringLiteral("Доп.измерение №2")};
    case 1:
        return {dateHeader, QStringLiteral("Канал №1"), QStringLiteral("Доп.измерение №1"),
                QStringLiteral("Канал №2")};
    default:
        return {};
    }
}

void ModelLogRecord::setRecords(QVector<LogRecord> records)
{
    // Taking the vector by value and swapping releases the previous records
    // when `records` goes out of scope; handing over the model's own list is harmless.
    m_records.swap(records);
}

void ModelLogRecord::setContent(quint32 deviceId, int deviceType, QVector<LogRecord> records)
{
    beginResetModel();
    setDeviceId(deviceId);
    setDeviceType(deviceType);
    setRecords(std::move(records));
    m_fileName.clear();
    m_downloadCheck = DownloadRecord::Check::NoRecord;
    m_fileSha256.clear();
    m_downloadRecord = QJsonObject();
    m_filePath.clear();
    endResetModel();
}

void ModelLogRecord::setContent(const LogFileContent& content)
{
    beginResetModel();
    setDeviceId(content.deviceId);
    setDeviceType(content.deviceType);
    setRecords(content.records);
    m_fileName = content.path.isEmpty() ? QString() : QFileInfo(content.path).fileName();
    m_downloadCheck = content.downloadCheck;
    m_fileSha256 = content.sha256;
    m_downloadRecord = content.downloadRecord;
    m_filePath = content.path;
    endResetModel();
}
