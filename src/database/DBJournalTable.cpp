#include "database/DBJournalTable.h"

namespace {
const QString idLine = QStringLiteral("idLine");
const QString line = QStringLiteral("line");
} // namespace

QString DBJournalTable::createTableQuery() const
{
    return dialect().createTableStatement(tableName(), {columnDefinition(idLine, dialect().wideAutoIncrementKeyType()),
                                                        columnDefinition(line, QStringLiteral("TEXT NOT NULL"))});
}

QString DBJournalTable::insertQuery(const DBParameters& parameters) const
{
    if (!parameters.contains(line))
        return QString();
    return dialect().insertStatement(tableName(), {line}, {quoted(parameters.value(line).toString())}, idLine,
                                     QString());
}

QString DBJournalTable::selectQuery(const DBParameters& parameters) const
{
    if (parameters.contains(QStringLiteral("last")))
        return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 DESC LIMIT 1;").arg(line, tableName(), idLine);
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3;").arg(line, tableName(), idLine);
}
