import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// The instruments of the archive; one of them is chosen at a time.
FrameLabel {
    id: root
    property string nameFilter: ""
    property alias model: list.model
    property alias count: list.count

    nameLabel: nameFilter
    fontSize: 14
    internalColor: "white"
    borderFrame.color: "#e6e6e6"

    ButtonGroup { id: devices; exclusive: true }

    ListView {
        id: list
        objectName: root.objectName + "List"
        anchors.fill: parent
        anchors.topMargin: 24
        anchors.margins: 4
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded }

        delegate: RadioButton {
            id: entry
            property int idDevice: Field0
            width: list.width - 12
            // Type, number and, where one was given, the alias.
            // The archive keeps the instrument's 32-bit number signed (the
            // tick and the filter use it as kept); the user reads it unsigned.
            text: Field1 + " №" + (Field0 < 0 ? Field0 + 4294967296 : Field0) + (Field2 ? " (" + Field2 + ")" : "")
            font.pixelSize: 14
            // A long alias goes on to the next line rather than being cut off:
            // it is what tells two instruments of one type apart.
            contentItem: Text {
                leftPadding: entry.indicator.width + entry.spacing
                text: entry.text
                font: entry.font
                color: entry.palette.windowText
                wrapMode: Text.Wrap
                verticalAlignment: Text.AlignVCenter
            }
            ButtonGroup.group: devices
            checked: list.model ? list.model.getTickStatus(idDevice) : false
            // Choosing one instrument lets go of the one chosen before.
            onCheckedChanged: {
                if (list.model && checked !== list.model.getTickStatus(idDevice))
                    list.model.setTickStatus(idDevice, checked)
            }
        }
    }
}
