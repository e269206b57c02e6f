#include "link/DeviceCommand.h"
#include "SimDevice.h"
#include "SimFaultSpec.h"
#include "SimFrameSplitter.h"
#include "SimLogGenerator.h"
#include "SimLogStore.h"
#include "ZrSimulator.h"

#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"
#include "link/PacketFrame.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray be32(quint32 v)
{
    char b[4];
    qToBigEndian<quint32>(v, b);
    return QByteArray(b, 4);
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// One exchange with the device model; the answer parsed as the application would.
ResponseData ask(SimDevice& device, quint16 command, const QByteArray& data = QByteArray())
{
    return PacketFrame::parse(device.handle(PacketFrame::build(command, data)).bytes);
}

QByteArray readMemory(SimDevice& device)
{
    QByteArray area;
    for (quint32 a = 0xFE000; a < 0xFE080; a += 32)
        area += ask(device, DeviceCommand::ReadMemory, be32(a)).data;
    return area;
}

// Reads a whole answer from a real serial port: waits for the first byte, then
// until the line is quiet.
QByteArray readAnswer(QSerialPort& port, int firstByteMs = 1000)
{
    QByteArray out;
    if (!port.waitForReadyRead(firstByteMs))
        return out;
    out += port.readAll();
    while (port.waitForReadyRead(50))
        out += port.readAll();
    return out;
}

bool openPort(QSerialPort& port, const QString& name)
{
    port.setPortName(name);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.setBaudRate(1500000);
    return true;
}

} // namespace

class SimulatorTest : public QObject
{
    Q_OBJECT

private slots:
    // device model: identity, clock, unknown and garbled requests
    void identityCommands_answerForEachModel();
    void clock_startsAtLocalReadingAndFollowsSetTime();
    void unknownOrGarbledRequest_answeredWithErrorCode();

    // settings memory
    void defaultSettings_validBlockForModel_data();
    void defaultSettings_validBlockForModel();
    void readMemory_outsideSettingsAreaReadsFF();
    void writeSequence_updatesSettingsArea();
    void writeMemory_refusedOutsideBeginEndOrArea();

    // files
    void fileList_infoAnswersNameRunsAndSingles();
    void download_recordsServedOneByOneEqualFile();
    void download_badNameOrIndexAnswered176();
    void generatedRun_channelsSensorsAndTimes();
    void store_loadsFolderAndKeepsRunStartFromName();

    // faults
    void fault_malformsAnswer_data();
    void fault_malformsAnswer();
    void fault_timingFaultsCarriedWithAnswer();
    void fault_lineFaultsOnTheBytes_data();
    void fault_lineFaultsOnTheBytes();
    void fault_countAndCommandLimitWhichAnswers();
    void fault_statusFailOnlyHitsStatusCommands();
    void fault_goSilentAfterNAnswers();
    void faultSpec_parsesCommandLineForm();

    // line
    void splitter_cutsStreamIntoFrames();
    void pty_answersOverRealSerialPortAndAfterReopen();
    void pty_linkFollowedAndRestartReusesIt();
    void pty_pacedAndSplitAnswersArriveWhole();
};

void SimulatorTest::identityCommands_answerForEachModel()
{
    SimDevice first("7.47", 1234567, "1.03");
    QCOMPARE(first.handle(PacketFrame::build(150, QByteArray(1, '\0'))).bytes, hex("3a000500960000002e2f"));
    const ResponseData info = ask(first, DeviceCommand::GetDeviceInfo);
    QCOMPARE(info.code, quint16(151));
    QCOMPARE(info.data, QByteArray("ZR7.47 1.03\0", 12));
    QCOMPARE(ask(first, DeviceCommand::GetId).data, hex("0012d687"));

    SimDevice second("7.49", 0xA1B2C3D4, "2.10");
    QCOMPARE(ask(second, DeviceCommand::GetDeviceInfo).data, QByteArray("ZR7.49 2.10\0", 12));
    QCOMPARE(ask(second, DeviceCommand::GetId).data, hex("a1b2c3d4"));
    QCOMPARE(second.deviceType(), 1);
}

