#include "device/DeviceSettingsInteractor.h"

#include "data/DownloadRecord.h"
#include "data/Journal.h"
#include "device/SettingsJournal.h"
#include "link/ComPortManager.h"

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
        QString deviceInfo;
        const DeviceSettings settings = m_device->readSettings(&deviceInfo);
        m_lastRead = settings;
        m_lastDeviceInfo = deviceInfo;
        emit deviceBytesSettingReceived(settings);
    } catch (const QString& message) {
        emit errorOccurred(message);
    }
}

void DeviceSettingsInteractor::setSettings(DeviceSettings deviceSettings)
{
    try {
        m_device->writeSettings(deviceSettings);
        // The old values are those of the read the page was filled from; the
        // dialogue with the instrument stays as it was.
        journal(QStringLiteral("settingsWritten"),
                {{QStringLiteral("changes"),
                  m_lastRead ? SettingsJournal::changes(*m_lastRead, deviceSettings, m_lastDeviceInfo)
                             : SettingsJournal::changes(std::nullopt, deviceSettings, m_lastDeviceInfo)}});
    } catch (const QString& message) {
        emit errorOccurred(message);
    }
    // Also after a failure: the screen must show what the instrument holds now.
    requestSettings();
}

void DeviceSettingsInteractor::journal(const QString& event, QJsonObject details)
{
    details.insert(QStringLiteral("instrument"),
                   QJsonObject{{QStringLiteral("id"), m_instrumentId ? QJsonValue(double(m_instrumentId)) : QJsonValue()},
                               {QStringLiteral("port"), m_manager->portName()}});
    const QString failure = Journal::record(event, details);
    if (!failure.isEmpty())
        emit errorOccurred(failure);
}

void DeviceSettingsInteractor::setCurrentTime()
{
    try {
        // The clock as it was, for the journal; not having it does not stop the setting.
        QDateTime before;
        try {
            before = m_device->getTime();
        } catch (const QString&) {
        }
        const QDateTime now = QDateTime::currentDateTime();
        m_device->setTime(wallClockAsInstrumentTime(now));
        journal(QStringLiteral("clockSet"),
                {{QStringLiteral("instrumentBefore"),
                  before.isValid() ? QJsonValue(before.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))) : QJsonValue()},
                 {QStringLiteral("differenceBeforeSeconds"),
                  before.isValid() ? QJsonValue(double(DownloadRecord::clockDifference(before, now))) : QJsonValue()}});
    } catch (const QString& message) {
        emit errorOccurred(message);
    }
}
