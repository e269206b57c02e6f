#include "device/RecordSequence.h"

#include <QtEndian>

RecordSequence::RecordSequence(const DeviceFileInfo& info)
    : m_bounded(info.startLog.isValid() && info.stopLog.isValid())
    , m_first(m_bounded ? quint32(info.startLog.toSecsSinceEpoch()) : 0)
    , m_last(m_bounded ? quint32(info.stopLog.toSecsSinceEpoch()) : 0)
{
}

quint32 RecordSequence::timeOf(const QByteArray& record)
{
    if (record.size() < 4)
        return 0;
    return qFromLittleEndian<quint32>(record.constData());
}

bool RecordSequence::inOrder(quint32 time) const
{
    if (m_bounded && (time < m_first || time > m_last))
        return false;
    return qint64(time) > m_previous;
}

bool RecordSequence::fits(const QByteArray& record)
{
    if (record.size() == DeviceFileInfo::recordSize && inOrder(timeOf(record)))
        return true;
    if (!m_refused.isNull() && record == m_refused)
        return true;
    m_refused = record;
    return false;
}

void RecordSequence::take(const QByteArray& record)
{
    m_previous = timeOf(record);
    m_refused = QByteArray();
}
