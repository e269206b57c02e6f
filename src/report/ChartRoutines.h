#pragma once

#include "base/InstrumentClock.h"

#include <QDateTime>
#include <QFont>
#include <QPointF>
#include <QString>
#include <QVector>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
QT_END_NAMESPACE

namespace QtCharts {
class QAbstractAxis;
class QAbstractSeries;
class QCategoryAxis;
class QXYSeries;
}

// Chart building blocks shared by the data screen, the database screen and the
// report charts, so that all of them look, scale and place time the same way.
//
// Time on every chart is the instrument's clock reading. That clock knows no
// time zones and no daylight saving, so the time axis is not a local-time axis:
// its value is the reading itself in milliseconds since 1970-01-01 00:00 of the
// instrument's clock, and its labels are formatted from that value with no
// conversion. Points therefore never fold back or skip an hour on the days the
// computer's zone changes its offset, and placing a point costs no time-zone
// lookup at all. Only where a reading meets the computer's own clock (file
// times, date fields of the screens) is it turned into a local time, with
// localWallClock().
namespace ChartRoutines {

// Role of a log table cell's raw value (date-time in column 0, float elsewhere).
constexpr int RawValueRole = 257;
// Ticks of a time axis, as many as the screens' date axes always had.
constexpr int TimeAxisTicks = 25;
// Format of the time axis labels.
QString timeAxisFormat();

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

// ---- Clock readings on the time axis ----

// The instrument-clock mapping, under the names the chart code has always used.
using InstrumentClock::clockAxisValue;
using InstrumentClock::clockFromAxisValue;
using InstrumentClock::GapSide;
using InstrumentClock::localWallClock;
using InstrumentClock::localClockMSecs;

// One labelled tick of a time axis.
struct TimeTick
{
    double value;
    QString label;
};
// Evenly spaced ticks from min to max inclusive, labelled with the clock
// reading (to the second). Ticks closer than a second that would repeat the
// previous label are left out, so every label is distinct.
QVector<TimeTick> timeAxisTicks(double min, double max, int tickCount = TimeAxisTicks);

// A time axis is a category axis whose categories are the ticks of its range.
// labelTimeAxis() replaces them for the current range; keepTimeAxisLabelled()
// does it now and again after every range change (zoom, scroll).
void labelTimeAxis(QtCharts::QCategoryAxis* axis, int tickCount = TimeAxisTicks);
void keepTimeAxisLabelled(QtCharts::QCategoryAxis* axis, int tickCount = TimeAxisTicks);

// Date axis of a report chart ("dd.MM.yy hh:mm:ss", title "Время", 25 ticks,
// labels at -90 degrees, chartFont()) spanning the clock readings begin..end;
// equal ends are widened by one second on each side. It keeps its labels
// following its range. The caller owns the axis.
QtCharts::QCategoryAxis* makeDateAxis(const QDateTime& begin, const QDateTime& end);

// ---- Line data ----

// One point per row in [firstRow, lastRow] whose raw value in `column` is a
// finite number: x = clockAxisValue() of the row's date-time (column 0),
// y = the value. Rows outside the model are ignored.
QVector<QPointF> columnPoints(const QAbstractItemModel* model, int column, int firstRow, int lastRow);

// Appends columnPoints() to the series in one replace(), keeping the points it
// already held, so the chart recomputes its geometry once. A series that ends
// up with a single point shows it as a marker (a line needs two).
void fillSeriesFromColumn(QtCharts::QXYSeries* series, const QAbstractItemModel* model,
                          int column, int firstRow, int lastRow);

// A selection's cell "<value> <unit>" ("21.50 °C"): the number before the
// first blank and the text after it (empty for a value without unit). False
// for a cell that holds no finite number.
bool readValueWithUnit(const QString& text, double& value, QString& unit);

// The points of one unit of a column.
struct UnitLine
{
    QString unit;
    QVector<QPointF> points;
};
// The points of rows firstRow..lastRow of a column of "<value> <unit>" cells,
// one line per unit in the order the units first appear, so that values of
// different units never share a line. `cell(row, x, text)` gives the row's
// place on the time axis and its cell's text, or false for a row that has no
// place (its time stamp cannot be read). Cells without a number give no point.
QVector<UnitLine> linesPerUnit(int firstRow, int lastRow,
                               const std::function<bool(int row, double& x, QString& text)>& cell);

// The name of a column's line of one unit where the column has several:
// "Канал №1, °C" ("Канал №1, без единиц" for values without unit).
QString unitLineName(const QString& column, const QString& unit);

// A line thinned to what `columns` pixel columns over minX..maxX can show: the
// points are taken in their order and each run of consecutive points in one
// pixel column is reduced to its lowest and highest point, in their order, so
// the drawn line covers the same pixels. Runs left or right of the range keep
// their first and last point, which carry the line to the edge. Lines that are
// already short enough come back unchanged.
QVector<QPointF> thinToColumns(const QVector<QPointF>& points, double minX, double maxX, int columns);

// Smallest and largest x of the points (the clock may have been set back
// while logging, so these need not be the first and the last point).
struct Span
{
    double min = 0;
    double max = 0;
    bool isEmpty = true;
};
Span xSpan(const QVector<QPointF>& points);

} // namespace ChartRoutines
