#include "data/LogChartFeed.h"

#include <QAbstractItemModel>
#include <QtCharts/QXYSeries>

using namespace QtCharts;

LogChartFeed::Column& LogChartFeed::column(int column)
{
    auto found = m_columns.find(column);
    if (found == m_columns.end()) {
        Column read;
        if (m_model)
            read.points = ChartRoutines::columnPoints(m_model, column, 0, m_model->rowCount() - 1);
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
