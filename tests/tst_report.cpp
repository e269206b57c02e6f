// Log-file reports as the user gets them: PDF files read back with the poppler
// tools (text and pictures), the row limit, the print and preview dialogs, and
// the data screen's print, preview and PDF buttons in the running program.
#include "AppHarness.h"
#include "TestSupport.h"
#include "LogFileBytes.h"
#include "ReportPdf.h"

#include "app/ApplicationShell.h"
#include "screens/DataWindow.h"
#include "data/ModelLogRecord.h"
#include "screens/DataBaseWindow.h"
#include "report/PrintSetting.h"
#include "report/ReportCharts.h"
#include "report/ReportInteractor.h"
#include "report/ReportLayout.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtTest>

namespace {

const QDateTime t0(QDate(2023, 11, 14), QTime(22, 0, 0), Qt::UTC);

// Channel 1 per row. The report period is rows 2..9: its maximum sits on the
// last row of the period, rows 1, 10 and 11 lie outside and would change the
// maximum, the minimum and the mean if they were counted.
const float channel1[12] = {20.0f, 21.5f, 19.0f, 22.0f, 21.0f, 20.5f, 18.5f, 22.5f, 21.0f, 23.75f, 24.0f, 17.0f};

// Twelve ZR-7.47 records a minute apart. Channel 2 has values only outside
// the period; its additional measurement is the same everywhere.
void fillLog(ModelLogRecord& model)
{
    QVector<LogRecord> records;
    for (int i = 0; i < 12; ++i) {
        LogRecord r;
        r.dateTime = t0.addSecs(60 * i);
        r.entries = {{1, channel1[i], 0}, {2, 40.0f + i, 1}, {4, 101.3f, 3}};
        if (i < 2 || i > 9)
            r.entries.append({3, 5.0f, 0});
        records << r;
    }
    model.setContent(1234567, 0, records);
}

PrintSetting logSetting(ModelLogRecord& model, int firstRow, int lastRow)
{
    PrintSetting s;
    s.fullReport = true;
    s.model = &model;
    s.idDevice = model.deviceId();
    s.typeDevice = model.deviceName();
    s.firstRow = firstRow;
    s.lastRow = lastRow;
    s.beginDateTime = t0.addSecs(60 * firstRow);
    s.endDateTime = t0.addSecs(60 * lastRow);
    s.valueRole = ModelLogRecord::ValueRole;
    s.unitRole = ModelLogRecord::UnitRole;
    s.columnFlagRole = ModelLogRecord::MeasurementColumnRole;
    return s;
}

QString dateText(int row)
{
    return t0.addSecs(60 * row).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

void writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void fullReport_titlePeriodStatisticsAndEveryRecordOfThePeriod();
    void shortReport_headingsAndStatisticsOnly_evenPastTheRowLimit();
    void pictures_onePerChosenSeriesOrOneCommon();
    void rowLimit_data();
    void rowLimit();
    void failedReport_keepsTheFileThatWasThere_andUnwritablePathIsAnError();
    void pdfFileName_addsTheSuffixUnlessPresent_data();
    void pdfFileName_addsTheSuffixUnlessPresent();
    void printDialog_cancelPrintsNothing_acceptPrintsTheReport();
    void preview_paintsTheWholeReportOnEveryRepaint();
    void endToEnd_dataScreenButtonsPrintPreviewAndSavePdf();
};

void TestReport::fullReport_titlePeriodStatisticsAndEveryRecordOfThePeriod()
{
    ModelLogRecord model;
    fillLog(model);
    PrintSetting setting = logSetting(model, 2, 9);
    setting.printChart = true;
    setting.seriesNames = QStringList{"Канал №1", "Доп.измерение №2", "Канал №2"};

    QTemporaryDir dir;
    const QString path = dir.filePath("full.pdf");
    ReportInteractor reports;
    QSignalSpy errors(&reports, &ReportInteractor::reportErrorOccurred);
    QVERIFY(reports.saveReportPdf(setting, path));
    QCOMPARE(errors.count(), 0);

    const QString text = reportpdf::text(path);
    QVERIFY2(reportpdf::containsInOrder(text, {
        "Полный отчёт о работе прибора ZR-7.47 ID: 1234567,",
        "c 14.11.23 22:02:00 по 14.11.23 22:09:00.",
        // The last row of the period holds channel 1's maximum.
        "Статистика по Канал №1 Значение Дата",
        "Максимальное значение 23.75 °C 14.11.2023 22:09:00",
        "Минимальное значение 18.50 °C 14.11.2023 22:06:00",
        "Среднее значение 21.03",
        "Статистика по Доп.измерение №1 Значение Дата",
        "Максимальное значение 49.00 % 14.11.2023 22:09:00",
        "Минимальное значение 42.00 % 14.11.2023 22:02:00",
        "Среднее значение 45.50",
        // No value of channel 2 inside the period.
        "Статистика по Канал №2 Значение Дата",
        "Максимальное значение ------ ------ Минимальное значение ------ ------ Среднее значение ------",
        // Equal values: the first row of the period wins.
        "Статистика по Доп.измерение №2 Значение Дата",
        "Максимальное значение 101.30 Лк 14.11.2023 22:02:00",
        "Среднее значение 101.30",
        "Отчёт Дата Канал №1 Доп.измерение №1 Канал №2 Доп.измерение №2",
    }), qPrintable(text));

    QStringList records;
    for (int row = 2; row <= 9; ++row)
        records << dateText(row);
    QVERIFY2(reportpdf::containsInOrder(text.mid(text.indexOf("Отчёт")), records), qPrintable(text));
    // The last row of the period with its values (a page break may put the
    // repeated table header between them).
    const QString lastRow = text.mid(text.lastIndexOf(dateText(9)));
    QVERIFY2(reportpdf::containsInOrder(lastRow, {"23.75 °C", "49.00 %", "101.30 Лк"}), qPrintable(lastRow));
    QVERIFY(!text.contains(dateText(1)));
    QVERIFY(!text.contains(dateText(10)));

    // Separate charts: one picture per chosen series, in the size they are made,
    // shown small enough to fit between the 2 cm margins of the page.
    QCOMPARE(reportpdf::pictures(path), QVector<QSize>(3, QSize(850, 500)));
    const double textWidth = reportpdf::pageSize(path).width() - 2 * 2 / 2.54;
    for (int dpi : reportpdf::pictureDpi(path))
        QVERIFY2(850.0 / dpi <= textWidth, qPrintable(QString("%1 dpi on %2 in").arg(dpi).arg(textWidth)));
}

void TestReport::shortReport_headingsAndStatisticsOnly_evenPastTheRowLimit()
{
    ModelLogRecord model;
    QVector<LogRecord> records;
    for (int i = 0; i < 2600; ++i) {
        LogRecord r;
        r.dateTime = t0.addSecs(10 * i);
        r.entries = {{1, float(i % 50), 0}, {2, 1.0f, 1}, {3, 2.0f, 5}};
        records << r;
    }
    model.setContent(77, 1, records);
    PrintSetting setting = logSetting(model, 0, 2599);
    setting.fullReport = false;
    setting.printChart = false;
    setting.seriesNames = QStringList{"Канал №1"};
    setting.endDateTime = records.constLast().dateTime;

    QTemporaryDir dir;
    const QString path = dir.filePath("short.pdf");
    ReportInteractor reports;
    QVERIFY(reports.saveReportPdf(setting, path));

    const QString text = reportpdf::text(path);
    QVERIFY2(reportpdf::containsInOrder(text, {
        "Краткий отчёт о работе прибора ZR-7.49 ID: 77,",
        "c 14.11.23 22:00:00 по 15.11.23 05:13:10.",
        "Статистика по Канал №1", "Максимальное значение 49.00 °C 14.11.2023 22:08:10",
        "Среднее значение 24.50",
        "Статистика по Доп.измерение №1", "Статистика по Канал №2", "Среднее значение 2.00",
    }), qPrintable(text));
    QVERIFY(!text.contains("Отчёт"));
    QVERIFY(reportpdf::pictures(path).isEmpty());
    QCOMPARE(reportpdf::pageCount(path), 1);
}

void TestReport::pictures_onePerChosenSeriesOrOneCommon()
{
    ModelLogRecord model;
    fillLog(model);
    PrintSetting setting = logSetting(model, 0, 11);
    setting.printChart = true;

    auto titles = [&] {
        QStringList result;
        for (const auto& chart : ReportCharts::buildLogCharts(setting))
            result << chart->title();
        return result;
    };
    // Names that match no column give no chart.
    setting.seriesNames = QStringList{"Доп.измерение №2", "Канал №9", "Канал №1"};
    QCOMPARE(titles(), QStringList({"Доп.измерение №2", "Канал №1"}));
    setting.seriesNames.clear();
    QCOMPARE(titles(), QStringList());

    setting.generalChart = true;
    setting.seriesNames = QStringList{"Канал №1", "Канал №2"};
    const ReportCharts::ChartList common = ReportCharts::buildLogCharts(setting);
    QCOMPARE(int(common.size()), 1);
    QCOMPARE(common.front()->title(), QStringLiteral("Общий график"));
    QCOMPARE(common.front()->series().size(), 2);

    setting.printChart = false;
    QCOMPARE(titles(), QStringList());

    // The common chart reaches the PDF as one picture.
    setting.printChart = true;
    QTemporaryDir dir;
    ReportInteractor reports;
    QVERIFY(reports.saveReportPdf(setting, dir.filePath("common.pdf")));
    QCOMPARE(reportpdf::pictures(dir.filePath("common.pdf")), QVector<QSize>({QSize(850, 500)}));
}

void TestReport::rowLimit_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<QString>("error");

