import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// One labelled line of a settings group: the caption on the left, the control
// (the row's children) on the right.
RowLayout {
    id: row
    property alias caption: captionLabel.text
    property int captionWidth: 120
    spacing: 8

    Label {
        id: captionLabel
        Layout.preferredWidth: row.captionWidth
        Layout.alignment: Qt.AlignVCenter
        font.pixelSize: 14
        wrapMode: Text.WordWrap
    }
}
