#pragma once

#include "data/Journal.h"

// The journal kept in table JOURNAL of an archive: the lab's shared archive
// on a PostgreSQL server, where every computer that writes to the archive
// adds to one chain. Each use connects anew, so any thread may record.
class ArchiveJournal : public Journal::Store
{
public:
    // `location`: the archive's address as given (useFor passes the configured one when none is named).
    explicit ArchiveJournal(const QString& location);

    void append(const std::function<QByteArray(const std::optional<QByteArray>& lastLine)>& compose) override;
    // An archive without the table has an empty journal.
    QByteArray readAll() override;
    QString where() const override { return m_where; }
    QJsonObject source() const override;

    // Chooses the journal of a program that works with the archive `location`
    // (empty: the configured one): its table when that archive is on a server,
    // else the journal file. A file named by ORVELIN_JOURNAL always wins.
    static void useFor(const QString& location);

private:
    QString m_location;
    QString m_where;
};
