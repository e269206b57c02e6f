#include "data/Journal.h"

#include "base/DataLocation.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QLockFile>
#include <QMutex>
#include <QProcessEnvironment>
#include <QSysInfo>

namespace Journal {

namespace {

const QByteArray kFirstPrevious(64, '0');

QByteArray hashOf(const QByteArray& line)
{
    return QCryptographicHash::hash(line, QCryptographicHash::Sha256).toHex();
}

QString userName()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString user = environment.value(QStringLiteral("USER"), environment.value(QStringLiteral("USERNAME")));
    return user.isEmpty() ? QStringLiteral("?") : user;
}

// The last line of a journal, without its newline; empty for an empty journal.
QByteArray lastLine(QFile& file)
{
    const qint64 size = file.size();
    if (size == 0)
        return QByteArray();
    // Lines longer than the limit are breaks anyway; their hash still chains
    // the next line, so read enough to hold the longest sound one.
    const qint64 tail = qMin<qint64>(size, longestLine + 2);
    file.seek(size - tail);
    QByteArray bytes = file.read(tail);
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    const int newline = bytes.lastIndexOf('\n');
    return bytes.mid(newline + 1);
}

} // namespace

QString defaultPath()
{
    const QString chosen = qEnvironmentVariable("ORVELIN_JOURNAL");
    if (!chosen.isEmpty())
        return chosen;
    return DataLocation::dataDir() + QStringLiteral("/journal.jsonl");
}

QByteArray composeLine(const QByteArray& previousHash, const QJsonObject& entry)
{
    QJsonObject chained = entry;
    chained.insert(QStringLiteral("prev"), QString::fromLatin1(previousHash));
    return QJsonDocument(chained).toJson(QJsonDocument::Compact);
}

QJsonObject entry(const QString& event, const QJsonObject& details, const QDateTime& utc)
{
    QJsonObject entry = details;
    entry.insert(QStringLiteral("format"), QLatin1String(format));
    entry.insert(QStringLiteral("time"), utc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    entry.insert(QStringLiteral("user"), userName());
    entry.insert(QStringLiteral("host"), QSysInfo::machineHostName());
    entry.insert(QStringLiteral("event"), event);
    return entry;
}

QByteArray nextLine(const std::optional<QByteArray>& previous, const QString& event, const QJsonObject& details)
{
    return composeLine(previous ? hashOf(*previous) : kFirstPrevious,
                       entry(event, details, QDateTime::currentDateTimeUtc()));
}

namespace {

class FileStore : public Store
{
public:
    explicit FileStore(const QString& path) : m_path(path) {}

    void append(const std::function<QByteArray(const std::optional<QByteArray>&)>& compose) override
    {
        QLockFile lock(m_path + QStringLiteral(".lock"));
        lock.setStaleLockTime(30000);
        if (!lock.tryLock(10000))
            throw QStringLiteral("Журнал занят другой программой: %1").arg(m_path);
        QFile file(m_path);
        if (!file.open(QIODevice::ReadWrite))
            throw QStringLiteral("Журнал не открывается: %1 (%2)").arg(m_path, file.errorString());
        QByteArray line = compose(file.size() == 0 ? std::nullopt : std::optional<QByteArray>(lastLine(file)));
        // A journal whose last line lost its newline (a crash mid-write) gets
        // one first, so that the new line stays a line of its own.
        if (file.size() > 0) {
            file.seek(file.size() - 1);
            if (file.read(1) != "\n")
                line.prepend('\n');
        }
        line.append('\n');
        file.seek(file.size());
        if (file.write(line) != line.size() || !file.flush())
            throw QStringLiteral("Журнал не записан: %1 (%2)").arg(m_path, file.errorString());
    }

    QByteArray readAll() override { return Journal::readAll(m_path); }
    QString where() const override { return m_path; }
    QJsonObject source() const override { return {{QStringLiteral("file"), m_path}}; }

private:
    QString m_path;
};

QMutex factoryMutex;
StoreFactory chosenFactory;

} // namespace

std::unique_ptr<Store> fileStore(const QString& path)
{
    return std::make_unique<FileStore>(path);
}

void append(Store& store, const QString& event, const QJsonObject& details)
{
    store.append([&](const std::optional<QByteArray>& last) { return nextLine(last, event, details); });
}

void append(const QString& path, const QString& event, const QJsonObject& details)
{
    FileStore store(path);
    append(store, event, details);
}

void useStore(StoreFactory factory)
{
    const QMutexLocker locker(&factoryMutex);
    chosenFactory = std::move(factory);
}

std::unique_ptr<Store> currentStore()
{
    StoreFactory factory;
    {
        const QMutexLocker locker(&factoryMutex);
        factory = chosenFactory;
    }
    return factory ? factory() : fileStore(defaultPath());
}

Check verify(const QByteArray& content)
{
    Check check;
    QByteArray previousHash = kFirstPrevious;
    int start = 0;
    while (start < content.size()) {
        int end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        const QByteArray line = content.mid(start, end - start);
        start = end + 1;
        ++check.lines;
        const auto broken = [&](const QString& reason) {
            check.intact = false;
            check.firstBadLine = check.lines;
            check.reason = reason;
        };
        if (line.size() > longestLine) {
            broken(QStringLiteral("строка длиннее 64 КБ"));
            return check;
        }
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            broken(QStringLiteral("строка не является записью JSON"));
            return check;
        }
        if (document.object().value(QStringLiteral("prev")).toString().toLatin1() != previousHash) {
            broken(check.lines == 1 ? QStringLiteral("начало журнала удалено или изменено")
                                    : QStringLiteral("предыдущая строка удалена или изменена"));
            return check;
        }
        previousHash = hashOf(line);
    }
    return check;
}

QList<QJsonObject> entries(const QByteArray& content, const QDateTime& since)
{
    QList<QJsonObject> list;
    for (const QByteArray& line : content.split('\n')) {
        if (line.isEmpty() || line.size() > longestLine)
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (!document.isObject())
            continue;
        const QJsonObject entry = document.object();
        if (since.isValid()) {
            const QDateTime time = QDateTime::fromString(entry.value(QStringLiteral("time")).toString(), Qt::ISODate);
            if (!time.isValid() || time < since)
                continue;
        }
        list << entry;
    }
    return list;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        throw QStringLiteral("Журнал не открывается: %1 (%2)").arg(path, file.errorString());
    return file.readAll();
}

QString record(const QString& event, const QJsonObject& details)
{
    try {
        append(*currentStore(), event, details);
    } catch (const QString& message) {
        return message;
    }
    return QString();
}

} // namespace Journal
