#include "screens/SelectionChartFeed.h"

#include "database/LogLoader.h"
#include "database/LogSnapshot.h"

#include <QAbstractItemModel>
#include <QtCharts/QXYSeries>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace QtCharts;

namespace {

// Between the role and the unit in the key of a line of one unit: a
// character that neither a column's name nor a unit holds.
constexpr char unitSeparator = '\x1f';

} // namespace

void SelectionChartFeed::reset()
{
    m_timesRead = false;
    m_times.clear();
    m_columns.clear();
    m_lines.clear();
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

const QVector<SelectionChartFeed::ColumnLine>& SelectionChartFeed::column(const QByteArray& role)
{
    auto found = m_columns.find(role);
    if (found != m_columns.end())
        return *found;
    QVector<ChartRoutines::UnitLine> units;
    const int roleId = m_model ? m_model->roleNames().key(role, -1) : -1;
    if (roleId >= 0) {
        if (!m_timesRead)
            readTimes();
        units = ChartRoutines::linesPerUnit(0, m_times.size() - 1, [&](int row, double& x, QString& text) {
            x = m_times.at(row);
            if (std::isnan(x))
                return false;
            text = m_model->index(row, 0).data(roleId).toString();
            return true;
        });
    }
    const QString name = QString::fromUtf8(role);
    QVector<ColumnLine> read;
    if (units.size() <= 1) {
        read.append({role, name, name});
        m_lines.insert(role, Line{units.isEmpty() ? QVector<QPointF>() : units.constFirst().points, {}});
    } else {
        for (const ChartRoutines::UnitLine& unit : units) {
            const QByteArray key = role + unitSeparator + unit.unit.toUtf8();
            read.append({key, ChartRoutines::unitLineName(name, unit.unit),
                         unit.unit.isEmpty() ? name : QStringLiteral("%1,%2").arg(name, unit.unit)});
            m_lines.insert(key, Line{unit.points, {}});
        }
    }
    for (const ColumnLine& entry : read) {
        Line& line = m_lines[entry.key];
        // A selection comes grouped by time stamp, which SQLite returns in
        // time order; should it not, the line is put in order rather than
        // drawn back and forth.
        const auto earlier = [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); };
        if (!std::is_sorted(line.points.cbegin(), line.points.cend(), earlier))
            std::stable_sort(line.points.begin(), line.points.end(), earlier);
        line.span = ChartRoutines::xSpan(line.points);
    }
    return *m_columns.insert(role, read);
}

const SelectionChartFeed::Line& SelectionChartFeed::line(const QByteArray& key)
{
    auto found = m_lines.constFind(key);
    if (found == m_lines.constEnd()) {
        column(roleOf(key));
        found = m_lines.constFind(key);
    }
    static const Line none;
    return found == m_lines.constEnd() ? none : *found;
}

QByteArray SelectionChartFeed::roleOf(const QByteArray& key)
{
    const int separator = key.indexOf(unitSeparator);
    return separator < 0 ? key : key.left(separator);
}

QVector<SelectionChartFeed::ColumnLine> SelectionChartFeed::lines(const QByteArray& role)
{
    return column(role);
}

SelectionChartFeed::ColumnLine SelectionChartFeed::named(const QByteArray& key)
{
    for (const ColumnLine& line : column(roleOf(key)))
        if (line.key == key)
            return line;
    return {key, QString::fromUtf8(key), QString::fromUtf8(key)};
}

const QVector<QPointF>& SelectionChartFeed::points(const QByteArray& key)
{
    return line(key).points;
}

ChartRoutines::Span SelectionChartFeed::span(const QByteArray& key)
{
    return line(key).span;
}

void SelectionChartFeed::fill(QXYSeries* series, const QByteArray& key, double minX, double maxX, int pixelColumns)
{
    if (!series)
        return;
    const Line& read = line(key);
    series->replace(ChartRoutines::thinToColumns(read.points, minX, maxX, pixelColumns));
    // A line needs two points; a single one is shown as a marker.
    series->setPointsVisible(read.points.size() == 1);
}

void SelectionChartFeed::fillWhole(QXYSeries* series, const QByteArray& key, int pixelColumns)
{
    const ChartRoutines::Span whole = span(key);
    fill(series, key, whole.min, whole.max, pixelColumns);
}
