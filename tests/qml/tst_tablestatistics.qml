import QtQuick 2.15
import QtTest 1.15
import "qrc:/SharedObjects"

TestCase {
    id: testCase
    name: "TableStatistics"
    width: 600
    height: 300
    visible: true
    when: windowShown

    Component {
        id: tableComponent
        TableStatistics { width: 500; height: 200 }
    }

    // Stands in for the statistics model: header list plus column count.
    Component {
        id: modelComponent
        ListModel {
            property var getHeader: ["Канал 1, °C", "Канал 2, %"]
            function columnCount() { return getHeader.length }
            ListElement { name: "max" }
            ListElement { name: "avg" }
            ListElement { name: "min" }
        }
    }

    function view(table) {
        return findChild(table, "tableDbStatistics")
    }

    function test_fillCreatesOneColumnPerHeader() {
        var table = createTemporaryObject(tableComponent, testCase)
        table.modelStatistics = createTemporaryObject(modelComponent, testCase)
        table.fill()
        var v = view(table)
        compare(v.columnCount, 2)
        compare(v.getColumn(0).title, "Канал 1, °C")
        compare(v.getColumn(0).role, "Канал 1, °C")
        compare(v.getColumn(1).title, "Канал 2, %")
        compare(v.getColumn(1).width, 120)
    }

    function test_columnWidthIsApplied() {
        var table = createTemporaryObject(tableComponent, testCase)
        table.columnWidth = 90
        table.modelStatistics = createTemporaryObject(modelComponent, testCase)
        table.fill()
        compare(view(table).getColumn(1).width, 90)
    }

    function test_removeThenFillDoesNotDuplicateColumns() {
        var table = createTemporaryObject(tableComponent, testCase)
        table.modelStatistics = createTemporaryObject(modelComponent, testCase)
        table.fill()
        table.remove()
        compare(view(table).columnCount, 0)
        table.fill()
        compare(view(table).columnCount, 2)
        table.remove()
        table.remove()
        compare(view(table).columnCount, 0)
    }

    function test_fillWithoutModelIsHarmless() {
        var table = createTemporaryObject(tableComponent, testCase)
        table.fill()
        compare(view(table).columnCount, 0)
    }
}
