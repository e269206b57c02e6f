import QtQuick 2.15
import QtQuick.Controls 2.15

// Collecting many files at once: "Загрузить новые" fetches every file that is
// not home yet with one progress for the set, "Отмена" stops any running
// download, the switch collects on its own whenever an instrument is found.
Item {
    id: panel
    property bool connected: false
    property bool running: false
    // A download of any kind is running: "Отмена" applies to it.
    property bool busy: false
    property string progressText: ""
    property real progressValue: 0
    property string summaryText: ""
    property bool onConnect: false
    property bool toArchive: false

    Column {
        id: column
        width: parent.width
        spacing: 4

        Row {
            spacing: 8
            visible: panel.connected
            Button {
                id: buttonNew
                objectName: "ButtonDownloadNew"
                width: 170
                height: 40
                text: "Загрузить новые"
                font.pixelSize: 16
                enabled: !panel.busy
                onClicked: window.clickDownloadNewFiles()
            }
            Button {
                id: buttonCancel
                objectName: "ButtonCancelDownload"
                width: 90
                height: 40
                text: "Отмена"
                font.pixelSize: 16
                enabled: panel.busy
                onClicked: window.clickCancelDownload()
            }
        }

        ProgressBar {
            objectName: "ProgressCollect"
            width: parent.width
            height: 18
            from: 0
            to: 100
            value: panel.progressValue
            visible: panel.running
            palette.highlight: "#ffa07a"
            palette.dark: "#cc7a52"
        }

        Text {
            objectName: "TextCollectProgress"
            width: parent.width
            visible: panel.running && panel.progressText !== ""
            text: panel.progressText
            font.pixelSize: 14
            color: "#3d2418"
            wrapMode: Text.Wrap
        }

        Switch {
            id: switchOnConnect
            objectName: "SwitchCollectOnConnect"
            width: parent.width
            text: "Загружать новые при подключении"
            font.pixelSize: 14
            topPadding: 2
            bottomPadding: 2
            checked: panel.onConnect
            // The caption is longer than the panel is wide: it wraps instead of being cut.
            contentItem: Text {
                text: switchOnConnect.text
                font: switchOnConnect.font
                color: "#3d2418"
                wrapMode: Text.WordWrap
                verticalAlignment: Text.AlignVCenter
                leftPadding: switchOnConnect.indicator.width + switchOnConnect.spacing
            }
            onToggled: {
                panel.onConnect = checked
                window.collectOnConnectChanged(checked)
            }
        }

        CheckBox {
            id: checkArchive
            objectName: "CheckCollectArchive"
            width: parent.width
            text: "Сохранять загруженное в базу данных"
            font.pixelSize: 14
            topPadding: 2
            bottomPadding: 2
            checked: panel.toArchive
            contentItem: Text {
                text: checkArchive.text
                font: checkArchive.font
                color: "#3d2418"
                wrapMode: Text.WordWrap
                verticalAlignment: Text.AlignVCenter
                leftPadding: checkArchive.indicator.width + checkArchive.spacing
            }
            onToggled: {
                panel.toArchive = checked
                window.collectArchiveChanged(checked)
            }
        }

    }

    // The summary takes the rest of the panel and scrolls when it is longer.
    Flickable {
        id: summaryArea
        anchors.top: column.bottom
        anchors.topMargin: 6
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        contentHeight: summary.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        ScrollIndicator.vertical: ScrollIndicator {}

        Text {
            id: summary
            objectName: "TextCollectSummary"
            width: summaryArea.width - 6
            visible: panel.summaryText !== ""
            text: panel.summaryText
            font.pixelSize: 13
            color: "#3d2418"
            wrapMode: Text.Wrap
        }
    }
}
