#pragma once

#include "screens/QmlBridge.h"
#include "database/LogSnapshot.h"
#include "device/CollectResult.h"
#include "device/CollectSettings.h"
#include "device/DeviceFileInfo.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Bridge of the device page's collecting panel: "Загрузить новые" with one
// progress for the whole set, "Отмена" for any running download, the switch
// that collects on connect and the choice of storing into the archive. When
// the set is done (and stored, if asked) it shows one summary. Lives in the
// GUI thread as a child of the main window root.
class DeviceCollectWindow : public QmlBridge
{
    Q_OBJECT
public:
    explicit DeviceCollectWindow(QObject* root, const QString& settingsFile = CollectSettings::defaultFile());

    CollectSettings settings() const { return m_settings; }
    bool isRunning() const { return m_running; }
    // An instrument is there and its file list has come: a set can start.
    bool isReady() const { return m_connected && m_listed; }
    QString summary() const { return m_summary; }

signals:
    void startCollect(uint idDevice, QList<DeviceFileInfo> list);
    // Connected directly: the device thread is busy with the download.
    void cancelDownload();
    void storeLog(LogSnapshot log, unsigned int idDevice, QString typeDevice);
    // A set starts (true) or has ended with its archive work (false).
    void collectingChanged(bool collecting);
    // A set has ended, after its archive work; the summary is shown.
    void collectDone(CollectResult result);

public slots:
    void showDeviceID(uint id);
    void showDeviceTime(QDateTime time);
    void showDeviceFiles(QList<DeviceFileInfo> list);
    void showDeviceError();
    void onClickDownloadNew();
    void onClickCancel();
    void setOnConnect(bool on);
    void setArchive(bool on);
    // A single-file download started or moved on; "Отмена" applies to it.
    void showSingleDownload();
    void showSingleProgress(float percent);
    void showSingleEnded();
    void showProgress(int file, int files, qint64 records, qint64 totalRecords);
    void showCollectFinished(CollectResult result);
    void showStored(int values);
    void showStoreError(QString error);

private:
    void start();
    void setBusy(bool busy);
    void finish();
    void storeDoneFiles();

    QString m_settingsFile;
    CollectSettings m_settings;
    uint m_idDevice = 0;
    bool m_connected = false;
    bool m_listed = false;
    bool m_collectedOnConnect = false;
    bool m_running = false;
    QList<DeviceFileInfo> m_list;
    bool m_clockKnown = false;
    qint64 m_clockOffset = 0;
    CollectResult m_result;
    int m_pendingStores = 0;
    QString m_summary;
};
