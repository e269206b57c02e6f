#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSerialPort;

// One serial line to the instrument: opens a port with the instrument's fixed
// line settings, writes one request and collects the answer until the line
// falls silent. Everything blocks the calling thread.
//
// The request/answer operations are virtual so that the packet layer can be
// driven by an in-memory line in tests; the application always uses this class.
class SerialPort : public QObject
{
public:
    static constexpr qint32 baudRate = 1500000;
    static constexpr int firstByteTimeoutMs = 600;
    static constexpr int silenceMs = 2;
    // No answer comes near this; a line that never falls silent (a babbling
    // or misconfigured device) must not hold the thread forever.
    static constexpr int maxAnswerBytes = 4096;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // Opens the port, then applies the line settings. A port that opened but
    // refused a setting is left open and reported as a failure.
    virtual bool openPort(const QString& portName);
    virtual bool isOpen() const;
    virtual void close();

    // Writes the frame and waits for the first byte of the answer; false when
    // nothing arrived within the first-byte timeout.
    virtual bool write(const QByteArray& frame);

    // Collects bytes until the line is silent for silenceMs (or maxAnswerBytes
    // have come), then drops whatever else is buffered in either direction.
    // May be empty.
    virtual QByteArray readAnswer();

    // The ports to search, in order. When ORVELIN_PORTS is set (even empty)
    // it names them exactly (colon-separated device paths, empty entries
    // dropped) and the system's ports are not listed; otherwise the system's
    // ports in its own enumeration order.
    static QStringList portNames();
    static int portCount();

private:
    QSerialPort* m_port;
};
