#pragma once

#include "database/IDBTable.h"

// Table LOG_SOURCE: one row per log file loaded into the archive, naming where
// its values came from (instrument, file, SHA-256 of its bytes, the download
// record's time, firmware and settings) and what the load stored. The same
// bytes of the same instrument are one row however often they are loaded.
//
// Parameter keys are the column names; "DateTime" (one or two limits) selects
// the sources whose logged span meets the period, "idDevice" may repeat.
class DBLogSourceTable : public IDBTable
{
public:
    using IDBTable::IDBTable;

    static QString tableName() { return QStringLiteral("LOG_SOURCE"); }
    static constexpr int selectedColumns = 11;

    QString createTableQuery() const override;
    QStringList createIndexQueries() const override;
    // By idDevice and sha256.
    QString selectIdQuery(const DBParameters& parameters) const override;
    QString insertQuery(const DBParameters& parameters) const override;
    // fileName, idDevice, typeDevice, firmware, downloaded, sha256, recordCheck,
    // first and last time stamp as "dd.mm.yyyy hh:mm:ss", valuesStored,
    // settingsHex; oldest first.
    QString selectQuery(const DBParameters& parameters) const override;
    QString maxQuery(const QString&) const override { return QString(); }
    QString minQuery(const QString&) const override { return QString(); }
    // Sources are kept when values are deleted: they tell what was once loaded.
    QString deleteQuery(const DBParameters&) const override { return QString(); }
    QString deleteOrphansQuery(const QString&) const override { return QString(); }
};
