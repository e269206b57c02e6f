import QtQuick 2.15
import "../SharedObjects"

// A titled frame with one line of text: the device page's fields.
FrameLabel {
    id: field
    property string text: ""
    property int textSize: 20
    internalColor: "transparent"
    borderFrame.color: "#b38f80"
    width: 230
    height: 70

    Text {
        anchors.fill: parent
        anchors.topMargin: 20
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        text: field.text
        font.pixelSize: field.textSize
        font.family: "MS Shell Dlg 2"
        color: "#3d2418"
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
    }
}
