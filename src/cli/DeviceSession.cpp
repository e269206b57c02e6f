#include "cli/DeviceSession.h"

#include "cli/CliFailure.h"
#include "data/DownloadRecord.h"
#include "device/DeviceFinder.h"
#include "device/ZR74XManager.h"
#include "link/ComPortManager.h"
#include "link/SerialPort.h"

DeviceSession::DeviceSession(const QString& port)
    : m_requestedPort(port)
    , m_manager(std::make_unique<ComPortManager>())
    , m_device(std::make_unique<ZR74XManager>(m_manager.get()))
{
}

DeviceSession::~DeviceSession() = default;

void DeviceSession::connect()
{
    const QStringList ports = m_requestedPort.isEmpty() ? SerialPort::portNames() : QStringList{m_requestedPort};
    if (ports.isEmpty())
        throw CliFailure::failed(QStringLiteral("Прибор не найден: нет последовательных портов"));
    DeviceFinder finder(m_manager.get());
    QStringList refused;
    finder.setAccessRefusedHandler([&refused](const QString& port) { refused << port; });
    m_portName = finder.scanPorts(ports);
    if (m_portName.isEmpty() && !refused.isEmpty())
        throw CliFailure::failed(DeviceFinder::accessRefusedMessage(refused.first()));
    if (m_portName.isEmpty())
        throw CliFailure::failed(QStringLiteral("Прибор не найден (порты: %1)").arg(ports.join(QStringLiteral(", "))));
    try {
        m_manager->connectComPort(m_portName);
        m_deviceInfo = m_device->getDeviceInfo();
        m_id = m_device->getId();
    } catch (const QString& message) {
        throw CliFailure::failed(message, m_portName);
    }
}

QString DeviceSession::typeWord() const
{
    const int blank = m_deviceInfo.indexOf(QLatin1Char(' '));
    return blank < 0 ? m_deviceInfo : m_deviceInfo.left(blank);
}

QString DeviceSession::firmware() const
{
    const int blank = m_deviceInfo.indexOf(QLatin1Char(' '));
    return blank < 0 ? m_deviceInfo : m_deviceInfo.mid(blank + 1).trimmed();
}

QDateTime DeviceSession::clock() const
{
    try {
        return m_device->getTime();
    } catch (const QString& message) {
        throw CliFailure::failed(message, m_portName);
    }
}

qint64 DeviceSession::clockOffset(const QDateTime& instrumentClock)
{
    return DownloadRecord::clockDifference(instrumentClock, QDateTime::currentDateTime());
}
