// The database screen: the whole road through the real application (a log
// downloaded from the simulated instrument and another opened from a file,
// both stored, filtered, exported, charted and partly deleted), an empty
// archive, failed requests, the report period's rows and the chart's time
// order on a day the computer's clock changes.
#include "AppHarness.h"
#include "LogFileBytes.h"
#include "ReportPdf.h"
#include "ZrSimulator.h"

#include "app/ApplicationShell.h"
#include "screens/DataWindow.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "database/DataBaseFilters.h"
#include "database/DataBaseInteractor.h"
#include "screens/DataBaseWindow.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"
#include "screens/SelectionChartFeed.h"
#include "database/TableDBModel.h"
#include "report/ReportInteractor.h"
#include "device/ModelDeviceFileInfo.h"

#include <QGuiApplication>
#include <QIdentityProxyModel>
#include <QPrinter>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSqlDatabase>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtCharts/QXYSeries>
#include <QtTest>

using namespace QtCharts;

namespace {

QStringList run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {program + QStringLiteral(" failed: ") + QString::fromUtf8(process.readAllStandardError()).right(400)};
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList sqlite(const QString& file, const QString& sql)
{
    return run(QStringLiteral("sqlite3"), {file, sql});
}

QObject* objectOf(const QVariant& value)
{
    return value.value<QObject*>();
}

// What the user reads in a date field of the page.
QString shown(const QVariant& value)
{
    return value.toDateTime().toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

// A "dd.MM.yyyy hh:mm:ss" reading of the instrument's clock (never parsed as
// local time, which may not have it).
QDateTime clockOf(const QString& text)
{
    return QDateTime(QDate::fromString(text.left(10), QStringLiteral("dd.MM.yyyy")),
                     QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss")), Qt::UTC);
}

QString clockText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

// The application has created the archive's tables.
bool archiveReady(const QString& archive)
{
    return AppHarness::waitFor([&] {
        return sqlite(archive, "SELECT count(*) FROM sqlite_master WHERE name = 'RECORD_ZR'") == QStringList{"1"};
    });
}

// The delegate of a filter list that shows `text`, or nullptr.
QQuickItem* listEntry(const AppHarness& app, const QString& listName, const QString& text)
{
    auto* list = qobject_cast<QQuickItem*>(app.object(listName + QStringLiteral("List")));
    QQuickItem* content = list ? list->property("contentItem").value<QQuickItem*>() : nullptr;
    if (!content)
        return nullptr;
    for (QQuickItem* item : content->childItems())
        if (item->property("text").toString() == text)
            return item;
    return nullptr;
}

QStringList listTexts(const AppHarness& app, const QString& listName)
{
    QStringList texts;
    auto* list = qobject_cast<QQuickItem*>(app.object(listName + QStringLiteral("List")));
    QQuickItem* content = list ? list->property("contentItem").value<QQuickItem*>() : nullptr;
    for (QQuickItem* item : content ? content->childItems() : QList<QQuickItem*>())
        if (item->property("text").isValid())
            texts << item->property("text").toString();
    return texts;
}

void click(const AppHarness& app, QQuickItem* item)
{
    auto* window = qobject_cast<QQuickWindow*>(app.root());
    QVERIFY(window && item);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                      item->mapToScene(QPointF(12, item->height() / 2)).toPoint());
}

DataBaseWindow* screenOf(const AppHarness& app)
{
    return app.shell() ? app.shell()->dataBaseWindow() : nullptr;
}

struct Collected
{
    QStringList warnings;
    QStringList questions;
    QStringList information;
    bool answer = true;
    QString savePath;
};

void useTestDialogs(DataBaseWindow* screen, Collected& collected)
{
    DataBaseWindow::Dialogs dialogs;
    dialogs.saveFileName = [&collected](const QString&, const QString&, const QString&) { return collected.savePath; };
    dialogs.warning = [&collected](const QString& text) { collected.warnings << text; };
    dialogs.question = [&collected](const QString& text) {
        collected.questions << text;
        return collected.answer;
    };
    dialogs.information = [&collected](const QString& text) { collected.information << text; };
    screen->setDialogs(dialogs);
}

QList<QPointF> seriesPoints(const AppHarness& app, int index)
{
    const QVariant entry = app.object(QStringLiteral("ChartDataBaseView"))->property("modelNameSeries");
    auto* legend = qobject_cast<QAbstractItemModel*>(objectOf(entry));
    if (!legend || index >= legend->rowCount())
        return {};
    const int seriesRole = legend->roleNames().key("series");
    auto* series = qobject_cast<QXYSeries*>(objectOf(legend->index(index, 0).data(seriesRole)));
    return series ? series->points() : QList<QPointF>();
}

QStringList legendNames(const AppHarness& app)
{
    const QVariant entry = app.object(QStringLiteral("ChartDataBaseView"))->property("modelNameSeries");
    auto* legend = qobject_cast<QAbstractItemModel*>(objectOf(entry));
    QStringList names;
    const int nameRole = legend ? legend->roleNames().key("name") : -1;
    for (int row = 0; legend && row < legend->rowCount(); ++row)
        names << legend->index(row, 0).data(nameRole).toString();
    return names;
}

const qint64 firstA = 1700000000;      // 14.11.2023 22:13:20 on the instrument's clock
const qint64 firstB = 1710000000;
const quint32 idB = 7654321;

QByteArray zr749Log(int records)
{
    QByteArray bytes = logbytes::header(1, idB);
    for (int i = 0; i < records; ++i)
        bytes += logbytes::record(quint32(firstB) + quint32(i) * 60, logbytes::present(20.0f + i % 9, 18.0f, 1),
                                  logbytes::present(4.0f + i % 5, 0.0f, 67));
    return bytes;
}

} // namespace

class TestDataBaseScreen : public QObject
{
    Q_OBJECT
private slots:
    void emptyArchive_showsEmptyListsAndNoError();
    void road_downloadStoreFilterExportChartAndDelete();
    void period_spansTheStoredStampsAlsoInALocalClockGap();
    void unitlessValueAndHighInstrumentNumber_readPlainlyAndStillFilter();
    void periodPanel_closesOnEscAndOnAPressOutside();
    void filterRequestBeforeAnyFilterLists_saysToWaitAndSendsNothing();
    void filterLists_stayDetachedWhileAnyReadingIsQueued();
    void failedRequests_giveBackCursorButtonsAndLists();
    void export_readsTheSelectionAlone_andTheTableComesBack();
    void findRow_readsTheSelectionsTimeTexts_data();
    void findRow_readsTheSelectionsTimeTexts();
    void reportRows_holdOnlyRecordsWithinThePeriod_data();
    void reportRows_holdOnlyRecordsWithinThePeriod();
    void chartLine_comesInTimeOrderAndNeverRunsBack();
};

void TestDataBaseScreen::emptyArchive_showsEmptyListsAndNoError()
{
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    Collected collected;
    useTestDialogs(screenOf(app), collected);
    const QVariant beginBefore = app.property("PeriodDataBase", "currentBeginTime");
    const QVariant endBefore = app.property("PeriodDataBase", "currentEndDate");

    QVERIFY(app.openDataBasePage());
    QCOMPARE(app.property("DataBaseMenu", "visible"), QVariant(true));
    QCOMPARE(app.property("FilterTypeChannel", "count").toInt(), 0);
    QCOMPARE(app.property("FilterTypeUnit", "count").toInt(), 0);
    QCOMPARE(app.property("FilterDevice", "count").toInt(), 0);
    QCOMPARE(app.property("PeriodDataBase", "currentBeginTime"), beginBefore);
    QCOMPARE(app.property("PeriodDataBase", "currentEndDate"), endBefore);
    QVERIFY(app.shell()->dataBaseInteractor()->filters()->modelDevice()->tickedItems().isEmpty());

    // Filtering an empty archive gives an empty table, still without a word.
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(app.shell()->tableDBModel()->rowCount(), 0);
    QVERIFY(collected.warnings.isEmpty());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestDataBaseScreen::road_downloadStoreFilterExportChartAndDelete()
{
    // Instrument A, a ZR-7.47, serves a run of 300 records, more than one
    // fetch of a query model; an ID of its own keeps the two time-zone runs'
    // download folders apart.
    ZrSimulator::Options options;
    options.id = 5000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    options.defaultFiles = false;
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    SimRunSpec spec;
    spec.records = 300;
    spec.start = QDateTime::fromSecsSinceEpoch(firstA, Qt::UTC);
    sim.addRun(spec);

    AppHarness app({sim.portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    DataBaseWindow* screen = screenOf(app);
    Collected collected;
    useTestDialogs(screen, collected);
    // Every message box of both screens, to see each error said once.
    QString openPath;
    DataWindow::Dialogs dataDialogs = DataWindow::systemDialogs();
    dataDialogs.openFileName = [&](const QString&, const QString&, const QString&) { return openPath; };
    dataDialogs.warning = [&](const QString& text) { collected.warnings << text; };
    app.shell()->dataWindow()->setDialogs(dataDialogs);
    const QString archive = app.databasePath();
    QTemporaryDir dir;

    // Download, show, store.
    QVERIFY(AppHarness::waitFor([&] { return app.shell()->modelFilesInfo()->rowCount() == 1; }, 30000));
    QVERIFY(app.emitWindowSignal("currentNameFileChange", QStringLiteral("6553F100.LOG")));
    QVERIFY(app.emitWindowSignal("clickOpenCurrentFileFromDevice"));
    QVERIFY(AppHarness::waitFor([&] { return app.shell()->modelLogRecord()->rowCount() == 300; }, 30000));
    QVERIFY(app.waitForProperty("DataWindow", "visible", true));
    QVERIFY(app.emitWindowSignal("clickButtonSaveInDB"));
    QVERIFY(AppHarness::waitFor([&] {
        return sqlite(archive, "SELECT count(DISTINCT DateTime) FROM RECORD_ZR") == QStringList{"300"};
    }, 30000));
    QVERIFY(app.waitForProperty("DataWindow", "enabled", true));

    // First visit: the instrument is chosen, the period spans exactly the
    // stored time stamps, the lists hold what was stored.
    QVERIFY(app.openDataBasePage());
    const QString idA = QString::number(options.id);
    QCOMPARE(listTexts(app, "FilterDevice"), QStringList{"ZR-7.47 №" + idA});
    QVERIFY(listEntry(app, "FilterDevice", "ZR-7.47 №" + idA)->property("checked").toBool());
    QCOMPARE(shown(app.property("PeriodDataBase", "minDate")), clockText(firstA));
    QCOMPARE(shown(app.property("PeriodDataBase", "maxDate")), clockText(firstA + 299 * 10));
    QCOMPARE(shown(app.property("PeriodDataBase", "currentBeginTime")), clockText(firstA));
    QCOMPARE(shown(app.property("PeriodDataBase", "currentEndTime")), clockText(firstA + 299 * 10));
    QCOMPARE(listTexts(app, "FilterTypeChannel"),
             QStringList({"Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"}));
    QVERIFY(!listTexts(app, "FilterTypeUnit").isEmpty());

    // Two channels ticked in the list: one row per time stamp with them,
    // statistics of both, a line of each on the chart.
    click(app, listEntry(app, "FilterTypeChannel", "Канал №2"));
    click(app, listEntry(app, "FilterTypeChannel", "Канал №1"));
    QVERIFY(app.applyDataBaseFilter());
    TableDBModel* table = app.shell()->tableDBModel();
    QCOMPARE(table->rowCount(), 300);
    QCOMPARE(table->roles(), QStringList({"Дата", "Канал №1", "Канал №2", "№ прибора"}));
    QCOMPARE(app.property("TableDB", "columnCount").toInt(), 4);
    QCOMPARE(screen->statisticsModel()->getHeader(), QStringList({"", "Канал №1", "Канал №2"}));
    const QString maxChannel1 = sqlite(archive, "SELECT round(max(Value), 2) FROM RECORD_ZR JOIN TYPE_CHANNEL "
                                                "USING(idTypeChannel) WHERE nameChannel = 'Канал №1'").value(0);
    const QString maxCell = screen->statisticsModel()->cellText(ModelStatistics::MaximumRow, 1);
    QCOMPARE(maxCell.section(' ', 0, 0).toDouble(), maxChannel1.toDouble());
    QVERIFY(AppHarness::waitFor([&] { return app.object("ChartDataBaseView")->property("seriesCount").toInt() == 2; }));
    const QList<QPointF> line = seriesPoints(app, 0);
    QCOMPARE(line.size(), 300);
    for (int i = 1; i < line.size(); ++i)
        QCOMPARE(line.at(i).x() - line.at(i - 1).x(), 10000.0);
    QVERIFY(!QGuiApplication::overrideCursor());

    // A report of the range the chart shows, rows 100 to 199, from each of
    // the report panel's buttons: printed, previewed and written as PDF.
    QVERIFY(app.setProperty("ChartDataBaseView", "maxAxisX", double(firstA + 1990) * 1000));
    QVERIFY(app.setProperty("ChartDataBaseView", "minAxisX", double(firstA + 1000) * 1000));
    // The report panel says which period it will print: the chart's, not the filter's.
    QCOMPARE(screen->reportPeriodText(), "Период отчёта (видимая часть графика):\nс " + clockText(firstA + 1000) + " по "
                                             + clockText(firstA + 1990) + ", записей: 100");
    ReportInteractor::Dialogs printer;
    QString printedPath;
    printer.choosePrinter = [&](QPrinter* device) {
        device->setOutputFormat(QPrinter::PdfFormat);
        device->setOutputFileName(printedPath);
        return true;
    };
    printer.preview = [&](QPrinter* device, const std::function<void(QPrinter*)>& paint) {
        device->setOutputFormat(QPrinter::PdfFormat);
        device->setOutputFileName(printedPath);
        paint(device);
    };
    app.shell()->reportInteractor()->setDialogs(printer);
    for (const char* button : {"printButtonDB", "previewButtonDB", "pdfButtonDB"}) {
        collected.savePath = dir.filePath(QStringLiteral("отчёт ") + button);
        printedPath = collected.savePath + ".pdf";
        QVERIFY(QMetaObject::invokeMethod(app.object(button), "clicked"));
        // The file appears when painting starts; it is whole once it has its end marker.
        QVERIFY2(AppHarness::waitFor([&] {
            QFile pdf(printedPath);
            return pdf.open(QIODevice::ReadOnly) && pdf.readAll().trimmed().endsWith("%%EOF");
        }), button);
        const QString report = reportpdf::text(printedPath);
        QVERIFY2(reportpdf::containsInOrder(report, {clockText(firstA + 1000), clockText(firstA + 1990)}),
                 qPrintable(report));
        QVERIFY(!report.contains(clockText(firstA + 990)));
        QVERIFY(!report.contains(clockText(firstA + 2000)));
    }
    // A report that cannot be written is said once, by this screen.
    collected.savePath = dir.filePath("нет такой папки/отчёт");
    QVERIFY(QMetaObject::invokeMethod(app.object("pdfButtonDB"), "clicked"));
    QVERIFY(AppHarness::waitFor([&] { return !collected.warnings.isEmpty(); }));
    QVERIFY(AppHarness::drainQueued(app.shell()->reportInteractor()));
    QCOMPARE(collected.warnings, QStringList{"Не удалось записать отчёт в файл " + collected.savePath + ".pdf"});
    collected.warnings.clear();

    // Both exports hold every row.
    collected.savePath = dir.filePath("selection.csv");
    QVERIFY(app.emitWindowSignal("clickSaveDBAsCSV"));
    QVERIFY(AppHarness::waitFor([&] { return QFile::exists(collected.savePath) && !screen->isWaiting(); }));
    QFile csv(collected.savePath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> csvLines = csv.readAll().split('\n');
    QCOMPARE(csvLines.size(), 302); // header, 300 rows, nothing after the last LF
    // Written for a spreadsheet with Russian settings.
    QTextCodec* cp1251 = QTextCodec::codecForName("Windows-1251");
    QCOMPARE(cp1251->toUnicode(csvLines.at(0)), QStringLiteral("Дата;Канал №1;ед.изм.;Канал №2;ед.изм.;№ прибора;"));
    QVERIFY(cp1251->toUnicode(csvLines.at(300)).startsWith(clockText(firstA + 299 * 10) + ";"));

    collected.savePath = dir.filePath("selection.xlsx");
    QVERIFY(app.emitWindowSignal("clickSaveDBAsXLSX"));
    QVERIFY(AppHarness::waitFor([&] { return QFile::exists(collected.savePath) && !screen->isWaiting(); }));
    // Values are numbers a spreadsheet can sum, equal to the table's to two decimals.
    const QStringList workbook = run("/usr/bin/python3", {"-c", "import openpyxl,sys; s=openpyxl.load_workbook(sys.argv[1]).worksheets[0]; "
                                            "print(s.max_row); print(s.cell(s.max_row, 1).value); "
                                            "v=s.cell(4, 2).value; print(type(v).__name__ in ('int', 'float')); "
                                            "print('%.2f' % v)", collected.savePath});
    QCOMPARE(workbook,
             QStringList({"303", QDateTime::fromSecsSinceEpoch(firstA + 299 * 10, Qt::UTC).toString("yyyy-MM-dd hh:mm:ss"),
                          "True", table->index(0, 1).data().toString().section(' ', 0, 0)}));
    QVERIFY(objectOf(app.property("TableDB", "model")));

    // Instrument B, a ZR-7.49, comes from a file; its instrument is chosen
    // instead of A, and the same channels show its rows only.
    const QString fileB = dir.filePath("65E0C780.LOG");
    {
        QFile file(fileB);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(zr749Log(120));
    }
    openPath = fileB;
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return app.shell()->modelLogRecord()->deviceId() == idB; }));
    QVERIFY(app.waitForProperty("DataWindow", "visible", true));
    QVERIFY(app.emitWindowSignal("clickButtonSaveInDB"));
    QVERIFY(AppHarness::waitFor([&] {
        return sqlite(archive, "SELECT count(DISTINCT DateTime) FROM RECORD_ZR WHERE idDevice = " + QString::number(idB))
            == QStringList{"120"};
    }, 30000));
    QVERIFY(app.waitForProperty("DataWindow", "enabled", true));

    QVERIFY(app.openDataBasePage());
    QCOMPARE(listTexts(app, "FilterDevice").size(), 2);
    // The table on screen keeps its period in the picker.
    QCOMPARE(shown(app.property("PeriodDataBase", "currentEndTime")), clockText(firstA + 299 * 10));
    QCOMPARE(shown(app.property("PeriodDataBase", "maxDate")), clockText(firstB + 119 * 60));
    click(app, listEntry(app, "FilterDevice", "ZR-7.49 №" + QString::number(idB)));
    QCOMPARE(app.shell()->dataBaseInteractor()->filters()->modelDevice()->tickedItems(), QList<int>{int(idB)});
    QVERIFY(app.setProperty("PeriodDataBase", "currentEndDate", app.property("PeriodDataBase", "maxDate")));
    QVERIFY(app.setProperty("PeriodDataBase", "currentEndTime", app.property("PeriodDataBase", "maxDate")));
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(table->rowCount(), 120);
    QCOMPARE(table->index(0, 3).data().toUInt(), idB);

    // Back to A. Rows chosen in the table go, and the same filter runs again.
    click(app, listEntry(app, "FilterDevice", "ZR-7.47 №" + idA));
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(table->rowCount(), 300);
    QObject* selection = app.object("TableDBRecords")->property("selection").value<QObject*>();
    QVERIFY(QMetaObject::invokeMethod(selection, "select", Q_ARG(QVariant, 0), Q_ARG(QVariant, 2)));
    QVERIFY(AppHarness::waitFor([&] { return screen->selectedRows().size() == 3; }));
    // Asked first; "Нет" leaves everything.
    collected.answer = false;
    QSignalSpy deleteRequests(screen, &DataBaseWindow::deleteDataDB);
    QVERIFY(app.emitWindowSignal("clickButtonDeleteItems"));
    QVERIFY(AppHarness::waitFor([&] { return !collected.questions.isEmpty(); }));
    QCOMPARE(collected.questions, QStringList{"Удалить 6 значений за 3 момента времени?"});
    QCOMPARE(deleteRequests.count(), 0);
    // "Да": the values shown go, those of the channels not shown stay.
    collected.answer = true;
    const QString valuesOfA = "SELECT count(*) FROM RECORD_ZR JOIN TYPE_CHANNEL USING(idTypeChannel) WHERE idDevice = "
        + idA + " AND nameChannel LIKE '%1'";
    const QStringList extraBefore = sqlite(archive, valuesOfA.arg("Доп%"));
    QVERIFY(app.emitWindowSignal("clickButtonDeleteItems"));
    QVERIFY(AppHarness::waitFor([&] { return !collected.information.isEmpty() && !screen->isWaiting(); }, 30000));
    QCOMPARE(collected.information, QStringList{"Удалено 6 значений"});
    QCOMPARE(table->rowCount(), 300);
    QVERIFY(table->index(0, 1).data().isNull());
    QCOMPARE(sqlite(archive, valuesOfA.arg("Канал%")), QStringList{"594"});
    QCOMPARE(sqlite(archive, valuesOfA.arg("Доп%")), extraBefore);
    QCOMPARE(sqlite(archive, "SELECT count(DISTINCT DateTime) FROM RECORD_ZR WHERE idDevice = " + QString::number(idB)),
             QStringList{"120"});
    QVERIFY(objectOf(app.property("TableDB", "model")));
    QVERIFY(app.property("ItemButtonsDB", "enabled").toBool());

    // Further down the table, a delete leaves the user where the rows went.
    QObject* view = app.object("TableDBRecords");
    QVERIFY(QMetaObject::invokeMethod(view, "positionViewAtRow", Q_ARG(QVariant, 200), Q_ARG(QVariant, 0)));
    QVERIFY(AppHarness::waitFor([&] { return app.property("TableDB", "topRow").toInt() == 200; }));
    QVERIFY(QMetaObject::invokeMethod(selection, "select", Q_ARG(QVariant, 200), Q_ARG(QVariant, 201)));
    QVERIFY(AppHarness::waitFor([&] { return screen->selectedRows().size() == 2; }));
    QVERIFY(app.emitWindowSignal("clickButtonDeleteItems"));
    QVERIFY(AppHarness::waitFor([&] { return collected.information.size() == 2 && !screen->isWaiting(); }, 30000));
    QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDB", "model")) != nullptr; }));
    QTRY_COMPARE(app.property("TableDB", "topRow").toInt(), 200);

    // A new selection forgets the rows chosen in the old one.
    QVERIFY(QMetaObject::invokeMethod(selection, "select", Q_ARG(QVariant, 5), Q_ARG(QVariant, 6)));
    QVERIFY(AppHarness::waitFor([&] { return screen->selectedRows().size() == 2; }));
    QVERIFY(app.applyDataBaseFilter());
    QVERIFY(screen->selectedRows().isEmpty());
    QSignalSpy deletes(screen, &DataBaseWindow::deleteDataDB);
    QVERIFY(app.emitWindowSignal("clickButtonDeleteItems"));
    QVERIFY(AppHarness::drainQueued(screen));
    QCOMPARE(deletes.count(), 0);

    // All of A goes: its instrument and the channel only A had leave the
    // lists, B is chosen, and A's filter now finds nothing.
    click(app, listEntry(app, "FilterTypeChannel", "Доп.измерение №1"));
    click(app, listEntry(app, "FilterTypeChannel", "Доп.измерение №2"));
    QVERIFY(app.applyDataBaseFilter());
    QVERIFY(QMetaObject::invokeMethod(selection, "selectAll"));
    QVERIFY(AppHarness::waitFor([&] { return screen->selectedRows().size() == 300; }));
    QVERIFY(app.emitWindowSignal("clickButtonDeleteItems"));
    QVERIFY(AppHarness::waitFor([&] { return table->rowCount() == 0 && !screen->isWaiting(); }, 30000));
    QVERIFY(AppHarness::waitFor([&] { return listTexts(app, "FilterDevice").size() == 1; }));
    QCOMPARE(listTexts(app, "FilterDevice"), QStringList{"ZR-7.49 №" + QString::number(idB)});
    QVERIFY(!listTexts(app, "FilterTypeChannel").contains("Доп.измерение №2"));
    QCOMPARE(app.shell()->dataBaseInteractor()->filters()->modelDevice()->tickedItems(), QList<int>{int(idB)});
    QCOMPARE(sqlite(archive, "SELECT count(*) FROM TYPE_DEVICE"), QStringList{"1"});
    QVERIFY(collected.warnings.isEmpty());
    QVERIFY(!QGuiApplication::overrideCursor());

    app.shell()->stopWorkers();
    QDir(AppHarness::logFolder(options.id)).removeRecursively();
}

void TestDataBaseScreen::period_spansTheStoredStampsAlsoInALocalClockGap()
{
    // The first and the last reading lie in the hours New York's clock skips
    // in spring and repeats in autumn; the picker must still hold all of them.
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    const QString archive = app.databasePath();
    QVERIFY(archiveReady(archive));
    QStringList inserts = {"INSERT INTO TYPE_DEVICE VALUES (1, 'ZR-7.47', NULL);", "INSERT INTO UNIT VALUES (1, '°C');",
                           "INSERT INTO TYPE_CHANNEL VALUES (1, 'Канал №1');"};
    const QStringList readings = {"2024-03-10 02:30:00", "2024-03-10 02:40:00", "2024-03-10 03:10:00",
                                  "2024-11-03 01:10:00", "2024-11-03 01:40:00"};
    for (const QString& reading : readings)
        inserts << "INSERT INTO RECORD_ZR (DateTime, Value, idUnit, idTypeChannel, idDevice) VALUES ('" + reading
                       + "', 1.5, 1, 1, 1);";
    QCOMPARE(sqlite(archive, inserts.join(' ')), QStringList());
    QVERIFY(app.openDataBasePage());
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(app.shell()->tableDBModel()->rowCount(), readings.size());
    const QList<QVariant> period = screenOf(app)->filters().values("DateTime");
    QCOMPARE(period.size(), 2);
    QCOMPARE(std::min(period.at(0).toDateTime(), period.at(1).toDateTime()),
             QDateTime(QDate(2024, 3, 10), QTime(2, 30), Qt::UTC));
    QCOMPARE(std::max(period.at(0).toDateTime(), period.at(1).toDateTime()),
             QDateTime(QDate(2024, 11, 3), QTime(1, 40), Qt::UTC));
    app.shell()->stopWorkers();
}

void TestDataBaseScreen::unitlessValueAndHighInstrumentNumber_readPlainlyAndStillFilter()
{
    // Instrument 3000000000 is kept as its signed 32-bit twin; the unit of
    // the first value is empty.
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    const QString archive = app.databasePath();
    QVERIFY(archiveReady(archive));
    const QStringList inserts = {
        "INSERT INTO TYPE_DEVICE VALUES (-1294967296, 'ZR-7.49', NULL);",
        "INSERT INTO TYPE_DEVICE VALUES (7, 'ZR-7.47', NULL);",
        "INSERT INTO UNIT VALUES (1, '');",
        "INSERT INTO UNIT VALUES (2, '°C');",
        "INSERT INTO TYPE_CHANNEL VALUES (1, 'Канал №1');",
        "INSERT INTO RECORD_ZR (DateTime, Value, idUnit, idTypeChannel, idDevice)"
        " VALUES ('2024-05-01 10:00:00', 1.5, 1, 1, -1294967296);",
        "INSERT INTO RECORD_ZR (DateTime, Value, idUnit, idTypeChannel, idDevice)"
        " VALUES ('2024-05-01 10:00:00', 2.5, 2, 1, 7);",
        "INSERT INTO RECORD_ZR (DateTime, Value, idUnit, idTypeChannel, idDevice)"
        " VALUES ('2024-05-01 10:01:00', 3.5, 2, 1, -1294967296);"};
    QCOMPARE(sqlite(archive, inserts.join(' ')), QStringList());
    QVERIFY(app.openDataBasePage());
    QTRY_VERIFY(listTexts(app, "FilterTypeUnit").contains("без единиц"));
    QVERIFY(!listTexts(app, "FilterTypeUnit").contains(QString()));
    QVERIFY(listTexts(app, "FilterDevice").contains("ZR-7.49 №3000000000"));

    // The instrument's "Канал №1" holds a value without unit, then one in °C:
    // two lines, each named with its unit and holding its own value alone.
    // The report panel stays open meanwhile.
    QVERIFY(app.setProperty("PrintReportDBWindow", "visible", true));
    click(app, listEntry(app, "FilterDevice", "ZR-7.49 №3000000000"));
    click(app, listEntry(app, "FilterTypeChannel", "Канал №1"));
    QVERIFY(app.applyDataBaseFilter());
    QTRY_VERIFY(app.property("reportPeriodText", "text").toString().endsWith("записей: 2"));
    QCOMPARE(app.shell()->tableDBModel()->rowCount(), 2);
    QTRY_COMPARE(legendNames(app), QStringList({"Канал №1, без единиц", "Канал №1, °C"}));
    const double tenOClock = double(QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC).toMSecsSinceEpoch());
    QCOMPARE(seriesPoints(app, 0), QList<QPointF>{QPointF(tenOClock, 1.5)});
    QCOMPARE(seriesPoints(app, 1), QList<QPointF>{QPointF(tenOClock + 60000, 3.5)});

    // Ticked as shown, they still find the stored rows: only the first value.
    click(app, listEntry(app, "FilterTypeUnit", "без единиц"));
    QCOMPARE(app.shell()->dataBaseInteractor()->filters()->modelDevice()->tickedItems(), QList<int>{-1294967296});
    QCOMPARE(app.shell()->dataBaseInteractor()->filters()->modelTypeUnit()->tickedItems(), QStringList{QString()});
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(app.shell()->tableDBModel()->rowCount(), 1);
    // One unit: the line keeps the column's plain name. The open report
    // panel follows the new selection.
    QTRY_COMPARE(legendNames(app), QStringList{"Канал №1"});
    QTRY_VERIFY(app.property("reportPeriodText", "text").toString().endsWith("записей: 1"));
    app.shell()->stopWorkers();
}

void TestDataBaseScreen::periodPanel_closesOnEscAndOnAPressOutside()
{
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QVERIFY(app.openDataBasePage());
    auto* window = qobject_cast<QQuickWindow*>(app.root());
    QVERIFY(window);
    window->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QObject* period = app.object("PeriodDataBase");
    QVERIFY(period);
    auto* field = period->findChild<QQuickItem*>("beginDateTime");
    auto* panel = field ? field->findChild<QQuickItem*>("dropDown") : nullptr;
    QVERIFY(panel);
    const QPoint onField = field->mapToScene(QPointF(60, 16)).toPoint();

    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, onField);
    // Fully folded out, as the user sees it before pressing anything.
    QTRY_VERIFY(panel->isVisible() && qFuzzyCompare(panel->opacity(), 1.0));
    // A press inside the open panel leaves it open.
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, panel->mapToScene(QPointF(4, 120)).toPoint());
    QVERIFY(panel->isVisible());
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(!panel->isVisible());

    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, onField);
    // Fully folded out, as the user sees it before pressing anything.
    QTRY_VERIFY(panel->isVisible() && qFuzzyCompare(panel->opacity(), 1.0));
    // Far from the period: on the table.
    auto* table = qobject_cast<QQuickItem*>(app.object("TableDB"));
    QVERIFY(table);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, table->mapToScene(QPointF(20, table->height() - 20)).toPoint());
    QTRY_VERIFY(!panel->isVisible());
    app.shell()->stopWorkers();
}