void SimulatorTest::clock_startsAtLocalReadingAndFollowsSetTime()
{
    SimDevice device("7.47", 1, "1.03");
    QDateTime local = QDateTime::currentDateTime();
    local.setTimeSpec(Qt::UTC);   // the same reading, labelled UTC
    const quint32 read = qFromBigEndian<quint32>(ask(device, DeviceCommand::GetTime).data.constData());
    QVERIFY(qAbs(qint64(read) - local.toSecsSinceEpoch()) <= 2);
    QCOMPARE(device.clock().timeSpec(), Qt::UTC);

    // 2020-01-01 00:00:00 as the application sends it
    const ResponseData set = ask(device, DeviceCommand::SetTime, hex("5e0be100"));
    QCOMPARE(set.data, QByteArray(1, '\0'));
    QVERIFY(qAbs(device.clock().secsTo(QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC))) <= 2);

    device.setClock(QDateTime(QDate(2031, 5, 6), QTime(7, 8, 9), Qt::UTC));
    const quint32 after = qFromBigEndian<quint32>(ask(device, DeviceCommand::GetTime).data.constData());
    QVERIFY(qAbs(qint64(after) - QDateTime(QDate(2031, 5, 6), QTime(7, 8, 9), Qt::UTC).toSecsSinceEpoch()) <= 2);

    QCOMPARE(ask(device, DeviceCommand::SetTime, hex("0102")).code, quint16(PacketFrame::ErrorDataLength));
}

void SimulatorTest::unknownOrGarbledRequest_answeredWithErrorCode()
{
    SimDevice device("7.47", 1, "1.03");
    QCOMPARE(ask(device, 200).code, quint16(PacketFrame::ErrorUnknownCommand));

    QByteArray badSum = PacketFrame::build(152, QByteArray());
    badSum[6] = 0x05;
    QCOMPARE(PacketFrame::parse(device.handle(badSum).bytes).code, quint16(PacketFrame::ErrorChecksum));
    QByteArray badStop = PacketFrame::build(152, QByteArray());
    badStop[badStop.size() - 1] = 'x';
    QCOMPARE(PacketFrame::parse(device.handle(badStop).bytes).code, quint16(PacketFrame::ErrorStop));
    QByteArray lyingLength = PacketFrame::build(152, QByteArray());
    lyingLength[2] = 0x06;
    QCOMPARE(PacketFrame::parse(device.handle(lyingLength).bytes).code, quint16(PacketFrame::ErrorDataLength));
    // every request is recorded, garbled or not
    QCOMPARE(device.requests().size(), 4);
    QCOMPARE(device.requestCount(152), 3);
}

void SimulatorTest::defaultSettings_validBlockForModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("blockLength");
    QTest::newRow("ZR-7.47") << "7.47" << 98;
    QTest::newRow("ZR-7.49") << "7.49" << 109;
}

void SimulatorTest::defaultSettings_validBlockForModel()
{
    QFETCH(QString, model);
    QFETCH(int, blockLength);
    SimDevice device(model, 1, "1.03");
    const QByteArray area = readMemory(device);
    QCOMPARE(area.size(), 128);
    QCOMPARE(area, device.settingsArea());

    quint32 sum = 0;
    for (int i = 0; i < blockLength - 4; ++i)
        sum += quint8(area.at(i));
    QCOMPARE(qFromLittleEndian<quint32>(area.constData() + blockLength - 4), sum);
    QCOMPARE(area.mid(blockLength), QByteArray(128 - blockLength, char(0xFF)));

    const DeviceSettings s = decodeSettings(area, device.deviceInfo());
    QVERIFY(s.brightness >= 5 && s.brightness <= 100);
    QVERIFY(s.logPeriod.isValid() && s.logPeriod > QTime(0, 0));
    QVERIFY(s.lineThicknessValue >= 2 && s.lineThicknessValue <= 5);
    QVERIFY(s.updatePeriodValue >= 1 && s.updatePeriodValue <= 60);
    QVERIFY(s.numberOfDecimalPlacesCh1 <= 2 && s.numberOfDecimalPlacesCh2 <= 2);
    for (const ChannelAlarm& c : s.channel)
        for (int q = 0; q < 5; ++q)
            QVERIFY(c.alarmMin[q] < c.alarmMax[q]);
    // re-encoding what was read gives the same block: the area is self-consistent
    QCOMPARE(encodeSettings(s, device.deviceInfo()), area.left(blockLength));
}

