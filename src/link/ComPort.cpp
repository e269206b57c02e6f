#include "link/ComPort.h"

#include "link/PacketFrame.h"
#include "link/SerialPort.h"

ComPort::ComPort(QObject* parent, LineFactory factory)
    : QObject(parent)
    , m_factory(std::move(factory))
    , m_line(makeLine())
{
}

SerialPort* ComPort::makeLine()
{
    return m_factory ? m_factory(this) : new SerialPort(this);
}

bool ComPort::open(const QString& portName)
{
    // A line that is (even half-) open is thrown away with its settings.
    if (m_line->isOpen()) {
        delete m_line;
        m_line = makeLine();
    }
    return m_line->openPort(portName);
}

bool ComPort::isOpen() const
{
    return m_line->isOpen();
}

ResponseData ComPort::exchange(quint16 command, const QByteArray& data)
{
    if (!m_line->isOpen())
        return {QByteArray(), PacketFrame::ErrorNoAnswer};
    if (!m_line->write(buildFrame(command, data)))
        return {QByteArray(), PacketFrame::ErrorNoAnswer};
    return parseAnswer(m_line->readAnswer());
}

void ComPort::drain()
{
    if (m_line->isOpen())
        m_line->drain();
}

QByteArray ComPort::buildFrame(quint16 command, const QByteArray& data)
{
    return PacketFrame::build(command, data);
}

ResponseData ComPort::parseAnswer(const QByteArray& bytes)
{
    return PacketFrame::parse(bytes);
}
