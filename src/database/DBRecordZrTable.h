#pragma once

#include "database/IDBTable.h"

#include <QVector>

// Table RECORD_ZR: one row per channel value per time stamp, its unit, channel
// and instrument held as keys of the lookup tables.
class DBRecordZrTable : public IDBTable
{
public:
    using IDBTable::IDBTable;

    // Values to store, column by column.
    struct Rows
    {
        QVector<qint64> seconds; // since 1970 UTC
        QVector<float> values;
        QVector<int> units;
        QVector<int> channels;
        QVector<int> devices;

        int size() const { return seconds.size(); }
        void append(qint64 time, float value, int unit, int channel, int device);
        void clear();
    };

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
    // Every value of the "idDevice" instruments at the "DateTime" time stamp.
    QString deleteQuery(const DBParameters& parameters) const override;
    QString deleteOrphansQuery(const QString&) const override { return QString(); }
    // Selections and the duplicate check look records up by instrument and time.
    QStringList createIndexQueries() const override;

    // The insert of insertQuery with its five values left to be bound, in
    // this order: seconds since 1970 UTC, value, unit, channel, instrument.
    QString insertBoundQuery() const;
    // All `rows` in one statement, each value exactly as the instrument gave
    // it; a value stored already is left alone. Empty where the dialect has no
    // such insert.
    QString insertRowsQuery(const Rows& rows) const;
};
