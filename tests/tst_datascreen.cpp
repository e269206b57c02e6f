// The data screen's bridge: dialogs, detaching and attaching the views around
// a refill, the database-load state, the report period and print requests, the
// chart feed; and the whole screen through the real main window.
#include "AppHarness.h"
#include "LogFileBytes.h"

#include "app/ApplicationShell.h"
#include "report/MetaTypes.h"
#include "screens/DataWindow.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "device/ModelDeviceFileInfo.h"
#include "report/PrintSetting.h"
#include "ZrSimulator.h"

#include <QFileInfo>
#include <QQmlListReference>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

using namespace QtCharts;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

QDateTime local(const QDateTime& clock)
{
    return QDateTime(clock.date(), clock.time(), Qt::LocalTime);
}

// Position of a clock reading on the chart's time axis, written out
// independently: milliseconds since 1970-01-01 00:00 of the same clock.
double axisAt(const QDateTime& clock)
{
    const qint64 days = QDate(1970, 1, 1).daysTo(clock.date());
    return double(days * 86400000LL + clock.time().msecsSinceStartOfDay());
}

LogRecord record(const QDateTime& time, QVector<LogEntry> entries)
{
    LogRecord r;
    r.dateTime = time;
    r.entries = std::move(entries);
    return r;
}

// Three ZR-7.47 records 10 s apart; channel 2 is missing in the first one.
const QDateTime t0 = utc(2023, 11, 14, 22, 13, 20);

void fillModel(ModelLogRecord& model, int type = 0)
{
    model.setDeviceId(1234567);
    model.setDeviceType(type);
    model.setRecords({
        record(t0, {{1, 21.5f, 0}, {2, 20.0f, 0}}),
        record(t0.addSecs(10), {{1, 22.5f, 0}, {2, 20.5f, 0}, {3, 55.0f, 1}, {4, 19.0f, 0}}),
        record(t0.addSecs(20), {{1, 23.5f, 0}, {2, 21.0f, 0}, {3, 57.0f, 1}, {4, 19.5f, 0}}),
    });
}

// Records every property written on the fake QML objects, in order.
class PropertyLog : public QObject
{
public:
    struct Write { QString object; QByteArray property; QVariant value; };
    QList<Write> writes;

    void watch(QObject* object) { object->installEventFilter(this); }

    QList<Write> of(const QString& object) const
    {
        QList<Write> result;
        for (const Write& w : writes)
            if (w.object == object)
                result << w;
        return result;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::DynamicPropertyChange) {
            const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName();
            writes.append({watched->objectName(), name, watched->property(name)});
        }
        return false;
    }
};

QObject* objectOf(const QVariant& value)
{
    return value.value<QObject*>();
}

// A stand-in for the main window: plain objects carrying the names the
// bridge looks up, with dynamic properties in place of the QML ones.
struct FakeScreen
{
    QObject root;
    PropertyLog log;
    QStandardItemModel seriesList;
    ModelLogRecord model;
    DataWindow* bridge = nullptr;

    QString openCaption, openDir, openFilter;
    QStringList saveCalls;
    QString nextPath;
    QStringList warnings;

    FakeScreen()
    {
        for (const char* name : {"TableDataFileViewV2", "DeviceMenu", "DataWindow", "ButtonBase",
                                 "ButtonOpenFilesDevice", "ProcessLoadToDB", "ChartDataFileView", "ReportSetup",
                                 "DataFileCaption"}) {
            auto* child = new QObject(&root);
            child->setObjectName(QString::fromLatin1(name));
            log.watch(child);
        }
        seriesList.setItemRoleNames({{Qt::UserRole + 1, "name"}, {Qt::UserRole + 2, "checkBoxValue"}});
        bridge = new DataWindow(&root, &model);

        DataWindow::Dialogs dialogs;
        dialogs.openFileName = [this](const QString& caption, const QString& dir, const QString& filter) {
            openCaption = caption;
            openDir = dir;
            openFilter = filter;
            return nextPath;
        };
        dialogs.saveFileName = [this](const QString& caption, const QString& dir, const QString& filter) {
            saveCalls << caption + "|" + dir + "|" + filter;
            return nextPath;
        };
        dialogs.warning = [this](const QString& text) { warnings << text; };
        bridge->setDialogs(dialogs);
    }

    QObject* object(const char* name) { return root.findChild<QObject*>(QString::fromLatin1(name)); }

    void addSeries(const QString& name, bool checked)
    {
        auto* item = new QStandardItem;
        item->setData(name, Qt::UserRole + 1);
        item->setData(checked, Qt::UserRole + 2);
        seriesList.appendRow(item);
    }
};

QString writeLogFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QByteArray sampleLog(int records, qint8 type, quint32 start = 1700000000u, quint32 step = 10)
{
    QByteArray bytes = logbytes::header(type, 7654321);
    for (int i = 0; i < records; ++i)
        bytes += logbytes::record(start + quint32(i) * step,
                                  logbytes::present(20.0f + i * 0.5f, 18.0f, 1),
                                  logbytes::present(50.0f + i, 17.0f, 67));
    return bytes;
}

quint32 secondsOf(const QDateTime& clock)
{
    return quint32(clock.toSecsSinceEpoch());
}

// The real application with a file dialog that answers `next` and warnings
// collected instead of shown.
struct OpenedApp
{
    AppHarness app;
    DataWindow* bridge = nullptr;
    QString next;
    QString savePath;
    QStringList warnings;

    bool start()
    {
        if (!app.start())
            return false;
        bridge = app.root()->findChild<DataWindow*>();
        if (!bridge)
            return false;
        DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
        dialogs.openFileName = [this](const QString&, const QString&, const QString&) { return next; };
        dialogs.saveFileName = [this](const QString&, const QString&, const QString&) { return savePath; };
        dialogs.warning = [this](const QString& text) { warnings << text; };
        bridge->setDialogs(dialogs);
        return true;
    }

    // Opens `path` through the data screen and waits until it is shown with
    // a chart line per measurement column.
    bool open(const QString& path)
    {
        next = path;
        ModelLogRecord* model = app.shell()->modelLogRecord();
        const QString name = QFileInfo(path).fileName();
        return app.emitWindowSignal("clickButtonOpenFile")
            && AppHarness::waitFor([&] {
                   return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr
                       && model->fileName() == name && chartLines().size() == model->columnCount() - 1;
               });
    }

