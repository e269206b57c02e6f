#pragma once

#include "link/ResponseData.h"

#include <QByteArray>
#include <QtGlobal>

// The framing of the serial line, the same in both directions:
//   ':' | length (N+4, BE16) | command (BE16) | N data bytes | sum of data (BE16) | "./"
// Pure functions on bytes; both the application and the instrument simulator use them.
class PacketFrame
{
public:
    static constexpr char startByte = 0x3A;
    static constexpr char stopByte1 = 0x2E;
    static constexpr char stopByte2 = 0x2F;
    static constexpr int overhead = 9;          // frame length = data length + 9
    // An answer's data and checksum together: at most 36 bytes, so its body
    // (length..checksum) is at most 40 bytes and it carries at most 34 data bytes.
    static constexpr int maxAnswerData = 36;
    static constexpr int maxRequestData = 36;   // the memory write: address + 32 bytes

    // Error codes of the packet layer.
    enum Error : quint16 {
        ErrorStart = 171,
        ErrorStop = 172,
        ErrorLength = 173,
        ErrorUnknownCommand = 174,
        ErrorChecksum = 175,
        ErrorDataLength = 176,
        ErrorNoAnswer = 177,
    };

    static QByteArray build(quint16 command, const QByteArray& data);

    // Decodes one frame. On failure the result holds the error code and no data.
    // Never reads outside `bytes`, whatever they contain.
    static ResponseData parse(const QByteArray& bytes);

    // The same checks for a frame sent to the instrument, whose data field may
    // be longer than an answer's (up to maxRequestData bytes).
    static ResponseData parseRequest(const QByteArray& bytes);

    static quint16 checksum(const QByteArray& data);

private:
    static ResponseData parseWithLimit(const QByteArray& bytes, int maxDataAndChecksum);
};
