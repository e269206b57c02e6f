// Reading .LOG files into records and writing downloads safely.

#include "LogFileBytes.h"

#include "data/LogFile.h"
#include "data/LogFileWriter.h"
#include "data/ModelLogRecord.h"
#include "data/UnitTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace logbytes;

namespace {

const QString damaged = QStringLiteral("Файл поврежден");
const QString openFailed = QStringLiteral("Ошибка открытия файла");

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const QString& message) {
        return message;
    }
    return QString();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLogFile : public QObject
{
    Q_OBJECT

private slots:
    void read_whatCannotBeALog_isRefusedBeforeReading();
    void header_decodesSignedTypeAndLittleEndianId();
    void records_decodeTimeValuesAndUnitsInColumnOrder();
    void records_notFiniteValuesAreNoValue();
    void records_trailingBytesAfterLastWholeRecordAreIgnored();
    void records_onlyPresenceCodes0_16_17MakeAChannelPresent();
    void units_sensorCodesMapToMainAndAdditionalUnits();
    void damaged_signatureOrTooShortIsRejected_data();
    void damaged_signatureOrTooShortIsRejected();
    void read_missingPathReportsOpenErrorAndCreatesNothing();
    void readInto_fillsModelAndDamagedFileLeavesItUntouched();
    void filePath_createsDeviceFolderBesideExecutable();

    void writer_commitReplacesEarlierFileCompletely();
    void writer_abortKeepsEarlierCopyAndLeavesNoTemporaryFile();
    void writer_modificationTimeIsStopClockReadingInLocalTime_data();
    void writer_modificationTimeIsStopClockReadingInLocalTime();
    void writer_singleMeasurementWithoutTimesStillCommits();
    void writer_unwritableFolderReportsOpenError();
};

void TestLogFile::read_whatCannotBeALog_isRefusedBeforeReading()
{
    QTemporaryDir dir;
    // The largest file the instrument's 1 MiB can hold is still a log.
    const QString largest = dir.filePath("LARGEST.LOG");
    writeFile(largest, header(0, 9) + record(1, present(1), present(2)));
    QVERIFY(QFile::resize(largest, 1048576));
    QCOMPARE(LogFile::read(largest).records.size(), (1048576 - 7) / 24);

    // One byte more, or a sparse gigabyte, is not: refused without being read.
    const QString larger = dir.filePath("LARGER.LOG");
    writeFile(larger, header(0, 9));
    QVERIFY(QFile::resize(larger, 1048577));
    QCOMPARE(errorOf([&] { LogFile::read(larger); }), damaged + QStringLiteral(": файл больше памяти прибора (1048576 байт)"));
    QVERIFY(QFile::resize(larger, qint64(1) << 30));
    QCOMPARE(errorOf([&] { LogFile::read(larger); }), damaged + QStringLiteral(": файл больше памяти прибора (1048576 байт)"));

    // Neither a folder nor a device that never ends is opened.
    QCOMPARE(errorOf([&] { LogFile::read(dir.path()); }), openFailed + QStringLiteral(": это папка"));
    QCOMPARE(errorOf([&] { LogFile::read(QStringLiteral("/dev/zero")); }), openFailed + QStringLiteral(": это не обычный файл"));
}

void TestLogFile::header_decodesSignedTypeAndLittleEndianId()
{
    LogFileContent content = LogFile::parse(header(1, 0x01020304));
    QCOMPARE(content.deviceType, 1);
    QCOMPARE(content.deviceId, quint32(0x01020304));
    QVERIFY(content.records.isEmpty());

    content = LogFile::parse(header(-1, 0xFFFFFFFFu));
    QCOMPARE(content.deviceType, -1);
    QCOMPARE(content.deviceId, 0xFFFFFFFFu);
}