    QList<QXYSeries*> chartLines() const
    {
        QList<QXYSeries*> lines;
        auto* legend = qobject_cast<QAbstractItemModel*>(objectOf(app.property("ChartDataFileView", "modelNameSeries")));
        if (!legend)
            return lines;
        const int seriesRole = legend->roleNames().key("series");
        for (int row = 0; row < legend->rowCount(); ++row)
            lines << qobject_cast<QXYSeries*>(objectOf(legend->index(row, 0).data(seriesRole)));
        return lines;
    }

    double chartMin() const { return app.property("ChartDataFileView", "minAxisX").toDouble(); }
    double chartMax() const { return app.property("ChartDataFileView", "maxAxisX").toDouble(); }
};

DataWindow* bridgeOf(const AppHarness& app)
{
    return app.root() ? app.root()->findChild<DataWindow*>() : nullptr;
}

} // namespace

class TestDataScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void openFile_detachesViewsBeforeAskingForTheFile();
    void cancelledDialogs_emitNothingAndKeepViews();
    void saveDialogs_emitChosenPathWithTheirFilters();
    void saveDialogs_addSuffixWhenNoneTyped_data();
    void saveDialogs_addSuffixWhenNoneTyped();

    void showModel_detachesThenAttachesStatisticsBeforeRecords();
    void showModel_zr749_fourStatisticsColumns();
    void fileCaption_namesFileInstrumentSpanAndCount();

    void saveInDatabase_emitsModelRolesAndDisablesScreen();
    void saveInDatabase_withoutDatabase_warnsAndKeepsScreenUsable();
    void loadProgress_onlyExactlyHundredEnablesScreen();
    void loadProgress_ofALoadThisScreenDidNotAsk_leavesItAlone();

    void showError_passesExactText();

    void findRow_reportPeriodLimits();
    void findRow_unsortedAndEmptyModels();
    void printSetting_builtFromReportPanel();
    void printAndPreview_emitTheirOwnSignals();
    void openWindowPrint_periodFromChartWithinRecords();
    void openWindowPrint_emptyLogKeepsDefaultLimits();
    void openWindowPrint_clockSetBackLimitsAreSmallestAndLargestTime();

    void updateSeries_fillsLineNamesItAndTitlesItsAxis();
    void updateMinMaxAxisY_rangesOrHidesAxis();
    void updateSeries_springForwardNightNeverFoldsBack();

    void endToEnd_openedFileShowsTableStatisticsAndChart();
    void endToEnd_failedOpenKeepsShowingExportingAndPrintingTheLogBefore();
    void endToEnd_reportPanelBuildsPrintRequest();
    void endToEnd_reportPeriodOfOldLogsIsTheirSpan_data();
    void endToEnd_reportPeriodOfOldLogsIsTheirSpan();
    void endToEnd_logInsideSkippedHourChartsAndReportsEveryRow();
    void endToEnd_chartSpansSmallestToLargestTime();
    void endToEnd_singleMeasurementShowsItsPoint();
    void endToEnd_zoomRefillsVisibleRangeInFullDetail();
    void endToEnd_downloadedFileLandsOnDataScreen();
    void endToEnd_chartZoomsToSelectionAndDoubleClickResets();
};

void TestDataScreen::initTestCase()
{
    registerMetaTypes();
}

void TestDataScreen::openFile_detachesViewsBeforeAskingForTheFile()
{
    FakeScreen screen;
    fillModel(screen.model);
    screen.bridge->showModel();
    QObject* table = screen.object("TableDataFileViewV2");
    QVERIFY(objectOf(table->property("model")) != nullptr);

    QVariant modelAtEmit, statisticsAtEmit;
    connect(screen.bridge, &DataWindow::openFile, this, [&] {
        modelAtEmit = table->property("model");
        statisticsAtEmit = table->property("modelStatistics");
    });
    QSignalSpy opened(screen.bridge, &DataWindow::openFile);
    screen.nextPath = QStringLiteral("/data/LOG/1/6553F100.LOG");
    screen.bridge->onClickButtonOpenFile();

    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), screen.nextPath);
    QVERIFY(modelAtEmit.isValid() && objectOf(modelAtEmit) == nullptr);
    QVERIFY(statisticsAtEmit.isValid() && objectOf(statisticsAtEmit) == nullptr);
    QCOMPARE(screen.openCaption, QString());
    QCOMPARE(screen.openDir, QCoreApplication::applicationDirPath() + "/LOG");
    QCOMPARE(screen.openFilter, QStringLiteral("*.LOG"));
}

void TestDataScreen::cancelledDialogs_emitNothingAndKeepViews()
{
    FakeScreen screen;
    fillModel(screen.model);
    screen.bridge->showModel();
    QSignalSpy opened(screen.bridge, &DataWindow::openFile);
    QSignalSpy csv(screen.bridge, &DataWindow::saveCsv);
    QSignalSpy xlsx(screen.bridge, &DataWindow::saveXlsx);
    screen.log.writes.clear();

    screen.nextPath.clear();
    screen.bridge->onClickButtonOpenFile();
    screen.bridge->onClickButtonSaveAsCsv();
    screen.bridge->onClickButtonSaveAsXlsx();

    QCOMPARE(opened.count() + csv.count() + xlsx.count(), 0);
    QCOMPARE(screen.saveCalls.size(), 2);
    // A cancelled opening leaves the shown file attached.
    QVERIFY(screen.log.writes.isEmpty());
    QCOMPARE(objectOf(screen.object("TableDataFileViewV2")->property("model")), &screen.model);
}

void TestDataScreen::saveDialogs_emitChosenPathWithTheirFilters()
{
    FakeScreen screen;
    QSignalSpy csv(screen.bridge, &DataWindow::saveCsv);
    QSignalSpy xlsx(screen.bridge, &DataWindow::saveXlsx);
    screen.nextPath = QStringLiteral("/tmp/out.xlsx");
    screen.bridge->onClickButtonSaveAsXlsx();
    screen.nextPath = QStringLiteral("/tmp/out.csv");
    screen.bridge->onClickButtonSaveAsCsv();

    QCOMPARE(xlsx.count(), 1);
    QCOMPARE(xlsx.at(0).at(0).toString(), QStringLiteral("/tmp/out.xlsx"));
    QCOMPARE(csv.count(), 1);
    QCOMPARE(csv.at(0).at(0).toString(), QStringLiteral("/tmp/out.csv"));
    QCOMPARE(screen.saveCalls, QStringList({QStringLiteral("xlsx|*.xlsx|*.xlsx"),
                                            QStringLiteral("Comma-Separated Values (csv)|*.csv|*.csv")}));
}

