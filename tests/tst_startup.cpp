// Start-up and shutdown of the whole application: the shell creates the
// objects, publishes the context properties, moves the device side into its
// thread, and stops both worker threads in order, also during a search.
#include "AppHarness.h"

#include "app/ApplicationShell.h"
#include "app/Localization.h"
#include "report/MetaTypes.h"
#include "screens/DataWindow.h"
#include "device/DeviceInteractor.h"
#include "screens/DeviceSettingWindow.h"
#include "screens/DeviceWindow.h"
#include "device/FilesInteractor.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QThread>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerMetaTypes(); }
    void missingMainWindow_failsWithMessage_andStartsNoThread();
    void start_publishesModelsAndBridges_andMovesDeviceSideIntoItsThread();
    void stopWorkers_duringSearch_endsBothThreads();
    void qtOwnTexts_areRussian_andTitlesNameTheApplication();
};

void TestStartup::missingMainWindow_failsWithMessage_andStartsNoThread()
{
    ApplicationShell shell;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*"));
    QVERIFY(!shell.start(QUrl(QStringLiteral("qrc:/no-such-window.qml"))));
    QVERIFY(shell.errorString().contains(QStringLiteral("qrc:/no-such-window.qml")));
    QVERIFY(!shell.deviceThread() || !shell.deviceThread()->isRunning());
    QVERIFY(!shell.databaseThread() || !shell.databaseThread()->isRunning());
}

void TestStartup::start_publishesModelsAndBridges_andMovesDeviceSideIntoItsThread()
{
    AppHarness app({QStringLiteral("/nonexistent/orvelin-startup")});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    ApplicationShell* shell = app.shell();

    QQmlContext* context = shell->engine()->rootContext();
    for (const char* name : {"modelFilesInfo", "modelLogRecord", "dataWindow", "openHelp"})
        QVERIFY2(context->contextProperty(QString::fromLatin1(name)).value<QObject*>(), name);

    // The bridges are children of the main window and live in the GUI thread.
    QCOMPARE(shell->deviceWindow()->parent(), shell->rootObject());
    QCOMPARE(shell->deviceSettingWindow()->parent(), shell->rootObject());
    QCOMPARE(shell->dataWindow()->parent(), shell->rootObject());
    QCOMPARE(shell->dataWindow()->thread(), QThread::currentThread());

    QCOMPARE(shell->deviceInteractor()->thread(), shell->deviceThread());
    QCOMPARE(shell->filesInteractor()->thread(), shell->deviceThread());
    QVERIFY(shell->deviceThread()->isRunning());
    QVERIFY(shell->databaseThread()->isRunning());
}

void TestStartup::stopWorkers_duringSearch_endsBothThreads()
{
    AppHarness app({QStringLiteral("/nonexistent/orvelin-startup")});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    // Let the search get into its pauses and port attempts.
    AppHarness::spin(2500);

    app.shell()->stopWorkers();
    QVERIFY(app.shell()->deviceThread()->isFinished());
    QVERIFY(app.shell()->databaseThread()->isFinished());
}

void TestStartup::qtOwnTexts_areRussian_andTitlesNameTheApplication()
{
    // File dialogs and message boxes take their captions from Qt's catalogue;
    // without it a Russian program shows "Look in", "Cancel" and "Save".
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    QVERIFY(Localization::apply(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), QStringLiteral("Сохранить"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Перейти к:"));
    // Boxes without a title of their own are headed by this name, not by the
    // executable's.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Orvelin"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
