// The log table model and the statistics computed over it and over a
// database selection.

#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "data/UnitTable.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStandardItemModel>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

QDateTime clock(qint64 secs)
{
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

LogRecord rec(qint64 secs, QVector<LogEntry> entries)
{
    return LogRecord{clock(secs), std::move(entries)};
}

// A ZR-7.47 model with channel 1 in °C; channel 2 only from the third record.
void fillMixed(ModelLogRecord& model)
{
    model.setDeviceId(77);
    model.setDeviceType(0);
    model.setRecords({rec(0, {{1, 5.0f, 0}, {2, 1.0f, 15}}),
                      rec(60, {{1, 7.0f, 0}, {2, 1.0f, 15}}),
                      rec(120, {{1, 7.0f, 0}, {2, 1.0f, 15}, {3, 100.0f, 4}, {4, 2.0f, 10}}),
                      rec(180, {{1, 3.0f, 0}, {2, 1.0f, 15}, {3, 50.0f, 6}, {4, 2.0f, 10}})});
}

} // namespace

class TestLogModels : public QObject
{
    Q_OBJECT

private slots:
    void headers_followDeviceType();
    void data_displayRawAndUnitRoles();
    void data_dateShownAsStoredClockReading();
    void data_rolesByColumnNameIgnoreIndexColumn();
    void header_unitComesFromFirstRecordHavingTheColumn();
    void records_replacingReleasesOldAndSameListIsHarmless();

    void statistics_tiesKeepEarlierRowAndMeanHasTwoDecimals();
    void statistics_columnStartsAtFirstRecordWithValue();
    void statistics_columnWithoutValuesShowsDashes();
    void statistics_zr749HasFourColumnsAndRoleNames();
    void statistics_overQueryModel();
    void statistics_notFiniteValuesAreSkipped();
    void statistics_followANewFileInTheSourceModel();
};

void TestLogModels::headers_followDeviceType()
{
    ModelLogRecord model;
    QCOMPARE(model.columnCount(), 0);
    model.setDeviceType(1);
    QCOMPARE(model.getHeader(), (QStringList{"Дата", "Канал №1", "Доп.измерение №1", "Канал №2"}));
    QCOMPARE(model.property("getHeader").toStringList(), model.getHeader());
    QCOMPARE(model.deviceName(), QStringLiteral("ZR-7.49"));
    model.setDeviceType(0);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(4, Qt::Horizontal).toString(), QStringLiteral("Доп.измерение №2"));
    QCOMPARE(model.deviceName(), QStringLiteral("ZR-7.47"));
    QCOMPARE(model.headerData(0, Qt::Horizontal, 256).toBool(), false);
    QCOMPARE(model.headerData(1, Qt::Horizontal, 256).toBool(), true);
    QVERIFY(!model.headerData(5, Qt::Horizontal).isValid());
    QVERIFY(!model.headerData(1, Qt::Vertical).isValid());
    model.setDeviceType(7);
    QCOMPARE(model.columnCount(), 0);
    QCOMPARE(model.deviceName(), QString());
}

void TestLogModels::data_displayRawAndUnitRoles()
{
    ModelLogRecord model;
    model.setDeviceType(0);
    model.setRecords({rec(0, {{1, 12.5f, 15}, {2, 23.456f, 0}})});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);

    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("12.50 "));
    QCOMPARE(model.index(0, 2).data().toString(), QString::fromUtf8("23.46 \xC2\xB0" "C"));
    const QVariant raw = model.index(0, 1).data(257);
    QCOMPARE(raw.userType(), int(QMetaType::Float));
    QCOMPARE(raw.toFloat(), 12.5f);
    QCOMPARE(model.index(0, 1).data(258).toString(), QString());
    QCOMPARE(model.index(0, 2).data(258).toString(), UnitTable::text(0));

    // Channel 2 absent: no value, no unit, no text.
    for (int role : {0, 257, 258})
        QVERIFY(!model.index(0, 3).data(role).isValid());
    QVERIFY(!model.index(0, 0).data(258).isValid());
    QVERIFY(!model.index(0, 1).data(Qt::EditRole).isValid());
    QVERIFY(!model.index(1, 0).data().isValid());
}

