import QtQuick 2.15
import QtQuick.Controls 2.15
import "NumberText.js" as NumberText

// An editable spin box for the settings fields. The value counts units of
// 10^-decimals (tenths for decimals = 1) and is shown with the locale's decimal
// point and no group separators. Typed text takes "." or "," as the decimal
// separator; text that is no number, or a number outside from..to, is refused:
// the previous value comes back and a tip says why. A typed number is never
// cut to a limit the user did not type.
SpinBox {
    id: box
    property int decimals: 0
    // The reason the last typed text was refused; empty once a value was taken.
    property string refusal: ""
    editable: true
    font.pixelSize: 14

    validator: RegularExpressionValidator {
        regularExpression: NumberText.typingPattern()
    }

    textFromValue: function(value, locale) {
        return NumberText.formatScaled(value, box.decimals, locale ? locale.decimalPoint : ".")
    }

    // Spin boxes commit typed text through this as well; whatever is not a
    // number inside the range leaves the value as it is.
    valueFromText: function(text, locale) {
        var scaled = NumberText.parseScaled(text, box.decimals)
        return scaled === undefined || isNaN(scaled) || scaled < Math.min(box.from, box.to)
            || scaled > Math.max(box.from, box.to) ? box.value : scaled
    }

    function show(scaled) {
        return NumberText.formatScaled(scaled, decimals, locale.decimalPoint)
    }

    // Takes what the user typed (Enter or leaving the field).
    function commitTyped() {
        var typed = contentItem.text
        if (typed !== displayText) {
            var scaled = NumberText.parseScaled(typed, decimals)
            var low = Math.min(from, to)
            var high = Math.max(from, to)
            if (scaled === undefined) {
                refuse(decimals > 0 ? "Не больше одного знака после запятой" : "Введите целое число")
            } else if (isNaN(scaled)) {
                refuse("Введите число")
            } else if (scaled < low || scaled > high) {
                refuse("Допустимые значения: от " + show(low) + " до " + show(high))
            } else {
                refusal = ""
                if (scaled !== value) {
                    value = scaled
                    valueModified()
                }
            }
        }
        // Back to the shown value, and bound to it again.
        contentItem.text = Qt.binding(function() { return box.displayText })
    }

    function refuse(reason) {
        refusal = reason
        ToolTip.show(reason, 3000)
    }

    Connections {
        target: box.contentItem
        ignoreUnknownSignals: true
        function onEditingFinished() { box.commitTyped() }
    }
}
