import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"
import "../DataMenu"

// Database screen: the archive's channels, units and instruments as filters
// with the period, the selection as a table with statistics or, flipped over,
// as a chart, and the buttons that filter, delete, save and print it. The
// bridge (dataBaseWindow) fills the lists and attaches the selection.
Page {
    id: database_page
    palette.base: "#F7CEB8"
    palette.highlight: "#ffa07a"
    background: Item {}

    // Chart lines of a new selection, added in the turn of the event loop
    // after the table's: a long selection never holds the window for table
    // and chart at once.
    Timer {
        id: pendingLines
        interval: 0
        property var roles: []

        function add(role) {
            roles.push(role)
            start()
        }
        function clear() {
            stop()
            roles = []
        }
        onTriggered: {
            var adding = roles
            roles = []
            for (var i = 0; i < adding.length; ++i)
                chart.addLineSeries(adding[i])
        }
    }

    Item {
        id: filters
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: buttonsColumn.left
        anchors.topMargin: 6
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        height: 200
        z: 10

        ListFilterView {
            id: filterChannel
            objectName: "FilterTypeChannel"
            nameFilter: "Тип канала:"
            x: 0
            width: 200
            height: parent.height
        }
        ListFilterView {
            id: filterUnit
            objectName: "FilterTypeUnit"
            nameFilter: "Ед. измерения:"
            emptyText: "без единиц"
            anchors.left: filterChannel.right
            anchors.leftMargin: 8
            width: 140
            height: parent.height
        }
        ListFilterDeviceView {
            id: filterDevice
            objectName: "FilterDevice"
            nameFilter: "Приборы:"
            anchors.left: filterUnit.right
            anchors.leftMargin: 8
            anchors.right: periodFrame.left
            anchors.rightMargin: 8
            height: parent.height
        }

        // The fields fold out over the table below.
        FrameLabel {
            id: periodFrame
            anchors.right: parent.right
            width: 226
            height: 104
            nameLabel: "Период:"
            fontSize: 14
            internalColor: "white"
            borderFrame.color: "#e6e6e6"

            PeriodDateTimeEdit {
                id: period
                objectName: "PeriodDataBase"
                x: 4
                y: 22
            }
        }
    }

    // A folded-out period panel closes on Esc or on a press anywhere else on
    // the page; presses on the period itself go through to it.
    Shortcut {
        sequence: "Esc"
        enabled: period.open && database_page.visible
        onActivated: period.close()
    }
    MouseArea {
        objectName: "PeriodOutside"
        anchors.fill: parent
        z: 20
        enabled: period.open
        onPressed: {
            var inside = mapToItem(period, mouse.x, mouse.y)
            if (period.contains(inside)) {
                mouse.accepted = false
                return
            }
            period.close()
        }
    }

    Flipable {
        id: flipable
        objectName: "DataBaseFlipCard"
        property bool flipped: false
        anchors.top: filters.bottom
        anchors.left: parent.left
        anchors.right: buttonsColumn.left
        anchors.bottom: parent.bottom
        anchors.topMargin: 8
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        anchors.bottomMargin: 8

        front: TableDB {
            id: table
            objectName: "TableDB"
            anchors.fill: parent
            // A new selection (or none) replaces every line of the chart.
            onRemoveColumns: {
                pendingLines.clear()
                chart.removeSeries()
            }
            onAddColumn: pendingLines.add(role)
        }

        back: ChartDataBaseView {
            id: chart
            objectName: "ChartDataBaseView"
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

    Item {
        id: buttonsColumn
        objectName: "ItemButtonsDB"
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.topMargin: 6
        anchors.rightMargin: 8
        width: 118
        opacity: enabled ? 1.0 : 0.6

        Column {
            width: parent.width
            spacing: 8

            ActionButton {
                objectName: "ButtonApplyFilter"
                width: parent.width
                text: "Применить\nфильтр"
                icon.source: "qrc:/images/apply 100x100.png"
                onClicked: window.clickButtonFilters()
            }
            ActionButton {
                objectName: "ButtonDeleteItems"
                width: parent.width
                text: "Удалить\nданные"
                icon.source: "qrc:/images/close1.png"
                onClicked: window.clickButtonDeleteItems()
            }

            FrameLabel {
                width: parent.width
                height: 112
                nameLabel: "Вид"
                fontSize: 14
                internalColor: "transparent"
                borderFrame.color: "#c8a898"

                IconButton {
                    objectName: "ButtonChangeViewDB"
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.top: parent.top
                    anchors.topMargin: 26
                    width: 80
                    height: 80
                    source: flipable.flipped ? "qrc:/images/table 100x100.png" : "qrc:/images/chart 100x100.png"
                    caption: flipable.flipped ? "Таблица" : "График"
                    toolTipText: "Изменить вид\nотображения данных"
                    onClicked: flipable.flipped = !flipable.flipped
                }
            }

            FrameLabel {
                width: parent.width
                height: 90
                nameLabel: "Сохранить"
                fontSize: 14
                internalColor: "transparent"
                borderFrame.color: "#c8a898"

                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.top: parent.top
                    anchors.topMargin: 26
                    spacing: 4
                    IconButton {
                        width: 54
                        height: 58
                        source: "qrc:/images/csv 100x100.png"
                        toolTipText: "Сохранить\nкак файл\n csv"
                        onClicked: window.clickSaveDBAsCSV()
                    }
                    IconButton {
                        width: 54
                        height: 58
                        source: "qrc:/images/xlsx 100x100.png"
                        toolTipText: "Сохранить\nкак файл\n xlsx"
                        onClicked: window.clickSaveDBAsXLSX()
                    }
                }
            }

            FrameLabel {
                width: parent.width
                height: 112
                nameLabel: "Отчёт"
                fontSize: 14
                internalColor: "transparent"
                borderFrame.color: "#c8a898"

                IconButton {
                    objectName: "ButtonReportDB"
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.top: parent.top
                    anchors.topMargin: 26
                    width: 80
                    height: 80
                    source: "qrc:/images/print 100x100.png"
                    caption: "Печать"
                    toolTipText: "Печать\nотчета"
                    onClicked: printReport.visible = true
                }
            }
        }
    }

    PrintReportDBWindow {
        id: printReport
        objectName: "PrintReportDBWindow"
        visible: false
        z: 50
        anchors.right: buttonsColumn.left
        anchors.rightMargin: 8
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
        onClickButtonPrintDB: window.clickButtonPrintReportDB()
        onClickButtonPreviewPrintDB: window.clickButtonPreviewReportDB()
        onClickButtonPdfDB: window.clickButtonSaveReportPdfDB()
        // Read when the panel opens, and while it is open once after every
        // change of the chart's range or of the selection (a zoom, a new
        // filter): the panel never shows the period of a selection that is
        // gone. Finding the period's rows walks the selection, so the changes
        // of one zoom step are answered once.
        function refreshPeriod() {
            periodText = visible && typeof dataBaseWindow !== "undefined" && dataBaseWindow
                    ? dataBaseWindow.reportPeriodText() : ""
        }
        function periodMayHaveChanged() {
            if (visible)
                Qt.callLater(refreshPeriod)
        }
        onVisibleChanged: refreshPeriod()
        Connections {
            target: chart
            function onMinAxisXChanged() { printReport.periodMayHaveChanged() }
            function onMaxAxisXChanged() { printReport.periodMayHaveChanged() }
        }
        Connections {
            target: table
            function onModelChanged() { printReport.periodMayHaveChanged() }
            function onRowCountChanged() { printReport.periodMayHaveChanged() }
        }
    }
}
