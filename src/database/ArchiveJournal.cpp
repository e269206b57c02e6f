#include "database/ArchiveJournal.h"

#include "base/DataLocation.h"
#include "database/DBJournalTable.h"
#include "database/DataBase.h"

ArchiveJournal::ArchiveJournal(const QString& location)
    : m_location(location)
    , m_where(QStringLiteral("%1, таблица %2").arg(location, DBJournalTable::tableName()))
{
}

void ArchiveJournal::append(const std::function<QByteArray(const std::optional<QByteArray>&)>& compose)
{
    DataBase archive(m_location);
    try {
        archive.open();
        const DBJournalTable table(archive.dialect());
        archive.createTable(table);
        archive.beginTransaction();
        archive.lockForJournal();
        const QStringList last = archive.selectTexts(table, {{QStringLiteral("last"), true}});
        const QByteArray line =
            compose(last.isEmpty() ? std::nullopt : std::optional<QByteArray>(last.first().toUtf8()));
        archive.insert(table, {{QStringLiteral("line"), QString::fromUtf8(line)}});
        archive.commitTransaction();
    } catch (const QString& message) {
        archive.rollbackTransaction();
        throw QStringLiteral("Журнал не записан: %1: %2").arg(m_where, message);
    }
}

QJsonObject ArchiveJournal::source() const
{
    return {{QStringLiteral("file"), QJsonValue()},
            {QStringLiteral("archive"), m_location},
            {QStringLiteral("table"), DBJournalTable::tableName()}};
}

QByteArray ArchiveJournal::readAll()
{
    DataBase archive(m_location);
    QByteArray content;
    try {
        archive.open();
        if (!archive.tableNames().contains(DBJournalTable::tableName()))
            return content;
        for (const QString& line : archive.selectTexts(DBJournalTable(archive.dialect()), {}))
            content += line.toUtf8() + '\n';
    } catch (const QString& message) {
        throw QStringLiteral("Журнал не читается: %1: %2").arg(m_where, message);
    }
    return content;
}

void ArchiveJournal::useFor(const QString& location)
{
    const QString text = location.isEmpty() ? ArchiveLocation::configuredText() : location;
    if (!qEnvironmentVariableIsEmpty("ORVELIN_JOURNAL")
        || !ArchiveLocation::parse(text, DataLocation::dataDir()).isServer()) {
        Journal::useStore(nullptr);
        return;
    }
    Journal::useStore([text] { return std::make_unique<ArchiveJournal>(text); });
}
