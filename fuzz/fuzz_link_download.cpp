// The instrument's answers, as any bytes, through a whole session: the file
// list, then the download of one listed file and its opening. The instrument
// here answers each request truly, or not at all, or with a cut, garbled,
// stale, crafted or padded answer, as the input says; once the input runs out
// it answers truly.
//
// Whatever it does, the application sends only well-formed requests; a
// download it reports done has written exactly the header and the records
// the file info announces (7 + 24 x records bytes), each taken byte for byte
// from a well-formed answer of the right length to a request for that very
// header or record; its progress climbs to exactly 100; and the table shows
// every record. A download that fails leaves no file and no half-written
// remains.

#include "FuzzApp.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "LinkFakeLine.h"

#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "device/FilesInteractor.h"
#include "link/ComPortManager.h"

#include <QDir>
#include <QFile>
#include <QMultiHash>
#include <QTemporaryDir>
#include <QtEndian>

#include <optional>

namespace {

// A folder of its own beside the executable, apart from any test's.
constexpr quint32 deviceId = 4242424242u;

enum Command : quint16 {
    CheckConnection = 150,
    OpenFile = 157,
    CloseFile = 158,
    ReadRecord = 159,
    GetFileInfo = 160,
    GetFileCount = 170,
};

quint16 be16(const QByteArray& b, int at)
{
    return quint16((quint8(b.at(at)) << 8) | quint8(b.at(at + 1)));
}

quint32 be32(const QByteArray& b, int at)
{
    return qFromBigEndian<quint32>(b.constData() + at);
}

QByteArray bigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

quint16 sumOf(const QByteArray& data)
{
    quint32 sum = 0;
    for (char c : data)
        sum += quint8(c);
    return quint16(sum);
}

// The line's framing, written out here from its rules:
// ':' | N+4 | command | N data bytes | sum of the data | "./"
QByteArray frame(quint16 command, const QByteArray& data)
{
    return ':' + bigEndian(quint32(data.size() + 4), 2) + bigEndian(command, 2) + data + bigEndian(sumOf(data), 2)
        + "./";
}

struct Request
{
    quint16 command = 0;
    QByteArray data;
};

std::optional<Request> readFrame(const QByteArray& bytes)
{
    if (bytes.size() < 9 || bytes.at(0) != ':' || !bytes.endsWith("./") || be16(bytes, 1) != bytes.size() - 5)
        return std::nullopt;
    const QByteArray data = bytes.mid(5, bytes.size() - 9);
    if (be16(bytes, bytes.size() - 4) != sumOf(data))
        return std::nullopt;
    return Request{be16(bytes, 3), data};
}

int answerLength(quint16 command)
{
    switch (command) {
    case CheckConnection: return 1;
    case OpenFile: return 7;
    case ReadRecord: return 24;
    case GetFileInfo: return 12;
    case GetFileCount: return 2;
    default: return -1;
    }
}

// The data of `answer` when it is a well-formed answer to `command` with the
// length that command's answer has.
std::optional<QByteArray> goodAnswer(const QByteArray& answer, quint16 command)
{
    const auto parsed = readFrame(answer);
    if (!parsed || parsed->command != command || parsed->data.size() != answerLength(command))
        return std::nullopt;
    return parsed->data;
}

// The instrument: one logging run (group 1) and single measurements (group 0).
class Instrument
{
public:
    explicit Instrument(FuzzInput& in)
        : m_in(in)
    {
        m_records = in.below(13);
        m_tail = in.below(24);
        m_runs = in.below(3);
        m_singles = in.below(3);
        m_header = QByteArray("id", 2) + char(in.below(2)) + QByteArray(4, '\0');
        qToLittleEndian<quint32>(deviceId, m_header.data() + 3);
        for (int i = 0; i < m_records; ++i) {
            QByteArray record(24, '\0');
            qToLittleEndian<quint32>(m_start + 60 * quint32(i), record.data());
            for (int b = 4; b < 24; ++b)
                record[b] = char(in.byte());
            m_content.append(record);
        }
    }

