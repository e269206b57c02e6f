import QtQuick 2.15
import QtQuick.Controls 2.15
import QtCharts 2.15

// A chart of measured columns against time, one line and one value axis per
// column, shared by the data screen and the database screen. Left-drag draws
// a rectangle to zoom into, right-drag scrolls, the wheel zooms, a double
// click restores the whole range.
//
// The time axis holds the instrument's clock readings (milliseconds of that
// clock since 1970) and is labelled by the screen's bridge from them, with no
// time zone in between. The lines come from the bridge thinned to the plot's
// width; after every zoom or scroll they are refilled for the range then
// shown. A line is known by its key (the column it shows); the bridge offers
// keepTimeAxisLabelled(axis), updateMinMaxAxisY(series, axis),
// seriesTimeSpan(key) and refillSeries(series, key, minX, maxX, columns).
Item {
    id: element
    // The screen's bridge, asked for when it is needed (it is published
    // after the screens are loaded).
    property var bridge: function() { return null }
    // Fills the series of a new line from the screen's model.
    property var fillLine: function(series, key) {}
    // Alarm limits of the lines (a model with limitsOf(key) and the
    // signal limitsChanged), drawn as dashed lines in the line's colour.
    property var limitsModel: null
    // The limit lines drawn now; two points each, far beyond any log, so
    // zooming and scrolling never run out of them and nothing thins them.
    property var limitSeries: []
    readonly property real farPastX: 0
    readonly property real farFutureX: 4102444800000

    property alias minAxisX: axisDateX.min
    property alias maxAxisX: axisDateX.max
    property alias modelNameSeries: legend.model
    property alias chartName: chartView.objectName
    readonly property int seriesCount: legend.model.count

    property real xScaleZoom: 1.0
    property real yScaleZoom: 1.0
    property real xScroll: 0
    property real yScroll: 0
    readonly property bool zoomed: xScaleZoom !== 1.0 || yScaleZoom !== 1.0 || xScroll !== 0 || yScroll !== 0

    // Ranges of the whole chart, restored by a reset.
    property var homeMinX: null
    property var homeMaxX: null
    property var valueAxes: []
    // The chart keeps an axis once it has been added, so the axes of removed
    // lines are hidden and reused: line k always gets the k-th axis ever made,
    // which keeps the axes in line order beside the plot.
    property var createdAxes: []
    property int axesInUse: 0
    // The bridge labels the time axis with clock readings once it exists.
    property bool timeAxisLabelled: false

    function addLine(key, name) {
        var screen = bridge()
        if (!timeAxisLabelled) {
            screen.keepTimeAxisLabelled(axisDateX)
            timeAxisLabelled = true
        }
        if (axesInUse === createdAxes.length)
            createdAxes.push(valueAxisComponent.createObject(chartView))
        var axisY = createdAxes[axesInUse++]
        axisY.visible = true
        var series = chartView.createSeries(ChartView.SeriesTypeLine, name, axisDateX, axisY)
        series.width = 1.5
        series.markerSize = 8
        fillLine(series, key)
        screen.updateMinMaxAxisY(series, axisY)
        axisY.color = series.color
        axisY.labelsColor = Qt.darker(series.color, 1.3)
        valueAxes.push({ "axis": axisY, "min": axisY.min, "max": axisY.max })
        extendTimeRange(screen.seriesTimeSpan(key))
        legend.model.append({ "name": name, "checkBoxValue": true, "series": series, "axis": axisY, "key": key,
                             "limits": "" })
        addLimitLines(legend.model.count - 1)
    }

    function addLimitLines(i) {
        var entry = legend.model.get(i)
        var limits = limitsModel ? limitsModel.limitsOf(entry.key) : null
        if (!limits || limits.lower === undefined) {
            legend.model.setProperty(i, "limits", "")
            return
        }
        var values = [limits.lower, limits.upper]
        for (var k = 0; k < 2; ++k) {
            var line = chartView.createSeries(ChartView.SeriesTypeLine,
                                              entry.name + (k === 0 ? ": нижний предел" : ": верхний предел"),
                                              axisDateX, entry.axis)
            line.color = entry.series.color
            line.width = 1
            line.style = Qt.DashLine
            line.append(farPastX, values[k])
            line.append(farFutureX, values[k])
            line.visible = Qt.binding(function(owner) { return function() { return owner.visible } }(entry.series))
            limitSeries.push(line)
        }
        legend.model.setProperty(i, "limits", limits.lower.toFixed(2) + " .. " + limits.upper.toFixed(2))
        // The axis shows both limits, also after a reset.
        var margin = (limits.upper - limits.lower) * 0.05
        var home = valueAxes[i]
        home.min = Math.min(home.min, limits.lower - margin)
        home.max = Math.max(home.max, limits.upper + margin)
        if (!zoomed) {
            entry.axis.min = home.min
            entry.axis.max = home.max
        }
    }

    // The limits changed: every line's limit lines are drawn anew.
    function updateLimitLines() {
        for (var j = 0; j < limitSeries.length; ++j)
            chartView.removeSeries(limitSeries[j])
        limitSeries = []
        for (var i = 0; i < legend.model.count; ++i)
            addLimitLines(i)
    }
    Connections {
        target: element.limitsModel
        function onLimitsChanged() { element.updateLimitLines() }
    }

    function removeSeries() {
        legend.model.clear()
        chartView.zoomReset()
        chartView.removeAllSeries()
        limitSeries = []
        // Back to the range a new axis starts with: the next line's own range
        // then always differs from it, and setting it lays the line out.
        for (var i = 0; i < createdAxes.length; ++i) {
            createdAxes[i].visible = false
            createdAxes[i].min = 0
            createdAxes[i].max = 1
        }
        axesInUse = 0
        valueAxes = []
        homeMinX = null
        homeMaxX = null
        setTimeRange(emptyMinX, emptyMaxX)
        clearZoomState()
    }

    // Range of an empty chart: the first day of 2000 on the instrument's clock.
    readonly property real emptyMinX: 946684800000
    readonly property real emptyMaxX: 946771200000

    function setTimeRange(low, high) {
        // Widened first, so the axis never passes through max < min.
        if (low < axisDateX.min)
            axisDateX.min = low
        axisDateX.max = high
        axisDateX.min = low
    }

    // A line's span is its smallest and largest time, not its first and last
    // point: the instrument's clock may have been set back while logging.
    function extendTimeRange(span) {
        if (span.count === 0)
            return
        if (homeMinX === null || span.min < homeMinX)
            homeMinX = span.min
        if (homeMaxX === null || span.max > homeMaxX)
            homeMaxX = span.max
        showHomeRange()
    }

    // The whole range; a single instant gets a second on either side.
    function showHomeRange() {
        if (homeMinX === null)
            return
        if (homeMinX === homeMaxX)
            setTimeRange(homeMinX - 1000, homeMaxX + 1000)
        else
            setTimeRange(homeMinX, homeMaxX)
    }

    // Every line again for the range now shown, at the plot's pixel width.
    function refillVisible() {
        var columns = Math.max(1, Math.round(chartView.plotArea.width))
        var screen = bridge()
        for (var i = 0; i < legend.model.count; ++i) {
            var entry = legend.model.get(i)
            screen.refillSeries(entry.series, entry.key, axisDateX.min, axisDateX.max, columns)
        }
    }
    function scheduleRefill() {
        if (legend.model.count === 0)
            return
        Qt.callLater(refillVisible)
        // While the range keeps changing (zoom, scroll) the lines are drawn
        // without antialiasing, which halves the time to the next frame; the
        // smooth drawing comes back once the chart stands still.
        chartView.antialiasing = false
        smoothAgain.restart()
    }

    Timer {
        id: smoothAgain
        interval: 300
        onTriggered: chartView.antialiasing = true
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
        onPlotAreaChanged: element.scheduleRefill()
        margins.top: 4
        margins.bottom: 4
        margins.left: 4
        margins.right: 8

        CategoryAxis {
            id: axisDateX
            labelsPosition: CategoryAxis.AxisLabelsPositionOnValue
            labelsAngle: -90
            labelsFont.pixelSize: 10
            min: element.emptyMinX
            max: element.emptyMaxX
            onMinChanged: element.scheduleRefill()
            onMaxChanged: element.scheduleRefill()
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
            id: chartMouse
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
