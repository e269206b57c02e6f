import QtQuick 2.15
import QtQuick.Controls 2.15

// Couples a lower and an upper tenths spin box into a range: the lower box runs
// from lowerBound up to the upper box's value - 0.1, the upper box from the lower
// box's value + 0.1 up to upperBound. `min` and `max` hold the two values in
// tenths; before any value is set they are the bounds themselves.
//
// Limits read from the instrument may lie outside the nominal bounds (set by
// another tool or an older firmware). The range then stretches to take them
// in, so they are shown and written back as they are rather than cut to a
// bound nobody typed. A value that is no number at all shows as the bound.
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

    // Spin boxes hold 32-bit integers; anything beyond this is garbage, not a limit.
    readonly property real largestShown: 100000000
    readonly property real lowest: lowestFor(lowerBound, min, max)
    readonly property real highest: highestFor(upperBound, min, max)

    function lowestFor(bound, low, high) {
        return Math.min(Math.round(bound * 10), showable(low, Infinity), showable(high, Infinity))
    }
    function highestFor(bound, low, high) {
        return Math.max(Math.round(bound * 10), showable(low, -Infinity), showable(high, -Infinity))
    }

    function showable(value, otherwise) {
        return isFinite(value) && Math.abs(value) <= largestShown ? Math.round(value) : otherwise
    }

    Binding {
        target: pair.lowerBox
        property: "from"
        value: pair.lowest
    }
    Binding {
        target: pair.lowerBox
        property: "to"
        value: pair.upperBox ? Math.max(pair.lowerBox.from, pair.upperBox.value - 1) : pair.highest
    }
    Binding {
        target: pair.upperBox
        property: "to"
        value: pair.highest
    }
    Binding {
        target: pair.upperBox
        property: "from"
        value: pair.lowerBox ? Math.min(pair.upperBox.to, pair.lowerBox.value + 1) : pair.lowest
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
        // The stretched range first: its bindings may not have seen the new
        // value yet when this runs.
        lowerBox.from = lowestFor(lowerBound, min, max)
        upperBox.to = highestFor(upperBound, min, max)
        // Upper first, lower, then upper again: whichever way the range moved,
        // each box ends inside the bounds the other one leaves it.
        upperBox.value = finite(max, upperBox.to)
        lowerBox.value = finite(min, lowerBox.from)
        upperBox.value = finite(max, upperBox.to)
        Qt.callLater(adopt)
    }

    function finite(value, fallback) {
        return showable(value, fallback)
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
