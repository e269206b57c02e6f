// The settings block and the file-info answer, encoded and decoded on bytes.
#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"
#include "SimDevice.h"

#include <QtEndian>
#include <QtTest>
#include <cstring>

namespace {

const QString firstModel = QStringLiteral("ZR7.47 1.03");
const QString secondModel = QStringLiteral("ZR7.49 1.03");

// Every field set to a distinct, non-default value.
DeviceSettings sampleSettings()
{
    DeviceSettings s;
    s.brightness = 80;
    s.sleepPeriodSec = 30;
    s.shutdownPeriodMin = 250;
    s.logPeriod = QTime(1, 2, 3);
    s.batteryType = 1;
    s.updatePeriodValue = 5;
    s.sound = false;
    s.soundButton = true;
    for (int c = 0; c < 2; ++c) {
        for (int q = 0; q < 5; ++q) {
            s.channel[c].alarmMax[q] = 100.5f + 10 * c + q;
            s.channel[c].alarmMin[q] = -40.25f - 10 * c - q;
        }
    }
    s.channel[0].alarm = true;
    s.channel[1].alarm = false;
    s.lineThicknessValue = 3;
    s.numberOfDecimalPlacesCh1 = 2;
    s.numberOfDecimalPlacesCh2 = 0;
    s.sensorType = 3;
    s.valueResistAt0 = 1;
    s.value20mA = 99.75f;
    s.value4mA = -12.5f;
    s.unit = 7;
    return s;
}

struct BlockField
{
    const char* name;
    int offset;
    const char* hex;
};

// sampleSettings() as the instrument's memory holds it, field by field, written
// out by hand from the memory map: single bytes, floats little-endian.
const BlockField commonFields[] = {
    {"brightness", 0, "50"},
    {"sleepPeriodSec", 1, "1E"},
    {"shutdownPeriodMin", 2, "FA"},
    {"logPeriod hours", 3, "01"},
    {"logPeriod minutes", 4, "02"},
    {"logPeriod seconds", 5, "03"},
    {"lineThicknessValue", 6, "03"},
    {"batteryType", 7, "01"},
    {"updatePeriodValue", 8, "05"},
    {"sound bits: key sound only", 9, "02"},
    {"ch1 max temperature 100.5", 10, "00 00 C9 42"},
    {"ch1 max humidity 101.5", 14, "00 00 CB 42"},
    {"ch1 max air flow 102.5", 18, "00 00 CD 42"},
    {"ch1 max pressure 103.5", 22, "00 00 CF 42"},
    {"ch1 max light 104.5", 26, "00 00 D1 42"},
    {"ch1 min temperature -40.25", 30, "00 00 21 C2"},
    {"ch1 min humidity -41.25", 34, "00 00 25 C2"},
    {"ch1 min air flow -42.25", 38, "00 00 29 C2"},
    {"ch1 min pressure -43.25", 42, "00 00 2D C2"},
    {"ch1 min light -44.25", 46, "00 00 31 C2"},
    {"ch1 alarm", 50, "01"},
    {"ch2 max temperature 110.5", 51, "00 00 DD 42"},
    {"ch2 max humidity 111.5", 55, "00 00 DF 42"},
    {"ch2 max air flow 112.5", 59, "00 00 E1 42"},
    {"ch2 max pressure 113.5", 63, "00 00 E3 42"},
    {"ch2 max light 114.5", 67, "00 00 E5 42"},
    {"ch2 min temperature -50.25", 71, "00 00 49 C2"},
    {"ch2 min humidity -51.25", 75, "00 00 4D C2"},
    {"ch2 min air flow -52.25", 79, "00 00 51 C2"},
    {"ch2 min pressure -53.25", 83, "00 00 55 C2"},
    {"ch2 min light -54.25", 87, "00 00 59 C2"},
    {"ch2 alarm", 91, "00"},
    {"numberOfDecimalPlacesCh1", 92, "02"},
    {"numberOfDecimalPlacesCh2", 93, "00"},
};

const BlockField firstModelTail[] = {
    {"checksum 0x166C", 94, "6C 16 00 00"},
};

const BlockField secondModelTail[] = {
    {"sensorType", 94, "03"},
    {"valueResistAt0", 95, "01"},
    {"value20mA 99.75", 96, "00 80 C7 42"},
    {"value4mA -12.5", 100, "00 00 48 C1"},
    {"unit", 104, "07"},
    {"checksum 0x1909", 105, "09 19 00 00"},
};

using FieldTable = QVector<BlockField>;

FieldTable fieldTable(bool secondModel)
{
    FieldTable table(std::begin(commonFields), std::end(commonFields));
    if (secondModel)
        table += FieldTable(std::begin(secondModelTail), std::end(secondModelTail));
    else
        table += FieldTable(std::begin(firstModelTail), std::end(firstModelTail));
    return table;
}

// The table laid end to end; it must cover the block without gaps or overlaps.
QByteArray blockFromTable(const FieldTable& table)
{
    QByteArray block;
    for (const BlockField& field : table) {
        if (field.offset != block.size())
            qFatal("field table: %s at %d, expected %d", field.name, field.offset, int(block.size()));
        block += QByteArray::fromHex(field.hex);
    }
    return block;
}

QByteArray padToArea(QByteArray block)
{
    return block + QByteArray(SettingsArea::size - block.size(), '\xFF');
}

quint32 sumOf(const QByteArray& bytes)
{
    quint32 sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    return sum;
}

} // namespace

