// find, files, download and sync-clock: the device screen's work from a script.
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/DeviceSession.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "device/DeviceSettingsInteractor.h"
#include "device/FilesInteractor.h"
#include "device/HomeCopy.h"
#include "device/ModelDeviceFileInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

void noPositional(const CliArguments& arguments)
{
    if (!arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(arguments.positional().first()));
}

QString offsetText(qint64 seconds)
{
    return QStringLiteral("%1%2 с").arg(seconds > 0 ? QStringLiteral("+") : QString()).arg(seconds);
}

int find(const CliArguments& arguments)
{
    noPositional(arguments);
    DeviceSession session(arguments.value(QStringLiteral("port")));
    session.connect();
    const QDateTime clock = session.clock();
    const qint64 offset = DeviceSession::clockOffset(clock);
    if (arguments.isSet(QStringLiteral("json"))) {
        CliOutput::json(QJsonDocument(QJsonObject{
            {QStringLiteral("port"), session.portName()},
            {QStringLiteral("type"), session.typeWord()},
            {QStringLiteral("firmware"), session.firmware()},
            {QStringLiteral("id"), double(session.id())},
            {QStringLiteral("clock"), CliOutput::isoClock(clock)},
            {QStringLiteral("clockOffsetSeconds"), double(offset)},
        }));
        return 0;
    }
    TextTable table;
    table.addRow({QStringLiteral("Порт:"), session.portName()});
    table.addRow({QStringLiteral("Тип устройства:"), session.typeWord()});
    table.addRow({QStringLiteral("Версия ПО:"), session.firmware()});
    table.addRow({QStringLiteral("ID устройства:"), QString::number(session.id())});
    table.addRow({QStringLiteral("Время прибора:"), ModelDeviceFileInfo::timeText(clock)});
    table.addRow({QStringLiteral("Отличие от часов компьютера:"), offsetText(offset)});
    CliOutput::out(table.text());
    return 0;
}

QList<DeviceFileInfo> listFiles(FilesInteractor& files, const DeviceSession& session)
{
    QList<DeviceFileInfo> list;
    QString error;
    QObject context;
    QObject::connect(&files, &FilesInteractor::listOfFilesReceived, &context,
                     [&list](const QList<DeviceFileInfo>& received) { list = received; });
    QObject::connect(&files, &FilesInteractor::errorOccurred, &context, [&error](const QString& message) { error = message; });
    files.requestListOfFiles();
    if (!error.isNull())
        throw CliFailure::failed(error, session.portName());
    return list;
}

int filesCommand(const CliArguments& arguments)
{
    noPositional(arguments);
    DeviceSession session(arguments.value(QStringLiteral("port")));
    session.connect();
    ModelLogRecord model;
    FilesInteractor files(session.manager(), &model);
    const QList<DeviceFileInfo> list = listFiles(files, session);

    if (arguments.isSet(QStringLiteral("json"))) {
        QJsonArray entries;
        for (const DeviceFileInfo& info : list)
            entries.append(QJsonObject{
                {QStringLiteral("name"), info.nameFile},
                {QStringLiteral("start"), CliOutput::isoClock(info.startLog)},
                {QStringLiteral("stop"), CliOutput::isoClock(info.stopLog)},
                {QStringLiteral("records"), info.numberOfRecords},
                {QStringLiteral("size"), info.size},
            });
        CliOutput::json(QJsonDocument(QJsonObject{{QStringLiteral("id"), double(session.id())},
                                                  {QStringLiteral("files"), entries}}));
        return 0;
    }
    TextTable table;
    table.addRow({QStringLiteral("Имя файла"), QStringLiteral("Начало"), QStringLiteral("Конец"), QStringLiteral("Измерений")});
    const QString none = QStringLiteral("--:--:-- --.--.----");
    for (const DeviceFileInfo& info : list) {
        const QString start = ModelDeviceFileInfo::timeText(info.startLog);
        const QString stop = ModelDeviceFileInfo::timeText(info.stopLog);
        table.addRow({info.nameFile.isEmpty() ? QStringLiteral("-") : info.nameFile, start.isEmpty() ? none : start,
                      stop.isEmpty() ? none : stop, QString::number(info.numberOfRecords)});
    }
    CliOutput::out(table.text());
    return 0;
}

bool downloadsAll(const CliArguments& arguments)
{
    const bool all = arguments.isSet(QStringLiteral("all")) || arguments.isSet(QStringLiteral("new"));
    const bool named = !arguments.positional().isEmpty();
    if (all && named)
        throw CliFailure::usage(QStringLiteral("Укажите либо имена файлов, либо --all / --new"));
    if (!all && !named)
        throw CliFailure::usage(QStringLiteral("Укажите имена файлов, --all или --new"));
    return all;
}

