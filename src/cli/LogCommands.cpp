// show and export: a .LOG file as the data screen shows and saves it.
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/LimitsOptions.h"
#include "cli/LogWorkspace.h"
#include "cli/StagedOutputs.h"
#include "data/LimitTexts.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString singleFile(const CliArguments& arguments)
{
    const QStringList files = arguments.positional();
    if (files.isEmpty())
        throw CliFailure::usage(QStringLiteral("Не указан файл .LOG"));
    if (files.size() > 1)
        throw CliFailure::usage(QStringLiteral("Лишний аргумент «%1»").arg(files.at(1)));
    return files.first();
}

// The columns the statistics describe: every measurement column, in order.
QList<int> measurementColumns(const ModelLogRecord& model)
{
    QList<int> columns;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool())
            columns << c;
    return columns;
}

void printTable(const ModelLogRecord& model)
{
    TextTable table;
    QStringList header;
    for (int c = 0; c < model.columnCount(); ++c)
        header << model.headerData(c, Qt::Horizontal).toString();
    table.addRow(header);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < model.columnCount(); ++c)
            row << model.index(r, c).data().toString();
        table.addRow(row);
    }
    CliOutput::out(table.text());
}

// Under the statistics: per column the times of the extremes, the mean
// kinetic temperature of °C and, where limits apply, how the readings kept them.
void printEvaluation(const ModelLogRecord& model, const ColumnLimitSet& limits)
{
    for (int c : measurementColumns(model)) {
        const LimitEvaluation e = LimitsOptions::evaluate(model, c, limits);
        const QVector<QPair<QString, QString>> rows =
            LimitTexts::rows(e, model.headerData(c, Qt::Horizontal, ModelLogRecord::UnitRole).toString());
        if (rows.isEmpty())
            continue;
        TextTable table;
        for (const auto& row : rows)
            table.addRow({QStringLiteral("  ") + row.first, row.second});
        CliOutput::out(QStringLiteral("\n%1\n%2").arg(model.headerData(c, Qt::Horizontal).toString(), table.text()));
    }
}

void printStatistics(ModelLogRecord& model, const ColumnLimitSet& limits)
{
    ModelStatistics statistics(&model, ModelLogRecord::ValueRole);
    QStringList headers;
    for (int c : measurementColumns(model))
        headers << model.headerData(c, Qt::Horizontal).toString();
    statistics.setHeaders(headers);
    TextTable table;
    table.addRow(statistics.getHeader());
    for (int row = 0; row < statistics.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < statistics.columnCount(); ++column)
            cells << statistics.cellText(row, column);
        table.addRow(cells);
    }
    CliOutput::out(table.text());
    printEvaluation(model, limits);
}

QJsonValue extreme(const ModelLogRecord& model, int row, int column, double value)
{
    return QJsonObject{
        {QStringLiteral("value"), CliOutput::floatNumber(float(value))},
        {QStringLiteral("text"), model.index(row, column).data().toString().trimmed()},
        {QStringLiteral("time"), CliOutput::isoClock(model.index(row, 0).data(ModelLogRecord::ValueRole).toDateTime())},
    };
}

void printStatisticsJson(const ModelLogRecord& model, const ColumnLimitSet& limits)
{
    QJsonArray columns;
    for (int c : measurementColumns(model)) {
        const ModelStatistics::ColumnStatistics s = ModelStatistics::columnStatistics(&model, c, ModelLogRecord::ValueRole);
        QJsonObject column{
            {QStringLiteral("name"), model.headerData(c, Qt::Horizontal).toString()},
            {QStringLiteral("unit"), model.headerData(c, Qt::Horizontal, ModelLogRecord::UnitRole).toString()},
            {QStringLiteral("values"), s.count},
        };
        column.insert(QStringLiteral("maximum"), s.hasValue ? extreme(model, s.maxRow, c, s.maximum) : QJsonValue());
        column.insert(QStringLiteral("mean"), s.hasValue ? QJsonValue(s.mean) : QJsonValue());
        column.insert(QStringLiteral("minimum"), s.hasValue ? extreme(model, s.minRow, c, s.minimum) : QJsonValue());
        column.insert(QStringLiteral("evaluation"), LimitsOptions::evaluationJson(LimitsOptions::evaluate(model, c, limits)));
        columns.append(column);
    }
    CliOutput::json(QJsonDocument(QJsonObject{
        {QStringLiteral("device"), model.deviceName()},
        {QStringLiteral("id"), double(model.deviceId())},
        {QStringLiteral("records"), model.rowCount()},
        {QStringLiteral("columns"), columns},
    }));
}

int show(const CliArguments& arguments)
{
    const QString file = singleFile(arguments);
    const bool stats = arguments.isSet(QStringLiteral("stats"));
    const bool json = arguments.isSet(QStringLiteral("json"));
    if (json && !stats)
        throw CliFailure::usage(QStringLiteral("--json выводит только статистику: добавьте --stats"));
    if (arguments.isSet(QStringLiteral("limits")) && !stats)
        throw CliFailure::usage(QStringLiteral("--limits относится к статистике: добавьте --stats"));
    const QHash<QString, AlarmLimits> typed = LimitsOptions::typed(arguments);
    LogWorkspace workspace;
    workspace.open(file);
    if (!stats) {
        printTable(workspace.model());
        return 0;
    }
    const ColumnLimitSet limits = LimitsOptions::forLog(workspace.model(), typed);
    if (json)
        printStatisticsJson(workspace.model(), limits);
    else
        printStatistics(workspace.model(), limits);
    return 0;
}

int exportLog(const CliArguments& arguments)
{
    const QString file = singleFile(arguments);
    const QString csv = arguments.value(QStringLiteral("csv"));
    const QString xlsx = arguments.value(QStringLiteral("xlsx"));
    StagedOutputs::checkTargets(csv, xlsx);
    LogWorkspace workspace;
    workspace.open(file);
    StagedOutputs outputs;
    if (!csv.isEmpty())
        workspace.saveCsv(outputs.stage(csv), csv);
    if (!xlsx.isEmpty())
        workspace.saveXlsx(outputs.stage(xlsx), xlsx);
    outputs.commit();
    return 0;
}

} // namespace

QList<CliCommand> logCommands()
{
    return {
        {QStringLiteral("show"), QStringLiteral("show ФАЙЛ.LOG [--stats [--limits СТОЛБЕЦ=НИЖНИЙ..ВЕРХНИЙ]… [--json]]"),
         QStringLiteral("таблица измерений файла .LOG (или её статистика) текстом"),
         QStringLiteral("Статистика включает время максимума и минимума, среднюю кинетическую температуру столбцов в °C "
                        "и, где заданы пределы (запись о загрузке ФАЙЛ.LOG.json или --limits), соответствие пределам."),
         {{QStringLiteral("stats"), QString(), QStringLiteral("максимум, среднее и минимум каждого канала")},
          LimitsOptions::option(), CliOptions::json()},
         show},
        {QStringLiteral("export"), QStringLiteral("export ФАЙЛ.LOG --csv ФАЙЛ | --xlsx ФАЙЛ"),
         QStringLiteral("сохранить файл .LOG как CSV или XLSX, точно как экран данных"),
         QStringLiteral("С --csv и --xlsx записываются оба файла или ни одного."),
         {{QStringLiteral("csv"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить как CSV (- — в стандартный вывод)")},
          {QStringLiteral("xlsx"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить как XLSX")}},
         exportLog},
    };
}
