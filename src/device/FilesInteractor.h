#pragma once

#include "data/LogFile.h"
#include "device/DeviceFileInfo.h"
#include "device/DownloadProvenance.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

class ComPortManager;
class ModelLogRecord;
class QSqlQueryModel;
class ZR74XManager;

// Everything done with log files: lists the instrument's files, downloads one
// into a .LOG file, opens .LOG files into the log table model and saves that
// model or a database selection as CSV or XLSX. Lives in the device thread;
// each slot runs to its end before the next queued request starts.
class FilesInteractor : public QObject
{
    Q_OBJECT
public:
    // The port manager is shared, the model belongs to the caller; neither is owned.
    FilesInteractor(ComPortManager* manager, ModelLogRecord* model, QObject* parent = nullptr);
    ~FilesInteractor() override;

    // Progress reported after record `index` of `count`: 0 for the first, exactly
    // 100 for the last, and 100 for the only record of a one-record file.
    static float downloadProgress(quint32 index, quint32 count);

    // Records to download for a file info; sizes below the header have none.
    static quint32 recordsToDownload(const DeviceFileInfo& info);

    // Whether a name from the instrument is a plain file name that stays
    // inside the instrument's folder.
    static bool isPlainFileName(const QString& name);

    // Folder that holds the per-instrument download folders; empty (the
    // default) is LOG beside the executable.
    void setLogRoot(const QString& root) { m_logRoot = root; }
    // Where a download of `nameFile` from instrument `idDevice` is kept.
    QString logFilePath(uint idDevice, const QString& nameFile) const;
    QString logRoot() const { return m_logRoot; }

    // How one file's download ended, for callers that download several and
    // say the outcome once for all of them.
    struct Fetch
    {
        enum Outcome { Done, Failed, Cancelled, InstrumentLost };
        Outcome outcome = Done;
        QString reason; // what went wrong, in words for the user; empty when done
        QString message; // the link's own message when the instrument was lost
        bool localFile = false; // the failure was the local file's (a full disk, say)
    };
    // The download routine itself, without opening the file afterwards and
    // without saying anything but progress: the file appears under its name
    // only once complete, otherwise an earlier copy stays as it was.
    Fetch fetchFile(uint idDevice, const DeviceFileInfo& info);

    // Stops the running download at the next record. Safe from any thread and
    // from a signal handler; the request holds until the next download starts
    // through downloadFileFromDevice() or clearCancel().
    void cancelDownload() { m_cancel.store(true); }
    void clearCancel() { m_cancel.store(false); }
    bool isCancelled() const { return m_cancel.load(); }

    // Downloads between begin and end share one read of the instrument's
    // settings for their records; a download outside a batch reads its own.
    void beginDownloadBatch();
    void endDownloadBatch();

signals:
    void listOfFilesReceived(QList<DeviceFileInfo> listFilesInfo);
    // Failures of the instrument dialogue: a failed listing, or a download
    // after which the instrument no longer answers.
    void errorOccurred(QString message);
    // A download that did not complete, in words for the user: "Ошибка загрузки
    // файла" with the file name and the reason when the dialogue failed, or the
    // local file's own message with its path. The earlier copy is kept.
    void downloadErrorOccurred(QString text);
    // Failures of local files (opening a .LOG file, saving CSV or XLSX).
    void fileErrorOccurred(QString message);
    // A download that succeeded but whose record beside the .LOG could not
    // be written (or is incomplete): said, while the download still counts.
    void downloadWarningOccurred(QString text);
    // The .LOG at `path` was downloaded with this SHA-256 and is in place.
    void fileDownloaded(QString path, QByteArray sha256);
    void downloadFileProcess(float percent);
    // A download stopped by cancelDownload(): the earlier copy (or none) stays.
    void downloadCancelled(QString nameFile);
    void modelRecordReady();

public slots:
    // The connected instrument's type-and-version text, as identified; the
    // records take it from here instead of asking again.
    void setDeviceInfo(QString info) { m_deviceInfo = info; }
    void requestListOfFiles();
    // Downloads the file under LOG/<idDevice>/ beside the executable and opens it.
    // The file appears under its name only once every record has arrived; a
    // failed download leaves an earlier copy as it was. Progress is reported
    // whenever the whole percent changes, ending with exactly 100.
    void downloadFileFromDevice(uint idDevice, DeviceFileInfo deviceFileInfo);
    void openLogFile(QString pathFile);
    void openLogFile(uint idDevice, DeviceFileInfo deviceFileInfo);
    void saveCSVFile(QString pathFile);
    void saveCSVFileFromModel(QString pathFile, QSqlQueryModel* model);
    void saveXLSXFile(QString pathFile);
    void saveXLSXFileFromModel(QString pathFile, QSqlQueryModel* model);

private:
    void download(uint idDevice, const DeviceFileInfo& info);
    bool instrumentAnswers();
    // Writes the download record beside the .LOG just put in place.
    void recordDownload(uint idDevice, const DeviceFileInfo& info);
    DownloadSession downloadSession(QString* problem);
    // Fills `snapshot`, a model owned by this thread, with the file opened last.
    ModelLogRecord* openedSnapshot(ModelLogRecord& snapshot) const;
    template <typename Task>
    void reportingFileErrors(Task task);

    ComPortManager* m_manager;
    ZR74XManager* m_device; // child: moves into the device thread with us
    ModelLogRecord* m_model;
    // The file opened last. The shown model is filled from it in the GUI thread;
    // the exports read this copy, so nothing here reads a model another thread
    // may be refilling. (The records are implicitly shared, not copied.)
    LogFileContent m_opened;
    QString m_logRoot;
    std::atomic<bool> m_cancel{false};
    // Where each file of the last listing stood: group and index.
    QHash<QString, QPair<int, int>> m_listed;
    std::optional<DownloadSession> m_session;
    bool m_inBatch = false;
    QString m_deviceInfo;
};
