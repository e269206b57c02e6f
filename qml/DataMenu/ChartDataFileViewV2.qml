import QtQuick 2.15

// Chart of the log table's columns against time (see TimeChart), fed by the
// data screen's bridge; a line is known by its column number.
TimeChart {
    id: element
    bridge: function() { return dataWindow }
    fillLine: function(series, numberColumn) { dataWindow.updateSeriesFromModel(series, numberColumn) }

    function addLineSeries(numberColumn, nameColumn) {
        addLine(numberColumn, nameColumn)
    }
}
