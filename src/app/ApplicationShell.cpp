#include "app/ApplicationShell.h"

#include "app/OpenHelp.h"

#include "screens/DataWindow.h"
#include "database/DataBaseInteractor.h"
#include "screens/DataBaseWindow.h"
#include "database/TableDBModel.h"
#include "data/ModelLogRecord.h"
#include "link/ComPortManager.h"
#include "device/DeviceInteractor.h"
#include "screens/DeviceSettingWindow.h"
#include "device/DeviceSettingsInteractor.h"
#include "screens/DeviceWindow.h"
#include "device/FilesInteractor.h"
#include "device/ModelDeviceFileInfo.h"
#include "report/ReportInteractor.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QThread>

static void initQmlResources()
{
    Q_INIT_RESOURCE(orvelin_qml);
}

ApplicationShell::ApplicationShell()
{
    initQmlResources();
}

ApplicationShell::~ApplicationShell()
{
    stopWorkers();
    // The engine owns the main window and with it the bridges.
    delete m_engine;
    delete m_modelFilesInfo;
    delete m_modelLogRecord;
    delete m_tableDBModel;
}

bool ApplicationShell::start(const QUrl& mainQml)
{
    QQuickStyle::setStyle(QStringLiteral("fusion"));
    m_engine = new QQmlApplicationEngine();
    m_engine->addImportPath(QStringLiteral("qrc:/DeviceMenu"));

    createModels();

    m_engine->load(mainQml);
    if (m_engine->rootObjects().isEmpty()) {
        m_error = QStringLiteral("Не удалось загрузить главное окно %1").arg(mainQml.toString());
        return false;
    }
    m_root = m_engine->rootObjects().constFirst();

    createBridges();
    // The menu's help and about buttons call it directly; it lives as long as the shell.
    m_engine->rootContext()->setContextProperty(QStringLiteral("openHelp"), new OpenHelp(this));
    createWorkers();
    wire();

    m_deviceThread->start(QThread::InheritPriority);
    m_databaseThread->start(QThread::InheritPriority);
    return true;
}

void ApplicationShell::createModels()
{
    // Published before the main window is loaded: the screens bind to them.
    m_modelFilesInfo = new ModelDeviceFileInfo();
    m_modelLogRecord = new ModelLogRecord();
    m_engine->rootContext()->setContextProperty(QStringLiteral("modelFilesInfo"), m_modelFilesInfo);
    m_engine->rootContext()->setContextProperty(QStringLiteral("modelLogRecord"), m_modelLogRecord);
    m_tableDBModel = new TableDBModel();
}

void ApplicationShell::createBridges()
{
    // Creating the device bridge already shows the device page.
    m_deviceWindow = new DeviceWindow(m_root, m_modelFilesInfo);
    m_deviceSettingWindow = new DeviceSettingWindow(m_root);
    // The data screen's chart calls the bridge directly through "dataWindow".
    m_dataWindow = new DataWindow(m_root, m_modelLogRecord);
    m_engine->rootContext()->setContextProperty(QStringLiteral("dataWindow"), m_dataWindow);
    // So does the database screen's chart, through "dataBaseWindow".
    m_dataBaseWindow = new DataBaseWindow(m_root, m_tableDBModel);
    m_engine->rootContext()->setContextProperty(QStringLiteral("dataBaseWindow"), m_dataBaseWindow);
}

void ApplicationShell::createWorkers()
{
    m_dataBaseInteractor = new DataBaseInteractor(m_databasePath);
    m_comPortManager = new ComPortManager();
    m_deviceInteractor = new DeviceInteractor(m_comPortManager);
    m_deviceSettingsInteractor = new DeviceSettingsInteractor(m_comPortManager);
    m_filesInteractor = new FilesInteractor(m_comPortManager, m_modelLogRecord);
    m_reportInteractor = new ReportInteractor(this);

    m_deviceThread = new QThread(this);
    m_deviceThread->setObjectName(QStringLiteral("device"));
    // Moved before any connection is made, so every queued call is delivered in
    // the device thread from the first event on.
    m_comPortManager->moveToThread(m_deviceThread);
    m_deviceInteractor->moveToThread(m_deviceThread);
    m_deviceSettingsInteractor->moveToThread(m_deviceThread);
    m_filesInteractor->moveToThread(m_deviceThread);

    m_databaseThread = new QThread(this);
    m_databaseThread->setObjectName(QStringLiteral("database"));
    // The archive's connection is opened in this thread and the models it
    // fills live here; the interactor takes the record model only once both
    // are in place.
    m_dataBaseInteractor->moveToThread(m_databaseThread);
    m_tableDBModel->moveToThread(m_databaseThread);
    m_dataBaseInteractor->setRecordModel(m_tableDBModel);
}

