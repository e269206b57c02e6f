import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtGraphicalEffects 1.15

// A compact date-and-time field. Clicking it folds out a calendar with spin
// boxes for the time of day. minimumDateTime/maximumDateTime limit the time of
// day only on the calendar's minimum/maximum day; on other days any time is
// allowed.
Item {
    id: dateTimeEdit
    width: 230
    height: 273

    property date minimumDateTime: new Date()
    property date maximumDateTime: new Date()
    property date currentTime: new Date(2019, 1, 1)
    property alias currentDate: calendar.selectedDate
    property alias minimumDate: calendar.minimumDate
    property alias maximumDate: calendar.maximumDate
    property alias periodVisible: dropDown.visible
    property alias prefix: prefixText.text

    signal click()
    signal timeChange()

    // True while the spin boxes are being set from currentTime, so that their
    // change handlers do not write the same value back.
    property bool __syncingSpinBoxes: false

    function sameDay(a, b) {
        return a.getFullYear() === b.getFullYear() && a.getMonth() === b.getMonth()
                && a.getDate() === b.getDate()
    }

    // True while setMinMaxTime() narrows the spin boxes: a value they clamp
    // is written to currentTime but starts no second round of limiting.
    property bool __limiting: false

    // Narrows one spin box to lo..hi (lo <= hi) without ever letting its
    // minimum pass its maximum on the way.
    function __setRange(spinBox, lo, hi) {
        spinBox.minimumValue = 0
        spinBox.maximumValue = hi
        spinBox.minimumValue = lo
    }

    // On the limit days the time of day is limited too. Limits that cross
    // (written one after the other by a caller moving the period) never give
    // a minimum above the maximum: the maximum wins until both are in place.
    function setMinMaxTime() {
        if (__limiting)
            return
        __limiting = true
        var onMax = sameDay(calendar.selectedDate, calendar.maximumDate)
        var onMin = sameDay(calendar.selectedDate, calendar.minimumDate)

        var hiH = onMax ? maximumDateTime.getHours() : 23
        var loH = onMin ? Math.min(minimumDateTime.getHours(), hiH) : 0
        __setRange(hoursSpinBox, loH, hiH)

        var hiM = onMax && hoursSpinBox.value === hiH ? maximumDateTime.getMinutes() : 59
        var loM = onMin && hoursSpinBox.value === loH ? Math.min(minimumDateTime.getMinutes(), hiM) : 0
        __setRange(minutesSpinBox, loM, hiM)

        var hiS = onMax && hoursSpinBox.value === hiH && minutesSpinBox.value === hiM
                ? maximumDateTime.getSeconds() : 59
        var loS = onMin && hoursSpinBox.value === loH && minutesSpinBox.value === loM
                ? Math.min(minimumDateTime.getSeconds(), hiS) : 0
        __setRange(secondsSpinBox, loS, hiS)
        __limiting = false

        timeLabel.text = Qt.formatTime(currentTime, "hh:mm:ss")
        timeChange()
    }

    function writeTimePart(part, value) {
        if (__syncingSpinBoxes)
            return
        var t = new Date(currentTime.getTime())
        if (part === "h")
            t.setHours(value)
        else if (part === "m")
            t.setMinutes(value)
        else
            t.setSeconds(value)
        if (t.getTime() !== currentTime.getTime())
            currentTime = t
        setMinMaxTime()
    }

    // A time written from outside (a bridge, the period) must show in the
    // spin boxes and the label, otherwise the field displays one time and
    // reports another.
    onCurrentTimeChanged: {
        if (hoursSpinBox.value !== currentTime.getHours()
                || minutesSpinBox.value !== currentTime.getMinutes()
                || secondsSpinBox.value !== currentTime.getSeconds()) {
            __syncingSpinBoxes = true
            hoursSpinBox.minimumValue = 0
            hoursSpinBox.maximumValue = 23
            minutesSpinBox.minimumValue = 0
            minutesSpinBox.maximumValue = 59
            secondsSpinBox.minimumValue = 0
            secondsSpinBox.maximumValue = 59
            hoursSpinBox.value = currentTime.getHours()
            minutesSpinBox.value = currentTime.getMinutes()
            secondsSpinBox.value = currentTime.getSeconds()
            __syncingSpinBoxes = false
        }
        timeLabel.text = Qt.formatTime(currentTime, "hh:mm:ss")
    }

    Rectangle {
        id: field
        height: 32
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 2
        anchors.rightMargin: 4
        color: "#ffffff"
        radius: 3
        border.width: 1
        border.color: "grey"

        Text {
            id: prefixText
            x: 4
            width: 18
            height: 32
            font.bold: true
            font.pixelSize: 16
            verticalAlignment: Text.AlignVCenter
        }
        Text {
            id: dateLabel
            anchors.left: prefixText.right
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            width: 115
            height: 14
            font.pixelSize: 16
            verticalAlignment: Text.AlignVCenter
            text: Qt.formatDate(calendar.selectedDate, "dd.MM.yy")
        }
        Text {
            id: timeLabel
            anchors.left: dateLabel.right
            anchors.right: parent.right
            anchors.rightMargin: 4
            anchors.verticalCenter: parent.verticalCenter
            font.pixelSize: 16
            horizontalAlignment: Text.AlignRight
            text: "12:00"
        }

        MouseArea {
            id: fieldMouse
            anchors.fill: parent
            onClicked: {
                dateTimeEdit.click()
                if (!dropDown.visible) {
                    dropDown.visible = true
                    fadeIn.start()
                } else {
                    fadeOut.start()
                }
            }
        }
    }

    NumberAnimation {
        id: fadeIn
        target: dropDown
        property: "opacity"
        from: 0
        to: 1
        duration: 300
        // Clicks during the fade-in would close the panel before it is seen.
        onStarted: fieldMouse.enabled = false
        onStopped: fieldMouse.enabled = true
    }
    NumberAnimation {
        id: fadeOut
        target: dropDown
        property: "opacity"
        from: 1
        to: 0
        duration: 300
        onStopped: {
            dropDown.visible = false
            fieldMouse.enabled = true
        }
    }

    Rectangle {
        id: dropDown
        objectName: "dropDown"
        visible: false
        height: 241
        anchors.top: field.bottom
        anchors.left: field.left
        anchors.right: field.right
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        color: "white"

        // The open panel lies over whatever is below the field (in a period,
        // the second field); clicks on its blank parts must stop here.
        MouseArea {
            anchors.fill: parent
        }

        Row {
            id: timeRow
            x: 5
            y: 4
            spacing: 2

            Column {
                Text { text: qsTr("ч"); font.pixelSize: 12; anchors.horizontalCenter: parent.horizontalCenter }
                SpinBox {
                    id: hoursSpinBox
                    objectName: "hoursSpinBox"
                    width: 55
                    height: 23
                    font.pixelSize: 16
                    minimumValue: 0
                    maximumValue: 23
                    onValueChanged: dateTimeEdit.writeTimePart("h", value)
                }
            }
            Text { text: ":"; font.pixelSize: 16; font.bold: true; y: 17 }
            Column {
                Text { text: qsTr("мин"); font.pixelSize: 12; anchors.horizontalCenter: parent.horizontalCenter }
                SpinBox {
                    id: minutesSpinBox
                    objectName: "minutesSpinBox"
                    width: 55
                    height: 23
                    font.pixelSize: 16
                    minimumValue: 0
                    maximumValue: 59
                    onValueChanged: dateTimeEdit.writeTimePart("m", value)
                }
            }
            Text { text: ":"; font.pixelSize: 16; font.bold: true; y: 17 }
            Column {
                Text { text: qsTr("сек"); font.pixelSize: 12; anchors.horizontalCenter: parent.horizontalCenter }
                SpinBox {
                    id: secondsSpinBox
                    objectName: "secondsSpinBox"
                    width: 55
                    height: 23
                    font.pixelSize: 16
                    minimumValue: 0
                    maximumValue: 59
                    onValueChanged: dateTimeEdit.writeTimePart("s", value)
                }
            }
        }

        DropShadow {
            anchors.fill: timeRow
            source: timeRow
            color: "#80000000"
            radius: 8
            samples: 10
            horizontalOffset: 3
            verticalOffset: 3
            cached: true
            smooth: true
            z: -1
        }

        Calendar {
            id: calendar
            objectName: "calendar"
            x: 5
            y: 50
            width: 188
            height: parent.height - y - 4
            // Month and day names in Russian like the rest of the program,
            // whatever the system's language.
            locale: Qt.locale("ru_RU")
            onSelectedDateChanged: dateTimeEdit.setMinMaxTime()

            style: CalendarStyle {
                gridVisible: false
                navigationBar: Rectangle {
                    height: 48
                    color: "#F7CEB8"
                    Button {
                        text: "<"
                        width: 32
                        height: 32
                        anchors.left: parent.left
                        anchors.leftMargin: 4
                        anchors.verticalCenter: parent.verticalCenter
                        onClicked: control.showPreviousMonth()
                    }
                    Text {
                        anchors.centerIn: parent
                        text: styleData.title
                        font.pixelSize: 16
                    }
                    Button {
                        text: ">"
                        width: 32
                        height: 32
                        anchors.right: parent.right
                        anchors.rightMargin: 4
                        anchors.verticalCenter: parent.verticalCenter
                        onClicked: control.showNextMonth()
                    }
                }
                dayDelegate: Rectangle {
                    readonly property bool inMonth: styleData.valid && styleData.visibleMonth
                    gradient: Gradient {
                        GradientStop {
                            position: -0.2
                            color: styleData.selected ? "#996633" : (inMonth ? "#ffc6b1" : "#8c8c8c")
                        }
                        GradientStop {
                            position: 0.5
                            color: styleData.selected ? "#996633" : (inMonth ? "#ff9966" : "#8c8c8c")
                        }
                        GradientStop {
                            position: 1.2
                            color: styleData.selected ? "#996633" : (inMonth ? "#ff9966" : "#8c8c8c")
                        }
                    }
                    Text {
                        anchors.centerIn: parent
                        text: styleData.date.getDate()
                        color: styleData.valid ? "white" : "#404040"
                    }
                }
            }
        }

        DropShadow {
            anchors.fill: calendar
            source: calendar
            color: "#80000000"
            radius: 8
            samples: 10
            horizontalOffset: 3
            verticalOffset: 3
            cached: true
            smooth: true
            z: -1
        }
    }
}
