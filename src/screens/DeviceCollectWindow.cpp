#include "screens/DeviceCollectWindow.h"

#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "device/DeviceSettingsInteractor.h"

namespace {
const QString kPanel = QStringLiteral("CollectFilesDevice");

// A count grouped by thousands that a wrapping line does not split.
QString unbroken(QString grouped)
{
    return grouped.replace(QLatin1Char(' '), QChar(0x00A0));
}
} // namespace

DeviceCollectWindow::DeviceCollectWindow(QObject* root, const QString& settingsFile)
    : QmlBridge(root)
    , m_settingsFile(settingsFile)
    , m_settings(CollectSettings::load(settingsFile))
{
    setObjectProperty(kPanel, "onConnect", m_settings.onConnect);
    setObjectProperty(kPanel, "toArchive", m_settings.archive);
}

void DeviceCollectWindow::showDeviceID(uint id)
{
    // A new connection: collecting on connect is due again once its list comes.
    m_idDevice = id;
    m_connected = true;
    m_listed = false;
    m_collectedOnConnect = false;
    setObjectProperty(kPanel, "connected", true);
}

void DeviceCollectWindow::showDeviceTime(QDateTime time)
{
    const QDateTime computer = DeviceSettingsInteractor::wallClockAsInstrumentTime(QDateTime::currentDateTime());
    m_clockOffset = computer.secsTo(time);
    const bool firstReading = !m_clockKnown;
    m_clockKnown = true;
    // A set collected on connect may end before the clock's first reading:
    // the summary then learns of the clock afterwards.
    if (firstReading && !m_running && !m_summary.isEmpty() && !m_result.clockKnown && m_result.deviceId == m_idDevice) {
        m_result.clockKnown = true;
        m_result.clockOffset = m_clockOffset;
        m_summary = m_result.summaryText();
        setObjectProperty(kPanel, "summaryText", m_summary);
    }
}

void DeviceCollectWindow::showDeviceFiles(QList<DeviceFileInfo> list)
{
    m_list = list;
    m_listed = true;
    if (m_settings.onConnect && !m_collectedOnConnect && !m_running) {
        m_collectedOnConnect = true;
        start();
    }
}

void DeviceCollectWindow::showDeviceError()
{
    m_connected = false;
    m_listed = false;
    m_clockKnown = false;
    setObjectProperty(kPanel, "connected", false);
}

void DeviceCollectWindow::onClickDownloadNew()
{
    if (!m_running && m_connected && m_listed)
        start();
}

void DeviceCollectWindow::onClickCancel()
{
    emit cancelDownload();
}

void DeviceCollectWindow::setOnConnect(bool on)
{
    m_settings.onConnect = on;
    m_settings.save(m_settingsFile);
    // Switched on while an instrument is there: its new files come now.
    if (on && m_connected && m_listed && !m_running && !m_collectedOnConnect) {
        m_collectedOnConnect = true;
        start();
    }
}

void DeviceCollectWindow::setArchive(bool on)
{
    m_settings.archive = on;
    m_settings.save(m_settingsFile);
}

void DeviceCollectWindow::setBusy(bool busy)
{
    setObjectProperty(kPanel, "busy", busy);
}

void DeviceCollectWindow::showSingleDownload()
{
    setBusy(true);
}

void DeviceCollectWindow::showSingleProgress(float percent)
{
    if (!m_running && percent == 100.0f)
        setBusy(false);
}

void DeviceCollectWindow::showSingleEnded()
{
    if (!m_running)
        setBusy(false);
}

void DeviceCollectWindow::start()
{
    m_running = true;
    m_result = CollectResult();
    m_summary.clear();
    setObjectProperty(kPanel, "summaryText", QString());
    setObjectProperty(kPanel, "running", true);
    setObjectProperty(kPanel, "progressText", QStringLiteral("Поиск новых файлов…"));
    setObjectProperty(kPanel, "progressValue", 0.0);
    setBusy(true);
    emit collectingChanged(true);
    emit startCollect(m_idDevice, m_list);
}

void DeviceCollectWindow::showProgress(int file, int files, qint64 records, qint64 totalRecords)
{
    setObjectProperty(kPanel, "progressText",
                      QStringLiteral("файл %1 из %2, записей %3 из %4")
                          .arg(file)
                          .arg(files)
                          .arg(unbroken(CollectResult::grouped(records)), unbroken(CollectResult::grouped(totalRecords))));
    setObjectProperty(kPanel, "progressValue", totalRecords > 0 ? double(records) * 100.0 / double(totalRecords) : 0.0);
}

void DeviceCollectWindow::showCollectFinished(CollectResult result)
{
    m_result = result;
    m_result.clockKnown = m_clockKnown;
    m_result.clockOffset = m_clockOffset;
    if (m_settings.archive && !m_result.done.isEmpty()) {
        storeDoneFiles();
        if (m_pendingStores > 0)
            return;
    }
    finish();
}

// Each downloaded file goes to the archive on its own, as "В базу" would
// store it from the data screen; the archive skips what it holds already.
void DeviceCollectWindow::storeDoneFiles()
{
    m_result.archiveAsked = true;
    setObjectProperty(kPanel, "progressText", QStringLiteral("Сохранение в базу данных…"));
    for (const CollectResult::File& file : qAsConst(m_result.done)) {
        LogFileContent content;
        try {
            content = LogFile::read(file.path);
        } catch (const QString& message) {
            m_result.archiveErrors << file.name + QStringLiteral(": ") + message;
            continue;
        }
        ModelLogRecord model;
        model.setContent(content);
        ++m_pendingStores;
        emit storeLog(LogSnapshot::fromModel(&model, ModelLogRecord::MeasurementColumnRole, ModelLogRecord::ValueRole,
                                             ModelLogRecord::UnitRole),
                      content.deviceId, ModelLogRecord::deviceName(content.deviceType));
    }
}

void DeviceCollectWindow::showStored(int values)
{
    if (m_pendingStores <= 0)
        return; // a load of the data screen, not ours
    ++m_result.storedFiles;
    m_result.storedValues += values;
    if (--m_pendingStores == 0)
        finish();
}

void DeviceCollectWindow::showStoreError(QString error)
{
    if (m_pendingStores <= 0)
        return;
    m_result.archiveErrors << error;
    if (--m_pendingStores == 0)
        finish();
}

void DeviceCollectWindow::finish()
{
    // The clock's first reading may have come while the archive was storing.
    if (!m_result.clockKnown && m_clockKnown) {
        m_result.clockKnown = true;
        m_result.clockOffset = m_clockOffset;
    }
    m_running = false;
    m_pendingStores = 0;
    m_summary = m_result.summaryText();
    setObjectProperty(kPanel, "running", false);
    setObjectProperty(kPanel, "progressValue", 0.0);
    setObjectProperty(kPanel, "progressText", QString());
    setObjectProperty(kPanel, "summaryText", m_summary);
    setBusy(false);
    emit collectingChanged(false);
    emit collectDone(m_result);
}
