// Figures for the report: a full log-file report of 2,000 rows with four
// separate charts written to PDF, in steps and whole, each step beside the
// plain Qt way it replaces. The whole must stay within 3 s on the development
// machine; that machine is shared, so processor time is printed beside the
// wall time (the wall time an idle machine would show).

#include "data/ModelLogRecord.h"
#include "report/PrintSetting.h"
#include "report/ReportCharts.h"
#include "report/ReportInteractor.h"
#include "report/ReportLayout.h"
#include "report/Reporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

struct Figure
{
    double wallMs;
    double processorMs;
};

Figure measure(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t start = std::clock();
    step();
    return {timer.nsecsElapsed() / 1e6, double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC};
}

void print(const char* what, const Figure& ours, const Figure& plain)
{
    std::printf("%-28s %6.0f ms (%6.0f ms processor)   plain Qt: %6.0f ms (%6.0f ms processor)\n", what,
                ours.wallMs, ours.processorMs, plain.wallMs, plain.processorMs);
}

void pdfPrinter(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int rowCount = 2001; // rows 0..2000: the longest full report allowed

    ModelLogRecord model;
    QVector<LogRecord> records;
    const QDateTime start(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC);
    for (int i = 0; i < rowCount; ++i) {
        LogRecord record;
        record.dateTime = start.addSecs(60LL * i);
        record.entries = {{1, 20.0f + float(i % 13) * 0.25f, 0}, {2, 40.0f + float(i % 7), 1},
                          {3, float(i % 97) * 0.5f, 0}, {4, 101.3f - float(i % 5) * 0.1f, 3}};
        records << record;
    }
    model.setContent(1234567, 0, records);

    PrintSetting setting;
    setting.printChart = true;
    setting.generalChart = false;
    setting.fullReport = true;
    setting.seriesNames = model.getHeader().mid(1);
    setting.model = &model;
    setting.idDevice = 1234567;
    setting.typeDevice = model.deviceName();
    setting.beginDateTime = records.constFirst().dateTime;
    setting.endDateTime = records.constLast().dateTime;
    setting.firstRow = 0;
    setting.lastRow = rowCount - 1;
    setting.valueRole = ModelLogRecord::ValueRole;
    setting.unitRole = ModelLogRecord::UnitRole;
    setting.columnFlagRole = ModelLogRecord::MeasurementColumnRole;

    QTemporaryDir dir;

    // The record table: all rows at once, or grown one row at a time.
    Reporter ours;
    Reporter plain;
    const Figure composed = measure([&] { ReportLayout::composeLogReport(ours, setting); });
    const Figure composedByRow = measure([&] {
        plain.addRecordTableHeader(&model);
        for (int row = 0; row < rowCount; ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column)
                cells << model.index(row, column).data().toString();
            plain.appendTableRow(cells);
        }
    });
    print("compose (2001 rows)", composed, composedByRow);

    QList<QImage> pictures;
    const Figure charts = measure([&] { pictures = ReportCharts::makeLogCharts(setting); });
    for (const QImage& picture : pictures) {
        ours.insertImage(picture);
        plain.insertImage(picture);
    }
    std::printf("%-28s %6.0f ms (%6.0f ms processor)\n", "charts (4 pictures)", charts.wallMs, charts.processorMs);

    // Printing: laid out once for the printer, or copied and laid out twice by print().
    const Figure printed = measure([&] {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath(QStringLiteral("ours.pdf")));
        ours.printDocument(&printer);
    });
    const Figure printedPlain = measure([&] {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath(QStringLiteral("plain.pdf")));
        plain.document()->print(&printer);
    });
    print("print to PDF", printed, printedPlain);

    // The whole request as the PDF button runs it. An argument keeps the file.
    ReportInteractor interactor;
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("report.pdf"));
    bool ok = false;
    const Figure whole = measure([&] { ok = interactor.saveReportPdf(setting, path); });
    std::printf("%-28s %6.0f ms (%6.0f ms processor), %s, %lld bytes; limit 3000 ms\n", "saveReportPdf (whole)",
                whole.wallMs, whole.processorMs, ok ? "ok" : "FAILED", QFileInfo(path).size());
    return ok ? 0 : 1;
}
