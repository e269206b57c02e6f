#pragma once

#include "database/DBNamedTable.h"

// Table TYPE_CHANNEL: channel names, as the log table heads its columns.
class DBTypeChannelTable : public DBNamedTable
{
public:
    using DBNamedTable::DBNamedTable;

    QString tableName() const override { return QStringLiteral("TYPE_CHANNEL"); }
    QString keyColumn() const override { return QStringLiteral("idTypeChannel"); }
    QString nameColumn() const override { return QStringLiteral("nameChannel"); }
};