class TestSettingsCodec : public QObject
{
    Q_OBJECT

private slots:
    void encode_lengthAndTrailingChecksum_data();
    void encode_lengthAndTrailingChecksum();
    void encode_everyFieldAtItsOffset_data();
    void encode_everyFieldAtItsOffset();
    void decode_everyFieldFromItsOffset_data();
    void decode_everyFieldFromItsOffset();
    void simulatorFactoryArea_decodesToItsFactoryValues_data();
    void simulatorFactoryArea_decodesToItsFactoryValues();
    void decode_firstModelKeepsSecondModelFields();
    void decode_soundBits();
    void decode_shortInputGivesDefaults();
    void decode_blankMemoryWritesBackUnchanged();

    void fileInfo_loggingRun();
    void fileInfo_singleMeasurement();
    void fileInfo_shortAnswerGivesDefault();
    void fileInfo_sizeBelowHeaderHasNoRecords();
};

void TestSettingsCodec::encode_lengthAndTrailingChecksum_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<int>("length");
    QTest::newRow("first model") << firstModel << 98;
    QTest::newRow("second model") << secondModel << 109;
    QTest::newRow("model text inside") << QStringLiteral("xxZR7.49yy") << 109;
    QTest::newRow("lower case is not the second model") << QStringLiteral("zr7.49 1.0") << 98;
    QTest::newRow("empty info") << QString() << 98;
}

void TestSettingsCodec::encode_lengthAndTrailingChecksum()
{
    QFETCH(QString, info);
    QFETCH(int, length);
    const QByteArray block = encodeSettings(sampleSettings(), info);
    QCOMPARE(block.size(), length);
    const QByteArray body = block.left(length - 4);
    QCOMPARE(qFromLittleEndian<quint32>(block.constData() + length - 4), sumOf(body));
}

void TestSettingsCodec::encode_everyFieldAtItsOffset_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<bool>("secondModel");
    QTest::newRow("ZR-7.47") << firstModel << false;
    QTest::newRow("ZR-7.49") << secondModel << true;
}

void TestSettingsCodec::encode_everyFieldAtItsOffset()
{
    QFETCH(QString, info);
    QFETCH(bool, secondModel);
    const FieldTable table = fieldTable(secondModel);
    const QByteArray block = encodeSettings(sampleSettings(), info);
    for (const BlockField& field : table) {
        const QByteArray expected = QByteArray::fromHex(field.hex);
        QVERIFY2(block.mid(field.offset, expected.size()) == expected,
                 qPrintable(QStringLiteral("%1 at %2: %3").arg(QLatin1String(field.name)).arg(field.offset)
                            .arg(QString::fromLatin1(block.mid(field.offset, expected.size()).toHex(' ')))));
    }
    QCOMPARE(block, blockFromTable(table));
}

void TestSettingsCodec::decode_everyFieldFromItsOffset_data()
{
    encode_everyFieldAtItsOffset_data();
}

