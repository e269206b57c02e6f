import QtQuick 2.15
import QtQuick.Controls 2.15
import QtGraphicalEffects 1.15

// Report option panel of the database screen. The period is the range shown
// in the database chart, so the panel only chooses the report's size and charts.
Page {
    id: pagePrintReport
    width: 330
    height: 350
    palette.base: "#F7CEB8"
    palette.highlight: "#ffa07a"

    property alias isShortReport: shortReportButton.checked
    property alias isPrintChart: printChartBox.checked
    property alias isGeneralChart: generalChartButton.checked
    // The period the report will cover: the range the chart shows, not the
    // filter's period.
    property string periodText: ""

    signal clickButtonPrintDB()
    signal clickButtonPreviewPrintDB()
    // The same report written to a PDF file.
    signal clickButtonPdfDB()

    background: Rectangle {
        color: "white"
        border.width: 3
        border.color: "#e6e6e6"
        radius: 6
    }

    Column {
        id: options
        x: 16
        y: 14
        spacing: 0

        Text {
            text: "Отчет"
            font.pixelSize: 14
            font.bold: true
        }
        ButtonGroup { id: sizeGroup }
        RadioButton {
            id: shortReportButton
            text: "Краткий отчет"
            font.pixelSize: 14
            checked: false
            ButtonGroup.group: sizeGroup
        }
        RadioButton {
            text: "Полный отчет"
            font.pixelSize: 14
            checked: true
            ButtonGroup.group: sizeGroup
        }
        CheckBox {
            id: printChartBox
            objectName: "printChartBox"
            text: "Печатать график"
            font.pixelSize: 14
            checked: false
        }

        Item {
            id: itemSettingChart
            objectName: "itemSettingChart"
            width: 260
            height: chartColumn.height
            enabled: printChartBox.checked
            opacity: enabled ? 1.0 : 0.35
            Behavior on opacity { NumberAnimation { duration: 300 } }

            ButtonGroup { id: chartGroup }
            Column {
                id: chartColumn
                x: 20
                RadioButton {
                    id: generalChartButton
                    text: "Общий график"
                    font.pixelSize: 14
                    checked: true
                    ButtonGroup.group: chartGroup
                }
                RadioButton {
                    text: "Раздельные графики"
                    font.pixelSize: 14
                    ButtonGroup.group: chartGroup
                }
            }
        }
        Text {
            objectName: "reportPeriodText"
            width: 300
            topPadding: 6
            text: pagePrintReport.periodText
            font.pixelSize: 13
            wrapMode: Text.WordWrap
        }
    }

    Row {
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 14
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 6

        Button {
            objectName: "printButtonDB"
            width: 96
            height: 49
            text: "Печать"
            font.pixelSize: 15
            onClicked: pagePrintReport.clickButtonPrintDB()
        }
        Button {
            objectName: "previewButtonDB"
            width: 140
            height: 49
            text: "Предпросмотр"
            font.pixelSize: 15
            onClicked: pagePrintReport.clickButtonPreviewPrintDB()
        }
        Button {
            objectName: "pdfButtonDB"
            width: 52
            height: 49
            text: "PDF"
            font.pixelSize: 15
            ToolTip.visible: hovered
            ToolTip.delay: 500
            ToolTip.text: "Сохранить отчёт\nкак файл PDF"
            onClicked: pagePrintReport.clickButtonPdfDB()
        }
    }

    Item {
        width: 51
        height: 25
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.topMargin: 6
        anchors.rightMargin: 6

        Image {
            id: closeImage
            anchors.fill: parent
            source: "qrc:/images/close1.png"
            fillMode: Image.PreserveAspectFit
            smooth: true
        }
        Glow {
            anchors.fill: closeImage
            source: closeImage
            radius: 8
            samples: 17
            color: "#cf5440"
            opacity: closeArea.containsMouse ? 1.0 : 0.0
            Behavior on opacity { NumberAnimation { duration: 200 } }
        }
        MouseArea {
            id: closeArea
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: pagePrintReport.visible = false
        }
    }
}
