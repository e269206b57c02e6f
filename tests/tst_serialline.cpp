// The serial line and the packet layer on a real QSerialPort, talking to the
// simulated instrument on a pseudo-terminal.
#include "ZrSimulator.h"

#include "link/ComPortManager.h"
#include "link/PacketFrame.h"
#include "link/SerialPort.h"
#include "device/ZR74XManager.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <QtTest>
#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QString noAnswer() { return QStringLiteral("Ошибка. Прибор не отвечает "); }

ZrSimulator::Options quietOptions(const QString& model = QStringLiteral("7.47"))
{
    ZrSimulator::Options options;
    options.model = model;
    options.defaultFiles = false;
    return options;
}

// Runs `request` and returns the message it throws, or an empty text.
template<typename Request>
QString failureOf(Request request)
{
    try {
        request();
    } catch (const QString& message) {
        return message;
    }
    return QString();
}

DeviceSettings everyFieldSet()
{
    DeviceSettings s;
    s.brightness = 55;
    s.sleepPeriodSec = 20;
    s.shutdownPeriodMin = 5;
    s.logPeriod = QTime(2, 30, 15);
    s.batteryType = 1;
    s.updatePeriodValue = 3;
    s.sound = false;
    s.soundButton = true;
    for (int c = 0; c < 2; ++c) {
        for (int q = 0; q < 5; ++q) {
            s.channel[c].alarmMax[q] = 50.5f + q + 100 * c;
            s.channel[c].alarmMin[q] = -10.125f - q - 100 * c;
        }
        s.channel[c].alarm = c == 1;
    }
    s.lineThicknessValue = 4;
    s.numberOfDecimalPlacesCh1 = 1;
    s.numberOfDecimalPlacesCh2 = 2;
    s.sensorType = 3;
    s.valueResistAt0 = 1;
    s.value20mA = 125.5f;
    s.value4mA = -25.25f;
    s.unit = 9;
    return s;
}

} // namespace

class TestSerialLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void openPort_nonexistentNameFails();
    void portNames_followTheEnvironment();
    void line_answerWithinTimeoutIsCollected();
    void line_answerAfterTimeoutIsNotWaitedFor();
    void line_answerIsCutAtAGap();
    void line_endlessStreamIsCutAtALimit();

    void get_requestBytesOnTheLine();
    void get_goodAnswersAreDecoded();
    void get_rejectedAnswerFailsAfterThreeAttempts_data();
    void get_rejectedAnswerFailsAfterThreeAttempts();
    void get_answerLaterThanTimeoutFailsAfterThreeAttempts();
    void get_exhaustedCounterCarriesOverOnTheLine();
    void get_reopeningThePortKeepsWorking();
    void disturbedAnswer_costsAtMostOneAttempt_data();
    void disturbedAnswer_costsAtMostOneAttempt();
    void lateAnswer_isDrainedNotTakenForTheNext();
    void answerCompleteByItsLength_isTakenWhileTheLineGoesOnTalking();
    void noisyLine_everyAnswerStillComes();
    void waitingInput_isDroppedBeforeTheNextRequest();

    void settings_roundTrip_data();
    void settings_roundTrip();

private:
    std::unique_ptr<ZrSimulator> m_sim;
};

void TestSerialLine::initTestCase()
{
    m_sim.reset(new ZrSimulator(quietOptions()));
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));
}

void TestSerialLine::init()
{
    m_sim->clearFaults();
    m_sim->clearRequests();
}

void TestSerialLine::openPort_nonexistentNameFails()
{
    SerialPort port;
    QVERIFY(!port.openPort(QStringLiteral("/dev/orvelin-no-such-port")));
    QVERIFY(!port.isOpen());
    ComPortManager manager;
    QVERIFY(!manager.connectComPort(QStringLiteral("/dev/orvelin-no-such-port")));
    QCOMPARE(failureOf([&] { manager.get(150, hex("00")); }), noAnswer());
}

