#pragma once

#include "database/IDBTable.h"

// Table JOURNAL: the journal of changes kept on the lab's archive server, one
// row per line, exactly the text a journal file would hold, in the order
// written. Rows are only ever added.
//
// selectQuery gives every line oldest first; with the parameter "last" only
// the newest one.
class DBJournalTable : public IDBTable
{
public:
    using IDBTable::IDBTable;

    static QString tableName() { return QStringLiteral("JOURNAL"); }

    QString createTableQuery() const override;
    QString selectIdQuery(const DBParameters&) const override { return QString(); }
    // The parameter "line".
    QString insertQuery(const DBParameters& parameters) const override;
    QString selectQuery(const DBParameters& parameters) const override;
    QString maxQuery(const QString&) const override { return QString(); }
    QString minQuery(const QString&) const override { return QString(); }
    QString deleteQuery(const DBParameters&) const override { return QString(); }
    QString deleteOrphansQuery(const QString&) const override { return QString(); }
};
