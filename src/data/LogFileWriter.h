#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

class QSaveFile;

// Writes a downloaded .LOG file so that the final name only ever holds a
// complete copy: the bytes go into a temporary file in the target's folder,
// and commit() sets the file times and renames it over the target in one step.
// A writer destroyed or aborted before commit() removes its temporary file
// and leaves any earlier file at the target untouched.
// Failures are thrown as a QString carrying the user message.
class LogFileWriter
{
public:
    explicit LogFileWriter(const QString& targetPath);
    ~LogFileWriter();

    LogFileWriter(const LogFileWriter&) = delete;
    LogFileWriter& operator=(const LogFileWriter&) = delete;

    QString targetPath() const { return m_targetPath; }

    // Creates the temporary file. Throws "Ошибка открытия файла".
    void open();

    // Appends bytes unchanged (header, then records). Throws "Ошибка записи файла".
    void write(const QByteArray& bytes);

    // Finishes the file: modification time = stopLog and birth time = startLog
    // (each read as a local wall-clock time with the same clock reading; null
    // times are left alone; birth time is best effort, many file systems do
    // not allow setting it), flush, close, replace the target atomically.
    // Throws "Ошибка записи файла" when the file cannot be completed.
    void commit(const QDateTime& startLog, const QDateTime& stopLog);

    // Drops the temporary file. Safe to call at any time, also twice.
    void abort();

    // The same clock reading as a local time (the file system's view of it);
    // a reading the local clock skips is moved just past the gap.
    static QDateTime toLocalWallClock(const QDateTime& instrumentTime);

private:
    QString m_targetPath;
    std::unique_ptr<QSaveFile> m_file;
};
