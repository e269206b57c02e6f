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

// rowAtOrAfter() over a log table model, whose rows carry their clock reading
// as the raw value of column 0.
int logRowAtOrAfter(const QAbstractItemModel* model, const QDateTime& time);

} // namespace ReportRows
