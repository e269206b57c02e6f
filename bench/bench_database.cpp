// Figures for the archive.
//
// 1. Loading a 40,000-record ZR-7.47 log (160,000 values) into an archive that
//    already holds 300,000 values: the statement-per-value sequence (a unit
//    lookup, a channel lookup, an insert and a last-id select for every value,
//    the time stamps already stored read through a query model) beside the
//    loader, each into its own copy of the same archive, then both results
//    compared row by row.
// 2. Selections from an archive of 10 million values (5 instruments, one
//    record a minute, 4 channels): one day and a 40,000-record window, through
//    the record table model, with the instrument-and-time index and without,
//    and SQLite's plan for them. The big archive is kept in the temporary
//    folder between runs (pass --rebuild to make it anew).
//
// Usage: bench_database [--rebuild] [--values N] [--loader-only]

#include "data/ModelLogRecord.h"
#include "database/DBRecordZrTable.h"
#include "database/DBTypeChannelTable.h"
#include "database/DBTypeDeviceTable.h"
#include "database/DBUnitTable.h"
#include "database/DataBase.h"
#include "database/DataBaseInteractor.h"
#include "database/LogLoader.h"
#include "database/LogSnapshot.h"
#include "database/TableDBModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

const QDateTime start(QDate(2023, 1, 1), QTime(0, 0), Qt::UTC);

ModelLogRecord* makeLog(int records, const QDateTime& from, quint32 id)
{
    QVector<LogRecord> rows;
    rows.reserve(records);
    for (int i = 0; i < records; ++i) {
        LogRecord r;
        r.dateTime = from.addSecs(60LL * i);
        // Values with at most six significant digits: both ways store the same number.
        r.entries = {{1, 20.0f + float(i % 1300) / 100.0f, 0}, {2, 3.25f, 11},
                     {3, float(i % 97) * 0.5f, 1}, {4, 19.75f, 0}};
        rows << r;
    }
    auto* model = new ModelLogRecord();
    model->setContent(id, 0, rows);
    return model;
}

// The statement-per-value load, as a log table was first stored.
int statementSequenceLoad(DataBase& db, const QAbstractItemModel& model, uint idDevice, const QString& type)
{
    const DBUnitTable unit;
    const DBTypeChannelTable channel;
    const DBTypeDeviceTable device;
    const DBRecordZrTable record;

    DBParameters request;
    request.insert("DateTime", model.index(0, 0).data(257).toDateTime());
    request.insert("DateTime", model.index(model.rowCount() - 1, 0).data(257).toDateTime());
    request.insert("idDevice", idDevice);
    QSqlQueryModel storedModel;
    db.setQuery(&storedModel, record, request);
    QList<QDateTime> stored;
    for (int i = 0; i < storedModel.rowCount(); ++i) {
        QDateTime t = QDateTime::fromString(storedModel.index(i, 0).data().toString(), "dd.MM.yyyy hh:mm:ss");
        t.setTimeSpec(Qt::UTC);
        stored << t;
    }

    QDateTime last;
    db.beginTransaction();
    DBParameters p;
    p.replace("idDevice", idDevice);
    p.replace("typeDevice", type);
    db.findOrInsert(device, p);
    int values = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) {
            if (model.headerData(c, Qt::Horizontal, 256).toBool()) {
                const QModelIndex index = model.index(r, c);
                if (!index.data().isValid())
                    continue;
                p.replace("Value", index.data(257));
                p.replace("unit", index.data(258).toString());
                p.replace("nameChannel", model.headerData(c, Qt::Horizontal).toString());
                p.replace("idUnit", db.findOrInsert(unit, p));
                p.replace("idTypeChannel", db.findOrInsert(channel, p));
                db.insert(record, p);
                ++values;
            } else {
                const QDateTime t = model.index(r, c).data(257).toDateTime();
                if (stored.contains(t) || t == last)
                    break;
                last = t;
                p.replace("DateTime", t);
            }
        }
    }
    db.commitTransaction();
    return values;
}

QStringList storedRows(const QString& file)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "compare");
    db.setDatabaseName(file);
    db.open();
    QStringList rows;
    {
        QSqlQuery q(db);
        q.exec("SELECT DateTime, Value, idUnit, idTypeChannel, idDevice FROM RECORD_ZR ORDER BY idRecord");
        while (q.next())
            rows << QStringLiteral("%1|%2|%3|%4|%5").arg(q.value(0).toString(), q.value(1).toString(),
                                                          q.value(2).toString(), q.value(3).toString(),
                                                          q.value(4).toString());
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("compare");
    return rows;
}

