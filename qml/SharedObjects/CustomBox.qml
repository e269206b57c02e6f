import QtQuick 2.15

// A frame whose top edge is open between 15 % and 85 % of the width, leaving
// room for a caption placed over the gap.
Item {
    id: customBox
    property string borderColor: "black"
    property int borderWidth: 3

    onWidthChanged: canvas.requestPaint()
    onHeightChanged: canvas.requestPaint()

    Canvas {
        id: canvas
        anchors.fill: parent
        antialiasing: true
        onPaint: {
            var ctx = getContext("2d")
            var w = width
            var h = height
            ctx.clearRect(0, 0, w, h)
            ctx.strokeStyle = customBox.borderColor
            ctx.lineWidth = customBox.borderWidth
            ctx.beginPath()
            ctx.moveTo(0.15 * w, 0)
            ctx.lineTo(0, 0)
            ctx.lineTo(0, h)
            ctx.lineTo(w, h)
            ctx.lineTo(w, 0)
            ctx.lineTo(w - 0.15 * w, 0)
            ctx.stroke()
        }
    }
}