void TestDataBaseScreen::filterRequestBeforeAnyFilterLists_saysToWaitAndSendsNothing()
{
    QObject root;
    TableDBModel model;
    auto* screen = new DataBaseWindow(&root, &model);
    Collected collected;
    useTestDialogs(screen, collected);
    QSignalSpy requests(screen, &DataBaseWindow::setDBFiltr);
    screen->updateModel();
    QCOMPARE(requests.count(), 0);
    QCOMPARE(collected.warnings,
             QStringList{"Фильтр не применён: списки фильтров ещё не получены из базы данных. Подождите..."});
    QVERIFY(!screen->isWaiting());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestDataBaseScreen::filterLists_stayDetachedWhileAnyReadingIsQueued()
{
    // The archive refills the lists in its own thread: the views may hold
    // them only while no reading is queued there. The answers come in the
    // order the archive gives them.
    QObject root;
    for (const char* name : {"FilterTypeChannel", "FilterTypeUnit", "FilterDevice", "TableDB", "ItemButtonsDB"})
        (new QObject(&root))->setObjectName(QString::fromLatin1(name));
    TableDBModel model;
    DataBaseFilters bundle;
    // A selection of one value, as the archive would give it.
    {
        QSqlDatabase memory = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("selection"));
        memory.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(memory.open());
        bundle.modelTypeChannel()->setQuery(QStringLiteral("SELECT 1, 'Канал №1'"), memory);
        bundle.modelTypeChannel()->setTickStatus(QStringLiteral("Канал №1"), true);
        model.setQuery(QStringLiteral("SELECT '14.11.2023 22:13:20' AS 'Дата', '1.5 °C' AS 'Канал №1', 1 AS '№ прибора'"),
                       memory);
    }
    auto* screen = new DataBaseWindow(&root, &model);
    screen->setDialogs({[](const QString&, const QString&, const QString&) { return QString(); },
                        [](const QString&) {}, [](const QString&) { return true; }, [](const QString&) {}});
    QSignalSpy readings(screen, &DataBaseWindow::loadFiltersDB);
    QSignalSpy selections(screen, &DataBaseWindow::setDBFiltr);
    QSignalSpy deletes(screen, &DataBaseWindow::deleteDataDB);
    auto listsShown = [&] {
        return root.findChild<QObject*>("FilterDevice")->property("model").value<QObject*>() != nullptr;
    };

    screen->filtersRequested();
    QCOMPARE(readings.count(), 1);
    screen->showFiltersDB(&bundle);
    QVERIFY(!listsShown());
    screen->filterListsSettled();
    QVERIFY(listsShown());
    screen->updateModel();
    screen->showTableDB();
    screen->onSelectedTableDb(QVariantList{0});

    // A delete fails while the menu's button already asked for the lists
    // again: the delete's lists arrive, the menu's reading still refills them.
    screen->onClickButtonDeleteItems();
    QCOMPARE(deletes.count(), 1);
    screen->filtersRequested();
    screen->updateModel();
    QCOMPARE(selections.count(), 1);
    screen->showError(QStringLiteral("Ошибка запроса"));
    screen->showFiltersDB(&bundle);
    QVERIFY(!listsShown());
    screen->showTableDB();
    screen->filterListsSettled();
    QVERIFY(!listsShown());
    screen->showFiltersDB(&bundle);
    screen->filterListsSettled();
    QVERIFY(listsShown());
    // The filter pressed while the lists were read runs now that they are in.
    QCOMPARE(selections.count(), 2);
    screen->showTableDB();

    // The last reading fails: the lists it may have half refilled are neither
    // shown nor filtered by, until a reading succeeds.
    screen->filtersRequested();
    screen->showError(QStringLiteral("Ошибка запроса"));
    screen->filterListsSettled();
    QVERIFY(!listsShown());
    screen->updateModel();
    QCOMPARE(selections.count(), 2);
    screen->filtersRequested();
    screen->showFiltersDB(&bundle);
    screen->filterListsSettled();
    QVERIFY(listsShown());
    screen->updateModel();
    QCOMPARE(selections.count(), 3);
    screen->showTableDB();
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestDataBaseScreen::failedRequests_giveBackCursorButtonsAndLists()
{
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    DataBaseWindow* screen = screenOf(app);
    // What the user sees while the message is up.
    QStringList seen;
    DataBaseWindow::Dialogs dialogs;
    dialogs.saveFileName = [](const QString&, const QString&, const QString&) { return QString(); };
    dialogs.warning = [&](const QString& text) {
        seen << QStringLiteral("%1|cursor %2|buttons %3").arg(text)
                    .arg(QGuiApplication::overrideCursor() ? "busy" : "own")
                    .arg(app.property("ItemButtonsDB", "enabled").toBool() ? "on" : "off");
    };
    screen->setDialogs(dialogs);
    // An error is said once, on the screen the user is on.
    DataWindow::Dialogs dataDialogs = DataWindow::systemDialogs();
    dataDialogs.warning = [&](const QString& text) { seen << QStringLiteral("data screen: ") + text; };
    app.shell()->dataWindow()->setDialogs(dataDialogs);
    const QString archive = app.databasePath();
    QVERIFY(archiveReady(archive));
    QCOMPARE(sqlite(archive, "INSERT INTO TYPE_DEVICE VALUES (1, 'ZR-7.47', NULL); INSERT INTO UNIT VALUES (1, '°C'); "
                             "INSERT INTO TYPE_CHANNEL VALUES (1, 'Канал №1'); "
                             "INSERT INTO RECORD_ZR (DateTime, Value, idUnit, idTypeChannel, idDevice) "
                             "VALUES (datetime(1700000000, 'unixepoch'), 1.5, 1, 1, 1);"), QStringList());
    QVERIFY(app.openDataBasePage());
    click(app, listEntry(app, "FilterTypeChannel", "Канал №1"));
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(app.shell()->tableDBModel()->rowCount(), 1);

    // The archive loses its records table behind the program's back.
    QCOMPARE(sqlite(archive, "ALTER TABLE RECORD_ZR RENAME TO GONE"), QStringList());
    QVERIFY(app.emitWindowSignal("clickButtonFilters"));
    QVERIFY(AppHarness::waitFor([&] { return !seen.isEmpty() && !screen->isWaiting(); }));
    QVERIFY(AppHarness::drainQueued(app.shell()->dataBaseInteractor()));
    QCOMPARE(seen, QStringList{"Ошибка запроса|cursor own|buttons on"});
    QVERIFY(!QGuiApplication::overrideCursor());

    // A delete of rows of a table shown before fails the same way.
    QCOMPARE(sqlite(archive, "ALTER TABLE GONE RENAME TO RECORD_ZR"), QStringList());
    QVERIFY(app.applyDataBaseFilter());
    QCOMPARE(app.shell()->tableDBModel()->rowCount(), 1);
    QCOMPARE(sqlite(archive, "ALTER TABLE RECORD_ZR RENAME TO GONE"), QStringList());
    seen.clear();
    QVERIFY(app.emitWindowSignal("selectedTableDb", QVariantList{0}));
    QVERIFY(AppHarness::waitFor([&] { return screen->selectedRows() == QList<int>{0}; }));
    QVERIFY(app.emitWindowSignal("clickButtonDeleteItems"));
    QVERIFY(AppHarness::waitFor([&] { return !seen.isEmpty() && !screen->isWaiting(); }));
    QCOMPARE(seen.value(0), QStringLiteral("Ошибка запроса|cursor own|buttons on"));
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(app.property("ItemButtonsDB", "enabled").toBool());

    // The lists cannot be read either; once the archive is whole again, the
    // next visit shows them.
    seen.clear();
    QObject* menuButton = app.object("ButtonBase");
    QVERIFY(QMetaObject::invokeMethod(menuButton, "clicked"));
    QVERIFY(AppHarness::waitFor([&] { return !seen.isEmpty(); }));
    QVERIFY(!objectOf(app.property("FilterDevice", "model")));
    QCOMPARE(sqlite(archive, "ALTER TABLE GONE RENAME TO RECORD_ZR"), QStringList());
    QVERIFY(app.openDataBasePage());
    QCOMPARE(app.property("FilterDevice", "count").toInt(), 1);
    app.shell()->stopWorkers();
}

void TestDataBaseScreen::export_readsTheSelectionAlone_andTheTableComesBack()
{
    QObject root;
    for (const char* name : {"TableDB", "ItemButtonsDB"})
        (new QObject(&root))->setObjectName(QString::fromLatin1(name));
    QObject* tableView = root.findChild<QObject*>("TableDB");
    TableDBModel model;
    DataBaseWindow screen(&root, &model);
    Collected collected;
    collected.savePath = QStringLiteral("/tmp/выборка");
    useTestDialogs(&screen, collected);
    screen.showTableDB();
    QVERIFY(objectOf(tableView->property("model")));

    // The export runs in another thread: while it reads, no view does, and
    // the name gets its extension.
    QStringList seen;
    connect(&screen, &DataBaseWindow::saveCsvFromModel, &screen, [&](const QString& path, QSqlQueryModel*) {
        seen << path << (objectOf(tableView->property("model")) ? "table attached" : "table detached");
    });
    screen.onClickButtonSaveDBAsCsv();
    QCOMPARE(seen, QStringList({"/tmp/выборка.csv", "table detached"}));
    QVERIFY(screen.isWaiting());
    screen.exportFinished();
    QVERIFY(!screen.isWaiting());
    QCOMPARE(objectOf(tableView->property("model")), &model);
}

void TestDataBaseScreen::findRow_readsTheSelectionsTimeTexts_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("row");
    // Rows a day apart across a month's end, where the texts do not sort as times do.
    QTest::newRow("before the first") << "30.01.2024 00:00:00" << 0;
    QTest::newRow("the first") << "31.01.2024 12:00:00" << 0;
    QTest::newRow("between first and second") << "31.01.2024 12:00:01" << 1;
    QTest::newRow("the second") << "01.02.2024 12:00:00" << 1;
    QTest::newRow("between second and third") << "02.02.2024 11:59:59" << 2;
    QTest::newRow("the last") << "03.02.2024 12:00:00" << 3;
    QTest::newRow("after the last") << "01.01.2025 00:00:00" << 3;
}

