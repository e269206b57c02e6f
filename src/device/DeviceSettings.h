#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QTime>

// Alarm limits of one channel; the five quantities are always in the order
// temperature, humidity, air flow, pressure, light.
struct ChannelAlarm
{
    float alarmMax[5] = {0, 0, 0, 0, 0};
    float alarmMin[5] = {0, 0, 0, 0, 0};
    bool alarm = false;

    bool operator==(const ChannelAlarm& other) const;
    bool operator!=(const ChannelAlarm& other) const { return !(*this == other); }
};

// The instrument's settings record. A record decoded from a short read keeps
// these defaults (zeros and an invalid logPeriod) and can be written back as is.
struct DeviceSettings
{
    quint8 brightness = 0;
    quint8 sleepPeriodSec = 0;
    quint8 shutdownPeriodMin = 0;
    QTime logPeriod;
    qint32 batteryType = 0;
    quint8 updatePeriodValue = 0;
    bool sound = false;
    bool soundButton = false;
    ChannelAlarm channel[2];
    quint8 lineThicknessValue = 0;
    quint8 numberOfDecimalPlacesCh1 = 0;
    quint8 numberOfDecimalPlacesCh2 = 0;
    // Second model (ZR-7.49) only.
    qint32 sensorType = 0;
    qint32 valueResistAt0 = 0;
    float value20mA = 0;
    float value4mA = 0;
    qint32 unit = 0;

    bool operator==(const DeviceSettings& other) const;
    bool operator!=(const DeviceSettings& other) const { return !(*this == other); }
};
Q_DECLARE_METATYPE(DeviceSettings)

// The settings area of the instrument's memory.
namespace SettingsArea {
constexpr quint32 address = 0xFE000;
constexpr int size = 128;
constexpr int pieceSize = 32;
constexpr int firstModelLength = 98;
constexpr int secondModelLength = 109;
} // namespace SettingsArea

// The second model is recognised by this text anywhere in its device info.
bool isSecondModel(const QString& deviceInfo);

// Encodes the settings block (98 bytes, or 109 for the second model): single
// bytes, little-endian floats, and a little-endian 32-bit sum of all bytes before it.
QByteArray encodeSettings(const DeviceSettings& settings, const QString& deviceInfo);

// Decodes a 128-byte settings area; fewer bytes leave the record at its defaults.
// The checksum is not verified.
DeviceSettings decodeSettings(const QByteArray& bytes, const QString& deviceInfo);
