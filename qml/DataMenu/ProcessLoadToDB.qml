import QtQuick 2.15
import QtQuick.Controls 2.15

// Progress of loading the log into the database, laid over the screen while
// the load runs; it removes itself shortly after reaching 100 %.
Item {
    id: root
    objectName: "ProcessLoadToDB"
    property real progressLoadToDB: 0

    anchors.fill: parent
    z: 100

    // Swallows clicks meant for the screen underneath.
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: wheel.accepted = true
    }

    Rectangle {
        anchors.fill: parent
        color: "#40000000"
    }

    Rectangle {
        id: panel
        width: 420
        height: 112
        anchors.centerIn: parent
        radius: 10
        color: "white"
        border.width: 3
        border.color: "#e6e6e6"

        Text {
            id: caption
            anchors.top: parent.top
            anchors.topMargin: 18
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Загрузка в базу данных"
            font.pixelSize: 18
            font.bold: true
        }

        ProgressBar {
            id: bar
            anchors.top: caption.bottom
            anchors.topMargin: 18
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: 24
            anchors.rightMargin: 24
            height: 26
            from: 0
            to: 100
            value: root.progressLoadToDB

            background: Rectangle {
                radius: 4
                color: "#f3f3f3"
                border.color: "#e6e6e6"
            }
            contentItem: Item {
                Rectangle {
                    width: bar.visualPosition * parent.width
                    height: parent.height
                    radius: 4
                    color: "#ffa07a"
                }
                Text {
                    objectName: "progressText"
                    anchors.centerIn: parent
                    // Never rounds up to 100 before the load has really ended.
                    text: (Math.floor(bar.position * 1000) / 10).toFixed(1) + " %"
                    font.pixelSize: 14
                    font.bold: true
                }
            }
        }
    }

    onProgressLoadToDBChanged: {
        if (progressLoadToDB >= 100)
            closeTimer.start()
    }

    Timer {
        id: closeTimer
        interval: 700
        onTriggered: root.destroy()
    }
}
