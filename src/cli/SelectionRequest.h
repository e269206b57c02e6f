#pragma once

#include "cli/ArchiveSession.h"
#include "cli/CliArguments.h"

#include <QDateTime>
#include <QList>
#include <QMultiHash>
#include <QVariant>

#include <utility>

// The filters of the database screen given as options (--device, --channel,
// --unit, --from, --to) and turned into the same request parameters the
// screen sends. What is not given is taken from what the archive holds: every
// channel, every instrument, the whole stored period.
class SelectionRequest
{
public:
    static QList<CliOption> options();

    // Reads the options; a malformed number or time is a usage CliFailure.
    explicit SelectionRequest(const CliArguments& arguments);

    // The keys "DateTime" (begin and end), "nameChannel", "unit" and "idDevice".
    // A channel, unit or instrument the archive does not hold is a usage
    // CliFailure: it would only give an empty column or selection. A single
    // limit beyond the other end of the stored period fails with noRecordsText().
    QMultiHash<QString, QVariant> parameters(const ArchiveSession::Contents& stored);

    // The period of the last parameters(), as the instrument's clock (UTC spec).
    QDateTime begin() const { return m_begin; }
    QDateTime end() const { return m_end; }

    // "dd.MM.yyyy[ hh:mm[:ss]]" or "yyyy-MM-dd[Thh:mm[:ss]]" as the instrument's
    // clock; a date alone is the start of that day, or its last second when
    // `endOfDay`. Invalid when the text is none of these.
    static QDateTime parseClock(const QString& text, bool endOfDay);
    // parseClock of an option's value, or a usage CliFailure naming the option.
    static QDateTime clockOption(const CliArguments& arguments, const QString& option, bool endOfDay);
    // --from and --to (each invalid when not given); a period that ends before
    // it begins is a usage CliFailure.
    static std::pair<QDateTime, QDateTime> period(const CliArguments& arguments);
    // Said when a period holds no measurement.
    static QString noRecordsText();

private:
    QList<int> m_devices;
    QStringList m_channels;
    QStringList m_units;
    QDateTime m_from;
    QDateTime m_to;
    QDateTime m_begin;
    QDateTime m_end;
};
