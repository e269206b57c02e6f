import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ".."

// Second channel's alarm on the second model: limits of the resistive sensor
// and of the current sensor, in tenths of their units.
SettingGroup {
    id: alarmChannel
    title: "Сигнализация 2 канал"
    property string currentUnit: ""

    property alias alarm: alarmSwitch.checked
    property alias resisterAlarmMin: resistive.min
    property alias resisterAlarmMax: resistive.max
    property alias currentAlarmMin: current.min
    property alias currentAlarmMax: current.max

    Switch {
        id: alarmSwitch
        anchors.right: parent.right
        y: -height + 2
        text: "Вкл."
        font.pixelSize: 14
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 2

        ElementAlarm {
            id: resistive
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "resistive"
            name: "По резистивному\nдатчику:"
            unit: "°C"
            lowerBound: -197.7
            upperBound: 2500.0
        }
        RowSeparator {}
        ElementAlarm {
            id: current
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "current"
            name: "По токовому датчику:"
            unit: alarmChannel.currentUnit
            lowerBound: 0
            upperBound: 100
        }
    }
}
