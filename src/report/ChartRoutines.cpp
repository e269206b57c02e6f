#include "report/ChartRoutines.h"

#include <QAbstractItemModel>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QValueAxis>
#include <QtCharts/QXYSeries>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace ChartRoutines {

QString timeAxisFormat()
{
    return QStringLiteral("dd.MM.yy hh:mm:ss");
}

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

QVector<TimeTick> timeAxisTicks(double min, double max, int tickCount)
{
    QVector<TimeTick> ticks;
    if (!std::isfinite(min) || !std::isfinite(max) || max < min || tickCount < 1)
        return ticks;
    const int count = max > min ? std::max(tickCount, 2) : 1;
    const QString format = timeAxisFormat();
    ticks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double value = count == 1 ? min : min + i * (max - min) / (count - 1);
        const QString label = clockFromAxisValue(value).toString(format);
        if (!ticks.isEmpty() && ticks.constLast().label == label)
            continue;
        ticks.append({value, label});
    }
    return ticks;
}

void labelTimeAxis(QCategoryAxis* axis, int tickCount)
{
    if (!axis)
        return;
    const QVector<TimeTick> ticks = timeAxisTicks(axis->min(), axis->max(), tickCount);
    QSignalBlocker blocker(axis);
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    axis->setStartValue(axis->min());
    for (const TimeTick& tick : ticks)
        axis->append(tick.label, tick.value);
    // One notification for the whole set, so the chart lays the axis out once.
    blocker.unblock();
    emit axis->categoriesChanged();
}

void keepTimeAxisLabelled(QCategoryAxis* axis, int tickCount)
{
    if (!axis)
        return;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    labelTimeAxis(axis, tickCount);
    // Asking again (a screen rebuilt, say) must not label every change twice.
    static const char* const labelled = "orvelinTimeAxisLabelled";
    if (axis->property(labelled).toBool())
        return;
    axis->setProperty(labelled, true);
    // At once, not queued: a report chart is drawn without returning to the
    // event loop, and must not show the labels of an earlier range.
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, [axis, tickCount] { labelTimeAxis(axis, tickCount); });
}

QCategoryAxis* makeDateAxis(const QDateTime& begin, const QDateTime& end)
{
    auto* axis = new QCategoryAxis();
    axis->setTitleText(QStringLiteral("Время"));
    axis->setTitleFont(chartFont());
    axis->setLabelsFont(chartFont());
    axis->setLabelsAngle(-90);

    double from = clockAxisValue(begin);
    double to = clockAxisValue(end);
    if (from == to) {
        from -= 1000;
        to += 1000;
    }
    axis->setRange(from, to);
    keepTimeAxisLabelled(axis);
    return axis;
}

QVector<QPointF> columnPoints(const QAbstractItemModel* model, int column, int firstRow, int lastRow)
{
    QVector<QPointF> points;
    if (!model)
        return points;
    const int first = std::max(firstRow, 0);
    const int last = std::min(lastRow, model->rowCount() - 1);
    if (first > last)
        return points;
    points.reserve(last - first + 1);
    for (int row = first; row <= last; ++row) {
        const QVariant value = model->index(row, column).data(RawValueRole);
        if (!value.isValid())
            continue;
        // NaN and infinity are no measurement: no point, no hole in the axis range.
        const double y = value.toDouble();
        const double x = clockAxisValue(model->index(row, 0).data(RawValueRole).toDateTime());
        if (std::isfinite(y) && std::isfinite(x))
            points.append(QPointF(x, y));
    }
    return points;
}

void fillSeriesFromColumn(QXYSeries* series, const QAbstractItemModel* model,
                          int column, int firstRow, int lastRow)
{
    if (!series)
        return;
    const QVector<QPointF> added = columnPoints(model, column, firstRow, lastRow);
    if (added.isEmpty())
        return;
    QVector<QPointF> points = series->pointsVector();
    points += added;
    series->replace(points);
    series->setPointsVisible(points.size() == 1);
}

bool readValueWithUnit(const QString& text, double& value, QString& unit)
{
    const int blank = text.indexOf(QLatin1Char(' '));
    bool ok = false;
    value = (blank < 0 ? QStringRef(&text) : text.leftRef(blank)).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    unit = blank < 0 ? QString() : text.mid(blank + 1);
    return true;
}

QVector<UnitLine> linesPerUnit(int firstRow, int lastRow,
                               const std::function<bool(int row, double& x, QString& text)>& cell)
{
    QVector<UnitLine> lines;
    // Units change seldom: the line of the previous value is tried first.
    int current = -1;
    for (int row = firstRow; row <= lastRow; ++row) {
        double x = 0.0;
        double y = 0.0;
        QString text;
        QString unit;
        if (!cell(row, x, text) || !readValueWithUnit(text, y, unit))
            continue;
        if (current < 0 || lines.at(current).unit != unit) {
            current = int(std::find_if(lines.cbegin(), lines.cend(), [&unit](const UnitLine& line) {
                              return line.unit == unit;
                          }) - lines.cbegin());
            if (current == lines.size())
                lines.append(UnitLine{unit, {}});
        }
        lines[current].points.append(QPointF(x, y));
    }
    return lines;
}

QString unitLineName(const QString& column, const QString& unit)
{
    return QStringLiteral("%1, %2").arg(column, unit.isEmpty() ? QStringLiteral("без единиц") : unit);
}

QVector<QPointF> thinToColumns(const QVector<QPointF>& points, double minX, double maxX, int columns)
{
    columns = std::max(columns, 1);
    const double width = (maxX - minX) / columns;
    if (points.size() <= 2 * columns || !(width > 0))
        return points;

    const auto bucketOf = [&](double x) {
        if (x < minX)
            return -1;
        if (x > maxX)
            return columns;
        return std::min(columns - 1, int((x - minX) / width));
    };

    QVector<QPointF> thinned;
    thinned.reserve(2 * columns + 8);
    int runStart = 0;
    int bucket = bucketOf(points.at(0).x());
    int low = 0;
    int high = 0;
    const auto flush = [&](int runEnd) {
        const int last = runEnd - 1;
        int keep[2] = {low, high};
        const int count = 2;
        if (bucket < 0 || bucket >= columns) {
            keep[0] = runStart;   // outside the range only the ends matter
            keep[1] = last;
        }
        std::sort(keep, keep + count);
        for (int i = 0; i < count; ++i)
            if (i == 0 || keep[i] != keep[i - 1])
                thinned.append(points.at(keep[i]));
    };
    for (int i = 1; i < points.size(); ++i) {
        const int b = bucketOf(points.at(i).x());
        if (b != bucket) {
            flush(i);
            runStart = low = high = i;
            bucket = b;
            continue;
        }
        if (points.at(i).y() < points.at(low).y())
            low = i;
        if (points.at(i).y() > points.at(high).y())
            high = i;
    }
    flush(points.size());
    return thinned;
}

Span xSpan(const QVector<QPointF>& points)
{
    Span span;
    for (const QPointF& p : points) {
        if (span.isEmpty) {
            span = {p.x(), p.x(), false};
            continue;
        }
        span.min = std::min(span.min, p.x());
        span.max = std::max(span.max, p.x());
    }
    return span;
}

} // namespace ChartRoutines