    // What the instrument sends back for one request frame.
    LinkFakeWire::Answer answer(const QByteArray& requestFrame)
    {
        const auto request = readFrame(requestFrame);
        FUZZ_CHECK(request.has_value(), QStringLiteral("malformed request ") + hexOf(requestFrame));
        m_requests.append(*request);
        const std::optional<QByteArray> truth = trueData(*request);
        const QByteArray truthFrame = truth ? frame(request->command, *truth) : QByteArray();
        LinkFakeWire::Answer sent;
        switch (m_in.empty() ? 0 : m_in.below(8)) {
        case 0: // as it should
            if (truth)
                sent = truthFrame;
            break;
        case 1: // silence
            break;
        case 2: // noise
            sent = m_in.chunk();
            break;
        case 3: { // one byte garbled
            if (truthFrame.isEmpty())
                break;
            QByteArray garbled = truthFrame;
            const int at = m_in.below(garbled.size());
            garbled[at] = char(garbled.at(at) ^ char(m_in.byte()));
            sent = garbled;
            break;
        }
        case 4: // cut short
            if (!truthFrame.isEmpty())
                sent = truthFrame.left(m_in.below(truthFrame.size()));
            break;
        case 5: // the answer to the request before
            sent = m_previousTruth;
            break;
        case 6: { // well framed, any command, any data
            const quint16 command = m_in.below(2) ? request->command : quint16(m_in.u32());
            sent = frame(command, m_in.bytes(m_in.below(40)));
            break;
        }
        default: // followed by more bytes
            if (!truthFrame.isEmpty())
                sent = truthFrame + m_in.chunk();
            break;
        }
        if (!truthFrame.isEmpty())
            m_previousTruth = truthFrame;
        if (sent) {
            if (const auto data = goodAnswer(*sent, request->command))
                m_good.insert(key(*request), *data);
        }
        return sent;
    }

    // Well-formed answers of the right length given to the request `key`.
    QList<QByteArray> goodAnswers(const QString& key) const { return m_good.values(key); }
    static QString key(quint16 command, quint32 index) { return QStringLiteral("%1/%2").arg(command).arg(index); }

private:
    static QString key(const Request& request)
    {
        const quint32 index = request.command == ReadRecord && request.data.size() == 4 ? be32(request.data, 0) : 0;
        return key(request.command, index);
    }

    std::optional<QByteArray> trueData(const Request& request) const
    {
        switch (request.command) {
        case CheckConnection:
            return QByteArray(1, '\0');
        case GetFileCount:
            if (request.data.size() != 1)
                return std::nullopt;
            return bigEndian(request.data.at(0) == 1 ? m_runs : m_singles, 2);
        case GetFileInfo: {
            if (request.data.size() != 3)
                return std::nullopt;
            const int index = be16(request.data, 0);
            if (request.data.at(2) == 1 && index < m_runs) {
                const quint32 start = m_start + 100000 * quint32(index);
                return bigEndian(start, 4) + bigEndian(start + 60 * quint32(qMax(m_records, 1)), 4)
                    + bigEndian(quint32(7 + 24 * m_records + m_tail), 4);
            }
            if (request.data.at(2) == 0 && index < m_singles)
                return bigEndian(0, 4) + bigEndian(quint32(index + 1), 4) + bigEndian(7 + 24 * qMin(m_records, 1), 4);
            return std::nullopt;
        }
        case OpenFile:
            return m_header;
        case ReadRecord: {
            if (request.data.size() != 4)
                return std::nullopt;
            const quint32 index = be32(request.data, 0);
            if (index >= quint32(m_content.size()))
                return std::nullopt;
            return m_content.at(int(index));
        }
        case CloseFile:
            return QByteArray();
        default:
            return std::nullopt;
        }
    }

