import QtQuick 2.15
import QtQuick.Controls 2.15

// The menu column at the window's left edge. The four page buttons grow with
// the window's height; at the design height they fill the column exactly.
Item {
    id: element
    width: 1024
    height: 768
    property int staticHeight: 768
    readonly property real scaledButtonHeight: 179 * (height / staticHeight)

    signal clickSettingsButton()
    signal clickDataButton()
    signal clickDataBaseButton()
    signal clickDeviceButton()

    Button {
        id: informationButton
        width: 35
        height: 35
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.margins: 0
        Image {
            width: 27
            height: 32
            anchors.centerIn: parent
            source: "images/question.png"
            fillMode: Image.PreserveAspectFit
        }
        onClicked: openHelp.openHelpWindow()
    }

    Button {
        id: questionButton
        width: 35
        height: 35
        anchors.top: parent.top
        anchors.left: informationButton.right
        anchors.leftMargin: 2
        Image {
            width: 27
            height: 32
            anchors.centerIn: parent
            source: "images/info.png"
            fillMode: Image.PreserveAspectFit
        }
        onClicked: openHelp.openInfoWindow()
    }

    Button {
        id: button_device
        objectName: "ButtonDevice"
        text: qsTr("Устройство")
        width: 72
        height: element.scaledButtonHeight
        anchors.top: parent.top
        anchors.topMargin: 38
        anchors.left: parent.left
        leftPadding: -2
        rightPadding: -2
        topPadding: 73
        font.pixelSize: 12
        font.bold: false
        font.weight: Font.Normal
        font.capitalization: Font.MixedCase
        Image {
            x: 8
            y: 28
            width: 57
            height: 82
            z: 7
            clip: false
            fillMode: Image.PreserveAspectFit
            source: "images/device.png"
        }
        onClicked: element.clickDeviceButton()
    }

    Button {
        id: button_settings
        objectName: "ButtonSettings"
        text: qsTr("Настройки")
        width: 72
        height: element.scaledButtonHeight
        anchors.top: button_device.bottom
        anchors.topMargin: 3
        anchors.left: parent.left
        leftPadding: -2
        rightPadding: -2
        topPadding: 73
        font.pixelSize: 13
        Image {
            x: 9
            y: 5
            width: 55
            height: 148
            z: 7
            clip: false
            fillMode: Image.PreserveAspectFit
            source: "images/settings-1615049_960_720.png"
        }
        onClicked: element.clickSettingsButton()
    }

    Button {
        id: button_data
        objectName: "ButtonData"
        text: qsTr("Данные")
        width: 72
        height: element.scaledButtonHeight
        anchors.top: button_settings.bottom
        anchors.topMargin: 3
        anchors.left: parent.left
        leftPadding: 5
        topPadding: 75
        font.pixelSize: 15
        Image {
            x: 12
            y: 5
            width: 48
            height: 140
            z: 7
            clip: false
            fillMode: Image.PreserveAspectFit
            source: "images/data.png"
        }
        onClicked: element.clickDataButton()
    }

    Button {
        id: button_base
        objectName: "ButtonBase"
        text: qsTr("База \nданных")
        width: 72
        height: element.scaledButtonHeight
        anchors.top: button_data.bottom
        anchors.topMargin: 3
        anchors.left: parent.left
        leftPadding: 3
        topPadding: 40
        font.family: "MS Shell Dlg 2"
        font.pixelSize: 15
        Image {
            x: 8
            y: 21
            width: 56
            height: 78
            z: 7
            clip: false
            fillMode: Image.PreserveAspectFit
            source: "images/database.png"
        }
        onClicked: element.clickDataBaseButton()
    }
}