void SimulatorTest::readMemory_outsideSettingsAreaReadsFF()
{
    SimDevice device("7.47", 1, "1.03");
    QCOMPARE(ask(device, DeviceCommand::ReadMemory, be32(0x1000)).data, QByteArray(32, char(0xFF)));
    // straddling the end of the area: 16 bytes of it, then erased memory
    const QByteArray tail = ask(device, DeviceCommand::ReadMemory, be32(0xFE070)).data;
    QCOMPARE(tail.left(16), device.settingsArea().mid(0x70, 16));
    QCOMPARE(tail.mid(16), QByteArray(16, char(0xFF)));
    QCOMPARE(ask(device, DeviceCommand::ReadMemory, be32(0xFFFFFFF0)).data, QByteArray(32, char(0xFF)));
}

void SimulatorTest::writeSequence_updatesSettingsArea()
{
    SimDevice device("7.49", 1, "1.03");
    DeviceSettings s = decodeSettings(device.settingsArea(), device.deviceInfo());
    s.brightness = 35;
    s.logPeriod = QTime(1, 2, 3);
    s.unit = 7;
    const QByteArray block = encodeSettings(s, device.deviceInfo());

    QCOMPARE(ask(device, DeviceCommand::BeginWrite, be32(0xFE000)).data, QByteArray(1, '\0'));
    for (int offset = 0; offset < block.size(); offset += 32) {
        const ResponseData r = ask(device, DeviceCommand::WriteMemory, be32(0xFE000 + offset) + block.mid(offset, 32));
        QCOMPARE(r.code, quint16(169));
        QCOMPARE(r.data, QByteArray(1, '\0'));
    }
    QVERIFY(device.isWriteOpen());
    QCOMPARE(ask(device, DeviceCommand::EndWrite).data, QByteArray(1, '\0'));
    QVERIFY(!device.isWriteOpen());

    const QByteArray area = readMemory(device);
    QCOMPARE(area.left(block.size()), block);
    QCOMPARE(area.mid(block.size()), QByteArray(128 - block.size(), char(0xFF)));
    QCOMPARE(decodeSettings(area, device.deviceInfo()), s);
}

void SimulatorTest::writeMemory_refusedOutsideBeginEndOrArea()
{
    SimDevice device("7.47", 1, "1.03");
    const QByteArray before = device.settingsArea();
    // no begin: refused with a failing status, memory untouched
    QCOMPARE(ask(device, DeviceCommand::WriteMemory, be32(0xFE000) + QByteArray(4, 'a')).data, QByteArray(1, '\1'));
    ask(device, DeviceCommand::BeginWrite, be32(0xFE000));
    // past the end of the area, or not in it at all
    QCOMPARE(ask(device, DeviceCommand::WriteMemory, be32(0xFE07E) + QByteArray(4, 'a')).data, QByteArray(1, '\1'));
    QCOMPARE(ask(device, DeviceCommand::WriteMemory, be32(0x1000) + QByteArray(4, 'a')).data, QByteArray(1, '\1'));
    // more than 32 bytes make a request longer than any the instrument takes
    QCOMPARE(ask(device, DeviceCommand::WriteMemory, be32(0xFE000) + QByteArray(33, 'a')).code, quint16(PacketFrame::ErrorLength));
    QCOMPARE(device.settingsArea(), before);
    // the last byte of the area is writable
    QCOMPARE(ask(device, DeviceCommand::WriteMemory, be32(0xFE07F) + QByteArray(1, 'z')).data, QByteArray(1, '\0'));
    QCOMPARE(device.settingsArea().at(127), 'z');
}

void SimulatorTest::fileList_infoAnswersNameRunsAndSingles()
{
    ZrSimulator::Options options;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    SimRunSpec spec;
    spec.records = 2;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    spec.periodSec = 1084;
    sim.addRun(spec);
    sim.addSingle(1);
    sim.addSingle(2);
    SimDevice& device = sim.device();

    QCOMPARE(ask(device, DeviceCommand::GetFileCount, QByteArray(1, '\1')).data, hex("0001"));
    QCOMPARE(ask(device, DeviceCommand::GetFileCount, QByteArray(1, '\0')).data, hex("0002"));
    QCOMPARE(ask(device, DeviceCommand::GetFileCount, QByteArray(1, '\7')).data, hex("0000"));

    const QByteArray run = ask(device, DeviceCommand::GetFileInfo, hex("000001")).data;
    QCOMPARE(run, hex("6553f100" "6553f53c" "00000037"));
    const DeviceFileInfo runInfo = DeviceFileInfo::fromAnswer(run);
    QCOMPARE(runInfo.nameFile, QStringLiteral("6553F100.LOG"));
    QCOMPARE(runInfo.numberOfRecords, 2);

    QCOMPARE(ask(device, DeviceCommand::GetFileInfo, hex("000000")).data, hex("00000000" "00000001" "0000001f"));
    const DeviceFileInfo single = DeviceFileInfo::fromAnswer(ask(device, DeviceCommand::GetFileInfo, hex("000100")).data);
    QCOMPARE(single.nameFile, QStringLiteral("SINGLE01.LOG"));
    QCOMPARE(single.numberOfRecords, 1);
    QVERIFY(single.startLog.isNull());

    QCOMPARE(ask(device, DeviceCommand::GetFileInfo, hex("000200")).code, quint16(PacketFrame::ErrorDataLength));
}

