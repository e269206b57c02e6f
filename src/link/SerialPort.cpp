#include "link/SerialPort.h"

#include <QSerialPort>
#include <QSerialPortInfo>

namespace {
const char portsVariable[] = "ORVELIN_PORTS";
}

SerialPort::SerialPort(QObject* parent)
    : QObject(parent)
    , m_port(new QSerialPort(this))
{
}

SerialPort::~SerialPort()
{
    m_port->close();
    delete m_port;
}

bool SerialPort::openPort(const QString& portName)
{
    m_port->setPortName(portName);
    if (!m_port->open(QIODevice::ReadWrite))
        return false;
    // Settings go to an open port: the driver only takes them then.
    if (!m_port->setBaudRate(baudRate, QSerialPort::AllDirections)
        || !m_port->setDataBits(QSerialPort::Data8)
        || !m_port->setParity(QSerialPort::NoParity)
        || !m_port->setStopBits(QSerialPort::OneStop)
        || !m_port->setFlowControl(QSerialPort::NoFlowControl))
        return false;
    return isOpen();
}

bool SerialPort::isOpen() const
{
    return m_port->isOpen();
}

void SerialPort::close()
{
    m_port->close();
}

bool SerialPort::write(const QByteArray& frame)
{
    m_port->write(frame);
    return m_port->waitForReadyRead(firstByteTimeoutMs);
}

QByteArray SerialPort::readAnswer()
{
    QByteArray answer;
    while (answer.size() < maxAnswerBytes) {
        if (m_port->bytesAvailable() == 0 && !m_port->waitForReadyRead(silenceMs))
            break;
        answer.append(m_port->read(maxAnswerBytes - answer.size()));
    }
    // Bytes that come after the silence belong to no request; leaving them
    // would put them in front of the next answer.
    m_port->clear(QSerialPort::AllDirections);
    return answer;
}

QStringList SerialPort::portNames()
{
    if (qEnvironmentVariableIsSet(portsVariable)) {
        return QString::fromLocal8Bit(qgetenv(portsVariable))
            .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    }
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        names.append(info.portName());
    return names;
}

int SerialPort::portCount()
{
    return portNames().size();
}