    QTest::newRow("span of exactly 2000 passes") << true << 5 << 2005 << QString();
    QTest::newRow("span of 2001 is too much")
        << true << 5 << 2006
        << "Слишком много данных для печати: в полном отчёте может быть не более 2001 строки, в выбранном периоде "
           "их 2002. Выберите краткий отчёт или период короче";
    QTest::newRow("period ending before it begins")
        << true << 7 << 6 << "Отсутсвуют данных для печати: в выбранном периоде нет записей";
    QTest::newRow("short reports are never limited") << false << 0 << 5000 << QString();
}

void TestReport::rowLimit()
{
    QFETCH(bool, full);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(QString, error);

    ModelLogRecord model;
    fillLog(model);
    PrintSetting setting = logSetting(model, firstRow, lastRow);
    setting.fullReport = full;

    QString thrown;
    try {
        ReportLayout::checkRowLimit(setting);
    } catch (const QString& text) {
        thrown = text;
    }
    QCOMPARE(thrown, error);
    if (error.isEmpty())
        return;

    // Refused requests end with the message and leave no file behind.
    QTemporaryDir dir;
    ReportInteractor reports;
    QSignalSpy errors(&reports, &ReportInteractor::reportErrorOccurred);
    QVERIFY(!reports.saveReportPdf(setting, dir.filePath("limit.pdf")));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), error);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

