// The data screen of the real application with a log whose download record
// holds alarm limits: the Пределы panel, the colours of the table, the limit
// lines of the chart and the limits a report is asked with.
#include "AppHarness.h"
#include "CliProcess.h"
#include "LogFileBytes.h"
#include "ZrSimulator.h"

#include "app/ApplicationShell.h"
#include "data/ColumnLimitsModel.h"
#include "database/DataBaseFilters.h"
#include "database/DataBaseInteractor.h"
#include "database/ModelTypeChannelList.h"
#include "screens/DataBaseWindow.h"
#include "screens/DataWindow.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "report/PrintSetting.h"
#include "report/ReportCharts.h"

#include <QFile>
#include <QJSValue>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

namespace {

QObject* objectOf(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toQObject();
    return value.value<QObject*>();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Channel 1 in °C from 9.0 down by one a minute: 9, 8, ..., 0; channel 2 in
// % at 50. The record limits channel 1 to 2..8 and leaves channel 2 off.
QByteArray logBytes()
{
    QByteArray bytes = logbytes::header(0, 4242);
    for (int i = 0; i < 10; ++i)
        bytes += logbytes::record(1700000000 + 60 * i, logbytes::present(9.0f - i, 21.0f),
                                  logbytes::present(50.0f, 22.0f, 67));
    return bytes;
}

const QByteArray record = R"({"format": "orvelin-download/1",
  "sha256": "0000000000000000000000000000000000000000000000000000000000000000",
  "settings": {"logPeriodSeconds": 60, "channels": [
    {"number": 1, "alarm": true, "limits": {"temperature": {"lower": 2.0, "upper": 8.0}}},
    {"number": 2, "alarm": false, "limits": {"humidity": {"lower": 40.0, "upper": 60.0}}}]}})";

} // namespace

class TestLimitsScreen : public QObject
{
    Q_OBJECT
private slots:
    void openedLog_showsLimitsColoursLinesAndHandsThemToReports()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("6553F100.LOG");
        QVERIFY(writeFile(path, logBytes()));
        QVERIFY(writeFile(path + ".json", record));