void TestSerialLine::portNames_followTheEnvironment()
{
    const QByteArray saved = qgetenv("ORVELIN_PORTS");
    qputenv("ORVELIN_PORTS", "/tmp/a::/tmp/b:");
    QCOMPARE(SerialPort::portNames(), (QStringList{"/tmp/a", "/tmp/b"}));
    QCOMPARE(SerialPort::portCount(), 2);
    qputenv("ORVELIN_PORTS", "");
    QVERIFY(SerialPort::portNames().isEmpty());   // set but empty: no ports at all
    qputenv("ORVELIN_PORTS", saved);
}

void TestSerialLine::line_answerWithinTimeoutIsCollected()
{
    SerialPort port;
    QVERIFY(port.openPort(m_sim->portName()));
    m_sim->injectFault(SimFault::LateAnswer, 1, 0, 300);
    QVERIFY(port.write(PacketFrame::build(152, QByteArray())));
    QCOMPARE(port.readAnswer(), PacketFrame::build(152, hex("0012D687")));
}

void TestSerialLine::line_answerAfterTimeoutIsNotWaitedFor()
{
    SerialPort port;
    QVERIFY(port.openPort(m_sim->portName()));
    m_sim->injectFault(SimFault::LateAnswer, 1, 0, 900);
    const qint64 sent = m_sim->bytesSent();
    const QByteArray answer = PacketFrame::build(152, hex("0012D687"));
    QVERIFY(!port.write(PacketFrame::build(152, QByteArray())));
    QCOMPARE(m_sim->bytesSent(), sent);
    // The late answer was not collected; once out, it is there to be read.
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->bytesSent(), sent + answer.size(), 5000);
    QCOMPARE(port.readAnswer(), answer);
}

void TestSerialLine::line_answerIsCutAtAGap()
{
    SerialPort port;
    QVERIFY(port.openPort(m_sim->portName()));
    m_sim->injectFault(SimFault::SplitAnswer, 1, 0, 150);
    const qint64 sent = m_sim->bytesSent();
    const QByteArray whole = PacketFrame::build(151, QByteArray("ZR7.47 1.03") + '\0');
    QVERIFY(port.write(PacketFrame::build(151, QByteArray())));
    const QByteArray first = port.readAnswer();
    QVERIFY(!first.isEmpty());
    QVERIFY(first.size() < whole.size());
    QCOMPARE(first, whole.left(first.size()));
    // The rest comes after the gap; it is not part of this answer.
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->bytesSent(), sent + whole.size(), 5000);
    QCOMPARE(port.readAnswer(), whole.mid(first.size()));
}

void TestSerialLine::line_endlessStreamIsCutAtALimit()
{
    // A device that never stops sending, on a bare pseudo-terminal.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    std::atomic<bool> stop{false};
    std::thread babbler([&] {
        const QByteArray chunk(64, '\x55');
        while (!stop) {
            if (::write(master, chunk.constData(), size_t(chunk.size())) < 0) {
                pollfd p{master, POLLOUT, 0};
                ::poll(&p, 1, 5);
            }
        }
    });
    {
        SerialPort port;
        QVERIFY(port.openPort(slave));
        QVERIFY(port.write(PacketFrame::build(151, QByteArray())));
        const QByteArray answer = port.readAnswer();
        QCOMPARE(answer.size(), SerialPort::maxAnswerBytes);
        QCOMPARE(answer, QByteArray(answer.size(), '\x55'));
    }
    stop = true;
    babbler.join();
    ::close(master);
}

void TestSerialLine::get_requestBytesOnTheLine()
{
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    manager.get(151);
    manager.get(150, hex("00"));
    QCOMPARE(m_sim->requests(), (QList<QByteArray>{hex("3A0004009700002E2F"), hex("3A000500960000002E2F")}));
}

