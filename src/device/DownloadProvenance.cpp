#include "device/DownloadProvenance.h"

#include "device/DeviceSettings.h"
#include "device/ZR74XManager.h"

#include <QJsonArray>
#include <QTimeZone>

#include <charconv>
#include <cstdlib>

namespace DownloadProvenance {

namespace {

QJsonObject limit(const ChannelAlarm& channel, int quantity)
{
    return QJsonObject{{QStringLiteral("lower"), shortest(channel.alarmMin[quantity])},
                       {QStringLiteral("upper"), shortest(channel.alarmMax[quantity])}};
}

QJsonObject channelJson(const ChannelAlarm& channel, int number)
{
    // The order of the quantities in the block.
    static const char* const names[] = {"temperature", "humidity", "airFlow", "pressure", "light"};
    QJsonObject limits;
    for (int quantity = 0; quantity < 5; ++quantity)
        limits.insert(QLatin1String(names[quantity]), limit(channel, quantity));
    return QJsonObject{{QStringLiteral("number"), number},
                       {QStringLiteral("alarm"), channel.alarm},
                       {QStringLiteral("limits"), limits}};
}

int blankAt(const QString& deviceInfo)
{
    return deviceInfo.indexOf(QLatin1Char(' '));
}

} // namespace

double shortest(float value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text - 1, value);
    *written.ptr = '\0';
    return std::strtod(text, nullptr);
}

DownloadSession readSession(ZR74XManager& device, const QString& port, const QString& knownInfo)
{
    DownloadSession session;
    session.port = port;
    session.deviceInfo = knownInfo.isEmpty() ? device.getDeviceInfo() : knownInfo;
    session.settingsArea = device.readSettingsArea();
    return session;
}

QJsonObject settingsJson(const QByteArray& area, const QString& deviceInfo)
{
    if (area.size() < SettingsArea::size)
        return QJsonObject();
    const DeviceSettings settings = decodeSettings(area, deviceInfo);
    const QTime period = settings.logPeriod;
    QJsonObject json{
        {QStringLiteral("logPeriodSeconds"), period.isValid() ? QJsonValue(QTime(0, 0).secsTo(period))
                                                              : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("channels"),
         QJsonArray{channelJson(settings.channel[0], 1), channelJson(settings.channel[1], 2)}},
    };
    if (isSecondModel(deviceInfo)) {
        json.insert(QStringLiteral("secondModel"),
                    QJsonObject{{QStringLiteral("sensorType"), settings.sensorType},
                                {QStringLiteral("valueResistAt0"), settings.valueResistAt0},
                                {QStringLiteral("value20mA"), shortest(settings.value20mA)},
                                {QStringLiteral("value4mA"), shortest(settings.value4mA)},
                                {QStringLiteral("unit"), settings.unit}});
    }
    return json;
}

DownloadRecord::Source source(const DownloadSession& session, quint32 id, const DeviceFileInfo& info, int group,
                              int index, const QDateTime& clock, const QDateTime& now)
{
    DownloadRecord::Source source;
    source.typeWord = typeWord(session.deviceInfo);
    source.firmware = firmware(session.deviceInfo);
    source.id = id;
    source.port = session.port;
    source.downloadedUtc = now.toUTC();
    source.timeZone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    source.instrumentClock = clock;
    if (clock.isValid())
        source.differenceSeconds = DownloadRecord::clockDifference(clock, now.toLocalTime());
    source.fileName = info.nameFile;
    source.group = group;
    source.index = index;
    source.start = info.startLog;
    source.stop = info.stopLog;
    source.sizeBytes = info.size;
    source.records = info.numberOfRecords;
    source.settingsBytes = session.settingsArea;
    source.settings = settingsJson(session.settingsArea, session.deviceInfo);
    return source;
}

QString typeWord(const QString& deviceInfo)
{
    const int blank = blankAt(deviceInfo);
    return blank < 0 ? deviceInfo : deviceInfo.left(blank);
}

QString firmware(const QString& deviceInfo)
{
    const int blank = blankAt(deviceInfo);
    return blank < 0 ? QString() : deviceInfo.mid(blank + 1).trimmed();
}

} // namespace DownloadProvenance
