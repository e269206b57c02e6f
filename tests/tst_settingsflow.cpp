// Reading and writing the instrument's settings and setting its clock: the
// interactor against a simulated instrument, and the whole road from the menu
// button through the real threads and main window to the instrument and back.
#include "link/DeviceCommand.h"
#include "AppHarness.h"
#include "ZrSimulator.h"

#include "app/ApplicationShell.h"
#include "link/ComPortManager.h"
#include "screens/DeviceSettingWindow.h"
#include "device/DeviceSettingsInteractor.h"
#include "device/FilesInteractor.h"
#include "device/ModelDeviceFileInfo.h"
#include "device/ZR74XManager.h"

#include <QDir>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include <memory>

namespace {

const QString writeFailed = QStringLiteral("Ошибка записи в память ");
const QString clockFailed = QStringLiteral("Ошибка установки времени");
const QString noAnswer = QStringLiteral("Ошибка. Прибор не отвечает ");

// A record whose values the settings page can show exactly.
DeviceSettings sampleRecord(bool secondModel)
{
    DeviceSettings s;
    s.brightness = 65;
    s.sleepPeriodSec = 120;
    s.shutdownPeriodMin = 17;
    s.logPeriod = QTime(0, 1, 30);
    s.batteryType = 1;
    s.updatePeriodValue = 42;
    s.sound = true;
    s.soundButton = true;
    s.lineThicknessValue = 3;
    s.numberOfDecimalPlacesCh1 = 1;
    s.numberOfDecimalPlacesCh2 = 2;
    const float mins[5] = {20.5f, 10.0f, 0.5f, 300.0f, 150.0f};
    const float maxs[5] = {30.0f, 90.5f, 25.0f, 800.0f, 5000.0f};
    for (int c = 0; c < 2; ++c) {
        for (int q = 0; q < 5; ++q) {
            s.channel[c].alarmMin[q] = mins[q] + c;
            s.channel[c].alarmMax[q] = maxs[q] - c;
        }
    }
    s.channel[0].alarm = true;
    if (secondModel) {
        s.sensorType = 5;
        s.valueResistAt0 = 1;
        s.value4mA = -12.5f;
        s.value20mA = 250.0f;
        s.unit = 6;
        s.channel[1].alarm = true;
    }
    return s;
}

// The 128-byte settings area holding `record`, the unwritten rest left blank.
QByteArray areaWith(const DeviceSettings& record, const QString& deviceInfo)
{
    QByteArray area = encodeSettings(record, deviceInfo);
    area.append(QByteArray(SettingsArea::size - area.size(), char(0xFF)));
    return area;
}

quint16 commandOf(const QByteArray& frame)
{
    return qFromBigEndian<quint16>(frame.constData() + 3);
}

QByteArray dataOf(const QByteArray& frame)
{
    return frame.mid(5, frame.size() - 9);
}

QList<quint16> commandsOf(const QList<QByteArray>& frames)
{
    QList<quint16> commands;
    for (const QByteArray& frame : frames)
        commands << commandOf(frame);
    return commands;
}

const char* const pageNames[4] = {"SettingsDevice", "DataWindow", "DataBaseMenu", "DeviceMenu"};

// Counts the settings the page has taken in. The count runs in a queued call
// posted after the page's own, so once it moves the page shows those settings.
struct PageFills
{
    int count = 0;
    explicit PageFills(AppHarness& app)
    {
        QObject::connect(app.shell()->deviceSettingsInteractor(), &DeviceSettingsInteractor::deviceBytesSettingReceived,
                         app.shell()->deviceSettingWindow(), [this] { ++count; }, Qt::QueuedConnection);
    }
};

// Counts the main window's pages that show, every time one of them appears or
// goes, and remembers the most that ever showed together.
class PageWatch : public QObject
{
public:
    explicit PageWatch(AppHarness& app)
        : m_app(app)
    {
        for (const char* name : pageNames) {
            auto* page = qobject_cast<QQuickItem*>(app.object(QLatin1String(name)));
            if (page)
                connect(page, &QQuickItem::visibleChanged, this, &PageWatch::count);
        }
        count();
    }
    int mostShownTogether() const { return m_most; }
    QStringList shown() const
    {
        QStringList names;
        for (const char* name : pageNames)
            if (m_app.property(QLatin1String(name), "visible").toBool())
                names << QLatin1String(name);
        return names;
    }

private:
    void count() { m_most = std::max(m_most, int(shown().size())); }

