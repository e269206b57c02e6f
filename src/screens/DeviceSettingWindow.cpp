#include "screens/DeviceSettingWindow.h"

#include <QMessageBox>
#include <QVariant>

#include <algorithm>

namespace {

// The limit spin boxes on the page count in tenths.
constexpr float limitScale = 10.0f;

// Names of the alarm limit properties, in the order of the five quantities.
const char* const minNames[5] = {"temperatureAlarmMin", "humidityAlarmMin", "airFlowAlarmMin",
                                 "pressureAlarmMin", "lightAlarmMin"};
const char* const maxNames[5] = {"temperatureAlarmMax", "humidityAlarmMax", "airFlowAlarmMax",
                                 "pressureAlarmMax", "lightAlarmMax"};

// The main window's four pages.
const char* const pageNames[4] = {"SettingsDevice", "DataWindow", "DataBaseMenu", "DeviceMenu"};

const QString powerSaving = QStringLiteral("PowerSavingSetting");
const QString sound = QStringLiteral("SoundSetting");
const QString logPeriod = QStringLiteral("LogPeriodSetting");
const QString rounding = QStringLiteral("RoundingSetting");
const QString graph = QStringLiteral("GraphSetting");
const QString sensor = QStringLiteral("Channel2ZR749Setting");
const QString sensorAlarm = QStringLiteral("AlarmChannel2ZR749");

QString alarmChannelName(int number)
{
    return QStringLiteral("AlarmChannel ") + QString::number(number);
}

QVariant toTenths(float value)
{
    return QVariant(double(value) * double(limitScale));
}

float fromTenths(const QVariant& value)
{
    return value.toFloat() / limitScale;
}

} // namespace

DeviceSettingWindow::DeviceSettingWindow(QObject* root)
    : QmlBridge(root)
{
}

void DeviceSettingWindow::setWarningPresenter(WarningPresenter presenter)
{
    m_presenter = std::move(presenter);
}

QString DeviceSettingWindow::secondModelType()
{
    return QStringLiteral("ZR7.49");
}

bool DeviceSettingWindow::isSecondModel() const
{
    return m_typeDevice == secondModelType();
}

void DeviceSettingWindow::setTypeSetting(QString infoDevice)
{
    // section() gives the whole text when there is no space.
    m_typeDevice = infoDevice.section(QLatin1Char(' '), 0, 0);
    setObjectProperty(QStringLiteral("SettingsDevice"), "typeDevice", m_typeDevice);
}

void DeviceSettingWindow::showSetting(DeviceSettings s)
{
    m_shown = s;
    setObjectProperty(QStringLiteral("SettingsDevice"), "visible", true);

    setObjectProperty(powerSaving, "brightness", int(s.brightness));
    setObjectProperty(powerSaving, "sleepPeriodSec", int(s.sleepPeriodSec));
    setObjectProperty(powerSaving, "shutdownPeriodMin", int(s.shutdownPeriodMin));
    setObjectProperty(powerSaving, "batteryType", int(s.batteryType));

    setObjectProperty(sound, "sound", s.sound);
    setObjectProperty(sound, "soundButton", s.soundButton);

    // An invalid period (a blank settings area) reads as -1 parts; the page's
    // spin boxes bring it to their lower bounds.
    setObjectProperty(logPeriod, "hourPeriod", s.logPeriod.hour());
    setObjectProperty(logPeriod, "minutePeriod", s.logPeriod.minute());
    setObjectProperty(logPeriod, "secondPeriod", s.logPeriod.second());

    setObjectProperty(rounding, "numberOfDecimalPlacesCh1", int(s.numberOfDecimalPlacesCh1));
    setObjectProperty(rounding, "numberOfDecimalPlacesCh2", int(s.numberOfDecimalPlacesCh2));

    setObjectProperty(graph, "lineThicknessValue", int(s.lineThicknessValue));
    setObjectProperty(graph, "updatePeriodValue", int(s.updatePeriodValue));

    showAlarmChannel(1, s.channel[0]);
    showAlarmChannel(2, s.channel[1]);

    if (!isSecondModel())
        return;
    setObjectProperty(sensor, "sensorType", int(s.sensorType));
    setObjectProperty(sensor, "value4mA", toTenths(s.value4mA));
    setObjectProperty(sensor, "value20mA", toTenths(s.value20mA));
    setObjectProperty(sensor, "unit", int(s.unit));
    setObjectProperty(sensor, "valueResistAt0", int(s.valueResistAt0));

    const ChannelAlarm& ch2 = s.channel[1];
    setObjectProperty(sensorAlarm, "alarm", ch2.alarm);
    setObjectProperty(sensorAlarm, "resisterAlarmMin", toTenths(ch2.alarmMin[0]));
    setObjectProperty(sensorAlarm, "resisterAlarmMax", toTenths(ch2.alarmMax[0]));
    setObjectProperty(sensorAlarm, "currentAlarmMin", toTenths(ch2.alarmMin[1]));
    setObjectProperty(sensorAlarm, "currentAlarmMax", toTenths(ch2.alarmMax[1]));
}

