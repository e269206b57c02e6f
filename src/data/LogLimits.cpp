#include "data/LogLimits.h"

#include "base/InstrumentClock.h"

#include "data/DownloadRecord.h"
#include "data/ModelLogRecord.h"
#include "data/UnitTable.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

constexpr double noValue = std::numeric_limits<double>::quiet_NaN();

// Rows first..last clipped to a table of `rows` rows; first > last when empty.
std::pair<int, int> clippedRows(int rows, int firstRow, int lastRow)
{
    return {std::max(firstRow, 0), std::min(lastRow, rows - 1)};
}

} // namespace

bool LogLimits::isCelsius(const QString& unitText)
{
    return unitText == UnitTable::text(0);
}

ColumnLimitSet LogLimits::fromRecord(const ModelLogRecord& model, const QJsonObject& record)
{
    ColumnLimitSet set;
    const QJsonObject settings = record.value(QStringLiteral("settings")).toObject();
    set.logPeriodSeconds = AlarmLimitRules::logPeriodSeconds(settings);
    const bool secondModel = model.deviceType() == 1;
    for (int column = 1; column < model.columnCount(); ++column) {
        const QString unit = model.headerData(column, Qt::Horizontal, ModelLogRecord::UnitRole).toString();
        if (const auto limits = AlarmLimitRules::fromSettings(settings, column, unit, secondModel))
            set.byColumn.insert(column, *limits);
    }
    return set;
}

ColumnLimitSet LogLimits::forLog(const ModelLogRecord& model, QString* why)
{
    if (why)
        why->clear();
    if (model.filePath().isEmpty())
        return {};
    // No record is no evaluation, nothing to say; a record that is there but
    // refused is said, so the user knows why the limits are missing.
    if (!QFileInfo::exists(DownloadRecord::recordPath(model.filePath())))
        return {};
    QString refused;
    const std::optional<QJsonObject> record = DownloadRecord::read(model.filePath(), &refused);
    if (!record) {
        if (why)
            *why = QStringLiteral("Запись о загрузке %1 не прочитана: %2")
                       .arg(QFileInfo(DownloadRecord::recordPath(model.filePath())).fileName(), refused);
        return {};
    }
    return fromRecord(model, *record);
}

QVector<LimitReading> LogLimits::columnReadings(const QAbstractItemModel* model, int column, int valueRole,
                                                int firstRow, int lastRow)
{
    QVector<LimitReading> readings;
    if (!model || column < 1 || column >= model->columnCount())
        return readings;
    const auto [first, last] = clippedRows(model->rowCount(), firstRow, lastRow);
    readings.reserve(std::max(0, last - first + 1));
    for (int row = first; row <= last; ++row) {
        const QDateTime time = model->index(row, 0).data(valueRole).toDateTime();
        const QVariant value = model->index(row, column).data(valueRole);
        readings.append({time.toSecsSinceEpoch(), value.isValid() ? value.toDouble() : noValue});
    }
    return readings;
}

QString LogLimits::unitOfText(const QString& text)
{
    const int blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : text.mid(blank + 1).trimmed();
}

QVector<LimitReading> LogLimits::textColumnReadings(const QAbstractItemModel* model, int dateColumn, int column,
                                                    const QString& unit, int firstRow, int lastRow)
{
    QVector<LimitReading> readings;
    if (!model || column < 0 || column >= model->columnCount() || dateColumn < 0)
        return readings;
    const auto [first, last] = clippedRows(model->rowCount(), firstRow, lastRow);
    readings.reserve(std::max(0, last - first + 1));
    for (int row = first; row <= last; ++row) {
        // The stored text is the instrument's clock reading: read as UTC, never shifted.
        const std::optional<qint64> time =
            InstrumentClock::secondsOfText(model->index(row, dateColumn).data().toString());
        const QString text = model->index(row, column).data().toString();
        const int blank = text.indexOf(QLatin1Char(' '));
        bool ok = false;
        const double value = (blank < 0 ? text : text.left(blank)).toDouble(&ok);
        const bool counts = ok && !text.isEmpty() && unitOfText(text) == unit && time;
        readings.append({time.value_or(0), counts ? value : noValue});
    }
    return readings;
}

QVector<LimitReading> LogLimits::logColumnReadings(const ModelLogRecord& model, int column, int firstRow,
                                                   int lastRow)
{
    // The records hold what the roles would give; a long log notices the
    // two variants per row the roles would cost.
    QVector<LimitReading> readings;
    if (column < 1 || column >= model.columnCount())
        return readings;
    const QVector<LogRecord>& records = model.records();
    const auto [first, last] = clippedRows(records.size(), firstRow, lastRow);
    readings.reserve(std::max(0, last - first + 1));
    for (int row = first; row <= last; ++row) {
        const LogRecord& record = records.at(row);
        const LogEntry* entry = record.entry(column);
        readings.append({record.dateTime.toSecsSinceEpoch(), entry ? double(entry->value) : noValue});
    }
    return readings;
}
