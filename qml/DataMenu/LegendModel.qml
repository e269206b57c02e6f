import QtQuick 2.15
import QtQuick.Controls 2.15

// Strip of check boxes, one per chart line. An entry holds the line's name,
// whether it is shown (checkBoxValue, shared with the report panel's list),
// the series and its value axis.
ListView {
    id: legendList
    orientation: ListView.Horizontal
    spacing: 18
    clip: true
    interactive: contentWidth > width
    model: ListModel {}

    delegate: Item {
        id: entry
        height: legendList.height
        width: visibleSeries.width + swatch.width + 6 + (limitsText.visible ? limitsText.width + 30 : 0)

        // Follows the shared flag, whichever list changed it.
        property bool shown: model.checkBoxValue
        onShownChanged: applyVisibility()
        Component.onCompleted: applyVisibility()

        function applyVisibility() {
            if (model.series)
                model.series.visible = shown
            if (model.axis)
                model.axis.visible = shown && model.series && model.series.count > 0
        }

        Rectangle {
            id: swatch
            width: 18
            height: 4
            radius: 2
            anchors.verticalCenter: parent.verticalCenter
            color: model.series ? model.series.color : "grey"
            opacity: entry.shown ? 1.0 : 0.3
        }

        CheckBox {
            id: visibleSeries
            anchors.left: swatch.right
            anchors.leftMargin: 2
            anchors.verticalCenter: parent.verticalCenter
            text: model.name
            font.pixelSize: 14
            checked: model.checkBoxValue
            onToggled: model.checkBoxValue = checked
        }

        // A line with alarm limits: a dashed swatch and the limits.
        Row {
            id: limitsText
            visible: model.limits !== undefined && model.limits !== ""
            anchors.left: visibleSeries.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            opacity: entry.shown ? 1.0 : 0.3
            Repeater {
                model: 3
                Rectangle {
                    width: 5
                    height: 2
                    anchors.verticalCenter: parent.verticalCenter
                    color: swatch.color
                }
            }
            Text {
                text: " пределы " + (model.limits || "")
                font.pixelSize: 12
            }
        }
    }
}
