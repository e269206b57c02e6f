#pragma once

#include "ZrSimulator.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// One answer as it goes onto the line: the bytes, and when they go.
struct SimAnswer
{
    QByteArray bytes;      // empty: no answer at all
    int delayMs = 0;       // pause before the first byte
    int splitAt = -1;      // index of the first byte after the mid-answer pause
    int gapMs = 0;         // length of the mid-answer pause
    int pieceSize = 0;     // > 0: the answer goes out in pieces of this many bytes,
    int pieceGapMs = 0;    //      this far apart (as a USB serial adapter hands it over)
};

// The faults still to be committed. Each answer is framed here, with whatever
// faults apply to it. Not thread-safe: the device model guards it.
class SimFaults
{
public:
    static constexpr int pieceBytes = 8;

    void inject(SimFault fault, int count, quint16 command, int param);
    void clear();
    bool isEmpty() const { return m_entries.isEmpty(); }

    // Frames the answer (command field, data) to a request with `requestCommand`,
    // applying and using up the matching faults. `isStatus` tells whether the
    // first data byte is a status byte.
    SimAnswer answer(quint16 requestCommand, quint16 answerCommand, QByteArray data, bool isStatus);

private:
    struct Entry
    {
        SimFault fault;
        int remaining;      // -1: until cleared
        quint16 command;    // 0: any
        int param;
    };
    bool matches(const Entry& e, quint16 command, bool isStatus) const;

    QList<Entry> m_entries;
};
