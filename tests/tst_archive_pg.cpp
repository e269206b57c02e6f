// The shared archive on a PostgreSQL server that the test starts itself: the
// same logs loaded into Record.sqlite and into the server give the same lists,
// period, selections, exports and reports, before and after deletes; several
// computers loading and deleting at once store every value once and leave no
// orphan; a server that is down or refuses the login says why, and the next
// archive action tries again.
#include "LogFileBytes.h"
#include "PgTestServer.h"

#include "report/MetaTypes.h"
#include "data/CsvExporter.h"
#include "data/XlsxExporter.h"
#include "database/ArchiveLocation.h"
#include "database/DataBaseInteractor.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"
#include "database/TableDBModel.h"
#include "report/PrintSetting.h"
#include "report/ReportLayout.h"
#include "report/Reporter.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QThread>
#include <QtTest>

#include <optional>

namespace {

PgTestServer* server = nullptr;

const qint64 t0 = 1600000000; // 13.09.2020 12:26:40

struct Value
{
    float value;
    QString unit;
};
using Cells = QVector<std::optional<Value>>;

LogSnapshot makeLog(const QStringList& channels, const QVector<QPair<qint64, Cells>>& rows)
{
    LogSnapshot log;
    log.channels = channels;
    for (const auto& row : rows) {
        log.seconds << row.first;
        for (int c = 0; c < channels.size(); ++c) {
            LogSnapshot::Cell cell;
            if (const std::optional<Value> value = row.second.value(c)) {
                if (!log.units.contains(value->unit))
                    log.units << value->unit;
                cell.value = value->value;
                cell.unit = log.units.indexOf(value->unit);
            }
            log.cells << cell;
        }
    }
    return log;
}

const QStringList zr747 = {"Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"};

// A day's work of a ZR-7.47 from `first`: values on the rounding edge
// (x.xx5), exact binary halves, large values, gaps and fractions, a repeated
// time stamp and a row without one.
LogSnapshot workLog(qint64 first, int rows)
{
    QVector<QPair<qint64, Cells>> table;
    for (int r = 0; r < rows; ++r) {
        Cells cells = {Value{20.0f + float(r % 37) * 0.005f, "°C"}, Value{-0.125f * float(r % 9), "В"},
                       std::nullopt, Value{r % 5 == 0 ? 0.001f : float(r) / 3.0f, "%"}};
        if (r % 11 != 0)
            cells[2] = Value{1234567.0f + float(r), "Гц"};
        table.append({first + 60 * r, cells});
        if (r == 100)
            table.append({first + 60 * r, {Value{99.0f, "°C"}}});
    }
    table.append({LogSnapshot::noTime, {Value{1.0f, "°C"}}});
    return makeLog(zr747, table);
}

// A ZR-7.49 across the night New York's clocks skip an hour.
LogSnapshot nightLog()
{
    const qint64 first = QDateTime(QDate(2021, 3, 14), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    QVector<QPair<qint64, Cells>> table;
    for (int r = 0; r < 240; ++r)
        table.append({first + 60 * r, {Value{float(r) * 0.01f, "°C"}, Value{50.0f - float(r) / 7.0f, "Гц"},
                                       r % 3 ? std::optional<Value>() : Value{float(r), "°C"}}});
    return makeLog({"Канал №1", "Канал №10", "Канал №2"}, table);
}

// Names a technician could type: quotes of both kinds and backslashes.
LogSnapshot oddNamesLog()
{
    QVector<QPair<qint64, Cells>> table;
    for (int r = 0; r < 5; ++r)
        table.append({t0 + 60 * r, {Value{1.5f + float(r), "м'с"}, Value{2.25f, "В\\м"}, Value{-3.0f, "%"}}});
    return makeLog({"Канал 'А'", "Канал \"Б\" №3", "Путь\\C:"}, table);
}

DBParameters request(const QStringList& channels, const QVariantList& devices, const QStringList& units,
                     const QList<qint64>& period)
{
    DBParameters p;
    for (const QString& channel : channels)
        p.insert("nameChannel", channel);
    for (const QVariant& device : devices)
        p.insert("idDevice", device);
    for (const QString& unit : units)
        p.insert("unit", unit);
    for (qint64 seconds : period)
        p.insert("DateTime", QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
    return p;
}

// Every cell of a query model as shown, NULL apart from an empty text.
QStringList contents(const QSqlQueryModel& model)
{
    QStringList lines;
    QStringList names;
    for (int c = 0; c < model.columnCount(); ++c)
        names << model.headerData(c, Qt::Horizontal).toString();
    lines << names.join('|');
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            const QVariant value = model.index(r, c).data();
            cells << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        lines << cells.join('|');
    }
    return lines;
}

struct Archive
{
    explicit Archive(const QString& location) : interactor(location)
    {
        interactor.setRecordModel(&records);
        interactor.open();
    }

    QStringList errorTexts() const
    {
        QStringList texts;
        for (const QList<QVariant>& arguments : errors)
            texts << arguments.at(0).toString();
        return texts;
    }

    QStringList select(const DBParameters& parameters)
    {
        interactor.updateModel(parameters);
        return contents(records);
    }

    // Period and the three lists, as the database screen gets them.
    QStringList filters()
    {
        interactor.loadFiltersDB();
        DataBaseFilters* f = interactor.filters();
        QStringList lines = {f->period().minDateTime.toString(Qt::ISODate), f->period().maxDateTime.toString(Qt::ISODate)};
        lines << contents(*f->modelDevice()) << contents(*f->modelTypeUnit()) << contents(*f->modelTypeChannel());
        const QAbstractItemModel* channels = f->modelTypeChannel();
        for (int r = 0; r < channels->rowCount(); ++r)
            lines << channels->index(r, 0).data(258).toString();
        return lines;
    }

    DataBaseInteractor interactor;
    TableDBModel records;
    QSignalSpy errors{&interactor, &DataBaseInteractor::errorOccurred};
};

// Every stored value exactly, read past the application's own statements.
QStringList storedValues(const QString& location)
{
    const ArchiveLocation where = ArchiveLocation::parse(location, QString());
    const QString name = QStringLiteral("stored-values");
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(where.isServer() ? "QPSQL" : "QSQLITE", name);
        db.setDatabaseName(where.isServer() ? where.database : where.filePath);
        db.setHostName(where.host);
        db.setPort(where.port);
        db.setUserName(where.user);
        if (!db.open())
            return {db.lastError().text()};
        QSqlQuery q(db);
        const QString time = where.isServer() ? "DateTime::text" : "DateTime";
        const QString byBytes = where.isServer() ? " COLLATE \"C\"" : "";
        if (!q.exec(QStringLiteral("SELECT %1, Value, unit, nameChannel, idDevice FROM RECORD_ZR JOIN UNIT USING(idUnit) "
                                   "JOIN TYPE_CHANNEL USING(idTypeChannel) ORDER BY idDevice, DateTime, nameChannel%2")
                        .arg(time, byBytes)))
            return {q.lastError().text()};
        while (q.next())
            rows << QStringList({q.value(0).toString(), QString::number(q.value(1).toDouble(), 'g', 17),
                                 q.value(2).toString(), q.value(3).toString(), q.value(4).toString()})
                        .join('|');
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QByteArray workbookDescription(const QSqlQueryModel& model)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("selection.xlsx");
    XlsxExporter::saveQuery(path, &model);
    QProcess process;
    process.start(QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
                  {QStringLiteral(ORVELIN_TEST_SUPPORT_DIR "/check_xlsx.py"), path});
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

QString reportText(const QSqlQueryModel& model, const DBParameters& parameters)
{
    PrintSetting setting;
    setting.fullReport = true;
    setting.lastRow = model.rowCount() - 1;
    Reporter reporter;
    ReportLayout::composeDataBaseReport(reporter, &model, setting, parameters);
    return reporter.document()->toPlainText();
}

// Runs `work` on an archive of its own in a thread of its own, as another
// computer would; the archive's signals are counted there.
class Computer : public QThread
{
public:
    Computer(const QString& location, std::function<void(Archive&)> work) : m_location(location), m_work(std::move(work)) {}
    QStringList errors;

protected:
    void run() override
    {
        Archive archive(m_location);
        m_work(archive);
        errors = archive.errorTexts();
    }

private:
    QString m_location;
    std::function<void(Archive&)> m_work;
};

} // namespace

class TestArchivePg : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameLogs_giveTheSameListsSelectionsExportsAndReports_onFileAndServer();
    void computersLoadingAtOnce_storeEveryValueOnce_andEveryLookupOnce();
    void deleteBesideLoads_leavesNoOrphanAndNoHalfLoad();
    void downOrRefusingServer_saysWhy_andTheNextArchiveActionTriesAgain();
    void commandLineImportsAtOnce_storeEachLogOnce_andQueryAsFromAFile();
};

void TestArchivePg::initTestCase()
{
    registerMetaTypes();
    server = new PgTestServer();
    if (server->missing())
        QSKIP(qPrintable(QStringLiteral("PostgreSQL server not available: ") + server->problem()));
    QVERIFY2(server->problem().isEmpty(), qPrintable(server->problem()));
}

void TestArchivePg::cleanupTestCase()
{
    delete server;
    server = nullptr;
}

void TestArchivePg::sameLogs_giveTheSameListsSelectionsExportsAndReports_onFileAndServer()
{
    QVERIFY(server->createDatabase("compared"));
    QTemporaryDir dir;
    Archive file(dir.filePath("Record.sqlite"));
    Archive shared(server->url("compared"));

    const LogSnapshot work = workLog(t0, 600);
    const LogSnapshot later = workLog(t0 + 60 * 500, 300);
    for (Archive* archive : {&file, &shared}) {
        archive->interactor.writeLog(work, 1234567, "ZR-7.47");
        archive->interactor.writeLog(nightLog(), 4000000000u, "ZR-7.49");
        archive->interactor.writeLog(oddNamesLog(), 7, "ZR-7.47 'б'");
        archive->interactor.writeLog(work, 1234567, "ZR-7.49"); // again: nothing new
        archive->interactor.writeLog(later, 1234567, "ZR-7.47");
    }
    QCOMPARE(shared.errorTexts(), QStringList());
    QCOMPARE(file.errorTexts(), QStringList());
    const QStringList stored = storedValues(file.interactor.databasePath());
    QCOMPARE(stored.size(), 4 * 800 - 73 + 240 * 2 + 80 + 15);
    QCOMPARE(storedValues(shared.interactor.databasePath()), stored);

    const QStringList everyChannel = zr747 + QStringList{"Канал №10", "Канал 'А'", "Канал \"Б\" №3", "Путь\\C:"};
    const QVector<DBParameters> requests = {
        request(everyChannel, {}, {}, {}),
        request({"Канал №2", "Канал №1"}, {1234567}, {}, {t0 + 3000, t0 + 600}),
        request(everyChannel, {}, {"°C", "Гц"}, {}),
        request({"Канал №10"}, {}, {}, {t0}),
        request({}, {int(4000000000u)}, {}, {}),
        request({"Канал 'А'", "Канал \"Б\" №3", "Путь\\C:"}, {7, 1234567}, {"м'с", "%"}, {t0, t0 + 120}),
        request({"нет такого"}, {1}, {}, {t0 + 86400 * 400, t0 + 86400 * 401}),
    };
    auto compareEverything = [&] {
        QCOMPARE(shared.filters(), file.filters());
        for (const DBParameters& parameters : requests) {
            const QStringList expected = file.select(parameters);
            QCOMPARE(shared.select(parameters), expected);
            QCOMPARE(CsvExporter::queryCsv(&shared.records), CsvExporter::queryCsv(&file.records));
            if (parameters.contains("idDevice", 1234567)) {
                const QByteArray workbook = workbookDescription(file.records);
                QVERIFY(workbook.contains("\"cells\""));
                QCOMPARE(workbookDescription(shared.records), workbook);
                const QString report = reportText(file.records, parameters);
                QVERIFY(report.contains(QStringLiteral("№ прибора")));
                QCOMPARE(reportText(shared.records, parameters), report);
            }
        }
    };
    compareEverything();
    QCOMPARE(file.select(requests.at(1)).mid(0, 2),
             QStringList({"Дата|Канал №1|Канал №2|№ прибора", "13.09.2020 12:36:40|20.05 °C|1234577.0 Гц|1234567"}));

    // The same rows deleted on both: values, orphaned units and channels go.
    const DBParameters oddOnes = request({"Канал 'А'"}, {7}, {}, {});
    for (Archive* archive : {&file, &shared}) {
        archive->select(requests.at(0));
        archive->interactor.onDeleteDataDb({1, 5, 6, 7, 8, 9, 10, 11, 12, 900}, requests.at(0));
        archive->select(oddOnes);
        archive->interactor.onDeleteDataDb({0, 1, 2, 3, 4, 5}, oddOnes);
    }
    QCOMPARE(shared.errorTexts(), QStringList());
    QVERIFY(!file.filters().join('\n').contains("м'с"));
    QCOMPARE(storedValues(shared.interactor.databasePath()), storedValues(file.interactor.databasePath()));
    compareEverything();
}

void TestArchivePg::computersLoadingAtOnce_storeEveryValueOnce_andEveryLookupOnce()
{
    QVERIFY(server->createDatabase("together"));
    const QString url = server->url("together");
    {
        // Instruments 2 and 3 are known, so their loads below look their new
        // units up at once, both before either has stored one.
        Archive prepared(url);
        for (uint id : {2u, 3u})
            prepared.interactor.writeLog(makeLog({"Канал №1"}, {{t0 - 60, {Value{0.5f, "°C"}}}}), id, "ZR-7.47");
    }

    // Units in opposite orders of first use, so that two loads adding both
    // would each wait for the other's new row.
    auto unitsLog = [](const QString& first, const QString& second) {
        QVector<QPair<qint64, Cells>> table;
        for (int r = 0; r < 2000; ++r)
            table.append({t0 + r, {Value{float(r), r < 1000 ? first : second}, Value{1.0f, second}}});
        return makeLog({"Канал №1", "Канал №2"}, table);
    };
    const LogSnapshot same = workLog(t0, 3000);
    const LogSnapshot other = workLog(t0 + 60 * 3000, 3000);
    auto load = [](const LogSnapshot& log, uint id) {
        return [log, id](Archive& archive) { archive.interactor.writeLog(log, id, "ZR-7.47"); };
    };

    // The record table is held until all four wait for it, then they race.
    QSqlDatabase gate = QSqlDatabase::addDatabase("QPSQL", "gate");
    const ArchiveLocation where = ArchiveLocation::parse(url, QString());
    gate.setHostName(where.host);
    gate.setPort(where.port);
    gate.setUserName(where.user);
    gate.setDatabaseName(where.database);
    QVERIFY(gate.open());
    QSqlQuery hold(gate);
    QVERIFY(hold.exec("BEGIN") && hold.exec("LOCK TABLE RECORD_ZR IN ACCESS EXCLUSIVE MODE"));

    std::vector<std::unique_ptr<Computer>> computers;
    computers.emplace_back(new Computer(url, load(same, 1)));
    computers.emplace_back(new Computer(url, load(same, 1)));
    computers.emplace_back(new Computer(url, load(other, 1)));
    computers.emplace_back(new Computer(url, load(unitsLog("Па", "мм"), 2)));
    computers.emplace_back(new Computer(url, load(unitsLog("мм", "Па"), 3)));
    for (auto& computer : computers)
        computer->start();
    QSqlQuery waiting(gate);
    QTRY_VERIFY_WITH_TIMEOUT(waiting.exec("SELECT count(*) FROM pg_locks WHERE NOT granted") && waiting.next()
                                 && waiting.value(0).toInt() == int(computers.size()),
                             60000);
    QVERIFY(hold.exec("COMMIT"));
    for (auto& computer : computers) {
        QVERIFY(computer->wait(120000));
        QCOMPARE(computer->errors, QStringList());
    }

    QSqlQuery check(gate);
    auto number = [&](const QString& sql) {
        return check.exec(sql) && check.next() ? check.value(0).toInt() : -1;
    };
    QCOMPARE(number("SELECT count(*) FROM RECORD_ZR WHERE idDevice = 1"), 2 * (4 * 3000 - 273));
    QCOMPARE(number("SELECT count(*) FROM RECORD_ZR WHERE idDevice IN (2, 3)"), 2 * 4000 + 2);
    QCOMPARE(number("SELECT count(*) - count(DISTINCT unit) FROM UNIT"), 0);
    QCOMPARE(number("SELECT count(*) FROM UNIT"), 6);
    QCOMPARE(number("SELECT count(*) - count(DISTINCT nameChannel) FROM TYPE_CHANNEL"), 0);
    QCOMPARE(number("SELECT count(*) FROM TYPE_DEVICE"), 3);
    gate.close();
    gate = QSqlDatabase();
    QSqlDatabase::removeDatabase("gate");
}

void TestArchivePg::deleteBesideLoads_leavesNoOrphanAndNoHalfLoad()
{
    QVERIFY(server->createDatabase("beside"));
    const QString url = server->url("beside");
    auto log = [](qint64 first, int rows, const QString& unit) {
        QVector<QPair<qint64, Cells>> table;
        for (int r = 0; r < rows; ++r)
            table.append({first + r, {Value{float(r), unit}, Value{1.0f, "°C"}}});
        return makeLog({"Канал №1", "Канал №2"}, table);
    };
    // Every round instrument 1 holds the only values of a new unit. One
    // computer deletes them (and so the unit) while a second loads values of
    // that unit for instrument 2 and a third loads more of instrument 1.
    Archive setup(url);
    for (int round = 0; round < 12; ++round) {
        const qint64 first = t0 + 100000 * round;
        const QString unit = QStringLiteral("Гц%1").arg(round);
        setup.interactor.writeLog(log(first, 50, unit), 1, "ZR-7.47");
        const DBParameters shown = request({"Канал №1"}, {1}, {unit}, {});
        Computer deleting(url, [shown](Archive& archive) {
            archive.select(shown);
            QList<int> rows;
            for (int r = 0; r < archive.records.rowCount(); ++r)
                rows << r;
            archive.interactor.onDeleteDataDb(rows, shown);
        });
        const LogSnapshot sameUnit = log(first, 400, unit);
        Computer loading(url, [&sameUnit](Archive& archive) { archive.interactor.writeLog(sameUnit, 2, "ZR-7.49"); });
        const LogSnapshot more = makeLog({"Канал №2"}, {{first + 50000, {Value{5.0f, "°C"}}}});
        Computer adding(url, [&more](Archive& archive) { archive.interactor.writeLog(more, 1, "ZR-7.47"); });
        for (Computer* computer : {&deleting, &loading, &adding})
            computer->start();
        for (Computer* computer : {&deleting, &loading, &adding}) {
            QVERIFY(computer->wait(60000));
            QCOMPARE(computer->errors, QStringList());
        }
    }

    const QStringList stored = storedValues(url);
    // The delete takes only the values shown (channel 1 in the round's unit):
    // instrument 1's 50 channel-2 values of each round stay.
    QCOMPARE(stored.size(), 12 * (800 + 1 + 50));
    QCOMPARE(stored.filter(QRegularExpression("\\|1$")).size(), 12 * (1 + 50));
    // Every record finds its unit and instrument, and every unit and
    // instrument is used by a record.
    QCOMPARE(server->run("beside", {"DO $$BEGIN IF EXISTS (SELECT 1 FROM RECORD_ZR r WHERE NOT EXISTS "
                                    "(SELECT 1 FROM UNIT u WHERE u.idUnit = r.idUnit) OR NOT EXISTS (SELECT 1 FROM "
                                    "TYPE_DEVICE d WHERE d.idDevice = r.idDevice)) OR EXISTS (SELECT 1 FROM UNIT u WHERE "
                                    "NOT EXISTS (SELECT 1 FROM RECORD_ZR r WHERE r.idUnit = u.idUnit)) OR EXISTS "
                                    "(SELECT 1 FROM TYPE_DEVICE d WHERE NOT EXISTS (SELECT 1 FROM RECORD_ZR r WHERE "
                                    "r.idDevice = d.idDevice)) THEN RAISE EXCEPTION 'orphans'; END IF; END$$"}),
             QString());
}

void TestArchivePg::downOrRefusingServer_saysWhy_andTheNextArchiveActionTriesAgain()
{
    QVERIFY(server->createDatabase("later"));
    Archive archive(server->url("later", "technician"));
    QSignalSpy progress(&archive.interactor, &DataBaseInteractor::downloadRecordsProcess);
    QSignalSpy loaded(&archive.interactor, &DataBaseInteractor::filtersDBLoaded);
    archive.interactor.writeLog(oddNamesLog(), 7, "ZR-7.47");
    QCOMPARE(archive.errors.count(), 2);
    for (const QString& text : archive.errorTexts()) {
        QCOMPARE(text.section('\n', 0, 0), QStringLiteral("Ошибка открытия базы данных"));
        QVERIFY2(text.section('\n', 1).contains("technician"), qPrintable(text));
    }
    QCOMPARE(progress.count(), 1); // the data screen is let go

    // The login is set up while the application runs: the next action works.
    QCOMPARE(server->run("later", {"CREATE ROLE technician LOGIN", "ALTER DATABASE later OWNER TO technician"}),
             QString());
    archive.interactor.writeLog(oddNamesLog(), 7, "ZR-7.47");
    QCOMPARE(archive.errors.count(), 2);
    QCOMPARE(archive.select(request({"Канал 'А'"}, {7}, {}, {})).size(), 6);

    // A clerk without the right to create anything uses the tables as they are.
    QCOMPARE(server->run("later", {"CREATE ROLE clerk LOGIN", "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES "
                                                             "IN SCHEMA public TO clerk"}),
             QString());
    Archive clerk(server->url("later", "clerk"));
    clerk.interactor.writeLog(workLog(t0, 10), 8, "ZR-7.49");
    QCOMPARE(clerk.errorTexts(), QStringList());

    // The server goes down and comes back.
    QVERIFY(server->stop());
    QSignalSpy updated(&archive.interactor, &DataBaseInteractor::modelUpdated);
    archive.interactor.updateModel(request({"Канал 'А'"}, {7}, {}, {}));
    QCOMPARE(archive.errors.count(), 3);
    QCOMPARE(archive.errorTexts().last().section('\n', 0, 0), QStringLiteral("Ошибка открытия базы данных"));
    QVERIFY(!archive.errorTexts().last().section('\n', 1).isEmpty());
    QCOMPARE(updated.count(), 1);
    QCOMPARE(archive.records.rowCount(), 0);
    archive.interactor.loadFiltersDB();
    QCOMPARE(archive.errors.count(), 4);
    QVERIFY(server->start());
    loaded.clear();
    archive.interactor.loadFiltersDB();
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(archive.select(request({"Канал 'А'"}, {7}, {}, {})).size(), 6);
    QCOMPARE(archive.errors.count(), 4);
}

void TestArchivePg::commandLineImportsAtOnce_storeEachLogOnce_andQueryAsFromAFile()
{
    QVERIFY(server->createDatabase("imported"));
    QTemporaryDir dir;
    // Two downloads of one ZR-7.49, the second overlapping the first.
    auto logFile = [&](const QString& name, int from, int records) {
        QByteArray bytes = logbytes::header(1, 555);
        for (int r = from; r < from + records; ++r)
            bytes += logbytes::record(quint32(t0 + 60 * r), logbytes::present(20.0f + float(r % 40) * 0.125f, 1.5f),
                                      r % 4 ? logbytes::present(float(r) / 8.0f) : logbytes::absent());
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    };
    const QString first = logFile("A.LOG", 0, 300);
    const QString second = logFile("B.LOG", 200, 300);

    auto cli = [](const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QCoreApplication::applicationDirPath() + "/orvelin-cli", arguments);
        return process;
    };
    const QString url = server->url("imported");
    std::vector<std::unique_ptr<QProcess>> imports;
    for (const QString& log : {first, first, second})
        imports.push_back(cli({"import", log, "--db", url}));
    for (auto& process : imports) {
        QVERIFY(process->waitForFinished(120000));
        QVERIFY2(process->exitCode() == 0, process->readAll().constData());
    }
    auto sqliteImport = cli({"import", first, second, "--db", dir.filePath("Record.sqlite")});
    QVERIFY(sqliteImport->waitForFinished(120000) && sqliteImport->exitCode() == 0);