void ApplicationShell::wire()
{
    wireDatabase();
    wireDevice();
    wireDataBaseScreen();
    wireDataReports();
}

// The archive: opened when its thread starts; the data page loads the shown
// log into it with progress.
void ApplicationShell::wireDatabase()
{
    const auto queued = Qt::QueuedConnection;
    DataBaseInteractor* database = m_dataBaseInteractor;
    connect(m_databaseThread, &QThread::finished, database, &QObject::deleteLater);
    connect(m_databaseThread, &QThread::started, database, &DataBaseInteractor::open);
    connect(m_dataWindow, &DataWindow::writeModelToDataBase, database, &DataBaseInteractor::writeLog, queued);
    connect(database, &DataBaseInteractor::downloadRecordsProcess, m_dataWindow, &DataWindow::showDownloadToDataBase, queued);
}

// The database page: filters, the selection, its exports and deletes.
void ApplicationShell::wireDataBaseScreen()
{
    const auto queued = Qt::QueuedConnection;
    DataBaseWindow* screen = m_dataBaseWindow;
    DataBaseInteractor* database = m_dataBaseInteractor;
    FilesInteractor* files = m_filesInteractor;
    connect(m_root, SIGNAL(clickSaveDBAsCSV()), screen, SLOT(onClickButtonSaveDBAsCsv()), queued);
    connect(screen, &DataBaseWindow::saveCsvFromModel, files, &FilesInteractor::saveCSVFileFromModel, queued);
    connect(m_root, SIGNAL(clickSaveDBAsXLSX()), screen, SLOT(onClickButtonSaveDBAsXlsx()), queued);
    connect(screen, &DataBaseWindow::saveXlsxFromModel, files, &FilesInteractor::saveXLSXFileFromModel, queued);
    // Queued behind each export in the device thread: the screen learns when
    // the selection is no longer being read and may be refilled again.
    const auto exportDone = [screen] {
        QMetaObject::invokeMethod(screen, &DataBaseWindow::exportFinished, Qt::QueuedConnection);
    };
    connect(screen, &DataBaseWindow::saveCsvFromModel, files, exportDone, queued);
    connect(screen, &DataBaseWindow::saveXlsxFromModel, files, exportDone, queued);
    connect(m_root, SIGNAL(selectedTableDb(QVariant)), screen, SLOT(onSelectedTableDb(QVariant)), queued);
    connect(m_root, SIGNAL(clickButtonDeleteItems()), screen, SLOT(onClickButtonDeleteItems()), queued);
    connect(screen, &DataBaseWindow::deleteDataDB, database, &DataBaseInteractor::onDeleteDataDb, queued);
    connect(database, &DataBaseInteractor::modelUpdated, screen, &DataBaseWindow::showTableDB, queued);
    connect(database, &DataBaseInteractor::filtersDBLoaded, screen, &DataBaseWindow::showFiltersDB, queued);
    // The menu's database button reads the lists through the screen, which
    // first lets its views go of them. Queued behind every reading (the
    // menu's, a delete's), the screen learns when nothing refills them any
    // more, whether the reading succeeded or not.
    connect(m_root, SIGNAL(clickButtonDB()), screen, SLOT(filtersRequested()), Qt::DirectConnection);
    connect(screen, &DataBaseWindow::loadFiltersDB, database, &DataBaseInteractor::loadFiltersDB, queued);
    const auto listsSettled = [screen] {
        QMetaObject::invokeMethod(screen, &DataBaseWindow::filterListsSettled, Qt::QueuedConnection);
    };
    connect(screen, &DataBaseWindow::loadFiltersDB, database, listsSettled, queued);
    connect(screen, &DataBaseWindow::deleteDataDB, database, listsSettled, queued);
    connect(m_root, SIGNAL(clickButtonFilters()), screen, SLOT(updateModel()), queued);
    connect(screen, &DataBaseWindow::setDBFiltr, database, &DataBaseInteractor::updateModel, queued);
    connect(database, &DataBaseInteractor::errorOccurred, screen, &DataBaseWindow::showError, queued);
    connect(m_root, SIGNAL(clickButtonPrintReportDB()), screen, SLOT(onClickButtonPrintReportDB()), queued);
    connect(m_root, SIGNAL(clickButtonPreviewReportDB()), screen, SLOT(onClickButtonPreviewReportDB()), queued);
    ReportInteractor* reports = m_reportInteractor;
    connect(screen, &DataBaseWindow::printReportFromDB, reports, &ReportInteractor::printReportDB, queued);
    connect(screen, &DataBaseWindow::previewReportFromDB, reports, &ReportInteractor::onPreviewReportDB, queued);
    // Report errors of both screens are said in this screen's warning box.
    connect(reports, &ReportInteractor::reportErrorOccurred, screen, &DataBaseWindow::showError, queued);
    connect(m_root, SIGNAL(clickButtonSaveReportPdfDB()), screen, SLOT(onClickButtonSaveReportPdfDB()), queued);
    connect(screen, &DataBaseWindow::saveReportPdfFromDB, reports, &ReportInteractor::saveReportDBPdf, queued);
}

