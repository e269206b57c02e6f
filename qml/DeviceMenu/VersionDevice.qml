import QtQuick 2.15

DeviceField {
    property string versionDevice: "0.8"
    nameLabel: "Версия ПО"
    text: versionDevice
}
