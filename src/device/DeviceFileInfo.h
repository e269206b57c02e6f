#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// One log file in the instrument's memory. Times are the instrument's wall
// clock held with the UTC time spec; both are null for a single measurement.
struct DeviceFileInfo
{
    QString nameFile;
    QDateTime startLog;
    QDateTime stopLog;
    qint32 numberOfRecords = 0;
    qint32 size = 0;

    static constexpr int headerSize = 7;
    static constexpr int recordSize = 24;
    // No file is larger than the instrument's memory (1 MiB, whose last
    // sector at 0xFE000 holds the settings).
    static constexpr quint32 memorySize = 0x100000;

    // Decodes the 12-byte answer to the file-info command (S, E, size; all
    // big-endian). An answer of 11 bytes or fewer gives the default record.
    static DeviceFileInfo fromAnswer(const QByteArray& answer);

    // Whether a 12-byte file-info answer can describe a file in the
    // instrument's memory: its size must fit in it.
    static bool answerFits(const QByteArray& answer);

    // Whole records in a file of `size` bytes; a size below the header has none.
    static qint32 recordCount(qint64 size);

    bool operator==(const DeviceFileInfo& other) const;
};
Q_DECLARE_METATYPE(DeviceFileInfo)
Q_DECLARE_METATYPE(QList<DeviceFileInfo>)
