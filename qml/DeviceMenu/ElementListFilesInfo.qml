import QtQuick 2.15

// One log file of the instrument in the device page's list.
Item {
    id: element
    // Roles read undefined for a moment while rows are being removed.
    property string startLog: StartLog ?? ""
    property string stopLog: StopLog ?? ""
    property int numberOfRecords: NumberOfRecords ?? 0
    property string nameFiles: NameFile ?? ""
    // Whether the file is home already: "загружен", "частично" or empty.
    property string homeMark: ""
    readonly property string emptyTime: "--:--:-- --.--.--"

    width: ListView.view ? ListView.view.width : 380
    height: 84

    Rectangle {
        anchors.fill: parent
        anchors.margins: 3
        radius: 6
        color: "transparent"
        border.color: "#e6e6e6"
        border.width: 1
    }

    Column {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 10
        anchors.topMargin: 8
        spacing: 3

        Row {
            spacing: 6
            Text { width: 22; text: "c"; font.pixelSize: 15; color: "#6b4a3a" }
            Text { text: element.startLog === "" ? element.emptyTime : element.startLog; font.pixelSize: 15; font.bold: true }
        }
        Row {
            spacing: 6
            Text { width: 22; text: "до"; font.pixelSize: 15; color: "#6b4a3a" }
            Text { text: element.stopLog === "" ? element.emptyTime : element.stopLog; font.pixelSize: 15; font.bold: true }
        }
        Row {
            spacing: 6
            Text { text: "измерений:"; font.pixelSize: 14; color: "#6b4a3a" }
            Text { width: 70; text: element.numberOfRecords; font.pixelSize: 14 }
            Text { text: "имя файла:"; font.pixelSize: 14; color: "#6b4a3a" }
            Text { text: element.nameFiles; font.pixelSize: 14 }
        }
    }

    Rectangle {
        objectName: "HomeMarkBadge"
        visible: element.homeMark !== ""
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.topMargin: 8
        anchors.rightMargin: 10
        width: markText.implicitWidth + 12
        height: markText.implicitHeight + 4
        radius: 4
        color: element.homeMark === "загружен" ? "#d7ecd0" : "#f6e3b5"
        border.color: element.homeMark === "загружен" ? "#7aa96b" : "#c9a24e"
        Text {
            id: markText
            anchors.centerIn: parent
            text: element.homeMark
            font.pixelSize: 12
            color: "#3d2418"
        }
    }

    MouseArea {
        anchors.fill: parent
        onClicked: {
            element.ListView.view.currentIndex = index
            window.currentNameFileChange(NameFile)
        }
    }
}
