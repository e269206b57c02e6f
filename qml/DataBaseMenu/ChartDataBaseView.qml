import QtQuick 2.15
import QtQuick.Controls 2.15
import QtCharts 2.15
import "../DataMenu"

// Chart of the selection's channel columns against time, one line and one
// value axis per column. Left-drag draws a rectangle to zoom into, right-drag
// scrolls, the wheel zooms, a double click shows the whole selection again.
Item {
    id: element
    property alias minAxisX: axisDateX.min
    property alias maxAxisX: axisDateX.max
    property alias modelNameSeries: legend.model
    readonly property int seriesCount: legend.model.count

    property real xScaleZoom: 1.0
    property real yScaleZoom: 1.0
    property real xScroll: 0
    property real yScroll: 0
    readonly property bool zoomed: xScaleZoom !== 1.0 || yScaleZoom !== 1.0 || xScroll !== 0 || yScroll !== 0

    // Ranges of the whole selection, restored by a reset.
    property var homeMinX: null
    property var homeMaxX: null
    property var valueAxes: []
    // The chart keeps an axis once it has been added, so the axes of removed
    // lines are hidden and reused in line order.
    property var createdAxes: []
    property int axesInUse: 0

    // Only measured columns become lines; the time stamp and the instrument
    // number do not.
    function isChannel(role) {
        return role.indexOf("Канал") >= 0 || role.indexOf("Доп.") >= 0
    }

    function addLineSeries(role) {
        if (!isChannel(role))
            return
        if (axesInUse === createdAxes.length)
            createdAxes.push(valueAxisComponent.createObject(chartView))
        var axisY = createdAxes[axesInUse++]
        axisY.visible = true
        var series = chartView.createSeries(ChartView.SeriesTypeLine, role, axisDateX, axisY)
        series.width = 1.5
        series.markerSize = 8
        dataBaseWindow.updateSeries(series, role)
        dataBaseWindow.updateMinMaxAxisY(series, axisY)
        axisY.color = series.color
        axisY.labelsColor = Qt.darker(series.color, 1.3)
        valueAxes.push({ "axis": axisY, "min": axisY.min, "max": axisY.max })
        extendTimeRange(series)
        legend.model.append({ "name": role, "checkBoxValue": true, "series": series, "axis": axisY })
    }

    function removeSeries() {
        legend.model.clear()
        chartView.zoomReset()
        chartView.removeAllSeries()
        for (var i = 0; i < createdAxes.length; ++i) {
            createdAxes[i].visible = false
            createdAxes[i].min = 0
            createdAxes[i].max = 1
        }
        axesInUse = 0
        valueAxes = []
        homeMinX = null
        homeMaxX = null
        axisDateX.min = new Date(2000, 0, 1)
        axisDateX.max = new Date(2000, 0, 2)
        clearZoomState()
    }

    // The lines come in time order, so their first and last points bound them.
    function extendTimeRange(series) {
        if (series.count === 0)
            return
        var low = series.at(0).x
        var high = series.at(series.count - 1).x
        if (homeMinX === null || low < homeMinX)
            homeMinX = low
        if (homeMaxX === null || high > homeMaxX)
            homeMaxX = high
        showHomeRange()
    }

    // The whole selection; a single instant gets a second on either side.
    function showHomeRange() {
        if (homeMinX === null)
            return
        axisDateX.min = new Date(homeMinX === homeMaxX ? homeMinX - 1000 : homeMinX)
        axisDateX.max = new Date(homeMinX === homeMaxX ? homeMaxX + 1000 : homeMaxX)
    }

    function clearZoomState() {
        xScaleZoom = 1.0
        yScaleZoom = 1.0
        xScroll = 0
        yScroll = 0
    }

    function zoomReset() {
        chartView.zoomReset()
        showHomeRange()
        for (var i = 0; i < valueAxes.length; ++i) {
            valueAxes[i].axis.min = valueAxes[i].min
            valueAxes[i].axis.max = valueAxes[i].max
        }
        clearZoomState()
    }

    function zoomIn(rect) {
        if (rect.width < 4 || rect.height < 4)
            return
        xScaleZoom *= chartView.plotArea.width / rect.width
        yScaleZoom *= chartView.plotArea.height / rect.height
        chartView.zoomIn(rect)
    }

    function zoomBy(factor) {
        xScaleZoom *= factor
        yScaleZoom *= factor
        chartView.zoom(factor)
    }

    function scrollBy(dx, dy) {
        if (dx > 0)
            chartView.scrollLeft(dx)
        else if (dx < 0)
            chartView.scrollRight(-dx)
        if (dy > 0)
            chartView.scrollUp(dy)
        else if (dy < 0)
            chartView.scrollDown(-dy)
        xScroll += dx
        yScroll += dy
    }

    Component {
        id: valueAxisComponent
        ValueAxis {
            tickCount: 15
            labelFormat: "%10.2f"
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "white"
        radius: 4
        border.width: 1
        border.color: "#e6e6e6"
    }

    ChartView {
        id: chartView
        objectName: "Chart"
        anchors.top: toolBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: legendFrame.top
        title: qsTr("График работы прибора ")
        titleFont.pixelSize: 16
        titleFont.bold: true
        legend.visible: false
        antialiasing: true
        backgroundColor: "transparent"
        margins.top: 4
        margins.bottom: 4
        margins.left: 4
        margins.right: 8

        DateTimeAxis {
            id: axisDateX
            format: "dd.MM.yy hh:mm:ss"
            tickCount: 25
            labelsAngle: -90
            labelsFont.pixelSize: 10
            min: new Date(2000, 0, 1)
            max: new Date(2000, 0, 2)
        }

        Rectangle {
            id: recZoom
            visible: false
            color: "steelblue"
            opacity: 0.3
            border.color: "steelblue"
            border.width: 1
        }

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            property point pressPoint
            property point lastPoint
            property bool selecting: false

            onPressed: {
                pressPoint = Qt.point(mouse.x, mouse.y)
                lastPoint = pressPoint
                var area = chartView.plotArea
                selecting = mouse.button === Qt.LeftButton
                            && mouse.x >= area.x && mouse.x <= area.x + area.width
                            && mouse.y >= area.y && mouse.y <= area.y + area.height
                if (selecting) {
                    recZoom.x = mouse.x
                    recZoom.y = mouse.y
                    recZoom.width = 0
                    recZoom.height = 0
                    recZoom.visible = true
                }
            }
            onPositionChanged: {
                if (selecting) {
                    var area = chartView.plotArea
                    var x = Math.max(area.x, Math.min(mouse.x, area.x + area.width))
                    var y = Math.max(area.y, Math.min(mouse.y, area.y + area.height))
                    recZoom.x = Math.min(pressPoint.x, x)
                    recZoom.y = Math.min(pressPoint.y, y)
                    recZoom.width = Math.abs(x - pressPoint.x)
                    recZoom.height = Math.abs(y - pressPoint.y)
                } else if (pressedButtons & Qt.RightButton) {
                    element.scrollBy(mouse.x - lastPoint.x, mouse.y - lastPoint.y)
                    lastPoint = Qt.point(mouse.x, mouse.y)
                }
            }
            onReleased: {
                if (selecting) {
                    recZoom.visible = false
                    selecting = false
                    element.zoomIn(Qt.rect(recZoom.x, recZoom.y, recZoom.width, recZoom.height))
                }
            }
            onDoubleClicked: element.zoomReset()
            onWheel: element.zoomBy(wheel.angleDelta.y > 0 ? 1.25 : 0.8)
        }
    }

    Item {
        id: toolBar
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 4
        height: 36

        Text {
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.right: zoomButtons.left
            anchors.verticalCenter: parent.verticalCenter
            text: "Выделите область мышью, чтобы увеличить; правая кнопка сдвигает график"
            font.pixelSize: 11
            color: "#7a6a62"
            elide: Text.ElideRight
        }

        Row {
            id: zoomButtons
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4
            Button {
                width: 124
                height: 34
                visible: element.zoomed
                text: "Сбросить\nмасштабирование"
                font.pixelSize: 10
                onClicked: element.zoomReset()
            }
            Button {
                width: 124
                height: 34
                text: "Уменьшить\nмасштабирование"
                font.pixelSize: 10
                onClicked: element.zoomBy(1 / 1.5)
            }
            Button {
                width: 124
                height: 34
                text: "Увеличить\nмасштабирование"
                font.pixelSize: 10
                onClicked: element.zoomBy(1.5)
            }
        }
    }

    Rectangle {
        id: legendFrame
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 4
        height: 36
        radius: 4
        color: "#fdf1eb"

        LegendModel {
            id: legend
            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 12
        }
    }
}
