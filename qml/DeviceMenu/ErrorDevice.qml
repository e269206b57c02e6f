import QtQuick 2.15

// Shown while no instrument is connected: what happened last.
Item {
    id: errorDevice
    property string textError: "------"
    width: 520
    height: 120

    Column {
        anchors.fill: parent
        spacing: 14

        Text {
            width: parent.width
            text: "Устройство отключено"
            font.pixelSize: 28
            font.bold: true
            font.family: "MS Shell Dlg 2"
            color: "#3d2418"
            horizontalAlignment: Text.AlignHCenter
        }

        Text {
            width: parent.width
            text: errorDevice.textError
            font.pixelSize: 18
            font.family: "MS Shell Dlg 2"
            color: "#8b3a1a"
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
        }
    }
}
