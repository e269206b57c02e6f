#include "screens/DataWindow.h"
#include "base/DataLocation.h"

#include "data/CountText.h"

#include "data/ColumnLimitsModel.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "screens/PanelTime.h"
#include "report/ChartRoutines.h"
#include "report/ReportInteractor.h"
#include "report/ReportLayout.h"
#include "report/ReportRows.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QJSValue>
#include <QMetaMethod>
#include <QMessageBox>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QXYSeries>

using namespace QtCharts;

namespace {

const QString tableView = QStringLiteral("TableDataFileViewV2");
const QString reportSetup = QStringLiteral("ReportSetup");
const QString chartView = QStringLiteral("ChartDataFileView");

// Points a line is filled with before the chart has told its width.
constexpr int defaultPixelColumns = 2000;

QVariant objectVariant(QObject* object)
{
    return QVariant::fromValue(object);
}

QAbstractItemModel* toItemModel(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return qobject_cast<QAbstractItemModel*>(value.value<QJSValue>().toQObject());
    return qobject_cast<QAbstractItemModel*>(value.value<QObject*>());
}

// The clock readings of the whole log: smallest and largest, so that a clock
// set back while logging still leaves every record inside.
ChartRoutines::Span logTimeSpan(const ModelLogRecord& model)
{
    ChartRoutines::Span span;
    for (const LogRecord& record : model.records()) {
        const double at = ChartRoutines::clockAxisValue(record.dateTime);
        if (span.isEmpty)
            span = {at, at, false};
        span.min = std::min(span.min, at);
        span.max = std::max(span.max, at);
    }
    return span;
}

} // namespace

DataWindow::DataWindow(QObject* root, ModelLogRecord* model)
    : QmlBridge(root)
    , m_model(model)
    , m_statistics(new ModelStatistics(model, ModelLogRecord::ValueRole, this))
    , m_limits(new ColumnLimitsModel(this))
    , m_chartFeed(model)
    , m_dialogs(systemDialogs())
{
    // The log copy travels through a queued connection to the database thread.
    qRegisterMetaType<LogSnapshot>("LogSnapshot");
    connect(model, &QAbstractItemModel::modelReset, this, [this] { m_chartFeed.reset(); });
}

DataWindow::~DataWindow() = default;

DataWindow::Dialogs DataWindow::systemDialogs()
{
    Dialogs dialogs;
    dialogs.openFileName = [](const QString& caption, const QString& dir, const QString& filter) {
        return QFileDialog::getOpenFileName(nullptr, caption, dir, filter);
    };
    dialogs.saveFileName = [](const QString& caption, const QString& dir, const QString& filter) {
        // A dialog of our own, so that it adds the suffix itself and asks
        // about overwriting the file that will really be written.
        QFileDialog dialog(nullptr, caption, dir, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QString(filter).remove(QStringLiteral("*.")));
        dialog.selectNameFilter(filter);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    dialogs.warning = [](const QString& text) {
        QMessageBox box(QMessageBox::Warning, QString(), text);
        box.setModal(true);
        box.exec();
    };
    // A report of what was done, not a question: it does not hold up the
    // screen behind it, and goes away with its button.
    dialogs.information = [](const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Information, QString(), text);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    return dialogs;
}

QString DataWindow::withSuffix(const QString& path, const QString& suffix)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + suffix;
}

QString DataWindow::askSavePath(const QString& caption, const QString& suffix) const
{
    const QString pattern = QStringLiteral("*.") + suffix;
    return withSuffix(m_dialogs.saveFileName(caption, pattern, pattern), suffix);
}

void DataWindow::detachViews()
{
    setObjectProperty(tableView, "model", objectVariant(nullptr));
    setObjectProperty(tableView, "modelStatistics", objectVariant(nullptr));
    m_viewsDetached = true;
}

