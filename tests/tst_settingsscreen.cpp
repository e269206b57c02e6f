// The settings page bridge against the real settings page documents: values go
// into the controls and come back out of them unchanged, per instrument model.
#include "AppHarness.h"
#include "screens/DeviceSettingWindow.h"

#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

static void initResources()
{
    Q_INIT_RESOURCE(orvelin_qml);
}

namespace {

// A main window that carries only the settings page, placed as the
// application's main window places it.
const char* const hostDocument = R"(
import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/DeviceSettingMenu"

ApplicationWindow {
    id: window
    width: 1024
    height: 768
    visible: true
    signal requestSettingDevice()
    signal setSettingDevice()

    SettingsDevice {
        id: settingsDevice
        objectName: "SettingsDevice"
        anchors.fill: parent
        anchors.leftMargin: 85
        visible: false
    }
}
)";

// A first-model record whose every value lies inside the controls' ranges and
// on their steps, so that it survives the page unchanged.
DeviceSettings firstModelRecord()
{
    DeviceSettings s;
    s.brightness = 65;
    s.sleepPeriodSec = 120;
    s.shutdownPeriodMin = 17;
    s.logPeriod = QTime(1, 2, 3);
    s.batteryType = 1;
    s.updatePeriodValue = 42;
    s.sound = true;
    s.soundButton = false;
    s.lineThicknessValue = 4;
    s.numberOfDecimalPlacesCh1 = 2;
    s.numberOfDecimalPlacesCh2 = 1;
    const float mins[5] = {20.5f, 10.0f, 0.5f, 300.0f, 150.0f};
    const float maxs[5] = {30.0f, 90.5f, 25.0f, 800.0f, 99999.9f};
    for (int c = 0; c < 2; ++c) {
        for (int q = 0; q < 5; ++q) {
            s.channel[c].alarmMin[q] = mins[q] + c;
            s.channel[c].alarmMax[q] = maxs[q] - (q == 4 ? 0.0f : c);
        }
    }
    s.channel[0].alarm = true;
    s.channel[1].alarm = false;
    return s;
}

DeviceSettings secondModelRecord()
{
    DeviceSettings s = firstModelRecord();
    s.sensorType = 5;
    s.valueResistAt0 = 1;
    s.value4mA = -12.5f;
    s.value20mA = 250.0f;
    s.unit = 3;
    s.channel[1].alarm = true;
    s.channel[1].alarmMin[0] = -150.5f;
    s.channel[1].alarmMax[0] = 1200.0f;
    s.channel[1].alarmMin[1] = 4.5f;
    s.channel[1].alarmMax[1] = 95.0f;
    return s;
}

// Types text into the window's focused item key by key, as a keyboard would;
// characters beyond ASCII (non-breaking space, minus sign) included.
void typeText(QWindow* window, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, window, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace

class TestSettingsScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void limits_shownInTenthsAndReadBackUnchanged();
    void firstModel_everyFieldSurvivesThePage();
    void typeWord_isTextBeforeFirstSpace();
    void secondModel_sensorPagesReplaceSecondAlarmPage();
    void secondModel_hiddenChannel2LimitsWrittenBackAsReceived();
    void secondModel_currentSensorUnitFollowsChosenUnit();
    void unknownType_noSecondChannelPageAndSensorFieldsUntouched();
    void logPeriod_secondsAtLeastOneWhileHoursAndMinutesZero();
    void logPeriod_invalidPeriodShownAsShortestPeriod();
    void limitBoxes_beforeSettingsAtTheirBounds();
    void limitBoxes_lowerStaysBelowUpper();
    void limitBoxes_newRangeAboveOldRangeShownWhole();
    void limitBoxes_receivedValuesOutsideBoundsKeptAsReceived();
    void numbers_shownInLocaleWithoutGrouping();
    void typedNumbers_acceptedOrRefusedNeverClamped_data();
    void typedNumbers_acceptedOrRefusedNeverClamped();
    void apply_buttonEmitsCollectedSettings();
    void apply_takesNumberStillBeingTyped();
    void showSetting_pageSlidesInToRest();

private:
    void createWindow();
    QObject* object(const QString& name) const;
    QObject* limitBox(const QString& page, const char* element, const char* box) const;
    QObject* field(const QString& path) const;
    void useLocale(const QLocale& locale);
    bool isShown(const QString& name) const;
    bool settle();
    DeviceSettings collect();

    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QObject* m_root = nullptr;
    DeviceSettingWindow* m_bridge = nullptr;
};

