#pragma once

#include "link/ComPort.h"
#include "link/ErrorHandler.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

// The packet layer as the rest of the application sees it: one request in,
// the accepted answer's data out, with silent retries. A final failure is
// thrown as the QString message of its error code. Lives in the device
// thread; one instance is shared by every user of the instrument.
//
// An answer is accepted only when it is well framed, answers the command,
// carries the data length that command's answer has (DeviceCommand::answerLength)
// and, when the caller gives a check, passes it. Anything else is a failed
// attempt: the line is drained and the request is sent again.
class ComPortManager : public QObject
{
    Q_OBJECT
public:
    // Tells whether an answer's data can be the answer asked for.
    using AnswerCheck = std::function<bool(const QByteArray& data)>;

    explicit ComPortManager(QObject* parent = nullptr);
    // For tests: the serial line is made by `factory`.
    explicit ComPortManager(ComPort::LineFactory factory, QObject* parent = nullptr);

    ComPort* comPort() const { return m_comPort; }
    const ErrorHandler& errorHandler() const { return m_errorHandler; }

    // The same as get(command, data), with a check of the answer's content
    // on top of its length; an answer that fails it counts as a failed
    // attempt with the message "Ошибка протокола обмена: Неверные данные ".
    QByteArray get(ushort command, const QByteArray& data, const AnswerCheck& plausible);

    // Attempts that failed since the manager was made, retried or not.
    quint64 failedAttempts() const { return m_failedAttempts; }

public slots:
    bool connectComPort(const QString& namePort);
    // After a failed connectComPort(): the system refused access to the port.
    bool accessRefused() const;
    QByteArray get(ushort command, const QByteArray& data);
    QByteArray get(ushort command);

private:
    ErrorHandler m_errorHandler;
    ComPort* m_comPort;
    quint64 m_failedAttempts = 0;
};
