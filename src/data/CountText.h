#pragma once

#include <QString>

// "1 значение", "3 значения", "5 значений": a count with its noun in the
// form Russian grammar asks for that number.
inline QString countText(long long count, const QString& one, const QString& few, const QString& many)
{
    const long long tens = (count < 0 ? -count : count) % 100;
    const long long units = tens % 10;
    const QString& noun = (tens >= 11 && tens <= 14) ? many : units == 1 ? one : (units >= 2 && units <= 4) ? few : many;
    return QString::number(count) + QLatin1Char(' ') + noun;
}

inline QString valuesText(long long count)
{
    return countText(count, QStringLiteral("значение"), QStringLiteral("значения"), QStringLiteral("значений"));
}
