import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// Panels "Сохранить", "Вид" and "Отчёт" of the data screen.
Item {
    id: root
    signal clickSaveXLSX()
    signal clickSaveCSV()
    signal clickSaveInDB()
    signal clickChangeView()
    signal clickReport()

    // True while the chart face is shown; the view button offers the other face.
    property bool chartShown: false

    width: row.width
    height: 118

    Row {
        id: row
        spacing: 10
        height: parent.height

        FrameLabel {
            width: 262
            height: parent.height
            nameLabel: "Сохранить"
            fontSize: 14
            internalColor: "transparent"
            borderFrame.color: "#c8a898"

            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: parent.top
                anchors.topMargin: 30
                spacing: 6
                IconButton {
                    source: "qrc:/images/xlsx 100x100.png"
                    toolTipText: "Сохранить\nкак файл\n xlsx"
                    onClicked: root.clickSaveXLSX()
                }
                IconButton {
                    source: "qrc:/images/csv 100x100.png"
                    toolTipText: "Сохранить\nкак файл\n csv"
                    onClicked: root.clickSaveCSV()
                }
                IconButton {
                    source: "qrc:/images/database.png"
                    toolTipText: "Сохранить\nв базу данных"
                    onClicked: root.clickSaveInDB()
                }
            }
        }

        FrameLabel {
            width: 104
            height: parent.height
            nameLabel: "Вид"
            fontSize: 14
            internalColor: "transparent"
            borderFrame.color: "#c8a898"

            IconButton {
                objectName: "ButtonChangeView"
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: parent.top
                anchors.topMargin: 30
                source: root.chartShown ? "qrc:/images/table 100x100.png" : "qrc:/images/chart 100x100.png"
                caption: root.chartShown ? "Таблица" : "График"
                toolTipText: "Изменить вид\nотображения данных"
                onClicked: root.clickChangeView()
            }
        }

        FrameLabel {
            width: 104
            height: parent.height
            nameLabel: "Отчёт"
            fontSize: 14
            internalColor: "transparent"
            borderFrame.color: "#c8a898"

            IconButton {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: parent.top
                anchors.topMargin: 30
                source: "qrc:/images/print 100x100.png"
                toolTipText: "Печать\nотчета"
                onClicked: root.clickReport()
            }
        }
    }
}
