#pragma once

#include "database/IDBTable.h"

// A lookup table of texts with a generated key: units, channel names, notes.
// The subclasses only name the table and its two columns.
class DBNamedTable : public IDBTable
{
public:
    using IDBTable::IDBTable;

    virtual QString tableName() const = 0;
    virtual QString keyColumn() const = 0;
    virtual QString nameColumn() const = 0;
    // Whether each text is stored once. A shared archive holds it to that with
    // a unique index, so that two computers adding a new unit at once agree.
    virtual bool uniqueNames() const { return true; }

    QString createTableQuery() const override;
    QString selectIdQuery(const DBParameters& parameters) const override;
    QString insertQuery(const DBParameters& parameters) const override;
    QString selectQuery(const DBParameters& parameters) const override;
    QString maxQuery(const QString&) const override { return QString(); }
    QString minQuery(const QString&) const override { return QString(); }
    QString deleteQuery(const DBParameters&) const override { return QString(); }
    QString deleteOrphansQuery(const QString& referencingTable) const override;
    QStringList createIndexQueries() const override;
};
