#include "SimFaults.h"

#include "SimFrame.h"

namespace {

constexpr int defaultLateMs = 700;
constexpr int defaultGapMs = 30;
constexpr int defaultShortBytes = 6;
constexpr quint16 defaultErrorCode = SimFrame::BadChecksum;
// 35 data bytes make a body of 41 bytes, one more than an answer may have.
constexpr int oversizedData = 35;
constexpr int defaultPieceGapMs = 16;
constexpr int defaultNoiseBytes = 5;
constexpr int defaultLengthFieldDelta = 1;
constexpr int defaultRepeatGapMs = 20;

// Line noise: no byte of it is a start byte.
QByteArray noise(int size)
{
    static const char pattern[] = {'\x00', '\xFF', '\x55', '\xAA', '\x0D'};
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = pattern[i % int(sizeof pattern)];
    return bytes;
}

} // namespace

void SimFaults::inject(SimFault fault, int count, quint16 command, int param)
{
    m_entries.append({fault, count < 0 ? -1 : count, command, param});
}

void SimFaults::clear()
{
    m_entries.clear();
}

bool SimFaults::matches(const Entry& e, quint16 command, bool isStatus) const
{
    if (e.command != 0 && e.command != command)
        return false;
    if (e.fault == SimFault::StatusFail && !isStatus)
        return false;
    return true;
}

SimAnswer SimFaults::answer(quint16 requestCommand, quint16 answerCommand, QByteArray data, bool isStatus)
{
    QList<Entry> active;
    for (int i = 0; i < m_entries.size();) {
        Entry& e = m_entries[i];
        if (!matches(e, requestCommand, isStatus)) {
            ++i;
            continue;
        }
        if (e.fault == SimFault::GoSilent) {
            // The first `remaining` answers still go out; after them the line stays dead.
            if (e.remaining > 0) {
                --e.remaining;
                ++i;
                continue;
            }
            return SimAnswer();
        }
        active.append(e);
        if (e.remaining > 0 && --e.remaining == 0)
            m_entries.removeAt(i);
        else
            ++i;
    }

    quint16 command = answerCommand;
    int checksumDelta = 0;
    SimAnswer out;
    for (const Entry& e : active) {
        switch (e.fault) {
        case SimFault::NoAnswer:
            return SimAnswer();
        case SimFault::StatusFail:
            if (data.isEmpty())
                data.append(char(1));
            else
                data[0] = char(1);
            break;
        case SimFault::WrongCommand:
            command = (requestCommand + 1 >= SimFrame::BadStart && requestCommand + 1 <= SimFrame::NoAnswer)
                ? quint16(requestCommand - 1) : quint16(requestCommand + 1);
            break;
        case SimFault::ErrorCode:
            command = quint16(e.param > 0 ? e.param : defaultErrorCode);
            data.clear();
            break;
        case SimFault::Oversized:
            if (data.size() < qMax(oversizedData, e.param))
                data.append(QByteArray(qMax(oversizedData, e.param) - data.size(), '\0'));
            break;
        case SimFault::BadChecksum:
            checksumDelta = 1;
            break;
        case SimFault::WrongLength:
            // PARAM bytes of data (zeros added or bytes cut); by default one short.
            if (e.param > 0)
                data = data.leftJustified(e.param, '\0', true);
            else
                data.chop(1);
            break;
        default:
            break;
        }
    }

    QByteArray frame = SimFrame::build(command, data);
    if (checksumDelta) {
        const int at = frame.size() - 4;
        const quint16 sum = quint16(SimFrame::sum(data) + checksumDelta);
        frame[at] = char(sum >> 8);
        frame[at + 1] = char(sum & 0xFF);
    }

    int noiseBytes = 0;
    int repeatGapMs = 0;
    for (const Entry& e : active) {
        switch (e.fault) {
        case SimFault::BadStartByte:
            frame[0] = char(0x3B);
            break;
        case SimFault::BadStopByte:
            frame[frame.size() - 1] = SimFrame::stop1;
            break;
        case SimFault::ShortAnswer:
            frame.truncate(e.param > 0 ? e.param : defaultShortBytes);
            break;
        case SimFault::LyingLength: {
            const int length = ((quint8(frame.at(1)) << 8) | quint8(frame.at(2)))
                + (e.param > 0 ? e.param : defaultLengthFieldDelta);
            frame[1] = char((length >> 8) & 0xFF);
            frame[2] = char(length & 0xFF);
            break;
        }
        case SimFault::Pieces:
            out.pieceSize = pieceBytes;
            out.pieceGapMs = e.param > 0 ? e.param : defaultPieceGapMs;
            break;
        case SimFault::Noise:
            noiseBytes = e.param > 0 ? e.param : defaultNoiseBytes;
            break;
        case SimFault::Twice:
            repeatGapMs = e.param > 0 ? e.param : defaultRepeatGapMs;
            break;
        case SimFault::LateAnswer:
            out.delayMs = e.param > 0 ? e.param : defaultLateMs;
            break;
        case SimFault::SplitAnswer:
            out.gapMs = e.param > 0 ? e.param : defaultGapMs;
            break;
        default:
            break;
        }
    }
    if (out.gapMs > 0)
        out.splitAt = noiseBytes + qMax(1, frame.size() / 2);
    out.bytes = noise(noiseBytes) + frame;
    if (repeatGapMs > 0) {
        out.splitAt = out.bytes.size();
        out.gapMs = repeatGapMs;
        out.bytes += frame;
    }
    return out;
}
