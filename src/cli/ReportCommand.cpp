// report: the data screen's and the database screen's reports as PDF files.
#include "cli/ArchiveSession.h"
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/LimitsOptions.h"
#include "cli/LogWorkspace.h"
#include "cli/SelectionRequest.h"
#include "data/ModelLogRecord.h"
#include "database/TableDBModel.h"
#include "report/ReportInteractor.h"
#include "report/ReportRows.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <tuple>

namespace {

// The options of the report panels.
struct ReportChoice
{
    bool full = false;
    bool charts = false;
    bool commonChart = false;
};

ReportChoice reportChoice(const CliArguments& arguments)
{
    ReportChoice choice;
    choice.full = arguments.isSet(QStringLiteral("full"));
    if (arguments.isSet(QStringLiteral("charts"))) {
        const QString charts = arguments.value(QStringLiteral("charts"));
        if (charts != QLatin1String("common") && charts != QLatin1String("separate"))
            throw CliFailure::usage(QStringLiteral("--charts принимает common или separate, получено «%1»").arg(charts));
        choice.charts = true;
        choice.commonChart = charts == QLatin1String("common");
    }
    return choice;
}

void writePdf(const QString& path, const std::function<bool(ReportInteractor&)>& request)
{
    ReportInteractor reports;
    QString error;
    QObject context;
    QObject::connect(&reports, &ReportInteractor::reportErrorOccurred, &context, [&error](const QString& text) { error = text; });
    if (!request(reports) || !error.isNull())
        throw CliFailure::failed(error.isNull() ? QStringLiteral("Не удалось записать отчёт") : error, path);
}

// As the data screen's report panel fills the request, with every channel
// chosen for the charts and the whole file as the period unless one is given.
// A period that holds no record of the file is refused: the report would show
// other records under its title.
PrintSetting logSetting(ModelLogRecord& model, const ReportChoice& choice, const CliArguments& arguments)
{
    PrintSetting setting;
    setting.printChart = choice.charts;
    setting.generalChart = choice.commonChart;
    setting.fullReport = choice.full;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool())
            setting.seriesNames << model.headerData(c, Qt::Horizontal).toString();
    setting.model = &model;
    setting.idDevice = model.deviceId();
    setting.typeDevice = model.deviceName();
    const int rows = model.rowCount();
    auto recordTime = [&model](int row) { return model.index(row, 0).data(ModelLogRecord::ValueRole).toDateTime(); };
    std::tie(setting.beginDateTime, setting.endDateTime) = SelectionRequest::period(arguments);
    if (!setting.beginDateTime.isValid() && rows > 0)
        setting.beginDateTime = recordTime(0);
    if (!setting.endDateTime.isValid() && rows > 0)
        setting.endDateTime = recordTime(rows - 1);
    const ReportRows::RowSpan span = ReportRows::logRows(&model, setting.beginDateTime, setting.endDateTime);
    if (span.isEmpty())
        throw CliFailure::failed(SelectionRequest::noRecordsText());
    setting.firstRow = span.first;
    setting.lastRow = span.last;
    setting.valueRole = ModelLogRecord::ValueRole;
    setting.unitRole = ModelLogRecord::UnitRole;
    setting.columnFlagRole = ModelLogRecord::MeasurementColumnRole;
    return setting;
}

// The one JSON document of a written report.
void printSummary(const QString& pdf, const PrintSetting& setting, int rows)
{
    CliOutput::json(QJsonDocument(QJsonObject{
        {QStringLiteral("pdf"), QFileInfo(pdf).absoluteFilePath()},
        {QStringLiteral("size"), double(QFileInfo(pdf).size())},
        {QStringLiteral("from"), CliOutput::isoClock(setting.beginDateTime)},
        {QStringLiteral("to"), CliOutput::isoClock(setting.endDateTime)},
        {QStringLiteral("rows"), rows},
    }));
}

// "--db" takes its value only when one follows: "report --db X.LOG" would
// open the log as the archive.
void refuseLogAsArchive(const CliArguments& arguments)
{
    const QString location = arguments.value(QStringLiteral("db"));
    if (location.endsWith(QLatin1String(".log"), Qt::CaseInsensitive))
        throw CliFailure::usage(QStringLiteral("«%1» — файл .LOG, а не база данных: укажите либо файл .LOG, либо --db БАЗА")
                                    .arg(location));
}

