// Framing of requests, validation of answers, and the retry rule of the
// packet layer, on bytes and over an in-memory line.
#include "LinkFakeLine.h"

#include "link/ComPort.h"
#include "link/ComPortManager.h"
#include "link/ErrorHandler.h"
#include "link/PacketFrame.h"

#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QString noAnswer() { return QStringLiteral("Ошибка. Прибор не отвечает "); }
QString stopByteError() { return QStringLiteral("Ошибка протокола обмена: Ошибка стопового байта "); }

// A frame whose body (length, command, data, checksum) has `bodySize` bytes
// and a right checksum.
QByteArray frameWithBody(int bodySize, quint16 command = 150)
{
    return PacketFrame::build(command, QByteArray(bodySize - 6, '\x01'));
}

} // namespace

class TestPacketFrame : public QObject
{
    Q_OBJECT

private slots:
    void buildFrame_requestWithoutData();
    void buildFrame_checksumCoversDataOnlyAndWraps();
    void parseAnswer_data();
    void parseAnswer();
    void parseAnswer_lengthFieldMustAgreeWithFrame_data();
    void parseAnswer_lengthFieldMustAgreeWithFrame();
    void expectedAnswerSize_readFromLengthField_data();
    void expectedAnswerSize_readFromLengthField();
    void findAnswer_skipsNoiseInFront_data();
    void findAnswer_skipsNoiseInFront();
    void parseRequest_acceptsTheLongestRequest();

    void check_data();
    void check();

    void get_goodAnswerIsSentOnceAndReturnsData();
    void get_failsAfterThreeAttemptsWithMessage_data();
    void get_failsAfterThreeAttemptsWithMessage();
    void get_recoversWhenThirdAttemptSucceeds();
    void get_exhaustedCounterCarriesOverToNextRequest();
    void get_portNotOpenFailsWithoutWriting();

    void open_replacesAnOpenLineOnly();
};

void TestPacketFrame::buildFrame_requestWithoutData()
{
    QCOMPARE(ComPort::buildFrame(151, QByteArray()), hex("3A000400970000 2E2F"));
    QCOMPARE(ComPort::buildFrame(150, hex("00")), hex("3A0005009600 0000 2E2F"));
}

void TestPacketFrame::buildFrame_checksumCoversDataOnlyAndWraps()
{
    // 36 bytes of 0xFF sum to 9180 = 0x23DC; a 0x0100 command changes nothing.
    const QByteArray frame = ComPort::buildFrame(0x0100, QByteArray(36, '\xFF'));
    QCOMPARE(frame.size(), 45);
    QCOMPARE(frame.left(5), hex("3A00280100"));
    QCOMPARE(frame.right(4), hex("23DC2E2F"));
    // The sum wraps at 16 bits.
    QCOMPARE(PacketFrame::checksum(QByteArray(300, '\xFF')), quint16((300 * 255) & 0xFFFF));
}

void TestPacketFrame::parseAnswer_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");

    const QByteArray good = hex("3A000500960000002E2F");
    QTest::newRow("accepted") << good << 150 << hex("00");
    QTest::newRow("empty") << QByteArray() << 177 << QByteArray();
    QTest::newRow("six bytes, even bad start and stop") << hex("00000000002E") << 177 << QByteArray();
    // Seven or eight bytes cannot hold command and checksum side by side,
    // whatever the length field says.
    QTest::newRow("seven bytes") << hex("3A00040000 2E2F") << 173 << QByteArray();
    QTest::newRow("eight bytes") << hex("3A0004009600 2E2F") << 173 << QByteArray();
    QTest::newRow("nine bytes, no data") << hex("3A00040097 0000 2E2F") << 151 << QByteArray();

    QByteArray badStart = good;
    badStart[0] = '\x3B';
    QTest::newRow("start byte") << badStart << 171 << QByteArray();

    QByteArray badStop = good;
    badStop[badStop.size() - 1] = '\x2E';
    badStop[6] = '\x55';   // bad checksum too: the stop byte is looked at first
    QTest::newRow("stop byte before checksum") << badStop << 172 << QByteArray();
    QByteArray badStop1 = good;
    badStop1[badStop1.size() - 2] = '\x2F';
    QTest::newRow("first stop byte") << badStop1 << 172 << QByteArray();

    QTest::newRow("41-byte body with right checksum") << frameWithBody(41) << 173 << QByteArray();
    QTest::newRow("40-byte body accepted") << frameWithBody(40) << 150 << QByteArray(34, '\x01');

    QByteArray badSum = good;
    badSum[7] = '\x01';
    QTest::newRow("checksum") << badSum << 175 << QByteArray();

    QTest::newRow("command field 176 passes through") << PacketFrame::build(176, QByteArray()) << 176
                                                      << QByteArray();
}