// The files a download command names, in the instrument's order.
QList<DeviceFileInfo> chosenFiles(const CliArguments& arguments, const QList<DeviceFileInfo>& list)
{
    const bool all = downloadsAll(arguments);
    const QStringList names = arguments.positional();
    QList<DeviceFileInfo> chosen;
    if (all) {
        for (const DeviceFileInfo& info : list)
            if (!info.nameFile.isEmpty())
                chosen << info;
        return chosen;
    }
    for (const QString& name : names) {
        auto found = std::find_if(list.begin(), list.end(), [&name](const DeviceFileInfo& info) {
            return info.nameFile.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (found == list.end())
            throw CliFailure::failed(QStringLiteral("На приборе нет такого файла"), name);
        chosen << *found;
    }
    return chosen;
}

// A file already downloaded whole, as the device screen marks it.
bool isComplete(const QString& path, const DeviceFileInfo& info)
{
    return HomeCopy::of(path, info) == HomeCopy::State::Complete;
}

struct DownloadOutcome
{
    QString error; // empty on success
    QString warning; // a downloaded file whose record is missing or incomplete
    bool instrumentLost = false;
};

// One file through the application's download: the .LOG file is written
// and opened again.
DownloadOutcome downloadOne(FilesInteractor& files, quint32 id, const DeviceFileInfo& info, ProgressLine& progress)
{
    DownloadOutcome outcome;
    bool opened = false;
    QObject context;
    QObject::connect(&files, &FilesInteractor::downloadFileProcess, &context,
                     [&progress](float percent) { progress.update(percent); });
    QObject::connect(&files, &FilesInteractor::downloadErrorOccurred, &context,
                     [&outcome](const QString& text) { outcome.error = text; });
    // Said after a failed download only when the instrument no longer answers.
    QObject::connect(&files, &FilesInteractor::errorOccurred, &context, [&outcome](const QString& message) {
        outcome.instrumentLost = true;
        if (outcome.error.isEmpty())
            outcome.error = message;
    });
    QObject::connect(&files, &FilesInteractor::fileErrorOccurred, &context,
                     [&outcome](const QString& message) { outcome.error = message; });
    QObject::connect(&files, &FilesInteractor::modelRecordReady, &context, [&opened] { opened = true; });
    // The file is downloaded; only its record beside it is missing or incomplete.
    QObject::connect(&files, &FilesInteractor::downloadWarningOccurred, &context,
                     [&outcome](const QString& text) { outcome.warning = text; });
    files.downloadFileFromDevice(id, info);
    if (outcome.error.isEmpty() && !opened)
        outcome.error = QStringLiteral("Ошибка открытия файла");
    return outcome;
}

int download(const CliArguments& arguments)
{
    downloadsAll(arguments);
    DeviceSession session(arguments.value(QStringLiteral("port")));
    session.connect();
    ModelLogRecord model;
    FilesInteractor files(session.manager(), &model);
    files.setDeviceInfo(session.deviceInfo());
    if (arguments.isSet(QStringLiteral("output")))
        files.setLogRoot(QFileInfo(arguments.value(QStringLiteral("output"))).absoluteFilePath());
    const QList<DeviceFileInfo> chosen = chosenFiles(arguments, listFiles(files, session));
    const bool onlyNew = arguments.isSet(QStringLiteral("new"));

    const bool json = arguments.isSet(QStringLiteral("json"));
    int failures = 0;
    QJsonArray summary;
    ProgressLine progress;
    // One read of the instrument's settings serves the records of every file.
    files.beginDownloadBatch();
    for (const DeviceFileInfo& info : chosen) {
        const QString path = QDir::toNativeSeparators(files.logFilePath(session.id(), info.nameFile));
        QJsonObject entry{{QStringLiteral("name"), info.nameFile}, {QStringLiteral("path"), path}};
        const auto said = [&](const QString& status) {
            entry.insert(QStringLiteral("status"), status);
            entry.insert(QStringLiteral("records"), info.numberOfRecords);
            entry.insert(QStringLiteral("size"), double(QFileInfo(path).size()));
            summary.append(entry);
        };
        progress.start(info.nameFile);
        if (onlyNew && isComplete(path, info)) {
            progress.finish(QStringLiteral("уже загружен"));
            said(QStringLiteral("present"));
            continue;
        }
        // The application does not download a file without records either.
        if (FilesInteractor::recordsToDownload(info) == 0) {
            progress.finish(QStringLiteral("пропущен, нет записей"));
            entry.remove(QStringLiteral("path"));
            entry.insert(QStringLiteral("status"), QStringLiteral("empty"));
            entry.insert(QStringLiteral("records"), 0);
            summary.append(entry);
            continue;
        }
        const DownloadOutcome outcome = downloadOne(files, session.id(), info, progress);
        if (!outcome.error.isEmpty()) {
            ++failures;
            progress.clear();
            const CliFailure failure = CliFailure::failed(outcome.error, info.nameFile);
            CliOutput::err(QStringLiteral("orvelin-cli: ") + CliOutput::oneLine(failure.text) + QLatin1Char('\n'));
            entry.remove(QStringLiteral("path"));
            entry.insert(QStringLiteral("status"), QStringLiteral("failed"));
            entry.insert(QStringLiteral("error"), CliOutput::oneLine(outcome.error));
            summary.append(entry);
            // The other files are tried unless the instrument is gone.
            if (outcome.instrumentLost)
                break;
            continue;
        }
        progress.finish(QStringLiteral("загружен, измерений: %1").arg(info.numberOfRecords));
        if (!outcome.warning.isEmpty())
            CliOutput::err(QStringLiteral("orvelin-cli: ") + CliOutput::oneLine(outcome.warning) + QLatin1Char('\n'));
        said(QStringLiteral("downloaded"));
        if (!json)
            CliOutput::out(path + QLatin1Char('\n'));
    }
    if (json)
        CliOutput::json(QJsonDocument(QJsonObject{{QStringLiteral("id"), double(session.id())},
                                                  {QStringLiteral("files"), summary},
                                                  {QStringLiteral("failed"), failures}}));
    return failures == 0 ? 0 : CliFailure::Failed;
}

int syncClock(const CliArguments& arguments)
{
    noPositional(arguments);
    DeviceSession session(arguments.value(QStringLiteral("port")));
    session.connect();
    DeviceSettingsInteractor settings(session.manager());
    settings.setInstrumentId(session.id());
    QString error;
    QObject context;
    QObject::connect(&settings, &DeviceSettingsInteractor::errorOccurred, &context,
                     [&error](const QString& message) { error = message; });
    // How far the clock was off is what a log of scheduled runs wants to keep.
    const QDateTime before = session.clock();
    settings.setCurrentTime();
    if (!error.isNull())
        throw CliFailure::failed(error, session.portName());
    const QDateTime clock = session.clock();
    if (arguments.isSet(QStringLiteral("json"))) {
        CliOutput::json(QJsonDocument(QJsonObject{
            {QStringLiteral("clockBefore"), CliOutput::isoClock(before)},
            {QStringLiteral("offsetBeforeSeconds"), double(DeviceSession::clockOffset(before))},
            {QStringLiteral("clock"), CliOutput::isoClock(clock)},
            {QStringLiteral("offsetSeconds"), double(DeviceSession::clockOffset(clock))},
        }));
        return 0;
    }
    CliOutput::out(QStringLiteral("Время прибора: %1 (отличие от часов компьютера: %2; до установки: %3)\n")
                       .arg(ModelDeviceFileInfo::timeText(clock), offsetText(DeviceSession::clockOffset(clock)),
                            offsetText(DeviceSession::clockOffset(before))));
    return 0;
}

} // namespace

QList<CliCommand> deviceCommands()
{
    const CliOption port = CliOptions::port();
    const CliOption json = CliOptions::json();
    return {
        {QStringLiteral("find"), QStringLiteral("find [--port ПУТЬ] [--json]"),
         QStringLiteral("найти прибор: тип, версия ПО, ID, часы прибора и их отличие от часов компьютера"),
         QStringLiteral("Порты перебираются по одному разу, как при поиске в приложении; если прибор не ответил, код 2."),
         {port, json}, find},
        {QStringLiteral("files"), QStringLiteral("files [--port ПУТЬ] [--json]"),
         QStringLiteral("файлы логирования в памяти прибора (обе группы): имя, начало, конец, число измерений"),
         QString(), {port, json}, filesCommand},
        {QStringLiteral("download"), QStringLiteral("download [ИМЯ… | --all | --new] [-o ПАПКА] [--port ПУТЬ] [--json]"),
         QStringLiteral("загрузить файлы логирования в ПАПКА/<ID>/ (по умолчанию LOG/<ID>/ в папке данных программы)"),
         QStringLiteral("Пути загруженных файлов выводятся по одному в строке; ход загрузки виден в stderr.\n"
                        "--new пропускает файлы, которые уже загружены полностью."),
         {{QStringLiteral("all"), QString(), QStringLiteral("все файлы прибора")},
          {QStringLiteral("new"), QString(), QStringLiteral("только файлы, которых ещё нет целиком")},
          {QStringLiteral("output"), QStringLiteral("ПАПКА"), QStringLiteral("папка для загрузок"), false, QLatin1Char('o')},
          port, json},
         download},
        {QStringLiteral("sync-clock"), QStringLiteral("sync-clock [--port ПУТЬ] [--json]"),
         QStringLiteral("установить часы прибора по часам компьютера"),
         QStringLiteral("Выводит и отличие часов прибора до установки."), {port, json}, syncClock},
    };
}
