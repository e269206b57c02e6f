#include "report/PrintSetting.h"

bool PrintSetting::operator==(const PrintSetting& other) const
{
    return printChart == other.printChart && generalChart == other.generalChart
        && fullReport == other.fullReport && seriesNames == other.seriesNames
        && model == other.model && idDevice == other.idDevice
        && typeDevice == other.typeDevice && beginDateTime == other.beginDateTime
        && endDateTime == other.endDateTime && firstRow == other.firstRow
        && lastRow == other.lastRow && valueRole == other.valueRole
        && unitRole == other.unitRole && columnFlagRole == other.columnFlagRole
        && limits == other.limits;
}
