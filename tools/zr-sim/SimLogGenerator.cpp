#include "SimLogGenerator.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {

void appendLE32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

void appendFloat(QByteArray& out, float value)
{
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    appendLE32(out, raw);
}

float floatAt(const QByteArray& bytes, int offset)
{
    const quint32 raw = qFromLittleEndian<quint32>(bytes.constData() + offset);
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

// Small deterministic noise in [-1, 1] so that runs differ but tests can repeat them.
float noise(quint32 seed, int k, int salt)
{
    quint32 x = seed * 2654435761u ^ quint32(k) * 40503u ^ quint32(salt) * 97u;
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    return float(x % 20001u) / 10000.0f - 1.0f;
}

float wave(int k, quint32 seed, float amplitude, float periodSteps)
{
    const float phase = float(seed % 360) * 0.0174533f;
    return amplitude * std::sin(float(k) * 6.2831853f / periodSteps + phase);
}

float round2(float v)
{
    return std::round(v * 100.0f) / 100.0f;
}

} // namespace

QByteArray SimLogGenerator::header(int deviceType, quint32 id)
{
    QByteArray out("id");
    out.append(char(qint8(deviceType)));
    appendLE32(out, id);
    return out;
}

QByteArray SimLogGenerator::record(const SimRecord& r)
{
    QByteArray out;
    out.reserve(recordSize);
    appendLE32(out, r.time);
    out.append(char(r.presence[0]));
    out.append(char(r.presence[1]));
    out.append(char(r.sensor[0]));
    out.append(char(r.sensor[1]));
    appendFloat(out, r.main[0]);
    appendFloat(out, r.main[1]);
    appendFloat(out, r.additional[0]);
    appendFloat(out, r.additional[1]);
    return out;
}

SimRecord SimLogGenerator::decodeRecord(const QByteArray& bytes)
{
    SimRecord r;
    if (bytes.size() < recordSize)
        return r;
    r.time = qFromLittleEndian<quint32>(bytes.constData());
    for (int c = 0; c < 2; ++c) {
        r.presence[c] = quint8(bytes.at(4 + c));
        r.sensor[c] = quint8(bytes.at(6 + c));
        r.main[c] = floatAt(bytes, 8 + 4 * c);
        r.additional[c] = floatAt(bytes, 16 + 4 * c);
    }
    return r;
}

void SimLogGenerator::values(quint8 code, int k, quint32 seed, float* main, float* additional)
{
    const float n1 = noise(seed, k, code);
    const float n2 = noise(seed, k, code + 1000);
    float m = 0;
    float a = 0;
    if (code == 1 || code == 2 || code == 16 || code == 32 || code == 48) {
        m = 21.5f + wave(k, seed, 3.0f, 240) + 0.15f * n1;         // air temperature, °C
        a = m - 6.0f + 0.3f * n2;                                  // dew point, °C
    } else if (code == 67) {
        m = 45.0f + wave(k, seed + 90, 12.0f, 300) + 0.8f * n1;     // relative humidity, %
        a = 22.0f + wave(k, seed, 2.0f, 240) + 0.1f * n2;           // its temperature, °C
    } else if (code == 68) {
        m = 751.0f + wave(k, seed, 6.0f, 900) + 0.2f * n1;          // pressure, mm Hg
        a = 20.0f + 0.2f * n2;
    } else if (code == 69) {
        m = std::max(0.0f, 420.0f + wave(k, seed, 300.0f, 120) + 25.0f * n1);   // light, lx
    } else if (code == 70) {
        m = std::max(0.0f, 1.6f + wave(k, seed, 1.2f, 60) + 0.3f * n1);         // air flow, m/s
    } else if (code == 121) {
        m = 36.0f + wave(k, seed, 15.0f, 400) + 0.1f * n1;          // resistive sensor, °C
        a = 100.0f * (1.0f + 0.00385f * m);                          // Pt100 resistance, Ω
    } else if (code >= 144 && code <= 158) {
        a = 12.0f + wave(k, seed, 7.5f, 200) + 0.05f * n1;          // loop current, mA
        m = (a - 4.0f) / 16.0f * 100.0f;                             // scaled to 0...100
    } else {
        m = 10.0f + n1;
    }
    *main = round2(m);
    *additional = round2(a);
}

QByteArray SimLogGenerator::run(const SimRunSpec& spec, int deviceType, quint32 id)
{
    QByteArray out = header(deviceType, id);
    const int count = qMax(0, spec.records);
    out.reserve(headerSize + count * recordSize);
    const quint32 start = quint32(spec.start.isValid() ? spec.start.toSecsSinceEpoch() : 1700000000);
    const int period = qMax(1, spec.periodSec);
    for (int k = 0; k < count; ++k) {
        SimRecord r;
        r.time = start + quint32(k * period);
        r.presence[0] = spec.presence1;
        r.presence[1] = spec.channel2Present ? spec.presence2 : absentCode;
        r.sensor[0] = spec.sensor1;
        r.sensor[1] = spec.sensor2;
        values(spec.sensor1, k, spec.seed, &r.main[0], &r.additional[0]);
        if (spec.channel2Present)
            values(spec.sensor2, k, spec.seed * 7 + 3, &r.main[1], &r.additional[1]);
        out.append(record(r));
    }
    return out;
}

QByteArray SimLogGenerator::single(quint32 time, quint32 seed, int deviceType, quint32 id,
                                   quint8 sensor1, quint8 sensor2)
{
    SimRecord r;
    r.time = time;
    r.sensor[0] = sensor1;
    r.sensor[1] = sensor2;
    values(sensor1, int(seed), seed, &r.main[0], &r.additional[0]);
    values(sensor2, int(seed), seed * 7 + 3, &r.main[1], &r.additional[1]);
    return header(deviceType, id) + record(r);
}

int SimLogGenerator::recordCount(const QByteArray& file)
{
    return file.size() < headerSize ? 0 : (file.size() - headerSize) / recordSize;
}

quint32 SimLogGenerator::firstTime(const QByteArray& file)
{
    if (recordCount(file) == 0)
        return 0;
    return qFromLittleEndian<quint32>(file.constData() + headerSize);
}

quint32 SimLogGenerator::lastTime(const QByteArray& file)
{
    const int n = recordCount(file);
    if (n == 0)
        return 0;
    return qFromLittleEndian<quint32>(file.constData() + headerSize + (n - 1) * recordSize);
}
