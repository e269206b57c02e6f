// The database screen's chart, and the reports of the range it shows.
#include "screens/DataBaseWindow.h"

#include "data/ColumnLimitsModel.h"
#include "screens/PanelTime.h"
#include "database/LogLoader.h"
#include "report/ChartRoutines.h"
#include "report/ReportInteractor.h"
#include "report/ReportLayout.h"

#include <QSqlQueryModel>

#include <limits>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QXYSeries>

using namespace QtCharts;

namespace {

const QString chartView = QStringLiteral("ChartDataBaseView");
const QString reportPanel = QStringLiteral("PrintReportDBWindow");

// Lines are first filled for this many pixel columns; the chart refills them
// for its real width (refillSeries).
constexpr int defaultPixelColumns = 2000;

} // namespace

QVariantList DataBaseWindow::chartLines(QByteArray role)
{
    QVariantList lines;
    if (!m_tableShown)
        return {QVariantMap{{QStringLiteral("key"), QString::fromUtf8(role)}, {QStringLiteral("name"), QString::fromUtf8(role)}}};
    for (const SelectionChartFeed::ColumnLine& line : m_chartFeed.lines(role))
        lines << QVariantMap{{QStringLiteral("key"), QString::fromUtf8(line.key)}, {QStringLiteral("name"), line.name}};
    return lines;
}

void DataBaseWindow::updateSeries(QAbstractSeries* series, QByteArray key)
{
    auto* xySeries = qobject_cast<QXYSeries*>(series);
    if (!xySeries)
        return;
    const bool wasBlocked = xySeries->blockSignals(true);
    // While a request refills the selection, it must not be read.
    SelectionChartFeed::ColumnLine named{key, QString::fromUtf8(key), QString::fromUtf8(key)};
    if (m_tableShown) {
        m_chartFeed.fillWhole(xySeries, key, defaultPixelColumns);
        named = m_chartFeed.named(key);
    } else {
        xySeries->clear();
    }
    const QList<QAbstractAxis*> axes = xySeries->attachedAxes();
    if (!axes.isEmpty()) {
        axes.last()->setTitleText(named.axisTitle);
        ChartRoutines::styleValueAxisUntitled(axes.last());
    }
    xySeries->setName(named.name);
    xySeries->blockSignals(wasBlocked);
}

void DataBaseWindow::refillSeries(QAbstractSeries* series, QByteArray key, double minX, double maxX,
                                  int pixelColumns)
{
    if (m_tableShown)
        m_chartFeed.fill(qobject_cast<QXYSeries*>(series), key, minX, maxX, pixelColumns);
}

QVariantMap DataBaseWindow::seriesTimeSpan(QByteArray key)
{
    const ChartRoutines::Span span = m_tableShown ? m_chartFeed.span(key) : ChartRoutines::Span();
    return {{QStringLiteral("min"), span.min},
            {QStringLiteral("max"), span.max},
            {QStringLiteral("count"), m_tableShown ? m_chartFeed.points(key).size() : 0}};
}

void DataBaseWindow::keepTimeAxisLabelled(QAbstractAxis* axis)
{
    ChartRoutines::keepTimeAxisLabelled(qobject_cast<QCategoryAxis*>(axis));
}

void DataBaseWindow::updateMinMaxAxisY(QAbstractSeries* series, QAbstractAxis* axis)
{
    ChartRoutines::setValueAxisRange(series, axis);
}

int DataBaseWindow::findRow(const QAbstractItemModel* model, const QDateTime& clock)
{
    // The selection holds its times as text; they are compared as clock readings.
    const qint64 time = QDateTime(clock.date(), clock.time(), Qt::UTC).toSecsSinceEpoch();
    return PanelTime::rowAtOrAfter(model ? model->rowCount() : 0, time, [model](int row) {
        return LogLoader::secondsFromText(model->index(row, 0).data().toString());
    });
}

ReportRows::RowSpan DataBaseWindow::findRows(const QAbstractItemModel* model, const QDateTime& begin,
                                            const QDateTime& end)
{
    // A limit not given leaves that side open.
    auto seconds = [](const QDateTime& clock, qint64 open) {
        return clock.isValid() ? QDateTime(clock.date(), clock.time(), Qt::UTC).toSecsSinceEpoch() : open;
    };
    return ReportRows::rowSpan(model ? model->rowCount() : 0, seconds(begin, std::numeric_limits<qint64>::min()),
                              seconds(end, std::numeric_limits<qint64>::max()), [model](int row) {
        return LogLoader::secondsFromText(model->index(row, 0).data().toString());
    });
}

PrintSetting DataBaseWindow::printSettingFromScreen() const
{
    PrintSetting setting;
    setting.beginDateTime = PanelTime::clockOf(objectProperty(chartView, QStringLiteral("minAxisX")));
    setting.endDateTime = PanelTime::clockOf(objectProperty(chartView, QStringLiteral("maxAxisX")));
    const ReportRows::RowSpan span = findRows(m_tableShown ? m_model : nullptr, setting.beginDateTime,
                                             setting.endDateTime);
    setting.firstRow = span.first;
    setting.lastRow = span.last;
    setting.printChart = objectProperty(reportPanel, QStringLiteral("isPrintChart")).toBool();
    setting.generalChart = objectProperty(reportPanel, QStringLiteral("isGeneralChart")).toBool();
    setting.fullReport = !objectProperty(reportPanel, QStringLiteral("isShortReport")).toBool();
    setting.limits = m_limits->limitSet();
    return setting;
}

QString DataBaseWindow::reportPeriodText() const
{
    const PrintSetting setting = printSettingFromScreen();
    const int rows = m_tableShown ? m_model->rowCount() : 0;
    if (rows == 0 || setting.firstRow > setting.lastRow)
        return QStringLiteral("На графике нет записей: отчёт не из чего составить");
    const QString format = QStringLiteral("dd.MM.yyyy hh:mm:ss");
    return QStringLiteral("Период отчёта (видимая часть графика):\nс %1 по %2, записей: %3")
        .arg(setting.beginDateTime.toString(format), setting.endDateTime.toString(format))
        .arg(setting.lastRow - setting.firstRow + 1);
}

void DataBaseWindow::onClickButtonPrintReportDB()
{
    if (m_tableShown && !m_waiting)
        emit printReportFromDB(m_model, printSettingFromScreen(), m_filters);
}

void DataBaseWindow::onClickButtonPreviewReportDB()
{
    if (m_tableShown && !m_waiting)
        emit previewReportFromDB(m_model, printSettingFromScreen(), m_filters);
}

void DataBaseWindow::onClickButtonSaveReportPdfDB()
{
    if (!m_tableShown || m_waiting)
        return;
    const PrintSetting setting = printSettingFromScreen();
    // A report that cannot be made is refused before the user names its file.
    try {
        ReportLayout::checkPrintable(setting, m_model->rowCount());
    } catch (const QString& reason) {
        m_dialogs.warning(reason);
        return;
    }
    const QString path = m_dialogs.saveFileName(QStringLiteral("PDF"), QStringLiteral("*.pdf"), QStringLiteral("*.pdf"));
    if (!path.isEmpty())
        emit saveReportPdfFromDB(m_model, setting, m_filters, ReportInteractor::pdfFileName(path));
}
