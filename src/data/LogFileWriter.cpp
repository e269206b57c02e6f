#include "data/LogFileWriter.h"

#include "base/InstrumentClock.h"

#include <QSaveFile>

namespace {
const QString openErrorText = QStringLiteral("Ошибка открытия файла");
const QString writeErrorText = QStringLiteral("Ошибка записи файла");
}

LogFileWriter::LogFileWriter(const QString& targetPath)
    : m_targetPath(targetPath)
{
}

LogFileWriter::~LogFileWriter()
{
    abort();
}

QDateTime LogFileWriter::toLocalWallClock(const QDateTime& instrumentTime)
{
    // The same rule as everywhere a reading meets the local clock: a reading
    // the local clock skips (daylight saving starts) still gets a file time.
    return InstrumentClock::localWallClock(instrumentTime);
}

void LogFileWriter::open()
{
    abort();
    // QSaveFile writes into a temporary file in the target's folder and
    // replaces the target by a rename only on commit.
    m_file = std::make_unique<QSaveFile>(m_targetPath);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_file.reset();
        throw openErrorText;
    }
}

void LogFileWriter::write(const QByteArray& bytes)
{
    if (!m_file || m_file->write(bytes) != bytes.size())
        throw writeErrorText;
}

void LogFileWriter::commit(const QDateTime& startLog, const QDateTime& stopLog)
{
    if (!m_file || !m_file->flush())
        throw writeErrorText;

    // Times are set after the last write so that nothing moves them again;
    // the rename keeps them. Setting a birth time is unsupported on many
    // systems, hence its result is ignored; a single measurement has none.
    const QDateTime birth = toLocalWallClock(startLog);
    const QDateTime modification = toLocalWallClock(stopLog);
    if (birth.isValid())
        m_file->setFileTime(birth, QFileDevice::FileBirthTime);
    if (modification.isValid())
        m_file->setFileTime(modification, QFileDevice::FileModificationTime);

    const bool committed = m_file->commit();
    m_file.reset();
    if (!committed)
        throw writeErrorText;
}

void LogFileWriter::abort()
{
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset(); // an uncommitted QSaveFile removes its temporary file
    }
}
