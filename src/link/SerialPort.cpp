#include "link/SerialPort.h"

#include "link/PacketFrame.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <cerrno>
#include <unistd.h>

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
    m_accessRefused = false;
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_accessRefused = m_port->error() == QSerialPort::PermissionError && accessRefused(portName);
        return false;
    }
    // Settings go to an open port: the driver only takes them then.
    if (!m_port->setBaudRate(baudRate, QSerialPort::AllDirections)
        || !m_port->setDataBits(QSerialPort::Data8)
        || !m_port->setParity(QSerialPort::NoParity)
        || !m_port->setStopBits(QSerialPort::OneStop)
        || !m_port->setFlowControl(QSerialPort::NoFlowControl))
        return false;
    return isOpen();
}

bool SerialPort::accessRefused(const QString& portName)
{
    // Qt reports a port locked by another program as a permission error too;
    // only the device's own permissions are a matter of the user's groups.
    const QString path = portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    const QByteArray native = QFile::encodeName(path);
    return ::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

bool SerialPort::isOpen() const
{
    return m_port->isOpen();
}

void SerialPort::close()
{
    m_port->close();
}

void SerialPort::discardInput()
{
    // Both what the driver holds and what the port object has read ahead.
    m_port->clear(QSerialPort::Input);
}

bool SerialPort::write(const QByteArray& frame)
{
    // Whatever is waiting now arrived before this request: it cannot be its answer.
    discardInput();
    m_port->write(frame);
    return m_port->waitForReadyRead(firstByteTimeoutMs);
}

QByteArray SerialPort::readAnswer()
{
    QByteArray answer;
    for (;;) {
        // Up to the length field first; then exactly the announced answer, so
        // that whatever follows it is dropped before the next request. Bytes
        // that cannot begin an answer are taken until the line falls silent.
        const int expected = PacketFrame::expectedAnswerSize(answer);
        const int wanted = expected > 0 ? expected : expected == 0 ? PacketFrame::headSize : maxAnswerBytes;
        if (expected != 0 && answer.size() >= wanted)
            break;
        if (m_port->bytesAvailable() == 0 && !m_port->waitForReadyRead(silenceMs))
            break;
        answer.append(m_port->read(wanted - answer.size()));
    }
    return answer;
}

void SerialPort::drain()
{
    if (!m_port->isOpen())
        return;
    QElapsedTimer elapsed;
    elapsed.start();
    do {
        discardInput();
    } while (elapsed.elapsed() < drainLimitMs && m_port->waitForReadyRead(drainQuietMs));
    discardInput();
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
