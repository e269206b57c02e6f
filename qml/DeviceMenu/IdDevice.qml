import QtQuick 2.15

DeviceField {
    property string idDevice: "------"
    nameLabel: "ID устройства"
    text: idDevice
}
