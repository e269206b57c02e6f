#include "cli/LimitsOptions.h"
#include "database/SourceLimits.h"

#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "data/LimitTexts.h"
#include "data/ModelLogRecord.h"

#include <QDateTime>
#include <QJsonValue>
#include <QSqlQueryModel>
#include <QSqlRecord>

CliOption LimitsOptions::option()
{
    return {QStringLiteral("limits"), QStringLiteral("СТОЛБЕЦ=НИЖНИЙ..ВЕРХНИЙ"),
            QStringLiteral("пределы столбца (например \"Канал №1=2..8\", разделитель «.» или «,»); "
                           "повторяется; заменяет пределы из записи о загрузке"),
            true};
}

QHash<QString, AlarmLimits> LimitsOptions::typed(const CliArguments& arguments)
{
    QHash<QString, AlarmLimits> limits;
    for (const QString& value : arguments.values(QStringLiteral("limits"))) {
        const int equals = value.lastIndexOf(QLatin1Char('='));
        const QString header = equals < 0 ? QString() : value.left(equals).trimmed();
        if (header.isEmpty())
            throw CliFailure::usage(QStringLiteral("--limits «%1»: ожидается СТОЛБЕЦ=НИЖНИЙ..ВЕРХНИЙ, например \"Канал №1=2..8\"")
                                        .arg(value));
        QString why;
        const std::optional<AlarmLimits> range = AlarmLimitRules::parseRange(value.mid(equals + 1), &why);
        if (!range)
            throw CliFailure::usage(QStringLiteral("--limits «%1»: %2").arg(value, why));
        limits.insert(header, *range);
    }
    return limits;
}

QList<int> LimitsOptions::measurementColumns(const ModelLogRecord& model)
{
    QList<int> columns;
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool())
            columns << c;
    return columns;
}

ColumnLimitSet LimitsOptions::forLog(const ModelLogRecord& model, const QHash<QString, AlarmLimits>& typed)
{
    QString why;
    ColumnLimitSet set = LogLimits::forLog(model, &why);
    if (!why.isEmpty())
        CliOutput::err(QStringLiteral("orvelin-cli: %1\n").arg(CliOutput::oneLine(why)));
    for (auto it = typed.constBegin(); it != typed.constEnd(); ++it) {
        int found = -1;
        for (int column : measurementColumns(model))
            if (model.headerData(column, Qt::Horizontal).toString() == it.key())
                found = column;
        if (found < 0)
            throw CliFailure::usage(QStringLiteral("--limits: в файле нет столбца «%1»").arg(it.key()));
        set.byColumn.insert(found, it.value());
    }
    return set;
}

ColumnLimitSet LimitsOptions::forSelection(const QSqlQueryModel& selection, const QHash<QString, AlarmLimits>& typed)
{
    ColumnLimitSet set = SourceLimits::forSelection(selection);
    const QSqlRecord fields = selection.record();
    for (auto it = typed.constBegin(); it != typed.constEnd(); ++it) {
        const int field = fields.indexOf(it.key());
        if (field < 0 || it.key() == QStringLiteral("Дата"))
            throw CliFailure::usage(QStringLiteral("--limits: в выборке нет столбца «%1»").arg(it.key()));
        set.byColumn.insert(field, it.value());
    }
    return set;
}

LimitEvaluation LimitsOptions::evaluate(const ModelLogRecord& model, int column, const ColumnLimitSet& limits)
{
    const QString unit = model.headerData(column, Qt::Horizontal, ModelLogRecord::UnitRole).toString();
    return LimitEvaluator::evaluate(LogLimits::logColumnReadings(model, column), limits.of(column),
                                    limits.logPeriodSeconds, LogLimits::isCelsius(unit));
}

namespace {

QString clockIso(qint64 clock)
{
    return CliOutput::isoClock(QDateTime::fromSecsSinceEpoch(clock, Qt::UTC));
}

QJsonValue momentJson(const LimitEvaluation::Moment& moment)
{
    if (!moment.isSet())
        return QJsonValue();
    return QJsonObject{{QStringLiteral("time"), clockIso(moment.clock)},
                       {QStringLiteral("value"), CliOutput::floatNumber(float(moment.value))}};
}

QJsonObject sideJson(int readings, qint64 seconds, int events)
{
    return QJsonObject{{QStringLiteral("readings"), readings},
                       {QStringLiteral("seconds"), double(seconds)},
                       {QStringLiteral("events"), events}};
}

} // namespace

QJsonObject LimitsOptions::evaluationJson(const LimitEvaluation& e)
{
    QJsonObject object{
        {QStringLiteral("maximumTime"), e.maximum.isSet() ? QJsonValue(clockIso(e.maximum.clock)) : QJsonValue()},
        {QStringLiteral("minimumTime"), e.minimum.isSet() ? QJsonValue(clockIso(e.minimum.clock)) : QJsonValue()},
        {QStringLiteral("withoutValue"), e.withoutValue},
        {QStringLiteral("mkt"), e.meanKineticTemperature ? QJsonValue(*e.meanKineticTemperature) : QJsonValue()},
    };
    if (!e.limits) {
        object.insert(QStringLiteral("limits"), QJsonValue());
        return object;
    }
    object.insert(QStringLiteral("limits"), QJsonObject{{QStringLiteral("lower"), e.limits->lower},
                                                        {QStringLiteral("upper"), e.limits->upper}});
    object.insert(QStringLiteral("verdict"), LimitTexts::verdict(e));
    object.insert(QStringLiteral("within"), e.isWithin());
    object.insert(QStringLiteral("intervalSeconds"), double(e.intervalSeconds));
    object.insert(QStringLiteral("above"), sideJson(e.countAbove, e.secondsAbove(), e.eventsAbove));
    object.insert(QStringLiteral("below"), sideJson(e.countBelow, e.secondsBelow(), e.eventsBelow));
    object.insert(QStringLiteral("firstOutside"), momentJson(e.firstOutside));
    return object;
}
