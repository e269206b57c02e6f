// The settings block and the file-info answer, encoded and decoded on bytes.
#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"

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
    s.sound = true;
    s.soundButton = false;
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
    s.numberOfDecimalPlacesCh2 = 1;
    s.sensorType = 4;
    s.valueResistAt0 = 1;
    s.value20mA = 99.75f;
    s.value4mA = -12.5f;
    s.unit = 7;
    return s;
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
    void encode_layoutOfKnownFields();
    void roundTrip_everyField_data();
    void roundTrip_everyField();
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

void TestSettingsCodec::encode_layoutOfKnownFields()
{
    const QByteArray b = encodeSettings(sampleSettings(), secondModel);
    QCOMPARE(b.left(10), QByteArray::fromHex("50 1E FA 01 02 03 03 01 05 01"));
    float v;
    const quint32 raw = qFromLittleEndian<quint32>(b.constData() + 10);
    std::memcpy(&v, &raw, 4);
    QCOMPARE(v, 100.5f);
    QCOMPARE(int(b.at(50)), 1);   // channel 1 alarm
    QCOMPARE(int(b.at(91)), 0);   // channel 2 alarm
    QCOMPARE(b.mid(92, 4), QByteArray::fromHex("02 01 04 01"));
    QCOMPARE(int(b.at(104)), 7);
}

void TestSettingsCodec::roundTrip_everyField_data()
{
    QTest::addColumn<QString>("info");
    QTest::newRow("first model") << firstModel;
    QTest::newRow("second model") << secondModel;
}

void TestSettingsCodec::roundTrip_everyField()
{
    QFETCH(QString, info);
    DeviceSettings s = sampleSettings();
    if (!isSecondModel(info)) {
        // The first model does not carry these; they come back as defaults.
        s.sensorType = s.valueResistAt0 = s.unit = 0;
        s.value20mA = s.value4mA = 0;
    }
    const DeviceSettings back = decodeSettings(padToArea(encodeSettings(s, info)), info);
    QCOMPARE(back.brightness, s.brightness);
    QCOMPARE(back.logPeriod, s.logPeriod);
    QCOMPARE(back.channel[0].alarmMin[4], s.channel[0].alarmMin[4]);
    QCOMPARE(back.channel[1].alarmMax[2], s.channel[1].alarmMax[2]);
    QCOMPARE(back.value4mA, s.value4mA);
    QVERIFY(back == s);

    // Flipped switches survive as well.
    s.sound = false;
    s.soundButton = true;
    s.channel[0].alarm = false;
    s.channel[1].alarm = true;
    s.batteryType = 0;
    QVERIFY(decodeSettings(padToArea(encodeSettings(s, info)), info) == s);
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