        AppHarness app;
        QVERIFY2(app.start(), qPrintable(app.errorString()));
        auto* bridge = app.root()->findChild<DataWindow*>();
        QVERIFY(bridge);
        DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
        QStringList warnings;
        dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return path; };
        dialogs.warning = [&](const QString& text) { warnings << text; };
        bridge->setDialogs(dialogs);
        QVERIFY(app.emitWindowSignal("clickButtonOpenFile"));
        QVERIFY(AppHarness::waitFor([&] { return objectOf(app.property("TableDataFileViewV2", "model")) != nullptr; }));
        QVERIFY(warnings.isEmpty());

        ColumnLimitsModel* limits = bridge->limitsModel();
        QCOMPARE(objectOf(app.property("LimitsPanel", "limitsModel")), limits);
        QCOMPARE(limits->rowCount(), 4);
        const QModelIndex channel1 = limits->index(0);
        QCOMPARE(channel1.data(ColumnLimitsModel::LimitedRole).toBool(), true);
        QCOMPARE(channel1.data(ColumnLimitsModel::VerdictRole).toString(), QStringLiteral("выход за пределы"));
        // 9 above; 1 and 0 below: one minute above, two below.
        const QStringList figures = channel1.data(ColumnLimitsModel::FiguresRole).toStringList();
        QVERIFY(figures.contains(QStringLiteral("Время выше: 00:01:00 (1 изм.)")));
        QVERIFY(figures.contains(QStringLiteral("Время ниже: 00:02:00 (2 изм.)")));
        QVERIFY(figures.contains(QStringLiteral("Первый выход: 14.11.2023 22:13:20, 9.00 °C")));
        // Channel 2's alarm was off: no limits, no verdict.
        QCOMPARE(limits->index(2).data(ColumnLimitsModel::LimitedRole).toBool(), false);
        QVERIFY(limits->index(2).data(ColumnLimitsModel::VerdictRole).toString().isEmpty());

        // Table: row 0 (9 °C) red, row 5 (4 °C) as ever, row 9 (0 °C) blue.
        QObject* table = app.object(QStringLiteral("TableDataFileViewV2"));
        auto colour = [&](int row, int column) {
            QVariant result;
            QMetaObject::invokeMethod(table, "valueColor", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, row),
                                      Q_ARG(QVariant, column));
            return result.toString();
        };
        QCOMPARE(colour(0, 1), QStringLiteral("#c62828"));
        QCOMPARE(colour(5, 1), QStringLiteral("black"));
        QCOMPARE(colour(9, 1), QStringLiteral("#1565c0"));
        QCOMPARE(colour(0, 3), QStringLiteral("black"));

        // Chart: two dashed lines for each limited column (both °C columns of
        // channel 1), drawn once the chart has its lines.
        auto limitLines = [&] {
            return app.property("ChartDataFileView", "limitSeries").value<QJSValue>().property("length").toInt();
        };
        QVERIFY(AppHarness::waitFor([&] { return app.property("ChartDataFileView", "seriesCount").toInt() == 4; }));
        QTRY_COMPARE(limitLines(), 4);

        // Limits that are not a range are refused and the old ones stay.
        QVERIFY(!limits->applyLimits(0, QStringLiteral("8"), QStringLiteral("2"), true).isEmpty());
        QVERIFY(!limits->applyLimits(0, QStringLiteral("abc"), QStringLiteral("9"), true).isEmpty());
        QCOMPARE(bridge->printSettingFromPanel().limits.of(1), std::optional<AlarmLimits>(AlarmLimits{2, 8}));

        // Typed with a comma on channel 2, switched off on the additional
        // measurement: the report, the colours and the chart follow.
        QVERIFY(limits->applyLimits(2, QStringLiteral("45,5"), QStringLiteral("49,5"), true).isEmpty());
        QVERIFY(limits->applyLimits(1, QString(), QString(), false).isEmpty());
        const ColumnLimitSet set = bridge->printSettingFromPanel().limits;
        QCOMPARE(set.of(3), std::optional<AlarmLimits>(AlarmLimits{45.5, 49.5}));
        QVERIFY(!set.of(2));
        QCOMPARE(colour(0, 3), QStringLiteral("#c62828"));
        QTRY_COMPARE(limitLines(), 4);
        // The stored limits of the file are untouched.
        QFile stored(path + ".json");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), record);
    }

    // The database screen starts from the limits the instrument was set to
    // when its log was downloaded; what the user switches stays over the next
    // selection.
    void databaseSelection_startsFromItsSourcesLimits_andKeepsTheUsersChoice()
    {
        ZrSimulator::Options options;
        options.id = 6100000 + quint32(QCoreApplication::applicationPid() % 100000);
        options.defaultFiles = false;
        ZrSimulator sim(options);
        QString error;
        QVERIFY2(sim.start(&error), qPrintable(error));
        SimRunSpec spec;
        spec.records = 20;
        spec.start = QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
        sim.addRun(spec);
        cliprocess::Setup instrument;
        instrument.ports = sim.portName();
        QCOMPARE(cliprocess::run({"settings", "--set", "alarm1=1", "--set", "temperatureAlarmMin1=2", "--set",
                                  "temperatureAlarmMax1=8"},
                                 instrument).code,
                 0);
        QTemporaryDir dir;
        const cliprocess::Run download = cliprocess::run({"download", "--all", "-o", dir.path()}, instrument);
        QCOMPARE(download.code, 0);

        AppHarness app;
        QVERIFY2(app.start(), qPrintable(app.errorString()));
        QCOMPARE(cliprocess::run(QStringList{"import", "--db", app.databasePath()}
                                 + download.out.split('\n', Qt::SkipEmptyParts))
                     .code,
                 0);
        QVERIFY(app.openDataBasePage());
        // As a tick in the channel list does.
        app.shell()->dataBaseInteractor()->filters()->modelTypeChannel()->setTickStatus(QStringLiteral("Канал №1"), true);
        QVERIFY(app.applyDataBaseFilter());
        ColumnLimitsModel* limits = app.shell()->dataBaseWindow()->limitsModel();
        const auto channel1 = [&] {
            for (int row = 0; row < limits->rowCount(); ++row)
                if (limits->index(row).data(ColumnLimitsModel::NameRole) == QStringLiteral("Канал №1"))
                    return limits->index(row);
            return QModelIndex();
        };
        QVERIFY(channel1().isValid());
        QCOMPARE(channel1().data(ColumnLimitsModel::LimitedRole).toBool(), true);
        QCOMPARE(channel1().data(ColumnLimitsModel::LowerRole).toString(), QStringLiteral("2"));
        QCOMPARE(channel1().data(ColumnLimitsModel::UpperRole).toString(), QStringLiteral("8"));
        // A value above them is red, unless it is in another unit (a sensor changed).
        QObject* table = app.object(QStringLiteral("TableDB"));
        const int column = channel1().data(ColumnLimitsModel::ColumnRole).toInt();
        auto colour = [&](const QString& text) {
            QVariant result;
            QMetaObject::invokeMethod(table, "valueColor", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, column),
                                      Q_ARG(QVariant, text));
            return result.toString();
        };
        QTRY_COMPARE(colour(QStringLiteral("9.50 °C")), QStringLiteral("#c62828"));
        QCOMPARE(colour(QStringLiteral("751.05 мм.рт.ст.")), QStringLiteral("black"));

        QVERIFY(limits->applyLimits(channel1().row(), QString(), QString(), false).isEmpty());
        QVERIFY(app.applyDataBaseFilter());
        QVERIFY(channel1().isValid());
        QCOMPARE(channel1().data(ColumnLimitsModel::LimitedRole).toBool(), false);
    }

    // A report chart of a limited column carries both limits as dashed lines
    // in the line's colour, across the report's period, inside the value axis.
    void reportChart_drawsLimitLinesOnlyForLimitedColumns()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("6553F100.LOG");
        QVERIFY(writeFile(path, logBytes()));
        ModelLogRecord model;
        LogFile::readInto(path, model);
        PrintSetting setting;
        setting.printChart = true;
        setting.seriesNames = QStringList{QStringLiteral("Канал №1"), QStringLiteral("Канал №2")};
        setting.model = &model;
        setting.beginDateTime = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
        setting.endDateTime = setting.beginDateTime.addSecs(9 * 60);
        setting.lastRow = 9;
        setting.valueRole = ModelLogRecord::ValueRole;
        setting.unitRole = ModelLogRecord::UnitRole;
        setting.columnFlagRole = ModelLogRecord::MeasurementColumnRole;
        setting.limits.byColumn.insert(1, AlarmLimits{-5.0, 8.0});

        const ReportCharts::ChartList charts = ReportCharts::buildLogCharts(setting);
        QCOMPARE(int(charts.size()), 2);
        const QList<QtCharts::QAbstractSeries*> limited = charts.at(0)->series();
        QCOMPARE(limited.size(), 3);
        auto* line = qobject_cast<QtCharts::QLineSeries*>(limited.at(0));
        for (int i : {1, 2}) {
            auto* limit = qobject_cast<QtCharts::QLineSeries*>(limited.at(i));
            QVERIFY(limit);
            QCOMPARE(limit->pen().style(), Qt::DashLine);
            QCOMPARE(limit->pen().color(), line->color());
            QCOMPARE(limit->count(), 2);
            QCOMPARE(limit->at(0).y(), i == 1 ? -5.0 : 8.0);
            QCOMPARE(limit->at(1).y(), i == 1 ? -5.0 : 8.0);
        }
        // The lowest reading is 0, the lower limit -5: the axis shows both.
        const auto* axis = qobject_cast<QtCharts::QValueAxis*>(charts.at(0)->axes(Qt::Vertical).constFirst());
        QVERIFY(axis->min() < -5.0 && axis->max() >= 9.0);
        QCOMPARE(charts.at(1)->series().size(), 1);
    }
};

QTEST_MAIN(TestLimitsScreen)
#include "tst_limitsscreen.moc"
