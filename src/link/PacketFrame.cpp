#include "link/PacketFrame.h"

#include <QtEndian>

namespace {

quint16 readBE16(const QByteArray& bytes, int offset)
{
    return quint16((quint8(bytes.at(offset)) << 8) | quint8(bytes.at(offset + 1)));
}

void appendBE16(QByteArray& out, quint16 value)
{
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

} // namespace

quint16 PacketFrame::checksum(const QByteArray& data)
{
    quint32 sum = 0;
    for (char c : data)
        sum += quint8(c);
    return quint16(sum & 0xFFFF);
}

QByteArray PacketFrame::build(quint16 command, const QByteArray& data)
{
    QByteArray frame;
    frame.reserve(data.size() + overhead);
    frame.append(startByte);
    appendBE16(frame, quint16(data.size() + 4));
    appendBE16(frame, command);
    frame.append(data);
    appendBE16(frame, checksum(data));
    frame.append(stopByte1);
    frame.append(stopByte2);
    return frame;
}

ResponseData PacketFrame::parse(const QByteArray& bytes)
{
    return parseWithLimit(bytes, maxAnswerData);
}

ResponseData PacketFrame::parseRequest(const QByteArray& bytes)
{
    return parseWithLimit(bytes, maxRequestData + 2);
}

ResponseData PacketFrame::parseWithLimit(const QByteArray& bytes, int maxDataAndChecksum)
{
    if (bytes.size() < 7)
        return {QByteArray(), ErrorNoAnswer};
    if (bytes.at(0) != startByte)
        return {QByteArray(), ErrorStart};
    if (bytes.at(bytes.size() - 2) != stopByte1 || bytes.at(bytes.size() - 1) != stopByte2)
        return {QByteArray(), ErrorStop};

    // length (2) | command (2) | data | checksum (2)
    const QByteArray body = bytes.mid(1, bytes.size() - 3);
    if (quint32(body.size() - 4) > quint32(maxDataAndChecksum))
        return {QByteArray(), ErrorLength};

    // The length field must name exactly the bytes between command and
    // checksum: a frame that disagrees with itself was cut, merged or garbled.
    const int declared = int(readBE16(body, 0)) - 4;
    if (declared != body.size() - 6)
        return {QByteArray(), ErrorLength};
    const QByteArray data = body.mid(4, declared);
    if (readBE16(body, body.size() - 2) != checksum(data))
        return {QByteArray(), ErrorChecksum};

    return {data, readBE16(body, 2)};
}

int PacketFrame::expectedAnswerSize(const QByteArray& head)
{
    if (head.isEmpty())
        return 0;
    if (head.at(0) != startByte)
        return -1;
    if (head.size() < headSize)
        return 0;
    const int length = readBE16(head, 1);
    if (length < 4 || length - 4 + 2 > maxAnswerData)
        return -1;
    return length + overhead - 4;
}

PacketFrame::AnswerSearch PacketFrame::findAnswer(const QByteArray& bytes)
{
    AnswerSearch search;
    for (int begin = bytes.indexOf(startByte); begin >= 0; begin = bytes.indexOf(startByte, begin + 1)) {
        const int size = expectedAnswerSize(bytes.mid(begin, headSize));
        if (size < 0)
            continue; // a start byte inside the noise: no answer is that long
        if (size == 0 || bytes.size() - begin < size) {
            search.needed = begin + (size == 0 ? headSize : size);
            return search;
        }
        if (bytes.at(begin + size - 2) == stopByte1 && bytes.at(begin + size - 1) == stopByte2) {
            search.complete = true;
            search.begin = begin;
            search.size = size;
            return search;
        }
    }
    search.needed = bytes.size() + headSize;
    return search;
}
