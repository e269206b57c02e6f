// Charting a large log: reads a 40,000-record .LOG file into the log table
// model and fills one chart line per measurement column, the way the data
// screen does it now (clock readings as the time axis, each line thinned to
// the plot's pixel columns) beside the way it did before (every point turned
// into local time and handed to the series), then refills the lines for a
// zoomed range. Prints milliseconds and the points the chart holds.
//
// Run: QT_QPA_PLATFORM=offscreen ./bench_chart [records]
// Unset TZ to see what the C library's zone lookups cost the old way.
#include "../tests/support/LogFileBytes.h"

#include "screens/LogChartFeed.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "report/ChartRoutines.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace QtCharts;

namespace {

QByteArray generateLog(int records)
{
    QByteArray bytes = logbytes::header(0, 1234567);
    bytes.reserve(LogFile::headerSize + records * LogFile::recordSize);
    for (int i = 0; i < records; ++i) {
        const float t = float(i);
        // Channel 2 drops out now and then, as a disconnected sensor does.
        const logbytes::Channel ch2 = (i % 500) < 480
            ? logbytes::present(55.0f + 10.0f * std::sin(t / 500.0f), 19.0f + std::sin(t / 50.0f), 67)
            : logbytes::absent();
        bytes += logbytes::record(1700000000u + quint32(i) * 10,
                                  logbytes::present(21.5f + 3.0f * std::sin(t / 200.0f), 20.0f + std::cos(t / 300.0f), 1),
                                  ch2);
    }
    return bytes;
}

// A chart like the screen's: the series on a date axis and its own value axis.
struct ChartedSeries
{
    QChart chart;
    QLineSeries* series = new QLineSeries;
    ChartedSeries()
    {
        chart.addSeries(series);
        auto* x = new QDateTimeAxis;
        auto* y = new QValueAxis;
        chart.addAxis(x, Qt::AlignBottom);
        chart.addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
    }
};

void report(const char* what, qint64 ns, qint64 points)
{
    const double ms = ns / 1e6;
    if (points > 0)
        std::printf("%-52s %9.1f ms  %8lld points on the chart\n", what, ms, points);
    else
        std::printf("%-52s %9.1f ms\n", what, ms);
}

// The fill as it was: each row's clock reading switched to local time (one
// time-zone conversion per point) and every point handed to the series.
void fillEveryPointInLocalTime(QXYSeries* series, const ModelLogRecord& model, int column)
{
    QVector<QPointF> points;
    points.reserve(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row) {
        const QVariant value = model.index(row, column).data(ModelLogRecord::ValueRole);
        if (!value.isValid())
            continue;
        QDateTime time = model.index(row, 0).data(ModelLogRecord::ValueRole).toDateTime();
        time.setTimeSpec(Qt::LocalTime);
        points.append(QPointF(double(time.toMSecsSinceEpoch()), value.toDouble()));
    }
    series->replace(points);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 40000;
    const int plotWidth = 900; // pixel columns of the plot at 1024 x 768

    QTemporaryDir dir;
    const QString path = dir.path() + "/6553F100.LOG";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generateLog(records)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("log of %d records, %lld bytes, TZ=%s\n", records, QFile(path).size(),
                qEnvironmentVariableIsSet("TZ") ? qgetenv("TZ").constData() : "(unset)");

    QElapsedTimer timer;
    ModelLogRecord model;
    timer.start();
    LogFile::readInto(path, model);
    report("read into the model", timer.nsecsElapsed(), 0);

    qint64 points = 0;
    timer.restart();
    for (int column = 1; column < model.columnCount(); ++column) {
        ChartedSeries line;
        fillEveryPointInLocalTime(line.series, model, column);
        ChartRoutines::setValueAxisRange(line.series, line.chart.axes(Qt::Vertical).constFirst());
        points += line.series->count();
    }
    report("before: every point, local time per point", timer.nsecsElapsed(), points);

    points = 0;
    LogChartFeed feed(&model);
    QList<ChartedSeries*> lines;
    timer.restart();
    for (int column = 1; column < model.columnCount(); ++column) {
        auto* line = new ChartedSeries;
        feed.fillWhole(line->series, column, plotWidth);
        ChartRoutines::setValueAxisRange(line->series, line->chart.axes(Qt::Vertical).constFirst());
        points += line->series->count();
        lines << line;
    }
    report("now: clock axis, thinned to the plot width", timer.nsecsElapsed(), points);

    // A zoom to an eighth of the log: only that range, at pixel resolution.
    const ChartRoutines::Span span = feed.span(1);
    const double from = span.min + (span.max - span.min) * 0.4;
    const double to = from + (span.max - span.min) / 8;
    points = 0;
    timer.restart();
    for (int column = 1; column < model.columnCount(); ++column) {
        feed.fill(lines.at(column - 1)->series, column, from, to, plotWidth);
        points += lines.at(column - 1)->series->count();
    }
    report("now: zoom refill of all lines (1/8 of the log)", timer.nsecsElapsed(), points);
    qDeleteAll(lines);
    return points > 0 ? 0 : 1;
}
