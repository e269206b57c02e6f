#include "database/NaturalOrder.h"

#include <QRegularExpression>

namespace {

QString firstNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("(-?\\d+(?:[\\.,]\\d+(?:e\\d+)?)?)"));
    return number.match(text).captured(1);
}

} // namespace

bool naturalLessThan(const QString& a, const QString& b)
{
    const QString numberA = firstNumber(a);
    const QString numberB = firstNumber(b);
    // toInt gives 0 for "1.5" and for an empty text, so such names compare
    // by length with each other.
    if (numberA.toInt() == numberB.toInt())
        return a.size() < b.size();
    return numberA.toFloat() < numberB.toFloat();
}
