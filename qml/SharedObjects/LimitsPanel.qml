import QtQuick 2.15
import QtQuick.Controls 2.15

// "Пределы": per measured column its lower and upper alarm limit, whether they
// apply, and what the evaluation against them found. The limits come from
// the log's download record or are typed here; a refused entry is said under
// the list and the previous limits stay.
Rectangle {
    id: panel
    property var limitsModel: null
    // A problem with the limits' source (an unreadable download record).
    property string note: ""
    property string message: ""

    radius: 4
    color: "white"
    border.width: 1
    border.color: "#e6e6e6"

    function apply(row, lowerText, upperText, enabled) {
        if (!limitsModel)
            return ""
        var why = limitsModel.applyLimits(row, lowerText, upperText, enabled)
        panel.message = why
        return why
    }

    Text {
        id: caption
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.margins: 6
        text: "Пределы"
        font.bold: true
        font.pixelSize: 15
    }

    ListView {
        id: columns
        objectName: "LimitsPanelList"
        anchors.top: caption.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: messages.top
        anchors.margins: 6
        clip: true
        spacing: 8
        model: panel.limitsModel
        ScrollBar.vertical: ScrollBar {}

        delegate: Column {
            id: entry
            width: columns.width - 10
            spacing: 2

            function applyEntry() {
                if (panel.apply(index, lowerField.text, upperField.text, switchLimits.checked) !== "") {
                    // Refused: the fields show what still applies.
                    lowerField.text = model.lower
                    upperField.text = model.upper
                    switchLimits.checked = model.limited
                }
            }

            Text {
                width: parent.width
                text: model.name + (model.unit !== "" ? ", " + model.unit : "")
                font.bold: true
                font.pixelSize: 13
                elide: Text.ElideRight
            }
            Row {
                spacing: 4
                CheckBox {
                    id: switchLimits
                    objectName: "LimitsSwitch" + index
                    text: "Вкл."
                    checked: model.limited
                    font.pixelSize: 12
                    height: 26
                    onToggled: entry.applyEntry()
                }
                TextField {
                    id: lowerField
                    objectName: "LimitsLower" + index
                    width: 56
                    height: 26
                    font.pixelSize: 12
                    text: model.lower
                    placeholderText: "от"
                    selectByMouse: true
                    onAccepted: entry.applyEntry()
                }
                Text { text: ".."; anchors.verticalCenter: parent.verticalCenter }
                TextField {
                    id: upperField
                    objectName: "LimitsUpper" + index
                    width: 56
                    height: 26
                    font.pixelSize: 12
                    text: model.upper
                    placeholderText: "до"
                    selectByMouse: true
                    onAccepted: entry.applyEntry()
                }
                Button {
                    objectName: "LimitsApply" + index
                    text: "Применить"
                    font.pixelSize: 11
                    height: 26
                    leftPadding: 6
                    rightPadding: 6
                    onClicked: {
                        switchLimits.checked = true
                        entry.applyEntry()
                    }
                }
            }
            Text {
                visible: model.verdict !== ""
                text: model.verdict
                font.bold: true
                font.pixelSize: 13
                color: model.outside ? "#c62828" : "#2e7d32"
            }
            Repeater {
                model: figures
                Text {
                    width: entry.width
                    text: modelData
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                }
            }
        }
    }

    Column {
        id: messages
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 6
        Text {
            objectName: "LimitsMessage"
            width: parent.width
            visible: text !== ""
            text: panel.message
            color: "#c62828"
            font.pixelSize: 12
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            visible: text !== ""
            text: panel.note
            color: "#7a6a62"
            font.pixelSize: 12
            wrapMode: Text.WordWrap
        }
    }
}
