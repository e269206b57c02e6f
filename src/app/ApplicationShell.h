#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class ComPortManager;
class DataBaseInteractor;
class DataBaseWindow;
class DataWindow;
class DeviceInteractor;
class DeviceSettingWindow;
class DeviceSettingsInteractor;
class DeviceCollectWindow;
class DeviceWindow;
class FileCollector;
class FilesInteractor;
class ModelDeviceFileInfo;
class ModelLogRecord;
class QQmlApplicationEngine;
class QThread;
class TableDBModel;
class ReportInteractor;

// Creates and wires every long-lived object of the application: the QML engine
// and main window, the screen bridges, the interactors in the device and
// database threads. The application object must exist before it is created.
// Destroying it stops both worker threads in order, after letting the request
// that runs in each of them finish.
class ApplicationShell : public QObject
{
    Q_OBJECT
public:
    ApplicationShell();
    ~ApplicationShell() override;

    // Loads the main window and starts the worker threads. On failure returns
    // false and leaves a message in errorString(); nothing has been started then.
    bool start(const QUrl& mainQml = QUrl(QStringLiteral("qrc:/main.qml")));

    // The archive file; Record.sqlite beside the executable unless set before start().
    void setDatabasePath(const QString& path) { m_databasePath = path; }
    // The file keeping the [collect] switches; orvelin.ini beside the executable
    // unless set before start().
    void setCollectSettingsFile(const QString& path) { m_collectSettingsFile = path; }

    // Asks both worker threads to quit and waits for them.
    void stopWorkers();

    QString errorString() const { return m_error; }
    QQmlApplicationEngine* engine() const { return m_engine; }
    QObject* rootObject() const { return m_root; }
    QThread* deviceThread() const { return m_deviceThread; }
    QThread* databaseThread() const { return m_databaseThread; }

    ModelDeviceFileInfo* modelFilesInfo() const { return m_modelFilesInfo; }
    ModelLogRecord* modelLogRecord() const { return m_modelLogRecord; }
    TableDBModel* tableDBModel() const { return m_tableDBModel; }
    DeviceWindow* deviceWindow() const { return m_deviceWindow; }
    DeviceSettingWindow* deviceSettingWindow() const { return m_deviceSettingWindow; }
    DataWindow* dataWindow() const { return m_dataWindow; }
    DataBaseWindow* dataBaseWindow() const { return m_dataBaseWindow; }
    DeviceCollectWindow* deviceCollectWindow() const { return m_deviceCollectWindow; }
    FileCollector* fileCollector() const { return m_fileCollector; }
    ComPortManager* comPortManager() const { return m_comPortManager; }
    DeviceInteractor* deviceInteractor() const { return m_deviceInteractor; }
    DeviceSettingsInteractor* deviceSettingsInteractor() const { return m_deviceSettingsInteractor; }
    FilesInteractor* filesInteractor() const { return m_filesInteractor; }
    DataBaseInteractor* dataBaseInteractor() const { return m_dataBaseInteractor; }
    ReportInteractor* reportInteractor() const { return m_reportInteractor; }

private:
    void createModels();
    void createBridges();
    void createWorkers();
    void wire();
    void wireDevice();
    void wireCollect();
    void wireDataScreen();
    void wireDataReports();
    void wireDatabase();
    void wireDataBaseScreen();

    QQmlApplicationEngine* m_engine = nullptr;
    QObject* m_root = nullptr;
    QThread* m_deviceThread = nullptr;
    QThread* m_databaseThread = nullptr;
    QString m_error;
    QString m_databasePath;
    QString m_collectSettingsFile;

    // Models handed to QML: owned here, freed after the engine.
    ModelDeviceFileInfo* m_modelFilesInfo = nullptr;
    ModelLogRecord* m_modelLogRecord = nullptr;
    // Lives in the database thread, which fills it; freed after that thread ends.
    TableDBModel* m_tableDBModel = nullptr;

    // Bridges: children of the main window root.
    DeviceWindow* m_deviceWindow = nullptr;
    DeviceSettingWindow* m_deviceSettingWindow = nullptr;
    DataWindow* m_dataWindow = nullptr;
    DataBaseWindow* m_dataBaseWindow = nullptr;
    DeviceCollectWindow* m_deviceCollectWindow = nullptr;

    // Device thread objects, deleted by the thread's finish.
    ComPortManager* m_comPortManager = nullptr;
    DeviceInteractor* m_deviceInteractor = nullptr;
    DeviceSettingsInteractor* m_deviceSettingsInteractor = nullptr;
    FilesInteractor* m_filesInteractor = nullptr;
    FileCollector* m_fileCollector = nullptr;

    // Database thread object, deleted by the thread's finish.
    DataBaseInteractor* m_dataBaseInteractor = nullptr;
    // Reports are printed in the GUI thread; owned by the shell.
    ReportInteractor* m_reportInteractor = nullptr;
};
