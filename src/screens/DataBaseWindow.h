#pragma once

#include "screens/QmlBridge.h"
#include "screens/SelectionChartFeed.h"
#include "report/PrintSetting.h"
#include "report/ReportRows.h"

#include <QDateTime>
#include <QList>
#include <QMultiHash>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QSqlQueryModel;
QT_END_NAMESPACE

namespace QtCharts {
class QAbstractAxis;
class QAbstractSeries;
}

class ColumnLimitsModel;
class DataBaseFilters;
class ModelStatistics;

// Bridge of the database screen: hands the filter lists and the period to the
// page, turns the chosen filters into a selection request, shows the selection
// as a table with statistics and as a chart, and forwards exports, reports and
// deletes of selected rows.
//
// The selection and the filter lists are query models of the database thread,
// which refills them there. The views are let go of them before every request
// that refills them and get them back only when the answer has arrived, so
// nothing here reads a model while it changes. While a request is under way
// the screen waits: busy cursor, buttons and table disabled.
class DataBaseWindow : public QmlBridge
{
    Q_OBJECT
public:
    // The dialogs the bridge shows. The product uses the Qt dialogs; tests put
    // in functions of their own. An empty path means "cancelled".
    struct Dialogs
    {
        std::function<QString(const QString& caption, const QString& dir, const QString& filter)> saveFileName;
        std::function<void(const QString& text)> warning;
        // A yes/no question; true for "Да".
        std::function<bool(const QString& text)> question;
        std::function<void(const QString& text)> information;
    };

    DataBaseWindow(QObject* root, QSqlQueryModel* model);
    ~DataBaseWindow() override;

    void setDialogs(const Dialogs& dialogs) { m_dialogs = dialogs; }
    static Dialogs systemDialogs();

    ModelStatistics* statisticsModel() const { return m_statistics; }
    // The Пределы panel: limits the user typed for the selection's channels.
    ColumnLimitsModel* limitsModel() const { return m_limits; }
    // The parameters of the last selection request.
    QMultiHash<QString, QVariant> filters() const { return m_filters; }
    QList<int> selectedRows() const { return m_selectedRows; }
    // A request is under way (busy cursor, buttons disabled).
    bool isWaiting() const { return m_waiting; }

    // Row of a selection at which a report period limit lies, found on the
    // time stamp texts of its first column ("dd.MM.yyyy hh:mm:ss", the
    // instrument's clock): 0 for a time not after the first row's, the last
    // row for one not before the last row's, else the first row not earlier.
    static int findRow(const QAbstractItemModel* model, const QDateTime& clock);
    // The rows of the period begin..end (ReportRows::rowSpan).
    static ReportRows::RowSpan findRows(const QAbstractItemModel* model, const QDateTime& begin, const QDateTime& end);

    // Lets the views go of the selection and the lists for good (the
    // database thread is about to end).
    void releaseModels();

    // The report request the chart's range and the report panel describe now.
    PrintSetting printSettingFromScreen() const;
    // For the report panel: the period a report would cover now.
    Q_INVOKABLE QString reportPeriodText() const;

signals:
    void setDBFiltr(QMultiHash<QString, QVariant> filters);
    void saveCsvFromModel(QString pathFile, QSqlQueryModel* model);
    void saveXlsxFromModel(QString pathFile, QSqlQueryModel* model);
    void printReportFromDB(QSqlQueryModel* model, PrintSetting setting, QMultiHash<QString, QVariant> filters);
    void previewReportFromDB(QSqlQueryModel* model, PrintSetting setting, QMultiHash<QString, QVariant> filters);
    void deleteDataDB(QList<int> rows, QMultiHash<QString, QVariant> filters);
    // The report of the selection, to be written as a PDF file at `path`.
    void saveReportPdfFromDB(QSqlQueryModel* model, PrintSetting setting, QMultiHash<QString, QVariant> filters,
                             QString path);
    // The filter lists are to be read again (the menu's database button).
    void loadFiltersDB();

public slots:
    void showTableDB();
    void updateModel();
    void showFiltersDB(DataBaseFilters* dataBaseFilters);
    // The chart's lines of the column `role`: [{"key", "name"}], one per unit
    // where the column holds values of several units (SelectionChartFeed).
    Q_INVOKABLE QVariantList chartLines(QByteArray role);
    // Fills the series of the line `key` (a key of chartLines(), or a role)
    // and names it and its value axis.
    void updateSeries(QtCharts::QAbstractSeries* series, QByteArray key);
    void updateMinMaxAxisY(QtCharts::QAbstractSeries* series, QtCharts::QAbstractAxis* axis);
    // The chart's visible time range changed: the line `key` is refilled for
    // minX..maxX (time axis positions) at `pixelColumns` columns.
    void refillSeries(QtCharts::QAbstractSeries* series, QByteArray key, double minX, double maxX,
                      int pixelColumns);
    // Smallest and largest time of a line, as time axis positions:
    // {"min", "max", "count"}; count 0 for a line without values.
    QVariantMap seriesTimeSpan(QByteArray key);
    // The chart's time axis (a category axis) gets its clock labels and keeps
    // them through zooms.
    void keepTimeAxisLabelled(QtCharts::QAbstractAxis* axis);
    void onClickButtonSaveDBAsXlsx();
    void onClickButtonSaveDBAsCsv();
    void onClickButtonPrintReportDB();
    void onClickButtonPreviewReportDB();
    void onClickButtonSaveReportPdfDB();
    void onSelectedTableDb(QVariant selectedItems);
    void onClickButtonDeleteItems();
    void showError(QString err);
    // A delete has been committed: how many values went.
    void showDeleted(int values);

    // The file interactor has finished an export this screen asked for.
    void exportFinished();
    // The menu's database button: the views let go of the lists, then the
    // request to read them leaves (loadFiltersDB).
    void filtersRequested();
    // A reading of the lists (the menu's or a delete's) has been answered,
    // with the lists or with an error: the archive no longer refills them
    // for it. Queued behind the reading in the database thread.
    void filterListsSettled();

private:
    void beginWaiting();
    void endWaiting();
    void detachTable();
    // The views get the selection (again); its statistics are computed already.
    void attachTable();
    void detachFilterLists();
    void attachFilterLists();
    void showPeriod(const QDateTime& begin, const QDateTime& end, const QDateTime& min, const QDateTime& max);
    QStringList statisticsColumns() const;
    // Values (filled cells of the channel columns) in these rows of the selection.
    int valuesInRows(const QList<int>& rows) const;
    void showLimits();
    void exportSelection(const QString& caption, const QString& suffix,
                         void (DataBaseWindow::*request)(QString, QSqlQueryModel*));

    QSqlQueryModel* m_model;
    DataBaseFilters* m_filterBundle = nullptr;
    ModelStatistics* m_statistics;
    ColumnLimitsModel* m_limits;
    QMultiHash<QString, QVariant> m_filters;
    QDateTime m_periodBegin;
    QDateTime m_periodEnd;
    QList<int> m_selectedRows;
    SelectionChartFeed m_chartFeed;
    Dialogs m_dialogs;
    bool m_waiting = false;
    // The views hold the selection; its row count when it was shown.
    bool m_tableShown = false;
    int m_shownRows = 0;
    // Requests under way whose answer refills a model the views must let go of.
    int m_selectionsPending = 0;
    int m_filterListsPending = 0;
    // Lists have arrived since the readings under way began.
    bool m_filterListsArrived = false;
    int m_exportsPending = 0;
    // "Применить фильтр" was pressed while the lists or an export were busy.
    bool m_filterQueued = false;
};
