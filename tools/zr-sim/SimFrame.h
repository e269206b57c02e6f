#pragma once

#include <QByteArray>
#include <QtGlobal>

// The instrument's own framing, kept apart from the application's so that the
// two can disagree when one of them is wrong:
//   ':' | N+4 (BE16) | command (BE16) | N data bytes | sum of the data (BE16) | '.' '/'
namespace SimFrame {

constexpr char start = ':';
constexpr char stop1 = '.';
constexpr char stop2 = '/';
constexpr int overhead = 9;

// Codes the instrument puts into the command field of an answer to say what
// it found wrong with a request.
enum Code : quint16 {
    BadStart = 171,
    BadStop = 172,
    BadLength = 173,
    UnknownCommand = 174,
    BadChecksum = 175,
    BadDataLength = 176,
    NoAnswer = 177,
};

constexpr bool isErrorCode(quint16 code)
{
    return code >= BadStart && code <= NoAnswer;
}

inline quint16 sum(const QByteArray& data)
{
    quint16 total = 0;
    for (char c : data)
        total = quint16(total + quint8(c));
    return total;
}

inline QByteArray build(quint16 command, const QByteArray& data)
{
    const quint16 length = quint16(data.size() + 4);
    const quint16 checksum = sum(data);
    QByteArray frame;
    frame.reserve(data.size() + overhead);
    frame.append(start);
    frame.append(char(length >> 8)).append(char(length & 0xFF));
    frame.append(char(command >> 8)).append(char(command & 0xFF));
    frame.append(data);
    frame.append(char(checksum >> 8)).append(char(checksum & 0xFF));
    frame.append(stop1).append(stop2);
    return frame;
}

} // namespace SimFrame
