#pragma once

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>

class ComPortManager;
class QTimer;
class ZR74XManager;

// Finds the instrument, identifies it and reads its clock once a second. Lives
// in the device thread; a search blocks that thread except for the events it
// dispatches during its pauses.
class DeviceInteractor : public QObject
{
    Q_OBJECT
public:
    // The port manager is shared with the other device interactors and not owned.
    explicit DeviceInteractor(ComPortManager* manager, QObject* parent = nullptr);
    ~DeviceInteractor() override;

    bool isRequestingTime() const;

signals:
    void errorOccurred(QString message);
    void deviceInfoReceived(QString info);
    void deviceIdReceived(uint id);
    void deviceTimeReceived(QDateTime time);

public slots:
    // Searches until an instrument answers, opens it, reads its info and ID and
    // starts the clock requests. Returns without doing anything when the thread
    // is being stopped.
    void connectToDevice();
    void startRequestDeviceTime();
    void stopRequestDeviceTime();

private slots:
    void requestTime();

private:
    ComPortManager* m_manager;
    ZR74XManager* m_device; // child: moves into the device thread with us
    QTimer* m_timer;
    bool m_searching = false;
    QSet<QString> m_refusedPortsSaid;
};
