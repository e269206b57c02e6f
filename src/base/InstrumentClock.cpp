#include "base/InstrumentClock.h"

#include <algorithm>
#include <cmath>

namespace InstrumentClock {

namespace {
constexpr qint64 msPerDay = 24 * 3600 * 1000;

int digits(const QString& text, int from, int count, bool& ok)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            ok = false;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}
} // namespace

std::optional<qint64> secondsOfText(const QString& text)
{
    static const QString pattern = QStringLiteral("dd.dd.dddd dd:dd:dd");
    if (text.size() != pattern.size())
        return std::nullopt;
    for (int i = 0; i < pattern.size(); ++i)
        if (pattern.at(i) != QLatin1Char('d') && text.at(i) != pattern.at(i))
            return std::nullopt;
    bool ok = true;
    const QDate date(digits(text, 6, 4, ok), digits(text, 3, 2, ok), digits(text, 0, 2, ok));
    const QTime time(digits(text, 11, 2, ok), digits(text, 14, 2, ok), digits(text, 17, 2, ok));
    if (!ok || !date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
}

double clockAxisValue(const QDateTime& clock)
{
    if (!clock.isValid())
        return std::nan("");
    // A UTC value already counts its own reading; others are read as shown.
    if (clock.timeSpec() == Qt::UTC)
        return double(clock.toMSecsSinceEpoch());
    return double(QDateTime(clock.date(), clock.time(), Qt::UTC).toMSecsSinceEpoch());
}

QDateTime clockFromAxisValue(double value)
{
    if (!std::isfinite(value))
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(value)), Qt::UTC);
}

QDateTime localWallClock(const QDateTime& clock, GapSide side)
{
    if (!clock.isValid())
        return QDateTime();
    const QDateTime local(clock.date(), clock.time(), Qt::LocalTime);
    if (local.isValid())
        return local;
    // The local clock skips this reading. Gaps lie months apart, so the
    // offsets a day before and a day after are the ones on either side of it.
    const qint64 reading = qint64(clockAxisValue(clock));
    const auto offsetAt = [](qint64 ms) {
        return qint64(QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).offsetFromUtc()) * 1000;
    };
    const qint64 before = offsetAt(reading - msPerDay);
    const qint64 after = offsetAt(reading + msPerDay);
    const qint64 offset = side == GapSide::Later ? std::min(before, after) : std::max(before, after);
    return QDateTime::fromMSecsSinceEpoch(reading - offset, Qt::LocalTime);
}

qint64 localClockMSecs(const QDateTime& dateTime)
{
    return localWallClock(dateTime).toMSecsSinceEpoch();
}

} // namespace InstrumentClock
