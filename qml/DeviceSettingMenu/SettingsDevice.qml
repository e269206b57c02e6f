import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "PowerSavingSetting"
import "AlarmSetting"
import "Channel2ZR749Setting"

// The instrument's settings page. Its bridge fills the groups when the settings
// have been read and shows the page; "Применить" asks the bridge to collect the
// values and write them. The second model (type word "ZR7.49") shows its sensor
// page and sensor alarm in place of the second channel's ordinary alarm.
Page {
    id: settingsPage
    property string typeDevice: "ZR7.47"
    readonly property bool firstModel: typeDevice === "ZR7.47"
    readonly property bool secondModel: typeDevice === "ZR7.49"
    // Where the page's content comes to rest, in window coordinates.
    property real restX: 72

    font.family: "MS Shell Dlg 2"
    palette.base: "#F7CEB8"
    palette.highlight: "#ffa07a"
    background: Item {}

    // The page slides in from the right whenever it is shown.
    onVisibleChanged: {
        if (!visible)
            return
        // The page itself may be anchored; its content is what moves.
        slideIn.to = restX - mapToItem(null, 0, 0).x
        slideIn.restart()
    }

    NumberAnimation {
        id: slideIn
        target: content
        property: "x"
        from: settingsPage.width
        duration: 200
    }

    readonly property int gap: 10
    readonly property int columnWidth: (width - 4 * gap) / 3
    readonly property int halfWidth: (width - 3 * gap) / 2

    Item {
        id: content
        objectName: "SettingsContent"
        width: settingsPage.width
        height: settingsPage.height
        x: 0

        PowerSavingSetting {
            id: powerSaving
            objectName: "PowerSavingSetting"
            x: settingsPage.gap
            y: settingsPage.gap
            width: settingsPage.columnWidth
            height: 240
        }

        SoundSetting {
            id: sound
            objectName: "SoundSetting"
            anchors.left: powerSaving.right
            anchors.leftMargin: settingsPage.gap
            anchors.top: powerSaving.top
            width: settingsPage.columnWidth
            height: 118
        }

        LogPeriodSetting {
            id: logPeriod
            objectName: "LogPeriodSetting"
            anchors.left: sound.left
            anchors.top: sound.bottom
            anchors.topMargin: settingsPage.gap
            anchors.bottom: powerSaving.bottom
            width: settingsPage.columnWidth
        }

        RoundingSetting {
            id: rounding
            objectName: "RoundingSetting"
            anchors.left: sound.right
            anchors.leftMargin: settingsPage.gap
            anchors.top: powerSaving.top
            width: settingsPage.columnWidth
            height: 118
        }

        GraphSetting {
            id: graph
            objectName: "GraphSetting"
            anchors.left: rounding.left
            anchors.top: rounding.bottom
            anchors.topMargin: settingsPage.gap
            anchors.bottom: powerSaving.bottom
            width: settingsPage.columnWidth
        }

        AlarmChannel {
            id: alarmChannel1
            objectName: "AlarmChannel 1"
            numberChannel: 1
            x: settingsPage.gap
            anchors.top: powerSaving.bottom
            anchors.topMargin: settingsPage.gap
            width: settingsPage.halfWidth
            anchors.bottom: applyButton.top
            anchors.bottomMargin: settingsPage.gap
        }

        AlarmChannel {
            id: alarmChannel2
            objectName: "AlarmChannel 2"
            numberChannel: 2
            visible: settingsPage.firstModel
            anchors.left: alarmChannel1.right
            anchors.leftMargin: settingsPage.gap
            anchors.top: alarmChannel1.top
            width: settingsPage.halfWidth
            height: alarmChannel1.height
        }

        Channel2ZR749Setting {
            id: channel2Sensor
            objectName: "Channel2ZR749Setting"
            visible: settingsPage.secondModel
            anchors.left: alarmChannel1.right
            anchors.leftMargin: settingsPage.gap
            anchors.top: alarmChannel1.top
            width: settingsPage.halfWidth
            height: 200
        }

        AlarmChannel2ZR749 {
            id: alarmChannel2ZR749
            objectName: "AlarmChannel2ZR749"
            visible: settingsPage.secondModel
            currentUnit: channel2Sensor.unitText
            anchors.left: channel2Sensor.left
            anchors.top: channel2Sensor.bottom
            anchors.topMargin: settingsPage.gap
            anchors.bottom: alarmChannel1.bottom
            width: settingsPage.halfWidth
        }

        Button {
            id: applyButton
            objectName: "ButtonApplySettings"
            text: "Применить"
            font.pixelSize: 16
            icon.source: "qrc:/images/apply 100x100.png"
            icon.color: "transparent"
            icon.width: 26
            icon.height: 26
            anchors.right: parent.right
            anchors.rightMargin: settingsPage.gap
            anchors.bottom: parent.bottom
            anchors.bottomMargin: settingsPage.gap
            width: 170
            height: 44
            onClicked: {
                // A number still being typed is taken (or refused) first, so
                // what is written is what the fields show.
                forceActiveFocus()
                window.setSettingDevice()
            }
        }
    }
}
