#pragma once

#include "device/DeviceSettings.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <optional>

class ComPortManager;
class ZR74XManager;

// Reads and writes the instrument's settings block and sets its clock. Lives in
// the device thread; every request is blocking and runs to its end before the
// next queued request starts. Failures are reported with errorOccurred.
class DeviceSettingsInteractor : public QObject
{
    Q_OBJECT
public:
    // The port manager is shared with the other device interactors and not owned.
    explicit DeviceSettingsInteractor(ComPortManager* manager, QObject* parent = nullptr);
    ~DeviceSettingsInteractor() override;

    // The computer's wall-clock reading of `local`, relabelled as UTC without any
    // conversion: the instrument counts its own wall clock, not UTC.
    static QDateTime wallClockAsInstrumentTime(const QDateTime& local);

public slots:
    // Reads the 128-byte settings area and emits the decoded record.
    void requestSettings();
    // Writes the record, then always reads the settings back, so that the screen
    // shows what the instrument now holds even after a failed write.
    void setSettings(DeviceSettings deviceSettings);
    // Sets the instrument's clock to the computer's local wall-clock time.
    void setCurrentTime();
    // The connected instrument's ID, named in the journal's lines.
    void setInstrumentId(uint id) { m_instrumentId = id; }

signals:
    void deviceBytesSettingReceived(DeviceSettings settings);
    void errorOccurred(QString message);

private:
    void writeSettings(const DeviceSettings& settings);
    // Notes a change of the instrument; a journal that cannot be written is told.
    void journal(const QString& event, QJsonObject details);

    ComPortManager* m_manager;
    // The settings as read last, the old values of the next write's journal line.
    std::optional<DeviceSettings> m_lastRead;
    QString m_lastDeviceInfo;
    quint32 m_instrumentId = 0;
    ZR74XManager* m_device;
};
