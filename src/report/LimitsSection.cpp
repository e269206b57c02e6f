#include "report/LimitsSection.h"

#include "data/LimitTexts.h"
#include "report/PrintSetting.h"
#include "report/Reporter.h"

#include <QAbstractTableModel>

namespace {

constexpr int headerPointSize = 10;

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
        if (!headed) {
            reporter.insertHeading(QStringLiteral("Соответствие пределам"), 14);
            reporter.insertTableHeader({QStringLiteral("Канал"), QStringLiteral("Показатель"), QStringLiteral("Значение")},
                                       headerPointSize);
            headed = true;
        }
        const QString name = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString unit = model->headerData(column, Qt::Horizontal, setting.unitRole).toString();
        const LimitEvaluation evaluation = LimitEvaluator::evaluate(
            LogLimits::columnReadings(model, column, setting.valueRole, setting.firstRow, setting.lastRow), limits,
            setting.limits.logPeriodSeconds, LogLimits::isCelsius(unit));
        QVector<QStringList> rows;
        for (const auto& figure : LimitTexts::rows(evaluation, unit))
            rows.append({rows.isEmpty() ? name : QString(), figure.first, figure.second});
        reporter.appendTableRows(rows);
    }
}
