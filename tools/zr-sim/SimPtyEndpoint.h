#pragma once

#include "SimFaults.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

// The instrument's end of the serial line: a pseudo-terminal whose slave the
// application opens as its serial port. A thread reads the master, cuts the
// stream into request frames, asks the handler for each answer and writes it.
//
// The endpoint keeps a descriptor of the slave open itself, so the application
// may close and reopen the port as often as it likes without hanging up the line.
class SimPtyEndpoint
{
public:
    using Handler = std::function<SimAnswer(const QByteArray& request)>;

    static constexpr int lineBaud = 1500000;
    static constexpr int bitsPerByte = 10;

    explicit SimPtyEndpoint(Handler handler);
    ~SimPtyEndpoint();
    SimPtyEndpoint(const SimPtyEndpoint&) = delete;
    SimPtyEndpoint& operator=(const SimPtyEndpoint&) = delete;

    // Creates the pseudo-terminal (and the link to its slave, if a path is given)
    // and starts serving. `pace`: answers go out at the real line rate.
    bool open(const QString& linkPath, bool pace, QString* error);
    // Stops serving and closes the pseudo-terminal; removes the link.
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }
    // Bytes written to the line since the start, faults' bytes included.
    qint64 bytesSent() const { return m_sent; }

private:
    void serve();
    bool send(const SimAnswer& answer);
    bool writeAll(const char* data, int size);
    bool writePaced(const QByteArray& bytes);
    bool pause(int ms);                 // false when the endpoint is closing
    void fail(QString* error, const QString& what);
    bool makeLink(QString* error);
    void removeLink();

    Handler m_handler;
    int m_master = -1;
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    bool m_pace = false;
    QString m_slavePath;
    QString m_linkPath;
    std::atomic<bool> m_stopping{false};
    std::atomic<qint64> m_sent{0};
    std::thread m_thread;
};
