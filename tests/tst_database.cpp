// The archive end to end, against a real Record.sqlite in a temporary folder,
// read back with the sqlite3 shell: schema, loading logs (once only, with
// duplicates, gaps and quotes), failures that roll back, selections longer
// than one fetch, deletes with their lookup clean-up, and the data screen's
// load through the running application.
#include "AppHarness.h"

#include "app/ApplicationShell.h"
#include "report/MetaTypes.h"
#include "screens/DataWindow.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "database/DataBaseInteractor.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"
#include "database/TableDBModel.h"
#include "report/PrintSetting.h"
#include "report/ReportCharts.h"
#include "screens/SelectionChartFeed.h"

#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QXYSeries>
#include <QtTest>

#include <clocale>
#include <optional>

using namespace QtCharts;

namespace {

const QDateTime t0 = QDateTime(QDate(2020, 9, 13), QTime(12, 26, 40), Qt::UTC); // 1600000000 s

// What the sqlite3 shell prints for a statement, one line per row.
QStringList shell(const QString& file, const QString& sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {file, sql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(process.readAllStandardError())};
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int count(const QString& file, const QString& table)
{
    return shell(file, QStringLiteral("SELECT count(*) FROM ") + table).value(0).toInt();
}

// A log table as any reader sees it: header role 256 marks the measurement
// columns, cells carry their raw value (257) and unit (258).
struct Cell { double value; QString unit; };
using Row = QPair<QDateTime, QVector<std::optional<Cell>>>;

std::unique_ptr<QStandardItemModel> logTable(const QStringList& channels, const QVector<Row>& rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), channels.size() + 1);
    model->setHeaderData(0, Qt::Horizontal, QStringLiteral("Дата"));
    model->setHeaderData(0, Qt::Horizontal, false, 256);
    for (int c = 0; c < channels.size(); ++c) {
        model->setHeaderData(c + 1, Qt::Horizontal, channels.at(c));
        model->setHeaderData(c + 1, Qt::Horizontal, true, 256);
    }
    for (int r = 0; r < rows.size(); ++r) {
        model->setData(model->index(r, 0), rows.at(r).first.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
        model->setData(model->index(r, 0), rows.at(r).first, 257);
        for (int c = 0; c < rows.at(r).second.size(); ++c) {
            const std::optional<Cell>& cell = rows.at(r).second.at(c);
            if (!cell)
                continue;
            const QModelIndex index = model->index(r, c + 1);
            model->setData(index, QStringLiteral("%1 %2").arg(cell->value, 0, 'f', 2).arg(cell->unit));
            model->setData(index, float(cell->value), 257);
            model->setData(index, cell->unit, 258);
        }
    }
    return model;
}

// `rows` rows a minute apart from `start`, two channels; channel 2 missing in row 0.
std::unique_ptr<QStandardItemModel> longLog(int rows, const QDateTime& start)
{
    QVector<Row> table;
    for (int r = 0; r < rows; ++r) {
        std::optional<Cell> second;
        if (r > 0)
            second = Cell{r == 900 ? 99.0 : 10.0 + r % 7, QStringLiteral("%")};
        table.append({start.addSecs(60 * r), {Cell{20.0 + r % 5, QStringLiteral("°C")}, second}});
    }
    return logTable({QStringLiteral("Канал №1"), QStringLiteral("Канал №2")}, table);
}

struct Archive
{
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("Record.sqlite"));
    DataBaseInteractor interactor{file};
    TableDBModel records;
    QSignalSpy errors{&interactor, &DataBaseInteractor::errorOccurred};
    QSignalSpy progress{&interactor, &DataBaseInteractor::downloadRecordsProcess};

    Archive()
    {
        interactor.setRecordModel(&records);
        interactor.open();
    }

    void load(const QAbstractItemModel& log, uint id, const QString& type)
    {
        progress.clear();
        interactor.writeFromModel(&log, id, type, 256, 257, 258);
    }

    QList<float> progressValues() const
    {
        QList<float> values;
        for (const QList<QVariant>& args : progress)
            values << args.at(0).toFloat();
        return values;
    }