void TestSettingsScreen::initTestCase()
{
    initResources();
    qRegisterMetaType<DeviceSettings>("DeviceSettings");
    QQuickStyle::setStyle(QStringLiteral("fusion"));
}

void TestSettingsScreen::init()
{
    QLocale::setDefault(QLocale::c());
    createWindow();
}

void TestSettingsScreen::createWindow()
{
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->loadData(hostDocument, QUrl(QStringLiteral("qrc:/settings-test-host.qml")));
    QVERIFY(!m_engine->rootObjects().isEmpty());
    m_root = m_engine->rootObjects().constFirst();
    m_bridge = new DeviceSettingWindow(m_root);
    m_bridge->setWarningPresenter([](const QString&) {});
    QVERIFY(QTest::qWaitForWindowExposed(qobject_cast<QQuickWindow*>(m_root)));
}

void TestSettingsScreen::cleanup()
{
    m_bridge = nullptr;
    m_root = nullptr;
    m_engine.reset();
    QLocale::setDefault(QLocale::c());
}

QObject* TestSettingsScreen::object(const QString& name) const
{
    QObject* found = m_root->findChild<QObject*>(name);
    if (!found)
        qWarning("no object %s", qPrintable(name));
    return found;
}

QObject* TestSettingsScreen::limitBox(const QString& page, const char* element, const char* box) const
{
    QObject* e = object(page)->findChild<QObject*>(QLatin1String(element));
    return e ? e->findChild<QObject*>(QLatin1String(box)) : nullptr;
}

bool TestSettingsScreen::isShown(const QString& name) const
{
    auto* item = qobject_cast<QQuickItem*>(object(name));
    return item && item->isVisible();
}

bool TestSettingsScreen::settle()
{
    return AppHarness::waitFor([this] { return AppHarness::limitRangesSettled(m_root); });
}

DeviceSettings TestSettingsScreen::collect()
{
    QSignalSpy spy(m_bridge, &DeviceSettingWindow::settingsDeviceChanged);
    m_bridge->setSettingDevice();
    if (spy.count() != 1)
        return DeviceSettings();
    return spy.at(0).at(0).value<DeviceSettings>();
}

void TestSettingsScreen::limits_shownInTenthsAndReadBackUnchanged()
{
    DeviceSettings s = firstModelRecord();
    m_bridge->showSetting(s);

    QObject* lower = limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "lower");
    QObject* upper = limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "upper");
    QVERIFY(lower && upper);
    QCOMPARE(lower->property("value").toInt(), 205);
    QCOMPARE(upper->property("value").toInt(), 300);
    QCOMPARE(lower->property("displayText").toString(), QStringLiteral("20.5"));
    QCOMPARE(upper->property("displayText").toString(), QStringLiteral("30.0"));

    const DeviceSettings back = collect();
    QCOMPARE(back.channel[0].alarmMin[0], 20.5f);
    QCOMPARE(back.channel[0].alarmMax[0], 30.0f);

    // After the page has settled, the values are still the same.
    QVERIFY(settle());
    QCOMPARE(collect().channel[0], s.channel[0]);
}

