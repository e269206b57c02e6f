#pragma once

#include "SimFaults.h"
#include "SimLogStore.h"
#include "ZrSimulator.h"

#include "link/ResponseData.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QString>

// The instrument itself, without a line: request frames in, answer frames out.
// It holds what a real instrument holds (type, ID, firmware version, clock,
// the settings area of its memory, its log files and the file being read) plus
// the faults it has been told to commit. Thread-safe.
//
// Requests it cannot serve are answered with an error code in the command field
// and no data, as the firmware reports them: a garbled frame with the fault found
// in it (171...175), a data field of the wrong length, an unknown file name, a
// record or file index out of range or a read with no file open with 176, and an
// unknown command with 174. Memory writes outside the settings area or outside a
// begin/end bracket are refused with status 1.
class SimDevice
{
public:
    static constexpr int maxLoggedRequests = 200000;
    static constexpr int maxRequestData = 36;

    // `model` is "7.47" or "7.49"; anything else counts as "7.47".
    SimDevice(const QString& model, quint32 id, const QString& version);

    // Checks a request frame as the instrument does; errors come back in `code` (171...177).
    static ResponseData parseRequest(const QByteArray& frame);
    // A valid settings block for the model, padded to the 128-byte area with 0xFF.
    static QByteArray defaultSettingsArea(const QString& deviceInfo);

    // One request frame as received: records it and returns the answer to send.
    SimAnswer handle(const QByteArray& requestFrame);

    void setTraceFile(const QString& path);

    QString deviceInfo() const;
    int deviceType() const;                     // 0 = ZR-7.47, 1 = ZR-7.49
    quint32 id() const;

    QDateTime clock() const;                    // instrument wall clock, UTC spec
    void setClock(const QDateTime& utcWallClock);
    QByteArray settingsArea() const;
    void setSettingsArea(const QByteArray& bytes);
    bool isWriteOpen() const;
    QString openFileName() const;

    void injectFault(SimFault fault, int count, quint16 command, int param);
    void clearFaults();

    QList<QByteArray> requests() const;
    int requestCount(quint16 command) const;
    void clearRequests();

    // Log files (see SimLogStore for the two groups).
    void clearLogFiles();
    int addLogFile(quint8 group, const QString& name, const QByteArray& bytes);
    int logFileCount(quint8 group) const;
    QByteArray logFile(quint8 group, int index) const;
    QString listedName(quint8 group, int index) const;
    int loadDirectory(const QString& dir);

private:
    struct Reply
    {
        quint16 command;
        QByteArray data;
    };
    Reply reply(quint16 command, const QByteArray& data);
    Reply status(quint16 command, bool ok) const;
    void trace(const QByteArray& frame, quint16 command, const QByteArray& data);

    mutable QMutex m_mutex;
    QString m_typeWord;
    QString m_version;
    quint32 m_id;
    qint64 m_clockOffsetSecs;                   // instrument clock minus host UTC seconds
    QByteArray m_settings;
    bool m_writeOpen = false;
    QString m_openFile;                         // empty: no file open
    QByteArray m_openBytes;
    SimLogStore m_store;
    SimFaults m_faults;
    QList<QByteArray> m_requests;
    QFile m_trace;
};
