import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// Data screen: the opened log file as a table with statistics or, flipped
// over, as a chart; saving, loading into the database and the report panel.
// The bridge attaches the models to the table; the chart follows the table's
// columns.
Page {
    id: data_page
    palette.base: "#F7CEB8"
    palette.highlight: "#ffa07a"
    background: Item {}

    property var loadPopup: null

    function showLoadProgress() {
        if (loadPopup)
            return
        var component = Qt.createComponent("ProcessLoadToDB.qml")
        if (component.status === Component.Ready)
            loadPopup = component.createObject(data_page)
        else
            console.warn("ProcessLoadToDB:", component.errorString())
    }

    // Chart lines of a newly shown log, added one per turn of the event loop
    // after the table: a long log never holds the window for all of them at once.
    Timer {
        id: pendingLines
        interval: 0
        property var lines: []

        function add(numberColumn, nameColumn) {
            lines.push({ "column": numberColumn, "name": nameColumn })
            start()
        }
        function clear() {
            stop()
            lines = []
        }
        onTriggered: {
            if (lines.length === 0)
                return
            var line = lines.shift()
            chart.addLineSeries(line.column, line.name)
            if (lines.length > 0)
                start()
        }
    }

    ButtonOpenFile {
        id: buttonOpenFile
        x: 12
        y: 6
        onClick: window.clickButtonOpenFile()
    }

    ButtonSaveAs {
        id: buttonSaveAs
        objectName: "ButtonSaveAs"
        anchors.left: buttonOpenFile.right
        anchors.leftMargin: 12
        y: 6
        visible: false
        chartShown: flipable.flipped

        onClickSaveXLSX: window.clickButtonSaveAsXlsx()
        onClickSaveCSV: window.clickButtonSaveAsCsv()
        onClickSaveInDB: {
            data_page.showLoadProgress()
            window.clickButtonSaveInDB()
        }
        onClickChangeView: flipable.flipped = !flipable.flipped
        onClickReport: {
            pagePrintReport.visible = true
            window.clickButtonOpenWindowPrint()
        }
    }

    // Which log is shown: the same line above both faces of the card.
    Rectangle {
        id: fileCaption
        objectName: "DataFileCaption"
        property alias text: captionText.text
        // Whether the file is as downloaded (set by the bridge): the words,
        // 0 matches / 1 changed / 2 no record / -1 not a file, and the tooltip.
        property string checkText: ""
        property int checkState: -1
        property string checkTip: ""
        visible: flipable.visible
        anchors.top: buttonOpenFile.bottom
        anchors.topMargin: 6
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        height: visible ? 26 : 0
        radius: 4
        color: "#fdf1eb"
        border.width: 1
        border.color: "#e6e6e6"

        Text {
            id: captionText
            objectName: "DataFileCaptionText"
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            anchors.right: fileCheckMark.visible ? fileCheckMark.left : parent.right
            anchors.leftMargin: 10
            anchors.rightMargin: 10
            verticalAlignment: Text.AlignVCenter
            font.pixelSize: 13
            font.bold: true
            color: "#4a3b34"
            elide: Text.ElideRight
        }

        Rectangle {
            id: fileCheckMark
            objectName: "DataFileCheckMark"
            visible: fileCaption.checkText !== ""
            anchors.right: parent.right
            anchors.rightMargin: 4
            anchors.verticalCenter: parent.verticalCenter
            height: parent.height - 6
            width: fileCheckText.implicitWidth + 16
            radius: 3
            color: fileCaption.checkState === 0 ? "#dff0d8" : fileCaption.checkState === 1 ? "#f8d7da" : "#eeeeee"
            border.color: fileCaption.checkState === 0 ? "#6a9f5b" : fileCaption.checkState === 1 ? "#c0392b" : "#a0a0a0"

            Text {
                id: fileCheckText
                anchors.centerIn: parent
                text: (fileCaption.checkState === 0 ? "\u2713 " : fileCaption.checkState === 1 ? "\u26a0 " : "? ")
                      + fileCaption.checkText
                font.pixelSize: 12
                font.bold: fileCaption.checkState === 1
                color: fileCaption.checkState === 1 ? "#8b1a10" : "#3a3a3a"
            }

            MouseArea {
                id: fileCheckHover
                anchors.fill: parent
                hoverEnabled: true
            }
            ToolTip.visible: fileCheckHover.containsMouse
            ToolTip.delay: 300
            ToolTip.text: fileCaption.checkTip
        }
    }

    Flipable {
        id: flipable
        objectName: "DataFlipCard"
        property bool flipped: false
        visible: false
        anchors.top: fileCaption.bottom
        anchors.topMargin: 6
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        anchors.bottomMargin: 8

        front: TableDataFileViewV2 {
            id: table
            objectName: "TableDataFileViewV2"
            anchors.fill: parent

            onModelChanged: {
                pendingLines.clear()
                if (!table.model) {
                    table.remove()
                    chart.removeSeries()
                } else {
                    chart.removeSeries()
                    table.updateTableDB()
                    flipable.visible = true
                    buttonSaveAs.visible = true
                }
            }
            onAddColumn: {
                if (numberColumn !== 0)
                    pendingLines.add(numberColumn, nameColumn)
            }
        }

        back: ChartDataFileViewV2 {
            id: chart
            objectName: "ChartDataFileView"
            anchors.fill: parent
            limitsModel: table.modelLimits
        }

        transform: Rotation {
            id: rotation
            origin.x: flipable.width / 2
            origin.y: flipable.height / 2
            axis.x: 0
            axis.y: 1
            axis.z: 0
            angle: 0
        }

        states: State {
            name: "back"
            when: flipable.flipped
            PropertyChanges { target: rotation; angle: 180 }
        }

        transitions: Transition {
            NumberAnimation { target: rotation; property: "angle"; duration: 450; easing.type: Easing.InOutQuad }
        }
    }

    PrintReport {
        id: pagePrintReport
        visible: false
        z: 50
        anchors.top: buttonSaveAs.bottom
        anchors.topMargin: 4
        anchors.right: parent.right
        anchors.rightMargin: 16
        onVisibleChanged: {
            if (visible)
                modelNameSeries = chart.modelNameSeries
        }
    }
}