    FuzzInput& m_in;
    const quint32 m_start = 1700000000;
    int m_records = 0;
    int m_tail = 0;
    int m_runs = 0;
    int m_singles = 0;
    QByteArray m_header;
    QVector<QByteArray> m_content;
    QList<Request> m_requests;
    QByteArray m_previousTruth;
    QMultiHash<QString, QByteArray> m_good;
};

struct Session
{
    QList<QList<DeviceFileInfo>> lists;
    QStringList linkErrors;
    QStringList downloadErrors;
    QStringList fileErrors;
    QList<float> progress;
    bool ready = false;
};

// Downloads go to a folder of this process: the replays of both time zones
// run at once, and a shared folder let one see the other's files.
QString logRoot()
{
    static QTemporaryDir dir;
    return dir.path();
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

void checkDownload(const Instrument& instrument, const Session& session, const DeviceFileInfo& info,
                   const ModelLogRecord& model, const QString& path)
{
    const QString folder = LogFile::folderPath(deviceId, logRoot());
    if (!session.downloadErrors.isEmpty()) {
        FUZZ_CHECK(!session.ready, info.nameFile);
        FUZZ_CHECK(filesIn(folder).isEmpty(), filesIn(folder).join(QLatin1Char(' ')));
        return;
    }
    FUZZ_CHECK(session.linkErrors.isEmpty(), session.linkErrors.join(QLatin1Char('|')));
    FUZZ_CHECK(session.ready && session.fileErrors.isEmpty(), session.fileErrors.join(QLatin1Char('|')));

    const qint64 records = info.size < 7 ? 0 : (qint64(info.size) - 7) / 24;
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), path);
    const QByteArray written = file.readAll();
    FUZZ_CHECK(written.size() == 7 + 24 * records,
               QStringLiteral("%1 bytes for %2 records").arg(written.size()).arg(records));
    FUZZ_CHECK(instrument.goodAnswers(Instrument::key(OpenFile, 0)).contains(written.left(7)),
               QStringLiteral("header ") + hexOf(written.left(7)));
    for (qint64 i = 0; i < records; ++i) {
        const QByteArray record = written.mid(int(7 + 24 * i), 24);
        FUZZ_CHECK(instrument.goodAnswers(Instrument::key(ReadRecord, quint32(i))).contains(record),
                   QStringLiteral("record %1: %2").arg(i).arg(hexOf(record)));
    }
    FUZZ_CHECK(model.rowCount() == records, QString::number(model.rowCount()));

    FUZZ_CHECK(session.progress.isEmpty() == (records == 0), QString::number(session.progress.size()));
    for (int i = 0; i < session.progress.size(); ++i)
        FUZZ_CHECK(session.progress.at(i) >= 0 && session.progress.at(i) <= 100
                       && (i == 0 || session.progress.at(i) >= session.progress.at(i - 1)),
                   QString::number(double(session.progress.at(i))));
    if (records > 0)
        FUZZ_CHECK(session.progress.last() == 100.0f, QString::number(double(session.progress.last())));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzapp::ensureApplication();
    FuzzInput in(data, size);
    Instrument instrument(in);
    const int pick = in.byte();

    auto wire = std::make_shared<LinkFakeWire>();
    wire->responder = [&instrument](const QByteArray& request) { return instrument.answer(request); };
    ComPortManager manager(LinkFakeLine::factory(wire));
    FUZZ_CHECK(manager.connectComPort(QStringLiteral("fuzz")), QString());
    ModelLogRecord model;
    FilesInteractor files(&manager, &model);
    files.setLogRoot(logRoot());
    Session session;
    QObject::connect(&files, &FilesInteractor::listOfFilesReceived,
                     [&](const QList<DeviceFileInfo>& list) { session.lists << list; });
    QObject::connect(&files, &FilesInteractor::errorOccurred, [&](const QString& m) { session.linkErrors << m; });
    QObject::connect(&files, &FilesInteractor::downloadErrorOccurred,
                     [&](const QString& m) { session.downloadErrors << m; });
    QObject::connect(&files, &FilesInteractor::fileErrorOccurred, [&](const QString& m) { session.fileErrors << m; });
    QObject::connect(&files, &FilesInteractor::downloadFileProcess, [&](float p) { session.progress << p; });
    QObject::connect(&files, &FilesInteractor::modelRecordReady, [&] { session.ready = true; });

    files.requestListOfFiles();
    FUZZ_CHECK(session.lists.size() + session.linkErrors.size() == 1,
               QStringLiteral("%1 lists, %2 errors").arg(session.lists.size()).arg(session.linkErrors.size()));
    if (session.lists.isEmpty() || session.lists.first().isEmpty())
        return 0;

    const DeviceFileInfo info = session.lists.first().at(pick % session.lists.first().size());
    const QString folder = LogFile::folderPath(deviceId, logRoot());
    for (const QString& name : filesIn(folder))
        QFile::remove(folder + QLatin1Char('/') + name);
    const QString path = LogFile::filePath(deviceId, info.nameFile, logRoot());
    files.downloadFileFromDevice(deviceId, info);
    checkDownload(instrument, session, info, model, path);
    QFile::remove(path);
    return 0;
}