void SimulatorTest::download_recordsServedOneByOneEqualFile()
{
    ZrSimulator::Options options;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    const QByteArray file = sim.addRun(37);
    QCOMPARE(file.size(), 7 + 37 * 24);
    SimDevice& device = sim.device();
    const DeviceFileInfo info = DeviceFileInfo::fromAnswer(ask(device, DeviceCommand::GetFileInfo, hex("000001")).data);
    QCOMPARE(info.numberOfRecords, 37);

    QByteArray copy = ask(device, DeviceCommand::OpenFile, info.nameFile.toLocal8Bit()).data;
    QCOMPARE(copy, file.left(7));
    for (int i = 0; i < info.numberOfRecords; ++i) {
        const ResponseData r = ask(device, DeviceCommand::ReadRecord, be32(quint32(i)));
        QCOMPARE(r.code, quint16(159));
        QCOMPARE(r.data.size(), 24);
        copy += r.data;
    }
    QCOMPARE(copy, file);
    ask(device, DeviceCommand::CloseFile);
    QVERIFY(device.openFileName().isEmpty());
}

void SimulatorTest::download_badNameOrIndexAnswered176()
{
    ZrSimulator::Options options;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    sim.addRun(3);
    SimDevice& device = sim.device();
    const QString name = device.listedName(1, 0);
    // reading with no file open
    QCOMPARE(ask(device, DeviceCommand::ReadRecord, be32(0)).code, quint16(PacketFrame::ErrorDataLength));
    QCOMPARE(ask(device, DeviceCommand::OpenFile, "NOSUCH.LOG").code, quint16(PacketFrame::ErrorDataLength));
    QCOMPARE(ask(device, DeviceCommand::OpenFile, name.toLower().toLatin1()).code, quint16(157));
    QCOMPARE(ask(device, DeviceCommand::ReadRecord, be32(2)).code, quint16(159));
    QCOMPARE(ask(device, DeviceCommand::ReadRecord, be32(3)).code, quint16(PacketFrame::ErrorDataLength));
    QCOMPARE(ask(device, DeviceCommand::ReadRecord, be32(0xFFFFFFFF)).code, quint16(PacketFrame::ErrorDataLength));
}

void SimulatorTest::generatedRun_channelsSensorsAndTimes()
{
    SimRunSpec spec;
    spec.records = 50;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    spec.periodSec = 30;
    spec.sensor1 = 121;
    spec.sensor2 = 150;
    spec.presence1 = 16;
    spec.presence2 = 17;
    const QByteArray run = SimLogGenerator::run(spec, 1, 0x01020304);
    QCOMPARE(run.left(7), hex("69640104030201"));
    QCOMPARE(SimLogGenerator::recordCount(run), 50);
    QSet<float> distinct;
    for (int k = 0; k < 50; ++k) {
        const SimRecord r = SimLogGenerator::decodeRecord(run.mid(7 + 24 * k, 24));
        QCOMPARE(r.time, quint32(1700000000 + 30 * k));
        QCOMPARE(r.presence[0], quint8(16));
        QCOMPARE(r.presence[1], quint8(17));
        QCOMPARE(r.sensor[0], quint8(121));
        QCOMPARE(r.sensor[1], quint8(150));
        // a resistive probe: Pt100 resistance goes with the temperature
        QVERIFY(qAbs(r.additional[0] - 100.0f * (1.0f + 0.00385f * r.main[0])) < 0.1f);
        // a current probe reports a 4...20 mA loop
        QVERIFY(r.additional[1] >= 4.0f && r.additional[1] <= 20.0f);
        distinct.insert(r.main[0]);
    }
    QVERIFY(distinct.size() > 10);
    QCOMPARE(SimLogGenerator::lastTime(run), quint32(1700000000 + 30 * 49));

    spec.channel2Present = false;
    const SimRecord absent = SimLogGenerator::decodeRecord(SimLogGenerator::run(spec, 0, 1).mid(7, 24));
    QVERIFY(absent.presence[1] != 0 && absent.presence[1] != 16 && absent.presence[1] != 17);

    // the default set mixes sensors and has a run without channel 2
    ZrSimulator sim;
    QCOMPARE(sim.logFileCount(1), 3);
    QCOMPARE(sim.logFileCount(0), 2);
    QSet<int> sensors;
    bool channel2Absent = false;
    for (int i = 0; i < 3; ++i) {
        const SimRecord r = SimLogGenerator::decodeRecord(sim.device().logFile(1, i).mid(7, 24));
        sensors << r.sensor[0] << r.sensor[1];
        channel2Absent |= r.presence[1] == SimLogGenerator::absentCode;
    }
    QVERIFY(channel2Absent);
    QVERIFY(sensors.size() >= 4);
    // runs do not overlap and end before the clock
    for (int i = 1; i < 3; ++i)
        QVERIFY(SimLogGenerator::firstTime(sim.device().logFile(1, i)) > SimLogGenerator::lastTime(sim.device().logFile(1, i - 1)));
    QVERIFY(qint64(SimLogGenerator::lastTime(sim.device().logFile(1, 2))) < sim.clock().toSecsSinceEpoch());
}

