import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// The logging period as hours, minutes and seconds. A period of zero cannot be
// entered: while hours and minutes are both 0 the seconds start at 1.
SettingGroup {
    id: logPeriod
    title: "Время логирования"
    property alias hourPeriod: hours.value
    property alias minutePeriod: minutes.value
    property alias secondPeriod: seconds.value

    GridLayout {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.top: parent.top
        columns: 5
        rowSpacing: 0
        columnSpacing: 4

        NumberSpinBox {
            id: hours
            objectName: "LogPeriodHours"
            from: 0
            to: 23
            Layout.preferredWidth: 70
        }
        Label { text: ":"; font.pixelSize: 16; font.bold: true }
        NumberSpinBox {
            id: minutes
            objectName: "LogPeriodMinutes"
            from: 0
            to: 59
            Layout.preferredWidth: 70
        }
        Label { text: ":"; font.pixelSize: 16; font.bold: true }
        NumberSpinBox {
            id: seconds
            objectName: "LogPeriodSeconds"
            from: hours.value === 0 && minutes.value === 0 ? 1 : 0
            to: 59
            Layout.preferredWidth: 70
        }

        Label { text: "ч"; font.pixelSize: 13; Layout.alignment: Qt.AlignHCenter }
        Item { width: 1; height: 1 }
        Label { text: "мин"; font.pixelSize: 13; Layout.alignment: Qt.AlignHCenter }
        Item { width: 1; height: 1 }
        Label { text: "сек"; font.pixelSize: 13; Layout.alignment: Qt.AlignHCenter }
    }
}
