// The device page: its bridge against the real page documents, and the whole
// connection life cycle through the real application against a simulated
// instrument.
#include "data/DownloadRecord.h"
#include "TestSupport.h"
#include "link/DeviceCommand.h"
#include "AppHarness.h"
#include "ZrSimulator.h"

#include "app/ApplicationShell.h"
#include "screens/DeviceWindow.h"
#include "device/FilesInteractor.h"
#include "device/ModelDeviceFileInfo.h"
#include "device/ZR74XManager.h"

#include <QDir>
#include <QFile>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QtTest>

namespace {

// A window with the device page and the few main-window objects its bridge uses.
const char* kPageWindow = R"(
import QtQuick 2.15
import QtQuick.Controls 2.15
import "DeviceMenu"
ApplicationWindow {
    id: window
    width: 1024
    height: 768
    signal clickOpenCurrentFileFromDevice()
    signal currentNameFileChange(string name)
    signal clickButtonTimeSync()
    Button { objectName: "ButtonSettings" }
    Item { objectName: "SettingsDevice"; visible: false }
    DeviceMenu {
        objectName: "DeviceMenu"
        anchors.fill: parent
        anchors.leftMargin: 85
        visible: false
    }
}
)";

DeviceFileInfo fileInfo(const QString& name, qint32 records)
{
    DeviceFileInfo info;
    info.nameFile = name;
    info.numberOfRecords = records;
    info.size = 7 + 24 * records;
    return info;
}

const QString kSilent = QStringLiteral("Ошибка. Прибор не отвечает ");

} // namespace

class TestDeviceScreen : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // The bridge on the page documents.
    void construction_showsDevicePage_withInitialFields();
    void deviceInfo_splitsTypeAndVersionAtFirstSpace_data();
    void deviceInfo_splitsTypeAndVersionAtFirstSpace();
    void deviceId_isDecimalText_andAsksForFilesOnce();
    void deviceTime_showsInstrumentClockReading();
    void progress_endsOnlyAtExactly100();
    void progress_stepsCloseTogetherMoveTheBarAFewTimesASecond();
    void download_startsOnlyForChosenFileWithRecords();
    void newFileList_replacesRowsAndForgetsChoice();
    void error_hidesInstrument_returnsFromSettings_andSearchesAgain();
    void downloadError_warnsAndKeepsInstrumentAndList();
    void clickingListElement_choosesItsFile();

    // The real application against the simulator.
    void noInstrument_windowStaysResponsive();
    void lifeCycle_connectLoseAndReconnect();
    void download_endToEnd_thenCutOffKeepsEarlierCopy();

private:
    QVariant prop(const QString& objectName, const char* property) const;

    std::unique_ptr<QQmlApplicationEngine> m_engine;
    std::unique_ptr<ModelDeviceFileInfo> m_model;
    QObject* m_root = nullptr;
    DeviceWindow* m_bridge = nullptr;
};

void TestDeviceScreen::init()
{
    if (QByteArray(QTest::currentTestFunction()).contains("_endToEnd")
        || QByteArray(QTest::currentTestFunction()).startsWith("lifeCycle")
        || QByteArray(QTest::currentTestFunction()).startsWith("noInstrument"))
        return;
    Q_INIT_RESOURCE(orvelin_qml);
    m_model = std::make_unique<ModelDeviceFileInfo>();
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->rootContext()->setContextProperty(QStringLiteral("modelFilesInfo"), m_model.get());
    QQmlComponent component(m_engine.get());
    component.setData(kPageWindow, QUrl(QStringLiteral("qrc:/DevicePageTest.qml")));
    m_root = component.create();
    QVERIFY2(m_root, qPrintable(component.errorString()));
    m_bridge = new DeviceWindow(m_root, m_model.get());
}

void TestDeviceScreen::cleanup()
{
    delete m_root;
    m_root = nullptr;
    m_bridge = nullptr;
    m_engine.reset();
    m_model.reset();
}

QVariant TestDeviceScreen::prop(const QString& objectName, const char* property) const
{
    QObject* object = m_root->findChild<QObject*>(objectName);
    return object ? object->property(property) : QVariant();
}

