import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// Decimal places shown on the instrument's display; the index of a choice is
// the number of decimal places.
SettingGroup {
    id: rounding
    title: "Точность отображения на экране"
    property alias numberOfDecimalPlacesCh1: channel1.currentIndex
    property alias numberOfDecimalPlacesCh2: channel2.currentIndex

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        SettingRow {
            caption: "Канал №1"
            Layout.fillWidth: true
            ComboBox {
                id: channel1
                Layout.fillWidth: true
                font.pixelSize: 14
                model: ["1", "0.1", "0.01"]
            }
        }
        SettingRow {
            caption: "Канал №2"
            Layout.fillWidth: true
            ComboBox {
                id: channel2
                Layout.fillWidth: true
                font.pixelSize: 14
                model: ["1", "0.1", "0.01"]
            }
        }
    }
}
