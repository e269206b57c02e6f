#pragma once

#include "database/IDBTable.h"

#include <QByteArray>

// Table RECORD_ZR: one row per channel value per time stamp, its unit, channel
// and instrument held as keys of the lookup tables.
class DBRecordZrTable : public IDBTable
{
public:
    using IDBTable::IDBTable;

    static QString tableName() { return QStringLiteral("RECORD_ZR"); }

    QString createTableQuery() const override;
    QString selectIdQuery(const DBParameters& parameters) const override;
    // Needs "DateTime", "Value", "idUnit", "idTypeChannel" and "idDevice".
    QString insertQuery(const DBParameters& parameters) const override;
    // One row per time stamp and instrument: the date text, one column per
    // "nameChannel" value (value and unit, or NULL) and the instrument number.
    // "idDevice" and "unit" values restrict the rows; two "DateTime" values
    // give the period, in either order.
    QString selectQuery(const DBParameters& parameters) const override;
    QString maxQuery(const QString& column) const override;
    QString minQuery(const QString& column) const override;
    // Every value of the "idDevice" instruments at the "DateTime" time stamp,
    // restricted to the "idTypeChannel" channels and "idUnit" units when given.
    QString deleteQuery(const DBParameters& parameters) const override;
    QString deleteOrphansQuery(const QString&) const override { return QString(); }
    // Selections and the duplicate check look records up by instrument and time.
    QStringList createIndexQueries() const override;

    // The insert of insertQuery with its five values left to be bound, in
    // this order: seconds since 1970 UTC, value, unit, channel, instrument.
    QString insertBoundQuery() const;
    // The dialect's COPY of the five insert columns (empty where it has none),
    // and one row of it appended to `data`; the value is written exactly as
    // the instrument gave it.
    QString copyRowsQuery() const;
    static void appendCopyRow(QByteArray& data, qint64 seconds, float value, int unit, int channel, int device);
};
