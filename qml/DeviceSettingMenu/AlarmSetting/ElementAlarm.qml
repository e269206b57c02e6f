import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ".."

// One alarm limit pair: caption, unit, "От" (lower limit) and "До" (upper
// limit). `min` and `max` are in tenths of the unit.
RowLayout {
    id: element
    property alias name: captionLabel.text
    property alias unit: unitLabel.text
    property alias lowerBound: pair.lowerBound
    property alias upperBound: pair.upperBound
    property alias min: pair.min
    property alias max: pair.max
    property int captionWidth: 128
    spacing: 4

    Label {
        id: captionLabel
        Layout.preferredWidth: element.captionWidth
        font.pixelSize: 13
        lineHeight: 0.9
        wrapMode: Text.WordWrap
    }
    Label {
        id: unitLabel
        Layout.preferredWidth: 34
        horizontalAlignment: Text.AlignHCenter
        font.pixelSize: 12
        lineHeight: 0.85
        wrapMode: Text.WordWrap
    }
    Label {
        text: "От"
        font.pixelSize: 13
    }
    TenthsSpinBox {
        id: lowerBox
        objectName: "lower"
    }
    Label {
        text: "До"
        font.pixelSize: 13
        Layout.leftMargin: 2
    }
    TenthsSpinBox {
        id: upperBox
        objectName: "upper"
    }

    TenthsPair {
        id: pair
        lowerBox: lowerBox
        upperBox: upperBox
    }
}
