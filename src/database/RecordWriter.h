#pragma once

#include "database/DBRecordZrTable.h"

#include <QSqlQuery>

class DataBase;

// Stores the values of one load. SQLite runs in the process: one prepared
// insert per value is the fastest way there. Each statement to a server is a
// round trip, so there the values go in a few large array inserts.
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
    DBRecordZrTable::Rows m_pending;
};
