import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// A caption, a slider and the slider's value as text; `valueText` turns the
// current value into that text.
RowLayout {
    id: row
    property alias caption: captionLabel.text
    property alias value: slider.value
    property alias from: slider.from
    property alias to: slider.to
    property alias stepSize: slider.stepSize
    property int captionWidth: 128
    property var valueText: function(v) { return String(v) }
    spacing: 6

    Label {
        id: captionLabel
        Layout.preferredWidth: row.captionWidth
        font.pixelSize: 14
        wrapMode: Text.WordWrap
    }
    Slider {
        id: slider
        Layout.fillWidth: true
        snapMode: Slider.SnapAlways
    }
    Label {
        Layout.preferredWidth: 50
        horizontalAlignment: Text.AlignRight
        font.pixelSize: 14
        text: row.valueText(Math.round(slider.value))
    }
}
