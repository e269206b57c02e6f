#pragma once

#include "report/ChartRoutines.h"

#include <QByteArray>
#include <QHash>
#include <QPointF>
#include <QString>
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
// A line never joins values of different units: a column whose sensor was
// changed (°C, then Лк) gives one line per unit. A line is known by its key:
// the column's role name when the column has one unit, else the role name and
// the unit (see lines()).
//
// Points are placed by the instrument's clock reading (the chart routines'
// time axis) and in time order, so a line never runs back, whatever the
// computer's clock does that day.
class SelectionChartFeed
{
public:
    explicit SelectionChartFeed(const QAbstractItemModel* model) : m_model(model) {}

    struct ColumnLine
    {
        QByteArray key;
        // The legend's name: the column's, or "<column>, <unit>" where it has several.
        QString name;
        // The value axis' title: the column's, or "<column>,<unit>" where it has several.
        QString axisTitle;
    };

    // Forget what was read (the selection has been refilled).
    void reset();

    // The lines of the column whose role is named `role`: one keyed by the
    // role itself when its values share a unit (or it has none, or no such
    // column exists), else one per unit in the order the units first appear.
    QVector<ColumnLine> lines(const QByteArray& role);
    // The entry of lines() of a line; a key of no line is its own name and title.
    ColumnLine named(const QByteArray& key);

    // The points of a line, in time order. Rows without a value (empty or
    // NULL text) and rows whose time stamp cannot be read give no point; an
    // unknown key gives no points at all.
    const QVector<QPointF>& points(const QByteArray& key);
    // Smallest and largest time of a line.
    ChartRoutines::Span span(const QByteArray& key);

    // Replaces the series' points by the line's points over minX..maxX,
    // thinned to `pixelColumns`. A line of a single point shows it as a marker.
    void fill(QtCharts::QXYSeries* series, const QByteArray& key, double minX, double maxX, int pixelColumns);
    // The same over the line's whole span.
    void fillWhole(QtCharts::QXYSeries* series, const QByteArray& key, int pixelColumns);

private:
    struct Line
    {
        QVector<QPointF> points;
        ChartRoutines::Span span;
    };
    const Line& line(const QByteArray& key);
    const QVector<ColumnLine>& column(const QByteArray& role);
    static QByteArray roleOf(const QByteArray& key);
    void readTimes();

    const QAbstractItemModel* m_model;
    bool m_timesRead = false;
    QVector<double> m_times;
    QHash<QByteArray, QVector<ColumnLine>> m_columns;
    QHash<QByteArray, Line> m_lines;
};
