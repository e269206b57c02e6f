#include "report/ChartRoutines.h"

#include <QAbstractItemModel>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QValueAxis>
#include <QtCharts/QXYSeries>

#include <algorithm>

using namespace QtCharts;

namespace ChartRoutines {

QFont chartFont()
{
    QFont font(QStringLiteral("Times"));
    font.setPixelSize(9);
    font.setWeight(QFont::Bold);
    return font;
}

void styleValueAxisUntitled(QAbstractAxis* axis)
{
    if (!axis)
        return;
    axis->setLabelsFont(chartFont());
    if (auto* valueAxis = qobject_cast<QValueAxis*>(axis)) {
        valueAxis->setLabelFormat(QStringLiteral("%10.2f"));
        valueAxis->setTickCount(15);
    }
}

void styleValueAxis(QAbstractAxis* axis, const QString& title)
{
    if (!axis)
        return;
    axis->setTitleText(title);
    styleValueAxisUntitled(axis);
}

void setValueAxisRange(QAbstractSeries* series, QAbstractAxis* axis)
{
    if (!axis)
        return;
    auto* xySeries = qobject_cast<QXYSeries*>(series);
    if (!xySeries || xySeries->count() == 0) {
        axis->setVisible(false);
        return;
    }
    const QVector<QPointF> points = xySeries->pointsVector();
    const auto [low, high] = std::minmax_element(points.cbegin(), points.cend(),
        [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    axis->setRange(low->y() - 0.05, high->y() + 0.05);
}

qint64 localClockMSecs(const QDateTime& dateTime)
{
    QDateTime local = dateTime;
    local.setTimeSpec(Qt::LocalTime);
    return local.toMSecsSinceEpoch();
}

void fillSeriesFromColumn(QXYSeries* series, const QAbstractItemModel* model,
                          int column, int firstRow, int lastRow)
{
    if (!series || !model)
        return;
    const int first = std::max(firstRow, 0);
    const int last = std::min(lastRow, model->rowCount() - 1);
    if (first > last)
        return;

    QVector<QPointF> points = series->pointsVector();
    const int kept = points.size();
    points.reserve(kept + (last - first + 1));
    for (int row = first; row <= last; ++row) {
        const QVariant value = model->index(row, column).data(RawValueRole);
        if (!value.isValid())
            continue;
        const QDateTime time = model->index(row, 0).data(RawValueRole).toDateTime();
        points.append(QPointF(double(localClockMSecs(time)), value.toDouble()));
    }
    if (points.size() > kept)
        series->replace(points);
}

QDateTimeAxis* makeDateAxis(const QDateTime& begin, const QDateTime& end)
{
    auto* axis = new QDateTimeAxis();
    axis->setFormat(QStringLiteral("dd.MM.yy hh:mm:ss"));
    axis->setTitleText(QStringLiteral("Время"));
    axis->setTitleFont(chartFont());
    axis->setLabelsFont(chartFont());
    axis->setTickCount(25);
    axis->setLabelsAngle(-90);

    QDateTime from = begin;
    from.setTimeSpec(Qt::LocalTime);
    QDateTime to = end;
    to.setTimeSpec(Qt::LocalTime);
    if (from == to) {
        from = from.addSecs(-1);
        to = to.addSecs(1);
    }
    axis->setRange(from, to);
    return axis;
}

} // namespace ChartRoutines