void TestPacketFrame::parseAnswer()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    const ResponseData response = ComPort::parseAnswer(bytes);
    QCOMPARE(int(response.code), code);
    QCOMPARE(response.data, data);
}

void TestPacketFrame::parseAnswer_lengthFieldMustAgreeWithFrame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");

    // Every row has a checksum that is right for the bytes it claims as data.
    QTest::newRow("agrees") << hex("3A0007 00A4 010203 0006 2E2F") << 0xA4 << hex("010203");
    QTest::newRow("says 1 byte, 3 there") << hex("3A0005 00A4 010203 0001 2E2F") << 173 << QByteArray();
    QTest::newRow("says 3 bytes, 1 there") << hex("3A0007 00A4 01 0001 2E2F") << 173 << QByteArray();
    QTest::newRow("says more than any frame") << hex("3A00FF 00A4 0102 0003 2E2F") << 173 << QByteArray();
    QTest::newRow("says less than no data") << hex("3A0000 00A4 0102 0003 2E2F") << 173 << QByteArray();
    // Two answers run together (a late one in front of the next) are one frame to
    // the stop byte check, but their length field gives them away.
    QTest::newRow("two answers run together")
        << hex("3A0008 009F 01020304 000A 2E2F 3A0008 009F 05060708 001A 2E2F") << 173 << QByteArray();
}

void TestPacketFrame::parseAnswer_lengthFieldMustAgreeWithFrame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    const ResponseData response = ComPort::parseAnswer(bytes);
    QCOMPARE(int(response.code), code);
    QCOMPARE(response.data, data);
}

void TestPacketFrame::expectedAnswerSize_readFromLengthField_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("size");

    QTest::newRow("nothing yet") << QByteArray() << 0;
    QTest::newRow("start byte only") << hex("3A") << 0;
    QTest::newRow("half a length") << hex("3A00") << 0;
    QTest::newRow("no data") << hex("3A0004") << 9;
    QTest::newRow("record") << hex("3A001C009F") << 33;
    QTest::newRow("longest answer") << hex("3A0026") << 43;
    QTest::newRow("longer than an answer may be") << hex("3A0027") << -1;
    QTest::newRow("shorter than no data") << hex("3A0003") << -1;
    QTest::newRow("noise") << hex("55") << -1;
    QTest::newRow("noise, then a frame") << hex("553A0004") << -1;
}

void TestPacketFrame::expectedAnswerSize_readFromLengthField()
{
    QFETCH(QByteArray, head);
    QFETCH(int, size);
    QCOMPARE(PacketFrame::expectedAnswerSize(head), size);
}