void SimulatorTest::store_loadsFolderAndKeepsRunStartFromName()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimRunSpec spec;
    spec.records = 4;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const QByteArray run = SimLogGenerator::run(spec, 0, 5);
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("6553F000.LOG", run);         // named 256 s before its first record
    write("SINGLE07.LOG", SimLogGenerator::single(1700000500, 1, 0, 5));
    write("field.log", run.left(7 + 24) + "xyz");   // a trailing fragment is not a record
    write("notes.txt", "ignored");

    SimLogStore store;
    QCOMPARE(store.loadDirectory(dir.path()), 3);
    QCOMPARE(store.loadDirectory(dir.filePath("missing")), -1);
    QCOMPARE(store.count(0), 1);
    QCOMPARE(store.count(1), 2);
    QCOMPARE(store.listedName(1, 0), QStringLiteral("6553F000.LOG"));
    QCOMPARE(store.infoAnswer(1, 0), hex("6553f000" "6553f11e" "00000067"));
    // a run without a time in its name is listed by its first record
    QCOMPARE(store.listedName(1, 1), QStringLiteral("6553F100.LOG"));
    QCOMPARE(store.find("field.log")->bytes.size(), 7 + 24 + 3);
    // a single measurement is asked for by its listed name or the name it came with
    QCOMPARE(store.listedName(0, 0), QStringLiteral("SINGLE00.LOG"));
    QVERIFY(store.find("SINGLE00.LOG") == store.find("SINGLE07.LOG"));
}

void SimulatorTest::fault_malformsAnswer_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("expectedCode");
    QTest::newRow("checksum") << int(SimFault::BadChecksum) << 0 << int(PacketFrame::ErrorChecksum);
    QTest::newRow("start byte") << int(SimFault::BadStartByte) << 0 << int(PacketFrame::ErrorStart);
    QTest::newRow("stop byte") << int(SimFault::BadStopByte) << 0 << int(PacketFrame::ErrorStop);
    QTest::newRow("oversized") << int(SimFault::Oversized) << 0 << int(PacketFrame::ErrorLength);
    QTest::newRow("short") << int(SimFault::ShortAnswer) << 0 << int(PacketFrame::ErrorNoAnswer);
    QTest::newRow("error code 176") << int(SimFault::ErrorCode) << 176 << 176;
    QTest::newRow("error code default") << int(SimFault::ErrorCode) << 0 << 175;
    QTest::newRow("wrong command") << int(SimFault::WrongCommand) << 0 << 153;
}

