#include "screens/SelectionChartFeed.h"

#include "database/LogLoader.h"
#include "database/LogSnapshot.h"

#include <QAbstractItemModel>
#include <QtCharts/QXYSeries>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace QtCharts;

void SelectionChartFeed::reset()
{
    m_timesRead = false;
    m_times.clear();
    m_lines.clear();
}

bool SelectionChartFeed::cellValue(const QString& text, double& value)
{
    const int blank = text.indexOf(QLatin1Char(' '));
    bool ok = false;
    value = (blank < 0 ? QStringRef(&text) : text.leftRef(blank)).toDouble(&ok);
    return ok && std::isfinite(value);
}

void SelectionChartFeed::readTimes()
{
    m_timesRead = true;
    const int rows = m_model ? m_model->rowCount() : 0;
    m_times.resize(rows);
    for (int row = 0; row < rows; ++row) {
        const qint64 seconds = LogLoader::secondsFromText(m_model->index(row, 0).data().toString());
        m_times[row] = seconds == LogSnapshot::noTime
            ? std::numeric_limits<double>::quiet_NaN()
            : ChartRoutines::clockAxisValue(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
    }
}

SelectionChartFeed::Line& SelectionChartFeed::line(const QByteArray& role)
{
    auto found = m_lines.find(role);
    if (found != m_lines.end())
        return *found;
    Line read;
    const int roleId = m_model ? m_model->roleNames().key(role, -1) : -1;
    if (roleId >= 0) {
        if (!m_timesRead)
            readTimes();
        read.points.reserve(m_times.size());
        for (int row = 0; row < m_times.size(); ++row) {
            double value = 0.0;
            if (!std::isnan(m_times.at(row))
                && cellValue(m_model->index(row, 0).data(roleId).toString(), value))
                read.points.append(QPointF(m_times.at(row), value));
        }
        // A selection comes grouped by time stamp, which SQLite returns in
        // time order; should it not, the line is put in order rather than
        // drawn back and forth.
        const auto earlier = [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); };
        if (!std::is_sorted(read.points.cbegin(), read.points.cend(), earlier))
            std::stable_sort(read.points.begin(), read.points.end(), earlier);
    }
    read.span = ChartRoutines::xSpan(read.points);
    return *m_lines.insert(role, read);
}

const QVector<QPointF>& SelectionChartFeed::points(const QByteArray& role)
{
    return line(role).points;
}

ChartRoutines::Span SelectionChartFeed::span(const QByteArray& role)
{
    return line(role).span;
}

void SelectionChartFeed::fill(QXYSeries* series, const QByteArray& role, double minX, double maxX, int pixelColumns)
{
    if (!series)
        return;
    const Line& read = line(role);
    series->replace(ChartRoutines::thinToColumns(read.points, minX, maxX, pixelColumns));
    // A line needs two points; a single one is shown as a marker.
    series->setPointsVisible(read.points.size() == 1);
}

void SelectionChartFeed::fillWhole(QXYSeries* series, const QByteArray& role, int pixelColumns)
{
    const ChartRoutines::Span whole = span(role);
    fill(series, role, whole.min, whole.max, pixelColumns);
}
