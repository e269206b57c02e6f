#include "device/SettingsJournal.h"

#include "device/DownloadProvenance.h"

#include <QJsonObject>
#include <QList>
#include <QPair>


namespace SettingsJournal {

namespace {

using Fields = QList<QPair<QString, QJsonValue>>;

using DownloadProvenance::shortest;

Fields fieldsOf(const DeviceSettings& s, const QString& deviceInfo)
{
    Fields fields{
        {"brightness", int(s.brightness)},
        {"sleepPeriodSec", int(s.sleepPeriodSec)},
        {"shutdownPeriodMin", int(s.shutdownPeriodMin)},
        {"logPeriod", s.logPeriod.isValid() ? QJsonValue(s.logPeriod.toString(QStringLiteral("HH:mm:ss")))
                                            : QJsonValue(QJsonValue::Null)},
        {"batteryType", s.batteryType},
        {"updatePeriodValue", int(s.updatePeriodValue)},
        {"sound", s.sound},
        {"soundButton", s.soundButton},
    };
    static const char* const quantities[] = {"temperature", "humidity", "airFlow", "pressure", "light"};
    for (int c = 0; c < 2; ++c) {
        const QString channel = QStringLiteral("channel%1.").arg(c + 1);
        fields.append({channel + QStringLiteral("alarm"), s.channel[c].alarm});
        for (int q = 0; q < 5; ++q) {
            const QString name = channel + QLatin1String(quantities[q]);
            fields.append({name + QStringLiteral(".lower"), shortest(s.channel[c].alarmMin[q])});
            fields.append({name + QStringLiteral(".upper"), shortest(s.channel[c].alarmMax[q])});
        }
    }
    fields.append({"lineThicknessValue", int(s.lineThicknessValue)});
    fields.append({"numberOfDecimalPlacesCh1", int(s.numberOfDecimalPlacesCh1)});
    fields.append({"numberOfDecimalPlacesCh2", int(s.numberOfDecimalPlacesCh2)});
    if (isSecondModel(deviceInfo)) {
        fields.append({"sensorType", s.sensorType});
        fields.append({"valueResistAt0", s.valueResistAt0});
        fields.append({"value20mA", shortest(s.value20mA)});
        fields.append({"value4mA", shortest(s.value4mA)});
        fields.append({"unit", s.unit});
    }
    return fields;
}

} // namespace

QJsonArray changes(const std::optional<DeviceSettings>& before, const DeviceSettings& after, const QString& deviceInfo)
{
    const Fields now = fieldsOf(after, deviceInfo);
    const Fields old = before ? fieldsOf(*before, deviceInfo) : Fields();
    QJsonArray list;
    for (int i = 0; i < now.size(); ++i) {
        const QJsonValue oldValue = before ? old[i].second : QJsonValue();
        if (!before || oldValue != now[i].second)
            list.append(QJsonObject{{QStringLiteral("field"), now[i].first},
                                    {QStringLiteral("old"), oldValue},
                                    {QStringLiteral("new"), now[i].second}});
    }
    return list;
}

} // namespace SettingsJournal