void TestLogModels::data_dateShownAsStoredClockReading()
{
    ModelLogRecord model;
    model.setDeviceType(0);
    model.setRecords({rec(0, {}), rec(1700000000, {})});
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("01.01.1970 00:00:00"));
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("14.11.2023 22:13:20"));
    QCOMPARE(model.index(1, 0).data(257).toDateTime(), clock(1700000000));
}

void TestLogModels::data_rolesByColumnNameIgnoreIndexColumn()
{
    ModelLogRecord model;
    fillMixed(model);
    const QHash<int, QByteArray> roles = model.roleNames();
    QCOMPARE(roles.value(259), QByteArray("Дата"));
    QCOMPARE(roles.value(262), QByteArray("Канал №2"));
    QCOMPARE(roles.value(263), QByteArray("Доп.измерение №2"));
    QVERIFY(!roles.contains(264));
    QCOMPARE(roles.value(Qt::DisplayRole), QByteArray("display"));

    for (int column = 0; column < 5; ++column) {
        QCOMPARE(model.index(2, column).data(259).toString(), QStringLiteral("01.01.1970 00:02:00"));
        QCOMPARE(model.index(2, column).data(262).toString(), QStringLiteral("100.00 мм.рт.ст."));
        QVERIFY(!model.index(0, column).data(262).isValid());
    }
    QVERIFY(!model.index(0, 0).data(264).isValid());
}

void TestLogModels::header_unitComesFromFirstRecordHavingTheColumn()
{
    ModelLogRecord model;
    fillMixed(model);
    QCOMPARE(model.headerData(0, Qt::Horizontal, 258).toString(), QString());
    QCOMPARE(model.headerData(1, Qt::Horizontal, 258).toString(), UnitTable::text(0));
    QCOMPARE(model.headerData(3, Qt::Horizontal, 258).toString(), QStringLiteral("мм.рт.ст."));
    QCOMPARE(model.headerData(4, Qt::Horizontal, 258).toString(), QStringLiteral("мА"));
    model.setRecords({rec(0, {{1, 1.0f, 0}})});
    QCOMPARE(model.headerData(3, Qt::Horizontal, 258).toString(), QString());
    QVERIFY(!model.headerData(3, Qt::Horizontal, 257).isValid());
}

void TestLogModels::records_replacingReleasesOldAndSameListIsHarmless()
{
    ModelLogRecord model;
    fillMixed(model);
    const QVector<LogRecord> same = model.records();
    model.setRecords(model.records());
    QCOMPARE(model.records(), same);
    model.setRecords(same);
    QCOMPARE(model.rowCount(), 4);
    model.setRecords({});
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 5); // headers belong to the type, not to the records
}

void TestLogModels::statistics_tiesKeepEarlierRowAndMeanHasTwoDecimals()
{
    ModelLogRecord model;
    fillMixed(model);
    ModelStatistics stats(&model, 257);
    stats.setHeaders({"Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"});

    const ModelStatistics::ColumnStatistics c1 = ModelStatistics::columnStatistics(&model, 1, 257);
    QCOMPARE(c1.maxRow, 1);
    QCOMPARE(c1.minRow, 3);
    QCOMPARE(c1.count, 4);
    QCOMPARE(stats.index(0, 1).data().toString(), QString::fromUtf8("7.00 \xC2\xB0" "C"));
    QCOMPARE(stats.index(1, 1).data().toString(), QStringLiteral("5.50"));
    QCOMPARE(stats.index(2, 1).data().toString(), QString::fromUtf8("3.00 \xC2\xB0" "C"));

    // All equal: both extremes stay at the first row.
    const ModelStatistics::ColumnStatistics c2 = ModelStatistics::columnStatistics(&model, 2, 257);
    QCOMPARE(c2.maxRow, 0);
    QCOMPARE(c2.minRow, 0);
    QCOMPARE(stats.index(0, 2).data().toString(), QStringLiteral("1.00 "));

    QCOMPARE(stats.index(0, 0).data().toString(), QStringLiteral("Максимум"));
    QCOMPARE(stats.index(1, 0).data().toString(), QStringLiteral("Среднее"));
    QCOMPARE(stats.index(2, 0).data().toString(), QStringLiteral("Минимум"));
}