void TestSettingsScreen::firstModel_everyFieldSurvivesThePage()
{
    m_bridge->setTypeSetting(QStringLiteral("ZR7.47 1.03"));
    const DeviceSettings s = firstModelRecord();
    m_bridge->showSetting(s);
    QCOMPARE(m_root->findChild<QObject*>(QStringLiteral("SettingsDevice"))->property("visible").toBool(), true);
    QVERIFY(isShown(QStringLiteral("AlarmChannel 2")));
    QVERIFY(settle());

    const DeviceSettings back = collect();
    QCOMPARE(back.brightness, s.brightness);
    QCOMPARE(back.sleepPeriodSec, s.sleepPeriodSec);
    QCOMPARE(back.shutdownPeriodMin, s.shutdownPeriodMin);
    QCOMPARE(back.batteryType, s.batteryType);
    QCOMPARE(back.logPeriod, s.logPeriod);
    QCOMPARE(back.channel[0], s.channel[0]);
    QCOMPARE(back.channel[1], s.channel[1]);
    QCOMPARE(back, s);
    QCOMPARE(m_bridge->settings(), s);
}

void TestSettingsScreen::typeWord_isTextBeforeFirstSpace()
{
    m_bridge->setTypeSetting(QStringLiteral("ZR7.49 1.03"));
    QCOMPARE(m_bridge->typeDevice(), QStringLiteral("ZR7.49"));
    QCOMPARE(object(QStringLiteral("SettingsDevice"))->property("typeDevice").toString(), QStringLiteral("ZR7.49"));

    m_bridge->setTypeSetting(QStringLiteral("ZR7.47"));
    QCOMPARE(m_bridge->typeDevice(), QStringLiteral("ZR7.47"));

    // The type word is compared exactly: a longer word is another model.
    m_bridge->setTypeSetting(QStringLiteral("ZR7.49b 1.0"));
    QCOMPARE(m_bridge->typeDevice(), QStringLiteral("ZR7.49b"));
    m_bridge->showSetting(secondModelRecord());
    QVERIFY(!isShown(QStringLiteral("Channel2ZR749Setting")));
}

void TestSettingsScreen::secondModel_sensorPagesReplaceSecondAlarmPage()
{
    m_bridge->setTypeSetting(QStringLiteral("ZR7.49 1.03"));
    m_bridge->showSetting(secondModelRecord());

    QVERIFY(isShown(QStringLiteral("AlarmChannel 1")));
    QVERIFY(!isShown(QStringLiteral("AlarmChannel 2")));
    QVERIFY(isShown(QStringLiteral("Channel2ZR749Setting")));
    QVERIFY(isShown(QStringLiteral("AlarmChannel2ZR749")));

    // Sensor type "4..20 мА" shows the current sensor's page, any other the
    // resistive sensor's.
    QVERIFY(isShown(QStringLiteral("CurrentSensorSetting")));
    QVERIFY(!isShown(QStringLiteral("ResistiveSensorSetting")));
    object(QStringLiteral("Channel2ZR749Setting"))->setProperty("sensorType", 2);
    QVERIFY(!isShown(QStringLiteral("CurrentSensorSetting")));
    QVERIFY(isShown(QStringLiteral("ResistiveSensorSetting")));
}

