// Figures for the archive on a PostgreSQL server that the benchmark starts in
// a temporary folder (with the server's usual flushing to disk).
//
// 1. Loading a 40,000-record ZR-7.47 log (160,000 values) into an archive that
//    already holds 300,000 values, on the server and, beside it, into
//    Record.sqlite; then the same log again (nothing new is stored).
// 2. Selections from a server archive of 10 million values (5 instruments,
//    one record a minute, 4 channels): one instrument's day through the
//    record table model, the server's share of it and its plan.
//
// 3. A journal line in the archive's table (one connection, the lock, the
//    last line and the insert, as every recorded change pays it) against a
//    line of the journal file.
//
// Usage: bench_archive_pg [--values N] [--load-only]

#include "PgTestServer.h"

#include "data/Journal.h"
#include "data/ModelLogRecord.h"
#include "database/ArchiveJournal.h"
#include "database/DBRecordZrTable.h"
#include "database/DataBase.h"
#include "database/DataBaseInteractor.h"
#include "database/LogSnapshot.h"
#include "database/TableDBModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QDateTime start(QDate(2023, 1, 1), QTime(0, 0), Qt::UTC);

LogSnapshot makeLog(int records, const QDateTime& from)
{
    QVector<LogRecord> rows;
    rows.reserve(records);
    for (int i = 0; i < records; ++i) {
        LogRecord r;
        r.dateTime = from.addSecs(60LL * i);
        r.entries = {{1, 20.0f + float(i % 1300) / 100.0f, 0}, {2, 3.25f, 11},
                     {3, float(i % 97) * 0.5f, 1}, {4, 19.75f, 0}};
        rows << r;
    }
    ModelLogRecord model;
    model.setContent(1234567, 0, rows);
    return LogSnapshot::fromModel(&model, 256, 257, 258);
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

double ownProcessorMs()
{
    rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct LoadTimes
{
    double wallMs = 0;
    double ownMs = 0;    // processor time of this process
    double serverMs = 0; // processor time of the server's processes
    double againMs = 0;  // the same log again, wall
};

// The first load of `log` into an archive that holds `earlier`, and the same again.
LoadTimes timeLoad(const QString& location, const LogSnapshot& earlier, const LogSnapshot& log,
                   const PgTestServer* server)
{
    DataBaseInteractor archive(location);
    archive.open();
    archive.writeLog(earlier, 1234567, "ZR-7.47");
    LoadTimes times;
    const double own = ownProcessorMs();
    const double serverBefore = server ? server->processorMs() : 0;
    QElapsedTimer timer;
    timer.start();
    archive.writeLog(log, 1234567, "ZR-7.47");
    times.wallMs = timer.nsecsElapsed() / 1e6;
    times.ownMs = ownProcessorMs() - own;
    times.serverMs = server ? server->processorMs() - serverBefore : 0;
    timer.restart();
    archive.writeLog(log, 1234567, "ZR-7.47");
    times.againMs = timer.nsecsElapsed() / 1e6;
    return times;
}

void benchLoad(const PgTestServer& server)
{
    server.createDatabase("load");
    const LogSnapshot earlier = makeLog(75000, start.addDays(-200));
    const LogSnapshot log = makeLog(40000, start);
    const double values = 160000;

    QTemporaryDir dir;
    const LoadTimes file = timeLoad(dir.filePath("Record.sqlite"), earlier, log, nullptr);
    const LoadTimes shared = timeLoad(server.url("load"), earlier, log, &server);
    const double busy = shared.ownMs + shared.serverMs;
    std::printf("load of 40000 records (160000 values) into an archive of 300000 values:\n");
    std::printf("  Record.sqlite: %8.1f ms  %9.0f values/s;  same log again %.1f ms\n", file.wallMs,
                values / (file.wallMs / 1000), file.againMs);
    std::printf("  server:        %8.1f ms  %9.0f values/s;  same log again %.1f ms  (goal 100000 values/s)\n",
                shared.wallMs, values / (shared.wallMs / 1000), shared.againMs);
    // On a machine shared with other work the wall time waits for processors;
    // the processor time is what the load itself costs.
    std::printf("    processor time: application %.1f ms + server %.1f ms = %.1f ms, i.e. %.0f values/s of processor "
                "time\n",
                shared.ownMs, shared.serverMs, busy, values / (busy / 1000));
}

// The big archive straight from the server's own series, indexes made after.
void buildBigArchive(const PgTestServer& server, const QString& name, qint64 values)
{
    { DataBaseInteractor archive(server.url(name)); archive.open(); }
    const qint64 perDevice = values / 5 / 4;
    const QString error = server.run(name, {
        "DROP INDEX RECORD_ZR_DEVICE_TIME_CHANNEL", "DROP INDEX RECORD_ZR_UNIT", "DROP INDEX RECORD_ZR_CHANNEL",
        "INSERT INTO UNIT (unit) VALUES ('°C'), ('%'), ('В')",
        "INSERT INTO TYPE_CHANNEL (nameChannel) VALUES ('Канал №1'), ('Доп.измерение №1'), ('Канал №2'), ('Доп.измерение №2')",
        "INSERT INTO TYPE_DEVICE (idDevice, typeDevice) SELECT d, 'ZR-7.47' FROM generate_series(1, 5) d",
        QStringLiteral("INSERT INTO RECORD_ZR (DateTime, Value, idUnit, idTypeChannel, idDevice) "
                       "SELECT TIMESTAMP '2023-01-01' + r * INTERVAL '1 minute', (20 + (r + c) % 50) / 4.0, "
                       "CASE c WHEN 2 THEN 3 WHEN 3 THEN 2 ELSE 1 END, c, d "
                       "FROM generate_series(1, 5) d, generate_series(0, %1) r, generate_series(1, 4) c")
            .arg(perDevice - 1),
    });
    if (!error.isEmpty())
        std::printf("  building failed: %s\n", qPrintable(error));
    { DataBaseInteractor archive(server.url(name)); archive.open(); } // the indexes again, as an opening makes them
    server.run(name, {"VACUUM ANALYZE"});
}

void benchSelections(const PgTestServer& server, qint64 values)
{
    server.createDatabase("big");
    QElapsedTimer timer;
    timer.start();
    buildBigArchive(server, "big", values);
    std::printf("built %lld values on the server in %.1f s\n", values, timer.elapsed() / 1000.0);

    DataBase db(server.url("big"));
    db.open();
    const DBRecordZrTable record(db.dialect());
    DBParameters day;
    for (const char* channel : {"Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"})
        day.insert("nameChannel", QString::fromUtf8(channel));
    day.insert("idDevice", 3);
    const QDateTime dayFrom = start.addSecs(values / 5 / 4 * 60 / 2 / 86400 * 86400);
    day.insert("DateTime", dayFrom);
    day.insert("DateTime", dayFrom.addSecs(86399));

    TableDBModel model;
    const double modelMs = bestOf(7, [&] { db.setQuery(&model, record, day); });
    std::printf("selections from %lld values on the server:\n", values);
    std::printf("  one day (%d rows) through the record table model: %.2f ms (goal 20 ms)\n", model.rowCount(), modelMs);

    // The same statement on a connection of the benchmark's own.
    QSqlDatabase plain = QSqlDatabase::addDatabase("QPSQL", "plain");
    const ArchiveLocation where = db.location();
    plain.setHostName(where.host);
    plain.setPort(where.port);
    plain.setUserName(where.user);
    plain.setDatabaseName(where.database);
    plain.open();
    {
        QSqlQuery q(plain);
        const double serverMs = bestOf(7, [&] {
            q.exec(record.selectQuery(day));
            while (q.next()) {
            }
        });
        std::printf("    of which the server and the driver alone: %.2f ms\n", serverMs);
        q.exec("EXPLAIN ANALYZE " + record.selectQuery(day));
        std::printf("    plan:\n");
        while (q.next())
            std::printf("      %s\n", qPrintable(q.value(0).toString()));
    }
    plain = QSqlDatabase();
    QSqlDatabase::removeDatabase("plain");
}

void benchJournal(const PgTestServer& server)
{
    server.createDatabase("journal");
    QTemporaryDir dir;
    constexpr int lines = 50;
    const auto perLine = [&](Journal::Store& store) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < lines; ++i)
            Journal::append(store, QStringLiteral("download"), {{QStringLiteral("line"), i}});
        return double(timer.nsecsElapsed()) / 1e6 / lines;
    };
    // Connecting alone, for the share of the line that is the connection.
    QElapsedTimer connecting;
    connecting.start();
    for (int i = 0; i < 10; ++i) {
        DataBase archive(server.url("journal"));
        archive.open();
    }
    const double connectMs = double(connecting.nsecsElapsed()) / 1e6 / 10;
    ArchiveJournal table(server.url("journal"));
    const double tableMs = perLine(table);
    const std::unique_ptr<Journal::Store> file = Journal::fileStore(dir.filePath("journal.jsonl"));
    const double fileMs = perLine(*file);
    std::printf("journal line, %d lines each:\n", lines);
    std::printf("  archive table on the server: %.1f ms per line, of which connecting %.1f ms\n", tableMs, connectMs);
    std::printf("  journal file:                %.1f ms per line\n", fileMs);
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

    PgTestServer server(true);
    if (!server.problem().isEmpty()) {
        std::fprintf(stderr, "no server: %s\n", qPrintable(server.problem()));
        return 1;
    }
    benchJournal(server);
    benchLoad(server);
    if (!args.contains("--load-only"))
        benchSelections(server, values);
    return 0;
}
