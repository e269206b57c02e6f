#pragma once

#include "device/DeviceFileInfo.h"

#include <QByteArray>
#include <QtGlobal>

// Tells whether an answer to a record request can be the next record of the
// file being downloaded: its time lies within the file's start and stop (a
// single measurement has none) and comes after the record before. This is
// what gives away an answer meant for another request, which the protocol
// itself cannot tell apart.
//
// The instrument is the authority on its own records, though: one whose clock
// was set back while logging holds records out of order. An answer refused
// once and given again, byte for byte, on the next attempt is therefore taken.
class RecordSequence
{
public:
    explicit RecordSequence(const DeviceFileInfo& info);

    // Whether `record` (24 bytes) may be taken as the next record. A refusal
    // is remembered, so that the same answer given again is taken.
    bool fits(const QByteArray& record);

    // The record has been taken; the next one must come after it.
    void take(const QByteArray& record);

    // Time stamp of a record: little-endian seconds at its start.
    static quint32 timeOf(const QByteArray& record);

private:
    bool inOrder(quint32 time) const;

    bool m_bounded = false;
    quint32 m_first = 0;
    quint32 m_last = 0;
    qint64 m_previous = -1;
    QByteArray m_refused;
};
