#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class ComPortManager;
class ZR74XManager;

// The instrument for one command: found with the application's own search
// (one pass over the ports instead of an endless one) and identified as the
// device screen does it. Everything runs in the calling thread.
class DeviceSession
{
public:
    // `port` empty: the ports the application searches (ORVELIN_PORTS or the system's).
    explicit DeviceSession(const QString& port = QString());
    ~DeviceSession();

    // Finds, opens and identifies the instrument. Throws a CliFailure
    // ("Прибор не найден" or the link's message).
    void connect();

    ComPortManager* manager() const { return m_manager.get(); }
    ZR74XManager& device() const { return *m_device; }

    QString portName() const { return m_portName; }
    QString deviceInfo() const { return m_deviceInfo; }
    quint32 id() const { return m_id; }
    // The info text split as the device screen splits it, at the first blank.
    QString typeWord() const;
    QString firmware() const;

    // The instrument's clock (its wall clock with the UTC spec).
    QDateTime clock() const;
    // Seconds the instrument's clock is ahead of the computer's wall clock.
    static qint64 clockOffset(const QDateTime& instrumentClock);

private:
    QString m_requestedPort;
    std::unique_ptr<ComPortManager> m_manager;
    std::unique_ptr<ZR74XManager> m_device;
    QString m_portName;
    QString m_deviceInfo;
    quint32 m_id = 0;
};

