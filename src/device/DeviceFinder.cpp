#include "device/DeviceFinder.h"

#include "link/ComPortManager.h"
#include "link/SerialPort.h"
#include "device/ZR74XManager.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {

bool stopping()
{
    return QThread::currentThread()->isInterruptionRequested();
}

} // namespace

DeviceFinder::DeviceFinder(ComPortManager* manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
{
}

bool DeviceFinder::pause(int ms)
{
    if (stopping())
        return false;
    // A local loop rather than a sleep: queued calls to the objects of this
    // thread keep being served during the search. QThread::quit() ends the
    // loop early; every later loop of the thread would then return at once,
    // so an early end means "stop" as well.
    QEventLoop loop;
    bool elapsed = false;
    QTimer::singleShot(ms, &loop, [&loop, &elapsed] {
        elapsed = true;
        loop.quit();
    });
    loop.exec();
    return elapsed && !stopping();
}

QString DeviceFinder::findPort()
{
    for (;;) {
        if (!pause(scanPauseMs))
            return QString();
        const QStringList names = SerialPort::portNames();
        ++m_scans;
        if (names.isEmpty())
            continue;
        if (!pause(portsPauseMs))
            return QString();
        const QString found = scanPorts(names);
        if (!found.isEmpty() || stopping())
            return found;
    }
}

QString DeviceFinder::scanPorts(const QStringList& names)
{
    for (const QString& name : names) {
        if (stopping())
            return QString();
        if (m_manager->connectComPort(name)) {
            if (checkDevice())
                return name;
        } else if (m_accessRefused && m_manager->accessRefused()) {
            m_accessRefused(name);
        }
    }
    return QString();
}

QString DeviceFinder::accessRefusedMessage(const QString& port)
{
    return QStringLiteral("Нет доступа к порту %1: добавьте пользователя в группу dialout и войдите заново").arg(port);
}

bool DeviceFinder::checkDevice()
{
    ZR74XManager device(m_manager);
    try {
        return device.checkConnection();
    } catch (const QString&) {
        return false;
    }
}
