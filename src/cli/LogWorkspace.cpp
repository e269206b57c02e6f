#include "cli/LogWorkspace.h"

#include "cli/CliFailure.h"
#include "data/ModelLogRecord.h"
#include "device/FilesInteractor.h"
#include "link/ComPortManager.h"

#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The workbook library prints its own failures on stderr in English; the
// program says them once, in the application's words.
class StderrMuted
{
public:
    StderrMuted()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~StderrMuted()
    {
        std::fflush(stderr);
        if (m_saved >= 0) {
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
        }
    }
    StderrMuted(const StderrMuted&) = delete;
    StderrMuted& operator=(const StderrMuted&) = delete;

private:
    int m_saved = -1;
};

} // namespace

LogWorkspace::LogWorkspace()
    : m_manager(std::make_unique<ComPortManager>())
    , m_model(std::make_unique<ModelLogRecord>())
    , m_files(std::make_unique<FilesInteractor>(m_manager.get(), m_model.get()))
{
}

LogWorkspace::~LogWorkspace() = default;

template <typename Request>
void LogWorkspace::run(const QString& shownAs, Request request)
{
    QString error;
    QObject context;
    QObject::connect(m_files.get(), &FilesInteractor::fileErrorOccurred, &context,
                     [&error](const QString& message) { error = message; });
    request();
    if (!error.isNull())
        throw CliFailure::failed(error, shownAs);
}

void LogWorkspace::open(const QString& path)
{
    // Opening a missing file would create it empty; a command must not. What
    // is there instead of a file is named: the user typed a path to something.
    const QFileInfo info(path);
    if (!info.isFile()) {
        const QString reason = !info.exists() ? QString()
            : info.isDir()                    ? QStringLiteral(": это папка")
                                              : QStringLiteral(": это не обычный файл, а устройство или канал");
        throw CliFailure::failed(QStringLiteral("Файл не найден") + reason, path);
    }
    bool ready = false;
    QObject context;
    QObject::connect(m_files.get(), &FilesInteractor::modelRecordReady, &context, [&ready] { ready = true; });
    run(path, [&] { m_files->openLogFile(path); });
    if (!ready)
        throw CliFailure::failed(QStringLiteral("Ошибка открытия файла"), path);
}

void LogWorkspace::saveCsv(const QString& path, const QString& shownAs)
{
    run(shownAs.isEmpty() ? path : shownAs, [&] { m_files->saveCSVFile(path); });
}

void LogWorkspace::saveXlsx(const QString& path, const QString& shownAs)
{
    run(shownAs.isEmpty() ? path : shownAs, [&] {
        StderrMuted muted;
        m_files->saveXLSXFile(path);
    });
}

void LogWorkspace::saveSelectionCsv(const QString& path, QSqlQueryModel* selection, const QString& shownAs)
{
    run(shownAs.isEmpty() ? path : shownAs, [&] { m_files->saveCSVFileFromModel(path, selection); });
}

void LogWorkspace::saveSelectionXlsx(const QString& path, QSqlQueryModel* selection, const QString& shownAs)
{
    run(shownAs.isEmpty() ? path : shownAs, [&] {
        StderrMuted muted;
        m_files->saveXLSXFileFromModel(path, selection);
    });
}
