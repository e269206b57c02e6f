#pragma once
// Builds .LOG file bytes the way the instrument lays them out, for tests and
// benchmarks that need files with particular contents.

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace logbytes {

struct Channel
{
    quint8 presence = 0;   // 0, 0x10, 0x11: present
    quint8 sensor = 1;
    float value = 0.0f;
    float extra = 0.0f;
};

inline QByteArray header(qint8 type, quint32 id)
{
    QByteArray bytes("id", 2);
    bytes.append(char(type));
    char le[4];
    qToLittleEndian<quint32>(id, le);
    bytes.append(le, 4);
    return bytes;
}

inline QByteArray record(quint32 time, const Channel& ch1, const Channel& ch2)
{
    QByteArray bytes(24, '\0');
    char* p = bytes.data();
    qToLittleEndian<quint32>(time, p);
    p[4] = char(ch1.presence);
    p[5] = char(ch2.presence);
    p[6] = char(ch1.sensor);
    p[7] = char(ch2.sensor);
    auto putFloat = [](char* at, float v) {
        quint32 bits;
        std::memcpy(&bits, &v, sizeof bits);
        qToLittleEndian<quint32>(bits, at);
    };
    putFloat(p + 8, ch1.value);
    putFloat(p + 12, ch2.value);
    putFloat(p + 16, ch1.extra);
    putFloat(p + 20, ch2.extra);
    return bytes;
}

inline Channel present(float value, float extra = 0.0f, quint8 sensor = 1)
{
    return Channel{0, sensor, value, extra};
}

inline Channel absent()
{
    return Channel{5, 1, 0.0f, 0.0f};
}

} // namespace logbytes
