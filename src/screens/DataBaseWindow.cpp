#include "screens/DataBaseWindow.h"

#include "data/CountText.h"
#include "screens/DataWindow.h"
#include "data/ColumnLimitsModel.h"
#include "data/ModelStatistics.h"
#include "screens/PanelTime.h"
#include "database/DataBaseFilters.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"
#include "report/ChartRoutines.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QJSValue>
#include <QMessageBox>
#include <QPushButton>
#include <QMetaMethod>
#include <QSet>
#include <QSqlQueryModel>
#include <QSqlRecord>

namespace {

const QString periodPicker = QStringLiteral("PeriodDataBase");
const QString tableView = QStringLiteral("TableDB");
const QString buttons = QStringLiteral("ItemButtonsDB");
const QStringList filterLists = {QStringLiteral("FilterTypeChannel"), QStringLiteral("FilterTypeUnit"),
                                 QStringLiteral("FilterDevice")};

QVariant objectVariant(QObject* object)
{
    return QVariant::fromValue(object);
}

QList<int> rowNumbers(const QVariant& selectedItems)
{
    const QVariant items = selectedItems.userType() == qMetaTypeId<QJSValue>()
        ? selectedItems.value<QJSValue>().toVariant() : selectedItems;
    // A whole table may be selected: tens of thousands of rows.
    QList<int> rows;
    QSet<int> seen;
    for (const QVariant& item : items.toList()) {
        bool ok = false;
        const int row = item.toInt(&ok);
        if (ok && row >= 0 && !seen.contains(row)) {
            seen.insert(row);
            rows << row;
        }
    }
    return rows;
}

} // namespace

DataBaseWindow::DataBaseWindow(QObject* root, QSqlQueryModel* model)
    : QmlBridge(root)
    , m_model(model)
    , m_statistics(new ModelStatistics(model, this))
    , m_limits(new ColumnLimitsModel(this))
    , m_chartFeed(model)
    , m_dialogs(systemDialogs())
{
}

DataBaseWindow::~DataBaseWindow()
{
    if (m_waiting)
        QGuiApplication::restoreOverrideCursor();
}