void TestPacketFrame::findAnswer_skipsNoiseInFront_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<int>("begin");
    QTest::addColumn<int>("sizeOrNeeded");

    // The answer 3A 00 05 00 96 00 00 00 2E 2F (10 bytes).
    QTest::newRow("answer alone") << hex("3A000500960000002E2F") << true << 0 << 10;
    QTest::newRow("five bytes of noise") << hex("00FF55AA0D3A000500960000002E2F") << true << 5 << 10;
    QTest::newRow("followed by more") << hex("3A000500960000002E2F3A0005") << true << 0 << 10;
    QTest::newRow("start byte in the noise, impossible length") << hex("3AFFFF3A000500960000002E2F") << true << 3 << 10;
    QTest::newRow("start byte in the noise, possible length") << hex("3A0005553A000500960000002E2F") << true << 4 << 10;
    QTest::newRow("nothing yet") << QByteArray() << false << 0 << 3;
    QTest::newRow("noise only") << hex("00FF55") << false << 0 << 6;
    QTest::newRow("noise, then a head") << hex("00FF3A00") << false << 2 << 5;
    QTest::newRow("noise, then half an answer") << hex("00FF3A00050096") << false << 2 << 12;
    // Wrong stop bytes: no answer here, the search goes on until silence.
    QTest::newRow("bad stop byte") << hex("3A000500960000002E2E") << false << 0 << 13;
}

void TestPacketFrame::findAnswer_skipsNoiseInFront()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QFETCH(int, begin);
    QFETCH(int, sizeOrNeeded);
    const PacketFrame::AnswerSearch search = PacketFrame::findAnswer(bytes);
    QCOMPARE(search.complete, complete);
    if (complete) {
        QCOMPARE(search.begin, begin);
        QCOMPARE(search.size, sizeOrNeeded);
    } else {
        QCOMPARE(search.needed, sizeOrNeeded);
    }
}

void TestPacketFrame::parseRequest_acceptsTheLongestRequest()
{
    // A memory write (address + 32 bytes) is longer than any answer may be.
    const QByteArray write = PacketFrame::build(169, QByteArray(36, '\x07'));
    QCOMPARE(int(ComPort::parseAnswer(write).code), 173);
    const ResponseData request = PacketFrame::parseRequest(write);
    QCOMPARE(int(request.code), 169);
    QCOMPARE(request.data, QByteArray(36, '\x07'));
    QCOMPARE(int(PacketFrame::parseRequest(PacketFrame::build(169, QByteArray(37, '\x07'))).code), 173);
}

void TestPacketFrame::check_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("answerCode");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("failure");   // 0 = accepted

    QTest::newRow("matching command") << 152 << 152 << hex("01020304") << 0;
    QTest::newRow("other command") << 152 << 153 << QByteArray() << 174;
    for (int code = 171; code <= 177; ++code)
        QTest::newRow(qPrintable(QStringLiteral("code %1").arg(code))) << 152 << code << QByteArray() << code;
    QTest::newRow("code 170 is a command mismatch") << 152 << 170 << QByteArray() << 174;
    QTest::newRow("code 178 is a command mismatch") << 152 << 178 << QByteArray() << 174;
    for (int command : {150, 153, 156, 161, 162, 163, 165, 166, 167, 168, 169})
        QTest::newRow(qPrintable(QStringLiteral("status %1").arg(command)))
            << command << command << hex("01") << command;
    QTest::newRow("status 0 accepted") << 169 << 169 << hex("00") << 0;
    QTest::newRow("empty status reads as 0") << 166 << 166 << QByteArray() << 0;
    QTest::newRow("status byte 0xFF") << 150 << 150 << hex("FF00") << 150;
    for (int command : {151, 152, 155, 157, 158, 159, 160, 164, 170})
        QTest::newRow(qPrintable(QStringLiteral("no status %1").arg(command)))
            << command << command << hex("01") << 0;
}

void TestPacketFrame::check()
{
    QFETCH(int, command);
    QFETCH(int, answerCode);
    QFETCH(QByteArray, data);
    QFETCH(int, failure);

    // The third failure in a row gives up and names the code.
    ErrorHandler handler;
    const ResponseData response(data, quint16(answerCode));
    if (failure == 0) {
        QCOMPARE(handler.check(response, quint16(command)), ErrorHandler::Accept);
        return;
    }
    QCOMPARE(handler.check(response, quint16(command)), ErrorHandler::Retry);
    QCOMPARE(handler.check(response, quint16(command)), ErrorHandler::Retry);
    QCOMPARE(handler.check(response, quint16(command)), ErrorHandler::GiveUp);
    QCOMPARE(int(handler.lastErrorCode()), failure);
}

