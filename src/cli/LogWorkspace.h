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

    void saveCsv(const QString& path);
    void saveXlsx(const QString& path);
    void saveSelectionCsv(const QString& path, QSqlQueryModel* selection);
    void saveSelectionXlsx(const QString& path, QSqlQueryModel* selection);

private:
    template <typename Request>
    void run(const QString& path, Request request);

    // Never opened: the file work does not talk to the instrument.
    std::unique_ptr<ComPortManager> m_manager;
    std::unique_ptr<ModelLogRecord> m_model;
    std::unique_ptr<FilesInteractor> m_files;
};
