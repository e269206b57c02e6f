#pragma once

#include "data/LimitEvaluation.h"

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <climits>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
QT_END_NAMESPACE

class ModelLogRecord;

// The alarm limits chosen for the columns of one log: log table column →
// limits, and the logging period the durations count in (0 = unknown).
struct ColumnLimitSet
{
    QHash<int, AlarmLimits> byColumn;
    qint64 logPeriodSeconds = 0;

    std::optional<AlarmLimits> of(int column) const
    {
        const auto found = byColumn.constFind(column);
        return found == byColumn.constEnd() ? std::nullopt : std::optional<AlarmLimits>(*found);
    }
    bool operator==(const ColumnLimitSet& other) const
    {
        return byColumn == other.byColumn && logPeriodSeconds == other.logPeriodSeconds;
    }
};

namespace LogLimits {

// Limits of every measurement column of the log shown in `model`, from the
// "settings" of its download record.
ColumnLimitSet fromRecord(const ModelLogRecord& model, const QJsonObject& record);

// The same, reading the record beside the model's file. A log without a
// record has no limits; `why` then says why when the record is unreadable.
ColumnLimitSet forLog(const ModelLogRecord& model, QString* why = nullptr);

// Readings of one column over rows firstRow..lastRow (both included, clipped):
// the time from `valueRole` of column 0 (a date-time of the instrument's
// clock), the value from `valueRole` of the column; NaN where there is none.
QVector<LimitReading> columnReadings(const QAbstractItemModel* model, int column, int valueRole,
                                     int firstRow = 0, int lastRow = INT_MAX);

// The readings of a column of the log table itself, read from its records.
QVector<LimitReading> logColumnReadings(const ModelLogRecord& model, int column, int firstRow = 0,
                                        int lastRow = INT_MAX);

// Readings of a column of texts "<value> <unit>" (a database selection) with
// the time as "dd.MM.yyyy hh:mm:ss" text in `dateColumn`. A value in another
// unit than `unit` is no value of this column.
QVector<LimitReading> textColumnReadings(const QAbstractItemModel* model, int dateColumn, int column,
                                         const QString& unit, int firstRow = 0, int lastRow = INT_MAX);
// The unit of such a text: what follows the first blank.
QString unitOfText(const QString& text);

// Whether a column's unit asks for the mean kinetic temperature (°C).
bool isCelsius(const QString& unitText);

} // namespace LogLimits
