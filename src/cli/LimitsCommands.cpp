// check: were the logs within their alarm limits? For scheduled jobs and alerts.
#include "cli/CliCommand.h"
#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/LimitsOptions.h"
#include "cli/LogWorkspace.h"
#include "data/LimitTexts.h"
#include "data/ModelLogRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Exit code when a reading lies outside its limits: checked and found wanting.
constexpr int outsideLimits = 3;

QString sideText(const QString& label, int events, const LimitEvaluation& e, bool above)
{
    const int count = above ? e.countAbove : e.countBelow;
    const qint64 seconds = above ? e.secondsAbove() : e.secondsBelow();
    QString text = QStringLiteral("%1: %2 соб., %3 изм.").arg(label).arg(events).arg(count);
    if (e.intervalSeconds > 0)
        text += QStringLiteral(", ") + LimitTexts::durationText(seconds);
    return text;
}

QStringList columnLine(const QString& file, const ModelLogRecord& model, int column, const LimitEvaluation& e)
{
    const QString unit = model.headerData(column, Qt::Horizontal, ModelLogRecord::UnitRole).toString();
    QStringList cells{file, model.headerData(column, Qt::Horizontal).toString(), LimitTexts::limitsText(*e.limits, unit),
                      LimitTexts::verdict(e)};
    if (!e.isWithin()) {
        cells << sideText(QStringLiteral("выше"), e.eventsAbove, e, true)
              << sideText(QStringLiteral("ниже"), e.eventsBelow, e, false)
              << QStringLiteral("первый выход %1, %2").arg(LimitTexts::clockText(e.firstOutside.clock),
                                                           LimitTexts::valueText(e.firstOutside.value, unit));
    }
    return cells;
}

int check(const CliArguments& arguments)
{
    const QStringList files = arguments.positional();
    if (files.isEmpty())
        throw CliFailure::usage(QStringLiteral("Не указан файл .LOG"));
    const bool json = arguments.isSet(QStringLiteral("json"));
    // Malformed limits end the call before any file is read.
    const QHash<QString, AlarmLimits> typed = LimitsOptions::typed(arguments);

    bool anyFailed = false;
    bool anyOutside = false;
    TextTable table;
    QJsonArray documents;
    for (const QString& file : files) {
        QJsonObject document{{QStringLiteral("file"), file}};
        try {
            LogWorkspace workspace;
            workspace.open(file);
            const ModelLogRecord& model = workspace.model();
            const ColumnLimitSet limits = LimitsOptions::forLog(model, typed);
            QJsonArray columns;
            for (int column : LimitsOptions::measurementColumns(model)) {
                if (!limits.of(column))
                    continue;
                const LimitEvaluation e = LimitsOptions::evaluate(model, column, limits);
                anyOutside = anyOutside || !e.isWithin();
                table.addRow(columnLine(file, model, column, e));
                QJsonObject entry = LimitsOptions::evaluationJson(e);
                entry.insert(QStringLiteral("name"), model.headerData(column, Qt::Horizontal).toString());
                entry.insert(QStringLiteral("unit"),
                             model.headerData(column, Qt::Horizontal, ModelLogRecord::UnitRole).toString());
                columns.append(entry);
            }
            // Nothing to check is said, not taken for "within limits" unseen.
            if (columns.isEmpty())
                table.addRow({file, QStringLiteral("нет пределов для проверки")});
            document.insert(QStringLiteral("columns"), columns);
        } catch (const CliFailure& failure) {
            if (failure.code == CliFailure::Usage)
                throw;
            anyFailed = true;
            CliOutput::err(QStringLiteral("orvelin-cli: ") + CliOutput::oneLine(failure.text) + QLatin1Char('\n'));
            document.insert(QStringLiteral("error"), CliOutput::oneLine(failure.text));
        }
        documents.append(document);
    }
    if (json)
        CliOutput::json(QJsonDocument(QJsonObject{{QStringLiteral("format"), QStringLiteral("orvelin-check/1")},
                                                  {QStringLiteral("files"), documents}}));
    else
        CliOutput::out(table.text());
    if (anyFailed)
        return CliFailure::Failed;
    return anyOutside ? outsideLimits : 0;
}

} // namespace

QList<CliCommand> limitsCommands()
{
    return {
        {QStringLiteral("check"), QStringLiteral("check ФАЙЛ.LOG… [--limits СТОЛБЕЦ=НИЖНИЙ..ВЕРХНИЙ]… [--json]"),
         QStringLiteral("проверить, были ли измерения в пределах сигнализации"),
         QStringLiteral("Пределы берутся из записи о загрузке рядом с файлом (ФАЙЛ.LOG.json), если канал был "
                        "на сигнализации, и из --limits. Одна строка на файл и столбец с оценкой "
                        "«в пределах» или «выход за пределы».\n"
                        "Коды завершения: 0 все значения в пределах, 3 есть значения вне пределов, "
                        "2 файл не прочитан, 1 неверный вызов (в том числе пределы, не образующие диапазон)."),
         {LimitsOptions::option(), CliOptions::json()}, check},
    };
}
