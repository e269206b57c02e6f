#pragma once

#include <QDateTime>
#include <QVariant>

// Log times are the instrument's clock readings, held as UTC date-times. The
// report panel's date and time fields are QML dates, which live in the
// computer's local time. These turn one into the other without losing a
// reading, also one that the local clock skips when daylight saving starts.
namespace PanelTime {

// A clock reading from a value QML hands over: a date (its local date and
// time as shown), a QDate, or a number, which is a time axis position.
// Anything else gives a null date-time.
QDateTime clockOf(const QVariant& value);

// For a calendar field: the reading's date, at local noon (a time every day has).
QDateTime dayField(const QDateTime& clock);

// For a time field, which only shows a time of day: a local date-time showing
// the reading's time. On a day whose local clock skips that time the day
// before carries it (such gaps never come on consecutive days).
QDateTime timeField(const QDateTime& clock);

// The clock reading a date field and a time field describe together.
QDateTime fromFields(const QVariant& dateField, const QVariant& timeField);

// The row a period's begin falls on: the first row at or after `time`,
// the first or the last row when the time lies before or after the rows.
// `rowTime(row)` reads a row's time in whatever form its model holds it.
template <typename Time, typename RowTime>
int rowAtOrAfter(int rows, const Time& time, RowTime rowTime)
{
    if (rows <= 0)
        return 0;
    if (time <= rowTime(0))
        return 0;
    if (time >= rowTime(rows - 1))
        return rows - 1;
    for (int row = 1; row < rows - 1; ++row) {
        if (rowTime(row) >= time)
            return row;
    }
    return rows - 1;
}

// The rows a report period covers: `first` is the first row at or after
// `begin`, `last` the row before the first one (from `first` on) later than
// `end`, so an end between two records never takes in the later one, and a
// log whose clock was set back mid-way still gives one run of rows. A period
// holding no row gives last < first.
struct RowSpan
{
    int first = 0;
    int last = -1;
    bool isEmpty() const { return last < first; }
};

template <typename Time, typename RowTime>
RowSpan rowSpan(int rows, const Time& begin, const Time& end, RowTime rowTime)
{
    RowSpan span;
    span.first = rows;
    for (int row = 0; row < rows; ++row) {
        if (rowTime(row) >= begin) {
            span.first = row;
            break;
        }
    }
    span.last = rows - 1;
    for (int row = span.first; row < rows; ++row) {
        if (rowTime(row) > end) {
            span.last = row - 1;
            break;
        }
    }
    return span;
}

} // namespace PanelTime
