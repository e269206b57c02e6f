// The device screen's collecting panel through the real application: marks,
// "Загрузить новые" with its summary, cancel, and collection on connect into
// the archive, checked with the sqlite3 program.
#include "AppHarness.h"
#include "TestSupport.h"
#include "ZrSimulator.h"
#include "app/ApplicationShell.h"
#include "screens/DeviceCollectWindow.h"
#include "link/DeviceCommand.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

QString sqlite(const QString& database, const QString& sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {database, sql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString iniText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestCollectScreen : public QObject
{
    Q_OBJECT
private slots:
    void collectOnConnect_storesEachValueOnce_andSecondPressFetchesNothing();
    void cancel_fromThePanel_stopsTheSet_andKeepsNoFile();
};

void TestCollectScreen::collectOnConnect_storesEachValueOnce_andSecondPressFetchesNothing()
{
    const quint32 id = 7100000 + quint32(QCoreApplication::applicationPid() % 100000);
    const QString folder = AppHarness::logFolder(id);
    QDir(folder).removeRecursively();
    ZrSimulator::Options options;
    options.id = id;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    const QByteArray first = sim.addRun(testsupport::simRun(40, 1700000000, 1));
    const QByteArray second = sim.addRun(testsupport::simRun(260, 1700100000, 2));
    // The instrument's clock is an hour behind the computer's.
    const QDateTime behind = QDateTime::currentDateTime().addSecs(-3600);
    sim.setClock(QDateTime(behind.date(), behind.time(), Qt::UTC));
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));

    AppHarness app;
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QVERIFY(app.emitWindowSignal("collectOnConnectChanged", true));
    QVERIFY(app.emitWindowSignal("collectArchiveChanged", true));
    DeviceCollectWindow* panel = app.shell()->deviceCollectWindow();
    QVERIFY(AppHarness::waitFor([&] { return panel->settings().onConnect && panel->settings().archive; }));
    const QString ini = QFileInfo(app.databasePath()).dir().filePath(QStringLiteral("orvelin.ini"));
    QVERIFY(iniText(ini).contains(QStringLiteral("[collect]\narchive=true\nonConnect=true")));

    AppHarness::setPorts({sim.portName()});
    // The clock is named once its first reading is in.
    QVERIFY(AppHarness::waitFor([&] { return panel->summary().contains(QStringLiteral("Часы прибора")); }, 60000));
    const QStringList lines = panel->summary().split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), QStringLiteral("Загружено 2 файла, 300 измерений; сохранено в базу данных"));
    QVERIFY2(lines.last().startsWith(QStringLiteral("Часы прибора %1 отличаются от часов компьютера на -3 ").arg(id)),
             qPrintable(lines.last()));
    QCOMPARE(app.property("CollectFilesDevice", "summaryText").toString(), panel->summary());

    QFile a(folder + QStringLiteral("/6553F100.LOG"));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), first);
    const QVariantMap marks = app.property("ListFilesInfo", "homeMarks").toMap();
    QCOMPARE(marks.size(), 2);
    for (const QVariant& mark : marks)
        QCOMPARE(mark.toString(), QStringLiteral("загружен"));

    // Every time stamp of both runs once, and no value twice.
    const QString database = app.databasePath();
    const QString times = QStringLiteral("select count(distinct DateTime) from RECORD_ZR where idDevice = %1").arg(id);
    const QString doubles = QStringLiteral("select count(*) from (select 1 from RECORD_ZR group by idDevice, DateTime, "
                                           "idTypeChannel, idUnit having count(*) > 1)");
    QCOMPARE(sqlite(database, times), QStringLiteral("300"));
    QCOMPARE(sqlite(database, doubles), QStringLiteral("0"));
    const QString values = sqlite(database, QStringLiteral("select count(*) from RECORD_ZR"));

    // The same files again: nothing comes, nothing is stored twice.
    sim.clearRequests();
    QVERIFY(app.emitWindowSignal("clickDownloadNewFiles"));
    QVERIFY(AppHarness::waitFor([&] { return panel->summary().startsWith(QStringLiteral("Новых файлов нет")); }));
    QCOMPARE(sim.requestCount(DeviceCommand::OpenFile), 0);
    QCOMPARE(sqlite(database, QStringLiteral("select count(*) from RECORD_ZR")), values);

    // A file the instrument logged on into since is partly home and comes again.
    QFile b(folder + QStringLiteral("/") + marks.keys().last());
    QVERIFY(b.open(QIODevice::ReadWrite));
    QVERIFY(b.resize(7 + 24 * 10));
    b.close();
    QVERIFY(app.emitWindowSignal("clickDownloadNewFiles"));
    QVERIFY(AppHarness::waitFor([&] { return panel->summary().startsWith(QStringLiteral("Загружено 1 файл")); }));
    QCOMPARE(app.property("ListFilesInfo", "homeMarks").toMap().value(marks.keys().last()).toString(),
             QStringLiteral("загружен"));
    Q_UNUSED(second)
    QDir(folder).removeRecursively();
}

