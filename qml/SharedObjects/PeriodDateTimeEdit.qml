import QtQuick 2.15

// A period as two date-time fields. Each field limits the other, so the end
// cannot be moved before the begin nor the begin after the end.
Item {
    id: period
    width: 218
    height: 340

    property date minDate
    property date maxDate
    property alias currentBeginDate: beginDateTime.currentDate
    property alias currentBeginTime: beginDateTime.currentTime
    property alias currentEndDate: endDateTime.currentDate
    property alias currentEndTime: endDateTime.currentTime
    // One of the fields has its panel folded out.
    readonly property bool open: beginDateTime.periodVisible || endDateTime.periodVisible

    function close() {
        beginDateTime.periodVisible = false
        endDateTime.periodVisible = false
    }

    function atTime(value, hours) {
        var d = new Date(value.getTime())
        d.setHours(hours, 0, 0, 0)
        return d
    }

    // A calendar refuses a minimum above its maximum (and the reverse) and
    // keeps the old limit instead. When a new period lies wholly before or
    // after the old one, the opposite limit is moved out of the way first,
    // otherwise the fields would stay stuck in the old period.
    function setMinimumDay(edit, day) {
        if (edit.maximumDate < day)
            edit.maximumDate = atTime(day, 12)
        edit.minimumDate = day
    }
    function setMaximumDay(edit, day) {
        if (edit.minimumDate > day)
            edit.minimumDate = atTime(day, 0)
        edit.maximumDate = day
    }

    onMaxDateChanged: {
        endDateTime.maximumDateTime = maxDate
        setMaximumDay(endDateTime, atTime(maxDate, 12))
    }
    onMinDateChanged: {
        beginDateTime.minimumDateTime = minDate
        setMinimumDay(beginDateTime, atTime(minDate, 0))
    }

    DateTimeEdit {
        id: beginDateTime
        objectName: "beginDateTime"
        prefix: "с"
        x: 0
        y: 6
        width: 217
        height: 300
        z: 4
        onCurrentDateChanged: period.setMinimumDay(endDateTime, period.atTime(currentDate, 0))
        onCurrentTimeChanged: endDateTime.minimumDateTime = currentTime
        onClick: if (endDateTime.periodVisible) endDateTime.periodVisible = false
    }

    DateTimeEdit {
        id: endDateTime
        objectName: "endDateTime"
        prefix: "до"
        x: 0
        y: 39
        width: 217
        height: 300
        z: 3
        onCurrentDateChanged: period.setMaximumDay(beginDateTime, period.atTime(currentDate, 12))
        onCurrentTimeChanged: beginDateTime.maximumDateTime = currentTime
        onClick: if (beginDateTime.periodVisible) beginDateTime.periodVisible = false
    }
}
