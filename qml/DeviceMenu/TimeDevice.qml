import QtQuick 2.15

DeviceField {
    property string timeDevice: "00:00:00 01.12.2019"
    nameLabel: "Время прибора"
    text: timeDevice
}
