#include "device/DeviceFileInfo.h"

#include <QtEndian>
#include <limits>

qint32 DeviceFileInfo::recordCount(qint64 size)
{
    if (size < headerSize)
        return 0;
    const qint64 count = (size - headerSize) / recordSize;
    return qint32(qMin<qint64>(count, std::numeric_limits<qint32>::max()));
}

bool DeviceFileInfo::answerFits(const QByteArray& answer)
{
    if (answer.size() < 12)
        return false;
    return qFromBigEndian<quint32>(answer.constData() + 8) <= memorySize;
}

DeviceFileInfo DeviceFileInfo::fromAnswer(const QByteArray& answer)
{
    DeviceFileInfo info;
    if (answer.size() <= 11)
        return info;
    const auto* p = reinterpret_cast<const uchar*>(answer.constData());
    const quint32 start = qFromBigEndian<quint32>(p);
    const quint32 end = qFromBigEndian<quint32>(p + 4);
    const quint32 size = qFromBigEndian<quint32>(p + 8);
    if (start != 0) {
        info.nameFile = QString::number(start, 16).toUpper() + QStringLiteral(".LOG");
        info.startLog = QDateTime::fromSecsSinceEpoch(start, Qt::UTC);
        info.stopLog = QDateTime::fromSecsSinceEpoch(end, Qt::UTC);
    } else {
        info.nameFile = QStringLiteral("SINGLE%1.LOG").arg(qint64(end) - 1, 2, 10, QLatin1Char('0'));
    }
    info.size = qint32(size);
    info.numberOfRecords = recordCount(size);
    return info;
}

bool DeviceFileInfo::operator==(const DeviceFileInfo& o) const
{
    return nameFile == o.nameFile && startLog == o.startLog && stopLog == o.stopLog
        && numberOfRecords == o.numberOfRecords && size == o.size;
}
