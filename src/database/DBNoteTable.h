#pragma once

#include "database/DBNamedTable.h"

// Table NOTES: free-text notes; nothing writes it yet.
class DBNoteTable : public DBNamedTable
{
public:
    using DBNamedTable::DBNamedTable;

    QString tableName() const override { return QStringLiteral("NOTES"); }
    QString keyColumn() const override { return QStringLiteral("idNote"); }
    QString nameColumn() const override { return QStringLiteral("note"); }

    // Notes may repeat.
    bool uniqueNames() const override { return false; }
    // Notes are never listed or cleaned up.
    QString selectQuery(const DBParameters&) const override { return QString(); }
    QString deleteOrphansQuery(const QString&) const override { return QString(); }
};
