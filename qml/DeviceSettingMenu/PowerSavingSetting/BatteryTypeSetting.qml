import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

RowLayout {
    id: row
    property alias currentIndex: combo.currentIndex
    spacing: 6

    Label {
        Layout.preferredWidth: 128
        text: "Тип батареи"
        font.pixelSize: 14
    }
    ComboBox {
        id: combo
        Layout.fillWidth: true
        font.pixelSize: 14
        model: ["Аккумулятор", "Батарейка"]
    }
}