void SimulatorTest::fault_malformsAnswer()
{
    QFETCH(int, fault);
    QFETCH(int, param);
    QFETCH(int, expectedCode);
    SimDevice device("7.47", 1, "1.03");
    device.injectFault(SimFault(fault), 1, 0, param);
    const QByteArray bytes = device.handle(PacketFrame::build(152, QByteArray())).bytes;
    QCOMPARE(int(PacketFrame::parse(bytes).code), expectedCode);
    if (SimFault(fault) == SimFault::ShortAnswer)
        QCOMPARE(bytes.size(), 6);
    if (SimFault(fault) == SimFault::Oversized) {
        QCOMPARE(bytes.size() - 3, 41);   // body of 41 bytes, everything else right
        QCOMPARE(PacketFrame::checksum(bytes.mid(5, bytes.size() - 9)),
                 quint16((quint8(bytes.at(bytes.size() - 4)) << 8) | quint8(bytes.at(bytes.size() - 3))));
    }
    if (SimFault(fault) == SimFault::BadStopByte)
        QCOMPARE(bytes.right(2), QByteArray(".."));
    // the fault was used up: the next answer is sound again
    QCOMPARE(ask(device, 152).data, hex("00000001"));
}

void SimulatorTest::fault_timingFaultsCarriedWithAnswer()
{
    SimDevice device("7.47", 1, "1.03");
    device.injectFault(SimFault::LateAnswer, 1, 0, 0);
    SimAnswer a = device.handle(PacketFrame::build(150, QByteArray(1, '\0')));
    QCOMPARE(a.delayMs, 700);
    QCOMPARE(PacketFrame::parse(a.bytes).data, QByteArray(1, '\0'));

    device.injectFault(SimFault::SplitAnswer, 1, 0, 45);
    a = device.handle(PacketFrame::build(151, QByteArray()));
    QCOMPARE(a.gapMs, 45);
    QVERIFY(a.splitAt > 0 && a.splitAt < a.bytes.size());
    QCOMPARE(PacketFrame::parse(a.bytes).code, quint16(151));

    device.injectFault(SimFault::NoAnswer, 1, 0, 0);
    QVERIFY(device.handle(PacketFrame::build(150, QByteArray(1, '\0'))).bytes.isEmpty());
    a = device.handle(PacketFrame::build(150, QByteArray(1, '\0')));
    QCOMPARE(a.delayMs, 0);
    QCOMPARE(a.gapMs, 0);
    QVERIFY(!a.bytes.isEmpty());
}

void SimulatorTest::fault_lineFaultsOnTheBytes_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("param");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<int>("splitAt");

    // The sound answer to 152 of instrument 1 is 3A 0008 0098 00000001 0001 2E2F.
    const QByteArray sound = hex("3A00080098000000010001 2E2F");
    QTest::newRow("sound") << -1 << 0 << sound << 0 << 0 << -1;
    QTest::newRow("noise") << int(SimFault::Noise) << 3 << hex("00FF55") + sound << 0 << 0 << -1;
    QTest::newRow("two data bytes") << int(SimFault::WrongLength) << 2 << hex("3A00060098 0000 0000 2E2F") << 0 << 0 << -1;
    QTest::newRow("one data byte short") << int(SimFault::WrongLength) << 0 << hex("3A00070098 000000 0000 2E2F")
                                         << 0 << 0 << -1;
    QTest::newRow("length field lies") << int(SimFault::LyingLength) << 0 << hex("3A00090098000000010001 2E2F")
                                       << 0 << 0 << -1;
    QTest::newRow("pieces") << int(SimFault::Pieces) << 5 << sound << 8 << 0 << -1;
    QTest::newRow("twice") << int(SimFault::Twice) << 30 << sound + sound << 0 << 30 << 13;
}

void SimulatorTest::fault_lineFaultsOnTheBytes()
{
    QFETCH(int, fault);
    QFETCH(int, param);
    QFETCH(QByteArray, bytes);
    QFETCH(int, pieceSize);
    QFETCH(int, gapMs);
    QFETCH(int, splitAt);
    SimDevice device("7.47", 1, "1.03");
    if (fault >= 0)
        device.injectFault(SimFault(fault), 1, 152, param);
    const SimAnswer a = device.handle(hex("3A0004009800002E2F"));
    QCOMPARE(a.bytes, bytes);
    QCOMPARE(a.pieceSize, pieceSize);
    QCOMPARE(a.pieceSize > 0 ? a.pieceGapMs : a.gapMs, pieceSize > 0 ? param : gapMs);
    QCOMPARE(a.splitAt, splitAt);
}

