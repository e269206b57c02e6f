import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "PowerSavingSetting"

SettingGroup {
    id: graph
    title: "Параметры графика"
    property alias lineThicknessValue: thickness.value
    property alias updatePeriodValue: updatePeriod.value

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        SettingRow {
            caption: "Толщина линии"
            Layout.fillWidth: true
            SpinBox {
                id: thickness
                from: 2
                to: 5
                stepSize: 1
                font.pixelSize: 14
                Layout.preferredWidth: 80
            }
        }
        SliderSetting {
            id: updatePeriod
            Layout.fillWidth: true
            caption: "Период обновления:"
            captionWidth: 120
            from: 1
            to: 60
            stepSize: 1
            valueText: function(v) { return v + " сек" }
        }
    }
}
