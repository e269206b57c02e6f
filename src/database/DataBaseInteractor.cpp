#include "database/DataBaseInteractor.h"

#include "data/DownloadRecord.h"
#include "data/Journal.h"
#include "database/LogLoader.h"
#include "database/LogSources.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QThread>

namespace {

// Stored time stamps come back as SQLite's "yyyy-MM-dd hh:mm:ss", in UTC.
// Read as such, never as a local time: the computer's clock may skip the
// reading (the hour daylight saving jumps over), which would lose it.
QDateTime storedDateTime(const QVariant& value)
{
    if (!value.isValid())
        return QDateTime();
    const QString text = value.toString();
    return QDateTime(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                     QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss")), Qt::UTC);
}

// Runs one step; the text it threw, or an empty text.
template<typename Step>
QString attempt(Step step)
{
    try {
        step();
    } catch (const QString& error) {
        return error.isEmpty() ? DataBase::queryErrorText() : error;
    }
    return QString();
}

} // namespace

DataBaseInteractor::DataBaseInteractor(const QString& databasePath, QObject* parent)
    : QObject(parent)
    , m_database(databasePath)
    , m_unitTable(m_database.dialect())
    , m_typeChannelTable(m_database.dialect())
    , m_typeDeviceTable(m_database.dialect())
    , m_noteTable(m_database.dialect())
    , m_recordTable(m_database.dialect())
    , m_logSourceTable(m_database.dialect())
    , m_filters(this)
{
}

DataBaseInteractor::~DataBaseInteractor()
{
    // The record model outlives us; it must not keep a query on a connection
    // that is about to go away.
    if (m_recordModel && m_recordModel->thread() == QThread::currentThread())
        m_recordModel->clear();
}

void DataBaseInteractor::prepareArchive()
{
    if (m_ready && m_database.isConnected())
        return;
    m_ready = false;
    m_database.open();
    checkNotDamaged();
    for (const IDBTable* table : std::initializer_list<const IDBTable*>{
             &m_unitTable, &m_typeChannelTable, &m_typeDeviceTable, &m_noteTable, &m_recordTable, &m_logSourceTable})
        m_database.createTable(*table);
    m_ready = true;
}

void DataBaseInteractor::checkNotDamaged()
{
    // Tables are made for a new archive. One that holds values but lost a
    // table they refer to must not get an empty one in its place: its values
    // would vanish from every selection, or come back with another unit.
    const QStringList present = m_database.tableNames();
    if (!present.contains(DBRecordZrTable::tableName()))
        return;
    for (const QString& table : {QStringLiteral("UNIT"), QStringLiteral("TYPE_CHANNEL"), QStringLiteral("TYPE_DEVICE")})
        if (!present.contains(table))
            throw DataBase::openErrorText()
                + QStringLiteral(": нет таблицы %1, на которую ссылаются записи %2; файл повреждён, он не изменён")
                      .arg(table, DBRecordZrTable::tableName());
}

void DataBaseInteractor::open()
{
    const QString error = attempt([this] { prepareArchive(); });
    if (!error.isEmpty())
        emit errorOccurred(error);
}

void DataBaseInteractor::writeFromModel(const QAbstractItemModel* model, unsigned int idDevice,
                                        const QString& typeDevice, int roleCheckColumnMeasure, int roleRawData,
                                        int roleUnit)
{
    writeLog(LogSnapshot::fromModel(model, roleCheckColumnMeasure, roleRawData, roleUnit), idDevice, typeDevice);
}

void DataBaseInteractor::writeLog(LogSnapshot log, unsigned int idDevice, QString typeDevice)
{
    LogLoader loader(m_database, {m_unitTable, m_typeChannelTable, m_typeDeviceTable, m_recordTable},
                     [this](float percent) { emit downloadRecordsProcess(percent); });
    int stored = 0;
    bool newSource = false;
    const QString error = attempt([&] {
        prepareArchive();
        stored = loader.load(log, idDevice, typeDevice);
        newSource = LogSources::store(m_database, m_logSourceTable, log, idDevice, typeDevice, stored);
    });
    // The data screen stays locked until it sees exactly 100.
    emit downloadRecordsProcess(100.0f);
    if (!error.isEmpty()) {
        emit errorOccurred(error);
        return;
    }
    if (newSource || stored > 0)
        journalLoad(log, idDevice, stored);
    // Values are values and are kept; the user is told once, when the bytes are first loaded.
    if (newSource && log.source.check == DownloadRecord::checkText(DownloadRecord::Check::Changed))
        emit warningOccurred(QStringLiteral("Файл %1 изменён после загрузки с прибора (SHA-256 не совпадает с записью "
                                            "о загрузке). Значения сохранены в базу, источник отмечен как изменённый.")
                                 .arg(log.source.fileName));
    emit logStored(stored);
}

void DataBaseInteractor::journalLoad(const LogSnapshot& log, unsigned int idDevice, int stored)
{
    const QString failure = Journal::record(
        QStringLiteral("archiveLoad"),
        {{QStringLiteral("archive"), m_database.filePath()},
         {QStringLiteral("file"), log.source.fileName},
         {QStringLiteral("sha256"), QString::fromLatin1(log.source.sha256)},
         {QStringLiteral("recordCheck"), log.source.check},
         {QStringLiteral("instrument"), QJsonObject{{QStringLiteral("id"), double(idDevice)}}},
         {QStringLiteral("values"), stored}});
    if (!failure.isEmpty())
        emit warningOccurred(failure);
}

void DataBaseInteractor::journalDelete(const QList<QSqlRecord>& records, const QMultiHash<QString, QVariant>& filter, int values)
{
    QJsonArray instruments;
    QString first;
    QString last;
    for (const QSqlRecord& record : records) {
        const QJsonValue instrument(record.value(record.count() - 1).toDouble());
        if (!instruments.contains(instrument))
            instruments.append(instrument);
        const QString time = record.value(0).toString();
        const qint64 seconds = LogLoader::secondsFromText(time);
        if (first.isEmpty() || seconds < LogLoader::secondsFromText(first))
            first = time;
        if (last.isEmpty() || seconds > LogLoader::secondsFromText(last))
            last = time;
    }
    QJsonObject filterJson;
    for (const QString& key : filter.uniqueKeys()) {
        QJsonArray list;
        for (const QVariant& value : filter.values(key))
            list.append(value.type() == QVariant::DateTime ? QJsonValue(value.toDateTime().toString(Qt::ISODate))
                                                           : QJsonValue::fromVariant(value));
        filterJson.insert(key, list);
    }
    const QString failure = Journal::record(QStringLiteral("archiveDelete"),
                                            {{QStringLiteral("archive"), m_database.filePath()},
                                             {QStringLiteral("filter"), filterJson},
                                             {QStringLiteral("period"), QJsonObject{{QStringLiteral("first"), first},
                                                                                   {QStringLiteral("last"), last}}},
                                             {QStringLiteral("instruments"), instruments},
                                             {QStringLiteral("rows"), records.size()},
                                             {QStringLiteral("values"), values}});
    if (!failure.isEmpty())
        emit warningOccurred(failure);
}

void DataBaseInteractor::loadFilters()
{
    PeriodDateTime period;
    period.maxDateTime = storedDateTime(m_database.selectMax(m_recordTable, QStringLiteral("DateTime")));
    period.minDateTime = storedDateTime(m_database.selectMin(m_recordTable, QStringLiteral("DateTime")));
    m_filters.setPeriod(period);
    m_database.setQuery(m_filters.modelTypeChannel(), m_typeChannelTable, {});
    m_database.setQuery(m_filters.modelTypeUnit(), m_unitTable, {});
    m_database.setQuery(m_filters.modelDevice(), m_typeDeviceTable, {});
}

void DataBaseInteractor::loadFiltersDB()
{
    const QString error = attempt([this] {
        prepareArchive();
        loadFilters();
    });
    if (error.isEmpty())
        emit filtersDBLoaded(&m_filters);
    else
        emit errorOccurred(error);
}

void DataBaseInteractor::updateModel(QMultiHash<QString, QVariant> parametres)
{
    const QString error = attempt([&] {
        prepareArchive();
        selectRecords(parametres);
    });
    if (!error.isEmpty()) {
        if (m_recordModel)
            m_recordModel->clear();
        emit errorOccurred(error);
    }
    // Announced even after a failure: the screen waits for it to leave its
    // busy state, and the model it shows is then empty, not half-read.
    emit modelUpdated();
}

void DataBaseInteractor::selectRecords(const DBParameters& parameters)
{
    if (m_recordModel) {
        m_database.setQuery(m_recordModel, m_recordTable, parameters);
        // The logs the rows came from travel with them, for the report. Not
        // finding them does not take the rows away: the report then says so.
        QVector<QStringList> sources;
        try {
            sources = LogSources::select(m_database, m_logSourceTable, parameters);
        } catch (const QString&) {
        }
        LogSources::attach(m_recordModel, sources);
    }
}

QVariantList DataBaseInteractor::lookupKeys(const IDBTable& table, const QString& column,
                                            const QVariantList& names)
{
    QVariantList keys;
    for (const QVariant& name : names) {
        DBParameters parameters;
        parameters.replace(column, name.toString());
        const int key = m_database.findId(table, parameters);
        if (key >= 0)
            keys << key;
    }
    return keys;
}

int DataBaseInteractor::deleteRecords(const QList<QSqlRecord>& records, const DBParameters& shown)
{
    // Only the values the rows show: their channels, in the units filtered
    // by. A selection that shows no channel shows no value to delete.
    const QVariantList channels = lookupKeys(m_typeChannelTable, QStringLiteral("nameChannel"),
                                             shown.values(QStringLiteral("nameChannel")));
    const QVariantList unitNames = shown.values(QStringLiteral("unit"));
    const QVariantList units = lookupKeys(m_unitTable, QStringLiteral("unit"), unitNames);
    if (records.isEmpty() || channels.isEmpty() || (!unitNames.isEmpty() && units.isEmpty()))
        return 0;

    int deleted = 0;
    m_database.beginTransaction();
    try {
        // On a shared archive no load runs beside it: a load could otherwise
        // refer to a unit the orphan removal below is about to take away.
        m_database.lockForDelete();
        for (const QSqlRecord& record : records) {
            const qint64 seconds = LogLoader::secondsFromText(record.value(0).toString());
            if (seconds == LogSnapshot::noTime)
                continue;
            DBParameters parameters;
            parameters.replace(QStringLiteral("DateTime"), QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
            parameters.replace(QStringLiteral("idDevice"), record.value(record.count() - 1).toInt());
            for (const QVariant& channel : channels)
                parameters.insert(QStringLiteral("idTypeChannel"), channel);
            for (const QVariant& unit : units)
                parameters.insert(QStringLiteral("idUnit"), unit);
            deleted += m_database.remove(m_recordTable, parameters);
        }
        const QString referencing = DBRecordZrTable::tableName();
        m_database.execute(m_unitTable, referencing);
        m_database.execute(m_typeChannelTable, referencing);
        m_database.execute(m_typeDeviceTable, referencing);
        m_database.commitTransaction();
    } catch (...) {
        m_database.rollbackTransaction();
        throw;
    }
    return deleted;
}

void DataBaseInteractor::onDeleteDataDb(QList<int> listIndexs, QMultiHash<QString, QVariant> parametres)
{
    // The rows as shown, copied before anything (a reconnection) can touch the model.
    QList<QSqlRecord> records;
    for (int row : qAsConst(listIndexs))
        if (m_recordModel && row >= 0 && row < m_recordModel->rowCount())
            records << m_recordModel->record(row);

    // Afterwards the lists and the table are shown as they now are, whatever
    // happened; a broken archive is reported once, not once per step.
    int deleted = 0;
    QString error = attempt([&] {
        prepareArchive();
        deleted = deleteRecords(records, parametres);
    });
    if (!error.isEmpty()) {
        emit errorOccurred(error);
    } else {
        emit recordsDeleted(deleted);
        if (deleted > 0)
            journalDelete(records, parametres, deleted);
        // The values are gone for good; only the file stays larger than it
        // need be when the space cannot be given back now.
        const QString vacuumError = deleted > 0 ? attempt([this] { m_database.vacuum(); }) : QString();
        if (!vacuumError.isEmpty())
            emit errorOccurred(vacuumFailedText() + QStringLiteral(": ") + vacuumError);
    }
    if (!m_ready) {
        emit modelUpdated();
        return;
    }
    const QString filtersError = attempt([this] { loadFilters(); });
    if (filtersError.isEmpty())
        emit filtersDBLoaded(&m_filters);
    else if (error.isEmpty())
        emit errorOccurred(error = filtersError);
    const QString selectError = attempt([&] { selectRecords(parametres); });
    if (!selectError.isEmpty() && error.isEmpty())
        emit errorOccurred(selectError);
    emit modelUpdated();
}
