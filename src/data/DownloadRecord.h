#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The download record: a small JSON file `<NAME>.LOG.json` beside every
// downloaded .LOG that says where its bytes came from (instrument, firmware,
// port, time, the instrument's clock and settings) and holds the SHA-256 of
// the .LOG as it was written, so that a later change of the file shows.
// Pure file work on Qt Core; what the instrument said is gathered by the
// device layer and handed in as a Source.
namespace DownloadRecord {

constexpr const char* format = "orvelin-download/1";
constexpr const char* programName = "Orvelin";
constexpr const char* programVersion = "1.00";

QString recordPath(const QString& logPath); // logPath + ".json"

// The record beside a .LOG; nullopt (with the reason) when missing,
// unreadable, damaged or foreign. A record is accepted only when it is a JSON
// object of our format whose "sha256" is 64 lowercase hex digits.
std::optional<QJsonObject> read(const QString& logPath, QString* why = nullptr);

// "совпадает", "изменён после загрузки", "нет записи о загрузке"
enum class Check { Matches, Changed, NoRecord };
// Compares the .LOG's bytes now with the hash in its record. A .LOG that is
// gone or unreadable while its record exists is Changed.
Check verify(const QString& logPath);
QString checkText(Check);

QByteArray sha256Hex(const QByteArray& bytes);
// The hash of a whole file, streamed; empty when it cannot be read.
QByteArray fileSha256Hex(const QString& path);

// What one download knew about its file. Times are the instrument's wall
// clock with the UTC spec, as everywhere in the application.
struct Source
{
    QString typeWord;
    QString firmware;
    quint32 id = 0;
    QString port;

    QDateTime downloadedUtc;   // the computer's clock at the download
    QString timeZone;          // the computer's zone, IANA name
    QDateTime instrumentClock; // null when it could not be read
    qint64 differenceSeconds = 0;

    QString fileName;
    int group = -1; // -1/-1: the file was not seen in a listing
    int index = -1;
    QDateTime start;
    QDateTime stop;
    qint64 sizeBytes = 0;
    qint64 records = 0;

    QByteArray settingsBytes;   // the settings area as read; empty when not read
    QJsonObject settings;       // its decoded form (built by the device layer)

    QByteArray sha256;          // 64 lowercase hex digits of the .LOG
};

// The record's JSON object; settings.hex is filled from settingsBytes.
QJsonObject compose(const Source& source);

// The clock difference the record holds: the instrument's reading minus the
// computer's local wall clock, both taken as readings of one wall clock.
qint64 clockDifference(const QDateTime& instrumentClock, const QDateTime& computerLocal);

// Writes the record beside the .LOG in one step (a temporary file renamed
// into place). Throws a QString saying what failed and where.
void write(const QString& logPath, const QJsonObject& record);

// Removes a record that no longer belongs to its .LOG; true when none is left.
bool remove(const QString& logPath);

} // namespace DownloadRecord
