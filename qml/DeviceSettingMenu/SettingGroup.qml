import QtQuick 2.15
import QtQuick.Controls 2.15

// A titled group of settings: a rounded translucent panel with a bold title at
// its top. Children are placed in the area below the title (contentArea).
Item {
    id: group
    property string title
    property int titleSize: 14
    default property alias content: contentArea.data
    property alias contentArea: contentArea

    Rectangle {
        anchors.fill: parent
        radius: 10
        color: "#99ffffff"
        border.width: 1
        border.color: "#d8a48c"
    }

    Label {
        id: titleLabel
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.topMargin: 6
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        text: group.title
        font.bold: true
        font.pixelSize: group.titleSize
        horizontalAlignment: Text.AlignLeft
        wrapMode: Text.NoWrap
        color: "#4a2a1c"
    }

    Item {
        id: contentArea
        anchors.top: titleLabel.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.topMargin: 6
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        anchors.bottomMargin: 8
    }
}