void TestSerialLine::get_goodAnswersAreDecoded()
{
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    ZR74XManager device(&manager);
    QVERIFY(device.checkConnection());
    QCOMPARE(device.getDeviceInfo(), QStringLiteral("ZR7.47 1.03"));
    QCOMPARE(device.getId(), quint32(1234567));
    const QDateTime clock(QDate(2021, 6, 30), QTime(23, 59, 50), Qt::UTC);
    device.setTime(clock);
    const QDateTime read = device.getTime();
    QCOMPARE(read.timeSpec(), Qt::UTC);
    QVERIFY(qAbs(read.secsTo(clock)) <= 2);
    QCOMPARE(m_sim->requests().at(3), PacketFrame::build(156, hex("60DD0576")));
}

void TestSerialLine::get_rejectedAnswerFailsAfterThreeAttempts_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("message");

    const QString protocol = QStringLiteral("Ошибка протокола обмена: ");
    QTest::newRow("checksum") << int(SimFault::BadChecksum) << 0 << 152
                              << protocol + QStringLiteral("Ошибка контрольной суммы ");
    QTest::newRow("start byte") << int(SimFault::BadStartByte) << 0 << 152
                                << protocol + QStringLiteral("Ошибка стартового байта ");
    QTest::newRow("stop byte") << int(SimFault::BadStopByte) << 0 << 150
                               << protocol + QStringLiteral("Ошибка стопового байта ");
    QTest::newRow("other command") << int(SimFault::WrongCommand) << 0 << 152
                                   << protocol + QStringLiteral("Неизвестная команда ");
    QTest::newRow("oversized") << int(SimFault::Oversized) << 0 << 152
                               << protocol + QStringLiteral("Ошибка длины пакета ");
    QTest::newRow("short") << int(SimFault::ShortAnswer) << 6 << 152 << noAnswer();
    QTest::newRow("silent") << int(SimFault::NoAnswer) << 0 << 152 << noAnswer();
    const char* const texts[] = {"Ошибка стартового байта ", "Ошибка стопового байта ", "Ошибка длины пакета ",
                                 "Неизвестная команда ", "Ошибка контрольной суммы ", "Ошибка длины данных "};
    for (int code = 171; code <= 176; ++code)
        QTest::newRow(qPrintable(QStringLiteral("code %1").arg(code)))
            << int(SimFault::ErrorCode) << code << 152 << protocol + QString::fromUtf8(texts[code - 171]);
    QTest::newRow("code 177") << int(SimFault::ErrorCode) << 177 << 152 << noAnswer();
    QTest::newRow("status of the check") << int(SimFault::StatusFail) << 0 << 150
                                         << QStringLiteral("Ошибка проверки соединения");
    QTest::newRow("status of end write") << int(SimFault::StatusFail) << 0 << 163
                                         << QStringLiteral("Неизвестная ошибка ");
}

void TestSerialLine::get_rejectedAnswerFailsAfterThreeAttempts()
{
    QFETCH(int, fault);
    QFETCH(int, param);
    QFETCH(int, command);
    QFETCH(QString, message);

    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    m_sim->injectFault(SimFault(fault), -1, quint16(command), param);
    const QByteArray data = command == 150 ? hex("00") : QByteArray();
    QCOMPARE(failureOf([&] { manager.get(ushort(command), data); }), message);
    QCOMPARE(m_sim->requestCount(quint16(command)), 3);
    QCOMPARE(m_sim->requests().size(), 3);
}

void TestSerialLine::get_answerLaterThanTimeoutFailsAfterThreeAttempts()
{
    // The simulated instrument serves one request at a time, so an answer that
    // is late for all three attempts has to be later than all of them together.
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    m_sim->injectFault(SimFault::LateAnswer, 1, 152, 2400);
    QCOMPARE(failureOf([&] { manager.get(152); }), noAnswer());
    QTRY_COMPARE(m_sim->requestCount(152), 3);
}

