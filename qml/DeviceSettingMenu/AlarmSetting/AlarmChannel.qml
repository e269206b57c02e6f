import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ".."

// Alarm switch and limits of one channel, for each of the five quantities.
// Limits are in tenths of their units.
SettingGroup {
    id: alarmChannel
    property int numberChannel: 1
    title: "Сигнализация\n" + numberChannel + " канал"

    property alias alarm: alarmSwitch.checked
    property alias temperatureAlarmMin: temperature.min
    property alias temperatureAlarmMax: temperature.max
    property alias humidityAlarmMin: humidity.min
    property alias humidityAlarmMax: humidity.max
    property alias airFlowAlarmMin: airFlow.min
    property alias airFlowAlarmMax: airFlow.max
    property alias pressureAlarmMin: pressure.min
    property alias pressureAlarmMax: pressure.max
    property alias lightAlarmMin: light.min
    property alias lightAlarmMax: light.max

    Switch {
        id: alarmSwitch
        anchors.right: parent.right
        y: -height - 4
        text: "Вкл."
        font.pixelSize: 14
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 2

        ElementAlarm {
            id: temperature
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "temperature"
            name: "По температуре:"
            unit: "°C"
            lowerBound: -197.7
            upperBound: 2500.0
        }
        RowSeparator {}
        ElementAlarm {
            id: humidity
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "humidity"
            name: "По влажности:"
            unit: "%"
            lowerBound: 0
            upperBound: 100
        }
        RowSeparator {}
        ElementAlarm {
            id: airFlow
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "airFlow"
            name: "По скорости\nпотока воздуха:"
            unit: "м/с"
            lowerBound: 0
            upperBound: 100
        }
        RowSeparator {}
        ElementAlarm {
            id: pressure
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "pressure"
            name: "По амтосферному\nдавлению:"
            unit: "мм.\nрт.\nст."
            lowerBound: 225
            upperBound: 812
        }
        RowSeparator {}
        ElementAlarm {
            id: light
            Layout.fillHeight: true
            Layout.maximumHeight: 64
            objectName: "light"
            name: "По освещенности:"
            unit: "Лк"
            lowerBound: 0
            upperBound: 99999.9
        }
    }
}
