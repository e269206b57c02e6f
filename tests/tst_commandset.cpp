// The instrument's commands: request bytes, decoding of answers with their
// fallbacks for short answers, and the settings read and write sequences,
// over an in-memory line with a small scripted instrument.
#include "LinkFakeLine.h"

#include "link/ComPortManager.h"
#include "link/PacketFrame.h"
#include "device/ZR74XManager.h"

#include <QtEndian>
#include <functional>
#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// Just enough of an instrument for the settings sequences: a device info
// text, a 128-byte settings memory and optional failure of one command.
struct MemoryInstrument
{
    QString info = QStringLiteral("ZR7.47 1.03");
    QByteArray memory = QByteArray(128, '\xFF');
    bool writing = false;
    quint16 failing = 0;   // this status command answers with status 1

    LinkFakeWire::Answer respond(const QByteArray& request)
    {
        const ResponseData r = PacketFrame::parseRequest(request);
        const quint32 address = r.data.size() >= 4 ? qFromBigEndian<quint32>(r.data.constData()) : 0;
        const int offset = int(address) - 0xFE000;
        if (r.code == failing)
            return PacketFrame::build(r.code, hex("01"));
        switch (r.code) {
        case 151:
            return PacketFrame::build(151, info.toLatin1() + '\0');
        case 164:
            return PacketFrame::build(164, memory.mid(offset, 32));
        case 166:
            writing = true;
            return PacketFrame::build(166, hex("00"));
        case 169:
            if (!writing)
                return PacketFrame::build(169, hex("01"));
            memory.replace(offset, r.data.size() - 4, r.data.mid(4));
            return PacketFrame::build(169, hex("00"));
        case 163:
            writing = false;
            return PacketFrame::build(163, hex("00"));
        default:
            return std::nullopt;
        }
    }
};

class Fixture
{
public:
    Fixture()
        : wire(std::make_shared<LinkFakeWire>())
        , manager(LinkFakeLine::factory(wire))
        , device(&manager)
    {
        manager.connectComPort(QStringLiteral("fake"));
    }

    void serve(MemoryInstrument* instrument)
    {
        wire->responder = [instrument](const QByteArray& r) { return instrument->respond(r); };
    }

    QList<quint16> commandsSent() const
    {
        QList<quint16> codes;
        for (const QByteArray& frame : wire->written)
            codes.append(PacketFrame::parseRequest(frame).code);
        return codes;
    }

    QByteArray lastRequestData() const { return PacketFrame::parseRequest(wire->written.last()).data; }

    std::shared_ptr<LinkFakeWire> wire;
    ComPortManager manager;
    ZR74XManager device;
};

DeviceSettings sampleSettings()
{
    DeviceSettings s;
    s.brightness = 70;
    s.sleepPeriodSec = 15;
    s.shutdownPeriodMin = 10;
    s.logPeriod = QTime(0, 0, 30);
    s.updatePeriodValue = 2;
    s.sound = true;
    s.soundButton = true;
    s.channel[1].alarmMax[0] = 85.5f;
    s.channel[1].alarmMin[1] = 5.0f;
    s.channel[1].alarm = true;
    s.lineThicknessValue = 2;
    s.numberOfDecimalPlacesCh2 = 2;
    s.sensorType = 2;
    s.valueResistAt0 = 1;
    s.value20mA = 50.0f;
    s.value4mA = 0.5f;
    s.unit = 3;
    return s;
}

// An answer of the right length for each command the tests send.
QByteArray goodAnswer(quint16 command)
{
    switch (command) {
    case 151:
        return QByteArray("ZR7.47 1.03", 12);
    case 152:
    case 155:
        return hex("5E0BE100");
    case 157:
        return hex("696400 87D61200");
    case 159:
        return QByteArray(24, '\x01');
    case 160:
        return hex("6553F100 6553F53C 00000037");
    case 164:
        return QByteArray(32, '\x02');
    case 170:
        return hex("0003");
    default:
        return hex("00");
    }
}

QString messageOf(const std::function<void()>& request)
{
    try {
        request();
    } catch (const QString& message) {
        return message;
    }
    return QString();
}

const QString kDataLength = QStringLiteral("Ошибка протокола обмена: Ошибка длины данных ");
const QString kImplausible = QStringLiteral("Ошибка протокола обмена: Неверные данные ");

} // namespace

class TestCommandSet : public QObject
{
    Q_OBJECT

private slots:
    void requests_carryBigEndianArguments();
    void setTime_sendsLow32BitsOfSecondsSinceEpoch();
    void answers_decodeBigEndian();
    void answers_shortFallBackToZero();
    void answerLength_onlyTheCommandsOwnIsTaken_data();
    void answerLength_onlyTheCommandsOwnIsTaken();
    void fileHeader_mustBeginWithId();
    void fileInfo_sizeBeyondMemoryIsRefused();
    void deviceInfo_endsAtFirstNul();
    void checkConnection_onlyASingleZeroPasses();
    void failures_passThroughUnchanged();

