#include "cli/SettingsKeys.h"

#include "cli/CliFailure.h"
#include "cli/CliOutput.h"

#include <QVector>

#include <cmath>
#include <functional>

namespace {

enum class Kind { Integer, Switch, Tenths, Period };

struct Key
{
    QString name;
    Kind kind;
    double min;
    double max;
    bool secondModel;
    std::function<double(const DeviceSettings&)> get;
    std::function<void(DeviceSettings&, double)> set;
};

template <typename T>
Key integer(const char* name, T DeviceSettings::*field, int min, int max, bool secondModel = false)
{
    return {QLatin1String(name), Kind::Integer, double(min), double(max), secondModel,
            [field](const DeviceSettings& s) { return double(s.*field); },
            [field](DeviceSettings& s, double v) { s.*field = T(v); }};
}

Key onOff(const char* name, bool DeviceSettings::*field)
{
    return {QLatin1String(name), Kind::Switch, 0, 1, false, [field](const DeviceSettings& s) { return s.*field ? 1.0 : 0.0; },
            [field](DeviceSettings& s, double v) { s.*field = v != 0; }};
}

// The ZR-7.49 current sensor's values, typed in tenths like the limits.
Key sensorValue(const char* name, float DeviceSettings::*field, double min, double max)
{
    return {QLatin1String(name), Kind::Tenths, min, max, true, [field](const DeviceSettings& s) { return double(s.*field); },
            [field](DeviceSettings& s, double v) { s.*field = float(v); }};
}

struct Quantity
{
    const char* name;
    double min;
    double max;
};
// In the order of the settings block; the ranges of the limit spin boxes.
// On the ZR-7.49 channel 2's temperature and humidity limits belong to its
// resistive and current sensors, whose ranges are the same.
constexpr Quantity kQuantities[] = {{"temperature", -197.7, 2500.0}, {"humidity", 0.0, 100.0}, {"airFlow", 0.0, 100.0},
                                    {"pressure", 225.0, 812.0},      {"light", 0.0, 99999.9}};

QVector<Key> channelKeys(int channel)
{
    const QString number = QString::number(channel + 1);
    QVector<Key> keys;
    keys.append({QStringLiteral("alarm") + number, Kind::Switch, 0, 1, false,
                 [channel](const DeviceSettings& s) { return s.channel[channel].alarm ? 1.0 : 0.0; },
                 [channel](DeviceSettings& s, double v) { s.channel[channel].alarm = v != 0; }});
    for (int q = 0; q < 5; ++q) {
        const QString stem = QLatin1String(kQuantities[q].name);
        keys.append({stem + QStringLiteral("AlarmMin") + number, Kind::Tenths, kQuantities[q].min, kQuantities[q].max, false,
                     [channel, q](const DeviceSettings& s) { return double(s.channel[channel].alarmMin[q]); },
                     [channel, q](DeviceSettings& s, double v) { s.channel[channel].alarmMin[q] = float(v); }});
        keys.append({stem + QStringLiteral("AlarmMax") + number, Kind::Tenths, kQuantities[q].min, kQuantities[q].max, false,
                     [channel, q](const DeviceSettings& s) { return double(s.channel[channel].alarmMax[q]); },
                     [channel, q](DeviceSettings& s, double v) { s.channel[channel].alarmMax[q] = float(v); }});
    }
    return keys;
}

const QVector<Key>& allKeys()
{
    static const QVector<Key> keys = [] {
        QVector<Key> k{
            integer("brightness", &DeviceSettings::brightness, 5, 100),
            integer("sleepPeriodSec", &DeviceSettings::sleepPeriodSec, 0, 200),
            integer("shutdownPeriodMin", &DeviceSettings::shutdownPeriodMin, 0, 60),
            integer("batteryType", &DeviceSettings::batteryType, 0, 1),
            onOff("sound", &DeviceSettings::sound),
            onOff("soundButton", &DeviceSettings::soundButton),
            {QStringLiteral("logPeriod"), Kind::Period, 1, 86399, false, nullptr, nullptr},
            integer("numberOfDecimalPlacesCh1", &DeviceSettings::numberOfDecimalPlacesCh1, 0, 2),
            integer("numberOfDecimalPlacesCh2", &DeviceSettings::numberOfDecimalPlacesCh2, 0, 2),
            integer("lineThicknessValue", &DeviceSettings::lineThicknessValue, 2, 5),
            integer("updatePeriodValue", &DeviceSettings::updatePeriodValue, 1, 60),
        };
        k += channelKeys(0);
        k += channelKeys(1);
        k += {
            integer("sensorType", &DeviceSettings::sensorType, 0, 5, true),
            integer("valueResistAt0", &DeviceSettings::valueResistAt0, 0, 1, true),
            sensorValue("value4mA", &DeviceSettings::value4mA, -9999.9, 99999.9),
            sensorValue("value20mA", &DeviceSettings::value20mA, -9999.9, 99999.9),
            integer("unit", &DeviceSettings::unit, 0, 14, true),
        };
        return k;
    }();
    return keys;
}

const Key* findKey(const QString& name)
{
    for (const Key& key : allKeys())
        if (key.name == name)
            return &key;
    return nullptr;
}

QString floatText(double value)
{
    return CliOutput::floatText(float(value));
}

QTime parsePeriod(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return QTime();
    int values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return QTime();
    }
    return QTime(values[0], values[1], values[2]);
}

