import QtQuick 2.15

// A limit field counting tenths: the value 205 is shown as 20.5 (20,5 in a
// Russian locale). The arrows move by one whole unit.
NumberSpinBox {
    decimals: 1
    stepSize: 10
    implicitWidth: 104
}
