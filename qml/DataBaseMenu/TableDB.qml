import QtQuick 2.15
import QtQuick.Controls 1.4 as C1
import QtQuick.Controls.Styles 1.4
import "../SharedObjects"

// The selection from the archive, one row per time stamp and instrument, with
// its statistics underneath. The columns are the model's roles, named after
// the selection's columns. Every change of the selected rows is announced
// through the main window's selectedTableDb.
Item {
    id: root
    property var model: null
    property alias modelStatistics: tableStatistics.modelStatistics
    // Alarm limits typed for the channels ("Пределы") and the colours of
    // values outside them.
    property alias modelLimits: limitsPanel.limitsModel
    // Indexed by column: {lower, upper} or nothing.
    property var columnLimits: []
    readonly property alias rowCount: tableRecords.rowCount
    readonly property alias columnCount: tableRecords.columnCount
    // The first row in sight, and the one the next table is to show first:
    // after a delete the user goes on where the rows went, not at the top.
    readonly property int topRow: {
        var list = tableRecords.flickableItem
        if (tableRecords.rowCount === 0 || !list)
            return 0
        // The header sits inside the list's content, above its first row.
        var header = list.headerItem ? list.headerItem.height : 0
        return Math.max(0, list.indexAt(1, list.contentY + header + 1))
    }
    property int rowAfterRefill: -1

    // Every column is gone; addColumn follows for each column of a new model.
    signal removeColumns()
    signal addColumn(string role)

    onModelChanged: rebuild()

    function rebuild() {
        tableRecords.selection.clear()
        while (tableRecords.columnCount > 0)
            tableRecords.removeColumn(0)
        tableStatistics.remove()
        root.removeColumns()
        tableRecords.model = root.model
        if (!root.model)
            return
        var roles = root.model.roles
        // The time stamp and the instrument number keep their width; the
        // channels share the rest, scrolling sideways only when many.
        var others = Math.max(1, roles.length - 2)
        var channelWidth = Math.max(120, Math.floor((tableRecords.width - 160 - 100 - 20) / others))
        for (var i = 0; i < roles.length; ++i) {
            var width = i === 0 ? 160 : (i === roles.length - 1 ? 100 : channelWidth)
            var column = columnComponent.createObject(tableRecords, { "role": roles[i], "title": roles[i], "width": width })
            tableRecords.addColumn(column)
            root.addColumn(roles[i])
        }
        if (tableStatistics.modelStatistics)
            tableStatistics.fill()
        if (tableRecords.rowCount > 0 && root.rowAfterRefill > 0) {
            var row = Math.min(root.rowAfterRefill, tableRecords.rowCount - 1)
            // Once the new columns and the header are laid out, or the row
            // lands a header's height off.
            Qt.callLater(function() {
                if (row < tableRecords.rowCount)
                    tableRecords.positionViewAtRow(row, ListView.Beginning)
            })
        } else if (tableRecords.rowCount > 0) {
            tableRecords.positionViewAtRow(0, ListView.Beginning)
        }
        root.rowAfterRefill = -1
    }

    function refreshLimits() {
        columnLimits = modelLimits ? modelLimits.tableLimits() : []
    }
    onModelLimitsChanged: refreshLimits()
    Connections {
        target: root.modelLimits
        function onLimitsChanged() { root.refreshLimits() }
    }

    // The stored text is what is measured here ("21.50 °C"), as in the panel's
    // figures. A value in another unit than the limits' (a sensor changed) is
    // not measured against them.
    function valueColor(column, text) {
        var limits = columnLimits[column]
        if (!limits || text === undefined || text === null || text === "")
            return "black"
        var blank = String(text).indexOf(" ")
        if (limits.unit !== undefined && (blank < 0 ? "" : String(text).substring(blank + 1).trim()) !== limits.unit)
            return "black"
        var value = parseFloat(text)
        if (isNaN(value))
            return "black"
        if (value > limits.upper)
            return "#c62828"
        if (value < limits.lower)
            return "#1565c0"
        return "black"
    }

    function selectedRows() {
        var rows = []
        tableRecords.selection.forEach(function (row) { rows.push(row) })
        return rows
    }

    Component {
        id: columnComponent
        C1.TableViewColumn {
            horizontalAlignment: Text.AlignHCenter
            movable: false
        }
    }

    Rectangle {
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
            id: tableRecords
            objectName: "TableDBRecords"
            anchors.fill: parent
            anchors.margins: 2
            frameVisible: false
            alternatingRowColors: true
            selectionMode: C1.SelectionMode.ExtendedSelection
            horizontalScrollBarPolicy: Qt.ScrollBarAsNeeded

            Connections {
                target: tableRecords.selection
                function onSelectionChanged() { window.selectedTableDb(root.selectedRows()) }
            }

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
                color: styleData.selected ? "white" : root.valueColor(styleData.column, styleData.value)
            }
        }
    }

    LimitsPanel {
        id: limitsPanel
        objectName: "LimitsPanelDB"
        visible: limitsModel !== null && limitsModel.count > 0
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.bottom: tableStatistics.top
        anchors.bottomMargin: 6
        width: 290
    }

    TableStatistics {
        id: tableStatistics
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 172
        columnWidth: 150
    }
}