    // Stored rows as "time|value|unit|channel|instrument", in insertion order.
    QStringList rows() const
    {
        return shell(file, QStringLiteral("SELECT DateTime, Value, unit, nameChannel, idDevice FROM RECORD_ZR "
                                          "JOIN UNIT USING(idUnit) JOIN TYPE_CHANNEL USING(idTypeChannel) ORDER BY idRecord"));
    }
};

} // namespace

class TestDataBase : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerMetaTypes(); }
    void open_createsTheTablesAsWritten_andOlderFilesGainTheIndex();
    void load_storesEachTimeStampOnce_andAgainStoresNothing();
    void quotesInTexts_areStoredAndFoundAgain();
    void load_underRussianLocale_storesValuesWithTheirDecimals();
    void failureMidLoad_rollsBackReportsOnce_andNextLoadWorks();
    void selectionOf1000Rows_isWholeAndItsStatisticsSkipNulls();
    void delete_removesInstantsAndUnusedLookups_andListsForgetTheirTicks();
    void delete_takesOnlyTheChannelsAndUnitsShown_andSaysHowMany();
    void mixedUnits_shareNoStatisticAndNoLine();
    void damagedArchive_lackingALookupTable_isReportedAndLeftAlone_data();
    void damagedArchive_lackingALookupTable_isReportedAndLeftAlone();
    void dataScreen_loadsAnUnchangingCopyWithProgressToHundred();
    void recordModelDestroyedFirst_isLeftAlone_andTheArchiveStillWorks();
};

void TestDataBase::open_createsTheTablesAsWritten_andOlderFilesGainTheIndex()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Record.sqlite"));
    // An archive written before the index existed.
    QVERIFY(shell(file, "CREATE TABLE IF NOT EXISTS UNIT (idUnit INTEGER PRIMARY KEY AUTOINCREMENT,unit TEXT);").isEmpty());
    {
        DataBaseInteractor interactor(file);
        QSignalSpy errors(&interactor, &DataBaseInteractor::errorOccurred);
        interactor.open();
        QCOMPARE(errors.count(), 0);
    }
    QCOMPARE(shell(file, ".schema"), QStringList({
        "CREATE TABLE UNIT (idUnit INTEGER PRIMARY KEY AUTOINCREMENT,unit TEXT);",
        "CREATE TABLE sqlite_sequence(name,seq);",
        "CREATE TABLE TYPE_CHANNEL (idTypeChannel INTEGER PRIMARY KEY AUTOINCREMENT,nameChannel TEXT);",
        "CREATE TABLE TYPE_DEVICE (idDevice INTEGER PRIMARY KEY ,typeDevice TEXT,aliasDevice TEXT);",
        "CREATE TABLE NOTES (idNote INTEGER PRIMARY KEY AUTOINCREMENT,note TEXT);",
        "CREATE TABLE RECORD_ZR (idRecord INTEGER PRIMARY KEY AUTOINCREMENT,DateTime TIMESTAMP ,Value FLOAT,idUnit INTEGER,"
        "idTypeChannel INTEGER,idDevice INTEGER,idNote INTEGER,FOREIGN KEY(idUnit)REFERENCES UNIT(idUnit) ON DELETE CASCADE,"
        "FOREIGN KEY(idTypeChannel)REFERENCES TYPE_CHANNEL(idTypeChannel) ON DELETE CASCADE,FOREIGN KEY(idDevice)REFERENCES "
        "TYPE_DEVICE(idDevice) ON DELETE CASCADE,FOREIGN KEY(idNote)REFERENCES NOTES(idNote) ON DELETE CASCADE);",
        "CREATE INDEX RECORD_ZR_DEVICE_TIME ON RECORD_ZR (idDevice,DateTime);",
        // Beside the described tables: where loaded logs came from.
        "CREATE TABLE LOG_SOURCE (idSource INTEGER PRIMARY KEY AUTOINCREMENT,idDevice BIGINT,typeDevice TEXT,"
        "fileName TEXT,sha256 TEXT,downloaded TEXT,firmware TEXT,settingsHex TEXT,recordCheck TEXT,"
        "loaded TIMESTAMP ,firstTime TIMESTAMP ,lastTime TIMESTAMP ,valuesStored INTEGER);",
        "CREATE INDEX LOG_SOURCE_HASH ON LOG_SOURCE (idDevice,sha256);",
    }));

    // A folder that cannot hold the file: the opening fails with its message.
    DataBaseInteractor broken(dir.filePath(QStringLiteral("missing/folder/Record.sqlite")));
    QSignalSpy errors(&broken, &DataBaseInteractor::errorOccurred);
    broken.open();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Ошибка открытия базы данных"));
}

