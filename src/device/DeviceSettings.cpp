#include "device/DeviceSettings.h"

#include <QtEndian>
#include <cstring>

namespace {

void appendFloatLE(QByteArray& out, float value)
{
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    char bytes[4];
    qToLittleEndian<quint32>(raw, bytes);
    out.append(bytes, 4);
}

float readFloatLE(const QByteArray& bytes, int offset)
{
    const quint32 raw = qFromLittleEndian<quint32>(bytes.constData() + offset);
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

quint8 byteAt(const QByteArray& bytes, int offset)
{
    return quint8(bytes.at(offset));
}

void appendChannel(QByteArray& out, const ChannelAlarm& channel)
{
    for (float v : channel.alarmMax)
        appendFloatLE(out, v);
    for (float v : channel.alarmMin)
        appendFloatLE(out, v);
    out.append(char(channel.alarm ? 1 : 0));
}

// A channel occupies 41 bytes: 5 upper limits, 5 lower limits, the switch.
ChannelAlarm readChannel(const QByteArray& bytes, int offset)
{
    ChannelAlarm channel;
    for (int i = 0; i < 5; ++i) {
        channel.alarmMax[i] = readFloatLE(bytes, offset + 4 * i);
        channel.alarmMin[i] = readFloatLE(bytes, offset + 20 + 4 * i);
    }
    channel.alarm = (byteAt(bytes, offset + 40) & 0x01) != 0;
    return channel;
}

// Floats compare as the bytes the instrument holds: a blank memory reads as
// NaN, and a record read twice from it is still the same record.
bool sameFloats(const float* a, const float* b, int count = 5)
{
    return std::memcmp(a, b, size_t(count) * sizeof(float)) == 0;
}

} // namespace

bool ChannelAlarm::operator==(const ChannelAlarm& other) const
{
    return sameFloats(alarmMax, other.alarmMax) && sameFloats(alarmMin, other.alarmMin)
        && alarm == other.alarm;
}

bool DeviceSettings::operator==(const DeviceSettings& o) const
{
    return brightness == o.brightness && sleepPeriodSec == o.sleepPeriodSec
        && shutdownPeriodMin == o.shutdownPeriodMin && logPeriod == o.logPeriod
        && batteryType == o.batteryType && updatePeriodValue == o.updatePeriodValue
        && sound == o.sound && soundButton == o.soundButton && channel[0] == o.channel[0]
        && channel[1] == o.channel[1] && lineThicknessValue == o.lineThicknessValue
        && numberOfDecimalPlacesCh1 == o.numberOfDecimalPlacesCh1
        && numberOfDecimalPlacesCh2 == o.numberOfDecimalPlacesCh2 && sensorType == o.sensorType
        && valueResistAt0 == o.valueResistAt0 && sameFloats(&value20mA, &o.value20mA, 1)
        && sameFloats(&value4mA, &o.value4mA, 1) && unit == o.unit;
}

bool isSecondModel(const QString& deviceInfo)
{
    return deviceInfo.contains(QLatin1String("ZR7.49"));
}

QByteArray encodeSettings(const DeviceSettings& s, const QString& deviceInfo)
{
    QByteArray out;
    out.reserve(SettingsArea::secondModelLength);
    out.append(char(s.brightness));
    out.append(char(s.sleepPeriodSec));
    out.append(char(s.shutdownPeriodMin));
    out.append(char(s.logPeriod.hour()));
    out.append(char(s.logPeriod.minute()));
    out.append(char(s.logPeriod.second()));
    out.append(char(s.lineThicknessValue));
    out.append(char(s.batteryType & 0xFF));
    out.append(char(s.updatePeriodValue));
    out.append(char((s.sound ? 0x01 : 0) | (s.soundButton ? 0x02 : 0)));
    appendChannel(out, s.channel[0]);
    appendChannel(out, s.channel[1]);
    out.append(char(s.numberOfDecimalPlacesCh1));
    out.append(char(s.numberOfDecimalPlacesCh2));
    if (isSecondModel(deviceInfo)) {
        out.append(char(s.sensorType & 0xFF));
        out.append(char(s.valueResistAt0 & 0xFF));
        appendFloatLE(out, s.value20mA);
        appendFloatLE(out, s.value4mA);
        out.append(char(s.unit & 0xFF));
    }
    quint32 sum = 0;
    for (char c : out)
        sum += quint8(c);
    char bytes[4];
    qToLittleEndian<quint32>(sum, bytes);
    out.append(bytes, 4);
    return out;
}

DeviceSettings decodeSettings(const QByteArray& b, const QString& deviceInfo)
{
    DeviceSettings s;
    if (b.size() < SettingsArea::size)
        return s;
    s.brightness = byteAt(b, 0);
    s.sleepPeriodSec = byteAt(b, 1);
    s.shutdownPeriodMin = byteAt(b, 2);
    // An out-of-range period (a blank memory holds 0xFF) gives an invalid QTime.
    s.logPeriod = QTime(byteAt(b, 3), byteAt(b, 4), byteAt(b, 5));
    s.lineThicknessValue = byteAt(b, 6);
    s.batteryType = byteAt(b, 7);
    s.updatePeriodValue = byteAt(b, 8);
    s.sound = (byteAt(b, 9) & 0x01) != 0;
    s.soundButton = (byteAt(b, 9) & 0x02) != 0;
    s.channel[0] = readChannel(b, 10);
    s.channel[1] = readChannel(b, 51);
    s.numberOfDecimalPlacesCh1 = byteAt(b, 92);
    s.numberOfDecimalPlacesCh2 = byteAt(b, 93);
    if (isSecondModel(deviceInfo)) {
        s.sensorType = byteAt(b, 94);
        s.valueResistAt0 = byteAt(b, 95);
        s.value20mA = readFloatLE(b, 96);
        s.value4mA = readFloatLE(b, 100);
        s.unit = byteAt(b, 104);
    }
    return s;
}
