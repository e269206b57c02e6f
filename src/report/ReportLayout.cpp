#include "report/ReportLayout.h"

#include "data/ModelStatistics.h"
#include "report/LimitsSection.h"
#include "report/PrintSetting.h"
#include "report/ProvenanceBlock.h"
#include "report/Reporter.h"

#include <QAbstractTableModel>
#include <QSqlQueryModel>
#include <QSqlRecord>

namespace ReportLayout {

namespace {

const QString nothingToPrint = QStringLiteral("Отсутсвуют данных для печати");

QString emptyPeriodText()
{
    return nothingToPrint + QStringLiteral(": в выбранном периоде нет записей");
}

} // namespace

void checkRowLimit(const PrintSetting& setting)
{
    if (!setting.fullReport)
        return;
    const int span = setting.lastRow - setting.firstRow;
    if (span > maxRowSpan)
        throw QStringLiteral("Слишком много данных для печати: в полном отчёте может быть не более %1 строки, "
                             "в выбранном периоде их %2. Выберите краткий отчёт или период короче")
            .arg(maxRowSpan + 1)
            .arg(span + 1);
    if (span < 0)
        throw emptyPeriodText();
}

void checkPeriodHasRows(const PrintSetting& setting, int rows)
{
    if (rows <= 0 || setting.firstRow > setting.lastRow || setting.firstRow >= rows || setting.lastRow < 0)
        throw emptyPeriodText();
}

void checkPrintable(const PrintSetting& setting, int rows)
{
    checkPeriodHasRows(setting, rows);
    checkRowLimit(setting);
}

void composeLogReport(Reporter& reporter, const PrintSetting& setting)
{
    const QAbstractTableModel* model = setting.model;
    if (!model)
        throw nothingToPrint;
    checkPeriodHasRows(setting, model->rowCount());

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
    ProvenanceBlock::addForLog(reporter, model);
    if (setting.fullReport) {
        reporter.addRecordTableHeader(model);
        reporter.addRecordRows(model, setting.firstRow, setting.lastRow);
    }
}

void composeDataBaseReport(Reporter& reporter, const QSqlQueryModel* model, const PrintSetting& setting,
                           const QMultiHash<QString, QVariant>& dbRequestParameters)
{
    if (!model)
        throw nothingToPrint;
    checkPeriodHasRows(setting, model->rowCount());

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
    ProvenanceBlock::addForDatabase(reporter, model);
    if (setting.fullReport) {
        checkRowLimit(setting);
        reporter.addRecordTableHeader(model);
        reporter.addRecordRows(model, setting.firstRow, setting.lastRow);
    }
}

} // namespace ReportLayout
