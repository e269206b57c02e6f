#include "report/ReportCharts.h"

#include "base/InstrumentClock.h"
#include "report/ChartRoutines.h"
#include "report/PrintSetting.h"

#include <QAbstractTableModel>
#include <QGraphicsLayout>
#include <QPainter>
#include <QSqlQueryModel>
#include <QSqlRecord>

#include <algorithm>
#include <QtCharts/QChart>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

using namespace QtCharts;

namespace ReportCharts {

namespace {

const QString commonChartTitle = QStringLiteral("Общий график");

std::unique_ptr<QChart> newChart(const QString& title, const PrintSetting& setting)
{
    auto chart = std::make_unique<QChart>();
    chart->setTitle(title);
    chart->addAxis(ChartRoutines::makeDateAxis(setting.beginDateTime, setting.endDateTime), Qt::AlignBottom);
    return chart;
}

// Puts a filled series on the chart's date axis and on a value axis of its own.
QValueAxis* addSeries(QChart* chart, QLineSeries* series, const QString& axisTitle)
{
    chart->addSeries(series);
    auto* valueAxis = new QValueAxis();
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(chart->axes(Qt::Horizontal).constFirst());
    series->attachAxis(valueAxis);
    ChartRoutines::styleValueAxis(valueAxis, axisTitle);
    // On paper the axis titles are as small as the labels.
    valueAxis->setTitleFont(ChartRoutines::chartFont());
    ChartRoutines::setValueAxisRange(series, valueAxis);
    // A line of one point would draw nothing.
    series->setPointsVisible(series->count() == 1);
    return valueAxis;
}

// The lower and upper limit of a series as thin dashed lines in its colour
// across the whole time axis; its value axis is widened to show both.
void addLimitLines(QChart* chart, QLineSeries* series, QValueAxis* valueAxis, const AlarmLimits& limits)
{
    const auto* timeAxis = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).constFirst());
    if (!timeAxis)
        return;
    const struct { double value; QString name; } lines[] = {
        {limits.lower, QStringLiteral("%1: нижний предел").arg(series->name())},
        {limits.upper, QStringLiteral("%1: верхний предел").arg(series->name())},
    };
    for (const auto& line : lines) {
        auto* limit = new QLineSeries();
        limit->setName(line.name);
        limit->append(timeAxis->min(), line.value);
        limit->append(timeAxis->max(), line.value);
        chart->addSeries(limit);
        limit->attachAxis(chart->axes(Qt::Horizontal).constFirst());
        limit->attachAxis(valueAxis);
        QPen pen(series->color());
        pen.setWidthF(1.0);
        pen.setStyle(Qt::DashLine);
        limit->setPen(pen);
    }
    const double margin = (limits.upper - limits.lower) * 0.05;
    const bool empty = series->count() == 0;
    valueAxis->setRange(std::min(empty ? limits.lower : valueAxis->min(), limits.lower - margin),
                        std::max(empty ? limits.upper : valueAxis->max(), limits.upper + margin));
}

int columnOfHeader(const QAbstractTableModel* model, const QString& name)
{
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() == name)
            return column;
    }
    return -1;
}

QLineSeries* logSeries(const PrintSetting& setting, int column, QString* axisTitle)
{
    const QAbstractTableModel* model = setting.model;
    const QString header = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const QString unit = model->headerData(column, Qt::Horizontal, setting.unitRole).toString();
    auto* series = new QLineSeries();
    series->setName(header);
    ChartRoutines::fillSeriesFromColumn(series, model, column, setting.firstRow, setting.lastRow);
    *axisTitle = QStringLiteral("%1,%2").arg(header, unit);
    return series;
}

bool isChartedField(const QString& name)
{
    return name.contains(QStringLiteral("Канал")) || name.contains(QStringLiteral("Компенсатор"))
        || name.contains(QStringLiteral("Доп."));
}

// "dd.MM.yyyy hh:mm:ss" read as the instrument's clock reading. It is not
// parsed as local time: a reading inside a daylight-saving gap or overlap must
// land where the shared time axis puts it, not where the time zone moves it.
QDateTime clockReading(const QString& text)
{
    const std::optional<qint64> seconds = InstrumentClock::secondsOfText(text);
    return seconds ? QDateTime::fromSecsSinceEpoch(*seconds, Qt::UTC) : QDateTime();
}