void TestDeviceScreen::construction_showsDevicePage_withInitialFields()
{
    QCOMPARE(prop("DeviceMenu", "visible").toBool(), true);
    QCOMPARE(prop("ButtonSettings", "enabled").toBool(), false);
    QCOMPARE(prop("ErrorDevice", "visible").toBool(), true);
    QCOMPARE(prop("ErrorDevice", "textError").toString(), QStringLiteral("------"));
    for (const char* name : {"ImageDevice", "TypeDevice", "IdDevice", "VersionDevice", "TimeDevice",
                             "BtnTimeSync", "ListFilesInfo", "ButtonOpenFilesDevice"})
        QVERIFY2(!prop(name, "visible").toBool(), name);
    QCOMPARE(prop("TypeDevice", "typeDevice").toString(), QStringLiteral("ЗР7.47"));
    QCOMPARE(prop("IdDevice", "idDevice").toString(), QStringLiteral("------"));
    QCOMPARE(prop("VersionDevice", "versionDevice").toString(), QStringLiteral("0.8"));
    QCOMPARE(prop("TimeDevice", "timeDevice").toString(), QStringLiteral("00:00:00 01.12.2019"));
    QCOMPARE(prop("ImageDevice", "pathImage").toString(), QStringLiteral("/images/deviceZR74X.png"));
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QCOMPARE(prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
}

void TestDeviceScreen::deviceInfo_splitsTypeAndVersionAtFirstSpace_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("version");
    QTest::newRow("second model") << "ZR7.49 1.03" << "ZR7.49" << " 1.03";
    QTest::newRow("two spaces") << "ZR7.47 1.03 beta" << "ZR7.47" << " 1.03 beta";
    QTest::newRow("no space") << "ZR7.47" << "ZR7.47" << "ZR7.47";
    QTest::newRow("leading space") << " 1.03" << "" << " 1.03";
}

void TestDeviceScreen::deviceInfo_splitsTypeAndVersionAtFirstSpace()
{
    QFETCH(QString, info);
    QFETCH(QString, type);
    QFETCH(QString, version);
    m_bridge->showDeviceInfo(info);
    QCOMPARE(prop("TypeDevice", "typeDevice").toString(), type);
    QCOMPARE(prop("VersionDevice", "versionDevice").toString(), version);
    QCOMPARE(prop("ErrorDevice", "visible").toBool(), false);
    QCOMPARE(prop("ImageDevice", "visible").toBool(), true);
    QCOMPARE(prop("TypeDevice", "visible").toBool(), true);
    QCOMPARE(prop("VersionDevice", "visible").toBool(), true);
    QCOMPARE(prop("ButtonSettings", "enabled").toBool(), true);
}

void TestDeviceScreen::deviceId_isDecimalText_andAsksForFilesOnce()
{
    QSignalSpy requests(m_bridge, &DeviceWindow::requestListFiles);
    m_bridge->showDeviceID(123456);
    QCOMPARE(prop("IdDevice", "idDevice").toString(), QStringLiteral("123456"));
    QCOMPARE(prop("IdDevice", "visible").toBool(), true);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(m_bridge->idDevice(), 123456u);

    m_bridge->showDeviceID(4294967295u);
    QCOMPARE(prop("IdDevice", "idDevice").toString(), QStringLiteral("4294967295"));
}

void TestDeviceScreen::deviceTime_showsInstrumentClockReading()
{
    m_bridge->showDeviceTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0, 5), Qt::UTC));
    QCOMPARE(prop("TimeDevice", "timeDevice").toString(), QStringLiteral("00:00:05 01.01.2020"));
    QCOMPARE(prop("TimeDevice", "visible").toBool(), true);
    QCOMPARE(prop("BtnTimeSync", "visible").toBool(), true);
}

void TestDeviceScreen::progress_endsOnlyAtExactly100()
{
    QObject* bar = m_root->findChild<QObject*>(QStringLiteral("ProgressDownloadFiles"));
    QVERIFY(bar);
    m_bridge->showDeviceFiles({fileInfo("A.LOG", 3)});
    m_bridge->setNameFile(QStringLiteral("A.LOG"));
    m_bridge->downloadFileFromDevice();
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), false);

    m_bridge->showDownloadFileFromDevice(0.0f);
    QCOMPARE(bar->property("visible").toBool(), false);
    m_bridge->showDownloadFileFromDevice(50.0f);
    QCOMPARE(bar->property("visible").toBool(), true);
    QCOMPARE(bar->property("value").toDouble(), 50.0);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), false);
    m_bridge->showDownloadFileFromDevice(100.0f);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QCOMPARE(prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
    QCOMPARE(bar->property("visible").toBool(), false);

    // A download that stops short of 100 keeps the button disabled.
    m_bridge->downloadFileFromDevice();
    m_bridge->showDownloadFileFromDevice(99.99f);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), false);
    QCOMPARE(bar->property("visible").toBool(), false);
}