void TestSettingsScreen::secondModel_hiddenChannel2LimitsWrittenBackAsReceived()
{
    m_bridge->setTypeSetting(QStringLiteral("ZR7.49 1.03"));
    const DeviceSettings s = secondModelRecord();
    m_bridge->showSetting(s);
    QVERIFY(settle());

    const DeviceSettings back = collect();
    // Air flow, pressure and light of channel 2 come from the hidden page.
    for (int q = 2; q < 5; ++q) {
        QCOMPARE(back.channel[1].alarmMin[q], s.channel[1].alarmMin[q]);
        QCOMPARE(back.channel[1].alarmMax[q], s.channel[1].alarmMax[q]);
    }
    // Temperature and humidity (resistive and current sensor) and the switch
    // come from the sensor-alarm page.
    QCOMPARE(back.channel[1].alarm, true);
    QCOMPARE(back.channel[1].alarmMin[0], -150.5f);
    QCOMPARE(back.channel[1].alarmMax[0], 1200.0f);
    QCOMPARE(back.channel[1].alarmMin[1], 4.5f);
    QCOMPARE(back.channel[1].alarmMax[1], 95.0f);
    QCOMPARE(back.sensorType, 5);
    QCOMPARE(back.valueResistAt0, 1);
    QCOMPARE(back.value4mA, -12.5f);
    QCOMPARE(back.value20mA, 250.0f);
    QCOMPARE(back.unit, 3);
    QCOMPARE(back, s);

    // The sensor-alarm page wins over the hidden page for its own fields.
    object(QStringLiteral("AlarmChannel2ZR749"))->setProperty("resisterAlarmMax", 1500.0);
    object(QStringLiteral("AlarmChannel 2"))->setProperty("temperatureAlarmMax", 2000.0);
    QVERIFY(settle());
    QCOMPARE(collect().channel[1].alarmMax[0], 150.0f);
}

void TestSettingsScreen::secondModel_currentSensorUnitFollowsChosenUnit()
{
    m_bridge->setTypeSetting(QStringLiteral("ZR7.49 1.03"));
    m_bridge->showSetting(secondModelRecord());
    QObject* alarm = object(QStringLiteral("AlarmChannel2ZR749"));
    QCOMPARE(alarm->property("currentUnit").toString(), QStringLiteral("м/с"));
    object(QStringLiteral("Channel2ZR749Setting"))->setProperty("unit", 14);
    QCOMPARE(alarm->property("currentUnit").toString(), QStringLiteral("Гц"));
    object(QStringLiteral("Channel2ZR749Setting"))->setProperty("unit", 0);
    QCOMPARE(alarm->property("currentUnit").toString(), QString());
}

void TestSettingsScreen::unknownType_noSecondChannelPageAndSensorFieldsUntouched()
{
    m_bridge->setTypeSetting(QStringLiteral("ZR7.50 2.00"));
    QObject* sensor = object(QStringLiteral("Channel2ZR749Setting"));
    const QVariant sensorTypeBefore = sensor->property("sensorType");
    const QVariant value20Before = sensor->property("value20mA");

    DeviceSettings s = secondModelRecord();
    m_bridge->showSetting(s);
    QVERIFY(!isShown(QStringLiteral("AlarmChannel 2")));
    QVERIFY(!isShown(QStringLiteral("AlarmChannel2ZR749")));
    QVERIFY(!isShown(QStringLiteral("Channel2ZR749Setting")));
    QCOMPARE(sensor->property("sensorType"), sensorTypeBefore);
    QCOMPARE(sensor->property("value20mA"), value20Before);

    // The sensor page is not read: the sensor fields go back as they came, so
    // an instrument that does store them never gets them reset.
    sensor->setProperty("sensorType", 3);
    QVERIFY(settle());
    const DeviceSettings back = collect();
    QCOMPARE(back.sensorType, 5);
    QCOMPARE(back.value4mA, -12.5f);
    QCOMPARE(back.value20mA, 250.0f);
    QCOMPARE(back.unit, 3);
    QCOMPARE(back.valueResistAt0, 1);
    // Channel 2 comes whole from its ordinary (hidden) page.
    QCOMPARE(back.channel[1], s.channel[1]);
}