void TestDataScreen::saveDialogs_addSuffixWhenNoneTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QString>("xlsx");
    QTest::newRow("no suffix") << "/tmp/отчёт" << "/tmp/отчёт.csv" << "/tmp/отчёт.xlsx";
    QTest::newRow("dotted folder") << "/tmp/v1.2/out" << "/tmp/v1.2/out.csv" << "/tmp/v1.2/out.xlsx";
    QTest::newRow("own suffix kept") << "/tmp/out.CSV" << "/tmp/out.CSV" << "/tmp/out.CSV";
    QTest::newRow("cancelled") << "" << "" << "";
}

void TestDataScreen::saveDialogs_addSuffixWhenNoneTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, csv);
    QFETCH(QString, xlsx);
    FakeScreen screen;
    QSignalSpy csvSaved(screen.bridge, &DataWindow::saveCsv);
    QSignalSpy xlsxSaved(screen.bridge, &DataWindow::saveXlsx);
    screen.nextPath = typed;
    screen.bridge->onClickButtonSaveAsCsv();
    screen.bridge->onClickButtonSaveAsXlsx();
    QCOMPARE(csvSaved.count(), csv.isEmpty() ? 0 : 1);
    QCOMPARE(xlsxSaved.count(), xlsx.isEmpty() ? 0 : 1);
    if (!csv.isEmpty()) {
        QCOMPARE(csvSaved.at(0).at(0).toString(), csv);
        QCOMPARE(xlsxSaved.at(0).at(0).toString(), xlsx);
    }
}

void TestDataScreen::showModel_detachesThenAttachesStatisticsBeforeRecords()
{
    FakeScreen screen;
    fillModel(screen.model);
    screen.bridge->showModel();

    const auto writes = screen.log.of(QStringLiteral("TableDataFileViewV2"));
    QCOMPARE(writes.size(), 4);
    // Both views let go first, the statistics come back before the records.
    QVERIFY(objectOf(writes[0].value) == nullptr && objectOf(writes[1].value) == nullptr);
    QCOMPARE(writes[2].property, QByteArray("modelStatistics"));
    QCOMPARE(objectOf(writes[2].value), screen.bridge->statisticsModel());
    QCOMPARE(writes[3].property, QByteArray("model"));
    QCOMPARE(objectOf(writes[3].value), &screen.model);

    QCOMPARE(screen.object("DeviceMenu")->property("visible"), QVariant(false));
    QCOMPARE(screen.object("DataWindow")->property("visible"), QVariant(true));
    QCOMPARE(screen.bridge->statisticsModel()->getHeader(),
             QStringList({QString(), "Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"}));
    // Statistics column j describes log column j.
    QCOMPARE(screen.bridge->statisticsModel()->index(0, 3).data().toString(), QStringLiteral("57.00 %"));
}

void TestDataScreen::showModel_zr749_fourStatisticsColumns()
{
    FakeScreen screen;
    fillModel(screen.model);
    screen.bridge->showModel();
    // The next file is a ZR-7.49: the old headers must not survive.
    fillModel(screen.model, 1);
    screen.bridge->showModel();
    QCOMPARE(screen.bridge->statisticsModel()->columnCount(), 4);
    QCOMPARE(screen.bridge->statisticsModel()->getHeader(),
             QStringList({QString(), "Канал №1", "Доп.измерение №1", "Канал №2"}));
}

void TestDataScreen::fileCaption_namesFileInstrumentSpanAndCount()
{
    FakeScreen screen;
    LogFileContent content;
    content.deviceId = 1234567;
    content.deviceType = 0;
    content.path = QStringLiteral("/data/LOG/1234567/6553F100.LOG");
    content.records = {record(t0, {{1, 1.0f, 0}}), record(t0.addSecs(600), {}), record(t0.addSecs(1200), {})};
    screen.model.setContent(content);
    screen.bridge->showModel();
    QCOMPARE(screen.object("DataFileCaption")->property("text").toString(),
             QStringLiteral("Файл: 6553F100.LOG   |   ZR-7.47, ID: 1234567   |   "
                            "с 14.11.2023 22:13:20 по 14.11.2023 22:33:20   |   записей: 3"));

    content.records.clear();
    content.deviceType = 1;
    screen.model.setContent(content);
    QCOMPARE(DataWindow::fileCaption(screen.model),
             QStringLiteral("Файл: 6553F100.LOG   |   ZR-7.49, ID: 1234567   |   записей: 0"));
}

void TestDataScreen::saveInDatabase_emitsModelRolesAndDisablesScreen()
{
    FakeScreen screen;
    fillModel(screen.model, 1);
    QSignalSpy write(screen.bridge, &DataWindow::writeModelToDataBase);
    screen.bridge->onClickButtonSaveInDB();

    QCOMPARE(write.count(), 1);
    const QList<QVariant> args = write.at(0);
    // A copy read through the measurement-column, raw-value and unit roles.
    const LogSnapshot log = args.at(0).value<LogSnapshot>();
    QCOMPARE(log.channels, QStringList({"Канал №1", "Доп.измерение №1", "Канал №2"}));
    QCOMPARE(log.rowCount(), 3);
    QCOMPARE(log.seconds.at(1), t0.addSecs(10).toSecsSinceEpoch());
    QCOMPARE(log.cell(1, 2).value, 55.0f);
    QCOMPARE(log.units.at(log.cell(1, 2).unit), QStringLiteral("%"));
    QVERIFY(!log.cell(0, 2).hasValue());
    QCOMPARE(args.at(1).toUInt(), 1234567u);
    QCOMPARE(args.at(2).toString(), QStringLiteral("ZR-7.49"));
    for (const char* name : {"DataWindow", "ButtonBase", "ButtonOpenFilesDevice"})
        QCOMPARE(screen.object(name)->property("enabled"), QVariant(false));
}

void TestDataScreen::saveInDatabase_withoutDatabase_warnsAndKeepsScreenUsable()
{
    FakeScreen screen;
    fillModel(screen.model, 1);
    screen.bridge->onClickButtonSaveInDB();

    QCOMPARE(screen.warnings, QStringList({QStringLiteral("База данных недоступна")}));
    for (const char* name : {"DataWindow", "ButtonBase", "ButtonOpenFilesDevice"})
        QCOMPARE(screen.object(name)->property("enabled"), QVariant(true));
}

