#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

#include "SimLogGenerator.h"

#include <memory>
#include <mutex>

// Faults the simulated instrument can be told to commit in its answers.
enum class SimFault {
    NoAnswer,        // the request is swallowed
    LateAnswer,      // the answer is sent after `param` ms (default 700)
    BadChecksum,     // checksum field off by one
    BadStartByte,    // first byte not ':'
    BadStopByte,     // last byte 0x2E instead of 0x2F
    WrongCommand,    // command field of another command (request's + 1)
    ErrorCode,       // command field is `param` (171...177, default 175)
    StatusFail,      // status byte 1 (status commands only; others answer normally)
    SplitAnswer,     // a pause of `param` ms (default 30) in the middle of the answer
    Oversized,       // body of 41 bytes or more, checksum right
    ShortAnswer,     // only the first `param` bytes (default 6)
    GoSilent,        // after `count` more answers, stop answering until cleared
    Pieces,          // the answer in pieces of 8 bytes, `param` ms apart (default 16)
    Noise,           // `param` bytes of line noise before the answer (default 5)
    WrongLength,     // a sound frame whose data field has `param` bytes (default: one short)
    LyingLength,     // the length field `param` more than the frame holds (default 1)
    Twice,           // the answer sent again `param` ms after itself (default 20)
};

// Start-up options of a simulated instrument.
struct ZrSimOptions
{
    QString model = QStringLiteral("7.47");    // "7.47" or "7.49"
    quint32 id = 1234567;
    QString version = QStringLiteral("1.03");
    bool pace = false;                         // send at the real line rate
    QString traceFile;                         // one line per request when set
    QString linkPath;                          // symlink to the slave when set
    bool defaultFiles = true;                  // start with a few runs and single measurements
};

class SimDevice;
class SimPtyEndpoint;

// A complete simulated instrument on a pseudo-terminal: the device model served by
// its own thread. Every member is thread-safe.
class ZrSimulator
{
public:
    using Options = ZrSimOptions;

    explicit ZrSimulator(const Options& options = Options());
    ~ZrSimulator();                        // stops
    ZrSimulator(const ZrSimulator&) = delete;
    ZrSimulator& operator=(const ZrSimulator&) = delete;

    bool start(QString* error = nullptr);  // opens the pseudo-terminal and starts serving
    void stop();                           // closes it: the instrument vanishes
    bool isRunning() const;
    QString portName() const;              // the link if set, else the slave path
    QString slavePath() const;

    // Faults apply to the next `count` answers (-1 = until cleared) of `command`
    // (0 = any command). For GoSilent, `count` answers are still given normally.
    void injectFault(SimFault fault, int count = 1, quint16 command = 0, int param = 0);
    void clearFaults();

    QList<QByteArray> requests() const;    // every request frame received, raw bytes, in order
    int requestCount(quint16 command) const;
    void clearRequests();
    // Bytes sent on the line so far: a test waits for a late or repeated
    // answer to be out instead of sleeping.
    qint64 bytesSent() const;

    QByteArray settingsArea() const;       // 128 bytes
    void setSettingsArea(const QByteArray& bytes128);
    QDateTime clock() const;               // instrument wall clock, UTC spec
    void setClock(const QDateTime& utcWallClock);
    QString deviceInfo() const;            // e.g. "ZR7.47 1.03"

    void clearLogFiles();
    // group 1 = logging runs, group 0 = single measurements
    void addLogFile(quint8 group, const QString& name, const QByteArray& fileBytes);
    // Adds a generated run named after its start time; returns the file bytes.
    QByteArray addRun(const SimRunSpec& spec);
    QByteArray addRun(int records);
    QByteArray addSingle(quint32 seed = 1);
    // Runs of the given record counts (empty: 10, 120, 500) with varied sensors,
    // the first a week before the clock, and `singles` single measurements.
    void addDefaultFiles(const QList<int>& runRecords = QList<int>(), int singles = 2);
    QByteArray generateRun(const SimRunSpec& spec) const;   // bytes only, not added
    bool serveDirectory(const QString& dir);                // adds every .LOG file of dir
    int logFileCount(quint8 group) const;

    SimDevice& device();                   // the device model (itself thread-safe)

private:
    Options m_options;
    std::unique_ptr<SimDevice> m_device;
    std::unique_ptr<SimPtyEndpoint> m_endpoint;
    mutable std::mutex m_lock;             // guards start/stop against each other
};