int report(const CliArguments& arguments)
{
    const QString pdf = arguments.value(QStringLiteral("pdf"));
    if (pdf.isEmpty())
        throw CliFailure::usage(QStringLiteral("Укажите --pdf ФАЙЛ"));
    const ReportChoice choice = reportChoice(arguments);
    const bool fromArchive = arguments.isSet(QStringLiteral("db"));
    const QStringList files = arguments.positional();
    if (fromArchive == !files.isEmpty())
        throw CliFailure::usage(QStringLiteral("Укажите либо один файл .LOG, либо --db"));
    if (files.size() > 1)
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(files.at(1)));
    if (fromArchive)
        refuseLogAsArchive(arguments);
    const bool json = arguments.isSet(QStringLiteral("json"));

    if (!fromArchive) {
        const QList<CliOption> selectionOptions = SelectionRequest::options();
        for (const CliOption& option : selectionOptions)
            if (option.name != QLatin1String("from") && option.name != QLatin1String("to") && arguments.isSet(option.name))
                throw CliFailure::usage(QStringLiteral("Параметр «--%1» относится только к отчёту из базы (--db)").arg(option.name));
        const QHash<QString, AlarmLimits> typed = LimitsOptions::typed(arguments);
        LogWorkspace workspace;
        workspace.open(files.first());
        PrintSetting setting = logSetting(workspace.model(), choice, arguments);
        setting.limits = LimitsOptions::forLog(workspace.model(), typed);
        writePdf(pdf, [&](ReportInteractor& reports) { return reports.saveReportPdf(setting, pdf); });
        if (json)
            printSummary(pdf, setting, setting.lastRow - setting.firstRow + 1);
        return 0;
    }

    const QHash<QString, AlarmLimits> typed = LimitsOptions::typed(arguments);
    SelectionRequest request(arguments);
    ArchiveSession archive(arguments.value(QStringLiteral("db")));
    archive.open(true);
    const QMultiHash<QString, QVariant> parameters = request.parameters(archive.contents());
    TableDBModel* selection = archive.select(parameters);
    if (selection->rowCount() == 0)
        throw CliFailure::failed(SelectionRequest::noRecordsText());
    // As the database screen fills it: the period shown and the rows of the selection.
    PrintSetting setting;
    setting.printChart = choice.charts;
    setting.generalChart = choice.commonChart;
    setting.fullReport = choice.full;
    setting.beginDateTime = request.begin();
    setting.endDateTime = request.end();
    setting.firstRow = 0;
    setting.lastRow = selection->rowCount() - 1;
    setting.limits = LimitsOptions::forSelection(*selection, typed);
    writePdf(pdf, [&](ReportInteractor& reports) { return reports.saveReportDBPdf(selection, setting, parameters, pdf); });
    if (json)
        printSummary(pdf, setting, selection->rowCount());
    return 0;
}

} // namespace

QList<CliCommand> reportCommands()
{
    CliOption database = CliOptions::database();
    database.optionalValue = true;
    database.help = QStringLiteral("отчёт по выборке из базы данных; БАЗА — файл базы или сервер postgresql://… (по умолчанию как у --db)");
    QList<CliOption> options = SelectionRequest::options();
    options << database
            << CliOption{QStringLiteral("full"), QString(), QStringLiteral("полный отчёт (с таблицей измерений) вместо краткого")}
            << CliOption{QStringLiteral("charts"), QStringLiteral("common|separate"), QStringLiteral("добавить графики: общий или раздельные")}
            << CliOption{QStringLiteral("pdf"), QStringLiteral("ФАЙЛ"), QStringLiteral("куда записать отчёт")}
            << CliOptions::json()
            << LimitsOptions::option();
    return {
        {QStringLiteral("report"),
         QStringLiteral("report ФАЙЛ.LOG | --db [БАЗА] [отбор как у query] [--full] [--charts common|separate] --pdf ФАЙЛ [--json]"),
         QStringLiteral("отчёт по файлу .LOG или по выборке из базы данных в PDF"),
         QStringLiteral("Отчёт по файлу охватывает весь файл, если --from/--to не заданы; графики строятся по всем каналам.\n"
                        "Период без единого измерения не даёт отчёта (код 2)."),
         options, report},
    };
}
