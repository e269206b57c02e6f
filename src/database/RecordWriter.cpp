#include "database/RecordWriter.h"

#include "database/DataBase.h"
#include "database/LogLoader.h"

RecordWriter::RecordWriter(DataBase& database, const DBRecordZrTable& table)
    : m_database(database), m_table(table), m_batch(table.dialect().copyValues())
{
    if (m_batch <= 0)
        m_insert = m_database.prepare(m_table.insertBoundQuery());
}

void RecordWriter::add(qint64 seconds, float value, int unit, int channel, int device)
{
    if (m_batch > 0) {
        if (seconds != m_rowSeconds || m_rowChannels.isEmpty()) {
            m_rowSeconds = seconds;
            m_rowChannels.clear();
        } else if (m_rowChannels.contains(channel)) {
            return;
        }
        m_rowChannels << channel;
        DBRecordZrTable::appendCopyRow(m_pending, seconds, value, unit, channel, device);
        if (++m_pendingValues >= m_batch)
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
    if (m_pendingValues == 0)
        return;
    m_database.copyRows(m_table, m_pending);
    m_pending.clear();
    m_pendingValues = 0;
}
