#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

// Parameters of one generated logging run.
struct SimRunSpec
{
    int records = 100;
    QDateTime start;            // instrument wall clock (UTC spec); null = a recent default
    int periodSec = 10;
    bool channel2Present = true;
    quint8 sensor1 = 1;         // sensor code of channel 1
    quint8 sensor2 = 67;        // sensor code of channel 2
    quint32 seed = 1;           // values vary with the seed
    quint8 presence1 = 0;       // presence code of channel 1 (0, 16 or 17 = present)
    quint8 presence2 = 0;       // presence code of channel 2 while present
};

// One measurement of both channels, as the instrument stores it.
struct SimRecord
{
    quint32 time = 0;
    quint8 presence[2] = {0, 0};
    quint8 sensor[2] = {1, 67};
    float main[2] = {0, 0};
    float additional[2] = {0, 0};
};

// Builds log files in the instrument's own layout: a 7-byte header ("id", type,
// little-endian ID) followed by 24-byte little-endian records.
class SimLogGenerator
{
public:
    static constexpr int headerSize = 7;
    static constexpr int recordSize = 24;
    static constexpr quint8 absentCode = 0xFF;   // presence code of a channel without a sensor

    static QByteArray header(int deviceType, quint32 id);
    static QByteArray record(const SimRecord& record);
    static SimRecord decodeRecord(const QByteArray& bytes);   // bytes: at least 24

    // A plausible pair (main value, additional measurement) for a sensor code at
    // step `k` of a run; values drift slowly and vary with the seed.
    static void values(quint8 sensorCode, int k, quint32 seed, float* main, float* additional);

    static QByteArray run(const SimRunSpec& spec, int deviceType, quint32 id);
    static QByteArray single(quint32 time, quint32 seed, int deviceType, quint32 id,
                             quint8 sensor1 = 1, quint8 sensor2 = 67);

    // Times of the first and last record (0 when the file has no whole record).
    static quint32 firstTime(const QByteArray& file);
    static quint32 lastTime(const QByteArray& file);
    static int recordCount(const QByteArray& file);
};
