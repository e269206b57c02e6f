import QtQuick 2.15
import QtQuick.Controls 2.15

// Couples a lower and an upper tenths spin box into a range: the lower box runs
// from lowerBound up to the upper box's value - 0.1, the upper box from the lower
// box's value + 0.1 up to upperBound. `min` and `max` hold the two values in
// tenths; before any value is set they are the bounds themselves.
//
// Values are set one at a time from outside (min, then max), so a new min may
// lie above the old max for a moment. The boxes are therefore re-synchronised
// on every change, and min/max take the boxes' (clamped) values only once all
// assignments of the current turn are done.
Item {
    id: pair
    property SpinBox lowerBox
    property SpinBox upperBox
    property real lowerBound: 0
    property real upperBound: 0
    property real min: Math.round(lowerBound * 10)
    property real max: Math.round(upperBound * 10)
    visible: false

    Binding {
        target: pair.lowerBox
        property: "from"
        value: Math.round(pair.lowerBound * 10)
    }
    Binding {
        target: pair.lowerBox
        property: "to"
        value: pair.upperBox ? Math.max(pair.lowerBox.from, pair.upperBox.value - 1)
                             : Math.round(pair.upperBound * 10)
    }
    Binding {
        target: pair.upperBox
        property: "to"
        value: Math.round(pair.upperBound * 10)
    }
    Binding {
        target: pair.upperBox
        property: "from"
        value: pair.lowerBox ? Math.min(pair.upperBox.to, pair.lowerBox.value + 1)
                             : Math.round(pair.lowerBound * 10)
    }

    Connections {
        target: pair.lowerBox
        function onValueModified() { pair.min = pair.lowerBox.value }
    }
    Connections {
        target: pair.upperBox
        function onValueModified() { pair.max = pair.upperBox.value }
    }

    function sync() {
        if (!lowerBox || !upperBox)
            return
        // Upper first, lower, then upper again: whichever way the range moved,
        // each box ends inside the bounds the other one leaves it.
        upperBox.value = finite(max, upperBox.to)
        lowerBox.value = finite(min, lowerBox.from)
        upperBox.value = finite(max, upperBox.to)
        Qt.callLater(adopt)
    }

    function finite(value, fallback) {
        return isFinite(value) ? Math.round(value) : fallback
    }

    function adopt() {
        if (min !== lowerBox.value)
            min = lowerBox.value
        if (max !== upperBox.value)
            max = upperBox.value
    }

    onMinChanged: sync()
    onMaxChanged: sync()
    onLowerBoxChanged: sync()
    onUpperBoxChanged: sync()
    Component.onCompleted: sync()
}