void TestPacketFrame::get_goodAnswerIsSentOnceAndReturnsData()
{
    auto wire = std::make_shared<LinkFakeWire>();
    ComPortManager manager(LinkFakeLine::factory(wire));
    QVERIFY(manager.connectComPort(QStringLiteral("fake")));
    wire->answerRaw(hex("3A000500960000002E2F"));
    QCOMPARE(manager.get(150, hex("00")), hex("00"));
    QCOMPARE(wire->written, QList<QByteArray>{hex("3A0005009600 0000 2E2F")});
}

void TestPacketFrame::get_failsAfterThreeAttemptsWithMessage_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("message");

    QTest::newRow("silent") << 152 << QByteArray() << noAnswer();
    QTest::newRow("stop byte") << 150 << hex("3A000500960000002E2E") << stopByteError();
    QTest::newRow("start byte") << 150 << hex("00000500960000002E2F")
                                << QStringLiteral("Ошибка протокола обмена: Ошибка стартового байта ");
    QTest::newRow("length") << 150 << frameWithBody(41)
                            << QStringLiteral("Ошибка протокола обмена: Ошибка длины пакета ");
    QTest::newRow("other command") << 150 << PacketFrame::build(151, hex("00"))
                                   << QStringLiteral("Ошибка протокола обмена: Неизвестная команда ");
    QTest::newRow("checksum") << 150 << hex("3A000500960000012E2F")
                              << QStringLiteral("Ошибка протокола обмена: Ошибка контрольной суммы ");
    QTest::newRow("data length reported") << 150 << PacketFrame::build(176, QByteArray())
                                          << QStringLiteral("Ошибка протокола обмена: Ошибка длины данных ");
    QTest::newRow("no answer reported") << 150 << PacketFrame::build(177, QByteArray()) << noAnswer();
    QTest::newRow("short") << 150 << hex("3A0005009600") << noAnswer();
    QTest::newRow("connection check") << 150 << PacketFrame::build(150, hex("01"))
                                      << QStringLiteral("Ошибка проверки соединения");
    QTest::newRow("set time") << 156 << PacketFrame::build(156, hex("01"))
                              << QStringLiteral("Ошибка установки времени");
    QTest::newRow("write memory") << 169 << PacketFrame::build(169, hex("01"))
                                  << QStringLiteral("Ошибка записи в память ");
    QTest::newRow("set id") << 153 << PacketFrame::build(153, hex("02")) << QStringLiteral("Ошибка установки ID");
    QTest::newRow("clear memory") << 165 << PacketFrame::build(165, hex("02"))
                                  << QStringLiteral("Ошибка очистки памяти");
    QTest::newRow("end write") << 163 << PacketFrame::build(163, hex("01")) << QStringLiteral("Неизвестная ошибка ");
    QTest::newRow("begin write") << 166 << PacketFrame::build(166, hex("01")) << QStringLiteral("Неизвестная ошибка ");
}

void TestPacketFrame::get_failsAfterThreeAttemptsWithMessage()
{
    QFETCH(int, command);
    QFETCH(QByteArray, answer);
    QFETCH(QString, message);

    auto wire = std::make_shared<LinkFakeWire>();
    wire->responder = [answer](const QByteArray&) { return LinkFakeWire::Answer(answer); };
    ComPortManager manager(LinkFakeLine::factory(wire));
    QVERIFY(manager.connectComPort(QStringLiteral("fake")));
    try {
        manager.get(ushort(command), hex("00"));
        QFAIL("the request should have failed");
    } catch (const QString& thrown) {
        QCOMPARE(thrown, message);
    }
    QCOMPARE(wire->written.size(), 3);
    QCOMPARE(wire->written.at(2), wire->written.at(0));
    // Every failed attempt lets the line run dry, the last one too.
    QCOMPARE(wire->drains, 3);
    QCOMPARE(manager.failedAttempts(), quint64(3));
}

