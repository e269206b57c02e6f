import QtQuick 2.15
import QtQuick.Controls 2.15

// "Открыть" downloads the chosen file; the bar follows the download.
Item {
    id: buttonOpen
    property real progressDownloadFiles: 0
    width: 230
    height: 90

    Button {
        id: button
        objectName: "ButtonOpenFile"
        anchors.top: parent.top
        anchors.horizontalCenter: parent.horizontalCenter
        width: 160
        height: 44
        text: "Открыть"
        font.pixelSize: 18
        onClicked: window.clickOpenCurrentFileFromDevice()
    }

    ProgressBar {
        id: bar
        objectName: "ProgressDownloadFiles"
        anchors.top: button.bottom
        anchors.topMargin: 14
        anchors.left: parent.left
        anchors.right: parent.right
        height: 22
        from: 0
        to: 100
        value: buttonOpen.progressDownloadFiles
        // The final value 100 and the reset to 0 both hide the bar.
        visible: buttonOpen.progressDownloadFiles !== 0 && buttonOpen.progressDownloadFiles <= 99
        palette.highlight: "#ffa07a"
        palette.dark: "#cc7a52"
    }
}
