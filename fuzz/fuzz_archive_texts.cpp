// A log table with any channel, unit and type texts, any values and repeated
// time stamps, loaded into a fresh archive the way the data screen loads it:
// the load stores every value of every first row of a time stamp, and the
// database screen finds each text again in its filter lists, each value under
// its channel and unit, and nothing more on a second load; deleting every row
// empties the archive. No text makes a load fail.

#include "FuzzApp.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "database/DataBaseInteractor.h"
#include "database/LogLoader.h"
#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"
#include "database/TableDBModel.h"

#include <QMap>
#include <QSet>
#include <QSqlRecord>
#include <QStandardItemModel>

#include <cmath>

namespace {

constexpr int measurementRole = 256;
constexpr int valueRole = 257;
constexpr int unitRole = 258;
const QString timeFormat = QStringLiteral("dd.MM.yyyy hh:mm:ss");

struct Value
{
    float value;
    QString unit;
};

// What the loaded log holds: the first row of every time stamp, by time.
struct Log
{
    quint32 id = 0;
    QString type;
    QStringList channels;
    QStringList units;
    QStandardItemModel table;
    QMap<QDateTime, QMap<QString, Value>> expected;

    explicit Log(FuzzInput& in)
    {
        id = in.u32();
        type = in.text();
        for (int i = 1 + in.below(3); i > 0; --i) {
            const QString name = in.text();
            // One log table never has two columns of the same name.
            if (!channels.contains(name))
                channels << name;
        }
        for (int i = 1 + in.below(3); i > 0; --i)
            units << in.text();

        const int rows = in.below(8);
        table.setColumnCount(1 + channels.size());
        table.setRowCount(rows);
        table.setHeaderData(0, Qt::Horizontal, QStringLiteral("Дата"));
        table.setHeaderData(0, Qt::Horizontal, false, measurementRole);
        for (int c = 0; c < channels.size(); ++c) {
            table.setHeaderData(c + 1, Qt::Horizontal, channels.at(c));
            table.setHeaderData(c + 1, Qt::Horizontal, true, measurementRole);
        }
        QSet<QDateTime> seen;
        for (int row = 0; row < rows; ++row) {
            const QDateTime time = QDateTime::fromSecsSinceEpoch(1600000000 + 60 * in.below(4), Qt::UTC);
            table.setData(table.index(row, 0), time.toString(timeFormat));
            table.setData(table.index(row, 0), time, valueRole);
            const bool first = !seen.contains(time);
            seen.insert(time);
            for (int c = 0; c < channels.size(); ++c) {
                const quint8 flags = in.byte();
                float value = in.f32();
                if (!std::isfinite(value))
                    value = float(qint8(flags)) / 4;
                if ((flags & 1) == 0)
                    continue;
                const QString unit = units.at((flags >> 1) % units.size());
                const QModelIndex index = table.index(row, c + 1);
                table.setData(index, QStringLiteral("%1 %2").arg(QString::number(value, 'f', 2), unit));
                table.setData(index, value, valueRole);
                table.setData(index, unit, unitRole);
                if (first)
                    expected[time].insert(channels.at(c), {value, unit});
            }
        }
        // A time stamp whose first row has no value stores nothing.
        for (auto it = expected.begin(); it != expected.end();)
            it = it.value().isEmpty() ? expected.erase(it) : std::next(it);
    }

    QSet<QString> storedChannels() const
    {
        QSet<QString> names;
        for (const auto& values : expected)
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                names.insert(it.key());
        return names;
    }

    QSet<QString> storedUnits() const
    {
        QSet<QString> names;
        for (const auto& values : expected)
            for (const Value& v : values)
                names.insert(v.unit);
        return names;
    }

    QString describe() const
    {
        QStringList parts{QStringLiteral("id %1 type \"%2\"").arg(QString::number(id), type)};
        for (const QString& c : channels)
            parts << QStringLiteral("channel \"%1\"").arg(c);
        for (const QString& u : units)
            parts << QStringLiteral("unit \"%1\"").arg(u);
        return parts.join(QStringLiteral(", "));
    }
};

QSet<QString> listed(const DBQueryModel* list, int column)
{
    const QStringList texts = list->columnTexts(column);
    return QSet<QString>(texts.cbegin(), texts.cend());
}

struct Archive
{
    TableDBModel records;
    DataBaseInteractor interactor{QStringLiteral(":memory:")};
    QStringList errors;

    Archive()
    {
        interactor.setRecordModel(&records);
        QObject::connect(&interactor, &DataBaseInteractor::errorOccurred, [this](const QString& e) { errors << e; });
        interactor.open();
    }

    DataBaseFilters* filters()
    {
        interactor.loadFiltersDB();
        return interactor.filters();
    }