void TestDataBaseScreen::findRow_readsTheSelectionsTimeTexts()
{
    QFETCH(QString, time);
    QFETCH(int, row);
    QStandardItemModel selection;
    for (const char* text : {"31.01.2024 12:00:00", "01.02.2024 12:00:00", "02.02.2024 12:00:00", "03.02.2024 12:00:00"})
        selection.appendRow({new QStandardItem(QString::fromLatin1(text)), new QStandardItem("1234567")});
    QCOMPARE(DataBaseWindow::findRow(&selection, clockOf(time)), row);
    QCOMPARE(DataBaseWindow::findRow(nullptr, clockOf(time)), 0);
}

void TestDataBaseScreen::reportRows_holdOnlyRecordsWithinThePeriod_data()
{
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");   // last < first: no record in the period
    // Rows a day apart at noon, across a month's end.
    QTest::newRow("the whole selection") << "30.01.2024 00:00:00" << "04.02.2024 00:00:00" << 0 << 3;
    QTest::newRow("exactly the records") << "31.01.2024 12:00:00" << "03.02.2024 12:00:00" << 0 << 3;
    QTest::newRow("end between records: the earlier") << "31.01.2024 12:00:00" << "02.02.2024 11:59:59" << 0 << 1;
    QTest::newRow("begin between records: the later") << "01.02.2024 12:00:01" << "03.02.2024 12:00:00" << 2 << 3;
    QTest::newRow("one record") << "01.02.2024 00:00:00" << "01.02.2024 23:59:59" << 1 << 1;
    QTest::newRow("between two records") << "01.02.2024 12:00:01" << "02.02.2024 11:59:59" << 2 << 1;
    QTest::newRow("before the first") << "01.01.2024 00:00:00" << "31.01.2024 11:59:59" << 0 << -1;
    QTest::newRow("after the last") << "03.02.2024 12:00:01" << "01.01.2025 00:00:00" << 4 << 3;
}