    AppHarness& m_app;
    int m_most = 0;
};

// The computer's wall-clock reading now, as the instrument holds it.
QDateTime wallClockNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), now.time(), Qt::UTC);
}

} // namespace

class TestSettingsFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The interactor on its own, in the test thread.
    void requestSettings_decodesTheInstrumentsArea_data();
    void requestSettings_decodesTheInstrumentsArea();
    void setSettings_writesBlockInPiecesThenReadsBack_data();
    void setSettings_writesBlockInPiecesThenReadsBack();
    void setSettings_rejectedWrite_errorThenReadBack();
    void setSettings_silentInstrument_twoErrors();
    void setCurrentTime_sendsLocalWallClockReading();
    void setCurrentTime_rejected_reportsError();

    // The whole application.
    void settingsButton_showsApplyWritesAndReadsBack();
    void secondModel_applyUnchanged_leavesBlockIdentical();
    void failedWrite_showsErrorThenSettingsReadBack();
    void clockButton_setsInstrumentToLocalWallClock();
    void settingsAskedDuringDownload_neverTwoPagesAndSettingsLast();
    void settingsReadFails_beforeAnyPageShown_devicePageReturns();

private:
    bool startSimulator(const QString& model);
    DeviceSettingsInteractor* connectInteractor();

    std::unique_ptr<ZrSimulator> m_sim;
    std::unique_ptr<ComPortManager> m_manager;
    std::unique_ptr<DeviceSettingsInteractor> m_interactor;
};

void TestSettingsFlow::initTestCase()
{
    qRegisterMetaType<DeviceSettings>("DeviceSettings");
}

void TestSettingsFlow::init()
{
    QVERIFY(!m_sim);
}

void TestSettingsFlow::cleanup()
{
    m_interactor.reset();
    m_manager.reset();
    m_sim.reset();
}

bool TestSettingsFlow::startSimulator(const QString& model)
{
    ZrSimulator::Options options;
    options.model = model;
    options.defaultFiles = false;
    m_sim = std::make_unique<ZrSimulator>(options);
    QString error;
    if (!m_sim->start(&error)) {
        qWarning("simulator: %s", qPrintable(error));
        return false;
    }
    return true;
}

DeviceSettingsInteractor* TestSettingsFlow::connectInteractor()
{
    m_manager = std::make_unique<ComPortManager>();
    if (!m_manager->connectComPort(m_sim->portName()))
        return nullptr;
    m_interactor = std::make_unique<DeviceSettingsInteractor>(m_manager.get());
    return m_interactor.get();
}

void TestSettingsFlow::requestSettings_decodesTheInstrumentsArea_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("ZR-7.47") << QStringLiteral("7.47");
    QTest::newRow("ZR-7.49") << QStringLiteral("7.49");
}

void TestSettingsFlow::requestSettings_decodesTheInstrumentsArea()
{
    QFETCH(QString, model);
    QVERIFY(startSimulator(model));
    const DeviceSettings record = sampleRecord(model == QLatin1String("7.49"));
    m_sim->setSettingsArea(areaWith(record, m_sim->deviceInfo()));
    DeviceSettingsInteractor* interactor = connectInteractor();
    QVERIFY(interactor);

    QSignalSpy received(interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived);
    QSignalSpy errors(interactor, &DeviceSettingsInteractor::errorOccurred);
    interactor->requestSettings();
    QCOMPARE(errors.count(), 0);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).value<DeviceSettings>(), record);
    QCOMPARE(commandsOf(m_sim->requests()),
             (QList<quint16>{151, 164, 164, 164, 164}));
}

void TestSettingsFlow::setSettings_writesBlockInPiecesThenReadsBack_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("lastPiece");
    QTest::newRow("ZR-7.47") << QStringLiteral("7.47") << 2;
    QTest::newRow("ZR-7.49") << QStringLiteral("7.49") << 13;
}

