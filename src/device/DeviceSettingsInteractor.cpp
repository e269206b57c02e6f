#include "device/DeviceSettingsInteractor.h"

#include "device/ZR74XManager.h"

DeviceSettingsInteractor::DeviceSettingsInteractor(ComPortManager* manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
    , m_device(new ZR74XManager(manager))
{
}

DeviceSettingsInteractor::~DeviceSettingsInteractor()
{
    delete m_device;
}

QDateTime DeviceSettingsInteractor::wallClockAsInstrumentTime(const QDateTime& local)
{
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

void DeviceSettingsInteractor::requestSettings()
{
    try {
        const DeviceSettings settings = m_device->readSettings();
        emit deviceBytesSettingReceived(settings);
    } catch (const QString& message) {
        emit errorOccurred(message);
    }
}

void DeviceSettingsInteractor::setSettings(DeviceSettings deviceSettings)
{
    try {
        m_device->writeSettings(deviceSettings);
    } catch (const QString& message) {
        emit errorOccurred(message);
    }
    // Also after a failure: the screen must show what the instrument holds now.
    requestSettings();
}

void DeviceSettingsInteractor::setCurrentTime()
{
    try {
        m_device->setTime(wallClockAsInstrumentTime(QDateTime::currentDateTime()));
    } catch (const QString& message) {
        emit errorOccurred(message);
    }
}
