#pragma once

#include "data/LogLimits.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QAbstractTableModel;
QT_END_NAMESPACE

// Options of one print or preview request, copied into every queued call.
// A producer sets only the fields its report flow reads; the database screen,
// for instance, leaves the log-file fields (series, model, device, roles) alone.
struct PrintSetting
{
    bool printChart = false;
    // One common chart for all series, or one chart per series.
    bool generalChart = false;
    // Full report with the record table, or the short one.
    bool fullReport = false;
    // Log-file report: series chosen for the charts, in list order.
    QStringList seriesNames;
    // Log-file report: the log table model (not owned).
    QAbstractTableModel* model = nullptr;
    unsigned int idDevice = 0;
    QString typeDevice;
    QDateTime beginDateTime;
    QDateTime endDateTime;
    // Model rows at which the period begins and ends (both included).
    int firstRow = 0;
    int lastRow = 0;
    int valueRole = 0;
    int unitRole = 0;
    int columnFlagRole = 0;
    // Alarm limits the screen applies, by column of `model`; a report with
    // any carries the section "Соответствие пределам".
    ColumnLimitSet limits;

    bool operator==(const PrintSetting& other) const;
    bool operator!=(const PrintSetting& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(PrintSetting)