void TestDeviceScreen::progress_stepsCloseTogetherMoveTheBarAFewTimesASecond()
{
    QObject* button = m_root->findChild<QObject*>(QStringLiteral("ButtonOpenFilesDevice"));
    QVERIFY(button);
    m_bridge->showDeviceFiles({fileInfo("A.LOG", 20000)});
    m_bridge->setNameFile(QStringLiteral("A.LOG"));
    m_bridge->downloadFileFromDevice();
    QSignalSpy moved(button, SIGNAL(progressDownloadFilesChanged()));

    // A download at the wire's rate: every percent within a few milliseconds.
    QElapsedTimer elapsed;
    elapsed.start();
    m_bridge->showDownloadFileFromDevice(0.0f);
    for (int percent = 1; percent < 100; ++percent)
        m_bridge->showDownloadFileFromDevice(float(percent));
    const qint64 took = elapsed.elapsed();
    // The first step at once, then at most one move per quarter second.
    QVERIFY(moved.count() >= 1);
    QVERIFY2(moved.count() <= 1 + 1 + took / 250, qPrintable(QStringLiteral("%1 moves in %2 ms").arg(moved.count()).arg(took)));
    QVERIFY(prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble() >= 1.0);

    // A later step is shown once its time has come.
    QTRY_VERIFY((m_bridge->showDownloadFileFromDevice(99.5f), prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble() == 99.5));
    // The end is never held back.
    m_bridge->showDownloadFileFromDevice(100.0f);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QCOMPARE(prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
}

void TestDeviceScreen::download_startsOnlyForChosenFileWithRecords()
{
    QSignalSpy starts(m_bridge, &DeviceWindow::startDownloadFileFromDevice);
    m_bridge->showDeviceID(77);
    m_bridge->showDeviceFiles({fileInfo("EMPTY.LOG", 0), fileInfo("RUN.LOG", 4), fileInfo("RUN.LOG", 9)});

    // Nothing chosen yet.
    m_bridge->downloadFileFromDevice();
    QCOMPARE(starts.count(), 0);

    m_bridge->setNameFile(QStringLiteral("EMPTY.LOG"));
    QCOMPARE(prop("ButtonOpenFilesDevice", "visible").toBool(), true);
    m_bridge->downloadFileFromDevice();
    QCOMPARE(starts.count(), 0);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), true);

    m_bridge->setNameFile(QStringLiteral("GONE.LOG"));
    m_bridge->downloadFileFromDevice();
    QCOMPARE(starts.count(), 0);

    // The first entry of that name is the one downloaded.
    m_bridge->setNameFile(QStringLiteral("RUN.LOG"));
    m_bridge->downloadFileFromDevice();
    QCOMPARE(starts.count(), 1);
    QCOMPARE(starts.at(0).at(0).toUInt(), 77u);
    QCOMPARE(starts.at(0).at(1).value<DeviceFileInfo>().numberOfRecords, 4);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), false);
}

void TestDeviceScreen::newFileList_replacesRowsAndForgetsChoice()
{
    m_bridge->showDeviceFiles({fileInfo("A.LOG", 1), fileInfo("B.LOG", 2)});
    QCOMPARE(prop("ListFilesInfo", "visible").toBool(), true);
    m_bridge->setNameFile(QStringLiteral("B.LOG"));
    m_bridge->showDeviceFiles({fileInfo("C.LOG", 1)});
    QCOMPARE(m_bridge->nameFile(), QString());
    QCOMPARE(m_model->rowCount(), 1);

    // B.LOG is gone and nothing is chosen: the open button starts nothing.
    QSignalSpy starts(m_bridge, &DeviceWindow::startDownloadFileFromDevice);
    m_bridge->downloadFileFromDevice();
    QCOMPARE(starts.count(), 0);
}

