#include "report/LimitsSection.h"

#include "data/LimitTexts.h"
#include "report/PrintSetting.h"
#include "report/Reporter.h"

#include <QAbstractTableModel>
#include <QSqlQueryModel>
#include <QSqlRecord>

namespace {

constexpr int headerPointSize = 10;

// One column's block of the section; the heading and the table come with the first.
void addColumn(Reporter& reporter, bool* headed, const QString& name, const QString& unit,
               const QVector<LimitReading>& readings, const AlarmLimits& limits, qint64 logPeriodSeconds)
{
    if (!*headed) {
        reporter.insertHeading(QStringLiteral("Соответствие пределам"), 14);
        reporter.insertTableHeader({QStringLiteral("Канал"), QStringLiteral("Показатель"), QStringLiteral("Значение")},
                                   headerPointSize);
        *headed = true;
    }
    const LimitEvaluation evaluation =
        LimitEvaluator::evaluate(readings, limits, logPeriodSeconds, LogLimits::isCelsius(unit));
    QVector<QStringList> rows;
    for (const auto& figure : LimitTexts::rows(evaluation, unit))
        rows.append({rows.isEmpty() ? name : QString(), figure.first, figure.second});
    reporter.appendTableRows(rows);
}

} // namespace

void LimitsSection::addToLogReport(Reporter& reporter, const PrintSetting& setting)
{
    const QAbstractTableModel* model = setting.model;
    if (!model || setting.limits.byColumn.isEmpty())
        return;
    bool headed = false;
    for (int column = 1; column < model->columnCount(); ++column) {
        const std::optional<AlarmLimits> limits = setting.limits.of(column);
        if (!limits)
            continue;
        addColumn(reporter, &headed, model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  model->headerData(column, Qt::Horizontal, setting.unitRole).toString(),
                  LogLimits::columnReadings(model, column, setting.valueRole, setting.firstRow, setting.lastRow),
                  *limits, setting.limits.logPeriodSeconds);
    }
}

void LimitsSection::addToDataBaseReport(Reporter& reporter, const QSqlQueryModel* model, const PrintSetting& setting)
{
    if (!model || setting.limits.byColumn.isEmpty())
        return;
    const QSqlRecord fields = model->record();
    const int dateColumn = fields.indexOf(QStringLiteral("Дата"));
    bool headed = false;
    for (int column = 0; column < fields.count(); ++column) {
        const std::optional<AlarmLimits> limits = setting.limits.of(column);
        if (!limits || column == dateColumn)
            continue;
        QString unit;
        for (int row = 0; row < model->rowCount() && unit.isEmpty(); ++row)
            unit = LogLimits::unitOfText(model->index(row, column).data().toString());
        addColumn(reporter, &headed, fields.fieldName(column), unit,
                  LogLimits::textColumnReadings(model, dateColumn, column, unit, setting.firstRow, setting.lastRow),
                  *limits, setting.limits.logPeriodSeconds);
    }
}
