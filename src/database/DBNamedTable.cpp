#include "database/DBNamedTable.h"

QString DBNamedTable::createTableQuery() const
{
    return dialect().createTableStatement(tableName(), {columnDefinition(keyColumn(), dialect().autoIncrementKeyType()),
                                                        columnDefinition(nameColumn(), QStringLiteral("TEXT"))});
}

QStringList DBNamedTable::createIndexQueries() const
{
    // The embedded archive has one writer; its lookups before each insert
    // keep the texts single, and its schema stays as it always was.
    if (!dialect().isShared() || !uniqueNames())
        return {};
    return {dialect().createIndexStatement(tableName() + QStringLiteral("_NAME"), tableName(), {nameColumn()}, true)};
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
    return dialect().insertStatement(tableName(), {nameColumn()}, {quoted(parameters.value(nameColumn()).toString())},
                                     keyColumn(), uniqueNames() ? nameColumn() : QString());
}

QString DBNamedTable::selectQuery(const DBParameters& parameters) const
{
    QStringList conditions;
    for (const QString& column : {keyColumn(), nameColumn()}) {
        const QVariantList values = parameters.values(column);
        if (!values.isEmpty())
            conditions << orCondition(values, column);
    }
    return dialect().listStatement({keyColumn(), nameColumn()}, tableName(), conditions, dialect().byteOrder(nameColumn()));
}

QString DBNamedTable::deleteOrphansQuery(const QString& referencingTable) const
{
    return dialect().deleteOrphansStatement(tableName(), keyColumn(), referencingTable);
}