void TestSettingsScreen::logPeriod_secondsAtLeastOneWhileHoursAndMinutesZero()
{
    QObject* period = object(QStringLiteral("LogPeriodSetting"));
    DeviceSettings s = firstModelRecord();
    s.logPeriod = QTime(0, 5, 0);
    m_bridge->showSetting(s);
    QCOMPARE(period->property("secondPeriod").toInt(), 0);

    period->setProperty("minutePeriod", 0);
    QCOMPARE(period->property("secondPeriod").toInt(), 1);
    QCOMPARE(collect().logPeriod, QTime(0, 0, 1));

    // With an hour the seconds may be 0 again.
    period->setProperty("hourPeriod", 2);
    period->setProperty("secondPeriod", 0);
    QCOMPARE(collect().logPeriod, QTime(2, 0, 0));

    s.logPeriod = QTime(0, 0, 0);
    m_bridge->showSetting(s);
    QCOMPARE(collect().logPeriod, QTime(0, 0, 1));

    s.logPeriod = QTime(23, 59, 59);
    m_bridge->showSetting(s);
    QCOMPARE(collect().logPeriod, QTime(23, 59, 59));
}

void TestSettingsScreen::logPeriod_invalidPeriodShownAsShortestPeriod()
{
    // A blank settings area decodes to an invalid period; the page can only
    // show a real one.
    m_bridge->showSetting(DeviceSettings());
    const QTime back = collect().logPeriod;
    QVERIFY(back.isValid());
    QCOMPARE(back, QTime(0, 0, 1));
}

void TestSettingsScreen::limitBoxes_beforeSettingsAtTheirBounds()
{
    const QString page = QStringLiteral("AlarmChannel 1");
    struct Bounds { const char* element; int lower; int upper; };
    const Bounds bounds[] = {{"temperature", -1977, 25000}, {"humidity", 0, 1000}, {"airFlow", 0, 1000},
                             {"pressure", 2250, 8120}, {"light", 0, 999999}};
    for (const Bounds& b : bounds) {
        QCOMPARE(limitBox(page, b.element, "lower")->property("value").toInt(), b.lower);
        QCOMPARE(limitBox(page, b.element, "upper")->property("value").toInt(), b.upper);
        QCOMPARE(limitBox(page, b.element, "lower")->property("from").toInt(), b.lower);
        QCOMPARE(limitBox(page, b.element, "upper")->property("to").toInt(), b.upper);
    }
    QObject* sensorPage = object(QStringLiteral("CurrentSensorSetting"));
    QCOMPARE(sensorPage->findChild<QObject*>(QStringLiteral("value4mA"))->property("value").toInt(), -99999);
    QCOMPARE(sensorPage->findChild<QObject*>(QStringLiteral("value20mA"))->property("value").toInt(), 999999);
}

void TestSettingsScreen::limitBoxes_lowerStaysBelowUpper()
{
    m_bridge->showSetting(firstModelRecord());
    QObject* lower = limitBox(QStringLiteral("AlarmChannel 1"), "humidity", "lower");
    QObject* upper = limitBox(QStringLiteral("AlarmChannel 1"), "humidity", "upper");
    QCOMPARE(upper->property("value").toInt(), 905);

    // The lower box cannot pass the upper one, nor the upper the lower.
    QCOMPARE(lower->property("to").toInt(), 904);
    QMetaObject::invokeMethod(lower, "increase");
    QCOMPARE(lower->property("value").toInt(), 110);
    lower->setProperty("value", 2000);
    QCOMPARE(lower->property("value").toInt(), 904);
    QCOMPARE(upper->property("from").toInt(), 905);
    upper->setProperty("value", 100);
    QCOMPARE(upper->property("value").toInt(), 905);
}

