#pragma once

#include "database/IDBTable.h"

// Table TYPE_DEVICE: the instruments, keyed by their own ID number.
class DBTypeDeviceTable : public IDBTable
{
public:
    using IDBTable::IDBTable;

    QString createTableQuery() const override;
    QString selectIdQuery(const DBParameters& parameters) const override;
    QString insertQuery(const DBParameters& parameters) const override;
    QString selectQuery(const DBParameters& parameters) const override;
    QString maxQuery(const QString&) const override { return QString(); }
    QString minQuery(const QString&) const override { return QString(); }
    QString deleteQuery(const DBParameters&) const override { return QString(); }
    QString deleteOrphansQuery(const QString& referencingTable) const override;
};
