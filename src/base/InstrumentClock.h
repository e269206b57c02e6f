#pragma once

#include <QDateTime>

#include <optional>

// The instrument's clock knows no time zones and no daylight saving: its
// readings are held as UTC date-times whose date and time are the reading
// itself. Everything that places, stores or shows a reading goes through
// these few functions, so that the .LOG writer, the charts and the reports
// agree on where a reading lies and on the local time it meets the computer at.
namespace InstrumentClock {

// Position of a clock reading on a time axis: the reading in milliseconds since
// 1970-01-01 00:00 of the instrument's clock, whatever the value's time spec;
// invalid values give NaN.
double clockAxisValue(const QDateTime& clock);
// The clock reading at a time axis position, as a UTC date-time (the way the
// program holds instrument times). Non-finite positions give a null date-time.
QDateTime clockFromAxisValue(double value);

// Which side of a local clock's gap (the hour skipped when daylight saving
// starts) a reading inside it is put on: Later is the instant the reading
// would be without the jump, shown locally one gap length later; Earlier is
// the same distance before.
enum class GapSide { Later, Earlier };

// The same clock reading as a local date-time, where a reading meets the
// computer's clock. Readings the local clock skips have no such time; they
// are moved out of the gap to `side`, so the result is always valid for a
// valid reading.
QDateTime localWallClock(const QDateTime& clock, GapSide side = GapSide::Later);
// localWallClock(dateTime) in milliseconds since 1970 (as an instant).
qint64 localClockMSecs(const QDateTime& dateTime);

// A reading written as "dd.MM.yyyy hh:mm:ss" (the archive's and the tables'
// text) in seconds since 1970 of the instrument's clock; nothing when the text
// is not such a reading. Read by hand: selections parse one per row, and
// Qt's format parser takes microseconds and the time zone files each time.
std::optional<qint64> secondsOfText(const QString& text);

} // namespace InstrumentClock
