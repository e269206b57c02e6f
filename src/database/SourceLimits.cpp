#include "database/SourceLimits.h"

#include "data/AlarmLimits.h"
#include "data/ModelLogRecord.h"
#include "database/LogSources.h"
#include "device/DownloadProvenance.h"

#include <QSqlQueryModel>
#include <QSqlRecord>

namespace SourceLimits {

namespace {

// Columns of a source row (DBLogSourceTable::selectQuery).
constexpr int typeColumn = 2;
constexpr int firmwareColumn = 3;
constexpr int settingsColumn = 10;

int deviceTypeOf(const QString& typeDevice)
{
    for (int type : {0, 1})
        if (ModelLogRecord::deviceName(type) == typeDevice)
            return type;
    return -1;
}

} // namespace

std::optional<AlarmLimits> common(const QVector<QStringList>& sources, const QString& channel, const QString& unit)
{
    std::optional<AlarmLimits> agreed;
    for (const QStringList& source : sources) {
        const QString typeDevice = source.value(typeColumn);
        const int column = ModelLogRecord::headersForType(deviceTypeOf(typeDevice)).indexOf(channel);
        if (column < 1)
            continue; // this instrument has no such channel: none of its values are there
        const QByteArray area = QByteArray::fromHex(source.value(settingsColumn).toLatin1());
        // The decoder tells the models apart by the type word as the instrument says it.
        const QString deviceInfo = QString(typeDevice).remove(QLatin1Char('-')) + QLatin1Char(' ')
                                   + source.value(firmwareColumn);
        const QJsonObject settings = DownloadProvenance::settingsJson(area, deviceInfo);
        if (settings.isEmpty())
            return std::nullopt;
        const std::optional<AlarmLimits> limits =
            AlarmLimitRules::fromSettings(settings, column, unit, deviceTypeOf(typeDevice) == 1);
        if (!limits || (agreed && !(*agreed == *limits)))
            return std::nullopt;
        agreed = limits;
    }
    return agreed;
}

ColumnLimitSet forSelection(const QSqlQueryModel& selection)
{
    ColumnLimitSet set;
    const QVector<QStringList> sources = LogSources::of(&selection);
    if (sources.isEmpty())
        return set;
    const QSqlRecord fields = selection.record();
    for (int field = 0; field < fields.count(); ++field) {
        const QString name = fields.fieldName(field);
        QString unit;
        for (int row = 0; row < selection.rowCount() && unit.isEmpty(); ++row)
            unit = LogLimits::unitOfText(selection.index(row, field).data().toString());
        if (unit.isEmpty())
            continue;
        if (const std::optional<AlarmLimits> limits = common(sources, name, unit))
            set.byColumn.insert(field, *limits);
    }
    return set;
}

} // namespace SourceLimits
