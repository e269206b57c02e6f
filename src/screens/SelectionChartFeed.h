#pragma once

#include "report/ChartRoutines.h"

#include <QByteArray>
#include <QHash>
#include <QPointF>
#include <QVector>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
QT_END_NAMESPACE

namespace QtCharts {
class QXYSeries;
}

// The chart lines of a database selection. A selection holds texts: the time
// stamp "dd.MM.yyyy hh:mm:ss" in its first column and "<value> <unit>" in
// each channel column. Every row's time is read once per selection and each
// column's points once, on first use; a line is then handed to its series
// thinned to the pixel columns it is drawn on, for the whole selection or for
// the range a zoom shows.
//
// Points are placed by the instrument's clock reading (the chart routines'
// time axis) and in time order, so a line never runs back, whatever the
// computer's clock does that day.
class SelectionChartFeed
{
public:
    explicit SelectionChartFeed(const QAbstractItemModel* model) : m_model(model) {}

    // Forget what was read (the selection has been refilled).
    void reset();

    // The points of the column whose role is named `role`, in time order.
    // Rows without a value (empty or NULL text) and rows whose time stamp
    // cannot be read give no point; an unknown role gives no points at all.
    const QVector<QPointF>& points(const QByteArray& role);
    // Smallest and largest time of a column.
    ChartRoutines::Span span(const QByteArray& role);

    // Replaces the series' points by the column's points over minX..maxX,
    // thinned to `pixelColumns`. A column of a single point shows it as a marker.
    void fill(QtCharts::QXYSeries* series, const QByteArray& role, double minX, double maxX, int pixelColumns);
    // The same over the column's whole span.
    void fillWhole(QtCharts::QXYSeries* series, const QByteArray& role, int pixelColumns);

    // The value a channel cell shows: the text up to its first blank.
    static bool cellValue(const QString& text, double& value);

private:
    struct Line
    {
        QVector<QPointF> points;
        ChartRoutines::Span span;
    };
    Line& line(const QByteArray& role);
    void readTimes();

    const QAbstractItemModel* m_model;
    bool m_timesRead = false;
    QVector<double> m_times;
    QHash<QByteArray, Line> m_lines;
};
