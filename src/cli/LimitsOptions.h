#pragma once

#include "cli/CliArguments.h"
#include "data/LogLimits.h"

#include <QJsonObject>
#include <QStringList>

class ModelLogRecord;
class QSqlQueryModel;

// Alarm limits on the command line: "--limits HEADER=LOWER..UPPER", repeatable,
// over the limits of the log's download record.
namespace LimitsOptions {

CliOption option();

// The typed limits, by column header; a value that is not a range is a
// wrong call (exit 1), found before any file is opened.
QHash<QString, AlarmLimits> typed(const CliArguments& arguments);

// The limits of the log in `model`: its record's, then the typed ones. A
// typed header the log has no column of is a wrong call.
ColumnLimitSet forLog(const ModelLogRecord& model, const QHash<QString, AlarmLimits>& typed);

// Limits for a database selection, by field number: those its source logs'
// instrument settings agree on, then the typed ones; a typed name that is no
// field of the selection is a wrong call.
ColumnLimitSet forSelection(const QSqlQueryModel& selection, const QHash<QString, AlarmLimits>& typed);

// The evaluation of a column over the whole log, as one JSON object with
// stable keys ("limits", "verdict", "within", "above", "below", ...).
LimitEvaluation evaluate(const ModelLogRecord& model, int column, const ColumnLimitSet& limits);
QJsonObject evaluationJson(const LimitEvaluation& evaluation);

// The log table's measurement columns, in order.
QList<int> measurementColumns(const ModelLogRecord& model);

} // namespace LimitsOptions