void TestLogModels::statistics_columnStartsAtFirstRecordWithValue()
{
    ModelLogRecord model;
    fillMixed(model);
    ModelStatistics stats(&model, 257);
    stats.setHeaders(model.getHeader().mid(1));
    const ModelStatistics::ColumnStatistics c3 = ModelStatistics::columnStatistics(&model, 3, 257);
    QCOMPARE(c3.count, 2);
    QCOMPARE(c3.maxRow, 2);
    QCOMPARE(c3.minRow, 3);
    QCOMPARE(stats.index(1, 3).data().toString(), QStringLiteral("75.00"));
    QCOMPARE(stats.index(2, 3).data().toString(), QStringLiteral("50.00 МПа"));
}

void TestLogModels::statistics_columnWithoutValuesShowsDashes()
{
    ModelLogRecord model;
    model.setDeviceType(0);
    model.setRecords({rec(0, {{1, 1.0f, 0}}), rec(1, {{1, 2.0f, 0}})});
    ModelStatistics stats(&model, 257);
    stats.setHeaders(model.getHeader().mid(1));
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(stats.index(row, 3).data().toString(), QStringLiteral("-----"));
        QCOMPARE(stats.index(row, 4).data().toString(), QStringLiteral("-----"));
    }
    // An empty log has no value in any column.
    model.setRecords({});
    QCOMPARE(stats.index(1, 1).data().toString(), QStringLiteral("-----"));
}

void TestLogModels::statistics_zr749HasFourColumnsAndRoleNames()
{
    ModelLogRecord model;
    model.setDeviceType(1);
    model.setRecords({rec(0, {{1, 2.0f, 0}, {2, 4.0f, 0}, {3, 6.0f, 1}, {4, 8.0f, 10}})});
    QStringList measured;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal, 256).toBool())
            measured << model.headerData(c, Qt::Horizontal).toString();
    ModelStatistics stats(&model, 257);
    stats.setHeaders(measured);
    QCOMPARE(stats.columnCount(), 4);
    QCOMPARE(stats.rowCount(), 3);
    QCOMPARE(stats.rowCount(stats.index(0, 0)), 0);
    QCOMPARE(stats.getHeader(), (QStringList{"", "Канал №1", "Доп.измерение №1", "Канал №2"}));
    QCOMPARE(stats.roleNames().value(257), QByteArray(""));
    QCOMPARE(stats.roleNames().value(260), QByteArray("Канал №2"));
    // Role 257 + k reads column k of the index's row.
    QCOMPARE(stats.index(1, 0).data(260).toString(), QStringLiteral("6.00"));
    QCOMPARE(stats.index(1, 2).data(257).toString(), QStringLiteral("Среднее"));
    QVERIFY(!stats.index(1, 0).data(261).isValid());
    QVERIFY(!stats.index(1, 0).data(Qt::EditRole).isValid());
    QCOMPARE(stats.headerData(3, Qt::Horizontal, 300).toString(), QStringLiteral("Канал №2"));
    QVERIFY(!stats.headerData(4, Qt::Horizontal).isValid());
}