// Same time stamps, units, channels and instruments in the same order; each
// value is the instrument's float again, and its six-digit text is exactly
// what the statement-per-value load stored.
void compareStored(const QStringList& described, const QStringList& ours)
{
    int different = described.size() == ours.size() ? 0 : -1;
    for (int i = 0; different >= 0 && i < ours.size(); ++i) {
        QStringList a = described.at(i).split('|');
        QStringList b = ours.at(i).split('|');
        const double value = b.at(1).toDouble();
        const bool sameValue = a.at(1) == b.at(1)
            || (LogLoader::storedValue(float(value)) == value
                && QString::number(double(float(value)), 'g', 6).toDouble() == a.at(1).toDouble());
        a.removeAt(1);
        b.removeAt(1);
        if (a != b || !sameValue) {
            if (++different <= 3)
                std::printf("    differs: %s  <>  %s\n", qPrintable(described.at(i)), qPrintable(ours.at(i)));
        }
    }
    std::printf("  stored rows the same (values at least as precise): %s (%d rows)\n",
                different == 0 ? "yes" : "NO", int(ours.size()));
}

void benchLoad(bool loaderOnly)
{
    QTemporaryDir dir;
    const QString base = dir.filePath("base.sqlite");
    {
        DataBaseInteractor archive(base);
        archive.open();
        std::unique_ptr<ModelLogRecord> earlier(makeLog(75000, start.addDays(-200), 1234567));
        archive.writeFromModel(earlier.get(), 1234567, "ZR-7.47", 256, 257, 258);
    }
    const QString described = dir.filePath("described.sqlite");
    const QString ours = dir.filePath("ours.sqlite");
    QFile::copy(base, described);
    QFile::copy(base, ours);

    std::unique_ptr<ModelLogRecord> log(makeLog(40000, start, 1234567));
    QElapsedTimer timer;

    DataBase db(described);
    db.open();
    timer.start();
    const int describedValues = loaderOnly ? 160000 : statementSequenceLoad(db, *log, 1234567, "ZR-7.47");
    const double describedMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    const LogSnapshot snapshot = LogSnapshot::fromModel(log.get(), 256, 257, 258);
    const double snapshotMs = timer.nsecsElapsed() / 1e6;
    DataBaseInteractor archive(ours);
    archive.open();
    timer.restart();
    archive.writeLog(snapshot, 1234567, "ZR-7.47");
    const double oursMs = timer.nsecsElapsed() / 1e6;

    std::printf("load of 40000 records (%d values) into an archive of 300000 values:\n", describedValues);
    std::printf("  statement per value: %8.1f ms  %9.0f values/s\n", describedMs, describedValues / (describedMs / 1000));
    std::printf("  loader:              %8.1f ms  %9.0f values/s  (%.1fx; goal 150000 values/s)\n", oursMs,
                describedValues / (oursMs / 1000), describedMs / oursMs);
    std::printf("  copy of the log in the screen's thread: %.1f ms\n", snapshotMs);
    if (!loaderOnly)
        compareStored(storedRows(described), storedRows(ours));

    // Loading the same log again stores nothing; the duplicate check dominates.
    timer.restart();
    archive.writeLog(snapshot, 1234567, "ZR-7.47");
    std::printf("  same log again (nothing stored): %.1f ms\n", timer.nsecsElapsed() / 1e6);
}

