// import and query: the archive from a script.
#include "cli/ArchiveSession.h"
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/LogWorkspace.h"
#include "cli/SelectionRequest.h"
#include "cli/StagedOutputs.h"
#include "data/ModelLogRecord.h"
#include "database/TableDBModel.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The files to import: the arguments, where "-" stands for the paths read
// from standard input, one per line (as `download` prints them).
QStringList importFiles(const QStringList& arguments)
{
    QStringList files;
    for (const QString& argument : arguments) {
        if (argument != QLatin1String("-")) {
            files << argument;
            continue;
        }
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            throw CliFailure::failed(QStringLiteral("Не удалось прочитать стандартный ввод"));
        for (const QByteArray& line : in.readAll().split('\n')) {
            const QString path = QString::fromUtf8(line).remove(QLatin1Char('\r'));
            if (!path.trimmed().isEmpty())
                files << path;
        }
    }
    return files;
}

int import(const CliArguments& arguments)
{
    if (arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Не указаны файлы .LOG"));
    const QStringList files = importFiles(arguments.positional());
    ArchiveSession archive(arguments.value(QStringLiteral("db")));
    archive.open();

    // Each file is loaded on its own; a damaged one does not stop the others.
    int failures = 0;
    int stored = 0;
    QJsonArray summary;
    ProgressLine progress;
    for (const QString& file : files) {
        progress.start(QFileInfo(file).fileName());
        QJsonObject entry{{QStringLiteral("path"), file}};
        try {
            LogWorkspace workspace;
            workspace.open(file);
            const int values = archive.store(workspace.model(), progress);
            progress.finish(QStringLiteral("добавлено значений: %1").arg(values));
            stored += values;
            entry.insert(QStringLiteral("records"), workspace.model().rowCount());
            entry.insert(QStringLiteral("values"), values);
        } catch (const CliFailure& failure) {
            ++failures;
            progress.clear();
            CliOutput::err(QStringLiteral("orvelin-cli: ") + CliOutput::oneLine(failure.text) + QLatin1Char('\n'));
            entry.insert(QStringLiteral("error"), CliOutput::oneLine(failure.text));
        }
        summary.append(entry);
    }
    if (arguments.isSet(QStringLiteral("json")))
        CliOutput::json(QJsonDocument(QJsonObject{{QStringLiteral("files"), summary},
                                                  {QStringLiteral("values"), stored},
                                                  {QStringLiteral("failed"), failures}}));
    return failures == 0 ? 0 : CliFailure::Failed;
}

int query(const CliArguments& arguments)
{
    if (!arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(arguments.positional().first()));
    const QString csv = arguments.value(QStringLiteral("csv"));
    const QString xlsx = arguments.value(QStringLiteral("xlsx"));
    StagedOutputs::checkTargets(csv, xlsx);
    const bool json = arguments.isSet(QStringLiteral("json"));
    if (json && StagedOutputs::isStdout(csv))
        throw CliFailure::usage(QStringLiteral("--json и --csv - оба пишут в стандартный вывод: укажите файл для --csv"));
    SelectionRequest request(arguments);

    ArchiveSession archive(arguments.value(QStringLiteral("db")));
    archive.open(true);
    TableDBModel* selection = archive.select(request.parameters(archive.contents()));
    LogWorkspace workspace;
    StagedOutputs outputs;
    if (!csv.isEmpty())
        workspace.saveSelectionCsv(outputs.stage(csv), selection, csv);
    if (!xlsx.isEmpty())
        workspace.saveSelectionXlsx(outputs.stage(xlsx), selection, xlsx);
    outputs.commit();
    if (json) {
        QJsonObject summary{{QStringLiteral("rows"), selection->rowCount()},
                            {QStringLiteral("from"), CliOutput::isoClock(request.begin())},
                            {QStringLiteral("to"), CliOutput::isoClock(request.end())}};
        if (!csv.isEmpty())
            summary.insert(QStringLiteral("csv"), QFileInfo(csv).absoluteFilePath());
        if (!xlsx.isEmpty())
            summary.insert(QStringLiteral("xlsx"), QFileInfo(xlsx).absoluteFilePath());
        CliOutput::json(QJsonDocument(summary));
    } else {
        CliOutput::err(QStringLiteral("Строк в выборке: %1\n").arg(selection->rowCount()));
    }
    return 0;
}

} // namespace

QList<CliCommand> archiveCommands()
{
    QList<CliOption> queryOptions = SelectionRequest::options();
    queryOptions << CliOption{QStringLiteral("csv"), QStringLiteral("ФАЙЛ"),
                              QStringLiteral("сохранить выборку как CSV (- — в стандартный вывод)")}
                 << CliOption{QStringLiteral("xlsx"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить выборку как XLSX")}
                 << CliOptions::database() << CliOptions::json();
    return {
        {QStringLiteral("import"), QStringLiteral("import ФАЙЛ.LOG…|- [--db БАЗА] [--json]"),
         QStringLiteral("загрузить файлы .LOG в базу данных"),
         QStringLiteral("Уже сохранённые моменты времени прибора не добавляются повторно, так что повторная загрузка\n"
                        "того же файла ничего не меняет. «-» — пути файлов из стандартного ввода, по одному в строке.\n"
                        "Повреждённый файл не мешает остальным; если хоть один не загружен, код 2."),
         {CliOptions::database(), CliOptions::json()}, import},
        {QStringLiteral("query"),
         QStringLiteral("query [--device ID]… [--channel КАНАЛ]… [--unit ЕД]… [--from ВРЕМЯ] [--to ВРЕМЯ] --csv|--xlsx ФАЙЛ [--db БАЗА] [--json]"),
         QStringLiteral("выборка из базы данных, сохранённая как на экране базы данных"),
         QStringLiteral("Время — по часам прибора, как оно хранится и показывается в таблице."), queryOptions, query},
    };
}
