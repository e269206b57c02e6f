#include "database/LogSources.h"

#include "database/DataBase.h"

#include <QObject>
#include <QVariant>

#include <algorithm>

namespace LogSources {

namespace {
const char* const kProperty = "orvelinLogSources";
} // namespace

bool store(DataBase& database, const DBLogSourceTable& table, const LogSnapshot& log, unsigned int idDevice,
           const QString& typeDevice, int valuesStored)
{
    if (log.source.sha256.isEmpty())
        return false;
    DBParameters parameters;
    parameters.replace(QStringLiteral("idDevice"), idDevice);
    parameters.replace(QStringLiteral("sha256"), QString::fromLatin1(log.source.sha256));
    if (database.findId(table, parameters) >= 0)
        return false;

    const QJsonObject record = log.source.record;
    const QJsonObject instrument = record.value(QStringLiteral("instrument")).toObject();
    const QJsonValue downloaded = record.value(QStringLiteral("downloaded")).toObject().value(QStringLiteral("utc"));
    const QJsonValue settings = record.value(QStringLiteral("settings")).toObject().value(QStringLiteral("hex"));
    const auto textOrNull = [](const QJsonValue& value) {
        return value.isString() ? QVariant(value.toString()) : QVariant();
    };
    parameters.replace(QStringLiteral("typeDevice"), typeDevice);
    parameters.replace(QStringLiteral("fileName"), log.source.fileName);
    parameters.replace(QStringLiteral("downloaded"), textOrNull(downloaded));
    parameters.replace(QStringLiteral("firmware"), textOrNull(instrument.value(QStringLiteral("firmware"))));
    parameters.replace(QStringLiteral("settingsHex"), textOrNull(settings));
    parameters.replace(QStringLiteral("recordCheck"), log.source.check);
    parameters.replace(QStringLiteral("loaded"), QDateTime::currentDateTimeUtc());
    QVector<qint64> times;
    for (qint64 seconds : log.seconds)
        if (seconds != LogSnapshot::noTime)
            times << seconds;
    if (!times.isEmpty()) {
        const auto [first, last] = std::minmax_element(times.cbegin(), times.cend());
        parameters.replace(QStringLiteral("firstTime"), QDateTime::fromSecsSinceEpoch(*first, Qt::UTC));
        parameters.replace(QStringLiteral("lastTime"), QDateTime::fromSecsSinceEpoch(*last, Qt::UTC));
    }
    parameters.replace(QStringLiteral("valuesStored"), valuesStored);
    database.insert(table, parameters);
    return true;
}

QVector<QStringList> select(DataBase& database, const DBLogSourceTable& table, const DBParameters& parameters)
{
    return database.selectRows(table, parameters, DBLogSourceTable::selectedColumns);
}

void attach(QObject* model, const QVector<QStringList>& sources)
{
    if (model)
        model->setProperty(kProperty, QVariant::fromValue(sources));
}

QVector<QStringList> of(const QObject* model)
{
    return model ? model->property(kProperty).value<QVector<QStringList>>() : QVector<QStringList>();
}

} // namespace LogSources
