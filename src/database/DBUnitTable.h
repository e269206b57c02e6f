#pragma once

#include "database/DBNamedTable.h"

// Table UNIT: units of measurement.
class DBUnitTable : public DBNamedTable
{
public:
    using DBNamedTable::DBNamedTable;

    QString tableName() const override { return QStringLiteral("UNIT"); }
    QString keyColumn() const override { return QStringLiteral("idUnit"); }
    QString nameColumn() const override { return QStringLiteral("unit"); }
};