void TestSettingsScreen::limitBoxes_newRangeAboveOldRangeShownWhole()
{
    // Limits are set one by one; a new lower limit above the old upper one
    // must not be cut down on the way.
    DeviceSettings s = firstModelRecord();
    s.channel[0].alarmMin[0] = 10.0f;
    s.channel[0].alarmMax[0] = 20.0f;
    m_bridge->showSetting(s);
    QVERIFY(settle());
    s.channel[0].alarmMin[0] = 400.0f;
    s.channel[0].alarmMax[0] = 500.0f;
    m_bridge->showSetting(s);
    QVERIFY(settle());
    QCOMPARE(limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "lower")->property("value").toInt(), 4000);
    QCOMPARE(limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "upper")->property("value").toInt(), 5000);
    DeviceSettings back = collect();
    QCOMPARE(back.channel[0].alarmMin[0], 400.0f);
    QCOMPARE(back.channel[0].alarmMax[0], 500.0f);

    // And back down below the old range.
    s.channel[0].alarmMin[0] = -100.0f;
    s.channel[0].alarmMax[0] = -50.0f;
    m_bridge->showSetting(s);
    QVERIFY(settle());
    back = collect();
    QCOMPARE(back.channel[0].alarmMin[0], -100.0f);
    QCOMPARE(back.channel[0].alarmMax[0], -50.0f);
}

void TestSettingsScreen::limitBoxes_receivedValuesOutsideBoundsKeptAsReceived()
{
    // A limit the instrument holds outside the field's nominal range is shown
    // and written back as it is: "Применить" must not change a value the user
    // never touched. Only what cannot be shown (no number, or far beyond any
    // limit) becomes the bound.
    DeviceSettings s = firstModelRecord();
    s.channel[0].alarmMax[0] = 3000.0f;
    s.channel[0].alarmMin[3] = 100.0f;
    s.channel[1].alarmMin[3] = std::numeric_limits<float>::quiet_NaN();
    s.channel[1].alarmMax[4] = 1e30f;
    m_bridge->showSetting(s);
    QVERIFY(settle());
    QCOMPARE(limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "upper")->property("value").toInt(), 30000);
    QCOMPARE(limitBox(QStringLiteral("AlarmChannel 1"), "pressure", "lower")->property("value").toInt(), 1000);
    const DeviceSettings back = collect();
    QCOMPARE(back.channel[0].alarmMax[0], 3000.0f);
    QCOMPARE(back.channel[0].alarmMin[3], 100.0f);
    QCOMPARE(back.channel[0], s.channel[0]);
    QCOMPARE(back.channel[1].alarmMin[3], 225.0f);
    QCOMPARE(back.channel[1].alarmMax[4], 99999.9f);

    // The next reading inside the bounds narrows the range again.
    m_bridge->showSetting(firstModelRecord());
    QVERIFY(settle());
    QCOMPARE(limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "upper")->property("to").toInt(), 25000);
    QCOMPARE(collect().channel[0], firstModelRecord().channel[0]);
}

void TestSettingsScreen::useLocale(const QLocale& locale)
{
    cleanup();
    QLocale::setDefault(locale);
    createWindow();
}

QObject* TestSettingsScreen::field(const QString& path) const
{
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() == 3)
        return limitBox(parts[0], parts[1].toLatin1().constData(), parts[2].toLatin1().constData());
    return object(path);
}

void TestSettingsScreen::numbers_shownInLocaleWithoutGrouping()
{
    useLocale(QLocale(QLocale::Russian, QLocale::Russia));
    m_bridge->showSetting(firstModelRecord());
    QVERIFY(settle());
    QCOMPARE(field("AlarmChannel 1/temperature/lower")->property("displayText").toString(), QStringLiteral("20,5"));
    // A group separator would make the shown text unreadable when typed back.
    QCOMPARE(field("AlarmChannel 1/light/upper")->property("displayText").toString(), QStringLiteral("99999,9"));
    QCOMPARE(field("AlarmChannel 1/temperature/lower")->property("from").toInt(), -1977);
    QCOMPARE(field("LogPeriodHours")->property("displayText").toString(), QStringLiteral("1"));
}

