import QtQuick 2.15
import "../DataMenu"

// Chart of the selection's channel columns against time (see TimeChart), fed
// by the database screen's bridge; a line is known by its key: its column's
// role name, with the unit where the column holds several.
TimeChart {
    id: element
    chartName: "Chart"

    bridge: function() { return dataBaseWindow }
    fillLine: function(series, role) { dataBaseWindow.updateSeries(series, role) }

    // Only measured columns become lines; the time stamp and the instrument
    // number do not. A column whose sensor was changed gives a line per unit,
    // named with it: values of different units are never joined.
    function addLineSeries(role) {
        if (role.indexOf("Канал") < 0 && role.indexOf("Доп.") < 0)
            return
        var lines = dataBaseWindow.chartLines(role)
        for (var i = 0; i < lines.length; ++i)
            addLine(lines[i].key, lines[i].name)
    }
}
