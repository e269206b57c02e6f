#include "report/ProvenanceBlock.h"

#include "data/DownloadRecord.h"
#include "data/ModelLogRecord.h"
#include "database/LogSources.h"
#include "report/Reporter.h"

#include <QJsonObject>
#include <QTextCursor>
#include <QTextDocument>

namespace ProvenanceBlock {

namespace {

const QString kHeading = QStringLiteral("Происхождение данных");
const QString kUnknown = QStringLiteral("—");
constexpr int kHeadingSize = 12;
constexpr int kTableSize = 8;

QString programText()
{
    return QStringLiteral("%1 %2").arg(QLatin1String(DownloadRecord::programName),
                                       QLatin1String(DownloadRecord::programVersion));
}

// A download time (UTC in the record) as the reader's wall clock.
QString downloadedText(const QString& utc)
{
    const QDateTime time = QDateTime::fromString(utc, Qt::ISODate);
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : kUnknown;
}

QString differenceText(const QJsonValue& seconds)
{
    if (!seconds.isDouble())
        return kUnknown;
    const qint64 value = qint64(seconds.toDouble());
    return QStringLiteral("%1%2 с").arg(value > 0 ? QStringLiteral("+") : QString()).arg(value);
}

// Hashes in a monospaced face: proportional faces join "ff" or "fi" into one
// ligature glyph, and the hash read or copied from the page would differ.
void setHashesMonospaced(Reporter& reporter, const QStringList& hashes)
{
    QTextCharFormat mono;
    mono.setFontFamily(QStringLiteral("DejaVu Sans Mono"));
    mono.setFontFixedPitch(true);
    mono.setFontStyleHint(QFont::Monospace);
    for (const QString& hash : hashes) {
        if (hash.isEmpty())
            continue;
        QTextCursor found = reporter.document()->find(hash);
        if (!found.isNull())
            found.mergeCharFormat(mono);
    }
}

} // namespace

QVector<QStringList> logRows(const ModelLogRecord& log)
{
    const QJsonObject record = log.downloadRecord();
    const QJsonObject instrument = record.value(QStringLiteral("instrument")).toObject();
    const QString type = instrument.value(QStringLiteral("type")).toString(log.deviceName());
    const QString firmware = instrument.value(QStringLiteral("firmware")).toString();
    const QJsonObject downloaded = record.value(QStringLiteral("downloaded")).toObject();
    QString when = kUnknown;
    if (!record.isEmpty())
        when = downloadedText(downloaded.value(QStringLiteral("utc")).toString()) + QStringLiteral(" (")
            + downloaded.value(QStringLiteral("timeZone")).toString() + QLatin1Char(')');
    return {
        {QStringLiteral("Прибор"), QStringLiteral("%1, ID %2").arg(type).arg(log.deviceId())},
        {QStringLiteral("Версия ПО прибора"), firmware.isEmpty() ? kUnknown : firmware},
        {QStringLiteral("Загружен с прибора"), when},
        {QStringLiteral("Отличие часов прибора при загрузке"),
         differenceText(record.value(QStringLiteral("clock")).toObject().value(QStringLiteral("differenceSeconds")))},
        {QStringLiteral("Файл"), log.fileName() + QStringLiteral(": ") + DownloadRecord::checkText(log.downloadCheck())},
        {QStringLiteral("Программа"), programText()},
    };
}

QVector<QStringList> databaseRows(const QVector<QStringList>& sources)
{
    // Source columns: fileName, idDevice, typeDevice, firmware, downloaded, sha256, recordCheck, ...
    QVector<QStringList> rows;
    for (const QStringList& source : sources) {
        if (source.size() < 7)
            continue;
        QString file = source[0];
        if (source[6] != DownloadRecord::checkText(DownloadRecord::Check::Matches))
            file += QStringLiteral(" (") + source[6] + QLatin1Char(')');
        QString instrument = QStringLiteral("%1, ID %2").arg(source[2], source[1]);
        if (!source[3].isEmpty())
            instrument += QStringLiteral(", ПО ") + source[3];
        // One cell per source, the hash on a line of its own: it stays whole on the page.
        rows << QStringList{QStringLiteral("%1 — %2 — загружен с прибора %3\nSHA-256: %4")
                                .arg(file, instrument, source[4].isEmpty() ? kUnknown : downloadedText(source[4]),
                                     source[5])};
    }
    return rows;
}

void addForLog(Reporter& reporter, const QObject* model)
{
    const auto* log = qobject_cast<const ModelLogRecord*>(model);
    if (!log || log->fileName().isEmpty())
        return;
    reporter.insertHeading(kHeading, kHeadingSize);
    reporter.insertTableHeader({QStringLiteral("Сведение"), QStringLiteral("Значение")}, kTableSize);
    reporter.appendTableRows(logRows(*log));
    // A table of its own, the full width: the hash stays on one line.
    reporter.insertTableHeader({QStringLiteral("SHA-256 файла")}, kTableSize);
    reporter.appendTableRow({QString::fromLatin1(log->fileSha256())});
    setHashesMonospaced(reporter, {QString::fromLatin1(log->fileSha256())});
}

void addForDatabase(Reporter& reporter, const QObject* model)
{
    const QVector<QStringList> sources = LogSources::of(model);
    const QVector<QStringList> rows = databaseRows(sources);
    reporter.insertHeading(kHeading, kHeadingSize);
    reporter.insertTableHeader({QStringLiteral("Исходные файлы: файл, прибор, время загрузки с прибора, SHA-256")},
                               kTableSize);
    if (rows.isEmpty())
        reporter.appendTableRow({QStringLiteral("Исходные файлы строк не найдены в базе (загружены до их учёта)")});
    else
        reporter.appendTableRows(rows);
    reporter.appendTableRow({QStringLiteral("Программа: ") + programText()});
    QStringList hashes;
    for (const QStringList& source : sources)
        hashes << source.value(5);
    setHashesMonospaced(reporter, hashes);
}

} // namespace ProvenanceBlock