void TestLogFile::records_decodeTimeValuesAndUnitsInColumnOrder()
{
    const QByteArray bytes = header(0, 7) + record(1700000000, present(23.5f, 41.25f, 1), present(-3.0f, 2.0f, 150));
    const LogFileContent content = LogFile::parse(bytes);
    QCOMPARE(content.records.size(), 1);
    const LogRecord& r = content.records.first();
    QCOMPARE(r.dateTime, QDateTime(QDate(2023, 11, 14), QTime(22, 13, 20), Qt::UTC));
    QCOMPARE(r.dateTime.timeSpec(), Qt::UTC);
    const QVector<LogEntry> expected = {{1, 23.5f, 0}, {2, 41.25f, 0}, {3, -3.0f, 5}, {4, 2.0f, 10}};
    QCOMPARE(r.entries, expected);
}

void TestLogFile::records_notFiniteValuesAreNoValue()
{
    const float inf = std::numeric_limits<float>::infinity();
    const QByteArray bytes = header(0, 7) + record(60, present(std::nanf(""), inf, 1), present(-inf, 5.0f, 1))
                             + record(120, present(21.5f, 40.0f, 1), present(7.0f, 6.0f, 1));
    ModelLogRecord model;
    model.setContent(LogFile::parse(bytes));
    // Only the finite value of the first record is left; the table shows the
    // other three as empty cells and the statistics start at the next record.
    QCOMPARE(model.records().first().entries, (QVector<LogEntry>{{4, 5.0f, 0}}));
    for (int column = 1; column <= 3; ++column) {
        QVERIFY(!model.index(0, column).data().isValid());
        QVERIFY(!model.index(0, column).data(ModelLogRecord::ValueRole).isValid());
    }
    QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("21.50 ") + UnitTable::text(0));
}

void TestLogFile::records_trailingBytesAfterLastWholeRecordAreIgnored()
{
    QByteArray bytes = header(0, 1);
    for (int i = 0; i < 3; ++i)
        bytes += record(quint32(i), present(float(i)), present(0));
    for (int r : {1, 23}) {
        const LogFileContent content = LogFile::parse(bytes + QByteArray(r, '\x7f'));
        QCOMPARE(content.records.size(), 3);
        QCOMPARE(content.records.last().dateTime.toSecsSinceEpoch(), qint64(2));
    }
}

void TestLogFile::records_onlyPresenceCodes0_16_17MakeAChannelPresent()
{
    for (quint8 code : {quint8(0), quint8(0x10), quint8(0x11), quint8(5), quint8(1), quint8(0xFF)}) {
        Channel ch2 = present(9.0f);
        ch2.presence = code;
        const LogRecord r = LogFile::parse(header(0, 1) + record(0, present(1.0f), ch2)).records.first();
        const bool present = code == 0 || code == 0x10 || code == 0x11;
        QCOMPARE(r.entries.size(), present ? 4 : 2);
        QVERIFY(r.entry(1) && r.entry(2));
        QCOMPARE(r.entry(3) != nullptr, present);
        QCOMPARE(r.entry(4) != nullptr, present);
    }
}

void TestLogFile::units_sensorCodesMapToMainAndAdditionalUnits()
{
    // Sensor code 0: both values kept, neither has a unit.
    LogRecord r = LogFile::parse(header(0, 1) + record(0, present(1.0f, 2.0f, 0), absent())).records.first();
    QCOMPARE(r.entries.size(), 2);
    QCOMPARE(r.entry(1)->unit, UnitTable::noUnit);
    QCOMPARE(r.entry(2)->unit, UnitTable::noUnit);

    // Sensor code 144: no main unit, additional measurement in mA.
    r = LogFile::parse(header(0, 1) + record(0, present(1.0f, 2.0f, 144), absent())).records.first();
    QCOMPARE(UnitTable::text(r.entry(1)->unit), QString());
    QCOMPARE(UnitTable::text(r.entry(2)->unit), QStringLiteral("мА"));

    struct Case { quint8 code; quint8 main; quint8 additional; };
    const Case cases[] = {{1, 0, 0}, {2, 0, 0}, {16, 0, 15}, {48, 0, 15}, {67, 1, 0}, {68, 4, 0},
                          {69, 3, 15}, {70, 2, 15}, {121, 0, 14}, {143, 15, 15}, {145, 0, 10},
                          {146, 1, 10}, {158, 13, 10}, {159, 15, 15}, {255, 15, 15}};
    for (const Case& c : cases) {
        QCOMPARE(UnitTable::mainUnit(c.code), c.main);
        QCOMPARE(UnitTable::additionalUnit(c.code), c.additional);
    }
    QCOMPARE(UnitTable::text(0), QString::fromUtf8("\xC2\xB0" "C"));
    QCOMPARE(UnitTable::text(14), QStringLiteral("Ом"));
    QCOMPARE(UnitTable::text(15), QString());
    QCOMPARE(UnitTable::text(200), QString());
}

