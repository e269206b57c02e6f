// The data screen's bridge: dialogs, detaching and attaching the views around
// a refill, the database-load state, the report period and print requests, the
// chart feed; and the whole screen through the real main window.
#include "AppHarness.h"
#include "LogFileBytes.h"

#include "app/ApplicationShell.h"
#include "app/MetaTypes.h"
#include "data/DataWindow.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "device/ModelDeviceFileInfo.h"
#include "report/PrintSetting.h"
#include "ZrSimulator.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtCharts/QChart>
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
                                 "ButtonOpenFilesDevice", "ProcessLoadToDB", "ChartDataFileView", "ReportSetup"}) {
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

QByteArray sampleLog(int records, qint8 type)
{
    QByteArray bytes = logbytes::header(type, 7654321);
    for (int i = 0; i < records; ++i)
        bytes += logbytes::record(1700000000u + quint32(i) * 10,
                                  logbytes::present(20.0f + i * 0.5f, 18.0f, 1),
                                  logbytes::present(50.0f + i, 17.0f, 67));
    return bytes;
}

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

    void showModel_detachesThenAttachesStatisticsBeforeRecords();
    void showModel_zr749_fourStatisticsColumns();

    void saveInDatabase_emitsModelRolesAndDisablesScreen();
    void saveInDatabase_withoutDatabase_warnsAndKeepsScreenUsable();
    void loadProgress_onlyExactlyHundredEnablesScreen();

    void showError_passesExactText();

    void findRow_reportPeriodLimits();
    void findRow_unsortedAndEmptyModels();
    void printSetting_builtFromReportPanel();
    void printAndPreview_emitTheirOwnSignals();
    void openWindowPrint_periodFromChartWithinRecords();
    void openWindowPrint_emptyLogKeepsDefaultLimits();

    void updateSeries_fillsLineNamesItAndTitlesItsAxis();
    void updateMinMaxAxisY_rangesOrHidesAxis();

    void endToEnd_openedFileShowsTableStatisticsAndChart();
    void endToEnd_damagedFileShowsErrorAndKeepsViewsDetached();
    void endToEnd_reportPanelBuildsPrintRequest();
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
    chart->setProperty("minAxisX", local(t0.addSecs(3)));
    chart->setProperty("maxAxisX", local(t0.addSecs(17)));
    screen.bridge->onClickButtonOpenWindowPrint();

    QObject* panel = screen.object("ReportSetup");
    QCOMPARE(panel->property("currentBeginDate").toDateTime(), local(t0.addSecs(3)));
    QCOMPARE(panel->property("currentBeginTime").toDateTime(), local(t0.addSecs(3)));
    QCOMPARE(panel->property("currentEndDate").toDateTime(), local(t0.addSecs(17)));
    QCOMPARE(panel->property("currentEndTime").toDateTime(), local(t0.addSecs(17)));
    // The limits are the records' clock readings as local times.
    QCOMPARE(panel->property("minDate").toDateTime(), local(t0));
    QCOMPARE(panel->property("maxDate").toDateTime(), local(t0.addSecs(20)));

    // The defaults are written first, so the period field starts from sane limits.
    const auto writes = screen.log.of(QStringLiteral("ReportSetup"));
    QVERIFY(writes.size() >= 6);
    QCOMPARE(writes[0].property, QByteArray("minDate"));
    QCOMPARE(writes[0].value.toDateTime(), QDateTime::fromSecsSinceEpoch(946760400));
    QCOMPARE(writes[3].property, QByteArray("maxDate"));
    QCOMPARE(writes[3].value.toDateTime(), QDateTime(QDate::currentDate(), QTime(23, 59, 59, 999)));
}

