import QtQuick 2.15
import QtQuick.Controls 2.15

// A square picture button with a tool tip, used on the data screen's panels.
Button {
    id: control
    property alias source: picture.source
    property string toolTipText: ""
    property string caption: ""

    width: 76
    height: 76
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    ToolTip.visible: hovered && toolTipText !== ""
    ToolTip.text: toolTipText
    ToolTip.delay: 400

    background: Rectangle {
        radius: 8
        color: control.down ? "#ffa07a" : (control.hovered ? "#ffe4d8" : "transparent")
        border.width: control.hovered ? 1 : 0
        border.color: "#ffa07a"
    }

    contentItem: Item {
        Image {
            id: picture
            anchors.top: parent.top
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width - 8
            height: control.caption === "" ? parent.height - 4 : parent.height - captionText.height - 4
            fillMode: Image.PreserveAspectFit
            smooth: true
            mipmap: true
            opacity: control.enabled ? 1.0 : 0.35
        }
        Text {
            id: captionText
            visible: control.caption !== ""
            anchors.bottom: parent.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            text: control.caption
            font.pixelSize: 12
            font.bold: true
        }
    }
}