void TestSettingsCodec::decode_everyFieldFromItsOffset()
{
    QFETCH(QString, info);
    QFETCH(bool, secondModel);
    DeviceSettings expected = sampleSettings();
    if (!secondModel) {
        // The first model's block has no sensor fields; they keep their defaults.
        expected.sensorType = expected.valueResistAt0 = expected.unit = 0;
        expected.value20mA = expected.value4mA = 0;
    }
    const DeviceSettings s = decodeSettings(padToArea(blockFromTable(fieldTable(secondModel))), info);
    QCOMPARE(s.brightness, quint8(80));
    QCOMPARE(s.sleepPeriodSec, quint8(30));
    QCOMPARE(s.shutdownPeriodMin, quint8(250));
    QCOMPARE(s.logPeriod, QTime(1, 2, 3));
    QCOMPARE(s.lineThicknessValue, quint8(3));
    QCOMPARE(s.batteryType, 1);
    QCOMPARE(s.updatePeriodValue, quint8(5));
    QCOMPARE(s.sound, false);
    QCOMPARE(s.soundButton, true);
    for (int c = 0; c < 2; ++c) {
        for (int q = 0; q < 5; ++q) {
            QCOMPARE(s.channel[c].alarmMax[q], 100.5f + 10 * c + q);
            QCOMPARE(s.channel[c].alarmMin[q], -40.25f - 10 * c - q);
        }
    }
    QCOMPARE(s.channel[0].alarm, true);
    QCOMPARE(s.channel[1].alarm, false);
    QCOMPARE(s.numberOfDecimalPlacesCh1, quint8(2));
    QCOMPARE(s.numberOfDecimalPlacesCh2, quint8(0));
    QCOMPARE(s.sensorType, expected.sensorType);
    QCOMPARE(s.valueResistAt0, expected.valueResistAt0);
    QCOMPARE(s.value20mA, expected.value20mA);
    QCOMPARE(s.value4mA, expected.value4mA);
    QCOMPARE(s.unit, expected.unit);
    QVERIFY(s == expected);
}

void TestSettingsCodec::simulatorFactoryArea_decodesToItsFactoryValues_data()
{
    encode_everyFieldAtItsOffset_data();
}

void TestSettingsCodec::simulatorFactoryArea_decodesToItsFactoryValues()
{
    // The simulator lays out its factory settings from a table of its own; what
    // the application reads from them is checked against the values a new
    // instrument is meant to carry, so the two layouts cannot drift together.
    QFETCH(QString, info);
    QFETCH(bool, secondModel);
    const QByteArray area = SimDevice::defaultSettingsArea(info);
    QCOMPARE(area.size(), SettingsArea::size);
    const DeviceSettings s = decodeSettings(area, info);
    QCOMPARE(s.brightness, quint8(80));
    QCOMPARE(s.sleepPeriodSec, quint8(60));
    QCOMPARE(s.shutdownPeriodMin, quint8(10));
    QCOMPARE(s.logPeriod, QTime(0, 1, 0));
    QCOMPARE(s.lineThicknessValue, quint8(2));
    QCOMPARE(s.batteryType, 0);
    QCOMPARE(s.updatePeriodValue, quint8(2));
    QCOMPARE(s.sound, true);
    QCOMPARE(s.soundButton, false);
    const float max[5] = {40, 80, 20, 790, 20000};
    const float min[5] = {0, 20, 0, 720, 0};
    for (int q = 0; q < 5; ++q) {
        QCOMPARE(s.channel[0].alarmMax[q], max[q]);
        QCOMPARE(s.channel[0].alarmMin[q], min[q]);
    }
    for (int q = 2; q < 5; ++q) {
        QCOMPARE(s.channel[1].alarmMax[q], max[q]);
        QCOMPARE(s.channel[1].alarmMin[q], min[q]);
    }
    QCOMPARE(s.channel[0].alarm, true);
    QCOMPARE(s.channel[1].alarm, false);
    QCOMPARE(s.numberOfDecimalPlacesCh1, quint8(1));
    QCOMPARE(s.numberOfDecimalPlacesCh2, quint8(2));
    if (secondModel) {
        QCOMPARE(s.channel[1].alarmMax[0], 150.0f);
        QCOMPARE(s.channel[1].alarmMin[0], -50.0f);
        QCOMPARE(s.channel[1].alarmMax[1], 90.0f);
        QCOMPARE(s.channel[1].alarmMin[1], 10.0f);
        QCOMPARE(s.sensorType, 2);
        QCOMPARE(s.valueResistAt0, 1);
        QCOMPARE(s.value20mA, 100.0f);
        QCOMPARE(s.value4mA, 0.0f);
        QCOMPARE(s.unit, 1);
    } else {
        QCOMPARE(s.channel[1].alarmMax[0], 40.0f);
        QCOMPARE(s.channel[1].alarmMin[0], 0.0f);
        QCOMPARE(s.channel[1].alarmMax[1], 80.0f);
        QCOMPARE(s.channel[1].alarmMin[1], 20.0f);
    }
    // The block the application would write back for it is the same bytes.
    const QByteArray block = encodeSettings(s, info);
    QCOMPARE(area.left(block.size()), block);
    QCOMPARE(area.mid(block.size()), QByteArray(SettingsArea::size - block.size(), char(0xFF)));
}

void TestSettingsCodec::decode_firstModelKeepsSecondModelFields()
{
    const QByteArray area = padToArea(encodeSettings(sampleSettings(), secondModel));
    const DeviceSettings s = decodeSettings(area, firstModel);
    QCOMPARE(s.sensorType, 0);
    QCOMPARE(s.value20mA, 0.0f);
    QCOMPARE(s.brightness, quint8(80));
}

