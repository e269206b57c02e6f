import QtQuick 2.15
import QtQuick.Layouts 1.15

// A thin rule between two rows of limits.
Rectangle {
    Layout.fillWidth: true
    Layout.preferredHeight: 1
    color: "#e6c4b4"
}