void TestPacketFrame::get_recoversWhenThirdAttemptSucceeds()
{
    auto wire = std::make_shared<LinkFakeWire>();
    ComPortManager manager(LinkFakeLine::factory(wire));
    QVERIFY(manager.connectComPort(QStringLiteral("fake")));
    wire->silence(2);
    wire->answer(152, hex("00BC614E"));
    QCOMPARE(manager.get(152), hex("00BC614E"));
    QCOMPARE(wire->written.size(), 3);
    QCOMPARE(wire->drains, 2);
    QCOMPARE(int(manager.errorHandler().retryCount()), 0);

    // The success reset the counter: the next failure is again tried three times.
    wire->written.clear();
    QVERIFY_EXCEPTION_THROWN(manager.get(152), QString);
    QCOMPARE(wire->written.size(), 3);
}

void TestPacketFrame::get_exhaustedCounterCarriesOverToNextRequest()
{
    auto wire = std::make_shared<LinkFakeWire>();
    ComPortManager manager(LinkFakeLine::factory(wire));
    QVERIFY(manager.connectComPort(QStringLiteral("fake")));

    QVERIFY_EXCEPTION_THROWN(manager.get(155), QString);
    QCOMPARE(wire->written.size(), 3);

    // Still exhausted: a different failing request gives up after one attempt.
    wire->written.clear();
    wire->answerRaw(hex("3A000500960000002E2E"));
    try {
        manager.get(150, hex("00"));
        QFAIL("the request should have failed");
    } catch (const QString& thrown) {
        QCOMPARE(thrown, stopByteError());
    }
    QCOMPARE(wire->written.size(), 1);

    // One accepted answer, and failures get their three attempts back.
    wire->written.clear();
    wire->answer(151, QByteArray("ZR7.47 1.03"));
    QCOMPARE(manager.get(151), QByteArray("ZR7.47 1.03"));
    wire->written.clear();
    QVERIFY_EXCEPTION_THROWN(manager.get(151), QString);
    QCOMPARE(wire->written.size(), 3);
}

void TestPacketFrame::get_portNotOpenFailsWithoutWriting()
{
    auto wire = std::make_shared<LinkFakeWire>();
    wire->unopenable << QStringLiteral("gone");
    ComPortManager manager(LinkFakeLine::factory(wire));
    try {
        manager.get(150, hex("00"));
        QFAIL("the request should have failed");
    } catch (const QString& thrown) {
        QCOMPARE(thrown, noAnswer());
    }
    QVERIFY(!manager.connectComPort(QStringLiteral("gone")));
    QVERIFY_EXCEPTION_THROWN(manager.get(150, hex("00")), QString);
    QVERIFY(wire->written.isEmpty());
}

void TestPacketFrame::open_replacesAnOpenLineOnly()
{
    auto wire = std::make_shared<LinkFakeWire>();
    wire->unopenable << QStringLiteral("gone");
    ComPortManager manager(LinkFakeLine::factory(wire));
    QCOMPARE(wire->linesMade, 1);
    QVERIFY(!manager.connectComPort(QStringLiteral("gone")));
    QCOMPARE(wire->linesMade, 1);   // a closed line is reused
    QVERIFY(manager.connectComPort(QStringLiteral("a")));
    QCOMPARE(wire->linesMade, 1);
    QVERIFY(manager.connectComPort(QStringLiteral("a")));   // an open one is replaced
    QCOMPARE(wire->linesMade, 2);
    QCOMPARE(wire->opened, (QStringList{"gone", "a", "a"}));
}

QTEST_GUILESS_MAIN(TestPacketFrame)
#include "tst_packetframe.moc"
