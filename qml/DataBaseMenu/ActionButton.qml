import QtQuick 2.15
import QtQuick.Controls 2.15

// A wide button of the database screen's button column: picture above a
// two-line caption.
Button {
    id: control
    height: 88
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    display: AbstractButton.TextUnderIcon
    icon.width: 40
    icon.height: 40
    icon.color: "transparent"
    font.pixelSize: 13
    font.bold: true

    background: Rectangle {
        radius: 8
        color: control.down ? "#ffa07a" : (control.hovered ? "#ffe4d8" : "#fdf1eb")
        border.width: 1
        border.color: control.hovered ? "#ffa07a" : "#c8a898"
    }
}
