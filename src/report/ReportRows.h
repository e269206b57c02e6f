#pragma once

#include <QDateTime>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
QT_END_NAMESPACE

// Where a report period's limits fall in a table of time-ordered rows; shared
// by the screens' report panels and the command line's reports.
namespace ReportRows {

// The row a report period's limit falls on: the first row at or after `time`,
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

// rowSpan() over a log table model, whose rows carry their clock reading as
// the raw value of column 0.
RowSpan logRows(const QAbstractItemModel* model, const QDateTime& begin, const QDateTime& end);

// rowAtOrAfter() over a log table model, whose rows carry their clock reading
// as the raw value of column 0.
int logRowAtOrAfter(const QAbstractItemModel* model, const QDateTime& time);

} // namespace ReportRows
