import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// Options of a log-file report: period, short or full report, and whether and
// how the charts of the chosen series are printed.
Item {
    id: root
    width: 300
    height: 400

    property alias currentBeginDate: period.currentBeginDate
    property alias currentBeginTime: period.currentBeginTime
    property alias currentEndDate: period.currentEndDate
    property alias currentEndTime: period.currentEndTime
    property alias minDate: period.minDate
    property alias maxDate: period.maxDate
    property alias sizeReport: shortReportButton.checked
    property alias isPrinting: printGraphics.checked
    property alias generalChart: rBGeneralChart.checked
    property alias model: listNameSeries.model

    Text {
        id: periodCaption
        x: 0
        y: 0
        text: "Период отчета"
        font.pixelSize: 14
        font.bold: true
    }

    // Above everything else: its drop-down calendars open over the options.
    PeriodDateTimeEdit {
        id: period
        x: 0
        anchors.top: periodCaption.bottom
        anchors.topMargin: 2
        z: 10
    }

    Column {
        id: sizeColumn
        x: 0
        y: periodCaption.height + 84
        spacing: 0

        ButtonGroup { id: sizeGroup }
        RadioButton {
            id: shortReportButton
            text: "Краткий отчет"
            font.pixelSize: 14
            checked: true
            ButtonGroup.group: sizeGroup
        }
        RadioButton {
            text: "Полный отчет"
            font.pixelSize: 14
            ButtonGroup.group: sizeGroup
        }
        CheckBox {
            id: printGraphics
            objectName: "printGraphics"
            text: "Печатать график"
            font.pixelSize: 14
            checked: false
        }
    }

    Item {
        id: itemColumns
        objectName: "itemColumns"
        anchors.top: sizeColumn.bottom
        anchors.bottom: parent.bottom
        width: parent.width - 10
        enabled: printGraphics.checked
        opacity: 0
        x: -40
        clip: true

        states: State {
            name: "shown"
            when: printGraphics.checked
            PropertyChanges { target: itemColumns; x: 0; opacity: 1 }
        }
        transitions: [
            Transition {
                to: "shown"
                NumberAnimation { property: "x"; duration: 200; easing.type: Easing.OutQuad }
                NumberAnimation { property: "opacity"; duration: 350 }
            },
            Transition {
                from: "shown"
                NumberAnimation { property: "x"; duration: 200; easing.type: Easing.InQuad }
                NumberAnimation { property: "opacity"; duration: 100 }
            }
        ]

        ButtonGroup { id: chartGroup }
        Row {
            id: chartKind
            x: 16
            spacing: 4
            RadioButton {
                id: rBGeneralChart
                text: "Общий график"
                font.pixelSize: 14
                checked: true
                ButtonGroup.group: chartGroup
            }
            RadioButton {
                text: "Раздельные \nграфики"
                font.pixelSize: 14
                ButtonGroup.group: chartGroup
            }
        }

        Rectangle {
            anchors.top: chartKind.bottom
            anchors.topMargin: 2
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: 16
            radius: 4
            border.width: 1
            border.color: "#e6e6e6"
            color: "#fffaf7"

            ListView {
                id: listNameSeries
                objectName: "listNameSeries"
                anchors.fill: parent
                anchors.margins: 4
                clip: true
                spacing: 0
                delegate: CheckBox {
                    text: model.name
                    font.pixelSize: 14
                    height: 30
                    checked: model.checkBoxValue
                    onToggled: model.checkBoxValue = checked
                }
                ScrollBar.vertical: ScrollBar {}
            }
        }
    }
}
