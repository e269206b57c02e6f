import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// The instrument's log files; choosing one tells the bridge its name.
FrameLabel {
    id: listFilesInfo
    nameLabel: "Файлы логирования"
    internalColor: "transparent"
    borderFrame.color: "#b38f80"
    width: 400
    height: 700
    // File name → "загружен" or "частично" for the files already home.
    property var homeMarks: ({})

    ListView {
        id: listView
        objectName: "ListViewFilesInfo"
        anchors.fill: parent
        anchors.topMargin: 26
        anchors.leftMargin: 6
        anchors.rightMargin: 10
        anchors.bottomMargin: 6
        clip: true
        model: modelFilesInfo
        currentIndex: -1
        delegate: ElementListFilesInfo {
            homeMark: listFilesInfo.homeMarks[nameFiles] || ""
        }
        highlight: Rectangle {
            color: "#ffa07a"
            radius: 6
        }
        highlightMoveDuration: 150
        ScrollIndicator.vertical: ScrollIndicator {
            parent: listView.parent
            anchors.top: listView.top
            anchors.bottom: listView.bottom
            anchors.left: listView.right
            anchors.leftMargin: 2
        }
    }

    // A new list comes with no file chosen: nothing may look selected.
    Connections {
        target: modelFilesInfo
        function onRowsInserted() { listView.currentIndex = -1 }
        function onRowsRemoved() { listView.currentIndex = -1 }
    }
}