void DeviceSettingWindow::showAlarmChannel(int number, const ChannelAlarm& channel)
{
    const QString name = alarmChannelName(number);
    setObjectProperty(name, "alarm", channel.alarm);
    for (int i = 0; i < 5; ++i) {
        setObjectProperty(name, minNames[i], toTenths(channel.alarmMin[i]));
        setObjectProperty(name, maxNames[i], toTenths(channel.alarmMax[i]));
    }
}

ChannelAlarm DeviceSettingWindow::readAlarmChannel(int number) const
{
    const QString name = alarmChannelName(number);
    ChannelAlarm channel;
    channel.alarm = objectProperty(name, QStringLiteral("alarm")).toBool();
    for (int i = 0; i < 5; ++i) {
        channel.alarmMin[i] = fromTenths(objectProperty(name, QLatin1String(minNames[i])));
        channel.alarmMax[i] = fromTenths(objectProperty(name, QLatin1String(maxNames[i])));
    }
    return channel;
}

void DeviceSettingWindow::setSettingDevice()
{
    auto read = [this](const QString& object, const char* property) {
        return objectProperty(object, QLatin1String(property));
    };
    DeviceSettings& s = m_settings;

    s.brightness = quint8(read(powerSaving, "brightness").toInt());
    s.sleepPeriodSec = quint8(read(powerSaving, "sleepPeriodSec").toInt());
    s.shutdownPeriodMin = quint8(read(powerSaving, "shutdownPeriodMin").toInt());
    s.batteryType = read(powerSaving, "batteryType").toInt();

    s.sound = read(sound, "sound").toBool();
    s.soundButton = read(sound, "soundButton").toBool();

    s.logPeriod = QTime(read(logPeriod, "hourPeriod").toInt(), read(logPeriod, "minutePeriod").toInt(),
                        read(logPeriod, "secondPeriod").toInt());

    s.numberOfDecimalPlacesCh1 = quint8(read(rounding, "numberOfDecimalPlacesCh1").toInt());
    s.numberOfDecimalPlacesCh2 = quint8(read(rounding, "numberOfDecimalPlacesCh2").toInt());

    s.lineThicknessValue = quint8(read(graph, "lineThicknessValue").toInt());
    s.updatePeriodValue = quint8(read(graph, "updatePeriodValue").toInt());

    // The second channel's page is read even while it is hidden: on the second
    // model it still carries the air-flow, pressure and light limits.
    s.channel[0] = readAlarmChannel(1);
    s.channel[1] = readAlarmChannel(2);

    if (isSecondModel()) {
        s.sensorType = read(sensor, "sensorType").toInt();
        s.value4mA = fromTenths(read(sensor, "value4mA"));
        s.value20mA = fromTenths(read(sensor, "value20mA"));
        s.unit = read(sensor, "unit").toInt();
        s.valueResistAt0 = read(sensor, "valueResistAt0").toInt();

        ChannelAlarm& ch2 = s.channel[1];
        ch2.alarm = read(sensorAlarm, "alarm").toBool();
        ch2.alarmMin[0] = fromTenths(read(sensorAlarm, "resisterAlarmMin"));
        ch2.alarmMax[0] = fromTenths(read(sensorAlarm, "resisterAlarmMax"));
        ch2.alarmMin[1] = fromTenths(read(sensorAlarm, "currentAlarmMin"));
        ch2.alarmMax[1] = fromTenths(read(sensorAlarm, "currentAlarmMax"));
    } else {
        // Without the sensor page the sensor fields pass through unchanged. An
        // instrument whose info merely contains the second model's name still
        // gets them written, and must not have its sensor set to zeros.
        s.sensorType = m_shown.sensorType;
        s.valueResistAt0 = m_shown.valueResistAt0;
        s.value4mA = m_shown.value4mA;
        s.value20mA = m_shown.value20mA;
        s.unit = m_shown.unit;
    }

    emit settingsDeviceChanged(m_settings);
}

void DeviceSettingWindow::showErrorSettingDevice(QString err)
{
    // The settings button hides every page until the settings arrive; when
    // reading them fails nothing ever will, so the user is taken back to the
    // device page instead of being left with an empty window.
    const bool pageShown = std::any_of(std::begin(pageNames), std::end(pageNames), [this](const char* name) {
        return objectProperty(QLatin1String(name), QStringLiteral("visible")).toBool();
    });
    if (!pageShown)
        setObjectProperty(QStringLiteral("DeviceMenu"), "visible", true);

    if (m_presenter) {
        m_presenter(err);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QString(), err, QMessageBox::Ok);
    box.exec();
}
