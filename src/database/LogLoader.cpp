#include "database/LogLoader.h"

#include "base/InstrumentClock.h"

#include "database/DBRecordZrTable.h"
#include "database/DBTypeChannelTable.h"
#include "database/DBTypeDeviceTable.h"
#include "database/DBUnitTable.h"
#include "database/DataBase.h"
#include "database/RecordWriter.h"

#include <QDateTime>

#include <charconv>

namespace {

const QString dateTimeKey = QStringLiteral("DateTime");
const QString idDeviceKey = QStringLiteral("idDevice");


} // namespace

LogLoader::LogLoader(DataBase& database, const Tables& tables, std::function<void(float)> progress)
    : m_database(database), m_tables(tables), m_progress(std::move(progress))
{
}

double LogLoader::storedValue(float value)
{
    // Both ways without the C locale: strtod would stop at the decimal point
    // under a locale that writes a comma, and store 23.45 as 23.
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double stored = 0.0;
    std::from_chars(text, written.ptr, stored);
    return stored;
}

qint64 LogLoader::secondsFromText(const QString& text)
{
    return InstrumentClock::secondsOfText(text).value_or(LogSnapshot::noTime);
}

QSet<qint64> LogLoader::storedSeconds(const LogSnapshot& log, int deviceKey)
{
    // The span of the whole log, not just its first and last row: a log whose
    // instrument clock was set back mid-way is covered too.
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    for (qint64 seconds : log.seconds) {
        if (seconds == LogSnapshot::noTime)
            continue;
        first = qMin(first, seconds);
        last = qMax(last, seconds);
    }
    QSet<qint64> stored;
    if (first > last)
        return stored;

    // The record selection without channels: one row per stored time stamp.
    DBParameters request;
    request.insert(dateTimeKey, QDateTime::fromSecsSinceEpoch(first, Qt::UTC));
    request.insert(dateTimeKey, QDateTime::fromSecsSinceEpoch(last, Qt::UTC));
    request.insert(idDeviceKey, deviceKey);
    for (const QString& text : m_database.selectTexts(m_tables.record, request))
        stored.insert(secondsFromText(text));
    return stored;
}

int LogLoader::lookupId(QVector<int>& cache, int index, const IDBTable& table, const QString& column,
                        const QString& text)
{
    int& id = cache[index];
    if (id < 0) {
        DBParameters parameters;
        parameters.replace(column, text);
        id = m_database.findOrInsert(table, parameters);
    }
    return id;
}

void LogLoader::reportProgress(int row, int rows)
{
    if (!m_progress || row >= rows - 1)
        return;
    const float percent = float(row) / float(rows - 1) * 100.0f;
    // Every row would flood the screen with tens of thousands of updates.
    if (m_lastReported >= 0.0f && percent - m_lastReported < 0.1f)
        return;
    m_lastReported = percent;
    m_progress(percent);
}

int LogLoader::load(const LogSnapshot& log, unsigned int idDevice, const QString& typeDevice)
{
    // Instrument numbers are stored as the signed 32-bit numbers the archive
    // has always used; lookups use the same number, so they always match.
    const int deviceKey = int(idDevice);

    m_database.beginTransaction();
    int count = 0;
    try {
        // On a shared archive another computer's load of this instrument ends
        // first, and the time stamps read next include what it stored.
        m_database.lockForLoad(deviceKey);
        const QSet<qint64> stored = storedSeconds(log, deviceKey);

        QVector<int> unitIds(log.units.size(), -1);
        QVector<int> channelIds(log.channels.size(), -1);
        RecordWriter writer(m_database, m_tables.record);
        QSet<qint64> accepted;
        const int rows = log.rowCount();
        const int channels = log.channels.size();
        for (int row = 0; row < rows; ++row) {
            const qint64 seconds = log.seconds.at(row);
            if (seconds != LogSnapshot::noTime && !stored.contains(seconds) && !accepted.contains(seconds)) {
                accepted.insert(seconds);
                for (int channel = 0; channel < channels; ++channel) {
                    const LogSnapshot::Cell& cell = log.cell(row, channel);
                    if (!cell.hasValue())
                        continue;
                    const int unit = lookupId(unitIds, cell.unit, m_tables.unit, QStringLiteral("unit"),
                                              log.units.at(cell.unit));
                    const int name = lookupId(channelIds, channel, m_tables.channel, QStringLiteral("nameChannel"),
                                              log.channels.at(channel));
                    writer.add(seconds, cell.value, unit, name, deviceKey);
                    ++count;
                }
            }
            reportProgress(row, rows);
        }
        writer.finish();
        // An instrument is listed only with values: a log of no readings
        // (its header alone) adds nothing, not even the instrument.
        if (count > 0) {
            DBParameters device;
            device.replace(idDeviceKey, deviceKey);
            device.replace(QStringLiteral("typeDevice"), typeDevice);
            m_database.findOrInsert(m_tables.device, device);
        }
        m_database.commitTransaction();
    } catch (...) {
        m_database.rollbackTransaction();
        throw;
    }
    return count;
}
