import QtQuick 2.15

DeviceField {
    property string typeDevice: "ЗР7.47"
    nameLabel: "Тип устройства"
    text: typeDevice
}
