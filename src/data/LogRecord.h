#pragma once

#include <QDateTime>
#include <QVector>

// One decoded quantity of a log record: the table column it belongs to
// (1 = channel 1 main value, 2 = channel 1 additional measurement,
// 3 = channel 2 main value, 4 = channel 2 additional measurement),
// the value as the instrument stored it and the unit index (see UnitTable).
struct LogEntry
{
    int column = 0;
    float value = 0.0f;
    quint8 unit = 15;

    bool operator==(const LogEntry& other) const
    {
        return column == other.column && value == other.value && unit == other.unit;
    }
};

// One timestamped measurement of both channels. The time is the instrument's
// wall clock held with the UTC time spec; it is never converted.
struct LogRecord
{
    QDateTime dateTime;
    QVector<LogEntry> entries;

    // The entry of a table column, or nullptr when the record has none there.
    const LogEntry* entry(int column) const
    {
        for (const LogEntry& e : entries)
            if (e.column == column)
                return &e;
        return nullptr;
    }

    bool operator==(const LogRecord& other) const
    {
        return dateTime == other.dateTime && entries == other.entries;
    }
};
