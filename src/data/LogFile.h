#pragma once

#include "data/DownloadRecord.h"
#include "data/LogRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class ModelLogRecord;

// Everything a .LOG file holds.
struct LogFileContent
{
    quint32 deviceId = 0;
    int deviceType = -1;      // 0 = ZR-7.47, 1 = ZR-7.49
    QVector<LogRecord> records;
    QString path;             // where it was read from; empty when not from a file
    // Where the bytes came from, when read from a file: their SHA-256, the
    // download record beside the file (empty when there is none) and whether
    // the file is still as it was downloaded.
    QByteArray sha256;
    QJsonObject downloadRecord;
    DownloadRecord::Check downloadCheck = DownloadRecord::Check::NoRecord;
};

// The .LOG file: a 7-byte header ("id", signed type byte, LE 32-bit device ID)
// followed by 24-byte records; trailing bytes after the last whole record are
// ignored. Every failure is thrown as a QString carrying the user message.
class LogFile
{
public:
    static constexpr int headerSize = 7;
    static constexpr int recordSize = 24;
    // The largest file an instrument can hold: its whole memory of 1 MiB
    // (the settings take its last sector, so a real log is smaller still;
    // 40,000 records are 960,007 bytes). Anything larger is not a log.
    static constexpr qint64 maxFileSize = 0x100000;

    // Folder of one instrument's downloads: <logRoot>/<id>, where an empty
    // root is the LOG folder beside the executable. Created with all missing
    // parents on every call.
    static QString folderPath(quint32 idDevice, const QString& logRoot = QString());

    // <folderPath(idDevice, logRoot)>/<fileName>; creates the folder as above.
    static QString filePath(quint32 idDevice, const QString& fileName, const QString& logRoot = QString());

    // Reads a whole file. Never creates a missing file.
    // Throws "Ошибка открытия файла" (with ": это папка" or ": это не обычный
    // файл" for what is not a file) or "Файл поврежден"; a file larger than
    // maxFileSize is damaged (tooLargeText()) and is refused before reading.
    static LogFileContent read(const QString& path);
    static QString tooLargeText();

    // Reads the file and only then fills the model (ID, type, records), so a
    // damaged file leaves the model untouched. Throws as read().
    static void readInto(const QString& path, ModelLogRecord& model);

    // Decodes file bytes; throws "Файл поврежден" for a missing signature or
    // a file too short for its header.
    static LogFileContent parse(const QByteArray& bytes);

    // Decodes one 24-byte record (the caller guarantees the length). A value
    // that is not a finite number (NaN, infinity) is no measurement: its
    // column gets no entry, as if the channel had not reported it.
    static LogRecord decodeRecord(const char* record);
};
