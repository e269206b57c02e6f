import QtQuick 2.15
import QtTest 1.15
import "qrc:/DataMenu"
import "qrc:/DataBaseMenu"

// Panels of the data screen and the database screen's report options.
TestCase {
    id: testCase
    name: "DataMenuPanels"
    width: 900
    height: 700
    visible: true
    when: windowShown

    Component { id: loadComponent; ProcessLoadToDB {} }
    Component { id: legendComponent; LegendModel { width: 600; height: 36 } }
    Component { id: reportSetupComponent; ReportSetup {} }
    Component { id: dbPanelComponent; PrintReportDBWindow {} }
    Component { id: fakeSeries; QtObject { property bool visible: true; property int count: 3; property color color: "red" } }
    Component { id: fakeAxis; QtObject { property bool visible: true } }

    SignalSpy { id: printSpy; signalName: "clickButtonPrintDB" }
    SignalSpy { id: previewSpy; signalName: "clickButtonPreviewPrintDB" }

    function test_loadProgress_neverShowsHundredEarly() {
        var popup = createTemporaryObject(loadComponent, testCase)
        verify(popup !== null)
        var text = findChild(popup, "progressText")
        popup.progressLoadToDB = 42.5
        compare(text.text, "42.5 %")
        popup.progressLoadToDB = 99.99
        compare(text.text, "99.9 %")
    }

    function test_loadProgress_removesItselfAfterHundred() {
        var popup = loadComponent.createObject(testCase)
        var gone = false
        popup.Component.destruction.connect(function() { gone = true })
        popup.progressLoadToDB = 100
        tryVerify(function() { return gone }, 3000)
    }

    function test_legend_checkBoxShowsAndHidesSeriesAndAxis() {
        var legend = createTemporaryObject(legendComponent, testCase)
        var series = createTemporaryObject(fakeSeries, testCase)
        var axis = createTemporaryObject(fakeAxis, testCase)
        var empty = createTemporaryObject(fakeSeries, testCase, { "count": 0 })
        var emptyAxis = createTemporaryObject(fakeAxis, testCase, { "visible": false })
        legend.model.append({ "name": "Канал №1", "checkBoxValue": true, "series": series, "axis": axis })
        legend.model.append({ "name": "Канал №2", "checkBoxValue": true, "series": empty, "axis": emptyAxis })
        waitForRendering(legend)

        // The report panel shares the flag: clearing it there hides the line.
        legend.model.setProperty(0, "checkBoxValue", false)
        verify(!series.visible)
        verify(!axis.visible)
        legend.model.setProperty(0, "checkBoxValue", true)
        verify(series.visible)
        verify(axis.visible)
        // A line without points keeps its axis hidden when shown again.
        legend.model.setProperty(1, "checkBoxValue", false)
        legend.model.setProperty(1, "checkBoxValue", true)
        verify(empty.visible)
        verify(!emptyAxis.visible)
    }

    function test_reportSetup_startState_andChartGroupFollowsPrinting() {
        var setup = createTemporaryObject(reportSetupComponent, testCase)
        verify(setup.sizeReport)
        verify(!setup.isPrinting)
        verify(setup.generalChart)
        var group = findChild(setup, "itemColumns")
        verify(!group.enabled)
        setup.isPrinting = true
        verify(group.enabled)
        tryCompare(group, "opacity", 1.0, 2000)
        setup.isPrinting = false
        verify(!group.enabled)
        tryCompare(group, "opacity", 0.0, 2000)
    }

    function test_reportSetup_seriesListWritesBackChoice() {
        var setup = createTemporaryObject(reportSetupComponent, testCase)
        var list = Qt.createQmlObject("import QtQuick 2.15; ListModel {}", setup)
        list.append({ "name": "Канал №1", "checkBoxValue": true })
        list.append({ "name": "Канал №2", "checkBoxValue": true })
        setup.model = list
        setup.isPrinting = true
        var view = findChild(setup, "listNameSeries")
        tryCompare(view, "count", 2)
        waitForRendering(view)
        var box = view.itemAtIndex(1)
        verify(box !== null)
        mouseClick(box)
        compare(list.get(1).checkBoxValue, false)
        compare(list.get(0).checkBoxValue, true)
    }

    function test_databasePanel_startStateAndButtons() {
        var panel = createTemporaryObject(dbPanelComponent, testCase)
        verify(!panel.isShortReport)
        verify(!panel.isPrintChart)
        verify(panel.isGeneralChart)
        verify(!findChild(panel, "itemSettingChart").enabled)
        panel.isPrintChart = true
        verify(findChild(panel, "itemSettingChart").enabled)

        printSpy.target = panel
        previewSpy.target = panel
        printSpy.clear()
        previewSpy.clear()
        mouseClick(findChild(panel, "printButtonDB"))
        mouseClick(findChild(panel, "previewButtonDB"))
        compare(printSpy.count, 1)
        compare(previewSpy.count, 1)
    }
}