void TestCollectScreen::cancel_fromThePanel_stopsTheSet_andKeepsNoFile()
{
    const quint32 id = 7200000 + quint32(QCoreApplication::applicationPid() % 100000);
    const QString folder = AppHarness::logFolder(id);
    QDir(folder).removeRecursively();
    ZrSimulator::Options options;
    options.id = id;
    options.defaultFiles = false;
    // At the line's own pace a long file takes seconds: time to cancel it.
    options.pace = true;
    ZrSimulator sim(options);
    sim.addRun(testsupport::simRun(40000, 1700000000, 1));
    sim.addRun(testsupport::simRun(5, 1710000000, 2));
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));

    AppHarness app({sim.portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    DeviceCollectWindow* panel = app.shell()->deviceCollectWindow();
    QVERIFY(AppHarness::waitFor([&] { return panel->isReady(); }));
    QVERIFY(app.emitWindowSignal("clickDownloadNewFiles"));
    QVERIFY(app.waitForProperty("CollectFilesDevice", "busy", true));
    QVERIFY(AppHarness::waitFor(
        [&] { return app.property("CollectFilesDevice", "progressText").toString().startsWith(QStringLiteral("файл 1 из 2, записей 1")); }));
    // The set's per-file progress is not the open button's: it stays locked.
    QVERIFY(AppHarness::waitFor(
        [&] { return app.property("CollectFilesDevice", "progressText").toString().contains(QStringLiteral("записей 4")); }));
    QCOMPARE(app.property("ButtonOpenFilesDevice", "enabled").toBool(), false);
    QCOMPARE(app.property("ButtonOpenFilesDevice", "progressDownloadFiles").toDouble(), 0.0);
    QVERIFY(app.emitWindowSignal("clickCancelDownload"));
    QVERIFY(AppHarness::waitFor([&] { return !panel->summary().isEmpty(); }));
    QCOMPARE(panel->summary().split(QLatin1Char('\n')).mid(0, 2),
             (QStringList{QStringLiteral("Ни один файл не загружен"),
                          QStringLiteral("Загрузка отменена; не загружены: 6553F100.LOG, 65EC8780.LOG")}));
    QCOMPARE(app.property("CollectFilesDevice", "busy").toBool(), false);
    QCOMPARE(app.property("ButtonOpenFilesDevice", "enabled").toBool(), true);
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
    // Still connected: the clock goes on and the panel's buttons stay.
    QCOMPARE(app.property("ErrorDevice", "visible").toBool(), false);
    QCOMPARE(app.property("CollectFilesDevice", "connected").toBool(), true);
    QDir(folder).removeRecursively();
}

QTEST_MAIN(TestCollectScreen)
#include "tst_collectscreen.moc"
