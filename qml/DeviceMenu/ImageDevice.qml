import QtQuick 2.15

// Picture of the connected instrument.
Item {
    id: imageDevice
    property string pathImage: "/images/deviceZR74X.png"
    width: 221
    height: 500

    Image {
        anchors.fill: parent
        source: imageDevice.pathImage
        fillMode: Image.PreserveAspectFit
        smooth: true
        mipmap: true
    }
}
