#include "report/MetaTypes.h"

#include "database/DataBaseFilters.h"
#include "database/LogSnapshot.h"
#include "database/PeriodDateTime.h"
#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"
#include "report/PrintSetting.h"

#include <QList>
#include <QMetaType>
#include <QMultiHash>
#include <QSqlQueryModel>

void registerMetaTypes()
{
    qRegisterMetaType<DeviceSettings>("DeviceSettings");
    qRegisterMetaType<DeviceFileInfo>("DeviceFileInfo");
    qRegisterMetaType<QList<DeviceFileInfo>>("QList<DeviceFileInfo>");
    qRegisterMetaType<PeriodDateTime>("PeriodDateTime");
    qRegisterMetaType<QMultiHash<QString, QVariant>>("QMultiHash<QString,QVariant>");
    qRegisterMetaType<DataBaseFilters*>("DataBaseFilters*");
    qRegisterMetaType<QSqlQueryModel*>("QSqlQueryModel*");
    qRegisterMetaType<QList<int>>("QList<int>");
    qRegisterMetaType<LogSnapshot>("LogSnapshot");
    qRegisterMetaType<PrintSetting>("PrintSetting");
}
