import QtQuick 2.15
import QtQuick.Controls 2.15

ApplicationWindow {
    id: window
    title: "Orvelin 1.00"
    property int widthStatic: 1024
    width: widthStatic
    height: 768
    minimumWidth: 1024
    minimumHeight: 768
    visible: true
}