void TestSettingsFlow::setSettings_writesBlockInPiecesThenReadsBack()
{
    QFETCH(QString, model);
    QFETCH(int, lastPiece);
    QVERIFY(startSimulator(model));
    const QByteArray before = m_sim->settingsArea();
    DeviceSettingsInteractor* interactor = connectInteractor();
    QVERIFY(interactor);

    const DeviceSettings record = sampleRecord(model == QLatin1String("7.49"));
    QSignalSpy received(interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived);
    QSignalSpy errors(interactor, &DeviceSettingsInteractor::errorOccurred);
    interactor->setSettings(record);
    QCOMPARE(errors.count(), 0);

    // Written: the encoded block; the rest of the area keeps what it held.
    const QByteArray block = encodeSettings(record, m_sim->deviceInfo());
    const QByteArray area = m_sim->settingsArea();
    QCOMPARE(area.left(block.size()), block);
    QCOMPARE(area.mid(block.size()), before.mid(block.size()));

    const QList<QByteArray> frames = m_sim->requests();
    QCOMPARE(commandsOf(frames),
             (QList<quint16>{151, 166, 169, 169, 169, 169, 163, 151, 164, 164, 164, 164}));
    const quint32 addresses[4] = {0xFE000, 0xFE020, 0xFE040, 0xFE060};
    for (int i = 0; i < 4; ++i) {
        const QByteArray data = dataOf(frames.at(2 + i));
        QCOMPARE(qFromBigEndian<quint32>(data.constData()), addresses[i]);
        QCOMPARE(data.size() - 4, i < 3 ? 32 : lastPiece);
    }

    // Read back: the screen is given what the instrument now holds.
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).value<DeviceSettings>(), record);
}

void TestSettingsFlow::setSettings_rejectedWrite_errorThenReadBack()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    const DeviceSettings stored = sampleRecord(false);
    const QByteArray area = areaWith(stored, m_sim->deviceInfo());
    m_sim->setSettingsArea(area);
    DeviceSettingsInteractor* interactor = connectInteractor();
    QVERIFY(interactor);

    QStringList events;
    DeviceSettings readBack;
    connect(interactor, &DeviceSettingsInteractor::errorOccurred, this,
            [&](const QString& message) { events << QStringLiteral("error: ") + message; });
    connect(interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived, this,
            [&](const DeviceSettings& s) { events << QStringLiteral("settings"); readBack = s; });

    // The first piece is refused; the change lies in a later piece, which is
    // never sent.
    m_sim->injectFault(SimFault::StatusFail, -1, DeviceCommand::WriteMemory);
    DeviceSettings changed = stored;
    changed.channel[1].alarmMax[4] = 77.7f;
    interactor->setSettings(changed);

    QCOMPARE(events, (QStringList{QStringLiteral("error: ") + writeFailed, QStringLiteral("settings")}));
    QCOMPARE(readBack, stored);
    QCOMPARE(m_sim->settingsArea(), area);
    // The first piece was tried three times and nothing after it was sent.
    QCOMPARE(m_sim->requestCount(DeviceCommand::WriteMemory), 3);
    QCOMPARE(m_sim->requestCount(DeviceCommand::EndWrite), 0);
}

void TestSettingsFlow::setSettings_silentInstrument_twoErrors()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    DeviceSettingsInteractor* interactor = connectInteractor();
    QVERIFY(interactor);
    m_sim->injectFault(SimFault::NoAnswer, -1);

    QSignalSpy received(interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived);
    QSignalSpy errors(interactor, &DeviceSettingsInteractor::errorOccurred);
    interactor->setSettings(sampleRecord(false));
    // The write fails, and so does the read that always follows it.
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.at(0).at(0).toString(), noAnswer);
    QCOMPARE(errors.at(1).at(0).toString(), noAnswer);
    QCOMPARE(received.count(), 0);
}

