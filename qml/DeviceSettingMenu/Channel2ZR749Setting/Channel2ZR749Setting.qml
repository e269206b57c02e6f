import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ".."

// The second channel's sensor on the second model: the sensor type and, for a
// resistive sensor, its resistance at 0 °C, for the 4..20 mA sensor its scaling
// and unit.
SettingGroup {
    id: channel2
    title: "Датчик 2 канала"
    property alias sensorType: sensorCombo.currentIndex
    property alias valueResistAt0: resistive.valueResistAt0
    property alias value4mA: current.value4mA
    property alias value20mA: current.value20mA
    property alias unit: current.unit
    readonly property alias unitText: current.unitText
    readonly property bool currentSensor: sensorCombo.currentIndex === 5

    ColumnLayout {
        anchors.fill: parent
        spacing: 6

        RowLayout {
            spacing: 6
            Label {
                text: "Тип датчика 2 канала:"
                font.pixelSize: 14
                Layout.preferredWidth: 170
            }
            ComboBox {
                id: sensorCombo
                Layout.preferredWidth: 120
                font.pixelSize: 14
                model: ["0,00428", "0,00426", "0.00385", "0.00391", "0.00617", "4..20 мА"]
            }
        }
        ResistiveSensorSetting {
            id: resistive
            objectName: "ResistiveSensorSetting"
            visible: !channel2.currentSensor
            Layout.fillWidth: true
        }
        CurrentSensorSetting {
            id: current
            objectName: "CurrentSensorSetting"
            visible: channel2.currentSensor
        }
        Item { Layout.fillHeight: true }
    }
}
