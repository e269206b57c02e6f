#include "database/RecordWriter.h"

#include "database/DataBase.h"
#include "database/LogLoader.h"

RecordWriter::RecordWriter(DataBase& database, const DBRecordZrTable& table)
    : m_database(database), m_table(table), m_batch(table.dialect().arrayInsertValues())
{
    if (m_batch <= 0)
        m_insert = m_database.prepare(m_table.insertBoundQuery());
}

void RecordWriter::add(qint64 seconds, float value, int unit, int channel, int device)
{
    if (m_batch > 0) {
        m_pending.append(seconds, value, unit, channel, device);
        if (m_pending.size() >= m_batch)
            finish();
        return;
    }
    m_insert.bindValue(0, seconds);
    m_insert.bindValue(1, LogLoader::storedValue(value));
    m_insert.bindValue(2, unit);
    m_insert.bindValue(3, channel);
    m_insert.bindValue(4, device);
    m_database.execPrepared(m_insert);
}

void RecordWriter::finish()
{
    if (m_pending.size() == 0)
        return;
    m_database.insertRows(m_table, m_pending);
    m_pending.clear();
}