void TestLogFile::damaged_signatureOrTooShortIsRejected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("i");
    QTest::newRow("upper-case ID") << QByteArray("ID").append(header(0, 1).mid(2));
    QTest::newRow("other pair") << QByteArray("di").append(header(0, 1).mid(2)) + record(0, present(1), present(2));
    QTest::newRow("id only") << QByteArray("id");
    QTest::newRow("id and 4 bytes") << header(0, 1).left(6);
}

void TestLogFile::damaged_signatureOrTooShortIsRejected()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(errorOf([&] { LogFile::parse(bytes); }), damaged);

    QTemporaryDir dir;
    const QString path = dir.filePath("BAD.LOG");
    writeFile(path, bytes);
    QCOMPARE(errorOf([&] { LogFile::read(path); }), damaged);
}

void TestLogFile::read_missingPathReportsOpenErrorAndCreatesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MISSING.LOG");
    QCOMPARE(errorOf([&] { LogFile::read(path); }), openFailed);
    QVERIFY(!QFileInfo::exists(path));
}

void TestLogFile::readInto_fillsModelAndDamagedFileLeavesItUntouched()
{
    QTemporaryDir dir;
    const QString good = dir.filePath("GOOD.LOG");
    writeFile(good, header(1, 4242) + record(0, present(1.5f), present(2.5f)) + record(60, present(3), absent()));

    ModelLogRecord model;
    LogFile::readInto(good, model);
    QCOMPARE(model.deviceId(), quint32(4242));
    QCOMPARE(model.deviceType(), 1);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.rowCount(), 2);

    const QString bad = dir.filePath("BAD.LOG");
    writeFile(bad, QByteArray("xx") + header(0, 99).mid(2) + record(0, present(1), present(1)));
    QCOMPARE(errorOf([&] { LogFile::readInto(bad, model); }), damaged);
    QCOMPARE(errorOf([&] { LogFile::readInto(dir.filePath("NONE.LOG"), model); }), openFailed);
    QCOMPARE(model.deviceId(), quint32(4242));
    QCOMPARE(model.deviceType(), 1);
    QCOMPARE(model.rowCount(), 2);
}

void TestLogFile::filePath_createsDeviceFolderBesideExecutable()
{
    // Its own instrument per run: both time-zone runs share the executable's folder.
    const quint32 id = 4000000000u + quint32(QCoreApplication::applicationPid() % 100000000);
    const QString folder = QCoreApplication::applicationDirPath() + "/LOG/" + QString::number(id);
    QDir(folder).removeRecursively();
    QCOMPARE(LogFile::filePath(id, "6553F100.LOG"), folder + "/6553F100.LOG");
    QVERIFY(QFileInfo(folder).isDir());
    QDir(folder).removeRecursively();
}

