#include "link/ComPortManager.h"

#include "link/SerialPort.h"

#include "link/DeviceCommand.h"
#include "link/PacketFrame.h"

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

bool ComPortManager::accessRefused() const
{
    return m_comPort->line()->lastOpenRefusedAccess();
}

QByteArray ComPortManager::get(ushort command, const QByteArray& data)
{
    return get(command, data, AnswerCheck());
}

QByteArray ComPortManager::get(ushort command, const QByteArray& data, const AnswerCheck& plausible)
{
    for (;;) {
        const ResponseData response = m_comPort->exchange(command, data);
        quint16 answerFault = 0;
        if (response.code == command) {
            if (!DeviceCommand::answerLength(command).fits(response.data.size()))
                answerFault = PacketFrame::ErrorDataLength;
            else if (plausible && !plausible(response.data))
                answerFault = PacketFrame::ErrorImplausible;
        }
        const ErrorHandler::Verdict verdict = m_errorHandler.check(response, command, answerFault);
        if (verdict == ErrorHandler::Accept)
            return response.data;
        ++m_failedAttempts;
        // Whatever is left of this attempt must not become the next answer.
        m_comPort->drain();
        if (verdict == ErrorHandler::GiveUp)
            throw ErrorHandler::message(m_errorHandler.lastErrorCode());
    }
}

QByteArray ComPortManager::get(ushort command)
{
    return get(command, QByteArray());
}