void DataWindow::attachViews()
{
    QStringList headers;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (m_model->headerData(column, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool())
            headers << m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    m_statistics->setHeaders(headers);
    m_chartFeed.reset();
    // The limits come with the log, from its download record; a record that
    // is there but unreadable is said beside the panel, the log still shows.
    QString recordProblem;
    m_limits->showLog(*m_model, &recordProblem);
    setObjectProperty(QStringLiteral("LimitsPanel"), "note", recordProblem);
    setObjectProperty(QStringLiteral("LimitsPanel"), "limitsModel", objectVariant(m_limits));

    setObjectProperty(QStringLiteral("DataFileCaption"), "text", fileCaption(*m_model));
    const bool fromFile = !m_model->fileName().isEmpty();
    setObjectProperty(QStringLiteral("DataFileCaption"), "checkText",
                      fromFile ? DownloadRecord::checkText(m_model->downloadCheck()) : QString());
    setObjectProperty(QStringLiteral("DataFileCaption"), "checkState", fromFile ? int(m_model->downloadCheck()) : -1);
    setObjectProperty(QStringLiteral("DataFileCaption"), "checkTip", fileCheckTip(*m_model));
    setObjectProperty(tableView, "modelStatistics", objectVariant(m_statistics));
    setObjectProperty(tableView, "model", objectVariant(m_model));
    m_viewsDetached = false;
}

void DataWindow::setScreenEnabled(bool enabled)
{
    for (const char* name : {"DataWindow", "ButtonBase", "ButtonOpenFilesDevice"})
        setObjectProperty(QString::fromLatin1(name), "enabled", enabled);
}

void DataWindow::onClickButtonOpenFile()
{
    const QString path = m_dialogs.openFileName(QString(),
        DataLocation::dataDir() + QStringLiteral("/LOG"), tr("*.LOG"));
    if (path.isEmpty())
        return;
    // The model is refilled from here on; the views let go of it until it is shown.
    detachViews();
    emit openFile(path);
}

void DataWindow::onClickButtonSaveAsXlsx()
{
    const QString path = askSavePath(QStringLiteral("xlsx"), QStringLiteral("xlsx"));
    if (!path.isEmpty())
        emit saveXlsx(path);
}

void DataWindow::onClickButtonSaveAsCsv()
{
    const QString path = askSavePath(QStringLiteral("Comma-Separated Values (csv)"), QStringLiteral("csv"));
    if (!path.isEmpty())
        emit saveCsv(path);
}

void DataWindow::onClickButtonSaveInDB()
{
    m_loadingToDb = true;
    // Without a database behind the signal no progress would ever arrive and the
    // screen would stay locked: say so and leave everything usable.
    static const QMetaMethod writeSignal = QMetaMethod::fromSignal(&DataWindow::writeModelToDataBase);
    if (!isSignalConnected(writeSignal)) {
        showDownloadToDataBase(100.0f);
        showError(QStringLiteral("База данных недоступна"));
        return;
    }
    emit writeModelToDataBase(LogSnapshot::fromModel(m_model, ModelLogRecord::MeasurementColumnRole,
                                                     ModelLogRecord::ValueRole, ModelLogRecord::UnitRole),
                              m_model->deviceId(), m_model->deviceName());
    // Nothing else may start until the load reports exactly 100 %.
    setScreenEnabled(false);
}

void DataWindow::showDownloadToDataBase(float progress)
{
    // The device page's collecting stores through the same archive; its
    // progress is not this screen's to show.
    if (!m_loadingToDb)
        return;
    setObjectProperty(QStringLiteral("ProcessLoadToDB"), "progressLoadToDB", progress);
    if (progress == 100.0f) {
        m_loadingToDb = false;
        setScreenEnabled(true);
    }
}

void DataWindow::showStored(int values)
{
    if (m_dialogs.information)
        m_dialogs.information(values == 0 ? QStringLiteral("Все значения уже есть в базе данных")
                                          : QStringLiteral("Сохранено %1").arg(valuesText(values)));
}

void DataWindow::showModel()
{
    detachViews();
    setObjectProperty(QStringLiteral("DeviceMenu"), "visible", false);
    setObjectProperty(QStringLiteral("DataWindow"), "visible", true);
    attachViews();
}

QString DataWindow::fileCheckTip(const ModelLogRecord& model)
{
    if (model.fileName().isEmpty())
        return QString();
    switch (model.downloadCheck()) {
    case DownloadRecord::Check::Matches:
        return QStringLiteral("Файл совпадает с загруженным с прибора: его SHA-256 равен записанному при загрузке");
    case DownloadRecord::Check::Changed:
        return QStringLiteral("Файл изменён после загрузки: его SHA-256 не равен записанному при загрузке");
    case DownloadRecord::Check::NoRecord:
        break;
    }
    return QStringLiteral("Рядом с файлом нет записи о загрузке (%1.json) или она повреждена: "
                          "нельзя проверить, что файл не менялся")
        .arg(model.fileName());
}

QString DataWindow::fileCaption(const ModelLogRecord& model)
{
    QStringList parts;
    if (!model.fileName().isEmpty())
        parts << QStringLiteral("Файл: %1").arg(model.fileName());
    parts << QStringLiteral("%1, ID: %2").arg(model.deviceName()).arg(model.deviceId());
    const QVector<LogRecord>& records = model.records();
    if (!records.isEmpty())
        parts << QStringLiteral("с %1 по %2")
                     .arg(ModelLogRecord::dateTimeText(records.constFirst().dateTime),
                          ModelLogRecord::dateTimeText(records.constLast().dateTime));
    parts << QStringLiteral("записей: %1").arg(records.size());
    return parts.join(QStringLiteral("   |   "));
}

void DataWindow::updateSeriesFromModel(QAbstractSeries* series, int numberColumn)
{
    auto* xySeries = qobject_cast<QXYSeries*>(series);
    if (!xySeries)
        return;
    const QList<QAbstractAxis*> axes = xySeries->attachedAxes();

    // Filled silently: the chart lays the line out once, when the screen sets
    // the value axis range right after this call. The screen hands over axes
    // ranged 0..1, and float data widened by 0.05 never lands on exactly that,
    // so the range does change and the layout does happen. Thinning keeps each
    // pixel column's lowest and highest point, so that range is the line's own.
    const bool wasBlocked = xySeries->blockSignals(true);
    m_chartFeed.fillWhole(xySeries, numberColumn, defaultPixelColumns);

    const QString header = m_model->headerData(numberColumn, Qt::Horizontal, Qt::DisplayRole).toString();
    if (!axes.isEmpty()) {
        const QString unit = m_model->headerData(numberColumn, Qt::Horizontal, ModelLogRecord::UnitRole).toString();
        ChartRoutines::styleValueAxis(axes.last(), QStringLiteral("%1,%2").arg(header, unit));
    }
    xySeries->setName(header);
    xySeries->blockSignals(wasBlocked);
}

void DataWindow::refillSeries(QAbstractSeries* series, int numberColumn, double minX, double maxX, int pixelColumns)
{
    m_chartFeed.fill(qobject_cast<QXYSeries*>(series), numberColumn, minX, maxX, pixelColumns);
}

QVariantMap DataWindow::seriesTimeSpan(int numberColumn)
{
    const ChartRoutines::Span span = m_chartFeed.span(numberColumn);
    return {{QStringLiteral("min"), span.min},
            {QStringLiteral("max"), span.max},
            {QStringLiteral("count"), m_chartFeed.points(numberColumn).size()}};
}

void DataWindow::keepTimeAxisLabelled(QAbstractAxis* axis)
{
    ChartRoutines::keepTimeAxisLabelled(qobject_cast<QCategoryAxis*>(axis));
}

void DataWindow::updateMinMaxAxisY(QAbstractSeries* series, QAbstractAxis* axis)
{
    ChartRoutines::setValueAxisRange(series, axis);
}

void DataWindow::onClickButtonOpenWindowPrint()
{
    // The limits go in before the period, so that the date fields never hold
    // a period outside their limits, not even for a moment.
    const ChartRoutines::Span span = logTimeSpan(*m_model);
    if (span.isEmpty) {
        // A file without records has no limits of its own.
        const QDateTime earliest = QDateTime::fromSecsSinceEpoch(946760400, Qt::LocalTime);
        const QDateTime endOfToday(QDate::currentDate(), QTime(23, 59, 59, 999), Qt::LocalTime);
        setObjectProperty(reportSetup, "minDate", earliest);
        setObjectProperty(reportSetup, "maxDate", endOfToday);
        setObjectProperty(reportSetup, "currentBeginDate", earliest);
        setObjectProperty(reportSetup, "currentBeginTime", earliest);
        setObjectProperty(reportSetup, "currentEndDate", endOfToday);
        setObjectProperty(reportSetup, "currentEndTime", endOfToday);
        return;
    }
    const QDateTime first = ChartRoutines::clockFromAxisValue(span.min);
    const QDateTime last = ChartRoutines::clockFromAxisValue(span.max);
    // A limit the local clock skips is moved outwards, so it never cuts a record off.
    setObjectProperty(reportSetup, "minDate", ChartRoutines::localWallClock(first, ChartRoutines::GapSide::Earlier));
    setObjectProperty(reportSetup, "maxDate", ChartRoutines::localWallClock(last, ChartRoutines::GapSide::Later));

    // The period is the range the chart shows, within the log.
    QDateTime begin = PanelTime::clockOf(objectProperty(chartView, QStringLiteral("minAxisX")));
    QDateTime end = PanelTime::clockOf(objectProperty(chartView, QStringLiteral("maxAxisX")));
    if (!begin.isValid() || begin < first || begin > last)
        begin = first;
    if (!end.isValid() || end > last || end < begin)
        end = last;
    setObjectProperty(reportSetup, "currentBeginDate", PanelTime::dayField(begin));
    setObjectProperty(reportSetup, "currentBeginTime", PanelTime::timeField(begin));
    setObjectProperty(reportSetup, "currentEndDate", PanelTime::dayField(end));
    setObjectProperty(reportSetup, "currentEndTime", PanelTime::timeField(end));
}

int DataWindow::findRow(const QAbstractItemModel* model, const QDateTime& time)
{
    return ReportRows::logRowAtOrAfter(model, time);
}

ReportRows::RowSpan DataWindow::findRows(const QAbstractItemModel* model, const QDateTime& begin,
                                         const QDateTime& end)
{
    return ReportRows::logRows(model, begin, end);
}

QStringList DataWindow::checkedSeriesNames() const
{
    QStringList names;
    const QAbstractItemModel* list = toItemModel(objectProperty(reportSetup, QStringLiteral("model")));
    if (!list)
        return names;
    const QHash<int, QByteArray> roles = list->roleNames();
    const int nameRole = roles.key("name", -1);
    const int checkedRole = roles.key("checkBoxValue", -1);
    if (nameRole < 0 || checkedRole < 0)
        return names;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QModelIndex index = list->index(row, 0);
        if (index.data(checkedRole).toBool())
            names << index.data(nameRole).toString();
    }
    return names;
}