    void writeSettings_sequenceAndPieces_data();
    void writeSettings_sequenceAndPieces();
    void writeSettings_stopsAtFirstFailure();
    void readSettings_readsFourPiecesAndDecodes();
    void readSettings_shortPieceIsAskedForAgain();
};

void TestCommandSet::requests_carryBigEndianArguments()
{
    Fixture f;
    f.wire->responder = [](const QByteArray& r) {
        const quint16 code = PacketFrame::parseRequest(r).code;
        return LinkFakeWire::Answer(PacketFrame::build(code, goodAnswer(code)));
    };
    f.device.readRecord(0x01020304);
    QCOMPARE(f.wire->written.last(), PacketFrame::build(159, hex("01020304")));
    f.device.getFileInfo(0x0102, 1);
    QCOMPARE(f.lastRequestData(), hex("010201"));
    f.device.getFileCount(0);
    QCOMPARE(f.wire->written.last(), PacketFrame::build(170, hex("00")));
    f.device.readMemory(0xFE020);
    QCOMPARE(f.lastRequestData(), hex("000FE020"));
    f.device.beginWrite(0xFE000);
    QCOMPARE(f.wire->written.last(), PacketFrame::build(166, hex("000FE000")));
    f.device.writeMemory(0xFE060, hex("AABB"));
    QCOMPARE(f.lastRequestData(), hex("000FE060AABB"));
    f.device.openFile(QStringLiteral("6553F100.LOG"));
    QCOMPARE(f.wire->written.last(), PacketFrame::build(157, QByteArray("6553F100.LOG")));
    f.device.closeFile();
    f.device.endWrite();
    f.device.getId();
    f.device.getTime();
    QCOMPARE(f.commandsSent().mid(7), (QList<quint16>{158, 163, 152, 155}));
    QCOMPARE(f.wire->written.last(), hex("3A0004009B00002E2F"));
}

void TestCommandSet::setTime_sendsLow32BitsOfSecondsSinceEpoch()
{
    Fixture f;
    f.wire->responder = [](const QByteArray&) { return LinkFakeWire::Answer(PacketFrame::build(156, hex("00"))); };
    f.device.setTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC));
    QCOMPARE(f.wire->written.last(), PacketFrame::build(156, hex("5E0BE100")));
    // Past 2106 only the low 32 bits go out.
    f.device.setTime(QDateTime::fromSecsSinceEpoch(Q_INT64_C(0x100000005), Qt::UTC));
    QCOMPARE(f.lastRequestData(), hex("00000005"));
}

void TestCommandSet::answers_decodeBigEndian()
{
    QCOMPARE(ZR74XManager::decodeId(hex("00BC614E")), quint32(12345678));
    QCOMPARE(ZR74XManager::decodeId(hex("FFFFFFFF99")), quint32(0xFFFFFFFF));
    QCOMPARE(ZR74XManager::decodeFileCount(hex("0102")), quint16(0x0102));
    const QDateTime t = ZR74XManager::decodeTime(hex("5E0BE100"));
    QCOMPARE(t, QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC));
    QCOMPARE(t.timeSpec(), Qt::UTC);
    QCOMPARE(t.time(), QTime(0, 0));   // the wall-clock reading, whatever the local zone
    QCOMPARE(ZR74XManager::decodeTime(hex("FFFFFFFF")).toSecsSinceEpoch(), qint64(0xFFFFFFFF));
}

