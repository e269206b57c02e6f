import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// Panel "Открыть": opens a .LOG file from disk.
Item {
    id: root
    signal click()

    width: 104
    height: 118

    FrameLabel {
        anchors.fill: parent
        nameLabel: "Открыть"
        fontSize: 14
        internalColor: "transparent"
        borderFrame.color: "#c8a898"
    }

    IconButton {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: parent.top
        anchors.topMargin: 30
        source: "qrc:/images/fileOpen 100x100.png"
        toolTipText: "Открыть\nфайл"
        onClicked: root.click()
    }
}