void TestSerialLine::get_exhaustedCounterCarriesOverOnTheLine()
{
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    m_sim->injectFault(SimFault::BadChecksum, 4, 152);
    QVERIFY(!failureOf([&] { manager.get(152); }).isEmpty());
    QCOMPARE(m_sim->requestCount(152), 3);
    QVERIFY(!failureOf([&] { manager.get(152); }).isEmpty());
    QCOMPARE(m_sim->requestCount(152), 4);   // one attempt only
    QCOMPARE(manager.get(152), hex("0012D687"));
    m_sim->injectFault(SimFault::BadChecksum, -1, 152);
    QVERIFY(!failureOf([&] { manager.get(152); }).isEmpty());
    QCOMPARE(m_sim->requestCount(152), 8);   // three again after the success
}

void TestSerialLine::get_reopeningThePortKeepsWorking()
{
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    QVERIFY(manager.connectComPort(m_sim->portName()));
    QCOMPARE(manager.get(150, hex("00")), hex("00"));
    QVERIFY(!manager.connectComPort(QStringLiteral("/dev/orvelin-no-such-port")));
    QCOMPARE(failureOf([&] { manager.get(150, hex("00")); }), noAnswer());
}

void TestSerialLine::disturbedAnswer_costsAtMostOneAttempt_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("attempts");

    // Pieces as USB serial adapters deliver them end no answer early.
    QTest::newRow("pieces 1 ms apart") << int(SimFault::Pieces) << 1 << 1;
    QTest::newRow("pieces 16 ms apart") << int(SimFault::Pieces) << 16 << 1;
    QTest::newRow("pause of 30 ms") << int(SimFault::SplitAnswer) << 30 << 1;
    // The rest of a cut answer is drained, not put in front of the retry's answer.
    QTest::newRow("cut by 150 ms") << int(SimFault::SplitAnswer) << 150 << 2;
    QTest::newRow("cut short") << int(SimFault::ShortAnswer) << 9 << 2;
    QTest::newRow("after 650 ms") << int(SimFault::LateAnswer) << 650 << 2;
    // Noise in front of a whole answer is skipped, not retried.
    QTest::newRow("noise in front") << int(SimFault::Noise) << 7 << 1;
    QTest::newRow("noise in front, in pieces") << int(SimFault::Noise) << 40 << 1;
    QTest::newRow("length field one too many") << int(SimFault::LyingLength) << 1 << 2;
    QTest::newRow("length field far too many") << int(SimFault::LyingLength) << 30 << 2;
    QTest::newRow("one data byte short") << int(SimFault::WrongLength) << 0 << 2;
}

void TestSerialLine::disturbedAnswer_costsAtMostOneAttempt()
{
    QFETCH(int, fault);
    QFETCH(int, param);
    QFETCH(int, attempts);
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    m_sim->injectFault(SimFault(fault), 1, 152, param);
    m_sim->injectFault(SimFault(fault), 1, 164, param);
    ZR74XManager device(&manager);
    QCOMPARE(device.getId(), quint32(1234567));
    QCOMPARE(device.readMemory(0xFE020), m_sim->settingsArea().mid(32, 32));
    QCOMPARE(m_sim->requestCount(152), attempts);
    QCOMPARE(m_sim->requestCount(164), attempts);
}

void TestSerialLine::lateAnswer_isDrainedNotTakenForTheNext()
{
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    ZR74XManager device(&manager);
    // Two attempts at the first piece are answered late; each late answer
    // arrives after its attempt was given up and must not answer another.
    m_sim->injectFault(SimFault::LateAnswer, 2, 164, 650);
    const QByteArray area = m_sim->settingsArea();
    QCOMPARE(device.readMemory(0xFE000), area.mid(0, 32));
    QCOMPARE(device.readMemory(0xFE020), area.mid(32, 32));
    QCOMPARE(device.readMemory(0xFE040), area.mid(64, 32));
    QCOMPARE(m_sim->requestCount(164), 5);
}

