#pragma once

#include "database/DBLogSourceTable.h"
#include "database/LogSnapshot.h"

#include <QString>
#include <QStringList>
#include <QVector>

class DataBase;
class QObject;

// The sources of the archive's values: a row per loaded log in LOG_SOURCE,
// and the list of them a database report names.
namespace LogSources {

// Notes where a loaded log came from, once per instrument and hash. Returns
// true when the row is new (a log loaded before adds nothing). A table read
// from no file (no hash) is not noted.
bool store(DataBase& database, const DBLogSourceTable& table, const LogSnapshot& log, unsigned int idDevice,
           const QString& typeDevice, int valuesStored);

// The sources of a selection: rows of DBLogSourceTable::selectQuery.
QVector<QStringList> select(DataBase& database, const DBLogSourceTable& table, const DBParameters& parameters);

// The sources travel with the record model they belong to, so that a report
// printed from that model can name them.
void attach(QObject* model, const QVector<QStringList>& sources);
QVector<QStringList> of(const QObject* model);

} // namespace LogSources
