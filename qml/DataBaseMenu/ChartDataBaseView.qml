import QtQuick 2.15
import "../DataMenu"

// Chart of the selection's channel columns against time (see TimeChart), fed
// by the database screen's bridge; a line is known by its column's role name.
TimeChart {
    id: element
    chartName: "Chart"

    bridge: function() { return dataBaseWindow }
    fillLine: function(series, role) { dataBaseWindow.updateSeries(series, role) }

    // Only measured columns become lines; the time stamp and the instrument
    // number do not.
    function addLineSeries(role) {
        if (role.indexOf("Канал") >= 0 || role.indexOf("Доп.") >= 0)
            addLine(role, role)
    }
}
