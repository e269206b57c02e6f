#pragma once

#include "link/ResponseData.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class SerialPort;

// Frames one request, sends it over the serial line and decodes the answer.
// Owns the line; opening a port again replaces an open line with a fresh one.
class ComPort : public QObject
{
public:
    // Makes the line object; tests hand in one that talks to memory.
    using LineFactory = std::function<SerialPort*(QObject* parent)>;

    explicit ComPort(QObject* parent = nullptr, LineFactory factory = LineFactory());

    bool open(const QString& portName);
    bool isOpen() const;

    // One transmission. Never throws: a failure is returned as a response with
    // empty data and the error code in `code`.
    ResponseData exchange(quint16 command, const QByteArray& data);

    // Lets whatever is still coming from a failed exchange run out and drops it.
    void drain();

    static QByteArray buildFrame(quint16 command, const QByteArray& data);
    static ResponseData parseAnswer(const QByteArray& bytes);

    SerialPort* line() const { return m_line; }

private:
    SerialPort* makeLine();

    LineFactory m_factory;
    SerialPort* m_line;
};
