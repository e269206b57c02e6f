#include "data/DownloadRecord.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

namespace DownloadRecord {

namespace {

// A record is a few kilobytes; anything far larger is not one of ours and is
// not read into memory.
constexpr qint64 kLargestRecord = 1 << 20;

QString isoClock(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

QJsonValue isoOrNull(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(isoClock(time)) : QJsonValue(QJsonValue::Null);
}

bool isLowerHex(const QString& text, int length)
{
    if (text.size() != length)
        return false;
    for (QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

void setWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

} // namespace

QString recordPath(const QString& logPath)
{
    return logPath + QStringLiteral(".json");
}

std::optional<QJsonObject> read(const QString& logPath, QString* why)
{
    QFile file(recordPath(logPath));
    if (!file.exists()) {
        setWhy(why, QStringLiteral("файла записи нет"));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setWhy(why, QStringLiteral("файл записи не читается: ") + file.errorString());
        return std::nullopt;
    }
    if (file.size() > kLargestRecord) {
        setWhy(why, QStringLiteral("файл записи слишком велик"));
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.read(kLargestRecord), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        setWhy(why, QStringLiteral("файл записи повреждён"));
        return std::nullopt;
    }
    const QJsonObject record = document.object();
    if (record.value(QStringLiteral("format")).toString() != QLatin1String(format)) {
        setWhy(why, QStringLiteral("файл записи другого формата"));
        return std::nullopt;
    }
    if (!isLowerHex(record.value(QStringLiteral("sha256")).toString(), 64)) {
        setWhy(why, QStringLiteral("в записи нет хеша SHA-256"));
        return std::nullopt;
    }
    return record;
}

Check verify(const QString& logPath)
{
    const std::optional<QJsonObject> record = read(logPath);
    if (!record)
        return Check::NoRecord;
    const QByteArray now = fileSha256Hex(logPath);
    if (now.isEmpty())
        return Check::Changed;
    return now == record->value(QStringLiteral("sha256")).toString().toLatin1() ? Check::Matches : Check::Changed;
}

QString checkText(Check check)
{
    switch (check) {
    case Check::Matches:
        return QStringLiteral("совпадает");
    case Check::Changed:
        return QStringLiteral("изменён после загрузки");
    case Check::NoRecord:
        break;
    }
    return QStringLiteral("нет записи о загрузке");
}

QByteArray sha256Hex(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray fileSha256Hex(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

qint64 clockDifference(const QDateTime& instrumentClock, const QDateTime& computerLocal)
{
    // Both as readings of one wall clock: no zone may enter the difference.
    const QDateTime computerReading(computerLocal.date(), computerLocal.time(), Qt::UTC);
    const QDateTime instrumentReading(instrumentClock.date(), instrumentClock.time(), Qt::UTC);
    return computerReading.secsTo(instrumentReading);
}

QJsonObject compose(const Source& source)
{
    QJsonObject settings = source.settings;
    settings.insert(QStringLiteral("hex"), source.settingsBytes.isEmpty()
                                               ? QJsonValue(QJsonValue::Null)
                                               : QJsonValue(QString::fromLatin1(source.settingsBytes.toHex())));
    const bool clockRead = source.instrumentClock.isValid();
    return QJsonObject{
        {QStringLiteral("format"), QLatin1String(format)},
        {QStringLiteral("program"),
         QJsonObject{{QStringLiteral("name"), QLatin1String(programName)},
                     {QStringLiteral("version"), QLatin1String(programVersion)}}},
        {QStringLiteral("instrument"),
         QJsonObject{{QStringLiteral("type"), source.typeWord},
                     {QStringLiteral("firmware"), source.firmware},
                     {QStringLiteral("id"), double(source.id)},
                     {QStringLiteral("port"), source.port}}},
        {QStringLiteral("downloaded"),
         QJsonObject{{QStringLiteral("utc"),
                      source.downloadedUtc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))},
                     {QStringLiteral("timeZone"), source.timeZone}}},
        {QStringLiteral("clock"),
         QJsonObject{{QStringLiteral("instrument"), isoOrNull(source.instrumentClock)},
                     {QStringLiteral("differenceSeconds"),
                      clockRead ? QJsonValue(double(source.differenceSeconds)) : QJsonValue(QJsonValue::Null)}}},
        {QStringLiteral("file"),
         QJsonObject{{QStringLiteral("name"), source.fileName},
                     {QStringLiteral("group"), source.group < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(source.group)},
                     {QStringLiteral("index"), source.index < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(source.index)},
                     {QStringLiteral("start"), isoOrNull(source.start)},
                     {QStringLiteral("stop"), isoOrNull(source.stop)},
                     {QStringLiteral("sizeBytes"), double(source.sizeBytes)},
                     {QStringLiteral("records"), double(source.records)}}},
        {QStringLiteral("settings"), settings},
        {QStringLiteral("sha256"), QString::fromLatin1(source.sha256)},
    };
}

void write(const QString& logPath, const QJsonObject& record)
{
    const QString path = recordPath(logPath);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw QStringLiteral("Запись о загрузке не создана: %1 (%2)").arg(path, file.errorString());
    const QByteArray bytes = QJsonDocument(record).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw QStringLiteral("Запись о загрузке не сохранена: %1 (%2)").arg(path, file.errorString());
}

bool remove(const QString& logPath)
{
    QFile file(recordPath(logPath));
    return !file.exists() || file.remove();
}

} // namespace DownloadRecord
