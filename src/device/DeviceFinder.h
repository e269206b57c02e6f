#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class ComPortManager;

// Finds the serial port with an instrument: tries the ports in list order
// with the connection check and leaves the first one that passes open in the
// shared manager. Does not give up; between scans it keeps the thread's event
// queue flowing. Made on the stack for one search.
class DeviceFinder : public QObject
{
public:
    static constexpr int scanPauseMs = 1000;
    static constexpr int portsPauseMs = 900;

    explicit DeviceFinder(ComPortManager* manager, QObject* parent = nullptr);

    // Blocks until an instrument answers and returns its port name. Returns
    // an empty name at once when the thread has been asked to stop
    // (QThread::requestInterruption, or quit() ending a pause); callers
    // treat that as "stop".
    QString findPort();

    // One pass over `names` in order, without pauses: the first port whose
    // instrument passes the check, left open in the manager; empty when none
    // does. A one-shot caller (a script) uses it instead of the endless search.
    QString scanPorts(const QStringList& names);

    // The connection check on the port currently open in the manager. Errors
    // of the exchange count as "no instrument" and are dropped.
    bool checkDevice();

    // Told the name of each port the system refuses to open for this user,
    // every time it is tried; the search itself goes on with the next port.
    void setAccessRefusedHandler(std::function<void(const QString& port)> handler) { m_accessRefused = std::move(handler); }

    // The message for such a port.
    static QString accessRefusedMessage(const QString& port);

    // How many times the port list has been taken; lets tests see scanning.
    int scanCount() const { return m_scans; }

private:
    // Waits `ms` in a local event loop; false if the thread is stopping.
    bool pause(int ms);

    ComPortManager* m_manager;
    std::function<void(const QString&)> m_accessRefused;
    int m_scans = 0;
};