void TestDataBaseScreen::reportRows_holdOnlyRecordsWithinThePeriod()
{
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(int, first);
    QFETCH(int, last);
    QStandardItemModel selection;
    for (const char* text : {"31.01.2024 12:00:00", "01.02.2024 12:00:00", "02.02.2024 12:00:00", "03.02.2024 12:00:00"})
        selection.appendRow({new QStandardItem(QString::fromLatin1(text)), new QStandardItem("1234567")});
    const ReportRows::RowSpan rows = DataBaseWindow::findRows(&selection, clockOf(begin), clockOf(end));
    QCOMPARE(rows.first, first);
    QCOMPARE(rows.last, last);
    QCOMPARE(DataBaseWindow::findRows(nullptr, clockOf(begin), clockOf(end)).isEmpty(), true);
}

void TestDataBaseScreen::chartLine_comesInTimeOrderAndNeverRunsBack()
{
    // Readings every 20 minutes over the nights the clocks of New York jump
    // forward and fall back; one row comes out of order, one has no value.
    QStringList times;
    for (const QDate day : {QDate(2024, 3, 10), QDate(2024, 11, 3)})
        for (int minutes = 0; minutes <= 4 * 60; minutes += 20)
            times << QDateTime(day, QTime(0, 0), Qt::UTC).addSecs(minutes * 60).toString("dd.MM.yyyy hh:mm:ss");
    times.swapItemsAt(3, 4);
    QStandardItemModel selection;
    for (int i = 0; i < times.size(); ++i)
        selection.appendRow({new QStandardItem(times.at(i)),
                             new QStandardItem(i == 7 ? QString() : QStringLiteral("%1.25 °C").arg(i))});
    selection.setItemRoleNames({{Qt::DisplayRole, "display"}, {257, "Дата"}, {258, "Канал №1"}});
    // Role 258 reads column 1, as the named roles of the selection do.
    struct Roles : QIdentityProxyModel
    {
        QVariant data(const QModelIndex& index, int role) const override
        {
            return role >= 257 ? sourceModel()->index(index.row(), role - 257).data() : QIdentityProxyModel::data(index, role);
        }
    } roles;
    roles.setSourceModel(&selection);

    SelectionChartFeed feed(&roles);
    const QVector<QPointF> line = feed.points("Канал №1");
    QCOMPARE(line.size(), times.size() - 1);
    QVERIFY(feed.points("Канал №9").isEmpty());
    QStringList sorted = times;
    sorted.removeAt(7);
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return clockOf(a) < clockOf(b);
    });
    // Each step is the step of the instrument's clock: 20 minutes, or days.
    for (int i = 1; i < line.size(); ++i)
        QCOMPARE(qint64(line.at(i).x() - line.at(i - 1).x()), clockOf(sorted.at(i - 1)).msecsTo(clockOf(sorted.at(i))));
    // The row that came late is drawn in its place.
    QCOMPARE(line.at(3).y(), 4.25);
    QCOMPARE(line.at(4).y(), 3.25);
}

QTEST_MAIN(TestDataBaseScreen)
#include "tst_databasescreen.moc"
