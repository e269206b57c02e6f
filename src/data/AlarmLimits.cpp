#include "data/AlarmLimits.h"

#include "data/UnitTable.h"

#include <QJsonArray>

#include <cmath>

namespace {

// Index of the ZR-7.49 channel 2 sensor type that is the 4..20 mA current input.
constexpr int currentSensorType = 5;

QJsonObject channelObject(const QJsonObject& settings, int number)
{
    const QJsonArray channels = settings.value(QStringLiteral("channels")).toArray();
    for (const QJsonValue& channel : channels) {
        const QJsonObject object = channel.toObject();
        if (object.value(QStringLiteral("number")).toInt() == number)
            return object;
    }
    return {};
}

// The quantity a ZR-7.49's channel 2 main value is limited by: the current
// sensor's pair when the current input was chosen (whatever unit it reads
// in), the resistive sensor's for a temperature in °C.
QString secondModelChannel2Quantity(const QJsonObject& settings, const QString& unitText)
{
    const QJsonValue sensor = settings.value(QStringLiteral("secondModel")).toObject().value(QStringLiteral("sensorType"));
    const bool current = sensor.isDouble() ? sensor.toInt() == currentSensorType
                                           : unitText != UnitTable::text(0);
    if (current)
        return unitText.isEmpty() ? QString() : QStringLiteral("humidity");
    return unitText == UnitTable::text(0) ? QStringLiteral("temperature") : QString();
}

} // namespace

bool AlarmLimits::isRange() const
{
    return std::isfinite(lower) && std::isfinite(upper) && lower < upper;
}

QString AlarmLimitRules::quantityOfUnit(const QString& unitText)
{
    if (unitText == UnitTable::text(0))
        return QStringLiteral("temperature");
    if (unitText == UnitTable::text(1))
        return QStringLiteral("humidity");
    if (unitText == UnitTable::text(2))
        return QStringLiteral("airFlow");
    if (unitText == UnitTable::text(4))
        return QStringLiteral("pressure");
    if (unitText == UnitTable::text(3))
        return QStringLiteral("light");
    return QString();
}

std::optional<AlarmLimits> AlarmLimitRules::fromSettings(const QJsonObject& settings, int column,
                                                         const QString& unitText, bool secondModel)
{
    if (column < 1 || column > 4)
        return std::nullopt;
    const int channelNumber = column <= 2 ? 1 : 2;
    const QJsonObject channel = channelObject(settings, channelNumber);
    if (!channel.value(QStringLiteral("alarm")).toBool())
        return std::nullopt;
    const QString quantity = secondModel && column == 3 ? secondModelChannel2Quantity(settings, unitText)
                                                        : quantityOfUnit(unitText);
    if (quantity.isEmpty())
        return std::nullopt;
    const QJsonObject pair = channel.value(QStringLiteral("limits")).toObject().value(quantity).toObject();
    const QJsonValue lower = pair.value(QStringLiteral("lower"));
    const QJsonValue upper = pair.value(QStringLiteral("upper"));
    if (!lower.isDouble() || !upper.isDouble())
        return std::nullopt;
    // The instrument stores floats; a limit of 0.1 is compared as the float the
    // instrument holds, as it would be on the instrument's own display.
    const AlarmLimits limits{double(float(lower.toDouble())), double(float(upper.toDouble()))};
    if (!limits.isRange())
        return std::nullopt;
    return limits;
}

qint64 AlarmLimitRules::logPeriodSeconds(const QJsonObject& settings)
{
    const double period = settings.value(QStringLiteral("logPeriodSeconds")).toDouble(0.0);
    return std::isfinite(period) && period > 0 ? qint64(period) : 0;
}

std::optional<double> AlarmLimitRules::parseNumber(const QString& text)
{
    QString normalized = text.trimmed();
    normalized.replace(QLatin1Char(','), QLatin1Char('.'));
    // The minus sign a Russian keyboard layout or a copied text may bring.
    normalized.replace(QChar(0x2212), QLatin1Char('-'));
    if (normalized.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = normalized.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<AlarmLimits> AlarmLimitRules::fromFields(const QString& lowerText, const QString& upperText, QString* why)
{
    const std::optional<double> lower = parseNumber(lowerText);
    const std::optional<double> upper = parseNumber(upperText);
    QString reason;
    if (!lower)
        reason = QStringLiteral("Нижний предел «%1» не является числом").arg(lowerText.trimmed());
    else if (!upper)
        reason = QStringLiteral("Верхний предел «%1» не является числом").arg(upperText.trimmed());
    else if (!(*lower < *upper))
        reason = QStringLiteral("Нижний предел %1 должен быть меньше верхнего %2")
                     .arg(lowerText.trimmed(), upperText.trimmed());
    if (!reason.isEmpty()) {
        if (why)
            *why = reason;
        return std::nullopt;
    }
    return AlarmLimits{*lower, *upper};
}

std::optional<AlarmLimits> AlarmLimitRules::parseRange(const QString& text, QString* why)
{
    const int dots = text.indexOf(QStringLiteral(".."));
    if (dots < 0) {
        if (why)
            *why = QStringLiteral("Пределы «%1» не являются диапазоном: ожидается НИЖНИЙ..ВЕРХНИЙ, например 2..8")
                       .arg(text);
        return std::nullopt;
    }
    return fromFields(text.left(dots), text.mid(dots + 2), why);
}
