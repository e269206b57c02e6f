#pragma once

#include "screens/QmlBridge.h"
#include "device/DeviceFileInfo.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <functional>

class ModelDeviceFileInfo;

// Bridge of the device page: shows what the instrument reports, the file list
// and the download progress, and passes the user's requests on. Lives in the
// GUI thread as a child of the main window root.
class DeviceWindow : public QmlBridge
{
    Q_OBJECT
public:
    // The message box the page shows; tests put their own in.
    struct Dialogs
    {
        std::function<void(const QString& text)> warning;
    };

    // Shows the device page and disables the settings button until an
    // instrument has identified itself. The model is not owned.
    DeviceWindow(QObject* root, ModelDeviceFileInfo* modelFilesInfo);

    void setDialogs(const Dialogs& dialogs) { m_dialogs = dialogs; }
    static Dialogs systemDialogs();

    QString nameFile() const { return m_nameFile; }
    QList<DeviceFileInfo> listFilesInfo() const { return m_listFilesInfo; }
    uint idDevice() const { return m_idDevice; }

    // The type word and the version of a device info text, split at the first
    // space; the version keeps the space. Without a space both are the whole text.
    static QString typeOf(const QString& info);
    static QString versionOf(const QString& info);

signals:
    void connectToDevice();
    void requestListFiles();
    void startDownloadFileFromDevice(uint idDevice, DeviceFileInfo deviceFileInfo);
    void currentTimeSetInDevice();

public slots:
    // Hides the instrument's data, shows the error and starts a new search.
    void showDeviceError(QString error);
    void showDeviceInfo(QString info);
    void showDeviceID(uint id);
    void showDeviceTime(QDateTime time);
    void showDeviceFiles(QList<DeviceFileInfo> listFilesInfo);
    void setNameFile(QString nameFile);
    void downloadFileFromDevice();
    // The open button comes back when the download reports exactly 100.
    void showDownloadFileFromDevice(float percent);
    // A download that did not complete: the open button comes back, the
    // instrument and its file list stay, and the text is shown in a warning box.
    void showDownloadError(QString text);
    void syncTimeDevice();

private:
    // The open button with its progress bar, looked up once: progress arrives
    // many times a download.
    QObject* openButton();

    ModelDeviceFileInfo* m_model;
    Dialogs m_dialogs;
    QPointer<QObject> m_openButton;
    QString m_nameFile;
    QList<DeviceFileInfo> m_listFilesInfo;
    uint m_idDevice = 0;
};
