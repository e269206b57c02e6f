import QtQuick 2.15
import QtQuick.Controls 2.15
import QtGraphicalEffects 1.15

// Report option panel of the data screen: the options, "Печать",
// "Предпросмотр" and "PDF", and a close button that hides the panel.
Page {
    id: pagePrintReport
    objectName: "PrintReport"
    width: 326
    height: 540
    palette.base: "#F7CEB8"
    palette.highlight: "#ffa07a"

    property alias modelNameSeries: reportSetup.model

    background: Rectangle {
        color: "white"
        border.width: 3
        border.color: "#e6e6e6"
        radius: 6
    }

    ReportSetup {
        id: reportSetup
        objectName: "ReportSetup"
        x: 13
        y: 9
        width: 300
        height: 440
    }

    Row {
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 14
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 4

        Button {
            objectName: "PrintButton"
            width: 129
            height: 49
            text: "Печать"
            font.pixelSize: 15
            onClicked: window.clickButtonPrint()
        }
        Button {
            objectName: "PreviewButton"
            width: 134
            height: 49
            text: "Предпросмотр"
            font.pixelSize: 15
            onClicked: window.clickButtonPreviewPrint()
        }
        Button {
            objectName: "PdfButton"
            width: 48
            height: 49
            text: "PDF"
            font.pixelSize: 15
            ToolTip.visible: hovered
            ToolTip.delay: 500
            ToolTip.text: "Сохранить отчёт\nкак файл PDF"
            onClicked: window.clickButtonSaveReportPdf()
        }
    }

    Item {
        id: closeButton
        width: 51
        height: 25
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.topMargin: 6
        anchors.rightMargin: 6
        z: 20

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
