import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ".."

// Scaling of the 4..20 mA sensor: the measured values at 4 mA and at 20 mA (in
// tenths) and the unit of the measured quantity.
GridLayout {
    id: current
    property alias value4mA: pair.min
    property alias value20mA: pair.max
    property alias unit: unitCombo.currentIndex
    readonly property string unitText: unitCombo.currentIndex > 0 ? unitCombo.currentText : ""
    columns: 2
    rowSpacing: 4
    columnSpacing: 8

    Label {
        text: "Значение при 4 мА"
        font.pixelSize: 14
        Layout.preferredWidth: 170
    }
    TenthsSpinBox {
        id: box4mA
        objectName: "value4mA"
        Layout.preferredWidth: 120
    }
    Label {
        text: "Значение при 20 мА"
        font.pixelSize: 14
        Layout.preferredWidth: 170
    }
    TenthsSpinBox {
        id: box20mA
        objectName: "value20mA"
        Layout.preferredWidth: 120
    }
    Label {
        text: "Единицы измерения \nтокового датчика"
        font.pixelSize: 14
        Layout.preferredWidth: 170
    }
    ComboBox {
        id: unitCombo
        Layout.preferredWidth: 120
        font.pixelSize: 14
        model: ["", "°C", "%", "м/с", "Лк", "мм. рт. ст.", "гПа", "МПа", "ГПА", "м. вод. ст.",
            "А", "мА", "В", "кВт", "Гц"]
    }

    TenthsPair {
        id: pair
        lowerBox: box4mA
        upperBox: box20mA
        lowerBound: -9999.9
        upperBound: 99999.9
        Layout.columnSpan: 2
        Layout.maximumHeight: 0
    }
}