void TestSerialLine::answerCompleteByItsLength_isTakenWhileTheLineGoesOnTalking()
{
    // The answer comes again 1 ms after itself: waiting for silence would
    // take both copies as one answer.
    SerialPort port;
    QVERIFY(port.openPort(m_sim->portName()));
    m_sim->injectFault(SimFault::Twice, 1, 152, 1);
    QVERIFY(port.write(PacketFrame::build(152, QByteArray())));
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(port.readAnswer(), PacketFrame::build(152, hex("0012D687")));
    // Well before the line could have fallen silent.
    QVERIFY2(elapsed.elapsed() < SerialPort::silenceMs, qPrintable(QString::number(elapsed.elapsed())));
}

void TestSerialLine::noisyLine_everyAnswerStillComes()
{
    // A few bytes of noise before every answer to the record reads.
    ZrSimulator sim(quietOptions(QStringLiteral("7.47")));
    SimRunSpec run;
    run.records = 20;
    run.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const QByteArray file = sim.addRun(run);
    QVERIFY(sim.start());
    sim.injectFault(SimFault::Noise, -1, 159, 5);
    ComPortManager manager;
    QVERIFY(manager.connectComPort(sim.portName()));
    ZR74XManager device(&manager);
    QCOMPARE(device.openFile(QStringLiteral("6553F100.LOG")), file.left(7));
    for (int i = 0; i < 20; ++i)
        QCOMPARE(device.readRecord(i), file.mid(7 + 24 * i, 24));
    QCOMPARE(sim.requestCount(159), 20);
}

void TestSerialLine::waitingInput_isDroppedBeforeTheNextRequest()
{
    ComPortManager manager;
    QVERIFY(manager.connectComPort(m_sim->portName()));
    ZR74XManager device(&manager);
    // The answer comes again after the request is done; the copy waits on the
    // line and must not be taken for the answer to the next request.
    m_sim->injectFault(SimFault::Twice, 1, 152, 20);
    const qint64 sent = m_sim->bytesSent();
    QCOMPARE(device.getId(), quint32(1234567));
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->bytesSent(), sent + 2 * PacketFrame::build(152, hex("0012D687")).size(), 5000);
    QCOMPARE(device.getFileCount(1), quint16(0));
    QCOMPARE(m_sim->requestCount(170), 1);
}

void TestSerialLine::settings_roundTrip_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("length");
    QTest::newRow("ZR-7.47") << QStringLiteral("7.47") << 98;
    QTest::newRow("ZR-7.49") << QStringLiteral("7.49") << 109;
}

void TestSerialLine::settings_roundTrip()
{
    QFETCH(QString, model);
    QFETCH(int, length);
    ZrSimulator sim(quietOptions(model));
    QVERIFY(sim.start());
    ComPortManager manager;
    QVERIFY(manager.connectComPort(sim.portName()));
    ZR74XManager device(&manager);

    DeviceSettings written = everyFieldSet();
    QCOMPARE(failureOf([&] { device.writeSettings(written); }), QString());
    QCOMPARE(sim.settingsArea().left(length), encodeSettings(written, sim.deviceInfo()));

    QString info;
    const DeviceSettings read = device.readSettings(&info);
    QCOMPARE(info, sim.deviceInfo());
    if (length == 98) {
        written.sensorType = written.valueResistAt0 = written.unit = 0;
        written.value20mA = written.value4mA = 0;
    }
    QCOMPARE(read.logPeriod, written.logPeriod);
    QCOMPARE(read.channel[1].alarmMin[4], written.channel[1].alarmMin[4]);
    QCOMPARE(read.value20mA, written.value20mA);
    QVERIFY(read == written);

    // A write memory refused by the instrument ends the sequence with its message.
    sim.clearRequests();
    sim.injectFault(SimFault::StatusFail, -1, 169);
    QCOMPARE(failureOf([&] { device.writeSettings(written); }), QStringLiteral("Ошибка записи в память "));
    QCOMPARE(sim.requestCount(163), 0);
}

QTEST_GUILESS_MAIN(TestSerialLine)
#include "tst_serialline.moc"
