#pragma once

#include <QStringList>
#include <QVector>

class ModelLogRecord;
class QObject;
class Reporter;

// The block "Происхождение данных" of every report: where the printed values
// came from, so that a page can be traced back to the bytes the instrument
// sent (instrument, firmware, download time, clock difference at download,
// SHA-256 of the file or of each source log, program version).
namespace ProvenanceBlock {

// Label and value rows for a log report (the hash goes in a table of its own).
QVector<QStringList> logRows(const ModelLogRecord& log);
// One single-cell row per source log of a database report (file, instrument,
// download time, and SHA-256 on a line of its own), from rows of the archive's
// source table.
QVector<QStringList> databaseRows(const QVector<QStringList>& sources);

// Appends the block; `model` is the report's model (a log table, or a
// database selection carrying its sources). Nothing for other models.
void addForLog(Reporter& reporter, const QObject* model);
void addForDatabase(Reporter& reporter, const QObject* model);

} // namespace ProvenanceBlock
