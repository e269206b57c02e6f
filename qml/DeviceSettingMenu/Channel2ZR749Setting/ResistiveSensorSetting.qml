import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// Resistance of the resistive sensor at 0 °C; the index is the stored value.
RowLayout {
    id: resistive
    property alias valueResistAt0: resistCombo.currentIndex
    spacing: 6

    Label {
        text: "Сопротивление в 0 °С :"
        font.pixelSize: 14
        Layout.preferredWidth: 170
    }
    ComboBox {
        id: resistCombo
        Layout.preferredWidth: 120
        font.pixelSize: 14
        model: ["50", "100"]
    }
    Item { Layout.fillWidth: true }
}
