// Whatever bytes come from the line, the link answers with one of its own
// errors or a decoded value: it never crashes, hangs or reads out of bounds.
// Meant to be run under AddressSanitizer as well.
#include "LinkFakeLine.h"

#include "link/ComPort.h"
#include "link/ComPortManager.h"
#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"
#include "link/ErrorHandler.h"
#include "link/PacketFrame.h"
#include "device/ZR74XManager.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

namespace {

QByteArray randomBytes(QRandomGenerator& rng, int size)
{
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(rng.bounded(256));
    return bytes;
}

// Random garbage, truncated and mutated frames, and frames with a lying
// length field, roughly in equal parts.
QByteArray randomAnswer(QRandomGenerator& rng)
{
    switch (rng.bounded(4)) {
    case 0:
        return randomBytes(rng, rng.bounded(60));
    // The data are drawn before the command, in named steps: the order of
    // evaluating a call's arguments differs between compilers, and the same
    // seed must give the same answers under each.
    case 1: {
        const QByteArray data = randomBytes(rng, rng.bounded(40));
        const QByteArray frame = PacketFrame::build(quint16(rng.bounded(0x10000)), data);
        return frame.left(rng.bounded(frame.size() + 1));
    }
    case 2: {
        const QByteArray data = randomBytes(rng, rng.bounded(40));
        QByteArray frame = PacketFrame::build(quint16(rng.bounded(145, 180)), data);
        for (int flips = rng.bounded(1, 4); flips > 0; --flips)
            frame[rng.bounded(frame.size())] = char(rng.bounded(256));
        return frame;
    }
    default: {
        const QByteArray data = randomBytes(rng, rng.bounded(36));
        QByteArray frame = PacketFrame::build(quint16(rng.bounded(150, 171)), data);
        frame[1] = char(rng.bounded(256));
        frame[2] = char(rng.bounded(256));
        return frame;
    }
    }
}

bool isKnownMessage(const QString& message)
{
    static const QSet<QString> known = [] {
        QSet<QString> texts;
        for (int code = 0; code < 200; ++code)
            texts.insert(ErrorHandler::message(quint16(code)));
        return texts;
    }();
    return known.contains(message);
}

} // namespace

class TestLinkRobustness : public QObject
{
    Q_OBJECT

private slots:
    void parseAnswer_anyBytesGiveDataOrAnErrorCode();
    void parseAnswer_everyTruncationOfAGoodFrame();
    void get_anyAnswerGivesDataOrAKnownMessage();
    void decoders_anyAnswerLength();
};

void TestLinkRobustness::parseAnswer_anyBytesGiveDataOrAnErrorCode()
{
    QRandomGenerator rng(20240601);
    for (int i = 0; i < 200000; ++i) {
        const QByteArray bytes = randomAnswer(rng);
        const ResponseData r = ComPort::parseAnswer(bytes);
        if (r.code >= 171 && r.code <= 177 && r.data.isEmpty())
            continue;
        // Accepted: the data lie inside the frame, between command and checksum.
        QVERIFY2(bytes.size() >= 7 && r.data.size() <= 34 && r.data.size() <= bytes.size() - 9 + 2,
                 bytes.toHex().constData());
        QCOMPARE(PacketFrame::checksum(r.data),
                 quint16((quint8(bytes.at(bytes.size() - 4)) << 8) | quint8(bytes.at(bytes.size() - 3))));
    }
}

void TestLinkRobustness::parseAnswer_everyTruncationOfAGoodFrame()
{
    const QByteArray frame = PacketFrame::build(164, QByteArray(32, '\x5A'));
    for (int size = 0; size < frame.size(); ++size) {
        const ResponseData r = ComPort::parseAnswer(frame.left(size));
        QVERIFY(r.code >= 171 && r.code <= 177);
        QVERIFY(r.data.isEmpty());
    }
    QCOMPARE(ComPort::parseAnswer(frame).data, QByteArray(32, '\x5A'));
}

void TestLinkRobustness::get_anyAnswerGivesDataOrAKnownMessage()
{
    QRandomGenerator rng(77);
    auto wire = std::make_shared<LinkFakeWire>();
    wire->responder = [&rng](const QByteArray&) { return LinkFakeWire::Answer(randomAnswer(rng)); };
    ComPortManager manager(LinkFakeLine::factory(wire));
    QVERIFY(manager.connectComPort(QStringLiteral("fake")));
    ZR74XManager device(&manager);

    int failures = 0;
    for (int i = 0; i < 20000; ++i) {
        try {
            switch (i % 8) {
            case 0: device.checkConnection(); break;
            case 1: device.getDeviceInfo(); break;
            case 2: device.getId(); break;
            case 3: device.getTime(); break;
            case 4: device.getFileInfo(ushort(i), uchar(i & 1)); break;
            case 5: device.getFileCount(1); break;
            case 6: device.readSettings(); break;
            default: device.writeSettings(DeviceSettings()); break;
            }
        } catch (const QString& message) {
            ++failures;
            QVERIFY2(isKnownMessage(message), qPrintable(message));
        }
    }
    QVERIFY(failures > 0);
    QVERIFY(failures < 20000);
}

void TestLinkRobustness::decoders_anyAnswerLength()
{
    QRandomGenerator rng(5);
    for (int i = 0; i < 20000; ++i) {
        const QByteArray bytes = randomBytes(rng, rng.bounded(140));
        ZR74XManager::decodeId(bytes);
        ZR74XManager::decodeTime(bytes);
        ZR74XManager::decodeFileCount(bytes);
        QVERIFY(ZR74XManager::decodeDeviceInfo(bytes).size() <= bytes.size());
        const DeviceFileInfo info = DeviceFileInfo::fromAnswer(bytes);
        QVERIFY(info.numberOfRecords >= 0);
        QVERIFY(bytes.size() > 11 || info == DeviceFileInfo());
        decodeSettings(bytes, i % 2 ? QStringLiteral("ZR7.49") : QString());
    }
}

QTEST_GUILESS_MAIN(TestLinkRobustness)
#include "tst_linkrobustness.moc"
