// How long the evaluation against alarm limits takes for a long log: the
// readings of a column taken from the log table, the evaluation with its
// mean kinetic temperature, and the whole Пределы panel of four columns, as
// the data screen fills it when a log is shown. The aim is under 10 ms for
// 40,000 records.
//
// Run: ./bench_limits [records] [repeats]
#include "../tests/support/LogFileBytes.h"

#include "data/ColumnLimitsModel.h"
#include "data/LimitEvaluation.h"
#include "data/LogFile.h"
#include "data/LogLimits.h"
#include "data/ModelLogRecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QByteArray generateLog(int records)
{
    QByteArray bytes = logbytes::header(0, 1234567);
    for (int i = 0; i < records; ++i) {
        const float t = float(i);
        bytes += logbytes::record(1700000000u + quint32(i) * 10,
                                  logbytes::present(21.5f + 3.0f * std::sin(t / 200.0f), 20.0f + std::cos(t / 300.0f), 1),
                                  logbytes::present(55.0f + 10.0f * std::sin(t / 500.0f), 19.0f, 67));
    }
    return bytes;
}

// Best of `repeats` runs, in microseconds: the figure a quiet machine gives.
qint64 best(int repeats, const std::function<void()>& work)
{
    qint64 fastest = -1;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        const qint64 took = clock.nsecsElapsed() / 1000;
        fastest = fastest < 0 ? took : std::min(fastest, took);
    }
    return fastest;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 40000;
    const int repeats = argc > 2 ? QByteArray(argv[2]).toInt() : 20;

    ModelLogRecord model;
    const LogFileContent content = LogFile::parse(generateLog(records));
    model.setContent(content);

    QVector<LimitReading> readings;
    const qint64 read = best(repeats, [&] { readings = LogLimits::logColumnReadings(model, 1); });
    LimitEvaluation evaluation;
    const qint64 evaluated = best(repeats, [&] {
        evaluation = LimitEvaluator::evaluate(readings, AlarmLimits{20.0, 23.0}, 10, true);
    });
    ColumnLimitsModel panel;
    const qint64 shown = best(repeats, [&] { panel.showLog(model); });

    std::printf("log of %d records; %d above, %d below, %d + %d events\n", records, evaluation.countAbove,
                evaluation.countBelow, evaluation.eventsAbove, evaluation.eventsBelow);
    std::printf("%-46s %8.2f ms\n", "readings of one column", read / 1000.0);
    std::printf("%-46s %8.2f ms\n", "evaluation of one column with MKT", evaluated / 1000.0);
    std::printf("%-46s %8.2f ms   (aim: under 10 ms)\n", "panel of four columns, from the table", shown / 1000.0);
    return 0;
}
