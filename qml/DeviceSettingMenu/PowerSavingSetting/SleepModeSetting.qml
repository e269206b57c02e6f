import QtQuick 2.15

SliderSetting {
    caption: "Режим 'Сон' "
    from: 0
    to: 200
    stepSize: 10
    valueText: function(v) { return v === 0 ? "выкл" : v + " сек" }
}