void TestDataScreen::loadProgress_ofALoadThisScreenDidNotAsk_leavesItAlone()
{
    // The device page's collecting stores into the same archive while it
    // holds the open button locked: the end of that load is not this screen's.
    FakeScreen screen;
    screen.object("ButtonOpenFilesDevice")->setProperty("enabled", false);
    screen.object("ProcessLoadToDB")->setProperty("progressLoadToDB", 0.0f);
    screen.bridge->showDownloadToDataBase(40.0f);
    screen.bridge->showDownloadToDataBase(100.0f);
    QCOMPARE(screen.object("ButtonOpenFilesDevice")->property("enabled"), QVariant(false));
    QCOMPARE(screen.object("ProcessLoadToDB")->property("progressLoadToDB").toFloat(), 0.0f);
}

void TestDataScreen::loadProgress_onlyExactlyHundredEnablesScreen()
{
    FakeScreen screen;
    QSignalSpy write(screen.bridge, &DataWindow::writeModelToDataBase);
    screen.bridge->onClickButtonSaveInDB();

    screen.bridge->showDownloadToDataBase(42.5f);
    QCOMPARE(screen.object("ProcessLoadToDB")->property("progressLoadToDB").toFloat(), 42.5f);
    screen.bridge->showDownloadToDataBase(99.99f);
    QCOMPARE(screen.object("ProcessLoadToDB")->property("progressLoadToDB").toFloat(), 99.99f);
    for (const char* name : {"DataWindow", "ButtonBase", "ButtonOpenFilesDevice"})
        QCOMPARE(screen.object(name)->property("enabled"), QVariant(false));

    screen.bridge->showDownloadToDataBase(100.0f);
    for (const char* name : {"DataWindow", "ButtonBase", "ButtonOpenFilesDevice"})
        QCOMPARE(screen.object(name)->property("enabled"), QVariant(true));
}

void TestDataScreen::showError_passesExactText()
{
    FakeScreen screen;
    screen.bridge->showError(QStringLiteral("Ошибка открытия файла"));
    screen.bridge->showError(QStringLiteral("Файл поврежден "));
    QCOMPARE(screen.warnings, QStringList({"Ошибка открытия файла", "Файл поврежден "}));
}

void TestDataScreen::findRow_reportPeriodLimits()
{
    ModelLogRecord model;
    fillModel(model);   // records at t0, t0+10, t0+20
    QCOMPARE(DataWindow::findRow(&model, t0.addDays(-1)), 0);
    QCOMPARE(DataWindow::findRow(&model, t0), 0);
    QCOMPARE(DataWindow::findRow(&model, t0.addSecs(1)), 1);      // between: the later record
    QCOMPARE(DataWindow::findRow(&model, t0.addSecs(10)), 1);
    QCOMPARE(DataWindow::findRow(&model, t0.addSecs(19)), 2);
    QCOMPARE(DataWindow::findRow(&model, t0.addSecs(20)), 2);
    QCOMPARE(DataWindow::findRow(&model, t0.addYears(3)), 2);     // after the last: the last row
}

void TestDataScreen::findRow_unsortedAndEmptyModels()
{
    ModelLogRecord model;
    QCOMPARE(DataWindow::findRow(&model, t0), 0);
    QCOMPARE(DataWindow::findRow(nullptr, t0), 0);

    // A clock set back during logging: the first row not earlier than t wins.
    model.setDeviceType(0);
    model.setRecords({record(t0, {}), record(t0.addSecs(100), {}), record(t0.addSecs(50), {}),
                      record(t0.addSecs(200), {})});
    QCOMPARE(DataWindow::findRow(&model, t0.addSecs(60)), 1);
    QCOMPARE(DataWindow::findRow(&model, t0.addSecs(150)), 3);
}

void TestDataScreen::printSetting_builtFromReportPanel()
{
    FakeScreen screen;
    fillModel(screen.model);
    screen.addSeries("Канал №1", true);
    screen.addSeries("Доп.измерение №1", false);
    screen.addSeries("Канал №2", true);
    QObject* panel = screen.object("ReportSetup");
    // QML hands the calendar date and the clock time over as local date-times.
    panel->setProperty("currentBeginDate", QDateTime(t0.date(), QTime(0, 0), Qt::LocalTime));
    panel->setProperty("currentBeginTime", QDateTime(QDate(2019, 2, 1), QTime(22, 13, 25), Qt::LocalTime));
    panel->setProperty("currentEndDate", QVariant(t0.date()));
    panel->setProperty("currentEndTime", QDateTime(QDate(2019, 2, 1), QTime(22, 13, 30), Qt::LocalTime));
    panel->setProperty("isPrinting", true);
    panel->setProperty("generalChart", false);
    panel->setProperty("sizeReport", true);
    panel->setProperty("model", QVariant::fromValue<QObject*>(&screen.seriesList));

    const PrintSetting setting = screen.bridge->printSettingFromPanel();
    QCOMPARE(setting.beginDateTime, t0.addSecs(5));
    QCOMPARE(setting.beginDateTime.timeSpec(), Qt::UTC);
    QCOMPARE(setting.endDateTime, t0.addSecs(10));
    QCOMPARE(setting.firstRow, 1);
    QCOMPARE(setting.lastRow, 1);
    QCOMPARE(setting.seriesNames, QStringList({"Канал №1", "Канал №2"}));
    QVERIFY(setting.printChart);
    QVERIFY(!setting.generalChart);
    QVERIFY(!setting.fullReport);
    QCOMPARE(setting.model, &screen.model);
    QCOMPARE(setting.idDevice, 1234567u);
    QCOMPARE(setting.typeDevice, QStringLiteral("ZR-7.47"));
    QCOMPARE(setting.valueRole, 257);
    QCOMPARE(setting.unitRole, 258);
    QCOMPARE(setting.columnFlagRole, 256);

    panel->setProperty("sizeReport", false);
    QVERIFY(screen.bridge->printSettingFromPanel().fullReport);
}

void TestDataScreen::printAndPreview_emitTheirOwnSignals()
{
    FakeScreen screen;
    fillModel(screen.model);
    QSignalSpy print(screen.bridge, &DataWindow::printReport);
    QSignalSpy preview(screen.bridge, &DataWindow::previewReport);
    screen.bridge->onClickButtonPrint();
    QCOMPARE(print.count(), 1);
    QCOMPARE(preview.count(), 0);
    screen.bridge->onClickButtonPreviewPrint();
    QCOMPARE(print.count(), 1);
    QCOMPARE(preview.count(), 1);
    QCOMPARE(preview.at(0).at(0).value<PrintSetting>().typeDevice, QStringLiteral("ZR-7.47"));
    // No series list on the panel yet: no series, no failure.
    QVERIFY(preview.at(0).at(0).value<PrintSetting>().seriesNames.isEmpty());
}

