#pragma once

#include <QString>

#include <memory>

class ComPortManager;
class FilesInteractor;
class ModelLogRecord;
class QSqlQueryModel;

// The data screen's file work without the screen: a .LOG file opened into
// the log table model and saved as CSV or XLSX by the application's own
// FilesInteractor, and a database selection saved the way the database screen
// saves it. Every failure is thrown as a CliFailure naming the file.
class LogWorkspace
{
public:
    LogWorkspace();
    ~LogWorkspace();

    void open(const QString& path);
    ModelLogRecord& model() const { return *m_model; }

    // Each writes `path`; a failure names `shownAs` (the file the user asked
    // for, when `path` is a stand-in for it), else `path`.
    void saveCsv(const QString& path, const QString& shownAs = QString());
    void saveXlsx(const QString& path, const QString& shownAs = QString());
    void saveSelectionCsv(const QString& path, QSqlQueryModel* selection, const QString& shownAs = QString());
    void saveSelectionXlsx(const QString& path, QSqlQueryModel* selection, const QString& shownAs = QString());

private:
    template <typename Request>
    void run(const QString& shownAs, Request request);

    // Never opened: the file work does not talk to the instrument.
    std::unique_ptr<ComPortManager> m_manager;
    std::unique_ptr<ModelLogRecord> m_model;
    std::unique_ptr<FilesInteractor> m_files;
};