bool parseSwitch(const QString& text, double* value)
{
    static const QStringList on = {QStringLiteral("1"), QStringLiteral("on"), QStringLiteral("true"), QStringLiteral("вкл")};
    static const QStringList off = {QStringLiteral("0"), QStringLiteral("off"), QStringLiteral("false"), QStringLiteral("выкл")};
    const QString word = text.trimmed().toLower();
    *value = on.contains(word) ? 1 : 0;
    return on.contains(word) || off.contains(word);
}

QString rangeText(const Key& key)
{
    return key.kind == Kind::Integer ? QStringLiteral("%1…%2").arg(key.min).arg(key.max)
                                     : QStringLiteral("%1…%2").arg(floatText(key.min), floatText(key.max));
}

} // namespace

QStringList SettingsKeys::names(bool secondModel)
{
    QStringList names;
    for (const Key& key : allKeys())
        if (!key.secondModel || secondModel)
            names << key.name;
    return names;
}

bool SettingsKeys::exists(const QString& key, bool secondModel)
{
    const Key* found = findKey(key);
    return found && (!found->secondModel || secondModel);
}

QString SettingsKeys::text(const DeviceSettings& settings, const QString& name)
{
    const Key* key = findKey(name);
    if (!key)
        return QString();
    switch (key->kind) {
    case Kind::Period:
        return settings.logPeriod.isValid() ? settings.logPeriod.toString(QStringLiteral("hh:mm:ss")) : QString();
    case Kind::Tenths:
        return floatText(key->get(settings));
    default:
        return QString::number(qint64(key->get(settings)));
    }
}

QJsonValue SettingsKeys::json(const DeviceSettings& settings, const QString& name)
{
    const Key* key = findKey(name);
    if (!key)
        return QJsonValue();
    switch (key->kind) {
    case Kind::Period:
        return text(settings, name);
    case Kind::Switch:
        return key->get(settings) != 0;
    case Kind::Tenths:
        return CliOutput::floatNumber(float(key->get(settings)));
    default:
        return key->get(settings);
    }
}

QString SettingsKeys::apply(DeviceSettings& settings, const QString& assignment, bool secondModel)
{
    const int equals = assignment.indexOf(QLatin1Char('='));
    if (equals <= 0)
        throw CliFailure::usage(QStringLiteral("Ожидается КЛЮЧ=ЗНАЧЕНИЕ, получено «%1»").arg(assignment));
    const QString name = assignment.left(equals).trimmed();
    const QString value = assignment.mid(equals + 1).trimmed();
    const Key* key = findKey(name);
    if (!key || (key->secondModel && !secondModel))
        throw CliFailure::usage(QStringLiteral("Неизвестная настройка «%1»").arg(name));
    const QString invalid = QStringLiteral("Недопустимое значение %1=%2").arg(name, value);

    if (key->kind == Kind::Period) {
        const QTime period = parsePeriod(value);
        if (!period.isValid() || period.msecsSinceStartOfDay() == 0)
            throw CliFailure::usage(invalid + QStringLiteral(" (от 0:00:01 до 23:59:59)"));
        settings.logPeriod = period;
        return name;
    }
    double number = 0;
    bool ok = false;
    if (key->kind == Kind::Switch) {
        ok = parseSwitch(value, &number);
    } else {
        // Typed as on the screen: a decimal comma or point; limits in tenths.
        number = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        ok = ok && std::isfinite(number);
        if (ok && key->kind == Kind::Integer)
            ok = number == std::floor(number);
        if (ok && key->kind == Kind::Tenths)
            number = double(std::llround(number * 10)) / 10;
        ok = ok && number >= key->min - 1e-9 && number <= key->max + 1e-9;
    }
    if (!ok)
        throw CliFailure::usage(invalid + QStringLiteral(" (%1)").arg(key->kind == Kind::Switch ? QStringLiteral("1 или 0")
                                                                                                 : rangeText(*key)));
    key->set(settings, number);
    return name;
}

void SettingsKeys::checkLimits(const DeviceSettings& settings, const QStringList& keys)
{
    for (const Key& key : allKeys()) {
        if (!key.name.contains(QLatin1String("AlarmMin")))
            continue;
        const QString upper = QString(key.name).replace(QLatin1String("AlarmMin"), QLatin1String("AlarmMax"));
        if (!keys.contains(key.name) && !keys.contains(upper))
            continue;
        const double low = key.get(settings);
        const double high = findKey(upper)->get(settings);
        if (std::llround(low * 10) >= std::llround(high * 10))
            throw CliFailure::usage(QStringLiteral("Нижний предел %1=%2 должен быть меньше верхнего %3=%4")
                                        .arg(key.name, floatText(low), upper, floatText(high)));
    }
}