// The device side: the device page, the settings page and the file dialogue
// with the instrument. Every connection between application objects is queued,
// so no slot runs inside the call that emits its signal.
void ApplicationShell::wireDevice()
{
    const auto queued = Qt::QueuedConnection;
    DeviceWindow* deviceWindow = m_deviceWindow;
    DeviceInteractor* device = m_deviceInteractor;
    FilesInteractor* files = m_filesInteractor;
    DeviceSettingWindow* settingWindow = m_deviceSettingWindow;
    DeviceSettingsInteractor* settings = m_deviceSettingsInteractor;
    QThread* thread = m_deviceThread;

    connect(device, &DeviceInteractor::deviceInfoReceived, deviceWindow, &DeviceWindow::showDeviceInfo, queued);
    connect(device, &DeviceInteractor::errorOccurred, deviceWindow, &DeviceWindow::showDeviceError, queued);
    connect(deviceWindow, &DeviceWindow::connectToDevice, device, &DeviceInteractor::connectToDevice, queued);
    connect(device, &DeviceInteractor::deviceIdReceived, deviceWindow, &DeviceWindow::showDeviceID, queued);
    connect(device, &DeviceInteractor::deviceTimeReceived, deviceWindow, &DeviceWindow::showDeviceTime, queued);
    connect(deviceWindow, &DeviceWindow::requestListFiles, files, &FilesInteractor::requestListOfFiles, queued);
    connect(m_root, SIGNAL(currentNameFileChange(QString)), deviceWindow, SLOT(setNameFile(QString)), queued);
    connect(m_root, SIGNAL(clickOpenCurrentFileFromDevice()), deviceWindow, SLOT(downloadFileFromDevice()), queued);
    connect(deviceWindow, &DeviceWindow::startDownloadFileFromDevice, files, &FilesInteractor::downloadFileFromDevice, queued);
    connect(files, &FilesInteractor::downloadFileProcess, deviceWindow, &DeviceWindow::showDownloadFileFromDevice, queued);
    connect(m_root, SIGNAL(clickButtonTimeSync()), deviceWindow, SLOT(syncTimeDevice()), queued);
    connect(deviceWindow, &DeviceWindow::currentTimeSetInDevice, settings, &DeviceSettingsInteractor::setCurrentTime, queued);
    connect(device, &DeviceInteractor::deviceInfoReceived, settingWindow, &DeviceSettingWindow::setTypeSetting, queued);
    connect(m_root, SIGNAL(requestSettingDevice()), settingWindow, SIGNAL(requestSettingDevice()), queued);
    connect(settingWindow, &DeviceSettingWindow::requestSettingDevice, settings, &DeviceSettingsInteractor::requestSettings, queued);
    connect(settings, &DeviceSettingsInteractor::deviceBytesSettingReceived, settingWindow, &DeviceSettingWindow::showSetting, queued);
    connect(settingWindow, &DeviceSettingWindow::settingsDeviceChanged, settings, &DeviceSettingsInteractor::setSettings, queued);
    connect(m_root, SIGNAL(setSettingDevice()), settingWindow, SLOT(setSettingDevice()), queued);
    connect(settings, &DeviceSettingsInteractor::errorOccurred, settingWindow, &DeviceSettingWindow::showErrorSettingDevice, queued);
    connect(files, &FilesInteractor::listOfFilesReceived, deviceWindow, &DeviceWindow::showDeviceFiles, queued);
    // A failed listing, or a download after which the instrument no longer
    // answers, is a lost instrument: the device page shows it and searches
    // again. Every failed download is also told in a warning box.
    connect(files, &FilesInteractor::errorOccurred, deviceWindow, &DeviceWindow::showDeviceError, queued);
    connect(files, &FilesInteractor::downloadErrorOccurred, deviceWindow, &DeviceWindow::showDownloadError, queued);
    wireDataScreen();

    connect(thread, &QThread::finished, m_comPortManager, &QObject::deleteLater);
    connect(thread, &QThread::started, device, &DeviceInteractor::connectToDevice);
    connect(thread, &QThread::finished, device, &QObject::deleteLater);
    connect(thread, &QThread::finished, settings, &QObject::deleteLater);
    connect(thread, &QThread::finished, files, &QObject::deleteLater);
}

