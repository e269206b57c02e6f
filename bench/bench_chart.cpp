// Opening and charting a large log: reads a 40,000-record .LOG file into the
// log table model, fills one chart line per measurement column (the data
// screen's way, and point by point for comparison), and computes the
// statistics table. Prints milliseconds and points per second.
//
// Run: QT_QPA_PLATFORM=offscreen ./bench_chart [records]
#include "../tests/support/LogFileBytes.h"

#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
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
        std::printf("%-44s %9.1f ms  %12.0f points/s\n", what, ms, points / (ns / 1e9));
    else
        std::printf("%-44s %9.1f ms\n", what, ms);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 40000;

    QTemporaryDir dir;
    const QString path = dir.path() + "/6553F100.LOG";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generateLog(records)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("log of %d records, %lld bytes\n", records, QFile(path).size());

    QElapsedTimer timer;
    ModelLogRecord model;
    timer.start();
    LogFile::readInto(path, model);
    report("read into the model", timer.nsecsElapsed(), 0);

    qint64 points = 0;
    timer.restart();
    for (int column = 1; column < model.columnCount(); ++column) {
        ChartedSeries line;
        ChartRoutines::fillSeriesFromColumn(line.series, &model, column, 0, model.rowCount() - 1);
        ChartRoutines::setValueAxisRange(line.series, line.chart.axes(Qt::Vertical).constFirst());
        points += line.series->count();
    }
    report("fill all columns, one replace() each", timer.nsecsElapsed(), points);

    // For comparison, points appended one by one into a charted series: every
    // append relays the line, so only a slice of one column is timed.
    const int sliceRows = std::min(model.rowCount(), 5000);
    qint64 appended = 0;
    timer.restart();
    {
        ChartedSeries line;
        for (int row = 0; row < sliceRows; ++row) {
            const QVariant value = model.index(row, 1).data(ModelLogRecord::ValueRole);
            if (!value.isValid())
                continue;
            const QDateTime time = model.index(row, 0).data(ModelLogRecord::ValueRole).toDateTime();
            line.series->append(double(ChartRoutines::localClockMSecs(time)), value.toDouble());
        }
        appended = line.series->count();
    }
    report("first 5000 rows of one column, append()", timer.nsecsElapsed(), appended);

    ModelStatistics statistics(&model, ModelLogRecord::ValueRole);
    QStringList headers = model.getHeader();
    headers.removeFirst();
    statistics.setHeaders(headers);
    timer.restart();
    int cells = 0;
    for (int row = 0; row < statistics.rowCount(); ++row)
        for (int column = 0; column < statistics.columnCount(); ++column)
            cells += statistics.index(row, column).data().toString().isEmpty() ? 0 : 1;
    report("statistics table (all 3 x 5 cells)", timer.nsecsElapsed(), 0);
    return cells > 0 ? 0 : 1;
}