void TestReport::failedReport_keepsTheFileThatWasThere_andUnwritablePathIsAnError()
{
    ModelLogRecord model;
    fillLog(model);
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    writeText(path, "previous report");

    ReportInteractor reports;
    QSignalSpy errors(&reports, &ReportInteractor::reportErrorOccurred);
    QVERIFY(!reports.saveReportPdf(logSetting(model, 0, 3000), path));
    QCOMPARE(testsupport::fileBytes(path), QByteArray("previous report"));

    // A complete report replaces it.
    QVERIFY(reports.saveReportPdf(logSetting(model, 0, 11), path));
    QVERIFY(testsupport::fileBytes(path).startsWith("%PDF"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"report.pdf"}));

    const QString nowhere = dir.filePath("missing folder/report.pdf");
    QVERIFY(!reports.saveReportPdf(logSetting(model, 0, 11), nowhere));
    QVERIFY(!reports.saveReportPdf(logSetting(model, 0, 11), dir.path()));
    QCOMPARE(errors.count(), 3);
    QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("Не удалось записать отчёт в файл %1").arg(nowhere));
    QVERIFY(!QFile::exists(nowhere));
}

void TestReport::pdfFileName_addsTheSuffixUnlessPresent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no suffix") << "/tmp/report" << "/tmp/report.pdf";
    QTest::newRow("dotted date is no suffix") << "/tmp/отчёт 21.03.2024" << "/tmp/отчёт 21.03.2024.pdf";
    QTest::newRow("already pdf") << "/tmp/report.pdf" << "/tmp/report.pdf";
    QTest::newRow("upper case pdf") << "/tmp/REPORT.PDF" << "/tmp/REPORT.PDF";
}

void TestReport::pdfFileName_addsTheSuffixUnlessPresent()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QCOMPARE(ReportInteractor::pdfFileName(typed), written);
}

void TestReport::printDialog_cancelPrintsNothing_acceptPrintsTheReport()
{
    ModelLogRecord model;
    fillLog(model);
    QTemporaryDir dir;
    const QString path = dir.filePath("printed.pdf");

    int dialogs = 0;
    bool accept = false;
    ReportInteractor reports;
    ReportInteractor::Dialogs fake;
    fake.choosePrinter = [&](QPrinter* printer) {
        ++dialogs;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return accept;
    };
    reports.setDialogs(fake);
    QSignalSpy errors(&reports, &ReportInteractor::reportErrorOccurred);

    reports.printReport(logSetting(model, 0, 11));
    QCOMPARE(dialogs, 1);
    QVERIFY(!QFile::exists(path));

    accept = true;
    reports.printReport(logSetting(model, 0, 11));
    QVERIFY(reportpdf::text(path).contains("Полный отчёт о работе прибора ZR-7.47 ID: 1234567,"));

    // A log-file report too long to print is refused before the dialog opens.
    reports.printReport(logSetting(model, 0, 2001));
    QCOMPARE(dialogs, 2);
    QCOMPARE(errors.count(), 1);
}