void TestCommandSet::answers_shortFallBackToZero()
{
    QCOMPARE(ZR74XManager::decodeId(hex("00BC61")), quint32(0));
    QCOMPARE(ZR74XManager::decodeFileCount(hex("01")), quint16(0));
    QCOMPARE(ZR74XManager::decodeTime(QByteArray()), QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    QVERIFY(DeviceFileInfo::fromAnswer(hex("6553F1006553F53C000000")) == DeviceFileInfo());
}

void TestCommandSet::answerLength_onlyTheCommandsOwnIsTaken_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("good");
    QTest::addColumn<QByteArray>("wrong");

    QTest::newRow("connection check, two bytes") << 150 << hex("00") << hex("0000");
    QTest::newRow("device info, empty") << 151 << QByteArray("ZR7.49 1.03") << QByteArray();
    QTest::newRow("ID, three bytes") << 152 << hex("00BC614E") << hex("00BC61");
    QTest::newRow("clock, five bytes") << 155 << hex("5E0BE100") << hex("5E0BE10000");
    QTest::newRow("set time, empty status") << 156 << hex("00") << QByteArray();
    QTest::newRow("file header, empty") << 157 << hex("69640087D61200") << QByteArray();
    QTest::newRow("file header, six bytes") << 157 << hex("69640087D61200") << hex("69640087D612");
    QTest::newRow("record, 23 bytes") << 159 << QByteArray(24, '\x07') << QByteArray(23, '\x07');
    QTest::newRow("record, 25 bytes") << 159 << QByteArray(24, '\x07') << QByteArray(25, '\x07');
    QTest::newRow("record, empty") << 159 << QByteArray(24, '\x07') << QByteArray();
    QTest::newRow("file info, 11 bytes") << 160 << hex("6553F1006553F53C00000037") << hex("6553F1006553F53C000000");
    QTest::newRow("memory piece, 31 bytes") << 164 << QByteArray(32, '\x09') << QByteArray(31, '\x09');
    QTest::newRow("begin write, two bytes") << 166 << hex("00") << hex("0000");
    QTest::newRow("file count, empty") << 170 << hex("0002") << QByteArray();
}

// A wrong length is a failed attempt like any other: asked again, and after
// three such answers the request fails with its own message.
void TestCommandSet::answerLength_onlyTheCommandsOwnIsTaken()
{
    QFETCH(int, command);
    QFETCH(QByteArray, good);
    QFETCH(QByteArray, wrong);
    Fixture f;
    f.wire->answer(quint16(command), wrong);
    f.wire->answer(quint16(command), good);
    QCOMPARE(f.manager.get(ushort(command), hex("00")), good);
    QCOMPARE(f.wire->written.size(), 2);

    f.wire->written.clear();
    f.wire->responder = [command, wrong](const QByteArray&) {
        return LinkFakeWire::Answer(PacketFrame::build(quint16(command), wrong));
    };
    QCOMPARE(messageOf([&] { f.manager.get(ushort(command), hex("00")); }), kDataLength);
    QCOMPARE(f.wire->written.size(), 3);
}

void TestCommandSet::fileHeader_mustBeginWithId()
{
    Fixture f;
    f.wire->answer(157, hex("49440087D61200"));   // "ID"
    f.wire->answer(157, hex("69640087D61200"));
    QCOMPARE(f.device.openFile(QStringLiteral("6553F100.LOG")), hex("69640087D61200"));
    QCOMPARE(f.wire->written.size(), 2);

    f.wire->responder = [](const QByteArray&) { return LinkFakeWire::Answer(PacketFrame::build(157, hex("00000000000000"))); };
    QCOMPARE(messageOf([&] { f.device.openFile(QStringLiteral("6553F100.LOG")); }), kImplausible);
}

void TestCommandSet::fileInfo_sizeBeyondMemoryIsRefused()
{
    Fixture f;
    // 2^31 bytes would be 89,478,485 records.
    f.wire->responder = [](const QByteArray&) {
        return LinkFakeWire::Answer(PacketFrame::build(160, hex("6553F100 6553F53C 80000000")));
    };
    QCOMPARE(messageOf([&] { f.device.getFileInfo(0, 1); }), kImplausible);
    QCOMPARE(f.wire->written.size(), 3);

    // The whole memory is the largest file there can be.
    f.wire->responder = nullptr;
    f.wire->answer(160, hex("6553F100 6553F53C 00100000"));
    QCOMPARE(f.device.getFileInfo(0, 1).numberOfRecords, (0x100000 - 7) / 24);
    f.wire->responder = [](const QByteArray&) {
        return LinkFakeWire::Answer(PacketFrame::build(160, hex("6553F100 6553F53C 00100001")));
    };
    QCOMPARE(messageOf([&] { f.device.getFileInfo(0, 1); }), kImplausible);
}

void TestCommandSet::deviceInfo_endsAtFirstNul()
{
    QCOMPARE(ZR74XManager::decodeDeviceInfo(QByteArray("ZR7.49 1.03\0junk", 16)), QStringLiteral("ZR7.49 1.03"));
    QCOMPARE(ZR74XManager::decodeDeviceInfo(QByteArray("ZR7.47 2.0")), QStringLiteral("ZR7.47 2.0"));
    QCOMPARE(ZR74XManager::decodeDeviceInfo(QByteArray("\0ZR", 3)), QString());
    QCOMPARE(ZR74XManager::decodeDeviceInfo(QByteArray()), QString());
}

void TestCommandSet::checkConnection_onlyASingleZeroPasses()
{
    Fixture f;
    f.wire->answer(150, hex("00"));
    QVERIFY(f.device.checkConnection());
    QCOMPARE(f.wire->written.last(), hex("3A0005009600 0000 2E2F"));
}

