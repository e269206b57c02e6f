#pragma once

#include <QDateTime>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class DataBaseInteractor;
class ModelLogRecord;
class ProgressLine;
class TableDBModel;

// The application's archive for one command, worked in the calling thread
// through the database interactor: loading logs, the stored lists and
// period, and selections into the record table model. Failures are thrown
// as CliFailures with the archive's own messages.
class ArchiveSession
{
public:
    // `location` (a file or a server address) is handed to the archive code
    // as it is; empty means the configured archive (ORVELIN_ARCHIVE, orvelin.ini,
    // else Record.sqlite beside the executable).
    explicit ArchiveSession(const QString& location);
    ~ArchiveSession();

    // Opens the archive, creating it when needed. A reading command passes
    // `mustExist`, so that it does not leave an empty archive behind a typo.
    void open(bool mustExist = false);

    // Stores the log like the data screen's "save to the database"; returns
    // the number of values added.
    int store(const ModelLogRecord& log, ProgressLine& progress);

    // What is stored: channel names, unit texts, instrument numbers, period.
    struct Contents
    {
        QStringList channels;
        QStringList units;
        QList<int> devices;
        QDateTime first;
        QDateTime last;
    };
    Contents contents();

    // Runs the database screen's selection with these request parameters.
    TableDBModel* select(const QMultiHash<QString, QVariant>& parameters);

private:
    template <typename Request>
    void run(Request request);
    // Why a local archive file cannot be opened (a folder, not an SQLite
    // file, missing when it must exist); empty when it can be tried.
    static QString fileReason(const QString& path, bool mustExist);

    QString m_location;
    std::unique_ptr<DataBaseInteractor> m_interactor;
    std::unique_ptr<TableDBModel> m_records;
};
