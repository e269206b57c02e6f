import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// Maximum, mean and minimum of each measurement column, shown under a record
// table. The columns follow the model's header list: call fill() after the
// model has been (re)filled and remove() before it changes shape.
Item {
    id: tableStatistics
    property int columnWidth: 120
    property alias modelStatistics: tableDbStatistics.model

    function fill() {
        var model = tableDbStatistics.model
        if (!model)
            return
        var headers = model.getHeader
        var count = model.columnCount()
        for (var i = 0; i < count; ++i) {
            var column = columnComponent.createObject(tableDbStatistics, {
                "role": headers[i],
                "title": headers[i],
                "width": tableStatistics.columnWidth
            })
            tableDbStatistics.addColumn(column)
        }
        tableDbStatistics.positionViewAtRow(0, ListView.Beginning)
    }

    function remove() {
        while (tableDbStatistics.columnCount > 0)
            tableDbStatistics.removeColumn(0)
    }

    Component {
        id: columnComponent
        TableViewColumn {}
    }

    Rectangle {
        id: frame
        anchors.fill: parent
        anchors.topMargin: 10
        radius: 10
        border.width: 1

        TableView {
            id: tableDbStatistics
            objectName: "tableDbStatistics"
            anchors.fill: parent
            anchors.topMargin: 9
            anchors.leftMargin: 7
            anchors.rightMargin: 7
            anchors.bottomMargin: 7
            selectionMode: SelectionMode.ExtendedSelection
            sortIndicatorVisible: true
            highlightOnFocus: true
            alternatingRowColors: true
            frameVisible: true
            antialiasing: true
            currentRow: 1

            headerDelegate: Rectangle {
                width: 120
                height: 35
                border.width: 1
                border.color: "black"
                Text {
                    width: 120
                    height: 30
                    anchors.centerIn: parent
                    text: styleData.value
                    font.bold: true
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
            }

            rowDelegate: Rectangle {
                height: 30
                border.width: 1
                border.color: "grey"
                color: styleData.alternate ? "#FFFAFA" : "#FFFFFF"
            }

            itemDelegate: Item {
                Text {
                    anchors.fill: parent
                    height: 20
                    text: styleData.value !== undefined ? styleData.value : ""
                    font.pixelSize: 14
                    wrapMode: Text.WordWrap
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }
    }

    // The caption interrupts the frame's top edge.
    Rectangle {
        x: 31
        y: 2
        width: 105
        height: 16
        color: frame.color
        Text {
            anchors.fill: parent
            text: qsTr("Статистика")
            font.bold: true
            font.pixelSize: 16
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
    }
}
