import QtQuick 2.15
import QtQuick.Controls 2.15
import "DeviceMenu"
import "DeviceSettingMenu"
import "DataMenu"
import "DataBaseMenu"

ApplicationWindow {
    id: window
    title: "Orvelin 1.00"
    property int widthStatic: 1024
    width: widthStatic
    height: 768
    minimumWidth: 1024
    minimumHeight: 768
    visible: true

    // Closing the main window ends the program, also while the help window
    // (a separate top-level window) is still open.
    onClosing: Qt.quit()

    // Emitted by the screens; start-up connects them to the bridges and interactors.
    signal clickOpenCurrentFileFromDevice()
    signal currentNameFileChange(string name)
    signal requestSettingDevice()
    signal setSettingDevice()
    signal clickButtonOpenFile()
    signal clickButtonSaveAsXlsx()
    signal clickButtonSaveAsCsv()
    signal clickButtonSaveInDB()
    signal clickButtonDB()
    signal clickButtonFilters()
    signal clickButtonDeleteItems()
    signal clickSaveDBAsCSV()
    signal clickSaveDBAsXLSX()
    signal clickButtonTimeSync()
    signal clickButtonPrintReportDB()
    signal clickButtonPreviewReportDB()
    signal clickButtonPrint()
    signal clickButtonPreviewPrint()
    signal clickButtonSaveReportPdf()
    signal clickButtonSaveReportPdfDB()
    signal clickButtonOpenWindowPrint()
    signal selectedTableDb(var selectedItems)
    signal clickDownloadNewFiles()
    signal clickCancelDownload()
    signal collectOnConnectChanged(bool on)
    signal collectArchiveChanged(bool on)

    // Radial gradient from white in the centre towards "#ffc6b1", which it
    // would reach at 2.5 times the half-size of the window. Painted on a
    // canvas rather than with a shader effect so that it also shows with the
    // software renderer.
    Canvas {
        id: background
        anchors.fill: parent
        z: -1
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()
        onPaint: {
            var ctx = getContext("2d")
            ctx.reset()
            ctx.save()
            ctx.translate(width / 2, height / 2)
            ctx.scale(Math.max(width / 2, 1), Math.max(height / 2, 1))
            var gradient = ctx.createRadialGradient(0, 0, 0, 0, 0, 2.5)
            gradient.addColorStop(0.0, "white")
            gradient.addColorStop(1.0, "#ffc6b1")
            ctx.fillStyle = gradient
            ctx.fillRect(-1, -1, 2, 2)
            ctx.restore()
        }
    }

    ButtonsMenu {
        id: buttons
        x: 0
        y: 0
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.margins: 0

        onClickDeviceButton: window.showPage(deviceMenu)
        // The settings page is shown by its bridge once the instrument's
        // settings have been read; the menu only clears the way and asks.
        onClickSettingsButton: {
            window.requestSettingDevice()
            window.hideOtherPages(settingsDevice)
        }
        onClickDataButton: window.showPage(data)
        // The filter lists are requested before the page appears so that they
        // are refreshed each time the database page is opened.
        onClickDataBaseButton: {
            window.clickButtonDB()
            window.showPage(dataBase)
        }
    }

    // The four pages share the area right of the menu and only one of them may
    // show. Answers from the worker threads bring pages forward in whatever
    // order they arrive (a download landing after the settings were asked
    // for), so every page that becomes visible, whoever made it so, hides the
    // others here.
    readonly property var pages: [settingsDevice, data, dataBase, deviceMenu]

    function hideOtherPages(page) {
        for (var i = 0; i < pages.length; ++i) {
            if (pages[i] !== page && pages[i].visible)
                pages[i].visible = false
        }
    }

    function showPage(page) {
        hideOtherPages(page)
        page.visible = true
    }

    // While the settings are being read no page shows; say so rather than
    // leave the area blank.
    Label {
        objectName: "WaitingForPage"
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: 85 / 2
        visible: !settingsDevice.visible && !data.visible && !dataBase.visible && !deviceMenu.visible
        text: "Чтение настроек прибора…"
        font.pixelSize: 18
        color: "#5a2e1a"
    }

    SettingsDevice {
        id: settingsDevice
        onVisibleChanged: if (visible) window.hideOtherPages(settingsDevice)
        objectName: "SettingsDevice"
        anchors.fill: parent
        anchors.leftMargin: 85
        visible: false
    }

    DataMenu {
        id: data
        onVisibleChanged: if (visible) window.hideOtherPages(data)
        objectName: "DataWindow"
        anchors.fill: parent
        anchors.leftMargin: 85
        visible: false
    }

    DataBaseMenu {
        id: dataBase
        onVisibleChanged: if (visible) window.hideOtherPages(dataBase)
        objectName: "DataBaseMenu"
        anchors.fill: parent
        anchors.leftMargin: 85
        visible: false
    }

    DeviceMenu {
        id: deviceMenu
        onVisibleChanged: if (visible) window.hideOtherPages(deviceMenu)
        objectName: "DeviceMenu"
        anchors.fill: parent
        anchors.leftMargin: 85
        visible: false
    }
}