void SimulatorTest::fault_countAndCommandLimitWhichAnswers()
{
    SimDevice device("7.47", 1, "1.03");
    device.injectFault(SimFault::NoAnswer, 2, 155, 0);
    QVERIFY(!device.handle(PacketFrame::build(152, QByteArray())).bytes.isEmpty());
    QVERIFY(device.handle(PacketFrame::build(155, QByteArray())).bytes.isEmpty());
    QVERIFY(!device.handle(PacketFrame::build(152, QByteArray())).bytes.isEmpty());
    QVERIFY(device.handle(PacketFrame::build(155, QByteArray())).bytes.isEmpty());
    QVERIFY(!device.handle(PacketFrame::build(155, QByteArray())).bytes.isEmpty());

    device.injectFault(SimFault::BadChecksum, -1, 0, 0);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(ask(device, 151).code, quint16(PacketFrame::ErrorChecksum));
    device.clearFaults();
    QCOMPARE(ask(device, 151).code, quint16(151));
}

void SimulatorTest::fault_statusFailOnlyHitsStatusCommands()
{
    SimDevice device("7.47", 1, "1.03");
    device.injectFault(SimFault::StatusFail, 1, 0, 0);
    // not a status command: answered normally, and the fault waits
    QCOMPARE(ask(device, DeviceCommand::GetDeviceInfo).data, QByteArray("ZR7.47 1.03\0", 12));
    QCOMPARE(ask(device, DeviceCommand::BeginWrite, be32(0xFE000)).data, QByteArray(1, '\1'));
    QCOMPARE(ask(device, DeviceCommand::BeginWrite, be32(0xFE000)).data, QByteArray(1, '\0'));
    device.injectFault(SimFault::StatusFail, -1, DeviceCommand::WriteMemory, 0);
    const ResponseData w = ask(device, DeviceCommand::WriteMemory, be32(0xFE000) + QByteArray(2, 'q'));
    QCOMPARE(w.code, quint16(169));
    QCOMPARE(w.data, QByteArray(1, '\1'));
    QCOMPARE(ask(device, DeviceCommand::EndWrite).data, QByteArray(1, '\0'));
    QCOMPARE(ask(device, DeviceCommand::CloseFile).data.size(), 1);
}

void SimulatorTest::fault_goSilentAfterNAnswers()
{
    SimDevice device("7.47", 1, "1.03");
    device.injectFault(SimFault::GoSilent, 3, 0, 0);
    for (int i = 0; i < 3; ++i)
        QVERIFY(!device.handle(PacketFrame::build(152, QByteArray())).bytes.isEmpty());
    for (int i = 0; i < 4; ++i)
        QVERIFY(device.handle(PacketFrame::build(150, QByteArray(1, '\0'))).bytes.isEmpty());
    device.clearFaults();
    QVERIFY(!device.handle(PacketFrame::build(152, QByteArray())).bytes.isEmpty());
}

void SimulatorTest::faultSpec_parsesCommandLineForm()
{
    SimFaultSpec spec;
    QString why;
    QVERIFY(SimFaultSpec::parse("late:3:150:700", &spec, &why));
    QCOMPARE(spec.fault, SimFault::LateAnswer);
    QCOMPARE(spec.count, 3);
    QCOMPARE(spec.command, quint16(150));
    QCOMPARE(spec.param, 700);
    QVERIFY(SimFaultSpec::parse("error::159:176", &spec, &why));
    QCOMPARE(spec.fault, SimFault::ErrorCode);
    QCOMPARE(spec.count, -1);
    QCOMPARE(spec.param, 176);
    QVERIFY(SimFaultSpec::parse("pieces:::16", &spec, &why));
    QCOMPARE(spec.fault, SimFault::Pieces);
    QCOMPARE(spec.count, -1);
    QCOMPARE(spec.param, 16);
    QVERIFY(SimFaultSpec::parse("silent", &spec, &why));
    QCOMPARE(spec.count, -1);
    QVERIFY(!SimFaultSpec::parse("sometimes", &spec, &why));
    QVERIFY(why.contains("oversized"));
    QVERIFY(!SimFaultSpec::parse("late:x", &spec, &why));
    QVERIFY(!SimFaultSpec::parse("late:1:70000", &spec, &why));
}

