#pragma once

#include "database/IDBTable.h"

// A lookup table of texts with a generated key: units, channel names, notes.
// The subclasses only name the table and its two columns.
class DBNamedTable : public IDBTable
{
public:
    virtual QString tableName() const = 0;
    virtual QString keyColumn() const = 0;
    virtual QString nameColumn() const = 0;

    QString createTableQuery() const override;
    QString selectIdQuery(const DBParameters& parameters) const override;
    QString insertQuery(const DBParameters& parameters) const override;
    QString selectQuery(const DBParameters& parameters) const override;
    QString maxQuery(const QString&) const override { return QString(); }
    QString minQuery(const QString&) const override { return QString(); }
    QString deleteQuery(const DBParameters&) const override { return QString(); }
    QString deleteOrphansQuery(const QString& referencingTable) const override;
};
