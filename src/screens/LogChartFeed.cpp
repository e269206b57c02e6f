#include "screens/LogChartFeed.h"

#include "data/ModelLogRecord.h"

#include <QAbstractItemModel>
#include <QtCharts/QXYSeries>

#include <cmath>

using namespace QtCharts;

namespace {

// The log table's own records hold what its roles would give; reading them
// directly spares two variants per point, which a long log notices.
QVector<QPointF> logColumnPoints(const ModelLogRecord& model, int column)
{
    QVector<QPointF> points;
    points.reserve(model.records().size());
    for (const LogRecord& record : model.records()) {
        const LogEntry* entry = record.entry(column);
        if (!entry || !std::isfinite(entry->value))
            continue;
        points.append(QPointF(ChartRoutines::clockAxisValue(record.dateTime), double(entry->value)));
    }
    return points;
}

} // namespace

LogChartFeed::Column& LogChartFeed::column(int column)
{
    auto found = m_columns.find(column);
    if (found == m_columns.end()) {
        Column read;
        if (const auto* log = qobject_cast<const ModelLogRecord*>(m_model)) {
            // Column 0 is the time; the ZR-7.49's records carry a fourth value
            // that has no column.
            if (column > 0 && column < log->columnCount())
                read.points = logColumnPoints(*log, column);
        } else if (m_model) {
            read.points = ChartRoutines::columnPoints(m_model, column, 0, m_model->rowCount() - 1);
        }
        read.span = ChartRoutines::xSpan(read.points);
        found = m_columns.insert(column, std::move(read));
    }
    return *found;
}

const QVector<QPointF>& LogChartFeed::points(int column)
{
    return this->column(column).points;
}

ChartRoutines::Span LogChartFeed::span(int column)
{
    return this->column(column).span;
}

void LogChartFeed::fill(QXYSeries* series, int column, double minX, double maxX, int pixelColumns)
{
    if (!series)
        return;
    const Column& line = this->column(column);
    series->replace(ChartRoutines::thinToColumns(line.points, minX, maxX, pixelColumns));
    series->setPointsVisible(line.points.size() == 1);
}

void LogChartFeed::fillWhole(QXYSeries* series, int column, int pixelColumns)
{
    const ChartRoutines::Span whole = span(column);
    fill(series, column, whole.min, whole.max, pixelColumns);
}