// The points of one field in the period, one line per unit.
QVector<ChartRoutines::UnitLine> dataBaseLines(const QSqlQueryModel* model, int dateColumn, int column,
                                               const PrintSetting& setting)
{
    return ChartRoutines::linesPerUnit(std::max(setting.firstRow, 0), std::min(setting.lastRow, model->rowCount() - 1),
                                       [&](int row, double& x, QString& text) {
        const QVariant value = model->index(row, column).data();
        if (value.isNull())
            return false;
        const QDateTime time = clockReading(model->index(row, dateColumn).data().toString());
        if (!time.isValid())
            return false;
        x = ChartRoutines::clockAxisValue(time);
        text = value.toString();
        return true;
    });
}

} // namespace

ChartList buildLogCharts(const PrintSetting& setting)
{
    ChartList charts;
    if (!setting.printChart || !setting.model)
        return charts;
    if (setting.generalChart)
        charts.push_back(newChart(commonChartTitle, setting));
    for (const QString& name : setting.seriesNames) {
        const int column = columnOfHeader(setting.model, name);
        if (column < 0)
            continue;
        QString axisTitle;
        QLineSeries* series = logSeries(setting, column, &axisTitle);
        if (!setting.generalChart)
            charts.push_back(newChart(series->name(), setting));
        QValueAxis* valueAxis = addSeries(charts.back().get(), series, axisTitle);
        if (const std::optional<AlarmLimits> limits = setting.limits.of(column))
            addLimitLines(charts.back().get(), series, valueAxis, *limits);
    }
    return charts;
}

ChartList buildDataBaseCharts(const QSqlQueryModel* model, const PrintSetting& setting)
{
    ChartList charts;
    if (!setting.printChart || !model)
        return charts;
    const QSqlRecord fields = model->record();
    const int dateColumn = std::max(fields.indexOf(QStringLiteral("Дата")), 0);
    if (setting.generalChart)
        charts.push_back(newChart(commonChartTitle, setting));
    for (int column = 0; column < fields.count(); ++column) {
        const QString name = fields.fieldName(column);
        if (!isChartedField(name))
            continue;
        // A field without values in the period draws nothing and gets no chart.
        const auto lines = dataBaseLines(model, dateColumn, column, setting);
        for (const auto& [unit, points] : lines) {
            const QString title = lines.size() > 1 ? ChartRoutines::unitLineName(name, unit) : name;
            if (!setting.generalChart)
                charts.push_back(newChart(title, setting));
            auto* series = new QLineSeries();
            series->setName(title);
            series->replace(points);
            QValueAxis* valueAxis =
                addSeries(charts.back().get(), series, unit.isEmpty() ? name : QStringLiteral("%1,%2").arg(name, unit));
            // Limits belong to one quantity: a field that mixes units gets none.
            if (lines.size() == 1) {
                if (const std::optional<AlarmLimits> limits = setting.limits.of(column))
                    addLimitLines(charts.back().get(), series, valueAxis, *limits);
            }
        }
    }
    return charts;
}

QImage renderChart(std::unique_ptr<QChart> chart)
{
    QFont titleFont(QStringLiteral("Times"));
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->resize(pictureSize);

    // The view owns the chart from here on and takes it along when it goes.
    QChartView view(chart.release());
    view.setRenderHint(QPainter::Antialiasing, true);
    view.setOptimizationFlag(QGraphicsView::DontSavePainterState, true);
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(pictureSize);
    // Showing lays the chart out; it never reaches the screen.
    view.setAttribute(Qt::WA_DontShowOnScreen, true);
    view.show();
    view.chart()->layout()->activate();
    view.hide();

    QImage picture(pictureSize, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    view.render(&painter, QRectF(picture.rect()), view.viewport()->rect(), Qt::KeepAspectRatio);
    return picture;
}

QList<QImage> makeLogCharts(const PrintSetting& setting)
{
    QList<QImage> pictures;
    for (auto& chart : buildLogCharts(setting))
        pictures << renderChart(std::move(chart));
    return pictures;
}

QList<QImage> makeDataBaseCharts(const QSqlQueryModel* model, const PrintSetting& setting)
{
    QList<QImage> pictures;
    for (auto& chart : buildDataBaseCharts(model, setting))
        pictures << renderChart(std::move(chart));
    return pictures;
}

} // namespace ReportCharts