void TestDataScreen::openWindowPrint_periodFromChartWithinRecords()
{
    FakeScreen screen;
    fillModel(screen.model);
    QObject* chart = screen.object("ChartDataFileView");
    // The chart's range is given as time axis positions (clock readings).
    chart->setProperty("minAxisX", axisAt(t0.addSecs(3)));
    chart->setProperty("maxAxisX", axisAt(t0.addSecs(17)));
    screen.bridge->onClickButtonOpenWindowPrint();

    QObject* panel = screen.object("ReportSetup");
    QCOMPARE(panel->property("currentBeginDate").toDateTime().date(), t0.date());
    QCOMPARE(panel->property("currentBeginTime").toDateTime().time(), t0.addSecs(3).time());
    QCOMPARE(panel->property("currentEndDate").toDateTime().date(), t0.date());
    QCOMPARE(panel->property("currentEndTime").toDateTime().time(), t0.addSecs(17).time());
    // The limits are the records' clock readings as local times.
    QCOMPARE(panel->property("minDate").toDateTime(), local(t0));
    QCOMPARE(panel->property("maxDate").toDateTime(), local(t0.addSecs(20)));

    // The limits are written before anything else, so the date fields never
    // hold a period outside them.
    const auto writes = screen.log.of(QStringLiteral("ReportSetup"));
    QCOMPARE(writes.size(), 6);
    QCOMPARE(writes[0].property, QByteArray("minDate"));
    QCOMPARE(writes[1].property, QByteArray("maxDate"));

    // The period read back is the chart's range; a range wider than the log
    // (a zoom out) is cut to the log.
    QCOMPARE(screen.bridge->printSettingFromPanel().beginDateTime, t0.addSecs(3));
    chart->setProperty("minAxisX", axisAt(t0.addDays(-3)));
    chart->setProperty("maxAxisX", axisAt(t0.addDays(3)));
    screen.bridge->onClickButtonOpenWindowPrint();
    const PrintSetting setting = screen.bridge->printSettingFromPanel();
    QCOMPARE(setting.beginDateTime, t0);
    QCOMPARE(setting.endDateTime, t0.addSecs(20));
}

void TestDataScreen::openWindowPrint_emptyLogKeepsDefaultLimits()
{
    FakeScreen screen;
    screen.model.setDeviceType(0);
    // Either day is right when the call runs across midnight.
    const QDate before = QDate::currentDate();
    screen.bridge->onClickButtonOpenWindowPrint();
    const QDate after = QDate::currentDate();
    QObject* panel = screen.object("ReportSetup");
    QCOMPARE(panel->property("minDate").toDateTime(), QDateTime::fromSecsSinceEpoch(946760400));
    const QDateTime maxDate = panel->property("maxDate").toDateTime();
    QVERIFY2(maxDate == QDateTime(before, QTime(23, 59, 59, 999)) || maxDate == QDateTime(after, QTime(23, 59, 59, 999)),
             qPrintable(maxDate.toString(Qt::ISODateWithMs)));
}

void TestDataScreen::openWindowPrint_clockSetBackLimitsAreSmallestAndLargestTime()
{
    FakeScreen screen;
    screen.model.setDeviceType(0);
    screen.model.setRecords({record(t0, {}), record(t0.addSecs(600), {}), record(t0.addSecs(-3600), {}),
                             record(t0.addSecs(60), {})});
    screen.bridge->onClickButtonOpenWindowPrint();
    QObject* panel = screen.object("ReportSetup");
    QCOMPARE(panel->property("minDate").toDateTime(), local(t0.addSecs(-3600)));
    QCOMPARE(panel->property("maxDate").toDateTime(), local(t0.addSecs(600)));
}

void TestDataScreen::updateSeries_fillsLineNamesItAndTitlesItsAxis()
{
    FakeScreen screen;
    fillModel(screen.model);
    QChart chart;
    auto* series = new QLineSeries;
    series->append(1, 1);   // left over from an earlier file
    chart.addSeries(series);
    auto* axisX = new QDateTimeAxis;
    auto* axisY = new QValueAxis;
    chart.addAxis(axisX, Qt::AlignBottom);
    chart.addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);

    screen.bridge->updateSeriesFromModel(series, 3);
    QCOMPARE(series->count(), 2);   // the first record has no channel 2
    QCOMPARE(series->at(0), QPointF(axisAt(t0.addSecs(10)), 55.0));
    QCOMPARE(series->at(1).y(), 57.0);
    QCOMPARE(series->name(), QStringLiteral("Канал №2"));
    QCOMPARE(axisY->titleText(), QStringLiteral("Канал №2,%"));
    QCOMPARE(axisY->tickCount(), 15);
    QVERIFY(!series->signalsBlocked());
}

void TestDataScreen::updateMinMaxAxisY_rangesOrHidesAxis()
{
    FakeScreen screen;
    QLineSeries series;
    series.append(0, 21.5);
    QValueAxis axis;
    screen.bridge->updateMinMaxAxisY(&series, &axis);
    QCOMPARE(axis.min(), 21.45);
    QCOMPARE(axis.max(), 21.55);
    series.clear();
    screen.bridge->updateMinMaxAxisY(&series, &axis);
    QVERIFY(!axis.isVisible());
}

void TestDataScreen::updateSeries_springForwardNightNeverFoldsBack()
{
    // New York's clocks skip 02:00-03:00 on 14 March 2021; the instrument's
    // clock logs straight through. Its line keeps the clock's spacing.
    FakeScreen screen;
    screen.model.setDeviceType(0);
    const QDateTime start = utc(2021, 3, 14, 1, 0, 0);
    QVector<LogRecord> records;
    for (int i = 0; i <= 18; ++i)
        records.append(record(start.addSecs(600 * i), {{1, float(i), 0}}));
    screen.model.setRecords(records);

    QChart chart;
    auto* series = new QLineSeries;
    chart.addSeries(series);
    screen.bridge->updateSeriesFromModel(series, 1);
    QCOMPARE(series->count(), 19);
    for (int i = 0; i < series->count(); ++i)
        QCOMPARE(series->at(i).x(), axisAt(start.addSecs(600 * i)));
}

