#include "report/ReportLayout.h"

#include "data/ModelStatistics.h"
#include "report/LimitsSection.h"
#include "report/PrintSetting.h"
#include "report/Reporter.h"

#include <QAbstractTableModel>
#include <QSqlQueryModel>
#include <QSqlRecord>

namespace ReportLayout {

void checkRowLimit(const PrintSetting& setting)
{
    if (!setting.fullReport)
        return;
    const int span = setting.lastRow - setting.firstRow;
    if (span > maxRowSpan)
        throw QStringLiteral("Слишком много данных для печати");
    if (span < 0)
        throw QStringLiteral("Отсутсвуют данных для печати");
}

void composeLogReport(Reporter& reporter, const PrintSetting& setting)
{
    const QAbstractTableModel* model = setting.model;
    if (!model)
        throw QStringLiteral("Отсутсвуют данных для печати");

    reporter.addLogReportTitle(setting);
    for (int column = 0; column < model->columnCount(); ++column) {
        if (!model->headerData(column, Qt::Horizontal, setting.columnFlagRole).toBool())
            continue;
        reporter.addStatisticsHeader(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        reporter.addStatisticsRows(ModelStatistics::columnStatistics(model, column, setting.valueRole,
                                                                     setting.firstRow, setting.lastRow),
                                   model, column);
    }
    LimitsSection::addToLogReport(reporter, setting);
    if (setting.fullReport) {
        reporter.addRecordTableHeader(model);
        reporter.addRecordRows(model, setting.firstRow, setting.lastRow);
    }
}

void composeDataBaseReport(Reporter& reporter, const QSqlQueryModel* model, const PrintSetting& setting,
                           const QMultiHash<QString, QVariant>& dbRequestParameters)
{
    if (!model)
        throw QStringLiteral("Отсутсвуют данных для печати");

    reporter.addDataBaseReportTitle(setting, dbRequestParameters);
    QStringList channels;
    for (const QVariant& channel : dbRequestParameters.values(QStringLiteral("nameChannel")))
        channels << channel.toString();
    const QSqlRecord fields = model->record();
    for (int column = 0; column < fields.count(); ++column) {
        const QString name = fields.fieldName(column);
        if (!channels.contains(name))
            continue;
        reporter.addStatisticsHeader(name);
        reporter.addStatisticsRows(ModelStatistics::queryColumnStatistics(model, column, setting.firstRow,
                                                                          setting.lastRow),
                                   model, column);
    }
    LimitsSection::addToDataBaseReport(reporter, model, setting);
    if (setting.fullReport) {
        checkRowLimit(setting);
        reporter.addRecordTableHeader(model);
        reporter.addRecordRows(model, setting.firstRow, setting.lastRow);
    }
}

} // namespace ReportLayout
