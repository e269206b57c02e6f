#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QStringList>
#include <QVector>

#include <limits>

class QAbstractItemModel;

// An unchanging copy of a log table, taken in the table's own thread and
// handed to the database thread by value: whatever happens to the shown log
// afterwards (a download that refills it) cannot change what is stored.
//
// It is read through the three roles every reader of a log table uses: the
// header flag of a measurement column, a cell's raw value and its unit text.
// The first column that is not a measurement column holds the time stamps.
struct LogSnapshot
{
    static constexpr qint64 noTime = std::numeric_limits<qint64>::min();

    struct Cell
    {
        float value = 0.0f;
        int unit = -1; // index into `units`; -1: no value at this time stamp
        bool hasValue() const { return unit >= 0; }
    };

    QStringList channels;    // header text of each measurement column, in column order
    QStringList units;       // the distinct unit texts of the cells
    QVector<qint64> seconds; // per row: time stamp in seconds since 1970 UTC, or noTime
    QVector<Cell> cells;     // row by row, channels.size() cells per row

    // The log file the rows came from, when the table was read from one:
    // its name, the SHA-256 of its bytes, its download record (empty when
    // none) and whether the file is as it was downloaded.
    struct Source
    {
        QString fileName;
        QByteArray sha256;
        QJsonObject record;
        QString check;
    };
    Source source;

    int rowCount() const { return seconds.size(); }
    const Cell& cell(int row, int channel) const { return cells.at(row * channels.size() + channel); }

    static LogSnapshot fromModel(const QAbstractItemModel* model, int measurementRole, int valueRole, int unitRole);
};

Q_DECLARE_METATYPE(LogSnapshot)