    const QStringList stored = storedValues(url);
    QCOMPARE(stored.size(), 500 * 2 + 375); // channel 1 and its extra value; channel 2 in three rows of four
    QCOMPARE(storedValues(dir.filePath("Record.sqlite")), stored);
    for (const QString& location : {url, dir.filePath("Record.sqlite")}) {
        auto query = cli({"query", "--channel", "Канал №1", "--channel", "Канал №2", "--device", "555", "--from",
                          "13.09.2020 13:00", "--csv", dir.filePath(QFileInfo(location).fileName() + ".csv"), "--db",
                          location});
        QVERIFY(query->waitForFinished(120000));
        QVERIFY2(query->exitCode() == 0, query->readAll().constData());
    }
    QFile fromServer(dir.filePath("imported.csv"));
    QFile fromFile(dir.filePath("Record.sqlite.csv"));
    QVERIFY(fromServer.open(QIODevice::ReadOnly) && fromFile.open(QIODevice::ReadOnly));
    const QByteArray csv = fromFile.readAll();
    QVERIFY(csv.count('\n') > 400);
    QCOMPARE(fromServer.readAll(), csv);

    // A server that refuses: exit code 2 and the reason on the one line.
    auto refused = cli({"import", first, "--db", server->url("imported", "nobody")});
    QVERIFY(refused->waitForFinished(120000));
    QCOMPARE(refused->exitCode(), 2);
    const QString said = QString::fromUtf8(refused->readAll()).trimmed();
    QVERIFY2(said.contains("Ошибка открытия базы данных: ") && said.contains("nobody") && !said.contains('\n'),
             qPrintable(said));
}

QTEST_MAIN(TestArchivePg)
#include "tst_archive_pg.moc"