void TestDataBase::load_storesEachTimeStampOnce_andAgainStoresNothing()
{
    Archive archive;
    // The real log table of a ZR-7.47: a repeated time stamp (kept once, the
    // first), a row without channel 2 and a time stamp that comes back after
    // the instrument's clock was set back.
    ModelLogRecord log;
    log.setDeviceId(1234567);
    log.setDeviceType(0);
    log.setRecords({
        {t0, {{1, 23.45f, 0}, {3, 55.5f, 1}}},
        {t0, {{1, 99.0f, 0}, {3, 99.0f, 1}}},
        {t0.addSecs(10), {{1, 1234567.0f, 0}, {2, -0.125f, 11}}},
        {t0.addSecs(5), {{1, 7.0f, 0}}},
        {t0.addSecs(10), {{1, 98.0f, 0}}},
    });
    archive.load(log, 1234567, QStringLiteral("ZR-7.47"));

    QCOMPARE(archive.errors.count(), 0);
    QCOMPARE(archive.rows(), QStringList({
        "2020-09-13 12:26:40|23.45|°C|Канал №1|1234567",
        "2020-09-13 12:26:40|55.5|%|Канал №2|1234567",
        // More digits than the six a text value would have kept.
        "2020-09-13 12:26:50|1234567.0|°C|Канал №1|1234567",
        "2020-09-13 12:26:50|-0.125|В|Доп.измерение №1|1234567",
        "2020-09-13 12:26:45|7.0|°C|Канал №1|1234567",
    }));
    QCOMPARE(shell(archive.file, "SELECT * FROM TYPE_DEVICE"), QStringList({"1234567|ZR-7.47|"}));
    QCOMPARE(archive.progressValues(), QList<float>({0.0f, 25.0f, 50.0f, 75.0f, 100.0f}));

    // The same log again, under another type name: nothing new, the stored
    // type name stays, the progress still runs to 100.
    archive.load(log, 1234567, QStringLiteral("ZR-7.49"));
    QCOMPARE(count(archive.file, "RECORD_ZR"), 5);
    QCOMPARE(shell(archive.file, "SELECT * FROM TYPE_DEVICE"), QStringList({"1234567|ZR-7.47|"}));
    QCOMPARE(archive.progressValues().last(), 100.0f);
    QCOMPARE(archive.progressValues().count(100.0f), 1);

    // One row: 100 once. No rows: 100 as well, so the screen never stays locked.
    ModelLogRecord single;
    single.setDeviceType(0);
    single.setRecords({{t0.addDays(1), {{1, 1.0f, 0}}}});
    archive.load(single, 1234567, QStringLiteral("ZR-7.47"));
    QCOMPARE(archive.progressValues(), QList<float>({100.0f}));
    ModelLogRecord empty;
    archive.load(empty, 1234567, QStringLiteral("ZR-7.47"));
    QCOMPARE(archive.progressValues(), QList<float>({100.0f}));
    QCOMPARE(count(archive.file, "RECORD_ZR"), 6);
    QCOMPARE(archive.errors.count(), 0);
}

void TestDataBase::load_underRussianLocale_storesValuesWithTheirDecimals()
{
    // As the program runs for its users: the C library reads and writes
    // numbers with a decimal comma.
    const QByteArray saved = setlocale(LC_ALL, nullptr);
    if (!setlocale(LC_ALL, "ru_RU.UTF-8"))
        QSKIP("no Russian locale on this machine");
    Archive archive;
    ModelLogRecord log;
    log.setDeviceType(0);
    log.setRecords({{t0, {{1, 23.45f, 0}, {3, -0.125f, 1}}}});
    archive.load(log, 1234567, QStringLiteral("ZR-7.47"));
    setlocale(LC_ALL, saved.constData());
    QCOMPARE(archive.rows(), QStringList({"2020-09-13 12:26:40|23.45|°C|Канал №1|1234567",
                                          "2020-09-13 12:26:40|-0.125|%|Канал №2|1234567"}));
}

