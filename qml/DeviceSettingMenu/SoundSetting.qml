import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

SettingGroup {
    id: soundSetting
    title: "Звуковые сигналы"
    property alias sound: soundSwitch.checked
    property alias soundButton: buttonSwitch.checked

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        SettingRow {
            caption: "Звук"
            Layout.fillWidth: true
            Switch {
                id: soundSwitch
                text: "Вкл."
                font.pixelSize: 14
            }
        }
        SettingRow {
            caption: "Звук клавиш"
            Layout.fillWidth: true
            Switch {
                id: buttonSwitch
                text: "Вкл."
                font.pixelSize: 14
            }
        }
    }
}
