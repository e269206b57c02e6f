#pragma once

#include "database/LogSnapshot.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

class DataBase;
class DBRecordZrTable;
class DBTypeChannelTable;
class DBTypeDeviceTable;
class DBUnitTable;
class IDBTable;

// Stores a log in the archive, in one transaction: every value of every row
// whose time stamp the archive does not yet hold for this instrument. A row
// whose time stamp is stored already, or came earlier in the same log, adds
// nothing, so loading a log again stores nothing new.
//
// Each unit and channel text is looked up (or added) once per load, and the
// values go through a RecordWriter. A failure rolls the whole load back and is
// thrown on (see DataBase). On a shared archive the load first takes the
// dialect's load lock, so that what it finds stored is final.
class LogLoader
{
public:
    struct Tables
    {
        const DBUnitTable& unit;
        const DBTypeChannelTable& channel;
        const DBTypeDeviceTable& device;
        const DBRecordZrTable& record;
    };

    // `progress` gets the percentage after each row but the last, at most
    // about a thousand times per load; the caller reports the end.
    LogLoader(DataBase& database, const Tables& tables, std::function<void(float)> progress = {});

    // Returns the number of values stored.
    int load(const LogSnapshot& log, unsigned int idDevice, const QString& typeDevice);

    // The value as stored: the shortest decimal that reads back as the same
    // float, so 23.45f is stored as 23.45, not 23.450000762939453.
    static double storedValue(float value);

    // "dd.MM.yyyy hh:mm:ss" (UTC clock) as seconds since 1970; noTime when malformed.
    static qint64 secondsFromText(const QString& text);

private:
    QSet<qint64> storedSeconds(const LogSnapshot& log, int deviceKey);
    int lookupId(QVector<int>& cache, int index, const IDBTable& table, const QString& column, const QString& text);
    void reportProgress(int row, int rows);

    DataBase& m_database;
    Tables m_tables;
    std::function<void(float)> m_progress;
    float m_lastReported = -1.0f;
};