void TestSettingsScreen::typedNumbers_acceptedOrRefusedNeverClamped_data()
{
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("refused");

    const QString tempLow = QStringLiteral("AlarmChannel 1/temperature/lower");
    const QString tempHigh = QStringLiteral("AlarmChannel 1/temperature/upper");
    const QString lightLow = QStringLiteral("AlarmChannel 1/light/lower");
    const QString hours = QStringLiteral("LogPeriodHours");
    // The record shows temperature 20.5 .. 30.0, light 150.0 .. 99999.9, 1 hour.
    QTest::newRow("ru: point as separator") << true << tempLow << "12.5" << 125 << false;
    QTest::newRow("ru: comma as separator") << true << tempLow << "12,5" << 125 << false;
    QTest::newRow("ru: 5.5 is not 55") << true << tempLow << "5.5" << 55 << false;
    QTest::newRow("ru: whole number") << true << tempLow << "12" << 120 << false;
    QTest::newRow("ru: leading separator") << true << tempLow << ",5" << 5 << false;
    QTest::newRow("ru: hyphen minus") << true << tempLow << "-12,5" << -125 << false;
    QTest::newRow("ru: minus sign") << true << tempLow << QString::fromUtf8("\u221212.5") << -125 << false;
    QTest::newRow("ru: group separator ignored") << true << lightLow << QString::fromUtf8("20\u00a0000,0") << 200000 << false;
    QTest::newRow("ru: the lower bound itself") << true << tempLow << "-197,7" << -1977 << false;
    QTest::newRow("ru: above the upper bound") << true << tempHigh << "3000" << 300 << true;
    QTest::newRow("ru: below the lower bound") << true << tempLow << "-200" << 205 << true;
    QTest::newRow("ru: lower limit above upper") << true << tempLow << "35" << 205 << true;
    QTest::newRow("ru: two decimals") << true << tempLow << "12,55" << 205 << true;
    QTest::newRow("ru: letters") << true << tempLow << "abc" << 205 << true;
    QTest::newRow("ru: nothing") << true << tempLow << "" << 205 << true;
    QTest::newRow("ru: separator alone") << true << tempLow << "," << 205 << true;
    QTest::newRow("ru: two separators") << true << tempLow << "1.2,5" << 205 << true;
    QTest::newRow("C: comma taken too") << false << tempLow << "12,5" << 125 << false;
    QTest::newRow("C: point") << false << tempLow << "12.5" << 125 << false;
    QTest::newRow("ru: hours") << true << hours << "7" << 7 << false;
    QTest::newRow("ru: hours beyond 23") << true << hours << "25" << 1 << true;
    QTest::newRow("ru: hours with a fraction") << true << hours << "1,5" << 1 << true;
}