void TestDataScreen::openWindowPrint_emptyLogKeepsDefaultLimits()
{
    FakeScreen screen;
    screen.model.setDeviceType(0);
    screen.bridge->onClickButtonOpenWindowPrint();
    QObject* panel = screen.object("ReportSetup");
    QCOMPARE(panel->property("minDate").toDateTime(), QDateTime::fromSecsSinceEpoch(946760400));
    QCOMPARE(panel->property("maxDate").toDateTime(), QDateTime(QDate::currentDate(), QTime(23, 59, 59, 999)));
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
    QCOMPARE(series->at(0), QPointF(local(t0.addSecs(10)).toMSecsSinceEpoch(), 55.0));
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

    // One chart line with its legend entry per measurement column.
    auto* legend = qobject_cast<QAbstractItemModel*>(objectOf(app.property("ChartDataFileView", "modelNameSeries")));
    QVERIFY(legend);
    QCOMPARE(legend->rowCount(), 4);
    // The time axis spans the log, in the instrument's clock reading.
    const QDateTime first = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    QCOMPARE(app.property("ChartDataFileView", "minAxisX").toDateTime(), local(first));
    QCOMPARE(app.property("ChartDataFileView", "maxAxisX").toDateTime(), local(first.addSecs(119 * 10)));

    // A ZR-7.49 file next: the old lines and columns go, three lines remain.
    const QString second = writeLogFile(dir.path(), "6553F200.LOG", sampleLog(7, 1));
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return second; };
    bridge->setDialogs(dialogs);
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] {
        return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr
            && app.shell()->modelLogRecord()->rowCount() == 7;
    }));
    AppHarness::spin(100);
    QCOMPARE(legend->rowCount(), 3);
    QCOMPARE(bridge->statisticsModel()->columnCount(), 4);
    QCOMPARE(app.property("ChartDataFileView", "maxAxisX").toDateTime(), local(first.addSecs(6 * 10)));
}

void TestDataScreen::endToEnd_damagedFileShowsErrorAndKeepsViewsDetached()
{
    QTemporaryDir dir;
    const QString good = writeLogFile(dir.path(), "good.LOG", sampleLog(5, 1));
    QByteArray damagedBytes = sampleLog(5, 1);
    damagedBytes[0] = 'I';
    damagedBytes[1] = 'D';
    const QString damaged = writeLogFile(dir.path(), "damaged.LOG", damagedBytes);

    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    DataWindow* bridge = bridgeOf(app);
    QVERIFY(bridge);
    QString next = good;
    QStringList warnings;
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return next; };
    dialogs.warning = [&](const QString& text) { warnings << text; };
    bridge->setDialogs(dialogs);

    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr; }));

    next = damaged;
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return !warnings.isEmpty(); }));
    QCOMPARE(warnings, QStringList({"Файл поврежден"}));
    AppHarness::spin(100);
    QVERIFY(objectOf(app.property("TableDataFileViewV2", "model")) == nullptr);
    QVERIFY(objectOf(app.property("TableDataFileViewV2", "modelStatistics")) == nullptr);
}

void TestDataScreen::endToEnd_reportPanelBuildsPrintRequest()
{
    QTemporaryDir dir;
    const QString path = writeLogFile(dir.path(), "6553F100.LOG", sampleLog(30, 1));

    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    if (!app.object("ReportSetup"))
        QSKIP("the report panel did not load in this build");
    DataWindow* bridge = bridgeOf(app);
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return path; };
    bridge->setDialogs(dialogs);
    QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
    QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr; }));

    app.setProperty("PrintReport", "visible", true);
    QVERIFY(app.emitWindowSignal("clickButtonOpenWindowPrint"));
    AppHarness::spin(200);
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
    AppHarness::spin(800);

    auto* window = qobject_cast<QQuickWindow*>(app.root());
    auto* chart = qobject_cast<QQuickItem*>(app.object("ChartDataFileView"));
    QVERIFY(window && chart);
    const QDateTime fullMin = chart->property("minAxisX").toDateTime();
    const QDateTime fullMax = chart->property("maxAxisX").toDateTime();
    const QPoint centre = chart->mapToScene(QPointF(chart->width() / 2, chart->height() / 2)).toPoint();

    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, centre - QPoint(100, 60));
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(window, centre - QPoint(100, 60) + QPoint(20, 12) * step, 5);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, centre + QPoint(100, 60));
    AppHarness::spin(200);
    QVERIFY(chart->property("zoomed").toBool());
    QVERIFY(chart->property("minAxisX").toDateTime() > fullMin);
    QVERIFY(chart->property("maxAxisX").toDateTime() < fullMax);

    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    AppHarness::spin(200);
    QVERIFY(!chart->property("zoomed").toBool());
    QCOMPARE(chart->property("minAxisX").toDateTime(), fullMin);
    QCOMPARE(chart->property("maxAxisX").toDateTime(), fullMax);
}

QTEST_MAIN(TestDataScreen)
#include "tst_datascreen.moc"