void TestDataBase::quotesInTexts_areStoredAndFoundAgain()
{
    Archive archive;
    const QString channel = QStringLiteral("Канал 'А'");
    const QString unit = QStringLiteral("м'с");
    auto log = logTable({channel, QStringLiteral("%1 '%2'")},
                        {{t0, {Cell{1.5, unit}, Cell{2.0, QStringLiteral("'")}}}});
    archive.load(*log, 7, QStringLiteral("ZR-7.47 'б'"));
    archive.load(*log, 7, QStringLiteral("ZR-7.47 'б'"));

    QCOMPARE(archive.errors.count(), 0);
    QCOMPARE(archive.rows(), QStringList({"2020-09-13 12:26:40|1.5|м'с|Канал 'А'|7",
                                          "2020-09-13 12:26:40|2.0|'|%1 '%2'|7"}));
    QCOMPARE(shell(archive.file, "SELECT typeDevice FROM TYPE_DEVICE"), QStringList({"ZR-7.47 'б'"}));

    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), channel);
    filter.insert(QStringLiteral("unit"), unit);
    archive.interactor.updateModel(filter);
    QCOMPARE(archive.records.roles(), QStringList({"Дата", channel, "№ прибора"}));
    QCOMPARE(archive.records.rowCount(), 1);
    QCOMPARE(archive.records.index(0, 1).data().toString(), QStringLiteral("1.5 м'с"));
}

// The record model belongs to whoever made it, and an owner may well destroy
// it before the interactor (as Archive above does, member by member).
void TestDataBase::recordModelDestroyedFirst_isLeftAlone_andTheArchiveStillWorks()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Record.sqlite"));
    auto interactor = std::make_unique<DataBaseInteractor>(file);
    QSignalSpy errors(interactor.get(), &DataBaseInteractor::errorOccurred);
    QSignalSpy updated(interactor.get(), &DataBaseInteractor::modelUpdated);
    auto records = std::make_unique<TableDBModel>();
    interactor->setRecordModel(records.get());
    interactor->open();
    auto log = logTable({QStringLiteral("Канал №1")}, {{t0, {Cell{1.5, QStringLiteral("°C")}}}});
    interactor->writeFromModel(log.get(), 5, QStringLiteral("ZR-7.47"), 256, 257, 258);
    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    interactor->updateModel(filter);
    QCOMPARE(records->rowCount(), 1);

    records.reset();
    interactor->updateModel(filter);
    interactor->onDeleteDataDb({0}, filter);
    interactor->writeFromModel(log.get(), 6, QStringLiteral("ZR-7.47"), 256, 257, 258);
    interactor.reset();

    QCOMPARE(errors.count(), 0);
    QCOMPARE(updated.count(), 3);
    QCOMPARE(count(file, QStringLiteral("RECORD_ZR")), 2);
}

