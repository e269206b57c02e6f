import QtQuick 2.15
import QtQuick.Controls 2.15
import "../SharedObjects"

// A framed list of check boxes, one per entry of a filter list model; the
// model remembers which entries are ticked.
FrameLabel {
    id: root
    property string nameFilter: ""
    property alias model: list.model
    property alias count: list.count
    // Shown for an entry whose stored text is empty; the entry is still
    // ticked (and filtered) by its stored text.
    property string emptyText: ""

    nameLabel: nameFilter
    fontSize: 14
    internalColor: "white"
    borderFrame.color: "#e6e6e6"

    ListView {
        id: list
        objectName: root.objectName + "List"
        anchors.fill: parent
        anchors.topMargin: 24
        anchors.margins: 4
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded }

        delegate: CheckBox {
            width: list.width - 12
            text: Field1 === undefined || Field1 === null || Field1 === "" ? root.emptyText : Field1
            font.pixelSize: 14
            checked: list.model ? list.model.getTickStatus(Field1) : false
            onToggled: list.model.setTickStatus(Field1, checked)
        }
    }
}