// 10 million values with raw inserts; the product's opening then adds the index.
void buildBigArchive(const QString& file, qint64 values)
{
    QFile::remove(file);
    {
        DataBaseInteractor archive(file);
        archive.open();
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "build");
    db.setDatabaseName(file);
    db.open();
    {
        QSqlQuery q(db);
        q.exec("DROP INDEX RECORD_ZR_DEVICE_TIME");
        q.exec("PRAGMA synchronous=OFF");
        q.exec("PRAGMA journal_mode=OFF");
        q.exec("INSERT INTO UNIT (unit) VALUES ('°C'), ('%'), ('В')");
        q.exec("INSERT INTO TYPE_CHANNEL (nameChannel) VALUES ('Канал №1'), ('Доп.измерение №1'), ('Канал №2'), ('Доп.измерение №2')");
        for (int d = 1; d <= 5; ++d)
            q.exec(QStringLiteral("INSERT INTO TYPE_DEVICE (idDevice, typeDevice) VALUES (%1, 'ZR-7.47')").arg(d));
        db.transaction();
        q.prepare(DBRecordZrTable().insertBoundQuery());
        const qint64 perDevice = values / 5 / 4;
        const qint64 t0 = start.toSecsSinceEpoch();
        for (int d = 1; d <= 5; ++d)
            for (qint64 r = 0; r < perDevice; ++r)
                for (int c = 1; c <= 4; ++c) {
                    q.bindValue(0, t0 + 60 * r);
                    q.bindValue(1, double(20 + (r + c) % 50) / 4);
                    q.bindValue(2, c == 2 ? 3 : (c == 3 ? 2 : 1));
                    q.bindValue(3, c);
                    q.bindValue(4, d);
                    q.exec();
                }
        db.commit();
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("build");
}

double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e18;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void benchSelections(bool rebuild, qint64 values)
{
    const QString file = QDir::tempPath() + QStringLiteral("/orvelin-bench-archive-%1.sqlite").arg(values);
    if (rebuild || !QFile::exists(file)) {
        QElapsedTimer timer;
        timer.start();
        buildBigArchive(file, values);
        std::printf("built %lld values in %.1f s\n", values, timer.elapsed() / 1000.0);
    }

    DataBase db(file);
    db.open();
    QElapsedTimer timer;
    timer.start();
    db.createTable(DBRecordZrTable()); // as every opening does: adds the index to an older file
    std::printf("selections from %lld values (opening, index included: %.1f ms)\n", values, timer.nsecsElapsed() / 1e6);

    const DBRecordZrTable record;
    auto request = [](const QDateTime& from, const QDateTime& to) {
        DBParameters p;
        for (const char* channel : {"Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"})
            p.insert("nameChannel", QString::fromUtf8(channel));
        p.insert("idDevice", 3);
        p.insert("DateTime", from);
        p.insert("DateTime", to);
        return p;
    };
    // A day in the middle of each instrument's span.
    const QDateTime dayFrom = start.addSecs(values / 5 / 4 * 60 / 2 / 86400 * 86400);
    const DBParameters day = request(dayFrom, dayFrom.addSecs(86399));
    const DBParameters window = request(dayFrom, dayFrom.addSecs(60 * 39999));

    QSqlDatabase plan = QSqlDatabase::addDatabase("QSQLITE", "plan");
    plan.setDatabaseName(file);
    plan.open();
    auto explain = [&](const DBParameters& p) {
        QSqlQuery q(plan);
        q.exec("EXPLAIN QUERY PLAN " + record.selectQuery(p));
        while (q.next())
            std::printf("      %s\n", qPrintable(q.value(3).toString()));
    };
    auto measure = [&](const char* label) {
        TableDBModel model;
        const double dayMs = bestOf(5, [&] { db.setQuery(&model, record, day); });
        const int dayRows = model.rowCount();
        const double windowMs = bestOf(3, [&] { db.setQuery(&model, record, window); });
        std::printf("  %s: one day (%d rows) %.2f ms (goal 10 ms); 40000-record window (%d rows) %.1f ms (goal 150 ms)\n",
                    label, dayRows, dayMs, model.rowCount(), windowMs);
        // How much of it is SQLite computing the rows, without the model.
        auto sqlOnly = [&](const DBParameters& p) {
            return bestOf(3, [&] {
                QSqlQuery q(plan);
                q.setForwardOnly(true);
                q.exec(record.selectQuery(p));
                while (q.next()) {
                }
            });
        };
        std::printf("    of which SQLite alone: one day %.2f ms, window %.1f ms\n", sqlOnly(day), sqlOnly(window));
    };

    measure("with the index   ");
    std::printf("    plan of the day selection:\n");
    explain(day);
    {
        QSqlQuery q(plan);
        q.exec("DROP INDEX RECORD_ZR_DEVICE_TIME");
    }
    measure("without the index");
    std::printf("    plan without the index:\n");
    explain(day);
    {
        QSqlQuery q(plan);
        q.exec(record.createIndexQueries().constFirst());
    }
    plan = QSqlDatabase();
    QSqlDatabase::removeDatabase("plan");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    qint64 values = 10000000;
    const int at = args.indexOf("--values");
    if (at > 0 && at + 1 < args.size())
        values = args.at(at + 1).toLongLong();
    try {
        benchLoad(args.contains("--loader-only"));
        if (!args.contains("--loader-only"))
            benchSelections(args.contains("--rebuild"), values);
    } catch (const QString& error) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