void TestDataBase::failureMidLoad_rollsBackReportsOnce_andNextLoadWorks()
{
    Archive archive;
    archive.load(*longLog(10, t0), 1, QStringLiteral("ZR-7.47"));
    QCOMPARE(count(archive.file, "RECORD_ZR"), 19);

    // A second instrument's log with a new unit fails at its 901st row.
    auto log = longLog(1000, t0);
    log->setData(log->index(5, 1), QStringLiteral("Гц"), 258);
    shell(archive.file, "CREATE TRIGGER refuse BEFORE INSERT ON RECORD_ZR WHEN NEW.Value = 99 "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    archive.load(*log, 2, QStringLiteral("ZR-7.49"));

    QCOMPARE(archive.errors.count(), 1);
    QCOMPARE(archive.errors.at(0).at(0).toString(), QStringLiteral("Ошибка запроса"));
    QVERIFY(archive.progressValues().size() > 2);
    QCOMPARE(archive.progressValues().last(), 100.0f);
    QCOMPARE(archive.progressValues().count(100.0f), 1);
    // Nothing of it stays: no values, no instrument, no unit.
    QCOMPARE(count(archive.file, "RECORD_ZR"), 19);
    QCOMPARE(shell(archive.file, "SELECT idDevice FROM TYPE_DEVICE"), QStringList({"1"}));
    QCOMPARE(shell(archive.file, "SELECT unit FROM UNIT ORDER BY idUnit"), QStringList({"°C", "%"}));

    // The connection is usable again: the same load now goes through whole.
    shell(archive.file, "DROP TRIGGER refuse;");
    archive.errors.clear();
    archive.load(*log, 2, QStringLiteral("ZR-7.49"));
    QCOMPARE(archive.errors.count(), 0);
    QCOMPARE(count(archive.file, "RECORD_ZR"), 19 + 1999);

    // Reading the lists of a broken archive is reported, not thrown.
    shell(archive.file, "DROP TABLE UNIT;");
    QSignalSpy loaded(&archive.interactor, &DataBaseInteractor::filtersDBLoaded);
    archive.interactor.loadFiltersDB();
    QCOMPARE(archive.errors.count(), 1);
    QCOMPARE(loaded.count(), 0);
}

void TestDataBase::selectionOf1000Rows_isWholeAndItsStatisticsSkipNulls()
{
    Archive archive;
    archive.load(*longLog(1000, t0), 42, QStringLiteral("ZR-7.49"));
    // Another instrument at the same time stamps must not mix in.
    archive.load(*longLog(3, t0), 43, QStringLiteral("ZR-7.49"));

    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №2"));
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    filter.insert(QStringLiteral("idDevice"), 42);
    filter.insert(QStringLiteral("DateTime"), t0.addSecs(60 * 999));
    filter.insert(QStringLiteral("DateTime"), t0);
    QSignalSpy updated(&archive.interactor, &DataBaseInteractor::modelUpdated);
    archive.interactor.updateModel(filter);

    QCOMPARE(updated.count(), 1);
    QCOMPARE(archive.records.rowCount(), 1000);
    QVERIFY(!archive.records.canFetchMore());
    QCOMPARE(archive.records.roles(), QStringList({"Дата", "Канал №1", "Канал №2", "№ прибора"}));
    QCOMPARE(archive.records.index(999, 0).data(257).toString(), QStringLiteral("14.09.2020 05:05:40"));
    QVERIFY(archive.records.index(0, 2).data().isNull());
    QVERIFY(!archive.records.index(0, 0).data(256).isValid());

    ModelStatistics statistics(&archive.records);
    statistics.setHeaders({"Канал №1", "Канал №2"});
    QCOMPARE(statistics.index(0, 2).data().toString(), QStringLiteral("99.0 %"));
    QCOMPARE(statistics.index(2, 2).data().toString(), QStringLiteral("10.0 %"));
}

void TestDataBase::delete_removesInstantsAndUnusedLookups_andListsForgetTheirTicks()
{
    Archive archive;
    archive.load(*longLog(3, t0), 1, QStringLiteral("ZR-7.47"));
    archive.load(*logTable({QStringLiteral("Канал №10")}, {{t0, {Cell{5, QStringLiteral("Гц")}}},
                                                          {t0.addSecs(60), {Cell{6, QStringLiteral("Гц")}}}}),
                 2, QStringLiteral("ZR-7.49"));

    DataBaseFilters* filters = archive.interactor.filters();
    archive.interactor.loadFiltersDB();
    QCOMPARE(filters->period().minDateTime, t0);
    QCOMPARE(filters->period().maxDateTime, t0.addSecs(120));
    // The channel list reads in natural order although stored later.
    const QModelIndex first = filters->modelTypeChannel()->index(0, 0);
    QCOMPARE(filters->modelTypeChannel()->data(first.siblingAtRow(2), 258).toString(), QStringLiteral("Канал №10"));
    filters->modelTypeChannel()->setTickStatus(QStringLiteral("Канал №10"), true);
    filters->modelTypeChannel()->setTickStatus(QStringLiteral("Канал №1"), true);
    filters->modelTypeUnit()->setTickStatus(QStringLiteral("Гц"), true);
    filters->modelDevice()->setTickStatus(2, true);

    // The table of instrument 2; delete both its rows.
    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №10"));
    filter.insert(QStringLiteral("idDevice"), 2);
    archive.interactor.updateModel(filter);
    QCOMPARE(archive.records.rowCount(), 2);
    QSignalSpy loaded(&archive.interactor, &DataBaseInteractor::filtersDBLoaded);
    QSignalSpy updated(&archive.interactor, &DataBaseInteractor::modelUpdated);
    archive.interactor.onDeleteDataDb({1, 0, 7}, filter);

    QCOMPARE(archive.errors.count(), 0);
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(updated.count(), 1);
    QCOMPARE(archive.records.rowCount(), 0);
    QCOMPARE(count(archive.file, "RECORD_ZR"), 5);
    QCOMPARE(shell(archive.file, "SELECT idDevice FROM TYPE_DEVICE"), QStringList({"1"}));
    QCOMPARE(shell(archive.file, "SELECT unit FROM UNIT ORDER BY idUnit"), QStringList({"°C", "%"}));
    QCOMPARE(shell(archive.file, "SELECT nameChannel FROM TYPE_CHANNEL ORDER BY 1"), QStringList({"Канал №1", "Канал №2"}));
    QCOMPARE(filters->period().maxDateTime, t0.addSecs(120));

    QCOMPARE(filters->modelTypeChannel()->tickedItems(), QStringList({"Канал №1"}));
    QVERIFY(!filters->modelTypeUnit()->getTickStatus(QStringLiteral("Гц")));
    QVERIFY(!filters->modelDevice()->getTickStatus(2));

    // Deleting the remaining time stamps, with every channel shown, empties
    // the archive and its period.
    filter.replace(QStringLiteral("idDevice"), 1);
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №2"));
    archive.interactor.updateModel(filter);
    archive.interactor.onDeleteDataDb({0, 1, 2}, filter);
    QCOMPARE(count(archive.file, "RECORD_ZR"), 0);
    QVERIFY(!filters->period().isValid());
    QCOMPARE(filters->modelTypeUnit()->rowCount(), 0);
    QCOMPARE(filters->modelDevice()->rowCount(), 0);
}

void TestDataBase::dataScreen_loadsAnUnchangingCopyWithProgressToHundred()
{
    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    ModelLogRecord* shown = app.shell()->modelLogRecord();
    shown->setContent(555, 0, {{t0, {{1, 21.5f, 0}}}, {t0.addSecs(1), {{1, 22.5f, 0}, {3, 40.0f, 1}}}});
    app.shell()->dataWindow()->showModel();
    QVERIFY(app.waitForProperty(QStringLiteral("ButtonSaveAs"), "visible", true));

    // The button as the user presses it; then a download refills the shown log.
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonSaveAs")), "clickSaveInDB"));
    QVERIFY(app.object(QStringLiteral("ProcessLoadToDB")));
    QVERIFY(AppHarness::waitFor([&] { return !app.property("DataWindow", "enabled").toBool(); }));
    shown->setContent(555, 0, {{t0.addDays(3), {{1, 1.0f, 0}}}});

    QVERIFY(app.waitForProperty(QStringLiteral("DataWindow"), "enabled", true));
    QCOMPARE(app.property("ButtonBase", "enabled"), QVariant(true));
    QCOMPARE(app.property("ButtonOpenFilesDevice", "enabled"), QVariant(true));
    if (QObject* popup = app.object(QStringLiteral("ProcessLoadToDB")))
        QCOMPARE(popup->property("progressLoadToDB").toFloat(), 100.0f);

    QCOMPARE(shell(app.databasePath(), "SELECT DateTime, Value, idDevice FROM RECORD_ZR ORDER BY idRecord"),
             QStringList({"2020-09-13 12:26:40|21.5|555", "2020-09-13 12:26:41|22.5|555", "2020-09-13 12:26:41|40.0|555"}));
}

void TestDataBase::delete_takesOnlyTheChannelsAndUnitsShown_andSaysHowMany()
{
    // Two channels of one instrument, and a third channel that changed its
    // sensor (unit) half way.
    Archive archive;
    const Cell lux{300, QStringLiteral("Лк")};
    const Cell celsius{21, QStringLiteral("°C")};
    archive.load(*logTable({QStringLiteral("Канал №1"), QStringLiteral("Канал №2"), QStringLiteral("Доп.измерение №1")},
                           {{t0, {Cell{1, "°C"}, Cell{2, "%"}, celsius}},
                            {t0.addSecs(60), {Cell{3, "°C"}, Cell{4, "%"}, celsius}},
                            {t0.addSecs(120), {Cell{5, "°C"}, Cell{6, "%"}, lux}}}),
                 1, QStringLiteral("ZR-7.49"));
    QCOMPARE(count(archive.file, "RECORD_ZR"), 9);
    QSignalSpy deleted(&archive.interactor, &DataBaseInteractor::recordsDeleted);
    const QString valuesOf = QStringLiteral("SELECT count(*) FROM RECORD_ZR JOIN TYPE_CHANNEL USING(idTypeChannel) "
                                            "WHERE nameChannel = '%1'");

    // A log of its header alone lists no instrument.
    archive.load(*logTable({QStringLiteral("Канал №1")}, {}), 77, QStringLiteral("ZR-7.47"));
    QCOMPARE(shell(archive.file, "SELECT idDevice FROM TYPE_DEVICE"), QStringList{"1"});

    // Only "Канал №2" shown: two rows deleted take its two values, nothing else.
    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №2"));
    filter.insert(QStringLiteral("idDevice"), 1);
    archive.interactor.updateModel(filter);
    QCOMPARE(archive.records.rowCount(), 3);
    archive.interactor.onDeleteDataDb({0, 1}, filter);
    QCOMPARE(archive.errors.count(), 0);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toInt(), 2);
    QCOMPARE(shell(archive.file, valuesOf.arg("Канал №1")), QStringList{"3"});
    QCOMPARE(shell(archive.file, valuesOf.arg("Канал №2")), QStringList{"1"});
    QCOMPARE(shell(archive.file, valuesOf.arg("Доп.измерение №1")), QStringList{"3"});

    // The extra measurement in °C only: the last row shows no value of it (its
    // lux value is filtered out), and that value stays.
    filter.clear();
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Доп.измерение №1"));
    filter.insert(QStringLiteral("unit"), QStringLiteral("°C"));
    filter.insert(QStringLiteral("idDevice"), 1);
    archive.interactor.updateModel(filter);
    QCOMPARE(archive.records.rowCount(), 3);
    archive.interactor.onDeleteDataDb({0, 1, 2}, filter);
    QCOMPARE(deleted.at(1).at(0).toInt(), 2);
    QCOMPARE(shell(archive.file, "SELECT Value, unit FROM RECORD_ZR JOIN UNIT USING(idUnit) JOIN TYPE_CHANNEL "
                                 "USING(idTypeChannel) WHERE nameChannel = 'Доп.измерение №1'"),
             QStringList{"300.0|Лк"});

    // Rows of a selection without channels show no value: nothing goes.
    filter.clear();
    filter.insert(QStringLiteral("idDevice"), 1);
    archive.interactor.updateModel(filter);
    archive.interactor.onDeleteDataDb({0, 1, 2}, filter);
    QCOMPARE(deleted.at(2).at(0).toInt(), 0);
    QCOMPARE(count(archive.file, "RECORD_ZR"), 5);
    QCOMPARE(archive.errors.count(), 0);
}

