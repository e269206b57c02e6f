#pragma once

#include "link/ResponseData.h"

#include <QByteArray>
#include <QtGlobal>

// The framing of the serial line, the same in both directions:
//   ':' | length (N+4, BE16) | command (BE16) | N data bytes | sum of data (BE16) | "./"
// Pure functions on bytes.
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
    // Bytes needed to know how long a frame is: start byte and length field.
    static constexpr int headSize = 3;

    // Error codes of the packet layer. ErrorImplausible is the application's
    // own: an answer that is well framed and of the right length, but whose
    // content cannot be the answer asked for.
    enum Error : quint16 {
        ErrorStart = 171,
        ErrorStop = 172,
        ErrorLength = 173,
        ErrorUnknownCommand = 174,
        ErrorChecksum = 175,
        ErrorDataLength = 176,
        ErrorNoAnswer = 177,
        ErrorImplausible = 178,
    };

    static QByteArray build(quint16 command, const QByteArray& data);

    // Decodes one frame. On failure the result holds the error code and no data.
    // The length field must agree with the bytes between command and checksum.
    // Never reads outside `bytes`, whatever they contain.
    static ResponseData parse(const QByteArray& bytes);

    // The same checks for a frame sent to the instrument, whose data field may
    // be longer than an answer's (up to maxRequestData bytes).
    static ResponseData parseRequest(const QByteArray& bytes);

    // How many bytes the answer that begins with `head` has in all, read from
    // its length field; 0 while fewer than headSize bytes are there; -1 when
    // the head cannot begin an answer (no start byte, or a length no answer
    // has), so that only silence can end it.
    static int expectedAnswerSize(const QByteArray& head);

    // Where the answer lies in bytes read from the line, which may begin with
    // line noise: the first start byte whose length field is one an answer
    // can have and whose frame ends in the two stop bytes. `complete`: the
    // answer is bytes.mid(begin, size). Otherwise `needed` is how many bytes
    // in all would settle the nearest candidate (bytes.size() + headSize when
    // there is none yet); only silence ends the search then.
    struct AnswerSearch
    {
        bool complete = false;
        int begin = 0;
        int size = 0;
        int needed = headSize;
    };
    static AnswerSearch findAnswer(const QByteArray& bytes);

    static quint16 checksum(const QByteArray& data);

private:
    static ResponseData parseWithLimit(const QByteArray& bytes, int maxDataAndChecksum);
};