void TestDataScreen::endToEnd_openedFileShowsTableStatisticsAndChart()
{
    QTemporaryDir dir;
    const QString path = writeLogFile(dir.path(), "6553F100.LOG", sampleLog(120, 0));
    QVERIFY(!path.isEmpty());

    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    DataWindow* bridge = bridgeOf(app);
    QVERIFY(bridge);
    QStringList warnings;
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return path; };
    dialogs.warning = [&](const QString& text) { warnings << text; };
    bridge->setDialogs(dialogs);

    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr; }));
    QVERIFY(warnings.isEmpty());
    QCOMPARE(app.property("DataWindow", "visible"), QVariant(true));
    QCOMPARE(app.property("DeviceMenu", "visible"), QVariant(false));
    QCOMPARE(app.shell()->modelLogRecord()->rowCount(), 120);
    QCOMPARE(bridge->statisticsModel()->columnCount(), 5);

    // One chart line with its legend entry per measurement column; the lines
    // follow the table one by one.
    auto* legend = qobject_cast<QAbstractItemModel*>(objectOf(app.property("ChartDataFileView", "modelNameSeries")));
    QVERIFY(legend);
    QVERIFY(AppHarness::waitFor([&] { return legend->rowCount() == 4; }));
    // The time axis spans the log, in the instrument's clock reading.
    const QDateTime first = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    QCOMPARE(app.property("ChartDataFileView", "minAxisX").toDouble(), axisAt(first));
    QCOMPARE(app.property("ChartDataFileView", "maxAxisX").toDouble(), axisAt(first.addSecs(119 * 10)));
    QCOMPARE(app.property("DataFileCaption", "text").toString(),
             QStringLiteral("Файл: 6553F100.LOG   |   ZR-7.47, ID: 7654321   |   "
                            "с 14.11.2023 22:13:20 по 14.11.2023 22:33:10   |   записей: 120"));

    // A ZR-7.49 file next: the old lines and columns go, three lines remain.
    const QString second = writeLogFile(dir.path(), "6553F200.LOG", sampleLog(7, 1));
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return second; };
    bridge->setDialogs(dialogs);
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] {
        return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr
            && app.shell()->modelLogRecord()->rowCount() == 7;
    }));
    QVERIFY(AppHarness::waitFor([&] { return legend->rowCount() == 3; }));
    QCOMPARE(bridge->statisticsModel()->columnCount(), 4);
    QCOMPARE(app.property("ChartDataFileView", "maxAxisX").toDouble(), axisAt(first.addSecs(6 * 10)));
}

void TestDataScreen::endToEnd_failedOpenKeepsShowingExportingAndPrintingTheLogBefore()
{
    QTemporaryDir dir;
    const QString good = writeLogFile(dir.path(), "good.LOG", sampleLog(41, 1));
    QByteArray damagedBytes = sampleLog(5, 0);
    damagedBytes[0] = 'I';
    damagedBytes[1] = 'D';
    const QString damaged = writeLogFile(dir.path(), "damaged.LOG", damagedBytes);

    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    QVERIFY(opened.open(good));

    opened.next = damaged;
    QVERIFY(opened.app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return !opened.warnings.isEmpty(); }));
    QCOMPARE(opened.warnings, QStringList({"Файл поврежден"}));
    QVERIFY(AppHarness::waitFor([&] {
        return objectOf(opened.app.property("TableDataFileViewV2", "model")) == opened.app.shell()->modelLogRecord()
            && opened.app.property("DataFileCaption", "text").toString().startsWith("Файл: good.LOG");
    }));

    // The table, its statistics and the caption show the earlier log again...
    ModelLogRecord* model = opened.app.shell()->modelLogRecord();
    QCOMPARE(objectOf(opened.app.property("TableDataFileViewV2", "model")), model);
    QCOMPARE(objectOf(opened.app.property("TableDataFileViewV2", "modelStatistics")),
             opened.bridge->statisticsModel());
    QVERIFY(opened.app.property("DataFileCaption", "text").toString().startsWith("Файл: good.LOG"));
    // The chart is rebuilt once the screen has the model back, in its own time.
    QVERIFY(AppHarness::waitFor([&] { return opened.chartLines().size() == 3; }));

    // ...and that log is what is exported and what a report covers.
    opened.savePath = dir.filePath("after-failure");
    QVERIFY(opened.app.emitWindowSignal("clickButtonSaveAsCsv"));
    const QString csv = dir.filePath("after-failure.csv");
    QVERIFY(AppHarness::waitFor([&] { return QFileInfo(csv).size() > 0; }));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 2 + 41 + 1);
    QVERIFY(lines.at(0).startsWith("\xCF\xF0\xE8\xE1\xEE\xF0: ZR-7.49;ID: 7654321;"));
    const PrintSetting setting = opened.bridge->printSettingFromPanel();
    QCOMPARE(setting.typeDevice, QStringLiteral("ZR-7.49"));
    QCOMPARE(setting.model->rowCount(), 41);
}

void TestDataScreen::endToEnd_reportPanelBuildsPrintRequest()
{
    QTemporaryDir dir;
    const QString path = writeLogFile(dir.path(), "6553F100.LOG", sampleLog(30, 1));

    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    AppHarness& app = opened.app;
    if (!app.object("ReportSetup"))
        QSKIP("the report panel did not load in this build");
    DataWindow* bridge = opened.bridge;
    QVERIFY(opened.open(path));

    app.setProperty("PrintReport", "visible", true);
    QVERIFY(app.emitWindowSignal("clickButtonOpenWindowPrint"));
    QVERIFY(AppHarness::waitFor([&] { return app.property("ReportSetup", "currentEndDate").toDateTime().isValid(); }));
    QSignalSpy print(bridge, &DataWindow::printReport);
    QVERIFY(app.emitWindowSignal("clickButtonPrint"));
    QVERIFY(AppHarness::waitFor([&] { return print.count() == 1; }));

    const PrintSetting setting = print.at(0).at(0).value<PrintSetting>();
    // Start-up state of the panel: short report, no charts, one common chart,
    // every line of the chart chosen, the whole log as the period.
    QVERIFY(!setting.fullReport);
    QVERIFY(!setting.printChart);
    QVERIFY(setting.generalChart);
    QCOMPARE(setting.seriesNames, QStringList({"Канал №1", "Доп.измерение №1", "Канал №2"}));
    QCOMPARE(setting.beginDateTime, QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC));
    QCOMPARE(setting.endDateTime, QDateTime::fromSecsSinceEpoch(1700000000 + 29 * 10, Qt::UTC));
    QCOMPARE(setting.firstRow, 0);
    QCOMPARE(setting.lastRow, 29);
    QCOMPARE(setting.typeDevice, QStringLiteral("ZR-7.49"));
    QCOMPARE(setting.idDevice, 7654321u);
}