void TestDataBase::mixedUnits_shareNoStatisticAndNoLine()
{
    // "Канал №1" measured temperature, then pressure, then light.
    Archive archive;
    archive.load(*logTable({QStringLiteral("Канал №1")}, {{t0, {Cell{21.5, "°C"}}},
                                                        {t0.addSecs(60), {Cell{22.5, "°C"}}},
                                                        {t0.addSecs(120), {Cell{750, "мм.рт.ст."}}},
                                                        {t0.addSecs(180), {Cell{416.98, "Лк"}}},
                                                        {t0.addSecs(240), {Cell{420, "Лк"}}}}),
                 1, QStringLiteral("ZR-7.49"));
    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    archive.interactor.updateModel(filter);
    QCOMPARE(archive.records.rowCount(), 5);

    ModelStatistics statistics(&archive.records);
    statistics.setHeaders({QStringLiteral("Канал №1")});
    for (int row : {ModelStatistics::MaximumRow, ModelStatistics::MeanRow, ModelStatistics::MinimumRow})
        QCOMPARE(statistics.cellText(row, 1), QStringLiteral("разные единицы: °C, мм.рт.ст., Лк"));

    // The screen's chart: one line per unit, named with it, each holding its
    // own values alone.
    SelectionChartFeed feed(&archive.records);
    QStringList names;
    QList<QList<double>> values;
    for (const SelectionChartFeed::ColumnLine& line : feed.lines("Канал №1")) {
        names << line.name;
        values << QList<double>();
        for (const QPointF& point : feed.points(line.key))
            values.last() << point.y();
    }
    QCOMPARE(names, QStringList({"Канал №1, °C", "Канал №1, мм.рт.ст.", "Канал №1, Лк"}));
    QCOMPARE(values, QList<QList<double>>({{21.5, 22.5}, {750}, {416.98, 420}}));
    QVERIFY(feed.points("Канал №1").isEmpty());

    // The report: one chart per unit, titled with it.
    PrintSetting setting;
    setting.printChart = true;
    setting.generalChart = false;
    setting.firstRow = 0;
    setting.lastRow = 4;
    setting.beginDateTime = t0;
    setting.endDateTime = t0.addSecs(240);
    QStringList titles;
    QList<int> counts;
    for (const auto& chart : ReportCharts::buildDataBaseCharts(&archive.records, setting)) {
        titles << chart->title();
        counts << int(qobject_cast<QXYSeries*>(chart->series().constFirst())->count());
    }
    QCOMPARE(titles, QStringList({"Канал №1, °C", "Канал №1, мм.рт.ст.", "Канал №1, Лк"}));
    QCOMPARE(counts, QList<int>({2, 1, 2}));

    // A single unit keeps its plain statistics.
    filter.insert(QStringLiteral("unit"), QStringLiteral("Лк"));
    archive.interactor.updateModel(filter);
    ModelStatistics lux(&archive.records);
    lux.setHeaders({QStringLiteral("Канал №1")});
    QCOMPARE(lux.cellText(ModelStatistics::MaximumRow, 1), QStringLiteral("420.0 Лк"));
}

