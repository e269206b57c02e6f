// The download record beside a .LOG: its JSON, its hash and how a changed,
// damaged or foreign record is judged.
#include "data/DownloadRecord.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// sha256sum of the three bytes "abc" and of nothing.
const QByteArray kAbcHash = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const QByteArray kEmptyHash = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

} // namespace

class TestDownloadRecord : public QObject
{
    Q_OBJECT
private slots:
    void hash_agreesWithSha256sum();
    void compose_writesTheAgreedKeys();
    void clockDifference_isAReadingDifference_inEveryZone();
    void verify_tellsMatchingChangedAndMissing();
    void read_damagedOrForeignRecord_isNoRecord_data();
    void read_damagedOrForeignRecord_isNoRecord();
    void write_whereItCannotBe_throwsNamingThePath();
};

void TestDownloadRecord::hash_agreesWithSha256sum()
{
    QCOMPARE(DownloadRecord::sha256Hex("abc"), kAbcHash);
    QCOMPARE(DownloadRecord::sha256Hex(QByteArray()), kEmptyHash);
    QTemporaryDir dir;
    writeBytes(dir.filePath("A.LOG"), "abc");
    QCOMPARE(DownloadRecord::fileSha256Hex(dir.filePath("A.LOG")), kAbcHash);
    QVERIFY(DownloadRecord::fileSha256Hex(dir.filePath("missing.LOG")).isEmpty());
}

void TestDownloadRecord::compose_writesTheAgreedKeys()
{
    DownloadRecord::Source source;
    source.typeWord = "ZR7.49";
    source.firmware = "1.03";
    source.id = 123456;
    source.port = "/dev/pts/3";
    source.downloadedUtc = QDateTime(QDate(2026, 12, 8), QTime(20, 0, 0), Qt::UTC);
    source.timeZone = "Europe/Moscow";
    source.instrumentClock = QDateTime(QDate(2026, 12, 8), QTime(23, 0, 5), Qt::UTC);
    source.differenceSeconds = 5;
    source.fileName = "6553F100.LOG";
    source.group = 1;
    source.index = 3;
    source.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    source.stop = QDateTime::fromSecsSinceEpoch(1700001084, Qt::UTC);
    source.sizeBytes = 1207;
    source.records = 50;
    source.settingsBytes = QByteArray::fromHex("0a0b");
    source.settings = QJsonObject{{"logPeriodSeconds", 60}};
    source.sha256 = kAbcHash;

    const QByteArray expected = R"({"format":"orvelin-download/1",
        "program":{"name":"Orvelin","version":"1.00"},
        "instrument":{"type":"ZR7.49","firmware":"1.03","id":123456,"port":"/dev/pts/3"},
        "downloaded":{"utc":"2026-12-08T20:00:00Z","timeZone":"Europe/Moscow"},
        "clock":{"instrument":"2026-12-08T23:00:05","differenceSeconds":5},
        "file":{"name":"6553F100.LOG","group":1,"index":3,"start":"2023-11-14T22:13:20",
                "stop":"2023-11-14T22:31:24","sizeBytes":1207,"records":50},
        "settings":{"hex":"0a0b","logPeriodSeconds":60},
        "sha256":"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"})";
    QCOMPARE(DownloadRecord::compose(source), QJsonDocument::fromJson(expected).object());

    // What was not known is null, never a made-up value.
    DownloadRecord::Source unknown;
    unknown.downloadedUtc = source.downloadedUtc;
    const QJsonObject record = DownloadRecord::compose(unknown);
    QVERIFY(record["clock"].toObject()["instrument"].isNull());
    QVERIFY(record["clock"].toObject()["differenceSeconds"].isNull());
    QVERIFY(record["file"].toObject()["group"].isNull());
    QVERIFY(record["file"].toObject()["start"].isNull());
    QVERIFY(record["settings"].toObject()["hex"].isNull());
}

void TestDownloadRecord::clockDifference_isAReadingDifference_inEveryZone()
{
    // The instrument shows 23:00:05 while the computer's clock on the wall says 23:00:00.
    const QDateTime instrument(QDate(2026, 12, 8), QTime(23, 0, 5), Qt::UTC);
    const QDateTime computer(QDate(2026, 12, 8), QTime(23, 0, 0), Qt::LocalTime);
    QCOMPARE(DownloadRecord::clockDifference(instrument, computer), qint64(5));
    QCOMPARE(DownloadRecord::clockDifference(instrument.addSecs(-3600), computer), qint64(-3595));
}

void TestDownloadRecord::verify_tellsMatchingChangedAndMissing()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("6553F100.LOG");
    writeBytes(log, "abc");
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::NoRecord);

    DownloadRecord::Source source;
    source.downloadedUtc = QDateTime::currentDateTimeUtc();
    source.sha256 = kAbcHash;
    DownloadRecord::write(log, DownloadRecord::compose(source));
    QVERIFY(QFile::exists(log + ".json"));
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::Matches);

    writeBytes(log, "abd"); // one bit of the last byte flipped
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::Changed);
    QFile::remove(log);
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::Changed);

    QCOMPARE(DownloadRecord::checkText(DownloadRecord::Check::Matches), QStringLiteral("совпадает"));
    QCOMPARE(DownloadRecord::checkText(DownloadRecord::Check::Changed), QStringLiteral("изменён после загрузки"));
    QCOMPARE(DownloadRecord::checkText(DownloadRecord::Check::NoRecord), QStringLiteral("нет записи о загрузке"));
}

void TestDownloadRecord::read_damagedOrForeignRecord_isNoRecord_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut off") << QByteArray(R"({"format":"orvelin-download/1","sha256":"ba78)");
    QTest::newRow("array") << QByteArray("[1,2]");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
    QTest::newRow("other format") << QByteArray(R"({"format":"other/1","sha256":")" + kAbcHash + "\"}");
    QTest::newRow("later format") << QByteArray(R"({"format":"orvelin-download/2","sha256":")" + kAbcHash + "\"}");
    QTest::newRow("no hash") << QByteArray(R"({"format":"orvelin-download/1"})");
    QTest::newRow("upper-case hash")
        << QByteArray(R"({"format":"orvelin-download/1","sha256":")" + kAbcHash.toUpper() + "\"}");
    QTest::newRow("short hash") << QByteArray(R"({"format":"orvelin-download/1","sha256":"ba7816"})");
    QTest::newRow("hash as number") << QByteArray(R"({"format":"orvelin-download/1","sha256":5})");
}

void TestDownloadRecord::read_damagedOrForeignRecord_isNoRecord()
{
    QFETCH(QByteArray, json);
    QTemporaryDir dir;
    const QString log = dir.filePath("A.LOG");
    writeBytes(log, "abc");
    writeBytes(log + ".json", json);
    QString why;
    QVERIFY(!DownloadRecord::read(log, &why));
    QVERIFY(!why.isEmpty());
    QCOMPARE(DownloadRecord::verify(log), DownloadRecord::Check::NoRecord);
}

void TestDownloadRecord::write_whereItCannotBe_throwsNamingThePath()
{
    // Tests run as root, for whom no folder is read-only: a folder that is
    // really a file refuses the record as a full or read-only disk would.
    QTemporaryDir dir;
    writeBytes(dir.filePath("plain"), "x");
    const QString log = dir.filePath("plain/A.LOG");
    QString message;
    try {
        DownloadRecord::write(log, QJsonObject{{"format", "orvelin-download/1"}});
    } catch (const QString& thrown) {
        message = thrown;
    }
    QVERIFY2(message.contains(log + ".json"), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestDownloadRecord)
#include "tst_downloadrecord.moc"