void TestReport::preview_paintsTheWholeReportOnEveryRepaint()
{
    ModelLogRecord model;
    fillLog(model);
    PrintSetting setting = logSetting(model, 0, 11);
    setting.printChart = true;
    setting.generalChart = true;
    setting.seriesNames = QStringList{"Канал №1"};

    QTemporaryDir dir;
    ReportInteractor reports;
    ReportInteractor::Dialogs fake;
    // The preview repaints whenever it likes, on printers set up anew.
    fake.preview = [&](QPrinter*, const std::function<void(QPrinter*)>& paint) {
        for (const QString name : {"first.pdf", "second.pdf"}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(name));
            if (name == "second.pdf")
                printer.setPageOrientation(QPageLayout::Landscape);
            paint(&printer);
        }
    };
    reports.setDialogs(fake);
    reports.previewReport(setting);

    for (const QString name : {"first.pdf", "second.pdf"}) {
        const QString text = reportpdf::text(dir.filePath(name));
        QVERIFY2(reportpdf::containsInOrder(text, {"Полный отчёт", "Статистика по Канал №1", "Отчёт", dateText(11)}),
                 qPrintable(name + ": " + text));
        QCOMPARE(reportpdf::pictures(dir.filePath(name)).size(), 1);
    }
}

void TestReport::endToEnd_dataScreenButtonsPrintPreviewAndSavePdf()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("6553F100.LOG");
    QByteArray bytes = logbytes::header(0, 7654321);
    for (int i = 0; i < 30; ++i)
        bytes += logbytes::record(1700000000u + quint32(i) * 10, logbytes::present(20.0f + i * 0.5f, 18.0f, 1),
                                  logbytes::present(50.0f + i, 17.0f, 67));
    writeText(log, bytes);

    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    auto* bridge = app.root()->findChild<DataWindow*>();
    QVERIFY(bridge);
    QString savePath = dir.filePath("отчёт 14.11.2023");
    QStringList warnings;
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return log; };
    dialogs.saveFileName = [&](const QString&, const QString&, const QString&) { return savePath; };
    bridge->setDialogs(dialogs);
    DataBaseWindow::Dialogs warningBox = DataBaseWindow::systemDialogs();
    warningBox.warning = [&](const QString& text) { warnings << text; };
    app.shell()->dataBaseWindow()->setDialogs(warningBox);
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return app.property("TableDataFileViewV2", "model").isValid()
                                             && app.shell()->modelLogRecord()->rowCount() == 30; }));
    app.setProperty("PrintReport", "visible", true);
    QVERIFY(app.emitWindowSignal("clickButtonOpenWindowPrint"));
    QVERIFY(AppHarness::waitFor([&] { return app.property("ReportSetup", "currentEndDate").toDateTime().isValid(); }));

    // "PDF": the name typed gets its suffix and the report of the panel is written.
    const QString written = savePath + ".pdf";
    QVERIFY(app.emitWindowSignal("clickButtonSaveReportPdf"));
    QVERIFY(AppHarness::waitFor([&] { return QFile::exists(written); }));
    QVERIFY2(reportpdf::text(written).contains("Краткий отчёт о работе прибора ZR-7.47 ID: 7654321,"),
             qPrintable(reportpdf::text(written)));

    // "Предпросмотр" paints the same report.
    const QString previewed = dir.filePath("preview.pdf");
    ReportInteractor::Dialogs fake;
    fake.choosePrinter = [](QPrinter*) { return false; };
    fake.preview = [&](QPrinter* printer, const std::function<void(QPrinter*)>& paint) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(previewed);
        paint(printer);
    };
    app.shell()->reportInteractor()->setDialogs(fake);
    QVERIFY(app.emitWindowSignal("clickButtonPreviewPrint"));
    // The file appears before the painter has finished it: wait for its text.
    QVERIFY(AppHarness::waitFor(
        [&] { return reportpdf::text(previewed).contains("Краткий отчёт о работе прибора ZR-7.47 ID: 7654321,"); }));

    // A report that cannot be written is said in the warning box of the
    // database screen, which says every report error.
    savePath = dir.filePath("missing folder/report");
    QVERIFY(app.emitWindowSignal("clickButtonSaveReportPdf"));
    QVERIFY(AppHarness::waitFor([&] { return !warnings.isEmpty(); }));
    QCOMPARE(warnings, QStringList({"Не удалось записать отчёт в файл " + savePath + ".pdf"}));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
