#include "SimFrameSplitter.h"

#include "SimFrame.h"

QList<QByteArray> SimFrameSplitter::feed(const QByteArray& bytes)
{
    m_buffer.append(bytes);
    QList<QByteArray> frames;
    for (;;) {
        const int start = m_buffer.indexOf(SimFrame::start);
        if (start < 0) {
            m_buffer.clear();
            break;
        }
        if (start > 0)
            m_buffer.remove(0, start);
        if (m_buffer.size() < 3)
            break;
        const int length = (quint8(m_buffer.at(1)) << 8) | quint8(m_buffer.at(2));
        if (length < 4 || length - 4 > maxRequestData) {
            m_buffer.remove(0, 1);
            continue;
        }
        const int total = length + SimFrame::overhead - 4;
        if (m_buffer.size() < total)
            break;
        frames.append(m_buffer.left(total));
        m_buffer.remove(0, total);
    }
    return frames;
}