void TestDeviceScreen::error_hidesInstrument_returnsFromSettings_andSearchesAgain()
{
    m_bridge->showDeviceInfo(QStringLiteral("ZR7.47 1.03"));
    m_bridge->showDeviceID(5);
    m_bridge->showDeviceTime(QDateTime::currentDateTimeUtc());
    m_bridge->showDeviceFiles({fileInfo("A.LOG", 3)});
    m_bridge->setNameFile(QStringLiteral("A.LOG"));
    m_bridge->downloadFileFromDevice();
    m_bridge->showDownloadFileFromDevice(50.0f);
    // The user is on the settings page when the instrument goes.
    m_root->findChild<QObject*>(QStringLiteral("SettingsDevice"))->setProperty("visible", true);
    m_root->findChild<QObject*>(QStringLiteral("DeviceMenu"))->setProperty("visible", false);

    QSignalSpy searches(m_bridge, &DeviceWindow::connectToDevice);
    m_bridge->showDeviceError(kSilent);

    for (const char* name : {"ImageDevice", "TypeDevice", "IdDevice", "VersionDevice", "TimeDevice",
                             "BtnTimeSync", "ListFilesInfo", "ButtonOpenFilesDevice"})
        QVERIFY2(!prop(name, "visible").toBool(), name);
    QCOMPARE(prop("ErrorDevice", "visible").toBool(), true);
    QCOMPARE(prop("ErrorDevice", "textError").toString(), kSilent);
    QCOMPARE(prop("ButtonSettings", "enabled").toBool(), false);
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QCOMPARE(prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
    QCOMPARE(prop("DeviceMenu", "visible").toBool(), true);
    QCOMPARE(prop("SettingsDevice", "visible").toBool(), false);
    QCOMPARE(searches.count(), 1);
    // What the bridge knew survives the error.
    QCOMPARE(m_bridge->idDevice(), 5u);
    QCOMPARE(m_bridge->nameFile(), QStringLiteral("A.LOG"));
}

void TestDeviceScreen::downloadError_warnsAndKeepsInstrumentAndList()
{
    QStringList warnings;
    m_bridge->setDialogs({[&](const QString& text) { warnings << text; }});
    m_bridge->showDeviceInfo(QStringLiteral("ZR7.47 1.03"));
    m_bridge->showDeviceID(5);
    m_bridge->showDeviceFiles({fileInfo("A.LOG", 3)});
    m_bridge->setNameFile(QStringLiteral("A.LOG"));
    m_bridge->downloadFileFromDevice();
    m_bridge->showDownloadFileFromDevice(50.0f);

    QSignalSpy searches(m_bridge, &DeviceWindow::connectToDevice);
    const QString text = QStringLiteral("Ошибка записи файла\n/LOG/5/A.LOG");
    m_bridge->showDownloadError(text);
    QCOMPARE(warnings, QStringList{text});
    QCOMPARE(prop("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QCOMPARE(prop("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
    for (const char* name : {"TypeDevice", "IdDevice", "ListFilesInfo", "ButtonOpenFilesDevice"})
        QVERIFY2(prop(name, "visible").toBool(), name);
    QCOMPARE(prop("ErrorDevice", "visible").toBool(), false);
    QCOMPARE(searches.count(), 0);
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_bridge->nameFile(), QStringLiteral("A.LOG"));
}

void TestDeviceScreen::clickingListElement_choosesItsFile()
{
    auto* window = qobject_cast<QQuickWindow*>(m_root);
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    m_bridge->showDeviceFiles({fileInfo("A.LOG", 1), fileInfo("B.LOG", 2), fileInfo("C.LOG", 3)});

    auto* view = m_root->findChild<QQuickItem*>(QStringLiteral("ListViewFilesInfo"));
    QVERIFY(view);
    QTRY_COMPARE(view->property("count").toInt(), 3);
    QCOMPARE(view->property("currentIndex").toInt(), -1);

    QSignalSpy chosen(m_root, SIGNAL(currentNameFileChange(QString)));
    // Aim only once the page's slide-in has come to rest: the list stands
    // where it stood at the previous look.
    QPointF lastPlace(-1e9, -1e9);
    QTRY_VERIFY([&] {
        const QPointF place = view->mapToScene(QPointF(0, 0));
        const bool resting = place == lastPlace;
        lastPlace = place;
        return resting;
    }());
    QQuickItem* target = nullptr;
    auto findTarget = [&] {
        auto* content = view->property("contentItem").value<QQuickItem*>();
        for (QQuickItem* item : content->childItems()) {
            if (item->property("nameFiles").toString() == QLatin1String("B.LOG"))
                target = item;
        }
        return target != nullptr;
    };
    QTRY_VERIFY(findTarget());
    QVERIFY(target);
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());

    QTRY_COMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("B.LOG"));
    QCOMPARE(view->property("currentIndex").toInt(), 1);

    // A new list comes with nothing chosen.
    m_bridge->showDeviceFiles({fileInfo("D.LOG", 1)});
    QCOMPARE(view->property("currentIndex").toInt(), -1);
}