void TestSettingsCodec::decode_soundBits()
{
    QByteArray area = padToArea(encodeSettings(sampleSettings(), firstModel));
    area[9] = '\x03';
    DeviceSettings s = decodeSettings(area, firstModel);
    QVERIFY(s.sound);
    QVERIFY(s.soundButton);
    area[9] = '\x02';
    s = decodeSettings(area, firstModel);
    QVERIFY(!s.sound);
    QVERIFY(s.soundButton);
    area[9] = '\xFD';   // other bits are ignored
    s = decodeSettings(area, firstModel);
    QVERIFY(s.sound);
    QVERIFY(!s.soundButton);
    area[50] = '\xFE';   // so are they in an alarm switch
    QVERIFY(!decodeSettings(area, firstModel).channel[0].alarm);
}

void TestSettingsCodec::decode_shortInputGivesDefaults()
{
    const QByteArray area = padToArea(encodeSettings(sampleSettings(), secondModel));
    for (int size : {0, 1, 32, 96, 127}) {
        const DeviceSettings s = decodeSettings(area.left(size), secondModel);
        QVERIFY2(s == DeviceSettings(), qPrintable(QString::number(size)));
        QVERIFY(!s.logPeriod.isValid());
    }
}

void TestSettingsCodec::decode_blankMemoryWritesBackUnchanged()
{
    // Erased memory reads 0xFF everywhere: the period is no valid time, and
    // writing the record back keeps the erased bytes of the period.
    const DeviceSettings s = decodeSettings(QByteArray(128, '\xFF'), firstModel);
    QVERIFY(!s.logPeriod.isValid());
    QCOMPARE(s.brightness, quint8(255));
    QCOMPARE(encodeSettings(s, firstModel).mid(3, 3), QByteArray(3, '\xFF'));
}

void TestSettingsCodec::fileInfo_loggingRun()
{
    const DeviceFileInfo info = DeviceFileInfo::fromAnswer(QByteArray::fromHex("6553F1006553F53C00000037"));
    QCOMPARE(info.nameFile, QStringLiteral("6553F100.LOG"));
    QCOMPARE(info.startLog, QDateTime::fromSecsSinceEpoch(0x6553F100, Qt::UTC));
    QCOMPARE(info.startLog.timeSpec(), Qt::UTC);
    QCOMPARE(info.startLog.secsTo(info.stopLog), qint64(1084));
    QCOMPARE(info.size, 55);
    QCOMPARE(info.numberOfRecords, 2);
    // Hexadecimal without leading zeros, upper case.
    QCOMPARE(DeviceFileInfo::fromAnswer(QByteArray::fromHex("00ABCDEF0000000000000007")).nameFile,
             QStringLiteral("ABCDEF.LOG"));
}

void TestSettingsCodec::fileInfo_singleMeasurement()
{
    const DeviceFileInfo info = DeviceFileInfo::fromAnswer(QByteArray::fromHex("000000000000000300000 01F"));
    QCOMPARE(info.nameFile, QStringLiteral("SINGLE02.LOG"));
    QVERIFY(info.startLog.isNull());
    QVERIFY(info.stopLog.isNull());
    QCOMPARE(info.size, 31);
    QCOMPARE(info.numberOfRecords, 1);
    QCOMPARE(DeviceFileInfo::fromAnswer(QByteArray::fromHex("000000000000007000000 01F")).nameFile,
             QStringLiteral("SINGLE111.LOG"));
}

void TestSettingsCodec::fileInfo_shortAnswerGivesDefault()
{
    const DeviceFileInfo info = DeviceFileInfo::fromAnswer(QByteArray::fromHex("6553F1006553F53C000000"));
    QVERIFY(info == DeviceFileInfo());
    QVERIFY(info.nameFile.isEmpty());
    QCOMPARE(info.numberOfRecords, 0);
    QVERIFY(DeviceFileInfo::fromAnswer(QByteArray()) == DeviceFileInfo());
}

void TestSettingsCodec::fileInfo_sizeBelowHeaderHasNoRecords()
{
    QCOMPARE(DeviceFileInfo::fromAnswer(QByteArray::fromHex("6553F1006553F53C00000003")).numberOfRecords, 0);
    QCOMPARE(DeviceFileInfo::fromAnswer(QByteArray::fromHex("6553F1006553F53C0000001E")).numberOfRecords, 0);
}

QTEST_GUILESS_MAIN(TestSettingsCodec)
#include "tst_settingscodec.moc"
