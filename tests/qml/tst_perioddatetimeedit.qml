import QtQuick 2.15
import QtTest 1.15
import "qrc:/SharedObjects"

TestCase {
    id: testCase
    name: "PeriodDateTimeEdit"
    width: 400
    height: 400
    visible: true
    when: windowShown

    Component {
        id: periodComponent
        PeriodDateTimeEdit {}
    }

    function field(period, name) {
        var found = findChild(period, name)
        verify(found !== null, name)
        return found
    }

    function spin(period, fieldName, spinName) {
        return findChild(field(period, fieldName), spinName)
    }

    function day(value) {
        return Qt.formatDate(value, "yyyy-MM-dd")
    }

    // A stored period from 3 March 10:20:30 to 9 March 18:40:50.
    function makePeriod() {
        var period = createTemporaryObject(periodComponent, testCase)
        verify(period !== null)
        period.minDate = new Date(2024, 2, 3, 10, 20, 30)
        period.maxDate = new Date(2024, 2, 9, 18, 40, 50)
        period.currentBeginDate = new Date(2024, 2, 3)
        period.currentBeginTime = new Date(2024, 2, 3, 10, 20, 30)
        period.currentEndDate = new Date(2024, 2, 9)
        period.currentEndTime = new Date(2024, 2, 9, 18, 40, 50)
        return period
    }

    function test_limitsFollowTheStoredPeriod() {
        var period = makePeriod()
        compare(day(field(period, "beginDateTime").minimumDate), "2024-03-03")
        compare(day(field(period, "endDateTime").maximumDate), "2024-03-09")
        // Dates outside the stored period are refused.
        period.currentBeginDate = new Date(2024, 1, 20)
        compare(day(period.currentBeginDate), "2024-03-03")
        period.currentEndDate = new Date(2024, 2, 25)
        compare(day(period.currentEndDate), "2024-03-09")
    }

    function test_endDateNeverBeforeBeginDate() {
        var period = makePeriod()
        period.currentBeginDate = new Date(2024, 2, 6)
        period.currentEndDate = new Date(2024, 2, 4)
        compare(day(period.currentEndDate), "2024-03-06")
    }

    function test_beginDateNeverAfterEndDate() {
        var period = makePeriod()
        period.currentEndDate = new Date(2024, 2, 5)
        period.currentBeginDate = new Date(2024, 2, 8)
        compare(day(period.currentBeginDate), "2024-03-05")
    }

    function test_endTimeNeverBeforeBeginTimeOnTheSameDay() {
        var period = makePeriod()
        period.currentBeginDate = new Date(2024, 2, 6)
        spin(period, "beginDateTime", "hoursSpinBox").value = 14
        spin(period, "beginDateTime", "minutesSpinBox").value = 0
        spin(period, "beginDateTime", "secondsSpinBox").value = 0
        period.currentEndDate = new Date(2024, 2, 6)
        spin(period, "endDateTime", "hoursSpinBox").value = 9
        compare(period.currentEndTime.getHours(), 14)
        compare(period.currentEndTime.getMinutes(), 40)
        // At the begin hour the minutes are limited too.
        spin(period, "endDateTime", "minutesSpinBox").value = 0
        compare(spin(period, "endDateTime", "minutesSpinBox").value, 0)
        compare(Qt.formatTime(period.currentEndTime, "hh:mm"), "14:00")
    }

    function test_beginTimeNeverAfterEndTimeOnTheSameDay() {
        var period = makePeriod()
        period.currentEndDate = new Date(2024, 2, 6)
        spin(period, "endDateTime", "hoursSpinBox").value = 9
        spin(period, "endDateTime", "minutesSpinBox").value = 15
        period.currentBeginDate = new Date(2024, 2, 6)
        spin(period, "beginDateTime", "hoursSpinBox").value = 22
        compare(period.currentBeginTime.getHours(), 9)
        spin(period, "beginDateTime", "minutesSpinBox").value = 50
        compare(period.currentBeginTime.getMinutes(), 15)
    }

    function test_movingBeginOntoTheEndDayPullsItsTimeBack() {
        var period = makePeriod()
        period.currentEndDate = new Date(2024, 2, 7)
        spin(period, "endDateTime", "hoursSpinBox").value = 6
        spin(period, "beginDateTime", "hoursSpinBox").value = 20
        period.currentBeginDate = new Date(2024, 2, 7)
        compare(period.currentBeginTime.getHours(), 6)
    }

    function test_openingOneFieldClosesTheOther() {
        var period = makePeriod()
        var begin = field(period, "beginDateTime")
        var end = field(period, "endDateTime")
        begin.periodVisible = true
        // The end field's row lies under the begin field's drop-down, so the
        // begin panel is closed by code here and the end field clicked.
        end.click()
        compare(begin.periodVisible, false)
        end.periodVisible = true
        begin.click()
        compare(end.periodVisible, false)
    }

    function test_newPeriodEarlierThanTheOldOneIsTakenOver() {
        var period = createTemporaryObject(periodComponent, testCase)
        // Fresh fields stand on today; the stored period is years back.
        period.minDate = new Date(2021, 4, 1, 8, 0, 0)
        period.maxDate = new Date(2021, 4, 3, 9, 0, 0)
        period.currentBeginDate = new Date(2021, 4, 1)
        period.currentEndDate = new Date(2021, 4, 3)
        compare(day(period.currentBeginDate), "2021-05-01")
        compare(day(period.currentEndDate), "2021-05-03")
        compare(day(field(period, "endDateTime").maximumDate), "2021-05-03")
    }

    function test_newPeriodLaterThanTheOldOneIsTakenOver() {
        var period = makePeriod()
        // Written in the other order: the maximum first.
        period.maxDate = new Date(2025, 6, 20, 18, 0, 0)
        period.minDate = new Date(2025, 6, 10, 6, 0, 0)
        period.currentBeginDate = new Date(2025, 6, 10)
        period.currentEndDate = new Date(2025, 6, 20)
        compare(day(period.currentBeginDate), "2025-07-10")
        compare(day(period.currentEndDate), "2025-07-20")
        compare(day(field(period, "beginDateTime").minimumDate), "2025-07-10")
    }

    function test_clickOnOpenPanelDoesNotReachTheFieldBelow() {
        var period = makePeriod()
        var begin = field(period, "beginDateTime")
        var end = field(period, "endDateTime")
        begin.periodVisible = true
        clickSpy.target = end
        clickSpy.clear()
        // A blank spot of the begin panel right above the end field's row.
        mouseClick(period, 200, 50)
        compare(clickSpy.count, 0)
        compare(end.periodVisible, false)
        compare(begin.periodVisible, true)
    }

    SignalSpy { id: clickSpy; signalName: "click" }
}