void SimulatorTest::splitter_cutsStreamIntoFrames()
{
    SimFrameSplitter splitter;
    const QByteArray a = PacketFrame::build(150, QByteArray(1, '\0'));
    const QByteArray b = PacketFrame::build(169, QByteArray(36, 'w'));
    // noise before a frame, a frame cut in two, two frames in one read
    QVERIFY(splitter.feed("\x00\xff" + a.left(4)).isEmpty());
    QVERIFY(splitter.hasPartial());
    QCOMPARE(splitter.feed(a.mid(4) + b.left(3)), QList<QByteArray>{a});
    QCOMPARE(splitter.feed(b.mid(3) + a), (QList<QByteArray>{b, a}));
    QVERIFY(!splitter.hasPartial());
    // a start byte with an impossible length is noise; the real frame behind it is found
    QCOMPARE(splitter.feed(hex("3affff") + a), QList<QByteArray>{a});
    // an unfinished frame can be abandoned
    splitter.feed(a.left(5));
    splitter.reset();
    QCOMPARE(splitter.feed(a), QList<QByteArray>{a});
}

void SimulatorTest::pty_answersOverRealSerialPortAndAfterReopen()
{
    ZrSimulator sim;
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    QVERIFY(sim.portName().startsWith("/dev/"));
    QCOMPARE(sim.portName(), sim.slavePath());

    QSerialPort port;
    QVERIFY(openPort(port, sim.portName()));
    port.write(PacketFrame::build(150, QByteArray(1, '\0')));
    QCOMPARE(readAnswer(port), hex("3a000500960000002e2f"));
    port.close();

    for (int round = 0; round < 2; ++round) {
        QVERIFY(openPort(port, sim.portName()));
        port.write(PacketFrame::build(152, QByteArray()));
        QCOMPARE(PacketFrame::parse(readAnswer(port)).data, hex("0012d687"));
        port.close();
    }
    // a request split over two writes is still one request
    QVERIFY(openPort(port, sim.portName()));
    const QByteArray request = PacketFrame::build(170, QByteArray(1, '\1'));
    port.write(request.left(3));
    port.waitForBytesWritten(100);
    QTest::qWait(20);
    port.write(request.mid(3));
    QCOMPARE(PacketFrame::parse(readAnswer(port)).data, hex("0003"));
    QCOMPARE(sim.requestCount(170), 1);

    sim.stop();
    QVERIFY(sim.portName().isEmpty());
    port.write(PacketFrame::build(150, QByteArray(1, '\0')));
    QVERIFY(readAnswer(port, 200).isEmpty());
}

void SimulatorTest::pty_linkFollowedAndRestartReusesIt()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ZrSimulator::Options options;
    options.linkPath = dir.filePath("ttyZR");
    options.model = "7.49";
    QFile::link("/nonexistent", options.linkPath);   // a stale link is replaced
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    QCOMPARE(sim.portName(), options.linkPath);
    QCOMPARE(QFile::symLinkTarget(options.linkPath), sim.slavePath());

    for (int round = 0; round < 2; ++round) {
        QSerialPort port;
        QVERIFY(openPort(port, options.linkPath));
        port.write(PacketFrame::build(151, QByteArray()));
        QCOMPARE(PacketFrame::parse(readAnswer(port)).data, QByteArray("ZR7.49 1.03\0", 12));
        port.close();
        sim.stop();
        QVERIFY(!QFile::exists(options.linkPath));
        QVERIFY2(sim.start(&error), qPrintable(error));
        QCOMPARE(QFile::symLinkTarget(options.linkPath), sim.slavePath());
    }
    sim.stop();
    QVERIFY(!QFileInfo(options.linkPath).isSymLink());
}

void SimulatorTest::pty_pacedAndSplitAnswersArriveWhole()
{
    ZrSimulator::Options options;
    options.pace = true;
    QTemporaryDir dir;
    options.traceFile = dir.filePath("trace.txt");
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    QSerialPort port;
    QVERIFY(openPort(port, sim.portName()));
    port.write(PacketFrame::build(164, be32(0xFE000)));
    const ResponseData memory = PacketFrame::parse(readAnswer(port));
    QCOMPARE(memory.data, sim.settingsArea().left(32));

    sim.injectFault(SimFault::SplitAnswer, 1, 0, 30);
    port.write(PacketFrame::build(151, QByteArray()));
    QCOMPARE(PacketFrame::parse(readAnswer(port)).code, quint16(151));

    sim.stop();
    QFile trace(options.traceFile);
    QVERIFY(trace.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = trace.readAll().split('\n');
    QVERIFY(lines.at(0).endsWith(" 164 00 0f e0 00"));
    QVERIFY(lines.at(1).endsWith(" 151"));
}

QTEST_GUILESS_MAIN(SimulatorTest)
#include "tst_simulator.moc"
