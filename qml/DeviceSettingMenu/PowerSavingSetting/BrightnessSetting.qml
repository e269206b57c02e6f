import QtQuick 2.15

SliderSetting {
    caption: "Яркость"
    from: 5
    to: 100
    stepSize: 5
    valueText: function(v) { return v + " %" }
}
