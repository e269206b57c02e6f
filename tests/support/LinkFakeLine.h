#pragma once

#include "link/ComPort.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The far end of an in-memory serial line, shared by every line object the
// packet layer makes (it replaces its line on each reopen).
struct LinkFakeWire
{
    using Answer = std::optional<QByteArray>;   // nullopt: the instrument stays silent

    QList<QByteArray> written;                  // every frame the application sent
    QStringList opened;                         // every port name asked for
    QStringList unopenable;                     // names whose open fails
    QStringList refused;                        // names the system refuses this user
    int linesMade = 0;
    int drains = 0;                             // times the line was drained

    // Answers are taken from `script` first; when it is empty, `responder`
    // decides; without either the line stays silent.
    QList<Answer> script;
    std::function<Answer(const QByteArray& request)> responder;

    void answer(quint16 command, const QByteArray& data);   // queue one framed answer
    void answerRaw(const QByteArray& bytes);
    void silence(int times = 1);
};

// A line that talks to a LinkFakeWire instead of a serial port.
class LinkFakeLine : public SerialPort
{
public:
    LinkFakeLine(std::shared_ptr<LinkFakeWire> wire, QObject* parent);

    bool openPort(const QString& portName) override;
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    bool write(const QByteArray& frame) override;
    QByteArray readAnswer() override;
    void drain() override { ++m_wire->drains; }

    static ComPort::LineFactory factory(std::shared_ptr<LinkFakeWire> wire);

private:
    std::shared_ptr<LinkFakeWire> m_wire;
    bool m_open = false;
    QByteArray m_pending;
};