void TestDeviceScreen::noInstrument_windowStaysResponsive()
{
    AppHarness app({QStringLiteral("/nonexistent/orvelin-no-port")});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QCOMPARE(app.property("DeviceMenu", "visible").toBool(), true);
    QCOMPARE(app.property("ButtonSettings", "enabled").toBool(), false);

    // Across several scans the GUI thread keeps serving its own events.
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(50);
    AppHarness::spin(2500);
    QVERIFY(ticks >= 10);
    QCOMPARE(app.property("ErrorDevice", "visible").toBool(), true);
    QCOMPARE(app.property("ErrorDevice", "textError").toString(), QStringLiteral("------"));
}

void TestDeviceScreen::lifeCycle_connectLoseAndReconnect()
{
    const QString link = QDir::temp().filePath(
        QStringLiteral("orvelin-devicescreen-%1").arg(QCoreApplication::applicationPid()));
    ZrSimulator::Options options;
    options.id = 123456;
    options.model = QStringLiteral("7.49");
    options.linkPath = link;
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));

    AppHarness app({link});
    QVERIFY2(app.start(), qPrintable(app.errorString()));

    QVERIFY(app.waitForProperty("TypeDevice", "visible", true));
    QCOMPARE(app.property("TypeDevice", "typeDevice").toString(), QStringLiteral("ZR7.49"));
    QCOMPARE(app.property("VersionDevice", "versionDevice").toString(), QStringLiteral(" 1.03"));
    QVERIFY(app.waitForProperty("IdDevice", "idDevice", QStringLiteral("123456")));
    QCOMPARE(app.property("ErrorDevice", "visible").toBool(), false);
    QCOMPARE(app.property("ButtonSettings", "enabled").toBool(), true);
    QVERIFY(app.waitForProperty("ListFilesInfo", "visible", true));
    const int files = sim.logFileCount(0) + sim.logFileCount(1);
    QVERIFY(files > 0);
    QTRY_COMPARE(app.shell()->modelFilesInfo()->rowCount(), files);

    // The clock ticks once a second with the instrument's reading.
    QVERIFY(app.waitForProperty("TimeDevice", "visible", true));
    const QString first = app.property("TimeDevice", "timeDevice").toString();
    QVERIFY(AppHarness::waitFor([&] { return app.property("TimeDevice", "timeDevice").toString() != first; }, 5000));
    const QDateTime shown = QDateTime::fromString(app.property("TimeDevice", "timeDevice").toString(),
                                                  QStringLiteral("hh:mm:ss dd.MM.yyyy"));
    QDateTime shownUtc = shown;
    shownUtc.setTimeSpec(Qt::UTC);
    QVERIFY(qAbs(shownUtc.secsTo(sim.clock())) <= 3);
    // One file list for one identification.
    AppHarness::spin(1500);
    QCOMPARE(sim.requestCount(DeviceCommand::GetFileCount), 2);

    // The instrument vanishes while the user looks at the settings page.
    app.setProperty("SettingsDevice", "visible", true);
    app.setProperty("DeviceMenu", "visible", false);
    sim.stop();
    QVERIFY(app.waitForProperty("ErrorDevice", "visible", true));
    QCOMPARE(app.property("ErrorDevice", "textError").toString(), kSilent);
    QCOMPARE(app.property("ButtonSettings", "enabled").toBool(), false);
    QCOMPARE(app.property("TypeDevice", "visible").toBool(), false);
    QCOMPARE(app.property("DeviceMenu", "visible").toBool(), true);
    QCOMPARE(app.property("SettingsDevice", "visible").toBool(), false);

    // It comes back on the same link and is found without any user action.
    sim.clearRequests();
    QVERIFY2(sim.start(&error), qPrintable(error));
    QVERIFY(app.waitForProperty("TypeDevice", "visible", true, 20000));
    QVERIFY(app.waitForProperty("ErrorDevice", "visible", false));
    QVERIFY(app.waitForProperty("ListFilesInfo", "visible", true));
    QCOMPARE(app.property("ButtonSettings", "enabled").toBool(), true);
    AppHarness::spin(1500);
    QCOMPARE(sim.requestCount(DeviceCommand::GetFileCount), 2);
}

