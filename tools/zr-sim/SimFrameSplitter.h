#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream that arrives from the application into request frames.
// Bytes before a start byte are dropped; a frame ends where its length field
// says. A length field no request can have (the longest request carries 36 data
// bytes) is taken as line noise: the start byte is dropped and the search goes on.
class SimFrameSplitter
{
public:
    static constexpr int maxRequestData = 64;

    QList<QByteArray> feed(const QByteArray& bytes);
    // Drops an incomplete frame (the line has been quiet too long for it to finish).
    void reset() { m_buffer.clear(); }
    bool hasPartial() const { return !m_buffer.isEmpty(); }

private:
    QByteArray m_buffer;
};