void TestDataScreen::endToEnd_downloadedFileLandsOnDataScreen()
{
    // An ID of its own keeps the two time-zone runs' download folders apart.
    ZrSimulator::Options options;
    options.id = 6000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    options.defaultFiles = false;
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    SimRunSpec spec;
    spec.records = 40;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    sim.addRun(spec);

    AppHarness app({sim.portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QVERIFY(AppHarness::waitFor([&] { return app.shell()->modelFilesInfo()->rowCount() == 1; }, 30000));
    QCOMPARE(app.property("DeviceMenu", "visible"), QVariant(true));

    QVERIFY(app.emitWindowSignal("currentNameFileChange", QStringLiteral("6553F100.LOG")));
    QVERIFY(app.emitWindowSignal("clickOpenCurrentFileFromDevice"));
    QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr; }, 30000));
    QCOMPARE(app.property("DataWindow", "visible"), QVariant(true));
    QCOMPARE(app.property("DeviceMenu", "visible"), QVariant(false));
    QCOMPARE(app.shell()->modelLogRecord()->rowCount(), 40);
    QCOMPARE(app.shell()->modelLogRecord()->deviceId(), options.id);
    // Beside the file name: the file is as the instrument sent it.
    QCOMPARE(app.property("DataFileCaption", "checkText").toString(), QStringLiteral("совпадает"));

    // One bit flipped on disk, the file opened again: the mark says so at once.
    const QString path = AppHarness::logFolder(options.id) + QStringLiteral("/6553F100.LOG");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(20);
    char byte = 0;
    QVERIFY(file.getChar(&byte));
    file.seek(20);
    QVERIFY(file.putChar(char(byte ^ 0x04)));
    file.close();
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return path; };
    bridgeOf(app)->setDialogs(dialogs);
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor(
        [&] { return app.property("DataFileCaption", "checkText").toString() == QStringLiteral("изменён после загрузки"); },
        30000));
    QVERIFY(app.property("DataFileCaption", "checkTip").toString().contains(QStringLiteral("SHA-256")));
    QVERIFY(app.property("DataFileCheckMark", "visible").toBool());
    if (!qEnvironmentVariableIsEmpty("ORVELIN_SCREENSHOT"))
        qobject_cast<QQuickWindow*>(app.root())->grabWindow().save(qEnvironmentVariable("ORVELIN_SCREENSHOT"));
    app.shell()->stopWorkers();
    QDir(AppHarness::logFolder(options.id)).removeRecursively();
}

void TestDataScreen::endToEnd_chartZoomsToSelectionAndDoubleClickResets()
{
    QTemporaryDir dir;
    const QString path = writeLogFile(dir.path(), "6553F100.LOG", sampleLog(200, 0));
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    DataWindow* bridge = bridgeOf(app);
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return path; };
    bridge->setDialogs(dialogs);
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr; }));
    QVERIFY(app.setProperty("DataFlipCard", "flipped", true));
    // Presses land where the chart is only once the card has turned all the way.
    QQmlListReference turns(app.object("DataFlipCard"), "transform");
    QVERIFY(turns.isValid() && turns.count() == 1);
    QVERIFY(AppHarness::waitFor([&] { return turns.at(0)->property("angle").toDouble() == 180.0; }));

    auto* window = qobject_cast<QQuickWindow*>(app.root());
    auto* chart = qobject_cast<QQuickItem*>(app.object("ChartDataFileView"));
    QVERIFY(window && chart);
    const double fullMin = chart->property("minAxisX").toDouble();
    const double fullMax = chart->property("maxAxisX").toDouble();
    const QPoint centre = chart->mapToScene(QPointF(chart->width() / 2, chart->height() / 2)).toPoint();

    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, centre - QPoint(100, 60));
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(window, centre - QPoint(100, 60) + QPoint(20, 12) * step, 5);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, centre + QPoint(100, 60));
    QVERIFY(AppHarness::waitFor([&] { return chart->property("zoomed").toBool(); }));
    QVERIFY(chart->property("minAxisX").toDouble() > fullMin);
    QVERIFY(chart->property("maxAxisX").toDouble() < fullMax);

    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    QVERIFY(AppHarness::waitFor([&] { return !chart->property("zoomed").toBool(); }));
    QCOMPARE(chart->property("minAxisX").toDouble(), fullMin);
    QCOMPARE(chart->property("maxAxisX").toDouble(), fullMax);
}

namespace {

// Collects the QML engine's complaints (script errors such as a runaway
// recursion in a date field) while it lives.
class QmlComplaints
{
public:
    QmlComplaints() { s_seen.clear(); s_previous = qInstallMessageHandler(&QmlComplaints::handle); }
    ~QmlComplaints() { qInstallMessageHandler(s_previous); }
    QStringList seen() const { return s_seen; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (text.contains(QLatin1String("Error")) || text.contains(QLatin1String("qrc:/")))
            s_seen << text;
        if (s_previous)
            s_previous(type, context, text);
    }
    static QStringList s_seen;
    static QtMessageHandler s_previous;
};
QStringList QmlComplaints::s_seen;
QtMessageHandler QmlComplaints::s_previous = nullptr;

} // namespace

void TestDataScreen::endToEnd_reportPeriodOfOldLogsIsTheirSpan_data()
{
    QTest::addColumn<QDateTime>("first");
    // An instrument whose clock was never set logs from 1970.
    QTest::newRow("1970") << utc(1970, 1, 1, 0, 0, 0);
    QTest::newRow("1999") << utc(1999, 12, 31, 23, 50, 0);
}

