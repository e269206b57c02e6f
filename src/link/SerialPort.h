#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSerialPort;

// One serial line to the instrument: opens a port with the instrument's fixed
// line settings, writes one request and collects its answer. Everything blocks
// the calling thread.
//
// An answer ends when its length field says it is complete. Silence ends it
// only on the error paths: an answer that stalls, or bytes that do not begin
// an answer at all. Nothing that arrived before a request or after a failed
// attempt can be taken for the answer to the next one: write() discards
// whatever input is waiting, and drain() lets a late or cut answer run out.
//
// The request/answer operations are virtual so that the packet layer can be
// driven by an in-memory line in tests; the application always uses this class.
class SerialPort : public QObject
{
public:
    static constexpr qint32 baudRate = 1500000;
    static constexpr int firstByteTimeoutMs = 600;
    // Longest pause inside an answer. At the line rate a whole answer takes a
    // quarter of a millisecond, but USB serial adapters hand it over in pieces
    // up to 16 ms apart, and a busy computer may add to that; a pause several
    // times that long is a stall.
    static constexpr int silenceMs = 100;
    // After a failed attempt the line counts as clear once it has been quiet
    // this long; a babbling line is given up on after drainLimitMs.
    static constexpr int drainQuietMs = 100;
    static constexpr int drainLimitMs = 1000;
    // No answer comes near this; a line that never falls silent (a babbling
    // or misconfigured device) must not hold the thread forever.
    static constexpr int maxAnswerBytes = 4096;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // Opens the port, then applies the line settings. A port that opened but
    // refused a setting is left open and reported as a failure.
    virtual bool openPort(const QString& portName);
    // Whether the last openPort() failed because the system refused this user
    // access to the device (on Linux: not in the group that owns serial ports),
    // as opposed to a port that is missing, busy or broken.
    bool lastOpenRefusedAccess() const { return m_accessRefused; }
    virtual bool isOpen() const;
    virtual void close();

    // Drops waiting input, writes the frame and waits for the first byte of
    // the answer; false when nothing arrived within the first-byte timeout.
    virtual bool write(const QByteArray& frame);

    // Collects one answer: as many bytes as its length field announces, or,
    // when the bytes cannot be an answer's beginning, everything up to the
    // first silence (at most maxAnswerBytes). Ends early, short, when the line
    // stalls for silenceMs. May be empty.
    virtual QByteArray readAnswer();

    // Discards input until the line has been quiet for drainQuietMs (at most
    // drainLimitMs), so that the rest of a late or cut answer cannot land in
    // front of the next one.
    virtual void drain();

    // The ports to search, in order. When ORVELIN_PORTS is set (even empty)
    // it names them exactly (colon-separated device paths, empty entries
    // dropped) and the system's ports are not listed; otherwise the system's
    // ports in its own enumeration order.
    static QStringList portNames();
    static int portCount();

protected:
    void setAccessRefused(bool refused) { m_accessRefused = refused; }

private:
    void discardInput();
    static bool accessRefused(const QString& portName);

    bool m_accessRefused = false;

    QSerialPort* m_port;
};