void TestLogModels::statistics_overQueryModel()
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "stats");
    db.setDatabaseName(":memory:");
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec("CREATE TABLE t (d TEXT, a TEXT, b TEXT, c TEXT, e TEXT)"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('01.01.2024 00:00:00', '', '5.00 °C', NULL, '1 В')"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('01.01.2024 00:01:00', '2.5 %', '7.00 °C', '4', '')"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('01.01.2024 00:02:00', '1.5 %', '7.00 °C', '6', '3 В')"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('01.01.2024 00:03:00', '', '3.00 °C', '8', '')"));

    {
        QSqlQueryModel query;
        query.setQuery("SELECT * FROM t", db);
        QCOMPARE(query.rowCount(), 4);
        ModelStatistics stats(&query);
        stats.setHeaders({"a", "b", "c", "e"});

        // Empty texts before the first value are skipped; empty texts later are not counted.
        QCOMPARE(stats.index(0, 1).data().toString(), QStringLiteral("2.5 %"));
        QCOMPARE(stats.index(1, 1).data().toString(), QStringLiteral("2.00"));
        QCOMPARE(stats.index(2, 1).data().toString(), QStringLiteral("1.5 %"));
        // Ties keep the earlier row; the number is the text before the first space.
        QCOMPARE(stats.index(0, 2).data().toString(), QStringLiteral("7.00 °C"));
        QCOMPARE(ModelStatistics::queryColumnStatistics(&query, 2).maxRow, 1);
        QCOMPARE(stats.index(1, 2).data().toString(), QStringLiteral("5.50"));
        // A NULL field is a row without a value (an instrument lacking the
        // channel at that time stamp), not the end of the column.
        QCOMPARE(stats.index(0, 3).data().toString(), QStringLiteral("8"));
        QCOMPARE(stats.index(1, 3).data().toString(), QStringLiteral("6.00"));
        QCOMPARE(stats.index(2, 3).data().toString(), QStringLiteral("4"));
        // Text without a space is read whole.
        QCOMPARE(stats.index(1, 4).data().toString(), QStringLiteral("2.00"));
        QCOMPARE(stats.index(0, 4).data().toString(), QStringLiteral("3 В"));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("stats");
}

void TestLogModels::statistics_notFiniteValuesAreSkipped()
{
    // A first value that is no number must not become the maximum and the
    // minimum, nor poison the mean.
    const double inf = std::numeric_limits<double>::infinity();
    QStandardItemModel model(5, 2);
    const QList<double> values = {std::nan(""), 5.0, inf, 3.0, -inf};
    for (int row = 0; row < values.size(); ++row) {
        model.setData(model.index(row, 1), QString::number(values[row], 'f', 2), Qt::DisplayRole);
        model.setData(model.index(row, 1), values[row], 257);
    }
    ModelStatistics stats(&model, 257);
    stats.setHeaders({"Канал №1"});
    QCOMPARE(stats.index(0, 1).data().toString(), QStringLiteral("5.00"));
    QCOMPARE(stats.index(1, 1).data().toString(), QStringLiteral("4.00"));
    QCOMPARE(stats.index(2, 1).data().toString(), QStringLiteral("3.00"));
    QCOMPARE(ModelStatistics::columnStatistics(&model, 1, 257).count, 2);

    // The same for stored texts of a database selection.
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "nan");
    db.setDatabaseName(":memory:");
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec("CREATE TABLE t (d TEXT, a TEXT)"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('x', 'nan °C'), ('y', '2.00 °C'), ('z', 'inf °C'), ('w', '1.00 °C')"));
    {
        QSqlQueryModel query;
        query.setQuery("SELECT * FROM t", db);
        ModelStatistics dbStats(&query);
        dbStats.setHeaders({"a"});
        QCOMPARE(dbStats.index(0, 1).data().toString(), QStringLiteral("2.00 °C"));
        QCOMPARE(dbStats.index(1, 1).data().toString(), QStringLiteral("1.50"));
        QCOMPARE(dbStats.index(2, 1).data().toString(), QStringLiteral("1.00 °C"));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("nan");
}

void TestLogModels::statistics_followANewFileInTheSourceModel()
{
    ModelLogRecord model;
    ModelStatistics stats(&model, 257);
    model.setContent(1, 0, {rec(0, {{1, 5.0f, 0}}), rec(60, {{1, 7.0f, 0}})});
    stats.setHeaders(model.getHeader().mid(1));
    QCOMPARE(stats.index(1, 1).data().toString(), QStringLiteral("6.00"));
    // Another file, the headers untouched: the figures are the new file's.
    model.setContent(1, 0, {rec(0, {{1, 1.0f, 0}}), rec(60, {{1, 2.0f, 0}})});
    QCOMPARE(stats.index(1, 1).data().toString(), QStringLiteral("1.50"));
}

QTEST_GUILESS_MAIN(TestLogModels)
#include "tst_logmodels.moc"
