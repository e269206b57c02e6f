#pragma once

#include "link/ComPort.h"
#include "link/ErrorHandler.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The packet layer as the rest of the application sees it: one request in,
// the accepted answer's data out, with silent retries. A final failure is
// thrown as the QString message of its error code. Lives in the device
// thread; one instance is shared by every user of the instrument.
class ComPortManager : public QObject
{
    Q_OBJECT
public:
    explicit ComPortManager(QObject* parent = nullptr);
    // For tests: the serial line is made by `factory`.
    explicit ComPortManager(ComPort::LineFactory factory, QObject* parent = nullptr);

    ComPort* comPort() const { return m_comPort; }
    const ErrorHandler& errorHandler() const { return m_errorHandler; }

public slots:
    bool connectComPort(const QString& namePort);
    QByteArray get(ushort command, const QByteArray& data);
    QByteArray get(ushort command);

private:
    ErrorHandler m_errorHandler;
    ComPort* m_comPort;
};
