#include "device/DeviceInteractor.h"

#include "link/ComPortManager.h"
#include "device/DeviceFinder.h"
#include "device/ZR74XManager.h"

#include <QTimer>

namespace {
constexpr int kClockIntervalMs = 1000;
}

DeviceInteractor::DeviceInteractor(ComPortManager* manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
    , m_device(new ZR74XManager(manager, this))
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &DeviceInteractor::requestTime);
}

DeviceInteractor::~DeviceInteractor() = default;

bool DeviceInteractor::isRequestingTime() const
{
    return m_timer->isActive();
}

void DeviceInteractor::connectToDevice()
{
    // The search dispatches queued events during its pauses, so a second request
    // (several failures reported at once) would start a search inside the running
    // one and identify the instrument twice. The running search already serves it.
    if (m_searching)
        return;
    // Clock requests on a port that is being replaced would only fail again.
    m_timer->stop();

    QString port;
    {
        m_searching = true;
        DeviceFinder finder(m_manager);
        // A port the user may not open is said once; the search goes on, and
        // the message stays on the screen until an instrument is found.
        finder.setAccessRefusedHandler([this](const QString& refused) {
            if (m_refusedPortsSaid.contains(refused))
                return;
            m_refusedPortsSaid.insert(refused);
            emit errorOccurred(DeviceFinder::accessRefusedMessage(refused));
        });
        port = finder.findPort();
        m_searching = false;
    }
    if (port.isEmpty())
        return;

    try {
        m_manager->connectComPort(port);
        emit deviceInfoReceived(m_device->getDeviceInfo());
        emit deviceIdReceived(m_device->getId());
        m_timer->start(kClockIntervalMs);
    } catch (const QString& message) {
        m_timer->stop();
        emit errorOccurred(message);
    }
}

void DeviceInteractor::startRequestDeviceTime()
{
    m_timer->start(kClockIntervalMs);
}

void DeviceInteractor::stopRequestDeviceTime()
{
    m_timer->stop();
}

void DeviceInteractor::requestTime()
{
    try {
        emit deviceTimeReceived(m_device->getTime());
    } catch (const QString& message) {
        m_timer->stop();
        emit errorOccurred(message);
    }
}
