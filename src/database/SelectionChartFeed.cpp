#include "database/SelectionChartFeed.h"

#include "database/LogLoader.h"
#include "database/LogSnapshot.h"
#include "report/ChartRoutines.h"

#include <QAbstractItemModel>
#include <QtCharts/QXYSeries>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace QtCharts;

namespace {

const QVector<QPointF> noPoints;

// Position of a clock reading on the time axis, as the shared chart routines place it.
double axisValue(qint64 clockSeconds)
{
    return double(ChartRoutines::localClockMSecs(QDateTime::fromSecsSinceEpoch(clockSeconds, Qt::UTC)));
}

} // namespace

void SelectionChartFeed::reset()
{
    m_timesRead = false;
    m_times.clear();
    m_columns.clear();
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
        m_times[row] = seconds == LogSnapshot::noTime ? std::numeric_limits<double>::quiet_NaN()
                                                      : axisValue(seconds);
    }
}

const QVector<QPointF>& SelectionChartFeed::points(const QByteArray& role)
{
    auto found = m_columns.constFind(role);
    if (found != m_columns.constEnd())
        return *found;
    if (!m_model)
        return noPoints;
    const int roleId = m_model->roleNames().key(role, -1);
    if (roleId < 0)
        return noPoints;
    if (!m_timesRead)
        readTimes();

    QVector<QPointF> line;
    line.reserve(m_times.size());
    for (int row = 0; row < m_times.size(); ++row) {
        double value = 0.0;
        if (std::isnan(m_times.at(row))
            || !cellValue(m_model->index(row, 0).data(roleId).toString(), value))
            continue;
        line.append(QPointF(m_times.at(row), value));
    }
    // A selection comes grouped by time stamp, which SQLite returns in time
    // order; should it not, the line is put in order rather than drawn back.
    const auto earlier = [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); };
    if (!std::is_sorted(line.cbegin(), line.cend(), earlier))
        std::stable_sort(line.begin(), line.end(), earlier);
    return *m_columns.insert(role, line);
}

void SelectionChartFeed::fill(QXYSeries* series, const QByteArray& role)
{
    if (!series)
        return;
    const QVector<QPointF>& line = points(role);
    series->replace(line);
    // A line needs two points; a single one is shown as a marker.
    series->setPointsVisible(line.size() == 1);
}