void TestDataScreen::endToEnd_reportPeriodOfOldLogsIsTheirSpan()
{
    QFETCH(QDateTime, first);
    QTemporaryDir dir;
    const QString path = writeLogFile(dir.path(), "OLD.LOG", sampleLog(20, 1, secondsOf(first), 60));
    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    if (!opened.app.object("ReportSetup"))
        QSKIP("the report panel did not load in this build");
    // A newer log first, so the panel moves from one period to an older one.
    QVERIFY(opened.open(writeLogFile(dir.path(), "NEW.LOG", sampleLog(30, 0))));
    QVERIFY(opened.app.emitWindowSignal("clickButtonOpenWindowPrint"));
    QVERIFY(opened.open(path));

    QmlComplaints complaints;
    QVERIFY(opened.app.setProperty("PrintReport", "visible", true));
    QVERIFY(opened.app.emitWindowSignal("clickButtonOpenWindowPrint"));
    QVERIFY(AppHarness::waitFor([&] { return opened.bridge->printSettingFromPanel().beginDateTime == first; }));
    QVERIFY2(complaints.seen().isEmpty(), qPrintable(complaints.seen().join('\n')));

    const PrintSetting setting = opened.bridge->printSettingFromPanel();
    QCOMPARE(setting.beginDateTime, first);
    QCOMPARE(setting.endDateTime, first.addSecs(19 * 60));
    QCOMPARE(setting.firstRow, 0);
    QCOMPARE(setting.lastRow, 19);
}

void TestDataScreen::endToEnd_logInsideSkippedHourChartsAndReportsEveryRow()
{
    // 02:00 to 02:50 on the night New York's clocks skip that hour.
    const QDateTime first = utc(2021, 3, 14, 2, 0, 0);
    QTemporaryDir dir;
    const QString path = writeLogFile(dir.path(), "604D6DA0.LOG", sampleLog(6, 0, secondsOf(first), 600));
    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    QVERIFY(opened.open(path));

    QCOMPARE(opened.chartMin(), axisAt(first));
    QCOMPARE(opened.chartMax(), axisAt(first.addSecs(3000)));
    for (QXYSeries* line : opened.chartLines()) {
        QCOMPARE(line->count(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(line->at(i).x(), axisAt(first.addSecs(600 * i)));
    }
    QCategoryAxis* timeAxis = nullptr;
    for (QAbstractAxis* axis : opened.chartLines().value(0)->attachedAxes())
        timeAxis = timeAxis ? timeAxis : qobject_cast<QCategoryAxis*>(axis);
    QVERIFY(timeAxis);
    QCOMPARE(timeAxis->categoriesLabels().constFirst(), QStringLiteral("14.03.21 02:00:00"));
    QCOMPARE(timeAxis->categoriesLabels().constLast(), QStringLiteral("14.03.21 02:50:00"));

    if (!opened.app.object("ReportSetup"))
        QSKIP("the report panel did not load in this build");
    QVERIFY(opened.app.setProperty("PrintReport", "visible", true));
    QVERIFY(opened.app.emitWindowSignal("clickButtonOpenWindowPrint"));
    QVERIFY(AppHarness::waitFor([&] { return opened.bridge->printSettingFromPanel().endDateTime == first.addSecs(3000); }));
    const PrintSetting setting = opened.bridge->printSettingFromPanel();
    QCOMPARE(setting.beginDateTime, first);
    QCOMPARE(setting.endDateTime, first.addSecs(3000));
    QCOMPARE(setting.firstRow, 0);
    QCOMPARE(setting.lastRow, 5);
}

void TestDataScreen::endToEnd_chartSpansSmallestToLargestTime()
{
    // The clock was set back by two hours after the tenth record.
    QByteArray bytes = logbytes::header(0, 1);
    const QDateTime start = utc(2023, 11, 14, 22, 0, 0);
    for (int i = 0; i < 20; ++i)
        bytes += logbytes::record(secondsOf(start) + 600 * i - (i >= 10 ? 7200 : 0),
                                  logbytes::present(float(i)), logbytes::present(1.0f));
    QTemporaryDir dir;
    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    QVERIFY(opened.open(writeLogFile(dir.path(), "SETBACK.LOG", bytes)));
    QCOMPARE(opened.chartMin(), axisAt(start.addSecs(6000 - 7200)));
    QCOMPARE(opened.chartMax(), axisAt(start.addSecs(5400)));
}

void TestDataScreen::endToEnd_singleMeasurementShowsItsPoint()
{
    const QDateTime at = utc(2024, 5, 6, 7, 8, 9);
    QTemporaryDir dir;
    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    QVERIFY(opened.open(writeLogFile(dir.path(), "SINGLE00.LOG", sampleLog(1, 0, secondsOf(at)))));
    const QList<QXYSeries*> lines = opened.chartLines();
    QCOMPARE(lines.size(), 4);
    for (QXYSeries* line : lines) {
        QCOMPARE(line->count(), 1);
        QVERIFY(line->pointsVisible());
        QVERIFY(line->isVisible());
    }
    QCOMPARE(opened.chartMin(), axisAt(at) - 1000);
    QCOMPARE(opened.chartMax(), axisAt(at) + 1000);
}

void TestDataScreen::endToEnd_zoomRefillsVisibleRangeInFullDetail()
{
    const int records = 20000;
    QTemporaryDir dir;
    OpenedApp opened;
    QVERIFY2(opened.start(), qPrintable(opened.app.errorString()));
    QVERIFY(opened.open(writeLogFile(dir.path(), "LONG.LOG", sampleLog(records, 0))));
    auto* chart = qobject_cast<QQuickItem*>(opened.app.object("ChartDataFileView"));
    QVERIFY(chart);
    QVERIFY(AppHarness::waitFor([&] {
        QXYSeries* drawn = opened.chartLines().value(0);
        return drawn && drawn->count() > 0;
    }));

    // The whole log: each line holds no more than two points per pixel column.
    QXYSeries* line = opened.chartLines().value(0);
    QVERIFY(line);
    QVERIFY2(line->count() <= 2 * int(chart->width()) + 8, qPrintable(QString::number(line->count())));

    // Zoomed to 100 records: every one of them is in the line.
    const QDateTime first = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const double low = axisAt(first.addSecs(5000 * 10));
    const double high = axisAt(first.addSecs(5099 * 10));
    QVERIFY(QMetaObject::invokeMethod(chart, "setTimeRange", Q_ARG(QVariant, low), Q_ARG(QVariant, high)));
    QVERIFY(AppHarness::waitFor([&] { return line->count() < 200; }));
    QSet<qint64> shown;
    for (const QPointF& p : line->pointsVector())
        shown.insert(qint64(p.x()));
    for (int i = 5000; i < 5100; ++i)
        QVERIFY2(shown.contains(qint64(axisAt(first.addSecs(i * 10)))), qPrintable(QString::number(i)));
}

QTEST_MAIN(TestDataScreen)
#include "tst_datascreen.moc"
