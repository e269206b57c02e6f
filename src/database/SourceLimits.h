#pragma once

#include "data/LogLimits.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class QSqlQueryModel;

// Alarm limits of a database selection taken from the instrument settings of
// the logs its values came from (their rows in LOG_SOURCE), as a log's own
// limits come from its download record.
namespace SourceLimits {

// The limits of channel `channel` for values in `unit`: the range every
// source that has such a channel names for it. Nothing when there is no such
// source, when one was loaded without its settings, or when they disagree
// (another range, or the alarm switched off on one instrument): whose limits
// would the values then be measured against? The user types them instead.
// `sources` are rows as LogSources::select gives them.
std::optional<AlarmLimits> common(const QVector<QStringList>& sources, const QString& channel, const QString& unit);

// For each measurement field of a selection (by field number) whose sources
// agree, their limits; the unit of a field is that of its first value.
ColumnLimitSet forSelection(const QSqlQueryModel& selection);

} // namespace SourceLimits