void TestCommandSet::failures_passThroughUnchanged()
{
    Fixture f;
    try {
        f.device.getDeviceInfo();
        QFAIL("the request should have failed");
    } catch (const QString& message) {
        QCOMPARE(message, QStringLiteral("Ошибка. Прибор не отвечает "));
    }
    f.wire->answer(156, hex("01"));
    try {
        f.device.setTime(QDateTime::currentDateTimeUtc());
        QFAIL("the request should have failed");
    } catch (const QString& message) {
        QCOMPARE(message, QStringLiteral("Ошибка установки времени"));
    }
}

void TestCommandSet::writeSettings_sequenceAndPieces_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<int>("lastPiece");
    QTest::newRow("first model") << QStringLiteral("ZR7.47 1.03") << 2;
    QTest::newRow("second model") << QStringLiteral("ZR7.49 1.03") << 13;
}

void TestCommandSet::writeSettings_sequenceAndPieces()
{
    QFETCH(QString, info);
    QFETCH(int, lastPiece);
    Fixture f;
    MemoryInstrument instrument;
    instrument.info = info;
    f.serve(&instrument);

    const DeviceSettings written = sampleSettings();
    f.device.writeSettings(written);
    QCOMPARE(f.commandsSent(), (QList<quint16>{151, 166, 169, 169, 169, 169, 163}));
    QCOMPARE(PacketFrame::parseRequest(f.wire->written.at(1)).data, hex("000FE000"));
    const quint32 addresses[] = {0xFE000, 0xFE020, 0xFE040, 0xFE060};
    for (int i = 0; i < 4; ++i) {
        const QByteArray data = PacketFrame::parseRequest(f.wire->written.at(2 + i)).data;
        QCOMPARE(qFromBigEndian<quint32>(data.constData()), addresses[i]);
        QCOMPARE(data.size() - 4, i < 3 ? 32 : lastPiece);
    }
    const int length = 96 + lastPiece;
    QCOMPARE(instrument.memory.left(length), encodeSettings(written, info));
    QCOMPARE(instrument.memory.mid(length), QByteArray(128 - length, '\xFF'));

    // Read back: every field the model carries comes back.
    f.wire->written.clear();
    QString infoRead;
    DeviceSettings expected = written;
    if (lastPiece == 2) {
        expected.sensorType = expected.valueResistAt0 = expected.unit = 0;
        expected.value20mA = expected.value4mA = 0;
    }
    QVERIFY(f.device.readSettings(&infoRead) == expected);
    QCOMPARE(infoRead, info);
}

void TestCommandSet::writeSettings_stopsAtFirstFailure()
{
    Fixture f;
    MemoryInstrument instrument;
    instrument.failing = 169;
    f.serve(&instrument);
    try {
        f.device.writeSettings(sampleSettings());
        QFAIL("the write should have failed");
    } catch (const QString& message) {
        QCOMPARE(message, QStringLiteral("Ошибка записи в память "));
    }
    QCOMPARE(f.commandsSent(), (QList<quint16>{151, 166, 169, 169, 169}));
}

void TestCommandSet::readSettings_readsFourPiecesAndDecodes()
{
    Fixture f;
    MemoryInstrument instrument;
    instrument.info = QStringLiteral("ZR7.49 1.03");
    instrument.memory.replace(0, 109, encodeSettings(sampleSettings(), instrument.info));
    f.serve(&instrument);
    QVERIFY(f.device.readSettings() == sampleSettings());
    QCOMPARE(f.commandsSent(), (QList<quint16>{151, 164, 164, 164, 164}));
    QCOMPARE(PacketFrame::parseRequest(f.wire->written.at(4)).data, hex("000FE060"));
}

void TestCommandSet::readSettings_shortPieceIsAskedForAgain()
{
    Fixture f;
    MemoryInstrument instrument;
    instrument.info = QStringLiteral("ZR7.49 1.03");
    instrument.memory.replace(0, 109, encodeSettings(sampleSettings(), instrument.info));
    f.wire->answer(151, instrument.info.toLatin1());
    f.wire->answer(164, instrument.memory.mid(0, 32));
    f.wire->answer(164, instrument.memory.mid(32, 32));
    f.wire->answer(164, instrument.memory.mid(64, 31));
    f.serve(&instrument);
    QVERIFY(f.device.readSettings() == sampleSettings());
    QCOMPARE(f.commandsSent(), (QList<quint16>{151, 164, 164, 164, 164, 164}));
    QCOMPARE(f.wire->written.at(3), f.wire->written.at(4));
}

QTEST_GUILESS_MAIN(TestCommandSet)
#include "tst_commandset.moc"
