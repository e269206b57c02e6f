#include "link/ComPortManager.h"

ComPortManager::ComPortManager(QObject* parent)
    : ComPortManager(ComPort::LineFactory(), parent)
{
}

ComPortManager::ComPortManager(ComPort::LineFactory factory, QObject* parent)
    : QObject(parent)
    , m_errorHandler(this) // a child, so that it moves to the device thread with us
    , m_comPort(new ComPort(this, std::move(factory)))
{
}

bool ComPortManager::connectComPort(const QString& namePort)
{
    return m_comPort->open(namePort);
}

QByteArray ComPortManager::get(ushort command, const QByteArray& data)
{
    for (;;) {
        const ResponseData response = m_comPort->exchange(command, data);
        switch (m_errorHandler.check(response, command)) {
        case ErrorHandler::Accept:
            return response.data;
        case ErrorHandler::Retry:
            continue;
        case ErrorHandler::GiveUp:
            throw ErrorHandler::message(m_errorHandler.lastErrorCode());
        }
    }
}

QByteArray ComPortManager::get(ushort command)
{
    return get(command, QByteArray());
}
