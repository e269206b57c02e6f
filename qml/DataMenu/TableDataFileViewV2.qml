import QtQuick 2.15
import QtQuick.Controls 1.4 as C1
import QtQuick.Controls.Styles 1.4
import "../SharedObjects"

// Record table of the opened log file with its statistics underneath. The
// columns are built from the model's header list, whose texts are also the
// model's role names.
Item {
    id: root
    property alias model: tableItemsRecord.model
    property alias modelStatistics: tableStatistics.modelStatistics
    // Alarm limits of the columns ("Пределы"): the panel beside the table and
    // the colours of values outside them.
    property alias modelLimits: limitsPanel.limitsModel
    property alias limitsNote: limitsPanel.note
    // Indexed by table column: {lower, upper} or nothing.
    property var columnLimits: []

    signal removeColumnTable()
    signal addColumn(int numberColumn, string nameColumn)

    function updateTableDB() {
        remove()
        if (!tableItemsRecord.model)
            return
        var headers = tableItemsRecord.model.getHeader
        for (var i = 0; i < headers.length; ++i) {
            var column = columnComponent.createObject(tableItemsRecord, {
                "role": headers[i], "title": headers[i],
                "width": i === 0 ? 170 : Math.max(140, Math.floor((tableItemsRecord.width - 190) / Math.max(1, headers.length - 1)))
            })
            tableItemsRecord.addColumn(column)
            root.addColumn(i, headers[i])
        }
        if (tableStatistics.modelStatistics)
            tableStatistics.fill()
        tableItemsRecord.positionViewAtRow(0, ListView.Beginning)
    }

    function remove() {
        while (tableItemsRecord.columnCount > 0)
            tableItemsRecord.removeColumn(0)
        tableStatistics.remove()
        root.removeColumnTable()
    }

    function refreshLimits() {
        columnLimits = modelLimits ? modelLimits.tableLimits() : []
    }
    onModelLimitsChanged: refreshLimits()
    Connections {
        target: root.modelLimits
        function onLimitsChanged() { root.refreshLimits() }
    }

    // Above the upper limit red, below the lower blue; the raw value decides,
    // as in the evaluation, not the rounded text.
    function valueColor(row, column) {
        var limits = columnLimits[column]
        var model = tableItemsRecord.model
        if (!limits || !model || column === 0)
            return "black"
        var value = model.data(model.index(row, column), 257)
        if (value === undefined || value === null || isNaN(value))
            return "black"
        if (value > limits.upper)
            return "#c62828"
        if (value < limits.lower)
            return "#1565c0"
        return "black"
    }

    Component {
        id: columnComponent
        C1.TableViewColumn {
            horizontalAlignment: Text.AlignHCenter
            movable: false
        }
    }

    Rectangle {
        id: tableFrame
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: limitsPanel.visible ? limitsPanel.left : parent.right
        anchors.rightMargin: limitsPanel.visible ? 6 : 0
        anchors.bottom: tableStatistics.top
        anchors.bottomMargin: 6
        color: "white"
        radius: 4
        border.width: 1
        border.color: "#e6e6e6"

        C1.TableView {
            id: tableItemsRecord
            anchors.fill: parent
            anchors.margins: 2
            frameVisible: false
            alternatingRowColors: true
            selectionMode: C1.SelectionMode.ExtendedSelection
            horizontalScrollBarPolicy: Qt.ScrollBarAsNeeded

            headerDelegate: Rectangle {
                height: 40
                color: "#fbe3d7"
                border.width: 1
                border.color: "black"
                Text {
                    anchors.fill: parent
                    anchors.margins: 2
                    text: styleData.value
                    font.bold: true
                    font.pixelSize: 14
                    wrapMode: Text.WordWrap
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
            }

            rowDelegate: Rectangle {
                height: 26
                color: styleData.selected ? "#ffa07a" : (styleData.alternate ? "#FFFAFA" : "#FFFFFF")
            }

            itemDelegate: Text {
                text: styleData.value === undefined || styleData.value === null || styleData.value === ""
                      ? "----" : styleData.value
                font.pixelSize: 15
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                color: styleData.selected ? "white" : root.valueColor(styleData.row, styleData.column)
            }
        }
    }

    LimitsPanel {
        id: limitsPanel
        objectName: "LimitsPanel"
        visible: limitsModel !== null && limitsModel.count > 0
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.bottom: tableStatistics.top
        anchors.bottomMargin: 6
        width: 300
    }

    TableStatistics {
        id: tableStatistics
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 172
        columnWidth: 170
    }
}
