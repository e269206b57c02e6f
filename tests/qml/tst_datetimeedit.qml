import QtQuick 2.15
import QtTest 1.15
import "qrc:/SharedObjects"

TestCase {
    id: testCase
    name: "DateTimeEdit"
    width: 400
    height: 400
    visible: true
    when: windowShown

    Component {
        id: editComponent
        DateTimeEdit {}
    }

    SignalSpy { id: timeChangeSpy; signalName: "timeChange" }
    SignalSpy { id: clickSpy; signalName: "click" }

    function spin(edit, name) {
        var found = findChild(edit, name)
        verify(found !== null, name)
        return found
    }

    function makeEdit() {
        var edit = createTemporaryObject(editComponent, testCase)
        verify(edit !== null)
        edit.minimumDate = new Date(2024, 2, 10, 0, 0, 0)
        edit.maximumDate = new Date(2024, 2, 20, 12, 0, 0)
        edit.minimumDateTime = new Date(2024, 2, 10, 8, 30, 15)
        edit.maximumDateTime = new Date(2024, 2, 20, 17, 45, 50)
        edit.currentTime = new Date(2019, 1, 1, 12, 0, 0)
        edit.currentDate = new Date(2024, 2, 15)
        timeChangeSpy.target = edit
        timeChangeSpy.clear()
        return edit
    }

    function ranges(edit) {
        var h = spin(edit, "hoursSpinBox"), m = spin(edit, "minutesSpinBox"), s = spin(edit, "secondsSpinBox")
        return [h.minimumValue, h.maximumValue, m.minimumValue, m.maximumValue, s.minimumValue, s.maximumValue]
    }

    function test_defaults() {
        var edit = createTemporaryObject(editComponent, testCase)
        compare(edit.width, 230)
        compare(edit.height, 273)
        compare(edit.currentTime.getFullYear(), 2019)
        compare(edit.currentTime.getMonth(), 1)
        compare(edit.currentTime.getDate(), 1)
        compare(edit.periodVisible, false)
    }

    function test_daysBetweenLimitsAllowAnyTime() {
        var edit = makeEdit()
        edit.setMinMaxTime()
        compare(ranges(edit), [0, 23, 0, 59, 0, 59])
        compare(timeChangeSpy.count, 1)
    }

    function test_maximumDayCapsTheHour() {
        var edit = makeEdit()
        edit.currentDate = new Date(2024, 2, 20)
        // 12:00 is below the 17:45:50 limit, so only the hour range shrinks.
        compare(ranges(edit), [0, 17, 0, 59, 0, 59])
    }

    function test_maximumDayAtMaximumHourCapsMinutesAndSeconds() {
        var edit = makeEdit()
        edit.currentDate = new Date(2024, 2, 20)
        spin(edit, "hoursSpinBox").value = 17
        compare(ranges(edit), [0, 17, 0, 45, 0, 59])
        spin(edit, "minutesSpinBox").value = 45
        compare(ranges(edit), [0, 17, 0, 45, 0, 50])
        // Values beyond the limit are pulled back to it.
        spin(edit, "secondsSpinBox").value = 59
        compare(spin(edit, "secondsSpinBox").value, 50)
        compare(edit.currentTime.getHours(), 17)
        compare(edit.currentTime.getMinutes(), 45)
        compare(edit.currentTime.getSeconds(), 50)
    }

    function test_minimumDayRaisesTheLowerLimits() {
        var edit = makeEdit()
        edit.currentTime = new Date(2019, 1, 1, 5, 10, 0)
        edit.currentDate = new Date(2024, 2, 10)
        // The hour is pulled up to 8; at the minimum hour the minutes follow.
        compare(spin(edit, "hoursSpinBox").value, 8)
        compare(spin(edit, "minutesSpinBox").value, 30)
        compare(spin(edit, "secondsSpinBox").value, 15)
        compare(ranges(edit), [8, 23, 30, 59, 15, 59])
        compare(Qt.formatTime(edit.currentTime, "hh:mm:ss"), "08:30:15")
    }

    // A caller moving the period writes one limit after the other; for a
    // moment the minimum time of the day lies above its maximum. The field
    // must settle without looping and never offer an empty range.
    function test_crossingLimitsOnOneDaySettle() {
        var edit = createTemporaryObject(editComponent, testCase)
        edit.minimumDate = new Date(1970, 0, 1, 0, 0, 0)
        edit.maximumDate = new Date(1970, 0, 1, 12, 0, 0)
        edit.minimumDateTime = new Date(2000, 0, 1, 21, 0, 0)
        edit.maximumDateTime = new Date(1970, 0, 1, 0, 19, 0)
        edit.currentTime = new Date(1970, 0, 1, 23, 59, 59)
        edit.currentDate = new Date(1970, 0, 1)
        edit.setMinMaxTime()
        var r = ranges(edit)
        verify(r[0] <= r[1] && r[2] <= r[3] && r[4] <= r[5], r.join(","))
        compare(Qt.formatTime(edit.currentTime, "hh:mm:ss"), "00:19:00")
        // Once the minimum is in place too, the day is limited both ways.
        edit.minimumDateTime = new Date(1970, 0, 1, 0, 5, 0)
        edit.setMinMaxTime()
        compare(ranges(edit), [0, 0, 5, 19, 0, 0])
    }

    function test_leavingTheLimitDayRestoresFullRanges() {
        var edit = makeEdit()
        edit.currentDate = new Date(2024, 2, 20)
        verify(ranges(edit)[1] === 17)
        edit.currentDate = new Date(2024, 2, 18)
        compare(ranges(edit), [0, 23, 0, 59, 0, 59])
    }

    function test_spinBoxWritesTimeAndLabel() {
        var edit = makeEdit()
        spin(edit, "minutesSpinBox").value = 7
        compare(edit.currentTime.getMinutes(), 7)
        // The date part of the time value is left alone.
        compare(edit.currentTime.getFullYear(), 2019)
        verify(timeChangeSpy.count >= 1)
        var label = findChildWithText(edit, "12:07:00")
        verify(label !== null)
    }

    function test_timeWrittenFromOutsideShowsInSpinBoxes() {
        var edit = makeEdit()
        edit.currentTime = new Date(2020, 5, 5, 21, 14, 3)
        compare(spin(edit, "hoursSpinBox").value, 21)
        compare(spin(edit, "minutesSpinBox").value, 14)
        compare(spin(edit, "secondsSpinBox").value, 3)
        compare(edit.currentTime.getHours(), 21)
        verify(findChildWithText(edit, "21:14:03") !== null)
    }

    function test_clickTogglesDropDown() {
        var edit = makeEdit()
        clickSpy.target = edit
        clickSpy.clear()
        mouseClick(edit, 50, 16)
        compare(clickSpy.count, 1)
        verify(edit.periodVisible)
        // A click while the panel fades in is ignored.
        mouseClick(edit, 50, 16)
        compare(clickSpy.count, 1)
        tryCompare(findChild(edit, "dropDown"), "opacity", 1)
        mouseClick(edit, 50, 16)
        compare(clickSpy.count, 2)
        tryCompare(edit, "periodVisible", false)
    }

    function findChildWithText(item, text) {
        if (item.text === text)
            return item
        var kids = item.children || []
        for (var i = 0; i < kids.length; ++i) {
            var found = findChildWithText(kids[i], text)
            if (found)
                return found
        }
        return null
    }
}
