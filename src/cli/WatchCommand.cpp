// watch: collects from every instrument plugged in, one after another, until stopped.
#include "cli/ArchiveSession.h"
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/DeviceSession.h"
#include "cli/LogWorkspace.h"
#include "data/ModelLogRecord.h"
#include "device/FileCollector.h"
#include "device/FilesInteractor.h"
#include "device/ZR74XManager.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <atomic>
#include <csignal>
#include <memory>

namespace {

// Set from the signal handler: both are lock-free atomics, so the handler
// only stores into them.
std::atomic<bool> g_stop{false};
std::atomic<FilesInteractor*> g_downloading{nullptr};

extern "C" void stopWatching(int)
{
    g_stop.store(true);
    if (FilesInteractor* files = g_downloading.load())
        files->cancelDownload();
}

void installStopHandlers()
{
    struct sigaction action = {};
    action.sa_handler = stopWatching;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Waits up to `ms` unless a stop arrives first.
void pause(int ms)
{
    for (int waited = 0; waited < ms && !g_stop.load(); waited += 50)
        QThread::msleep(50);
}

// One line per event on stdout: words for people, or a JSON object per line
// with the stable keys "event", "time" and the event's own.
class EventLine
{
public:
    explicit EventLine(bool json) : m_json(json) {}

    void say(const QString& event, const QJsonObject& fields, const QString& text) const
    {
        const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
        if (m_json) {
            QJsonObject line = fields;
            line.insert(QStringLiteral("event"), event);
            line.insert(QStringLiteral("time"), time);
            CliOutput::out(QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
            return;
        }
        CliOutput::out(time + QStringLiteral("  ") + text + QLatin1Char('\n'));
    }

private:
    bool m_json;
};

struct WatchOptions
{
    QString port;
    QString root;
    bool import = false;
};

// Everything done with one instrument while it stays on the port.
class InstrumentVisit
{
public:
    InstrumentVisit(DeviceSession& session, const WatchOptions& options, ArchiveSession* archive, const EventLine& line)
        : m_session(session), m_archive(archive), m_line(line), m_files(session.manager(), &m_model), m_collector(&m_files)
    {
        if (!options.root.isEmpty())
            m_files.setLogRoot(options.root);
        g_downloading.store(&m_files);
        if (g_stop.load())
            m_files.cancelDownload();
    }
    ~InstrumentVisit() { g_downloading.store(nullptr); }

    void run()
    {
        const quint32 id = m_session.id();
        QList<DeviceFileInfo> list;
        bool listed = false;
        QObject context;
        QObject::connect(&m_files, &FilesInteractor::listOfFilesReceived, &context, [&](const QList<DeviceFileInfo>& received) {
            list = received;
            listed = true;
        });
        QObject::connect(&m_collector, &FileCollector::fileCollected, &context, [&](const QString& name, const QString& path, int records) {
            m_line.say(QStringLiteral("downloaded"),
                       {{QStringLiteral("id"), double(id)}, {QStringLiteral("file"), name}, {QStringLiteral("path"), path},
                        {QStringLiteral("records"), records}},
                       QStringLiteral("загружен  %1  %2, измерений: %3").arg(id).arg(path).arg(records));
            store(name, path);
        });
        QObject::connect(&m_collector, &FileCollector::fileFailed, &context, [&](const QString& name, const QString& reason) {
            failed(name, QStringLiteral("download"), reason);
        });
        m_files.requestListOfFiles();
        if (!listed) {
            gone();
            return;
        }
        const CollectResult result = m_collector.collect(id, list);
        if (result.instrumentLost) {
            gone();
            return;
        }
        // Until it goes (or we are told to stop): one question a second.
        while (!g_stop.load()) {
            pause(1000);
            if (g_stop.load())
                return;
            bool answers = false;
            try {
                answers = m_session.device().checkConnection();
            } catch (const QString&) {
            }
            if (!answers) {
                gone();
                return;
            }
        }
    }

private:
    void store(const QString& name, const QString& path)
    {
        if (!m_archive)
            return;
        try {
            LogWorkspace workspace;
            workspace.open(path);
            ProgressLine quiet(false);
            const int values = m_archive->store(workspace.model(), quiet);
            m_line.say(QStringLiteral("stored"),
                       {{QStringLiteral("id"), double(m_session.id())}, {QStringLiteral("file"), name},
                        {QStringLiteral("values"), values}},
                       QStringLiteral("сохранён в базу данных  %1  %2, добавлено значений: %3").arg(m_session.id()).arg(name).arg(values));
        } catch (const CliFailure& failure) {
            failed(name, QStringLiteral("import"), failure.text);
        }
    }

    void failed(const QString& name, const QString& stage, const QString& reason)
    {
        const QString text = CliOutput::oneLine(reason);
        m_line.say(QStringLiteral("failed"),
                   {{QStringLiteral("id"), double(m_session.id())}, {QStringLiteral("file"), name},
                    {QStringLiteral("stage"), stage}, {QStringLiteral("error"), text}},
                   QStringLiteral("ошибка  %1  %2: %3").arg(m_session.id()).arg(name, text));
    }

    void gone()
    {
        m_line.say(QStringLiteral("gone"), {{QStringLiteral("id"), double(m_session.id())}},
                   QStringLiteral("отключён  %1").arg(m_session.id()));
    }

    DeviceSession& m_session;
    ArchiveSession* m_archive;
    const EventLine& m_line;
    ModelLogRecord m_model;
    FilesInteractor m_files;
    FileCollector m_collector;
};

void sayFound(const DeviceSession& session, const EventLine& line)
{
    QJsonObject fields{{QStringLiteral("id"), double(session.id())},
                       {QStringLiteral("port"), session.portName()},
                       {QStringLiteral("type"), session.typeWord()},
                       {QStringLiteral("firmware"), session.firmware()}};
    QString text = QStringLiteral("найден  %1  %2 %3 на %4")
                       .arg(session.id())
                       .arg(session.typeWord(), session.firmware(), session.portName());
    try {
        const qint64 offset = DeviceSession::clockOffset(session.clock());
        fields.insert(QStringLiteral("clockOffsetSeconds"), double(offset));
        // The clock is never set here: that is the user's decision.
        if (offset > CollectResult::clockTolerance || offset < -CollectResult::clockTolerance)
            text += QStringLiteral(", часы прибора отличаются от часов компьютера на %1 с").arg(offset);
    } catch (const CliFailure&) {
    }
    line.say(QStringLiteral("found"), fields, text);
}

int watch(const CliArguments& arguments)
{
    if (!arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(arguments.positional().first()));
    WatchOptions options;
    options.port = arguments.value(QStringLiteral("port"));
    options.import = arguments.isSet(QStringLiteral("import"));
    if (arguments.isSet(QStringLiteral("output")))
        options.root = QFileInfo(arguments.value(QStringLiteral("output"))).absoluteFilePath();
    if (arguments.isSet(QStringLiteral("db")) && !options.import)
        throw CliFailure::usage(QStringLiteral("--db нужен только вместе с --import"));
    const EventLine line(arguments.isSet(QStringLiteral("json")));

    // A wrong archive is said at once, not after the first instrument came.
    std::unique_ptr<ArchiveSession> archive;
    if (options.import) {
        archive = std::make_unique<ArchiveSession>(arguments.value(QStringLiteral("db")));
        archive->open();
    }

    g_stop.store(false);
    installStopHandlers();
    while (!g_stop.load()) {
        DeviceSession session(options.port);
        try {
            session.connect();
        } catch (const CliFailure&) {
            pause(1000);
            continue;
        }
        sayFound(session, line);
        InstrumentVisit(session, options, archive.get(), line).run();
    }
    line.say(QStringLiteral("stopped"), {}, QStringLiteral("остановлен"));
    return 0;
}

} // namespace

QList<CliCommand> watchCommands()
{
    return {
        {QStringLiteral("watch"), QStringLiteral("watch [-o ПАПКА] [--import] [--db БАЗА] [--port ПУТЬ] [--json]"),
         QStringLiteral("ждать приборы и загружать с каждого новые файлы, пока не остановят (SIGINT, SIGTERM)"),
         QStringLiteral("По строке на событие: найден, загружен, сохранён в базу данных, ошибка, отключён; с --json —\n"
                        "объект JSON в строке (event: found, downloaded, stored, failed, gone, stopped).\n"
                        "Файл, уже загруженный целиком, не загружается повторно. При остановке текущий файл\n"
                        "не остаётся наполовину записанным: прежняя копия сохраняется. Код завершения 0."),
         {{QStringLiteral("output"), QStringLiteral("ПАПКА"), QStringLiteral("папка для загрузок"), false, QLatin1Char('o')},
          {QStringLiteral("import"), QString(), QStringLiteral("сохранять загруженные файлы в базу данных")},
          CliOptions::database(), CliOptions::port(), CliOptions::json()},
         watch},
    };
}