void TestSettingsFlow::setCurrentTime_sendsLocalWallClockReading()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    m_sim->setClock(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    DeviceSettingsInteractor* interactor = connectInteractor();
    QVERIFY(interactor);

    QSignalSpy errors(interactor, &DeviceSettingsInteractor::errorOccurred);
    const QDateTime expected = wallClockNow();
    interactor->setCurrentTime();
    QCOMPARE(errors.count(), 0);

    const QDateTime clock = m_sim->clock();
    QVERIFY2(qAbs(clock.secsTo(expected)) <= 3,
             qPrintable(clock.toString(Qt::ISODate) + " vs " + expected.toString(Qt::ISODate)));
    // The reading is sent as it stands, not converted to UTC: in a zone away
    // from UTC the instrument must not show UTC.
    const qint64 offset = QDateTime::currentDateTime().offsetFromUtc();
    if (qAbs(offset) > 60)
        QVERIFY(qAbs(clock.secsTo(QDateTime::currentDateTimeUtc())) > 60);
}

void TestSettingsFlow::setCurrentTime_rejected_reportsError()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    DeviceSettingsInteractor* interactor = connectInteractor();
    QVERIFY(interactor);
    m_sim->injectFault(SimFault::StatusFail, -1, DeviceCommand::SetTime);

    QSignalSpy errors(interactor, &DeviceSettingsInteractor::errorOccurred);
    QSignalSpy received(interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived);
    interactor->setCurrentTime();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), clockFailed);
    QCOMPARE(received.count(), 0);
}