void TestSettingsScreen::typedNumbers_acceptedOrRefusedNeverClamped()
{
    QFETCH(bool, russian);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    QFETCH(bool, refused);

    useLocale(russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
    DeviceSettings s = firstModelRecord();
    s.logPeriod = QTime(1, 0, 0);
    m_bridge->showSetting(s);
    QVERIFY(settle());

    QObject* target = this->field(field);
    QVERIFY(target);
    auto* box = qobject_cast<QQuickItem*>(target);
    auto* input = box->property("contentItem").value<QQuickItem*>();
    QVERIFY(input);
    input->forceActiveFocus();
    QVERIFY(input->hasActiveFocus());
    QMetaObject::invokeMethod(input, "selectAll");
    QTest::keyClick(box->window(), Qt::Key_Delete);
    typeText(box->window(), typed);
    QTest::keyClick(box->window(), Qt::Key_Return);

    QCOMPARE(target->property("value").toInt(), expected);
    QCOMPARE(!target->property("refusal").toString().isEmpty(), refused);
    // The field shows the value it holds, never the refused text.
    QCOMPARE(input->property("text").toString(), target->property("displayText").toString());

    // What "Применить" would write is exactly that value.
    const DeviceSettings back = collect();
    if (field == QLatin1String("LogPeriodHours"))
        QCOMPARE(back.logPeriod.hour(), expected);
    else if (field.contains(QLatin1String("light")))
        QCOMPARE(back.channel[0].alarmMin[4], float(expected) / 10.0f);
    else if (field.endsWith(QLatin1String("upper")))
        QCOMPARE(back.channel[0].alarmMax[0], float(expected) / 10.0f);
    else
        QCOMPARE(back.channel[0].alarmMin[0], float(expected) / 10.0f);

    // Leaving the field commits as Enter does.
    input->forceActiveFocus();
    QMetaObject::invokeMethod(input, "selectAll");
    QTest::keyClick(box->window(), Qt::Key_Delete);
    const bool whole = field == QLatin1String("LogPeriodHours");
    typeText(box->window(), whole ? QStringLiteral("x9") : QStringLiteral("x25"));
    input->setFocus(false);
    QCOMPARE(target->property("value").toInt(), whole ? 9 : 250);
}

void TestSettingsScreen::apply_buttonEmitsCollectedSettings()
{
    // As start-up wires it: the page's button raises the main window's signal.
    connect(m_root, SIGNAL(setSettingDevice()), m_bridge, SLOT(setSettingDevice()), Qt::QueuedConnection);
    const DeviceSettings s = firstModelRecord();
    m_bridge->showSetting(s);

    QSignalSpy spy(m_bridge, &DeviceSettingWindow::settingsDeviceChanged);
    QObject* button = object(QStringLiteral("ButtonApplySettings"));
    QVERIFY(button);
    QCOMPARE(button->property("text").toString(), QStringLiteral("Применить"));
    QMetaObject::invokeMethod(button, "clicked");
    QVERIFY(spy.wait(2000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<DeviceSettings>(), s);
}

void TestSettingsScreen::apply_takesNumberStillBeingTyped()
{
    // The user types a limit and presses "Применить" without Enter.
    connect(m_root, SIGNAL(setSettingDevice()), m_bridge, SLOT(setSettingDevice()), Qt::QueuedConnection);
    m_bridge->showSetting(firstModelRecord());
    // Let the page come to rest before clicking on it.
    auto* content = qobject_cast<QQuickItem*>(object(QStringLiteral("SettingsContent")));
    QTRY_COMPARE_WITH_TIMEOUT(content->mapToScene(QPointF(0, 0)).x(), 72.0, 2000);
    auto* box = qobject_cast<QQuickItem*>(limitBox(QStringLiteral("AlarmChannel 1"), "temperature", "lower"));
    auto* input = box->property("contentItem").value<QQuickItem*>();
    input->forceActiveFocus();
    QMetaObject::invokeMethod(input, "selectAll");
    QTest::keyClick(box->window(), Qt::Key_Delete);
    typeText(box->window(), QStringLiteral("12.5"));

    QSignalSpy spy(m_bridge, &DeviceSettingWindow::settingsDeviceChanged);
    auto* button = qobject_cast<QQuickItem*>(object(QStringLiteral("ButtonApplySettings")));
    QVERIFY(button);
    const QPoint centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2)).toPoint();
    QTest::mouseClick(button->window(), Qt::LeftButton, Qt::NoModifier, centre);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<DeviceSettings>().channel[0].alarmMin[0], 12.5f);
}

void TestSettingsScreen::showSetting_pageSlidesInToRest()
{
    auto* page = qobject_cast<QQuickItem*>(object(QStringLiteral("SettingsDevice")));
    auto* content = qobject_cast<QQuickItem*>(object(QStringLiteral("SettingsContent")));
    QVERIFY(!page->isVisible());
    m_bridge->showSetting(firstModelRecord());
    QVERIFY(page->isVisible());
    // The content starts off to the right and comes to rest at x = 72 of the window.
    QVERIFY(content->mapToScene(QPointF(0, 0)).x() > 72);
    QTRY_COMPARE_WITH_TIMEOUT(content->mapToScene(QPointF(0, 0)).x(), 72.0, 2000);
}

QTEST_MAIN(TestSettingsScreen)
#include "tst_settingsscreen.moc"
