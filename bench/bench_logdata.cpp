// Figures for the log data layer on a large log: reading, statistics over
// every column, CSV and XLSX export (each written beside the target and
// renamed over it when complete).

#include "../tests/support/LogFileBytes.h"

#include "data/CsvExporter.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "data/XlsxExporter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int recordCount = 40000;

    QTemporaryDir dir;
    const QString logPath = dir.filePath("BENCH.LOG");
    {
        QByteArray bytes = logbytes::header(0, 1234567);
        bytes.reserve(7 + 24 * recordCount);
        for (int i = 0; i < recordCount; ++i) {
            logbytes::Channel ch2 = logbytes::present(float(i % 97) * 0.5f, 1.0f, 150);
            if (i % 10 == 0)
                ch2.presence = 5;
            bytes += logbytes::record(1700000000u + quint32(i) * 60,
                                      logbytes::present(20.0f + float(i % 13), 40.0f, 1), ch2);
        }
        QFile file(logPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(logPath));
            return 1;
        }
    }

    try {
        ModelLogRecord model;
        QElapsedTimer timer;

        timer.start();
        LogFile::readInto(logPath, model);
        const double readMs = timer.nsecsElapsed() / 1e6;
        std::printf("read:        %d records in %.1f ms (%.0f records/s)\n", model.rowCount(), readMs,
                    model.rowCount() / (readMs / 1000.0));

        // A column is walked once for its three cells, and not again while the
        // log stays; before, every cell (and every repaint of it) walked it.
        ModelStatistics stats(&model, ModelLogRecord::ValueRole);
        stats.setHeaders(model.getHeader().mid(1));
        timer.restart();
        for (int column = 1; column < model.columnCount(); ++column)
            for (int row = 0; row < stats.rowCount(); ++row)
                ModelStatistics::columnStatistics(&model, column, ModelLogRecord::ValueRole);
        const double uncachedMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        for (int column = 1; column < model.columnCount(); ++column)
            for (int row = 0; row < stats.rowCount(); ++row)
                stats.index(row, column).data();
        const double firstMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        for (int column = 1; column < model.columnCount(); ++column)
            for (int row = 0; row < stats.rowCount(); ++row)
                stats.index(row, column).data();
        const double againMs = timer.nsecsElapsed() / 1e6;
        std::printf("statistics:  3 cells x %d columns: %.1f ms, shown again %.2f ms (before: %.1f ms each time)\n",
                    model.columnCount() - 1, firstMs, againMs, uncachedMs);

        timer.restart();
        CsvExporter::saveLog(dir.filePath("bench.csv"), model);
        std::printf("csv export:  %.1f ms (%lld bytes)\n", timer.nsecsElapsed() / 1e6,
                    QFile(dir.filePath("bench.csv")).size());

        timer.restart();
        XlsxExporter::saveLog(dir.filePath("bench.xlsx"), model);
        std::printf("xlsx export: %.1f ms (%lld bytes)\n", timer.nsecsElapsed() / 1e6,
                    QFile(dir.filePath("bench.xlsx")).size());
    } catch (const QString& message) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(message));
        return 1;
    }
    return 0;
}