void TestDataBase::damagedArchive_lackingALookupTable_isReportedAndLeftAlone_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("units") << "UNIT";
    QTest::newRow("channels") << "TYPE_CHANNEL";
    QTest::newRow("instruments") << "TYPE_DEVICE";
}

void TestDataBase::damagedArchive_lackingALookupTable_isReportedAndLeftAlone()
{
    QFETCH(QString, table);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Record.sqlite"));
    {
        DataBaseInteractor interactor(file);
        interactor.open();
        interactor.writeFromModel(longLog(3, t0).get(), 1, QStringLiteral("ZR-7.47"), 256, 257, 258);
    }
    QCOMPARE(shell(file, "DROP TABLE " + table), QStringList());
    const QStringList before = shell(file, "SELECT * FROM RECORD_ZR ORDER BY idRecord");
    QCOMPARE(before.size(), 5);

    DataBaseInteractor interactor(file);
    TableDBModel records;
    interactor.setRecordModel(&records);
    QSignalSpy errors(&interactor, &DataBaseInteractor::errorOccurred);
    interactor.open();
    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    interactor.updateModel(filter);
    interactor.writeFromModel(longLog(3, t0.addDays(1)).get(), 1, QStringLiteral("ZR-7.47"), 256, 257, 258);

    QCOMPARE(errors.count(), 3);
    for (const QList<QVariant>& error : qAsConst(errors))
        QVERIFY2(error.at(0).toString().startsWith("Ошибка открытия базы данных: нет таблицы " + table + ","),
                 qPrintable(error.at(0).toString()));
    QCOMPARE(shell(file, "SELECT count(*) FROM sqlite_master WHERE name = '" + table + "'"), QStringList{"0"});
    QCOMPARE(shell(file, "SELECT * FROM RECORD_ZR ORDER BY idRecord"), before);
}

QTEST_MAIN(TestDataBase)
#include "tst_database.moc"