void TestSettingsFlow::settingsButton_showsApplyWritesAndReadsBack()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    const DeviceSettings stored = sampleRecord(false);
    m_sim->setSettingsArea(areaWith(stored, m_sim->deviceInfo()));

    AppHarness app({m_sim->portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QStringList warnings;
    app.shell()->deviceSettingWindow()->setWarningPresenter([&](const QString& text) { warnings << text; });
    QVERIFY(app.waitForProperty(QStringLiteral("ButtonSettings"), "enabled", true));

    // The menu's settings button hides the device page and asks for the settings;
    // the page appears once they have been read.
    PageFills fills(app);
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonSettings")), "clicked"));
    QVERIFY(app.waitForProperty(QStringLiteral("SettingsDevice"), "visible", true));
    QCOMPARE(app.property(QStringLiteral("DeviceMenu"), "visible").toBool(), false);
    QCOMPARE(app.property(QStringLiteral("SettingsDevice"), "typeDevice").toString(), QStringLiteral("ZR7.47"));
    QCOMPARE(app.property(QStringLiteral("AlarmChannel 1"), "temperatureAlarmMin").toDouble(), 205.0);
    QCOMPARE(app.property(QStringLiteral("AlarmChannel 1"), "temperatureAlarmMax").toDouble(), 300.0);
    QCOMPARE(app.property(QStringLiteral("LogPeriodSetting"), "secondPeriod").toInt(), 30);
    QCOMPARE(app.property(QStringLiteral("PowerSavingSetting"), "brightness").toInt(), 65);

    // The user changes two values and applies them.
    app.setProperty(QStringLiteral("PowerSavingSetting"), "brightness", 40);
    app.setProperty(QStringLiteral("AlarmChannel 2"), "lightAlarmMax", 3000.0);
    const int readsBefore = m_sim->requestCount(DeviceCommand::ReadMemory);
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonApplySettings")), "clicked"));

    DeviceSettings expected = stored;
    expected.brightness = 40;
    expected.channel[1].alarmMax[4] = 300.0f;
    const QByteArray block = encodeSettings(expected, m_sim->deviceInfo());
    QVERIFY(AppHarness::waitFor([&] { return m_sim->settingsArea().startsWith(block); }));
    // ...and the page is refilled from what the instrument now holds.
    QVERIFY(AppHarness::waitFor([&] { return m_sim->requestCount(DeviceCommand::ReadMemory) == readsBefore + 4; }));
    QVERIFY(AppHarness::waitFor([&] { return fills.count == 2 && AppHarness::limitRangesSettled(app.root()); }));
    QCOMPARE(app.property(QStringLiteral("PowerSavingSetting"), "brightness").toInt(), 40);
    QCOMPARE(app.property(QStringLiteral("AlarmChannel 2"), "lightAlarmMax").toDouble(), 3000.0);
    QCOMPARE(warnings, QStringList());
}

void TestSettingsFlow::secondModel_applyUnchanged_leavesBlockIdentical()
{
    QVERIFY(startSimulator(QStringLiteral("7.49")));
    const DeviceSettings stored = sampleRecord(true);
    const QByteArray area = areaWith(stored, m_sim->deviceInfo());
    m_sim->setSettingsArea(area);

    AppHarness app({m_sim->portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QStringList warnings;
    app.shell()->deviceSettingWindow()->setWarningPresenter([&](const QString& text) { warnings << text; });
    QVERIFY(app.waitForProperty(QStringLiteral("ButtonSettings"), "enabled", true));
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonSettings")), "clicked"));
    QVERIFY(app.waitForProperty(QStringLiteral("SettingsDevice"), "visible", true));

    QCOMPARE(app.property(QStringLiteral("SettingsDevice"), "typeDevice").toString(), QStringLiteral("ZR7.49"));
    QCOMPARE(app.property(QStringLiteral("AlarmChannel 2"), "visible").toBool(), false);
    QCOMPARE(app.property(QStringLiteral("Channel2ZR749Setting"), "visible").toBool(), true);
    QCOMPARE(app.property(QStringLiteral("Channel2ZR749Setting"), "sensorType").toInt(), 5);
    QCOMPARE(app.property(QStringLiteral("AlarmChannel2ZR749"), "currentUnit").toString(), QStringLiteral("гПа"));

    // Applying without a change writes the very block that was read: the hidden
    // page's air-flow, pressure and light limits and the sensor fields included.
    QVERIFY(AppHarness::waitFor([&] { return AppHarness::limitRangesSettled(app.root()); }));
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonApplySettings")), "clicked"));
    QVERIFY(AppHarness::waitFor([&] { return m_sim->requestCount(DeviceCommand::EndWrite) == 1; }));
    QCOMPARE(m_sim->settingsArea(), area);
    QCOMPARE(warnings, QStringList());
}

void TestSettingsFlow::failedWrite_showsErrorThenSettingsReadBack()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    const DeviceSettings stored = sampleRecord(false);
    const QByteArray area = areaWith(stored, m_sim->deviceInfo());
    m_sim->setSettingsArea(area);

    AppHarness app({m_sim->portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QStringList warnings;
    double limitWhenWarned = -1;
    app.shell()->deviceSettingWindow()->setWarningPresenter([&](const QString& text) {
        warnings << text;
        limitWhenWarned = app.property(QStringLiteral("AlarmChannel 2"), "lightAlarmMax").toDouble();
    });
    QVERIFY(app.waitForProperty(QStringLiteral("ButtonSettings"), "enabled", true));
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonSettings")), "clicked"));
    QVERIFY(app.waitForProperty(QStringLiteral("SettingsDevice"), "visible", true));

    m_sim->injectFault(SimFault::StatusFail, -1, DeviceCommand::WriteMemory);
    app.setProperty(QStringLiteral("AlarmChannel 2"), "lightAlarmMax", 2500.0);
    QVERIFY(AppHarness::waitFor([&] { return AppHarness::limitRangesSettled(app.root()); }));
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonApplySettings")), "clicked"));

    // First the message, while the page still shows the user's value; then the
    // settings read back from the instrument replace it.
    QVERIFY(AppHarness::waitFor([&] { return !warnings.isEmpty(); }));
    QCOMPARE(warnings, QStringList{writeFailed});
    QCOMPARE(limitWhenWarned, 2500.0);
    QVERIFY(app.waitForProperty(QStringLiteral("AlarmChannel 2"), "lightAlarmMax", 49990.0));
    QCOMPARE(m_sim->settingsArea(), area);
    QCOMPARE(app.property(QStringLiteral("SettingsDevice"), "visible").toBool(), true);
    // The instrument is still connected: a settings error is not a lost link.
    QCOMPARE(app.property(QStringLiteral("ErrorDevice"), "visible").toBool(), false);
    m_sim->clearFaults();
}

void TestSettingsFlow::clockButton_setsInstrumentToLocalWallClock()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    m_sim->setClock(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));

    AppHarness app({m_sim->portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QVERIFY(app.waitForProperty(QStringLiteral("BtnTimeSync"), "visible", true));
    QVERIFY(app.property(QStringLiteral("TimeDevice"), "timeDevice").toString().endsWith(QLatin1String("2001")));

    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("BtnTimeSync")), "clicked"));
    QVERIFY(AppHarness::waitFor([&] { return qAbs(m_sim->clock().secsTo(wallClockNow())) <= 3; }));

    // The device page shows the new reading with its next clock request.
    QVERIFY(AppHarness::waitFor([&] {
        QDateTime shown = QDateTime::fromString(app.property(QStringLiteral("TimeDevice"), "timeDevice").toString(),
                                                QStringLiteral("hh:mm:ss dd.MM.yyyy"));
        shown.setTimeSpec(Qt::UTC);
        return shown.isValid() && qAbs(shown.secsTo(wallClockNow())) <= 3;
    }, 5000));
}

void TestSettingsFlow::settingsAskedDuringDownload_neverTwoPagesAndSettingsLast()
{
    // The user opens a long log and presses "Настройки" while it downloads:
    // the download lands first, then the settings. Neither answer may leave
    // two pages drawn over each other.
    ZrSimulator::Options options;
    options.id = 6100000 + quint32(QCoreApplication::applicationPid() % 100000);
    options.defaultFiles = false;
    m_sim = std::make_unique<ZrSimulator>(options);
    SimRunSpec spec;
    spec.records = 600;
    spec.start = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    m_sim->addRun(spec);
    QString error;
    QVERIFY2(m_sim->start(&error), qPrintable(error));

    AppHarness app({m_sim->portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QVERIFY(AppHarness::waitFor([&] { return app.shell()->modelFilesInfo()->rowCount() == 1; }, 30000));
    int loaded = 0;
    connect(app.shell()->filesInteractor(), &FilesInteractor::modelRecordReady, this, [&] { ++loaded; });
    PageWatch watch(app);

    QVERIFY(app.emitWindowSignal("currentNameFileChange", QStringLiteral("6553F100.LOG")));
    QVERIFY(app.emitWindowSignal("clickOpenCurrentFileFromDevice"));
    QVERIFY(app.waitForProperty(QStringLiteral("ButtonOpenFilesDevice"), "enabled", false));
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonSettings")), "clicked"));
    QCOMPARE(watch.shown(), QStringList());
    QCOMPARE(app.property(QStringLiteral("WaitingForPage"), "visible").toBool(), true);

    QVERIFY(AppHarness::waitFor([&] { return loaded == 1; }, 30000));
    QVERIFY(app.waitForProperty(QStringLiteral("SettingsDevice"), "visible", true));
    QVERIFY(app.waitForProperty(QStringLiteral("WaitingForPage"), "visible", false));
    QCOMPARE(watch.shown(), QStringList{QStringLiteral("SettingsDevice")});
    QCOMPARE(watch.mostShownTogether(), 1);
    QCOMPARE(app.property(QStringLiteral("WaitingForPage"), "visible").toBool(), false);

    app.shell()->stopWorkers();
    QDir(AppHarness::logFolder(options.id)).removeRecursively();
}

void TestSettingsFlow::settingsReadFails_beforeAnyPageShown_devicePageReturns()
{
    QVERIFY(startSimulator(QStringLiteral("7.47")));
    AppHarness app({m_sim->portName()});
    QVERIFY2(app.start(), qPrintable(app.errorString()));
    QStringList warnings;
    app.shell()->deviceSettingWindow()->setWarningPresenter([&](const QString& text) { warnings << text; });
    QVERIFY(app.waitForProperty(QStringLiteral("ButtonSettings"), "enabled", true));

    // The instrument refuses every memory read: no settings will ever come.
    m_sim->injectFault(SimFault::ErrorCode, -1, DeviceCommand::ReadMemory);
    QVERIFY(QMetaObject::invokeMethod(app.object(QStringLiteral("ButtonSettings")), "clicked"));
    QVERIFY(AppHarness::waitFor([&] { return !warnings.isEmpty(); }));
    PageWatch watch(app);
    QCOMPARE(watch.shown(), QStringList{QStringLiteral("DeviceMenu")});
    m_sim->clearFaults();

    // A failure while another page is in front leaves that page alone.
    QVERIFY(app.setProperty(QStringLiteral("DataWindow"), "visible", true));
    app.shell()->deviceSettingWindow()->showErrorSettingDevice(QStringLiteral("x"));
    QCOMPARE(watch.shown(), QStringList{QStringLiteral("DataWindow")});
}

QTEST_MAIN(TestSettingsFlow)
#include "tst_settingsflow.moc"