// Data page: opening and saving a log file; its load into the archive is
// wired with the archive (wireDatabase).
void ApplicationShell::wireDataScreen()
{
    const auto queued = Qt::QueuedConnection;
    DataWindow* dataWindow = m_dataWindow;
    FilesInteractor* files = m_filesInteractor;
    connect(m_root, SIGNAL(clickButtonOpenFile()), dataWindow, SLOT(onClickButtonOpenFile()), queued);
    connect(dataWindow, &DataWindow::openFile, files, qOverload<QString>(&FilesInteractor::openLogFile), queued);
    connect(files, &FilesInteractor::fileErrorOccurred, dataWindow, &DataWindow::showError, queued);
    connect(files, &FilesInteractor::modelRecordReady, dataWindow, &DataWindow::showModel, queued);
    connect(m_root, SIGNAL(clickButtonSaveAsXlsx()), dataWindow, SLOT(onClickButtonSaveAsXlsx()), queued);
    connect(dataWindow, &DataWindow::saveCsv, files, &FilesInteractor::saveCSVFile, queued);
    connect(m_root, SIGNAL(clickButtonSaveAsCsv()), dataWindow, SLOT(onClickButtonSaveAsCsv()), queued);
    connect(dataWindow, &DataWindow::saveXlsx, files, &FilesInteractor::saveXLSXFile, queued);
    connect(m_root, SIGNAL(clickButtonSaveInDB()), dataWindow, SLOT(onClickButtonSaveInDB()), queued);
}

// Data page: the report panel's print, preview, PDF and opening. Report
// errors are said by the database page (wireDataBaseScreen).
void ApplicationShell::wireDataReports()
{
    const auto queued = Qt::QueuedConnection;
    ReportInteractor* reports = m_reportInteractor;
    connect(m_dataWindow, &DataWindow::printReport, reports, &ReportInteractor::printReport, queued);
    connect(m_dataWindow, &DataWindow::previewReport, reports, &ReportInteractor::previewReport, queued);
    connect(m_dataWindow, &DataWindow::saveReportAsPdf, reports, &ReportInteractor::saveReportPdf, queued);
    connect(m_root, SIGNAL(clickButtonSaveReportPdf()), m_dataWindow, SLOT(onClickButtonSaveReportPdf()), queued);
    connect(m_root, SIGNAL(clickButtonPrint()), m_dataWindow, SLOT(onClickButtonPrint()), queued);
    connect(m_root, SIGNAL(clickButtonPreviewPrint()), m_dataWindow, SLOT(onClickButtonPreviewPrint()), queued);
    connect(m_root, SIGNAL(clickButtonOpenWindowPrint()), m_dataWindow, SLOT(onClickButtonOpenWindowPrint()), queued);
}

void ApplicationShell::stopWorkers()
{
    // The database thread's models must not change under the views that show
    // them: the database screen lets go of them first.
    if (m_dataBaseWindow)
        m_dataBaseWindow->releaseModels();
    // A running search or download notices the interruption request at its next
    // pause or request and returns; quit() then ends the thread's event loop.
    for (QThread* thread : {m_deviceThread, m_databaseThread}) {
        if (!thread || !thread->isRunning())
            continue;
        thread->requestInterruption();
        thread->quit();
        thread->wait();
    }
}
