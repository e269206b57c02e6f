// import and query: the archive from a script.
#include "cli/ArchiveSession.h"
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/LogWorkspace.h"
#include "cli/SelectionRequest.h"
#include "data/ModelLogRecord.h"
#include "database/TableDBModel.h"

#include <QFileInfo>

namespace {

int import(const CliArguments& arguments)
{
    const QStringList files = arguments.positional();
    if (files.isEmpty())
        throw CliFailure::usage(QStringLiteral("Не указаны файлы .LOG"));
    ArchiveSession archive(arguments.value(QStringLiteral("db")));
    archive.open();

    // Each file is loaded on its own; a damaged one does not stop the others.
    int failures = 0;
    ProgressLine progress;
    for (const QString& file : files) {
        progress.start(QFileInfo(file).fileName());
        try {
            LogWorkspace workspace;
            workspace.open(file);
            const int values = archive.store(workspace.model(), progress);
            progress.finish(QStringLiteral("добавлено значений: %1").arg(values));
        } catch (const CliFailure& failure) {
            ++failures;
            progress.clear();
            CliOutput::err(QStringLiteral("orvelin-cli: ") + CliOutput::oneLine(failure.text) + QLatin1Char('\n'));
        }
    }
    return failures == 0 ? 0 : CliFailure::Failed;
}

int query(const CliArguments& arguments)
{
    if (!arguments.positional().isEmpty())
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(arguments.positional().first()));
    const QString csv = arguments.value(QStringLiteral("csv"));
    const QString xlsx = arguments.value(QStringLiteral("xlsx"));
    if (csv.isEmpty() && xlsx.isEmpty())
        throw CliFailure::usage(QStringLiteral("Укажите --csv ФАЙЛ или --xlsx ФАЙЛ"));
    SelectionRequest request(arguments);

    ArchiveSession archive(arguments.value(QStringLiteral("db")));
    archive.open(true);
    TableDBModel* selection = archive.select(request.parameters(archive.contents()));
    LogWorkspace workspace;
    if (!csv.isEmpty())
        workspace.saveSelectionCsv(csv, selection);
    if (!xlsx.isEmpty())
        workspace.saveSelectionXlsx(xlsx, selection);
    CliOutput::err(QStringLiteral("Строк в выборке: %1\n").arg(selection->rowCount()));
    return 0;
}

} // namespace

QList<CliCommand> archiveCommands()
{
    QList<CliOption> queryOptions = SelectionRequest::options();
    queryOptions << CliOption{QStringLiteral("csv"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить выборку как CSV")}
                 << CliOption{QStringLiteral("xlsx"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить выборку как XLSX")}
                 << CliOptions::database();
    return {
        {QStringLiteral("import"), QStringLiteral("import ФАЙЛ.LOG… [--db БАЗА]"),
         QStringLiteral("загрузить файлы .LOG в базу данных"),
         QStringLiteral("Уже сохранённые моменты времени прибора не добавляются повторно, так что повторная загрузка\n"
                        "того же файла ничего не меняет."),
         {CliOptions::database()}, import},
        {QStringLiteral("query"),
         QStringLiteral("query [--device ID]… [--channel КАНАЛ]… [--unit ЕД]… [--from ВРЕМЯ] [--to ВРЕМЯ] --csv|--xlsx ФАЙЛ [--db БАЗА]"),
         QStringLiteral("выборка из базы данных, сохранённая как на экране базы данных"),
         QStringLiteral("Время — по часам прибора, как оно хранится и показывается в таблице."), queryOptions, query},
    };
}
