#include "LinkFakeLine.h"

#include "link/PacketFrame.h"

void LinkFakeWire::answer(quint16 command, const QByteArray& data)
{
    script.append(PacketFrame::build(command, data));
}

void LinkFakeWire::answerRaw(const QByteArray& bytes)
{
    script.append(bytes);
}

void LinkFakeWire::silence(int times)
{
    for (int i = 0; i < times; ++i)
        script.append(std::nullopt);
}

LinkFakeLine::LinkFakeLine(std::shared_ptr<LinkFakeWire> wire, QObject* parent)
    : SerialPort(parent)
    , m_wire(std::move(wire))
{
    ++m_wire->linesMade;
}

bool LinkFakeLine::openPort(const QString& portName)
{
    m_wire->opened.append(portName);
    const bool refused = m_wire->refused.contains(portName);
    setAccessRefused(refused);
    m_open = !refused && !m_wire->unopenable.contains(portName);
    return m_open;
}

bool LinkFakeLine::write(const QByteArray& frame)
{
    m_wire->written.append(frame);
    LinkFakeWire::Answer answer;
    if (!m_wire->script.isEmpty())
        answer = m_wire->script.takeFirst();
    else if (m_wire->responder)
        answer = m_wire->responder(frame);
    // An answer that is there but empty cannot start a reply either.
    if (!answer || answer->isEmpty())
        return false;
    m_pending = *answer;
    return true;
}

QByteArray LinkFakeLine::readAnswer()
{
    return std::exchange(m_pending, QByteArray());
}

ComPort::LineFactory LinkFakeLine::factory(std::shared_ptr<LinkFakeWire> wire)
{
    return [wire](QObject* parent) -> SerialPort* { return new LinkFakeLine(wire, parent); };
}
