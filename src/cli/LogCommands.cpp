// show and export: a .LOG file as the data screen shows and saves it.
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/LogWorkspace.h"
#include "cli/StagedOutputs.h"
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

void printStatistics(ModelLogRecord& model)
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
}

QJsonValue extreme(const ModelLogRecord& model, int row, int column, double value)
{
    return QJsonObject{
        {QStringLiteral("value"), CliOutput::floatNumber(float(value))},
        {QStringLiteral("text"), model.index(row, column).data().toString().trimmed()},
        {QStringLiteral("time"), CliOutput::isoClock(model.index(row, 0).data(ModelLogRecord::ValueRole).toDateTime())},
    };
}

void printStatisticsJson(const ModelLogRecord& model)
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
    LogWorkspace workspace;
    workspace.open(file);
    if (!stats)
        printTable(workspace.model());
    else if (json)
        printStatisticsJson(workspace.model());
    else
        printStatistics(workspace.model());
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
        {QStringLiteral("show"), QStringLiteral("show ФАЙЛ.LOG [--stats [--json]]"),
         QStringLiteral("таблица измерений файла .LOG (или её статистика) текстом"), QString(),
         {{QStringLiteral("stats"), QString(), QStringLiteral("максимум, среднее и минимум каждого канала")}, CliOptions::json()},
         show},
        {QStringLiteral("export"), QStringLiteral("export ФАЙЛ.LOG --csv ФАЙЛ | --xlsx ФАЙЛ"),
         QStringLiteral("сохранить файл .LOG как CSV или XLSX, точно как экран данных"),
         QStringLiteral("С --csv и --xlsx записываются оба файла или ни одного."),
         {{QStringLiteral("csv"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить как CSV (- — в стандартный вывод)")},
          {QStringLiteral("xlsx"), QStringLiteral("ФАЙЛ"), QStringLiteral("сохранить как XLSX")}},
         exportLog},
    };
}
