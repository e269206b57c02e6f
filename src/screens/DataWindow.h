#pragma once

#include "screens/QmlBridge.h"
#include "screens/LogChartFeed.h"
#include "database/LogSnapshot.h"
#include "report/PrintSetting.h"
#include "report/ReportRows.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractTableModel;
class QAbstractItemModel;
QT_END_NAMESPACE

namespace QtCharts {
class QAbstractAxis;
class QAbstractSeries;
}

class ColumnLimitsModel;
class ModelLogRecord;
class ModelStatistics;

// Bridge of the data screen: opens and saves log files through dialogs, shows
// the log table with its statistics and charts, drives the database-load
// popup and turns the report panel into print and preview requests.
//
// The views are detached from the log table model before every opening and
// attached again in showModel(); when the opening fails, the model still
// holds the log shown before, and the views are attached to it again, so what
// the screen shows is always what is exported, printed and stored.
class DataWindow : public QmlBridge
{
    Q_OBJECT
public:
    // The dialogs the bridge shows. The product uses the Qt dialogs; tests put
    // in functions of their own. An empty path means "cancelled". A save
    // dialog's filter is "*.<suffix>"; the product's dialog adds the suffix
    // to a name typed without one, and so does the bridge to what it gets.
    struct Dialogs
    {
        std::function<QString(const QString& caption, const QString& dir, const QString& filter)> openFileName;
        std::function<QString(const QString& caption, const QString& dir, const QString& filter)> saveFileName;
        std::function<void(const QString& text)> warning;
        std::function<void(const QString& text)> information;
    };

    DataWindow(QObject* root, ModelLogRecord* model);
    ~DataWindow() override;

    void setDialogs(const Dialogs& dialogs) { m_dialogs = dialogs; }
    static Dialogs systemDialogs();

    ModelStatistics* statisticsModel() const { return m_statistics; }
    ColumnLimitsModel* limitsModel() const { return m_limits; }

    // Row of the log table at which a report period limit lies: 0 for a time
    // not after the first record, the last row for one not before the last
    // record, otherwise the first row not earlier than `time`.
    static int findRow(const QAbstractItemModel* model, const QDateTime& time);
    // The rows of the period begin..end (ReportRows::rowSpan).
    static ReportRows::RowSpan findRows(const QAbstractItemModel* model, const QDateTime& begin, const QDateTime& end);

    // The print request the report panel describes right now.
    PrintSetting printSettingFromPanel() const;

    // The line above the table and the chart that says which log is shown.
    static QString fileCaption(const ModelLogRecord& model);
    // The tooltip of the mark beside the caption: whether the file is as downloaded.
    static QString fileCheckTip(const ModelLogRecord& model);

    // A path from a save dialog with ".<suffix>" added when the name has no suffix.
    static QString withSuffix(const QString& path, const QString& suffix);

signals:
    void openFile(QString pathFile);
    void saveCsv(QString pathFile);
    void saveXlsx(QString pathFile);
    // A copy of the shown log, taken when the user asks: the load in the
    // database thread never reads the model, which a download may refill.
    void writeModelToDataBase(LogSnapshot log, unsigned int idDevice, QString typeDevice);
    void printReport(PrintSetting setting);
    void previewReport(PrintSetting setting);
    // The report the panel describes, to be written as a PDF file at `path`.
    void saveReportAsPdf(PrintSetting setting, QString path);

public slots:
    void onClickButtonOpenFile();
    void onClickButtonSaveAsXlsx();
    void onClickButtonSaveAsCsv();
    void onClickButtonSaveInDB();
    void onClickButtonPrint();
    void onClickButtonPreviewPrint();
    void onClickButtonSaveReportPdf();
    void onClickButtonOpenWindowPrint();
    void showModel();
    void updateSeriesFromModel(QtCharts::QAbstractSeries* series, int numberColumn);
    void updateMinMaxAxisY(QtCharts::QAbstractSeries* series, QtCharts::QAbstractAxis* axis);
    // The chart's visible time range changed: the line of `numberColumn` is
    // refilled for minX..maxX (time axis positions) at `pixelColumns` columns.
    void refillSeries(QtCharts::QAbstractSeries* series, int numberColumn, double minX, double maxX,
                      int pixelColumns);
    // Smallest and largest time of a column's line, as time axis positions:
    // {"min", "max", "count"}; count 0 for a column without values.
    QVariantMap seriesTimeSpan(int numberColumn);
    // The chart's time axis (a category axis) gets its clock labels and keeps
    // them through zooms.
    void keepTimeAxisLabelled(QtCharts::QAbstractAxis* axis);
    void showDownloadToDataBase(float progress);
    // A load into the archive has been committed with `values` new values.
    void showStored(int values);
    void showError(QString err);

private:
    void detachViews();
    void attachViews();
    void setScreenEnabled(bool enabled);
    QStringList checkedSeriesNames() const;
    QString askSavePath(const QString& caption, const QString& suffix) const;

    ModelLogRecord* m_model;
    ModelStatistics* m_statistics;
    ColumnLimitsModel* m_limits;
    LogChartFeed m_chartFeed;
    Dialogs m_dialogs;
    bool m_viewsDetached = false;
    // This screen's own load into the archive is running.
    bool m_loadingToDb = false;
};
