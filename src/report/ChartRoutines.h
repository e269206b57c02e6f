#pragma once

#include <QDateTime>
#include <QFont>
#include <QString>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
QT_END_NAMESPACE

namespace QtCharts {
class QAbstractAxis;
class QAbstractSeries;
class QDateTimeAxis;
class QXYSeries;
}

// Chart building blocks shared by the data screen, the database screen and the
// report charts, so that all of them look and scale the same way.
namespace ChartRoutines {

// Role of a log table cell's raw value (date-time in column 0, float elsewhere).
constexpr int RawValueRole = 257;

// "Times", 9 px, bold: labels and titles of the value axes and report axes.
QFont chartFont();

// Title, "%10.2f" labels in chartFont() and 15 ticks. The value-axis settings
// apply only when the axis is a value axis; the title and font apply to any axis.
void styleValueAxis(QtCharts::QAbstractAxis* axis, const QString& title);
// The same without touching the title.
void styleValueAxisUntitled(QtCharts::QAbstractAxis* axis);

// Range of a value axis from the points of an XY series, widened by 0.05 on
// both sides; an empty series hides the axis instead.
void setValueAxisRange(QtCharts::QAbstractSeries* series, QtCharts::QAbstractAxis* axis);

// Appends one point per row in [firstRow, lastRow] whose raw value in `column`
// is valid: x = the row's date-time (column 0) read as local time with the same
// clock reading, in ms since 1970; y = the value. The series already held
// points are kept. Rows outside the model are ignored. The points are handed to
// the series in one replace(), so the chart recomputes its geometry once.
void fillSeriesFromColumn(QtCharts::QXYSeries* series, const QAbstractItemModel* model,
                          int column, int firstRow, int lastRow);

// The same instant-free conversion fillSeriesFromColumn uses for its x values:
// the clock reading of `dateTime` taken as local time, in ms since 1970.
qint64 localClockMSecs(const QDateTime& dateTime);

// Date axis of a report chart ("dd.MM.yy hh:mm:ss", title "Время", 25 ticks,
// labels at -90 degrees) spanning begin..end read as local time; equal ends are
// widened by one second on each side. The caller owns the axis.
QtCharts::QDateTimeAxis* makeDateAxis(const QDateTime& begin, const QDateTime& end);

} // namespace ChartRoutines