void TestLogFile::writer_commitReplacesEarlierFileCompletely()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("6553F100.LOG");
    const QByteArray earlier = header(0, 5) + record(1, present(1), present(1)) + record(2, present(2), present(2));
    writeFile(path, earlier);

    const QByteArray fresh = header(0, 5) + record(3, present(3), absent());
    LogFileWriter writer(path);
    writer.open();
    writer.write(fresh.left(7));
    writer.write(fresh.mid(7));
    QCOMPARE(readFile(path), earlier); // nothing visible before the commit
    writer.commit(QDateTime(), QDateTime());
    QCOMPARE(readFile(path), fresh);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"6553F100.LOG"});
}

void TestLogFile::writer_abortKeepsEarlierCopyAndLeavesNoTemporaryFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("6553F100.LOG");
    const QByteArray earlier = header(0, 5) + record(1, present(1), present(1));
    writeFile(path, earlier);

    {
        LogFileWriter writer(path);
        writer.open();
        writer.write(header(0, 5));
        writer.abort();
        writer.abort();
    }
    {
        // A download that fails midway leaves the writer without a commit.
        LogFileWriter writer(path);
        writer.open();
        writer.write(header(0, 5) + QByteArray(10, 'x'));
    }
    QCOMPARE(readFile(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"6553F100.LOG"});

    const QString fresh = dir.filePath("NEW.LOG");
    {
        LogFileWriter writer(fresh);
        writer.open();
        writer.write(header(0, 5));
    }
    QVERIFY(!QFileInfo::exists(fresh));
}

void TestLogFile::writer_modificationTimeIsStopClockReadingInLocalTime_data()
{
    QTest::addColumn<QDateTime>("stop");
    QTest::addColumn<QTime>("shownInNewYork");
    QTest::newRow("summer") << QDateTime(QDate(2024, 7, 1), QTime(12, 34, 56), Qt::UTC) << QTime(12, 34, 56);
    QTest::newRow("1970") << QDateTime(QDate(1970, 1, 1), QTime(0, 0, 5), Qt::UTC) << QTime(0, 0, 5);
    // New York's clocks skip 02:00-03:00 that night: the file time lands just
    // past the gap instead of not being set at all.
    QTest::newRow("hour skipped by the local clock")
        << QDateTime(QDate(2021, 3, 14), QTime(2, 30, 0), Qt::UTC) << QTime(3, 30, 0);
}

void TestLogFile::writer_modificationTimeIsStopClockReadingInLocalTime()
{
    QFETCH(QDateTime, stop);
    QFETCH(QTime, shownInNewYork);
    QTemporaryDir dir;
    const QString path = dir.filePath("A.LOG");
    const QDateTime start(QDate(2024, 3, 10), QTime(1, 30, 0), Qt::UTC);
    LogFileWriter writer(path);
    writer.open();
    writer.write(header(0, 1));
    writer.commit(start, stop);

    const bool skipsSpringHour = !QDateTime(QDate(2021, 3, 14), QTime(2, 30), Qt::LocalTime).isValid();
    const QDateTime modified = QFileInfo(path).lastModified();
    QCOMPARE(modified.date(), stop.date());
    QCOMPARE(modified.time(), skipsSpringHour ? shownInNewYork : stop.time());
}

void TestLogFile::writer_singleMeasurementWithoutTimesStillCommits()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("SINGLE00.LOG");
    const QByteArray bytes = header(1, 3) + record(10, present(1), present(2));
    LogFileWriter writer(path);
    writer.open();
    writer.write(bytes);
    writer.commit(QDateTime(), QDateTime());
    QCOMPARE(readFile(path), bytes);
    QCOMPARE(LogFile::read(path).records.size(), 1);
}

void TestLogFile::writer_unwritableFolderReportsOpenError()
{
    QTemporaryDir dir;
    LogFileWriter writer(dir.filePath("no/such/folder/A.LOG"));
    QCOMPARE(errorOf([&] { writer.open(); }), openFailed);
    QCOMPARE(errorOf([&] { writer.write(header(0, 1)); }), QStringLiteral("Ошибка записи файла"));
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
