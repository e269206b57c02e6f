import QtQuick 2.15
import QtQuick.Controls 2.15

// An integer spin box that counts tenths: the value 205 is shown as 20.5 in the
// locale's number format, and typed text is read in that format. The arrows
// move by one whole unit.
SpinBox {
    id: box
    editable: true
    stepSize: 10
    font.pixelSize: 14
    implicitWidth: 104

    validator: DoubleValidator {
        locale: box.locale.name
        bottom: Math.min(box.from, box.to) / 10
        top: Math.max(box.from, box.to) / 10
        decimals: 1
        notation: DoubleValidator.StandardNotation
    }

    textFromValue: function(value, locale) {
        return Number(value / 10).toLocaleString(locale, 'f', 1)
    }

    valueFromText: function(text, locale) {
        try {
            return Math.round(Number.fromLocaleString(locale, text) * 10)
        } catch (e) {
            // Unreadable text keeps the value it replaces.
            return box.value
        }
    }
}
