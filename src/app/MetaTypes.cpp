#include "app/MetaTypes.h"

#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"
#include "report/PrintSetting.h"

#include <QMetaType>

void registerMetaTypes()
{
    qRegisterMetaType<DeviceSettings>("DeviceSettings");
    qRegisterMetaType<DeviceFileInfo>("DeviceFileInfo");
    qRegisterMetaType<QList<DeviceFileInfo>>("QList<DeviceFileInfo>");
    qRegisterMetaType<PrintSetting>("PrintSetting");
}
