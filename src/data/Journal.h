#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The append-only journal of what changed instruments and the archive:
// settings written, clock set, downloads, archive loads and deletes. One JSON
// object per line, each holding the time, the computer's user and host and the
// SHA-256 of the line before it ("prev"), so that removing or editing a line
// breaks the chain at the line after it. The first line's "prev" is 64 zeros.
namespace Journal {

constexpr const char* format = "orvelin-journal/1";
// A line longer than this is not ours: a chain break, never read into a value.
constexpr int longestLine = 64 * 1024;

// journal.jsonl in the data folder (beside the executable for a portable copy,
// see DataLocation), or the file ORVELIN_JOURNAL names.
QString defaultPath();

// The line text (without its newline) of `entry` after a line hashing to `previousHash`.
QByteArray composeLine(const QByteArray& previousHash, const QJsonObject& entry);

// The entry an event makes now: format, time (UTC), user, host, event, details.
QJsonObject entry(const QString& event, const QJsonObject& details, const QDateTime& utc);

// Where the lines are kept: a file (journal.jsonl), or a table of the lab's
// archive server that every computer writing to that archive shares.
class Store
{
public:
    virtual ~Store() = default;
    // Adds the line `compose` makes from the last line there is (none: an
    // empty journal), keeping every other writer out from reading that line
    // to adding the new one. Throws a QString saying what failed.
    virtual void append(const std::function<QByteArray(const std::optional<QByteArray>& lastLine)>& compose) = 0;
    // Every line, oldest first, each ended by a newline. Throws a QString.
    virtual QByteArray readAll() = 0;
    // The file's path, or the archive and table, for messages.
    virtual QString where() const = 0;
    // The same under keys of their own, for JSON output: {"file": path}, or
    // {"file": null, "archive": address, "table": name}.
    virtual QJsonObject source() const = 0;
};

std::unique_ptr<Store> fileStore(const QString& path);

// The line that follows `lastLine` (none: the first line) for this event now.
QByteArray nextLine(const std::optional<QByteArray>& lastLine, const QString& event, const QJsonObject& details);

// Appends one event to `store`. Throws a QString saying what failed.
void append(Store& store, const QString& event, const QJsonObject& details);
// The same to the file, under a lock shared with every other writer (the
// application and the command line).
void append(const QString& path, const QString& event, const QJsonObject& details);

// The journal this program writes to: chosen once at start by what the
// program works with (its archive on a server keeps the journal in a table);
// until then, and by default, the file at defaultPath(). The factory is asked
// for a new store on each use, from whatever thread records.
using StoreFactory = std::function<std::unique_ptr<Store>()>;
void useStore(StoreFactory factory);
std::unique_ptr<Store> currentStore();

struct Check
{
    bool intact = true;
    int lines = 0;
    int firstBadLine = 0; // 1-based; 0 while intact
    QString reason;
};

// Checks the chain of a whole journal's bytes.
Check verify(const QByteArray& content);

// The entries of a journal, oldest first; lines that are not entries are
// left out (verify() tells about them). `since` null: all of them.
QList<QJsonObject> entries(const QByteArray& content, const QDateTime& since = QDateTime());

// The journal's bytes; an absent journal is empty. Throws a QString when it cannot be read.
QByteArray readAll(const QString& path);

// Appends to the current journal and returns the reason when that failed
// (empty on success): for callers that go on and only tell the user.
QString record(const QString& event, const QJsonObject& details);

} // namespace Journal
