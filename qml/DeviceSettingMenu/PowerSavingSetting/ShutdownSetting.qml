import QtQuick 2.15

SliderSetting {
    caption: "Автовыключение"
    from: 0
    to: 60
    stepSize: 1
    valueText: function(v) { return v === 0 ? "выкл" : v + " мин" }
}
