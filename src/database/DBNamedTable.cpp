#include "database/DBNamedTable.h"

QString DBNamedTable::createTableQuery() const
{
    return createTableStatement(tableName(), {columnDefinition(keyColumn(), autoIncrementKeyType()),
                                              columnDefinition(nameColumn(), QStringLiteral("TEXT"))});
}

QString DBNamedTable::selectIdQuery(const DBParameters& parameters) const
{
    return selectStatement({keyColumn()}, tableName(),
                           {condition(nameColumn(), QStringLiteral("="), parameters.value(nameColumn()).toString())});
}

QString DBNamedTable::insertQuery(const DBParameters& parameters) const
{
    if (!parameters.contains(nameColumn()))
        return QString();
    return insertStatement(tableName(), {nameColumn()}, {quoted(parameters.value(nameColumn()).toString())});
}

QString DBNamedTable::selectQuery(const DBParameters& parameters) const
{
    QStringList conditions;
    for (const QString& column : {keyColumn(), nameColumn()}) {
        const QVariantList values = parameters.values(column);
        if (!values.isEmpty())
            conditions << orCondition(values, column);
    }
    return selectGroupedStatement({}, tableName(), QString(), conditions, {nameColumn()});
}

QString DBNamedTable::deleteOrphansQuery(const QString& referencingTable) const
{
    return deleteOrphansStatement(tableName(), keyColumn(), referencingTable);
}
