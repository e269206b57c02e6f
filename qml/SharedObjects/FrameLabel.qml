import QtQuick 2.15

// A rounded frame with a bold caption sitting on its top-left corner.
Item {
    id: frameLabel
    property string nameLabel: "тип устройства"
    property int fontSize: 16
    property alias radius: rectFrame.radius
    property alias internalColor: rectFrame.color
    property alias borderFrame: rectFrame.border

    Rectangle {
        id: rectFrame
        anchors.fill: parent
        anchors.topMargin: 20
        radius: 10
        border.width: 1
    }

    Text {
        id: name
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.margins: 0
        text: frameLabel.nameLabel
        font.bold: true
        font.pixelSize: frameLabel.fontSize
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignHCenter
    }
}
