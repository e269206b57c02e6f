#pragma once

#include "report/ChartRoutines.h"

#include <QHash>
#include <QPointF>
#include <QVector>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
QT_END_NAMESPACE

namespace QtCharts {
class QXYSeries;
}

// The chart lines of the log shown on the data screen. Each column's points
// are read from the log table once per opened file; a line is then handed to
// its series thinned to the pixel columns it is drawn on, for the whole log or
// for the range a zoom shows, so the chart never holds more points than it can
// show.
class LogChartFeed
{
public:
    explicit LogChartFeed(const QAbstractItemModel* model) : m_model(model) {}

    // Forget the points read so far (another file has been opened).
    void reset() { m_columns.clear(); }

    // All points of a column, read on first use.
    const QVector<QPointF>& points(int column);
    // Smallest and largest time of a column.
    ChartRoutines::Span span(int column);

    // Replaces the series' points by the column's points over minX..maxX,
    // thinned to `pixelColumns`. A column of a single point shows it as a marker.
    void fill(QtCharts::QXYSeries* series, int column, double minX, double maxX, int pixelColumns);
    // The same over the column's whole span.
    void fillWhole(QtCharts::QXYSeries* series, int column, int pixelColumns);

private:
    struct Column
    {
        QVector<QPointF> points;
        ChartRoutines::Span span;
    };
    Column& column(int column);

    const QAbstractItemModel* m_model;
    QHash<int, Column> m_columns;
};
