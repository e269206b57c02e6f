import QtQuick 2.15
import QtQuick.Controls 2.15

// The device page: the connected instrument, its clock and its log files.
Item {
    id: deviceMenu

    // The page slides in from the right whenever it is shown.
    onVisibleChanged: if (visible) slideIn.restart()

    // A control only so that the page's palette reaches the buttons and the bar.
    Control {
        id: page
        padding: 0
        // 951 × 738 at the design size; a larger window stretches the page.
        width: Math.max(951, deviceMenu.width + 12)
        height: Math.max(738, deviceMenu.height - 30)
        y: 15
        x: 72 - deviceMenu.x

        palette.base: "#F7CEB8"
        palette.highlight: "#ffa07a"

        NumberAnimation {
            id: slideIn
            target: page
            property: "x"
            from: 951 - deviceMenu.x
            to: 72 - deviceMenu.x
            duration: 200
        }

        ErrorDevice {
            id: errorDevice
            objectName: "ErrorDevice"
            anchors.centerIn: parent
            visible: true
        }

        ImageDevice {
            id: imageDevice
            objectName: "ImageDevice"
            x: 18
            y: 70
            visible: false
        }

        Column {
            id: fields
            x: 262
            y: 20
            spacing: 16

            TypeDevice {
                id: typeDevice
                objectName: "TypeDevice"
                visible: false
            }
            VersionDevice {
                id: versionDevice
                objectName: "VersionDevice"
                visible: false
            }
            IdDevice {
                id: idDevice
                objectName: "IdDevice"
                visible: false
            }
            Row {
                spacing: 8
                TimeDevice {
                    id: timeDevice
                    objectName: "TimeDevice"
                    width: 230
                    visible: false
                }
                Button {
                    id: btnTimeSync
                    objectName: "BtnTimeSync"
                    anchors.bottom: timeDevice.bottom
                    anchors.bottomMargin: 2
                    width: 45
                    height: 45
                    visible: false
                    text: "Синхронизировать\n время"
                    display: AbstractButton.IconOnly
                    icon.source: "qrc:/images/syncTime100x100.png"
                    icon.color: "transparent"
                    icon.width: 36
                    icon.height: 36
                    hoverEnabled: true
                    ToolTip.visible: hovered
                    ToolTip.delay: 500
                    ToolTip.timeout: 5000
                    ToolTip.text: "Синхронизация\nвремени"
                    onClicked: window.clickButtonTimeSync()
                }
            }
        }

        ButtonOpenFilesDevice {
            id: buttonOpenFilesDevice
            objectName: "ButtonOpenFilesDevice"
            x: 262
            y: fields.y + 4 * 70 + 3 * 16 + 40
            visible: false
        }

        CollectFilesDevice {
            id: collectFilesDevice
            objectName: "CollectFilesDevice"
            x: 262 - 8
            y: buttonOpenFilesDevice.y + buttonOpenFilesDevice.height
            width: listFilesInfo.x - x - 10
            height: page.height - y - 10
            visible: true
        }

        ListFilesInfo {
            id: listFilesInfo
            objectName: "ListFilesInfo"
            x: page.width - width - 12
            y: 18
            height: page.height - 38
            visible: false
        }
    }
}
