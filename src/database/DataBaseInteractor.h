#pragma once

#include "database/DBLogSourceTable.h"
#include "database/DBNoteTable.h"
#include "database/DBRecordZrTable.h"
#include "database/DBTypeChannelTable.h"
#include "database/DBTypeDeviceTable.h"
#include "database/DBUnitTable.h"
#include "database/DataBase.h"
#include "database/DataBaseFilters.h"
#include "database/LogSnapshot.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlQueryModel>
#include <QString>

class QAbstractItemModel;
class QSqlRecord;

// The logic behind everything the application does with its archive: opening
// it, loading logs into it, listing what it holds, selecting and deleting
// records. It lives in the database thread and is driven by queued calls; all
// SQL runs through its DataBase member, in that thread.
//
// Every failure ends the operation, is reported once through errorOccurred
// and leaves the archive as it was before the operation. An archive that
// could not be opened (a server down or refusing the login) is opened again
// by the next operation.
class DataBaseInteractor : public QObject
{
    Q_OBJECT
public:
    // `databasePath`: a file or a server address; empty: the configured archive
    // (ArchiveLocation::configuredText, by default Record.sqlite beside the executable).
    explicit DataBaseInteractor(const QString& databasePath = QString(), QObject* parent = nullptr);
    ~DataBaseInteractor() override;

    // The record table model, filled by updateModel. Not owned; it must live
    // in this object's thread.
    void setRecordModel(QSqlQueryModel* model) { m_recordModel = model; }
    DataBaseFilters* filters() { return &m_filters; }
    // Said when a delete was committed but the file could not be compacted.
    static QString vacuumFailedText() { return QStringLiteral("Значения удалены, но сжать файл базы данных не удалось"); }
    QString databasePath() const { return m_database.filePath(); }
    // How long to wait for another program holding the archive (from the next opening).
    void setBusyTimeout(int milliseconds) { m_database.setBusyTimeout(milliseconds); }

    // Loads a log table that lives in the calling thread (a copy is taken at
    // once, through the measurement-column, raw-value and unit roles).
    void writeFromModel(const QAbstractItemModel* model, unsigned int idDevice, const QString& typeDevice,
                        int roleCheckColumnMeasure, int roleRawData, int roleUnit);

signals:
    // Percent of the rows of a log load handled so far; every load, even a
    // failed or empty one, ends with exactly 100.
    void downloadRecordsProcess(float progress);
    void errorOccurred(QString error);
    // A log load has been committed; `values` is how many values it added
    // (0 when the archive held every time stamp of the log already).
    void logStored(int values);
    // A delete has been committed; `values` is how many values went.
    void recordsDeleted(int values);
    // Something the user must know about a load that still succeeded (a
    // file changed after its download; a journal that cannot be written).
    void warningOccurred(QString text);
    void modelUpdated();
    void filtersDBLoaded(DataBaseFilters* filters);

public slots:
    void open();
    void writeLog(LogSnapshot log, unsigned int idDevice, QString typeDevice);
    void loadFiltersDB();
    void updateModel(QMultiHash<QString, QVariant> parametres);
    // `listIndexs` are rows of the record table model, `parametres` the
    // request that selected it: the values of that row's instrument at that
    // row's time stamp in the requested channels (and units) are deleted,
    // nothing the row does not show.
    void onDeleteDataDb(QList<int> listIndexs, QMultiHash<QString, QVariant> parametres);

private:
    // Opens the archive and creates its tables unless that is done and the
    // connection still answers; throws the opening's message.
    void prepareArchive();
    // Throws when the archive holds records but lacks a table they refer to.
    void checkNotDamaged();
    void loadFilters();
    // Journal lines of archive changes; a journal that cannot be written is told.
    void journalLoad(const LogSnapshot& log, unsigned int idDevice, int stored);
    void journalDelete(const QList<QSqlRecord>& records, const QMultiHash<QString, QVariant>& filter, int values);
    void selectRecords(const DBParameters& parameters);
    // Returns the number of values deleted.
    int deleteRecords(const QList<QSqlRecord>& records, const DBParameters& shown);
    // The keys of the stored names; names not stored are left out.
    QVariantList lookupKeys(const IDBTable& table, const QString& column, const QVariantList& names);

    DataBase m_database;
    DBUnitTable m_unitTable;
    DBTypeChannelTable m_typeChannelTable;
    DBTypeDeviceTable m_typeDeviceTable;
    DBNoteTable m_noteTable;
    DBRecordZrTable m_recordTable;
    DBLogSourceTable m_logSourceTable;
    // Guarded: its owner may destroy it before us, and then there is nothing
    // left to clear or fill.
    QPointer<QSqlQueryModel> m_recordModel;
    DataBaseFilters m_filters;
    bool m_ready = false;
};
