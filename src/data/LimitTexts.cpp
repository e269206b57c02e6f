#include "data/LimitTexts.h"

#include <QDateTime>

QString LimitTexts::verdict(const LimitEvaluation& evaluation)
{
    return evaluation.isWithin() ? QStringLiteral("в пределах") : QStringLiteral("выход за пределы");
}

QString LimitTexts::valueText(double value, const QString& unit)
{
    return QStringLiteral("%1 %2").arg(QString::number(value, 'f', 2), unit).trimmed();
}

QString LimitTexts::limitsText(const AlarmLimits& limits, const QString& unit)
{
    return QStringLiteral("%1 .. %2 %3")
        .arg(QString::number(limits.lower, 'f', 2), QString::number(limits.upper, 'f', 2), unit)
        .trimmed();
}

QString LimitTexts::durationText(qint64 seconds)
{
    const qint64 days = seconds / 86400;
    const qint64 rest = seconds % 86400;
    const QString clock = QStringLiteral("%1:%2:%3")
                              .arg(rest / 3600, 2, 10, QLatin1Char('0'))
                              .arg(rest % 3600 / 60, 2, 10, QLatin1Char('0'))
                              .arg(rest % 60, 2, 10, QLatin1Char('0'));
    return days > 0 ? QStringLiteral("%1 сут %2").arg(days).arg(clock) : clock;
}

QString LimitTexts::clockText(qint64 clock)
{
    return QDateTime::fromSecsSinceEpoch(clock, Qt::UTC).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

namespace {

QString outsideText(int count, qint64 seconds, qint64 interval)
{
    if (interval <= 0)
        return QStringLiteral("%1 изм. (интервал неизвестен)").arg(count);
    return QStringLiteral("%1 (%2 изм.)").arg(LimitTexts::durationText(seconds)).arg(count);
}

QString momentText(const LimitEvaluation::Moment& moment, const QString& unit)
{
    return QStringLiteral("%1, %2").arg(LimitTexts::clockText(moment.clock), LimitTexts::valueText(moment.value, unit));
}

} // namespace

QVector<QPair<QString, QString>> LimitTexts::rows(const LimitEvaluation& e, const QString& unit)
{
    QVector<QPair<QString, QString>> rows;
    if (e.limits) {
        rows.append({QStringLiteral("Пределы"), limitsText(*e.limits, unit)});
        rows.append({QStringLiteral("Оценка"), verdict(e)});
        rows.append({QStringLiteral("Время выше"), outsideText(e.countAbove, e.secondsAbove(), e.intervalSeconds)});
        rows.append({QStringLiteral("Время ниже"), outsideText(e.countBelow, e.secondsBelow(), e.intervalSeconds)});
        rows.append({QStringLiteral("Выходов выше"), QString::number(e.eventsAbove)});
        rows.append({QStringLiteral("Выходов ниже"), QString::number(e.eventsBelow)});
        rows.append({QStringLiteral("Первый выход"),
                     e.firstOutside.isSet() ? momentText(e.firstOutside, unit) : QStringLiteral("нет")});
    }
    if (e.withoutValue > 0)
        rows.append({QStringLiteral("Нет значения"), QStringLiteral("%1 изм.").arg(e.withoutValue)});
    if (e.maximum.isSet())
        rows.append({QStringLiteral("Время максимума"), clockText(e.maximum.clock)});
    if (e.minimum.isSet())
        rows.append({QStringLiteral("Время минимума"), clockText(e.minimum.clock)});
    if (e.meanKineticTemperature)
        rows.append({QStringLiteral("Средняя кинетическая температура"), valueText(*e.meanKineticTemperature, unit)});
    return rows;
}