    bool empty()
    {
        DataBaseFilters* f = filters();
        return f->modelTypeChannel()->rowCount() == 0 && f->modelTypeUnit()->rowCount() == 0
            && f->modelDevice()->rowCount() == 0 && !f->period().maxDateTime.isValid();
    }
};

// The selection the database screen makes with these channels and every
// other filter ticked.
DBParameters selection(const Log& log, DataBaseFilters* filters, const QStringList& channels)
{
    DBParameters request;
    for (const QString& channel : channels)
        request.insert(QStringLiteral("nameChannel"), channel);
    for (const QString& unit : log.storedUnits())
        request.insert(QStringLiteral("unit"), unit);
    request.insert(QStringLiteral("idDevice"), int(log.id));
    request.insert(QStringLiteral("DateTime"), filters->period().minDateTime);
    request.insert(QStringLiteral("DateTime"), filters->period().maxDateTime);
    return request;
}

// Every channel's column, and each channel alone in the first column with
// its values at their time stamps.
void checkSelection(const Log& log, Archive& archive, DataBaseFilters* filters)
{
    const QString what = log.describe();
    archive.interactor.updateModel(selection(log, filters, log.channels));
    FUZZ_CHECK(archive.errors.isEmpty(), archive.errors.join(QLatin1Char('|')) + QStringLiteral("; ") + what);
    const QSqlRecord fields = archive.records.record();
    FUZZ_CHECK(fields.count() == log.channels.size() + 2, what);
    // Qt's SQLite driver drops double quotes from column names.
    QStringList names, expectedNames;
    for (int c = 1; c <= log.channels.size(); ++c) {
        names << fields.fieldName(c);
        expectedNames << QString(log.channels.at(c - 1)).remove(QLatin1Char('"'));
    }
    names.sort();
    expectedNames.sort();
    FUZZ_CHECK(names == expectedNames, names.join(QLatin1Char('|')) + QStringLiteral("; ") + what);

    for (const QString& channel : log.channels) {
        archive.interactor.updateModel(selection(log, filters, {channel}));
        FUZZ_CHECK(archive.errors.isEmpty(), archive.errors.join(QLatin1Char('|')) + QStringLiteral("; ") + what);
        const TableDBModel& records = archive.records;
        FUZZ_CHECK(records.rowCount() == log.expected.size(),
                   QStringLiteral("%1 rows; %2").arg(QString::number(records.rowCount()), what));
        for (int row = 0; row < records.rowCount(); ++row) {
            const QSqlRecord record = records.record(row);
            FUZZ_CHECK(record.count() == 3, what);
            QDateTime time = QDateTime::fromString(record.value(0).toString(), timeFormat);
            time.setTimeSpec(Qt::UTC);
            FUZZ_CHECK(log.expected.contains(time), record.value(0).toString());
            FUZZ_CHECK(record.value(2).toInt() == int(log.id), record.value(2).toString());
            const auto& values = log.expected.value(time);
            const QVariant cell = record.value(1);
            if (!values.contains(channel)) {
                FUZZ_CHECK(cell.isNull(), QStringLiteral("%1 at %2: %3").arg(channel, time.toString(), cell.toString()));
                continue;
            }
            const Value& v = values.value(channel);
            const QString text = cell.toString();
            const int space = text.indexOf(QLatin1Char(' '));
            FUZZ_CHECK(space > 0 && text.mid(space + 1) == v.unit,
                       QStringLiteral("\"%1\" for unit \"%2\"; %3").arg(text, v.unit, what));
            // Stored as the shortest decimal of the float, shown rounded to two places.
            bool ok = false;
            const double number = text.left(space).toDouble(&ok);
            const double stored = LogLoader::storedValue(v.value);
            FUZZ_CHECK(ok && std::fabs(number - stored) <= 0.0051 + 1e-12 * std::fabs(stored),
                       QStringLiteral("\"%1\" for %2").arg(text, QString::number(stored, 'g', 17)));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzapp::ensureApplication();
    FuzzInput in(data, size);
    const Log log(in);
    Archive archive;
    FUZZ_CHECK(archive.errors.isEmpty(), archive.errors.join(QLatin1Char('|')));

    archive.interactor.writeFromModel(&log.table, log.id, log.type, measurementRole, valueRole, unitRole);
    FUZZ_CHECK(archive.errors.isEmpty(), archive.errors.join(QLatin1Char('|')) + QStringLiteral("; ") + log.describe());

    DataBaseFilters* filters = archive.filters();
    FUZZ_CHECK(listed(filters->modelTypeChannel(), 1) == log.storedChannels(), log.describe());
    FUZZ_CHECK(listed(filters->modelTypeUnit(), 1) == log.storedUnits(), log.describe());
    if (log.expected.isEmpty()) {
        FUZZ_CHECK(!filters->period().maxDateTime.isValid(), log.describe());
    } else {
        FUZZ_CHECK(filters->modelDevice()->rowCount() == 1, log.describe());
        FUZZ_CHECK(filters->modelDevice()->columnTexts(0) == QStringList{QString::number(int(log.id))}, log.describe());
        FUZZ_CHECK(filters->modelDevice()->columnTexts(1) == QStringList{log.type}, log.describe());
        FUZZ_CHECK(filters->period().minDateTime == log.expected.firstKey()
                       && filters->period().maxDateTime == log.expected.lastKey(),
                   log.describe());
    }
    checkSelection(log, archive, filters);

    // The same log again adds nothing.
    archive.interactor.writeFromModel(&log.table, log.id, log.type, measurementRole, valueRole, unitRole);
    FUZZ_CHECK(archive.errors.isEmpty(), archive.errors.join(QLatin1Char('|')) + QStringLiteral("; ") + log.describe());
    checkSelection(log, archive, filters);

    const DBParameters request = selection(log, filters, log.channels);
    archive.interactor.updateModel(request);
    QList<int> rows;
    for (int row = 0; row < archive.records.rowCount(); ++row)
        rows << row;
    archive.interactor.onDeleteDataDb(rows, request);
    FUZZ_CHECK(archive.errors.isEmpty(), archive.errors.join(QLatin1Char('|')));
    FUZZ_CHECK(archive.records.rowCount() == 0 && archive.empty(), log.describe());
    return 0;
}