DataBaseWindow::Dialogs DataBaseWindow::systemDialogs()
{
    Dialogs dialogs;
    // The data screen's: it adds the suffix and asks before overwriting.
    dialogs.saveFileName = DataWindow::systemDialogs().saveFileName;
    dialogs.warning = [](const QString& text) {
        QMessageBox box(QMessageBox::Warning, QString(), text);
        box.setModal(true);
        box.exec();
    };
    dialogs.question = [](const QString& text) {
        QMessageBox box(QMessageBox::Question, QString(), text);
        QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        box.setDefaultButton(box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole));
        box.exec();
        return box.clickedButton() == yes;
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

void DataBaseWindow::beginWaiting()
{
    if (!m_waiting)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_waiting = true;
    setObjectProperty(buttons, "enabled", false);
    setObjectProperty(tableView, "enabled", false);
}

void DataBaseWindow::endWaiting()
{
    // The busy cursor was pushed once; popping it leaves every item its own
    // cursor again (an arrow override would hide the text cursor everywhere).
    if (m_waiting)
        QGuiApplication::restoreOverrideCursor();
    m_waiting = false;
    setObjectProperty(buttons, "enabled", true);
    setObjectProperty(tableView, "enabled", true);
}

void DataBaseWindow::detachTable()
{
    setObjectProperty(tableView, "model", objectVariant(nullptr));
    setObjectProperty(tableView, "modelStatistics", objectVariant(nullptr));
    m_tableShown = false;
    // Row numbers of a table that is gone must never reach a delete.
    m_selectedRows.clear();
    m_chartFeed.reset();
}

void DataBaseWindow::detachFilterLists()
{
    ++m_filterListsPending;
    for (const QString& list : filterLists)
        setObjectProperty(list, "model", objectVariant(nullptr));
}

void DataBaseWindow::attachFilterLists()
{
    for (const QString& list : filterLists)
        setObjectProperty(list, "model", objectVariant(nullptr));

    // A first visit always has an instrument chosen; so does a visit after the
    // ticked one was deleted.
    ModelDeviceList* devices = m_filterBundle->modelDevice();
    devices->pruneTicks();
    if (devices->tickedItems().isEmpty() && devices->rowCount() > 0)
        devices->setTickStatus(devices->index(0, 0).data().toInt(), true);

    setObjectProperty(filterLists.at(0), "model", objectVariant(m_filterBundle->modelTypeChannel()));
    setObjectProperty(filterLists.at(1), "model", objectVariant(m_filterBundle->modelTypeUnit()));
    setObjectProperty(filterLists.at(2), "model", objectVariant(devices));
}

void DataBaseWindow::releaseModels()
{
    detachTable();
    detachFilterLists();
    m_filterBundle = nullptr;
}

void DataBaseWindow::filtersRequested()
{
    // With no archive behind the screen nobody would answer, and the lists
    // would wait for ever.
    if (!isSignalConnected(QMetaMethod::fromSignal(&DataBaseWindow::loadFiltersDB)))
        return;
    detachFilterLists();
    emit loadFiltersDB();
}

void DataBaseWindow::filterListsSettled()
{
    // Each reading's lists, if it delivered any, came before this.
    const bool delivered = m_filterListsArrived;
    m_filterListsArrived = false;
    if (m_filterListsPending == 0 || --m_filterListsPending > 0)
        return;
    if (delivered && m_filterBundle) {
        attachFilterLists();
        if (m_filterQueued)
            updateModel();
    } else
        // The last reading failed and may have left the lists half refilled:
        // nothing is filtered by them until a reading succeeds.
        m_filterBundle = nullptr;
}

void DataBaseWindow::showPeriod(const QDateTime& begin, const QDateTime& end, const QDateTime& min,
                                const QDateTime& max)
{
    // Limits first: the fields then never hold a period outside them. A limit
    // the local clock skips is moved outwards, so it never cuts a record off.
    setObjectProperty(periodPicker, "minDate", ChartRoutines::localWallClock(min, ChartRoutines::GapSide::Earlier));
    setObjectProperty(periodPicker, "maxDate", ChartRoutines::localWallClock(max, ChartRoutines::GapSide::Later));
    setObjectProperty(periodPicker, "currentBeginDate", PanelTime::dayField(begin));
    setObjectProperty(periodPicker, "currentBeginTime", PanelTime::timeField(begin));
    setObjectProperty(periodPicker, "currentEndTime", PanelTime::timeField(end));
    setObjectProperty(periodPicker, "currentEndDate", PanelTime::dayField(end));
}

void DataBaseWindow::showFiltersDB(DataBaseFilters* dataBaseFilters)
{
    m_filterBundle = dataBaseFilters;
    if (!dataBaseFilters)
        return;
    m_filterListsArrived = true;

    // With an empty archive the picker keeps its own values.
    const PeriodDateTime stored = dataBaseFilters->period();
    if (stored.isValid()) {
        // A table on screen keeps its period in the picker.
        const bool keepShown = m_shownRows > 0 && m_periodBegin.isValid() && m_periodEnd.isValid();
        showPeriod(keepShown ? m_periodBegin : stored.minDateTime, keepShown ? m_periodEnd : stored.maxDateTime,
                   stored.minDateTime, stored.maxDateTime);
    }

    // While a reading is under way the lists stay detached; the last one to
    // be settled attaches them.
    if (m_filterListsPending == 0)
        attachFilterLists();
}

void DataBaseWindow::updateModel()
{
    // Nothing to filter by yet (the lists never arrived, the archive may be
    // unreadable), the lists are being refilled, or an export still reads the
    // selection.
    if (m_filterListsPending > 0 || m_exportsPending > 0) {
        // Run once the lists are in (or the export is done): the press is not lost.
        m_filterQueued = true;
        return;
    }
    if (!m_filterBundle) {
        // No reading of the lists has succeeded: a press that did nothing at
        // all would look like an empty archive.
        if (m_dialogs.warning)
            m_dialogs.warning(QStringLiteral("Фильтр не применён: списки фильтров ещё не получены из базы данных. Подождите..."));
        return;
    }
    m_filterQueued = false;
    detachTable();

    m_filters.clear();
    m_periodBegin = PanelTime::fromFields(objectProperty(periodPicker, QStringLiteral("currentBeginDate")),
                                          objectProperty(periodPicker, QStringLiteral("currentBeginTime")));
    m_periodEnd = PanelTime::fromFields(objectProperty(periodPicker, QStringLiteral("currentEndDate")),
                                        objectProperty(periodPicker, QStringLiteral("currentEndTime")));
    m_filters.insert(QStringLiteral("DateTime"), m_periodBegin);
    m_filters.insert(QStringLiteral("DateTime"), m_periodEnd);
    for (const QString& channel : m_filterBundle->modelTypeChannel()->tickedItems())
        m_filters.insert(QStringLiteral("nameChannel"), channel);
    for (const QString& unit : m_filterBundle->modelTypeUnit()->tickedItems())
        m_filters.insert(QStringLiteral("unit"), unit);
    for (int device : m_filterBundle->modelDevice()->tickedItems())
        m_filters.insert(QStringLiteral("idDevice"), device);

    beginWaiting();
    ++m_selectionsPending;
    emit setDBFiltr(m_filters);
}

QStringList DataBaseWindow::statisticsColumns() const
{
    const QList<QVariant> channels = m_filters.values(QStringLiteral("nameChannel"));
    QStringList columns;
    const QSqlRecord fields = m_model->record();
    for (int i = 0; i < fields.count(); ++i) {
        if (channels.contains(fields.fieldName(i)))
            columns << fields.fieldName(i);
    }
    return columns;
}

void DataBaseWindow::showTableDB()
{
    // Each request is answered once; the table comes back with the last answer.
    if (m_selectionsPending > 0 && --m_selectionsPending > 0)
        return;
    m_shownRows = m_model->rowCount();
    m_statistics->setHeaders(statisticsColumns());
    attachTable();
    endWaiting();
}

void DataBaseWindow::attachTable()
{
    m_chartFeed.reset();
    // Attaching the table builds the chart, which reads the selection at once.
    m_tableShown = true;
    showLimits();
    setObjectProperty(tableView, "modelStatistics", objectVariant(m_statistics));
    setObjectProperty(tableView, "model", objectVariant(m_model));
}

void DataBaseWindow::exportSelection(const QString& caption, const QString& suffix,
                                     void (DataBaseWindow::*request)(QString, QSqlQueryModel*))
{
    if (!m_tableShown || m_waiting)
        return;
    const QString pattern = QStringLiteral("*.") + suffix;
    QString path = m_dialogs.saveFileName(caption, pattern, pattern);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    // The export reads the selection in another thread; nothing may refill
    // it, and no view may read it at the same time (a query model reads its
    // rows by moving one shared cursor), until that is done.
    if (isSignalConnected(QMetaMethod::fromSignal(request))) {
        beginWaiting();
        if (m_exportsPending++ == 0)
            detachTable();
    }
    emit(this->*request)(path, m_model);
}

void DataBaseWindow::onClickButtonSaveDBAsXlsx()
{
    exportSelection(QStringLiteral("xlsx"), QStringLiteral("xlsx"), &DataBaseWindow::saveXlsxFromModel);
}

void DataBaseWindow::onClickButtonSaveDBAsCsv()
{
    exportSelection(QStringLiteral("Comma-Separated Values (csv)"), QStringLiteral("csv"),
                    &DataBaseWindow::saveCsvFromModel);
}

void DataBaseWindow::exportFinished()
{
    if (m_exportsPending > 0 && --m_exportsPending == 0) {
        attachTable();
        endWaiting();
        if (m_filterQueued)
            updateModel();
    }
}

void DataBaseWindow::onSelectedTableDb(QVariant selectedItems)
{
    m_selectedRows = m_tableShown ? rowNumbers(selectedItems) : QList<int>();
}

int DataBaseWindow::valuesInRows(const QList<int>& rows) const
{
    const QSqlRecord fields = m_model->record();
    QList<int> columns;
    for (const QString& name : statisticsColumns())
        columns << fields.indexOf(name);
    int values = 0;
    for (int row : rows)
        for (int column : qAsConst(columns))
            if (!m_model->index(row, column).data().isNull())
                ++values;
    return values;
}

void DataBaseWindow::onClickButtonDeleteItems()
{
    if (!m_tableShown || m_waiting || m_selectedRows.isEmpty())
        return;
    const QList<int> rows = m_selectedRows;
    // Exactly what the rows show goes, and only once the user has said so.
    const int values = valuesInRows(rows);
    if (values == 0) {
        m_dialogs.warning(QStringLiteral("В выбранных строках нет значений для удаления"));
        return;
    }
    const QString moments = countText(rows.size(), QStringLiteral("момент"), QStringLiteral("момента"),
                                      QStringLiteral("моментов"));
    if (m_dialogs.question && !m_dialogs.question(QStringLiteral("Удалить %1 за %2 времени?").arg(valuesText(values), moments)))
        return;
    beginWaiting();
    ++m_selectionsPending;
    // The refilled table opens where this one stands.
    setObjectProperty(tableView, "rowAfterRefill", objectProperty(tableView, QStringLiteral("topRow")));
    // The delete refills the lists and then the selection.
    detachFilterLists();
    detachTable();
    emit deleteDataDB(rows, m_filters);
}

void DataBaseWindow::showDeleted(int values)
{
    if (m_dialogs.information)
        m_dialogs.information(values == 0 ? QStringLiteral("Ничего не удалено: этих значений уже нет в базе данных")
                                      : QStringLiteral("Удалено %1").arg(valuesText(values)));
}

void DataBaseWindow::showError(QString err)
{
    // The request has failed: the cursor and the buttons are the user's again
    // (the table follows with the request's answer). An export under way still
    // holds them.
    if (m_waiting && m_exportsPending == 0)
        endWaiting();
    m_dialogs.warning(err);
}
