#include "SimDevice.h"
#include "SimSettingsTable.h"

#include "link/DeviceCommand.h"
#include "device/DeviceSettings.h"
#include "SimFrame.h"

#include <QMutexLocker>
#include <QtEndian>

using namespace DeviceCommand;

namespace {

QByteArray be32(quint32 value)
{
    char bytes[4];
    qToBigEndian<quint32>(value, bytes);
    return QByteArray(bytes, 4);
}

quint32 readBE32(const QByteArray& bytes, int offset = 0)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

qint64 hostUtcSecs()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

ResponseData SimDevice::parseRequest(const QByteArray& frame)
{
    if (frame.size() < 7)
        return {QByteArray(), SimFrame::NoAnswer};
    if (frame.at(0) != SimFrame::start)
        return {QByteArray(), SimFrame::BadStart};
    if (frame.at(frame.size() - 2) != SimFrame::stop1 || frame.at(frame.size() - 1) != SimFrame::stop2)
        return {QByteArray(), SimFrame::BadStop};
    // Requests may carry more data than answers: a memory write has 4 + 32 bytes.
    const int dataSize = frame.size() - SimFrame::overhead;
    if (dataSize < 0 || dataSize > maxRequestData)
        return {QByteArray(), SimFrame::BadLength};
    const int declared = (quint8(frame.at(1)) << 8 | quint8(frame.at(2))) - 4;
    if (declared != dataSize)
        return {QByteArray(), SimFrame::BadDataLength};
    const QByteArray data = frame.mid(5, dataSize);
    const quint16 sum = quint16(quint8(frame.at(frame.size() - 4)) << 8 | quint8(frame.at(frame.size() - 3)));
    if (sum != SimFrame::sum(data))
        return {QByteArray(), SimFrame::BadChecksum};
    return {data, quint16(quint8(frame.at(3)) << 8 | quint8(frame.at(4)))};
}

SimDevice::SimDevice(const QString& model, quint32 id, const QString& version)
    : m_typeWord(model == QLatin1String("7.49") ? QStringLiteral("ZR7.49") : QStringLiteral("ZR7.47"))
    , m_version(version)
    , m_id(id)
    // The clock starts at the host's local wall-clock reading, counted as if it were UTC.
    , m_clockOffsetSecs(QDateTime::currentDateTime().offsetFromUtc())
{
    m_settings = defaultSettingsArea(deviceInfo());
}

QByteArray SimDevice::defaultSettingsArea(const QString& info)
{
    return SimSettingsTable::factoryArea(isSecondModel(info));
}

QString SimDevice::deviceInfo() const
{
    return m_typeWord + QLatin1Char(' ') + m_version;
}

int SimDevice::deviceType() const
{
    return m_typeWord == QLatin1String("ZR7.49") ? 1 : 0;
}

quint32 SimDevice::id() const
{
    QMutexLocker lock(&m_mutex);
    return m_id;
}

SimAnswer SimDevice::handle(const QByteArray& frame)
{
    QMutexLocker lock(&m_mutex);
    // A long-running program keeps only the recent part of its request log.
    if (m_requests.size() >= maxLoggedRequests)
        m_requests.erase(m_requests.begin(), m_requests.begin() + maxLoggedRequests / 2);
    m_requests.append(frame);
    const ResponseData request = parseRequest(frame);
    if (request.code >= SimFrame::BadStart && request.code <= SimFrame::NoAnswer) {
        // A garbled request is answered with the error the instrument found in it.
        trace(frame, request.code, QByteArray());
        return m_faults.answer(request.code, request.code, QByteArray(), false);
    }
    trace(frame, request.code, request.data);
    const Reply r = reply(request.code, request.data);
    return m_faults.answer(request.code, r.command, r.data, DeviceCommand::isStatusCommand(request.code) && r.command == request.code);
}

SimDevice::Reply SimDevice::status(quint16 command, bool ok) const
{
    return {command, QByteArray(1, ok ? char(0) : char(1))};
}

SimDevice::Reply SimDevice::reply(quint16 command, const QByteArray& data)
{
    const Reply badLength{SimFrame::BadDataLength, QByteArray()};
    switch (command) {
    case CheckConnection:
        return status(command, true);
    case GetDeviceInfo: {
        // The firmware ends its text with a NUL.
        QByteArray text = deviceInfo().toLatin1();
        text.append('\0');
        return {command, text};
    }
    case GetId:
        return {command, be32(m_id)};
    case SetId:
        if (data.size() != 4)
            return badLength;
        m_id = readBE32(data);
        return status(command, true);
    case GetTime:
        return {command, be32(quint32(hostUtcSecs() + m_clockOffsetSecs))};
    case SetTime:
        if (data.size() != 4)
            return badLength;
        m_clockOffsetSecs = qint64(readBE32(data)) - hostUtcSecs();
        return status(command, true);
    case OpenFile: {
        const SimLogStore::File* f = m_store.find(QString::fromLocal8Bit(data));
        if (!f) {
            m_openFile.clear();
            m_openBytes.clear();
            return badLength;
        }
        m_openFile = QString::fromLocal8Bit(data);
        m_openBytes = f->bytes;
        return {command, m_openBytes.left(SimLogGenerator::headerSize)};
    }
    case CloseFile:
        m_openFile.clear();
        m_openBytes.clear();
        return status(command, true);
    case ReadRecord: {
        if (data.size() != 4 || m_openFile.isEmpty())
            return badLength;
        const quint32 index = readBE32(data);
        if (index >= quint32(SimLogGenerator::recordCount(m_openBytes)))
            return badLength;
        return {command, m_openBytes.mid(SimLogGenerator::headerSize + int(index) * SimLogGenerator::recordSize,
                                         SimLogGenerator::recordSize)};
    }
    case GetFileInfo: {
        if (data.size() != 3)
            return badLength;
        const int index = (quint8(data.at(0)) << 8) | quint8(data.at(1));
        const QByteArray info = m_store.infoAnswer(quint8(data.at(2)), index);
        if (info.isEmpty())
            return badLength;
        return {command, info};
    }
    case GetFileCount: {
        if (data.size() != 1)
            return badLength;
        const int n = qMin(m_store.count(quint8(data.at(0))), 0xFFFF);
        return {command, QByteArray(1, char(n >> 8)) + char(n & 0xFF)};
    }
    case ReadMemory: {
        if (data.size() != 4)
            return badLength;
        const quint32 address = readBE32(data);
        QByteArray out(SettingsArea::pieceSize, char(0xFF));
        for (int i = 0; i < SettingsArea::pieceSize; ++i) {
            const quint64 a = quint64(address) + quint64(i);
            if (a >= SettingsArea::address && a < SettingsArea::address + SettingsArea::size)
                out[i] = m_settings.at(int(a - SettingsArea::address));
        }
        return {command, out};
    }
    case BeginWrite:
        if (data.size() != 4)
            return badLength;
        m_writeOpen = true;
        return status(command, true);
    case WriteMemory: {
        if (data.size() < 4 || data.size() > 4 + SettingsArea::pieceSize)
            return badLength;
        const quint64 address = readBE32(data);
        const int n = data.size() - 4;
        // Only the settings area is writable, and only inside a begin/end bracket;
        // anything else is refused rather than silently dropped.
        const bool inside = address >= SettingsArea::address && address + quint64(n) <= SettingsArea::address + SettingsArea::size;
        if (!m_writeOpen || !inside)
            return status(command, false);
        m_settings.replace(int(address - SettingsArea::address), n, data.mid(4));
        return status(command, true);
    }
    case EndWrite:
        m_writeOpen = false;
        return status(command, true);
    case ClearMemory:
        m_store.clear();
        m_openFile.clear();
        m_openBytes.clear();
        return status(command, true);
    default:
        return {SimFrame::UnknownCommand, QByteArray()};
    }
}

void SimDevice::trace(const QByteArray& frame, quint16 command, const QByteArray& data)
{
    if (!m_trace.isOpen())
        return;
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz"));
    QByteArray line = time.toLatin1() + ' ' + QByteArray::number(command) + ' ' + data.toHex(' ');
    if (command >= SimFrame::BadStart && command <= SimFrame::NoAnswer)
        line += " raw " + frame.toHex(' ');
    m_trace.write(line.trimmed() + '\n');
    m_trace.flush();
}

void SimDevice::setTraceFile(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    m_trace.close();
    if (path.isEmpty())
        return;
    m_trace.setFileName(path);
    m_trace.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

QDateTime SimDevice::clock() const
{
    QMutexLocker lock(&m_mutex);
    return QDateTime::fromSecsSinceEpoch(hostUtcSecs() + m_clockOffsetSecs, Qt::UTC);
}

void SimDevice::setClock(const QDateTime& utcWallClock)
{
    QMutexLocker lock(&m_mutex);
    // Take the reading as it stands, whatever its time spec says.
    QDateTime reading = utcWallClock;
    reading.setTimeSpec(Qt::UTC);
    m_clockOffsetSecs = reading.toSecsSinceEpoch() - hostUtcSecs();
}

QByteArray SimDevice::settingsArea() const
{
    QMutexLocker lock(&m_mutex);
    return m_settings;
}

void SimDevice::setSettingsArea(const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    m_settings = bytes.left(SettingsArea::size);
    m_settings.append(QByteArray(SettingsArea::size - m_settings.size(), char(0xFF)));
}

bool SimDevice::isWriteOpen() const
{
    QMutexLocker lock(&m_mutex);
    return m_writeOpen;
}

QString SimDevice::openFileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_openFile;
}

void SimDevice::injectFault(SimFault fault, int count, quint16 command, int param)
{
    QMutexLocker lock(&m_mutex);
    m_faults.inject(fault, count, command, param);
}

void SimDevice::clearFaults()
{
    QMutexLocker lock(&m_mutex);
    m_faults.clear();
}

QList<QByteArray> SimDevice::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

int SimDevice::requestCount(quint16 command) const
{
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const QByteArray& frame : m_requests) {
        if (frame.size() >= 5 && ((quint8(frame.at(3)) << 8) | quint8(frame.at(4))) == command)
            ++n;
    }
    return n;
}

void SimDevice::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

void SimDevice::clearLogFiles()
{
    QMutexLocker lock(&m_mutex);
    m_store.clear();
}

int SimDevice::addLogFile(quint8 group, const QString& name, const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    return m_store.add(group, name, bytes);
}

int SimDevice::logFileCount(quint8 group) const
{
    QMutexLocker lock(&m_mutex);
    return m_store.count(group);
}

QByteArray SimDevice::logFile(quint8 group, int index) const
{
    QMutexLocker lock(&m_mutex);
    const SimLogStore::File* f = m_store.file(group, index);
    return f ? f->bytes : QByteArray();
}

QString SimDevice::listedName(quint8 group, int index) const
{
    QMutexLocker lock(&m_mutex);
    return m_store.listedName(group, index);
}

int SimDevice::loadDirectory(const QString& dir)
{
    QMutexLocker lock(&m_mutex);
    return m_store.loadDirectory(dir);
}
