// The SQL texts the archive sends to SQLite, character for character, and the
// natural order of channel names.
#include "database/DBNoteTable.h"
#include "database/DBRecordZrTable.h"
#include "database/DBTypeChannelTable.h"
#include "database/DBTypeDeviceTable.h"
#include "database/DBUnitTable.h"
#include "database/NaturalOrder.h"

#include <QtTest>

using T = IDBTable;

namespace {

QDateTime at(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

DBParameters params(std::initializer_list<std::pair<QString, QVariant>> items)
{
    DBParameters p;
    for (const auto& item : items)
        p.insert(item.first, item.second);
    return p;
}

const QString celsius = QStringLiteral("°C");

} // namespace

class TestDataBaseText : public QObject
{
    Q_OBJECT
private slots:
    void statementTexts_areExact_data();
    void statementTexts_areExact();
    void naturalLessThan_ordersByFirstNumberThenLength_data();
    void naturalLessThan_ordersByFirstNumberThenLength();
};

void TestDataBaseText::statementTexts_areExact_data()
{
    QTest::addColumn<QString>("produced");
    QTest::addColumn<QString>("expected");

    const DBUnitTable unit;
    const DBTypeChannelTable channel;
    const DBTypeDeviceTable device;
    const DBNoteTable note;
    const DBRecordZrTable record;
    const QString eq = QStringLiteral("=");

    auto row = [](const char* name, const QString& produced, const QString& expected) {
        QTest::newRow(name) << produced << expected;
    };

    // The builder operations.
    row("builder create", T::createTableStatement("UNIT", {T::columnDefinition("idUnit", "INTEGER PRIMARY KEY AUTOINCREMENT"), T::columnDefinition("unit", "TEXT")}),
        "CREATE TABLE IF NOT EXISTS UNIT (idUnit INTEGER PRIMARY KEY AUTOINCREMENT,unit TEXT);");
    row("builder select", T::selectStatement({"idUnit"}, "UNIT", {T::condition("unit", eq, celsius)}),
        "SELECT idUnit  FROM UNIT WHERE unit = '°C' ");
    row("builder insert", T::insertStatement("UNIT", {"unit"}, {T::quoted(celsius)}),
        "INSERT INTO UNIT (unit ) VALUES('°C' );");
    row("builder grouped", T::selectGroupedStatement({}, "UNIT", QString(), {T::orCondition({celsius, "%"}, "unit")}, {"unit"}),
        "SELECT * FROM UNIT  WHERE (unit = '°C' OR unit = '%' )  GROUP BY unit  ;");
    row("builder delete", T::deleteStatement("RECORD_ZR", {T::condition("DateTime", eq, at(1600000000)), T::orCondition({1234}, "idDevice")}),
        "DELETE FROM RECORD_ZR WHERE DateTime = datetime( 1600000000,'unixepoch') AND (idDevice = 1234 ) ");
    row("builder orphans", T::deleteOrphansStatement("UNIT", "idUnit", "RECORD_ZR"),
        "DELETE FROM UNIT WHERE idUnit NOT IN (SELECT idUnit from RECORD_ZR);");
    row("builder max", T::maxStatement("DateTime", "RECORD_ZR"), "SELECT max(DateTime) FROM RECORD_ZR");
    row("builder join", T::innerJoin("UNIT", "RECORD_ZR", "idUnit"), "  INNER JOIN UNIT ON RECORD_ZR.idUnit = UNIT.idUnit ");
    row("no columns select *", T::selectStatement({}, "UNIT", {}), "SELECT * FROM UNIT ");
    row("grouped without where", T::selectGroupedStatement({}, "UNIT", QString(), {}, {"unit"}),
        "SELECT * FROM UNIT   GROUP BY unit  ;");
    row("float 23.45", T::number(23.45f), "23.45");
    row("float 6 digits", T::number(1234567.0f), "1.23457e+06");
    row("float condition", T::condition("Value", eq, 23.45f), "Value = 23.45");
    row("unsigned condition", T::condition("idDevice", eq, 4000000000u), "idDevice = 4000000000");
    row("or skips other types", T::orCondition({1u, 2.5, QDate(2020, 1, 1), -3}, "k"), "(k = 1 OR k = -3 )");
    row("same instant any spec", T::dateTimeValue(at(1600000000).toOffsetFromUtc(3 * 3600)),
        "datetime( 1600000000,'unixepoch')");
    row("same instant local", T::dateTimeValue(at(1600000000).toLocalTime()), "datetime( 1600000000,'unixepoch')");

    // Single quotes are doubled; markers inside values are never filled again.
    row("quote in unit", T::condition("unit", eq, "d'Arc"), "unit = 'd''Arc'");
    row("quote in insert", unit.insertQuery(params({{"unit", "1'2"}})), "INSERT INTO UNIT (unit ) VALUES('1''2' );");
    row("marker in value", T::selectStatement({"%2"}, "UNIT", {T::condition("unit", eq, "%1%3")}),
        "SELECT %2  FROM UNIT WHERE unit = '%1%3' ");

    // The table classes.
    row("create UNIT", unit.createTableQuery(), "CREATE TABLE IF NOT EXISTS UNIT (idUnit INTEGER PRIMARY KEY AUTOINCREMENT,unit TEXT);");
    row("create TYPE_CHANNEL", channel.createTableQuery(),
        "CREATE TABLE IF NOT EXISTS TYPE_CHANNEL (idTypeChannel INTEGER PRIMARY KEY AUTOINCREMENT,nameChannel TEXT);");
    row("create TYPE_DEVICE", device.createTableQuery(),
        "CREATE TABLE IF NOT EXISTS TYPE_DEVICE (idDevice INTEGER PRIMARY KEY ,typeDevice TEXT,aliasDevice TEXT);");
    row("create NOTES", note.createTableQuery(), "CREATE TABLE IF NOT EXISTS NOTES (idNote INTEGER PRIMARY KEY AUTOINCREMENT,note TEXT);");
    row("create RECORD_ZR", record.createTableQuery(),
        "CREATE TABLE IF NOT EXISTS RECORD_ZR (idRecord INTEGER PRIMARY KEY AUTOINCREMENT,DateTime TIMESTAMP ,Value FLOAT,idUnit INTEGER,"
        "idTypeChannel INTEGER,idDevice INTEGER,idNote INTEGER,FOREIGN KEY(idUnit)REFERENCES UNIT(idUnit) ON DELETE CASCADE,"
        "FOREIGN KEY(idTypeChannel)REFERENCES TYPE_CHANNEL(idTypeChannel) ON DELETE CASCADE,FOREIGN KEY(idDevice)REFERENCES "
        "TYPE_DEVICE(idDevice) ON DELETE CASCADE,FOREIGN KEY(idNote)REFERENCES NOTES(idNote) ON DELETE CASCADE);");
    row("unit selectId", unit.selectIdQuery(params({{"unit", celsius}})), "SELECT idUnit  FROM UNIT WHERE unit = '°C' ");
    row("unit selectId without unit", unit.selectIdQuery({}), "SELECT idUnit  FROM UNIT WHERE unit = '' ");
    row("channel insert", channel.insertQuery(params({{"nameChannel", "Канал №1"}})),
        "INSERT INTO TYPE_CHANNEL (nameChannel ) VALUES('Канал №1' );");
    row("channel insert without name", channel.insertQuery(params({{"unit", celsius}})), "");
    row("channel select", channel.selectQuery({}), "SELECT * FROM TYPE_CHANNEL   GROUP BY nameChannel  ;");
    row("channel orphans", channel.deleteOrphansQuery("RECORD_ZR"),
        "DELETE FROM TYPE_CHANNEL WHERE idTypeChannel NOT IN (SELECT idTypeChannel from RECORD_ZR);");
    row("device selectId", device.selectIdQuery(params({{"idDevice", 1234u}})), "SELECT idDevice  FROM TYPE_DEVICE WHERE idDevice = 1234 ");
    row("device insert", device.insertQuery(params({{"idDevice", 1234u}, {"typeDevice", "ZR-7.49"}})),
        "INSERT INTO TYPE_DEVICE (idDevice ,typeDevice ) VALUES(1234 ,'ZR-7.49' );");
    row("device insert without type", device.insertQuery(params({{"idDevice", 1234u}})), "");
    row("device select", device.selectQuery(params({{"idDevice", 1234}})),
        "SELECT * FROM TYPE_DEVICE  WHERE (idDevice = 1234 )  GROUP BY idDevice  ;");
    row("record insert", record.insertQuery(params({{"DateTime", at(1600000000)}, {"Value", 23.45f}, {"idUnit", 1}, {"idTypeChannel", 2}, {"idDevice", 1234u}})),
        "INSERT INTO RECORD_ZR (DateTime ,Value ,idUnit ,idTypeChannel ,idDevice ) VALUES(datetime( 1600000000,'unixepoch') ,23.45 ,1 ,2 ,1234 );");
    row("record insert incomplete", record.insertQuery(params({{"DateTime", at(1600000000)}, {"Value", 23.45f}})), "");
    row("record bound insert", record.insertBoundQuery(),
        "INSERT INTO RECORD_ZR (DateTime ,Value ,idUnit ,idTypeChannel ,idDevice ) VALUES(datetime( ?,'unixepoch') ,? ,? ,? ,? );");
    row("record max", record.maxQuery("DateTime"), "SELECT max(DateTime) FROM RECORD_ZR");
    row("record min", record.minQuery("DateTime"), "SELECT min(DateTime) FROM RECORD_ZR");
    row("record delete", record.deleteQuery(params({{"DateTime", at(1600000000)}, {"idDevice", 1234}})),
        "DELETE FROM RECORD_ZR WHERE DateTime = datetime( 1600000000,'unixepoch') AND (idDevice = 1234 ) ");
    row("record index", record.createIndexQueries().join(QLatin1Char('|')),
        "CREATE INDEX IF NOT EXISTS RECORD_ZR_DEVICE_TIME ON RECORD_ZR (idDevice,DateTime);");

    const QString head = QStringLiteral("SELECT strftime('%d.%m.%Y %H:%M:%S',DateTime) as Дата ,");
    const QString tail = QStringLiteral("idDevice as '№ прибора'  FROM RECORD_ZR   INNER JOIN TYPE_CHANNEL ON RECORD_ZR.idTypeChannel = "
                                        "TYPE_CHANNEL.idTypeChannel   INNER JOIN UNIT ON RECORD_ZR.idUnit = UNIT.idUnit  ");
    auto pivot = [](const QString& name) {
        return QStringLiteral("SUM(CASE WHEN TYPE_CHANNEL.nameChannel == '%1' then round(Value,2)  else NULL END)  || ' '||  "
                              "MAX(CASE WHEN TYPE_CHANNEL.nameChannel == '%1' then UNIT.unit  else NULL END ) AS '%1' ,").arg(name);
    };
    // Channels in natural order whatever order they were asked in; the period
    // ascending although given latest first.
    row("record pivot", record.selectQuery(params({{"nameChannel", "Канал №2"}, {"nameChannel", "Канал №1"}, {"idDevice", 1234},
                                                   {"DateTime", at(1600086400)}, {"DateTime", at(1600000000)}})),
        head + pivot("Канал №1") + pivot("Канал №2") + tail
            + "WHERE (idDevice = 1234 ) AND DateTime >= datetime( 1600000000,'unixepoch') AND DateTime <= datetime( 1600086400,'unixepoch')  "
              "GROUP BY DateTime ,idDevice  ;");
    row("record pivot one date no period", record.selectQuery(params({{"DateTime", at(1600000000)}, {"unit", celsius}})),
        head + tail + "WHERE (unit = '°C' )  GROUP BY DateTime ,idDevice  ;");
    row("record pivot quoted channel", record.selectQuery(params({{"nameChannel", "A'B"}})),
        head + pivot("A''B") + tail + " GROUP BY DateTime ,idDevice  ;");
}

void TestDataBaseText::statementTexts_areExact()
{
    QFETCH(QString, produced);
    QFETCH(QString, expected);
    QCOMPARE(produced, expected);
}

void TestDataBaseText::naturalLessThan_ordersByFirstNumberThenLength_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("less");
    QTest::newRow("2 before 10") << "Канал №2" << "Канал №10" << true;
    QTest::newRow("10 not before 2") << "Канал №10" << "Канал №2" << false;
    QTest::newRow("9 before 10") << "Канал №9" << "Канал №10" << true;
    QTest::newRow("same number, shorter first") << "Канал №1" << "Доп.измерение №1" << true;
    QTest::newRow("same number, longer not first") << "Доп.измерение №1" << "Канал №1" << false;
    QTest::newRow("no digits, by length") << "abc" << "ab" << false;
    QTest::newRow("negative number") << "T -5" << "T 3" << true;
    QTest::newRow("fraction and no number by length") << "y" << "x1.5" << true;
}

void TestDataBaseText::naturalLessThan_ordersByFirstNumberThenLength()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, less);
    QCOMPARE(naturalLessThan(a, b), less);
}

QTEST_GUILESS_MAIN(TestDataBaseText)
#include "tst_databasetext.moc"
