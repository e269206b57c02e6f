import QtQuick 2.15
import QtTest 1.15

// Loads the real main window and drives its page switching through the menu.
TestCase {
    id: testCase
    name: "MainWindow"
    when: windowShown

    property var window: null

    SignalSpy { id: settingsRequest; signalName: "requestSettingDevice" }
    SignalSpy { id: filtersRequest; signalName: "clickButtonDB" }

    function initTestCase() {
        var component = Qt.createComponent("qrc:/main.qml")
        verify(component.status === Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window !== null)
        settingsRequest.target = window
        filtersRequest.target = window
    }

    function cleanupTestCase() {
        if (window)
            window.destroy()
    }

    function init() {
        settingsRequest.clear()
        filtersRequest.clear()
    }

    function findByName(parentItem, objectName) {
        if (parentItem.objectName === objectName)
            return parentItem
        var kids = parentItem.children || []
        for (var i = 0; i < kids.length; ++i) {
            var found = findByName(kids[i], objectName)
            if (found)
                return found
        }
        return null
    }

    function page(name) {
        var item = findByName(window.contentItem, name)
        verify(item !== null, "no object named " + name)
        return item
    }

    function visibility() {
        return [page("SettingsDevice").visible, page("DataWindow").visible,
                page("DataBaseMenu").visible, page("DeviceMenu").visible]
    }

    function test_windowGeometry() {
        compare(window.title, "Orvelin 1.00")
        compare(window.minimumWidth, 1024)
        compare(window.minimumHeight, 768)
        compare(window.width, 1024)
        compare(window.height, 768)
    }

    function test_screensStartHidden() {
        // Nothing shows a page until the device bridge exists.
        var fresh = Qt.createComponent("qrc:/main.qml").createObject(null)
        var saved = window
        window = fresh
        compare(visibility(), [false, false, false, false])
        window = saved
        fresh.destroy()
    }

    function test_menuButtonsAreNamed() {
        ["ButtonDevice", "ButtonSettings", "ButtonData", "ButtonBase"].forEach(function(name) {
            verify(page(name) !== null)
        })
    }

    function clickMenu(name) {
        var button = page(name)
        verify(button.visible)
        mouseClick(button)
    }

    function test_pageSwitching_data() {
        return [
            { tag: "device", button: "ButtonDevice", start: [true, true, true, false],
              expected: [false, false, false, true], settings: 0, filters: 0 },
            { tag: "data", button: "ButtonData", start: [true, false, true, true],
              expected: [false, true, false, false], settings: 0, filters: 0 },
            { tag: "database", button: "ButtonBase", start: [true, true, false, true],
              expected: [false, false, true, false], settings: 0, filters: 1 },
            // The settings page keeps its state: its bridge shows it once read.
            { tag: "settings from hidden", button: "ButtonSettings", start: [false, true, true, true],
              expected: [false, false, false, false], settings: 1, filters: 0 },
            { tag: "settings while shown", button: "ButtonSettings", start: [true, false, false, false],
              expected: [true, false, false, false], settings: 1, filters: 0 }
        ]
    }

    function test_pageSwitching(row) {
        var names = ["SettingsDevice", "DataWindow", "DataBaseMenu", "DeviceMenu"]
        for (var i = 0; i < names.length; ++i)
            page(names[i]).visible = row.start[i]
        page(row.button).enabled = true
        clickMenu(row.button)
        compare(visibility(), row.expected)
        compare(settingsRequest.count, row.settings)
        compare(filtersRequest.count, row.filters)
    }

    // Bridges bring pages forward by setting `visible`, in whatever order the
    // worker threads answer; a menu press may come in between.
    function test_answersInAnyOrderLeaveOnePage_data() {
        return [
            { tag: "download lands after the settings were asked for",
              steps: ["ButtonSettings", "DataWindow", "SettingsDevice"], front: "SettingsDevice" },
            { tag: "settings read before the download lands",
              steps: ["ButtonSettings", "SettingsDevice", "DataWindow"], front: "DataWindow" },
            { tag: "link lost on the settings page",
              steps: ["ButtonSettings", "SettingsDevice", "DeviceMenu"], front: "DeviceMenu" },
            { tag: "settings arrive on the database page",
              steps: ["ButtonBase", "SettingsDevice"], front: "SettingsDevice" },
            { tag: "menu press after an answer",
              steps: ["DataWindow", "ButtonDevice"], front: "DeviceMenu" }
        ]
    }

    function test_answersInAnyOrderLeaveOnePage(row) {
        page("ButtonSettings").enabled = true
        clickMenu("ButtonDevice")
        for (var i = 0; i < row.steps.length; ++i) {
            var step = row.steps[i]
            if (step.indexOf("Button") === 0)
                clickMenu(step)
            else
                page(step).visible = true
            var shown = visibility().filter(function(v) { return v }).length
            verify(shown <= 1, "after " + step + ": " + visibility())
            // Nothing shows only while the settings are on their way, and then
            // the window says so.
            compare(page("WaitingForPage").visible, shown === 0)
        }
        verify(page(row.front).visible)
        compare(visibility().filter(function(v) { return v }).length, 1)
    }

    function test_requestsAreEmittedBeforeThePageChanges() {
        // Receivers of the request must still see the page that was in front.
        var seen = []
        function record() { seen.push(page("DataBaseMenu").visible) }
        window.clickButtonDB.connect(record)
        page("DataBaseMenu").visible = false
        clickMenu("ButtonBase")
        window.clickButtonDB.disconnect(record)
        compare(seen, [false])
        compare(page("DataBaseMenu").visible, true)
    }

    function test_disabledSettingsButtonDoesNothing() {
        page("DeviceMenu").visible = true
        page("ButtonSettings").enabled = false
        mouseClick(page("ButtonSettings"))
        compare(settingsRequest.count, 0)
        compare(page("DeviceMenu").visible, true)
        page("ButtonSettings").enabled = true
    }

    function test_enlargedWindowStretchesPagesAndScalesMenu() {
        var button = page("ButtonDevice")
        var screen = page("DataWindow")
        compare(button.height, 179)
        window.width = 1280
        window.height = 960
        tryCompare(button, "height", 179 * 960 / 768)
        compare(button.x, 0)
        compare(screen.x, 85)
        compare(screen.width, 1280 - 85)
        compare(screen.height, 960)
        window.width = 1024
        window.height = 768
        tryCompare(button, "height", 179)
        compare(screen.width, 1024 - 85)
    }
}