void TestDeviceScreen::download_endToEnd_thenCutOffKeepsEarlierCopy()
{
    const quint32 id = 6000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    const QString folder = AppHarness::logFolder(id);
    QDir(folder).removeRecursively();

    ZrSimulator::Options options;
    options.id = id;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    SimRunSpec spec;
    spec.records = 40;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const QByteArray served = sim.addRun(spec);
    sim.addSingle(3);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));

    AppHarness app({sim.portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QStringList warnings;
    app.shell()->deviceWindow()->setDialogs({[&](const QString& text) { warnings << text; }});
    int ready = 0;
    connect(app.shell()->filesInteractor(), &FilesInteractor::modelRecordReady, this, [&] { ++ready; });
    QVERIFY(app.waitForProperty("ListFilesInfo", "visible", true));
    QTRY_COMPARE(app.shell()->modelFilesInfo()->rowCount(), 2);

    QVERIFY(app.emitWindowSignal("currentNameFileChange", QStringLiteral("6553F100.LOG")));
    QVERIFY(app.waitForProperty("ButtonOpenFilesDevice", "visible", true));
    // A short download may lock and free the button between two looks at it,
    // so its changes are counted as they happen: from enabled back to enabled
    // it changed at least twice only if it was locked in between.
    QObject* open = app.object(QStringLiteral("ButtonOpenFilesDevice"));
    QVERIFY(open);
    QVERIFY(open->property("enabled").toBool());
    QSignalSpy openChanges(open, SIGNAL(enabledChanged()));
    QVERIFY(openChanges.isValid());
    QVERIFY(app.emitWindowSignal("clickOpenCurrentFileFromDevice"));
    QVERIFY(app.waitForProperty("ButtonOpenFilesDevice", "enabled", true));
    QTRY_COMPARE(ready, 1);
    QVERIFY2(openChanges.count() >= 2, "the open button was never locked during the download");
    QCOMPARE(app.property("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
    const QString path = folder + QStringLiteral("/6553F100.LOG");
    QCOMPARE(testsupport::fileBytes(path), served);

    // The opened file is shown on the data page; the user goes back.
    app.setProperty("DataWindow", "visible", false);
    app.setProperty("DeviceMenu", "visible", true);

    // The instrument falls silent half-way through the second download.
    sim.injectFault(SimFault::GoSilent, 20);
    QVERIFY(app.emitWindowSignal("clickOpenCurrentFileFromDevice"));
    QVERIFY(app.waitForProperty("ErrorDevice", "visible", true));
    QCOMPARE(app.property("ErrorDevice", "textError").toString(), kSilent);
    QTRY_COMPARE(warnings, QStringList{QStringLiteral("Ошибка загрузки файла 6553F100.LOG\n") + kSilent});
    QCOMPARE(app.property("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QCOMPARE(app.property("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
    QCOMPARE(testsupport::fileBytes(path), served);
    // The earlier copy keeps its record, and the record still speaks for it.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"6553F100.LOG", "6553F100.LOG.json"}));
    QCOMPARE(DownloadRecord::verify(path), DownloadRecord::Check::Matches);
    QCOMPARE(ready, 1);

    // Once the instrument answers again the page comes back by itself. The
    // download and the clock both failed, yet the instrument is identified and
    // listed only once.
    sim.clearRequests();
    sim.clearFaults();
    QVERIFY(app.waitForProperty("TypeDevice", "visible", true, 20000));
    QVERIFY(app.waitForProperty("ListFilesInfo", "visible", true));
    AppHarness::spin(2500);
    QCOMPARE(sim.requestCount(DeviceCommand::GetDeviceInfo), 1);
    QCOMPARE(sim.requestCount(DeviceCommand::GetFileCount), 2);
    QDir(folder).removeRecursively();
}

QTEST_MAIN(TestDeviceScreen)
#include "tst_devicescreen.moc"
