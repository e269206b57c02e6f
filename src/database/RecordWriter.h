#pragma once

#include "database/DBRecordZrTable.h"

#include <QByteArray>
#include <QSqlQuery>
#include <QVector>

class DataBase;

// Stores the values of one load. SQLite runs in the process: one prepared
// insert per value is the fastest way there. Each statement to a server is a
// round trip, so there the values go in a few large COPYs.
class RecordWriter
{
public:
    RecordWriter(DataBase& database, const DBRecordZrTable& table);

    void add(qint64 seconds, float value, int unit, int channel, int device);
    // Sends what is still pending; throws as DataBase does.
    void finish();

private:
    DataBase& m_database;
    const DBRecordZrTable& m_table;
    const int m_batch;
    QSqlQuery m_insert;
    QByteArray m_pending;
    int m_pendingValues = 0;
    // The row being written and its channels: a log with two columns of one
    // name must not fail the whole COPY on the unique index.
    qint64 m_rowSeconds = 0;
    QVector<int> m_rowChannels;
};
