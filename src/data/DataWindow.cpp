#include "data/DataWindow.h"

#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "report/ChartRoutines.h"
#include "report/ReportInteractor.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QJSValue>
#include <QMetaMethod>
#include <QMessageBox>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QXYSeries>

using namespace QtCharts;

namespace {

const QString tableView = QStringLiteral("TableDataFileViewV2");
const QString reportSetup = QStringLiteral("ReportSetup");

QVariant objectVariant(QObject* object)
{
    return QVariant::fromValue(object);
}

// QML hands dates over as QDateTime, QDate or, from a `var`, as a JS value.
QDateTime toDateTime(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toDateTime();
    if (value.userType() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    return value.toDateTime();
}

QDateTime asLocalClock(QDateTime dateTime)
{
    dateTime.setTimeSpec(Qt::LocalTime);
    return dateTime;
}

QAbstractItemModel* toItemModel(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return qobject_cast<QAbstractItemModel*>(value.value<QJSValue>().toQObject());
    return qobject_cast<QAbstractItemModel*>(value.value<QObject*>());
}

} // namespace

DataWindow::DataWindow(QObject* root, ModelLogRecord* model)
    : QmlBridge(root)
    , m_model(model)
    , m_statistics(new ModelStatistics(model, ModelLogRecord::ValueRole, this))
    , m_dialogs(systemDialogs())
{
    // The log copy travels through a queued connection to the database thread.
    qRegisterMetaType<LogSnapshot>("LogSnapshot");
}

DataWindow::~DataWindow() = default;

DataWindow::Dialogs DataWindow::systemDialogs()
{
    Dialogs dialogs;
    dialogs.openFileName = [](const QString& caption, const QString& dir, const QString& filter) {
        return QFileDialog::getOpenFileName(nullptr, caption, dir, filter);
    };
    dialogs.saveFileName = [](const QString& caption, const QString& dir, const QString& filter) {
        QString selected = filter;
        return QFileDialog::getSaveFileName(nullptr, caption, dir, filter, &selected);
    };
    dialogs.warning = [](const QString& text) {
        QMessageBox box(QMessageBox::Warning, QString(), text);
        box.setModal(true);
        box.exec();
    };
    return dialogs;
}

void DataWindow::detachViews()
{
    setObjectProperty(tableView, "model", objectVariant(nullptr));
    setObjectProperty(tableView, "modelStatistics", objectVariant(nullptr));
}

void DataWindow::setScreenEnabled(bool enabled)
{
    for (const char* name : {"DataWindow", "ButtonBase", "ButtonOpenFilesDevice"})
        setObjectProperty(QString::fromLatin1(name), "enabled", enabled);
}

void DataWindow::onClickButtonOpenFile()
{
    const QString path = m_dialogs.openFileName(QString(),
        QCoreApplication::applicationDirPath() + QStringLiteral("/LOG"), tr("*.LOG"));
    if (path.isEmpty())
        return;
    // The device thread refills the model from here on; the views must not read it.
    detachViews();
    emit openFile(path);
}

void DataWindow::onClickButtonSaveAsXlsx()
{
    const QString path = m_dialogs.saveFileName(QStringLiteral("xlsx"), QStringLiteral("*.xlsx"),
                                                QStringLiteral("*.xlsx"));
    if (!path.isEmpty())
        emit saveXlsx(path);
}

void DataWindow::onClickButtonSaveAsCsv()
{
    const QString path = m_dialogs.saveFileName(QStringLiteral("Comma-Separated Values (csv)"),
                                                QStringLiteral("*.csv"), QStringLiteral("*.csv"));
    if (!path.isEmpty())
        emit saveCsv(path);
}

void DataWindow::onClickButtonSaveInDB()
{
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
    setObjectProperty(QStringLiteral("ProcessLoadToDB"), "progressLoadToDB", progress);
    if (progress == 100.0f)
        setScreenEnabled(true);
}

void DataWindow::showModel()
{
    detachViews();
    setObjectProperty(QStringLiteral("DeviceMenu"), "visible", false);
    setObjectProperty(QStringLiteral("DataWindow"), "visible", true);

    QStringList headers;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (m_model->headerData(column, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool())
            headers << m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    m_statistics->setHeaders(headers);

    setObjectProperty(tableView, "modelStatistics", objectVariant(m_statistics));
    setObjectProperty(tableView, "model", objectVariant(m_model));
}

void DataWindow::updateSeriesFromModel(QAbstractSeries* series, int numberColumn)
{
    auto* xySeries = qobject_cast<QXYSeries*>(series);
    if (!xySeries)
        return;
    xySeries->clear();
    const QList<QAbstractAxis*> axes = xySeries->attachedAxes();

    // Filled silently: the chart lays the line out once, when the screen sets
    // the value axis range right after this call. The screen hands over axes
    // ranged 0..1, and float data widened by 0.05 never lands on exactly that,
    // so the range does change and the layout does happen.
    const bool wasBlocked = xySeries->blockSignals(true);
    ChartRoutines::fillSeriesFromColumn(xySeries, m_model, numberColumn, 0, m_model->rowCount() - 1);

    const QString header = m_model->headerData(numberColumn, Qt::Horizontal, Qt::DisplayRole).toString();
    if (!axes.isEmpty()) {
        const QString unit = m_model->headerData(numberColumn, Qt::Horizontal, ModelLogRecord::UnitRole).toString();
        ChartRoutines::styleValueAxis(axes.last(), QStringLiteral("%1,%2").arg(header, unit));
    }
    xySeries->setName(header);
    xySeries->blockSignals(wasBlocked);
}

void DataWindow::updateMinMaxAxisY(QAbstractSeries* series, QAbstractAxis* axis)
{
    ChartRoutines::setValueAxisRange(series, axis);
}

void DataWindow::onClickButtonOpenWindowPrint()
{
    const QDateTime earliest = QDateTime::fromSecsSinceEpoch(946760400, Qt::LocalTime);
    const QDateTime endOfToday(QDate::currentDate(), QTime(23, 59, 59, 999), Qt::LocalTime);
    setObjectProperty(reportSetup, "minDate", earliest);
    setObjectProperty(reportSetup, "currentBeginDate", earliest);
    setObjectProperty(reportSetup, "currentBeginTime", earliest);
    setObjectProperty(reportSetup, "maxDate", endOfToday);
    setObjectProperty(reportSetup, "currentEndDate", endOfToday);
    setObjectProperty(reportSetup, "currentEndTime", endOfToday);

    const QDateTime chartMin = asLocalClock(toDateTime(objectProperty(QStringLiteral("ChartDataFileView"), QStringLiteral("minAxisX"))));
    const QDateTime chartMax = asLocalClock(toDateTime(objectProperty(QStringLiteral("ChartDataFileView"), QStringLiteral("maxAxisX"))));
    setObjectProperty(reportSetup, "currentBeginDate", chartMin);
    setObjectProperty(reportSetup, "currentBeginTime", chartMin);
    setObjectProperty(reportSetup, "currentEndTime", chartMax);
    setObjectProperty(reportSetup, "currentEndDate", chartMax);

    // A file without records has no limits of its own: the defaults stay.
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const QDateTime first = asLocalClock(m_model->index(0, 0).data(ModelLogRecord::ValueRole).toDateTime());
    const QDateTime last = asLocalClock(m_model->index(rows - 1, 0).data(ModelLogRecord::ValueRole).toDateTime());
    setObjectProperty(reportSetup, "maxDate", last);
    setObjectProperty(reportSetup, "minDate", first);
}

int DataWindow::findRow(const QAbstractItemModel* model, const QDateTime& time)
{
    const int rows = model ? model->rowCount() : 0;
    if (rows == 0)
        return 0;
    auto rowTime = [model](int row) {
        return model->index(row, 0).data(ModelLogRecord::ValueRole).toDateTime();
    };
    if (time <= rowTime(0))
        return 0;
    if (time >= rowTime(rows - 1))
        return rows - 1;
    for (int row = 1; row < rows - 1; ++row) {
        if (rowTime(row) >= time)
            return row;
    }
    return rows - 1;
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
        const QDate date = toDateTime(objectProperty(reportSetup, dateProperty)).date();
        const QTime time = toDateTime(objectProperty(reportSetup, timeProperty)).time();
        return QDateTime(date, time, Qt::UTC);
    };

    PrintSetting setting;
    setting.beginDateTime = panelDateTime(QStringLiteral("currentBeginDate"), QStringLiteral("currentBeginTime"));
    setting.endDateTime = panelDateTime(QStringLiteral("currentEndDate"), QStringLiteral("currentEndTime"));
    setting.printChart = objectProperty(reportSetup, QStringLiteral("isPrinting")).toBool();
    setting.generalChart = objectProperty(reportSetup, QStringLiteral("generalChart")).toBool();
    setting.seriesNames = checkedSeriesNames();
    setting.fullReport = !objectProperty(reportSetup, QStringLiteral("sizeReport")).toBool();
    setting.model = m_model;
    setting.firstRow = findRow(m_model, setting.beginDateTime);
    setting.lastRow = findRow(m_model, setting.endDateTime);
    setting.idDevice = m_model->deviceId();
    setting.typeDevice = m_model->deviceName();
    setting.unitRole = ModelLogRecord::UnitRole;
    setting.valueRole = ModelLogRecord::ValueRole;
    setting.columnFlagRole = ModelLogRecord::MeasurementColumnRole;
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
    const QString path = m_dialogs.saveFileName(QStringLiteral("PDF"), QStringLiteral("*.pdf"),
                                                QStringLiteral("*.pdf"));
    if (!path.isEmpty())
        emit saveReportAsPdf(printSettingFromPanel(), ReportInteractor::pdfFileName(path));
}

void DataWindow::showError(QString err)
{
    m_dialogs.warning(err);
}