PrintSetting DataWindow::printSettingFromPanel() const
{
    auto panelDateTime = [this](const QString& dateProperty, const QString& timeProperty) {
        return PanelTime::fromFields(objectProperty(reportSetup, dateProperty),
                                     objectProperty(reportSetup, timeProperty));
    };

    PrintSetting setting;
    setting.beginDateTime = panelDateTime(QStringLiteral("currentBeginDate"), QStringLiteral("currentBeginTime"));
    setting.endDateTime = panelDateTime(QStringLiteral("currentEndDate"), QStringLiteral("currentEndTime"));
    setting.printChart = objectProperty(reportSetup, QStringLiteral("isPrinting")).toBool();
    setting.generalChart = objectProperty(reportSetup, QStringLiteral("generalChart")).toBool();
    setting.seriesNames = checkedSeriesNames();
    setting.fullReport = !objectProperty(reportSetup, QStringLiteral("sizeReport")).toBool();
    setting.model = m_model;
    const ReportRows::RowSpan rows = findRows(m_model, setting.beginDateTime, setting.endDateTime);
    setting.firstRow = rows.first;
    setting.lastRow = rows.last;
    setting.idDevice = m_model->deviceId();
    setting.typeDevice = m_model->deviceName();
    setting.unitRole = ModelLogRecord::UnitRole;
    setting.valueRole = ModelLogRecord::ValueRole;
    setting.columnFlagRole = ModelLogRecord::MeasurementColumnRole;
    setting.limits = m_limits->limitSet();
    return setting;
}

void DataWindow::onClickButtonPrint()
{
    emit printReport(printSettingFromPanel());
}

void DataWindow::onClickButtonPreviewPrint()
{
    emit previewReport(printSettingFromPanel());
}

void DataWindow::onClickButtonSaveReportPdf()
{
    const PrintSetting setting = printSettingFromPanel();
    // A report that cannot be made is refused before the user names its file.
    try {
        ReportLayout::checkPrintable(setting, m_model->rowCount());
    } catch (const QString& reason) {
        m_dialogs.warning(reason);
        return;
    }
    const QString path = m_dialogs.saveFileName(QStringLiteral("PDF"), QStringLiteral("*.pdf"),
                                                QStringLiteral("*.pdf"));
    if (!path.isEmpty())
        emit saveReportAsPdf(setting, ReportInteractor::pdfFileName(path));
}

void DataWindow::showError(QString err)
{
    // A failed opening leaves the model as it was: show that log again, so the
    // screen never looks empty while exports and reports still see data.
    if (m_viewsDetached && m_model->columnCount() > 0)
        attachViews();
    m_dialogs.warning(err);
}
