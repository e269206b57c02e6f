#include "database/DataBaseFilters.h"

#include "database/ModelDeviceList.h"
#include "database/ModelTypeChannelList.h"
#include "database/ModelTypeUnitList.h"

DataBaseFilters::DataBaseFilters(QObject* modelParent)
    : m_modelTypeChannel(new ModelTypeChannelList(modelParent))
    , m_modelTypeUnit(new ModelTypeUnitList(modelParent))
    , m_modelDevice(new ModelDeviceList(modelParent))
{
}

DataBaseFilters::~DataBaseFilters()
{
    // Deleting a child also takes it off its parent's list.
    delete m_modelTypeChannel;
    delete m_modelTypeUnit;
    delete m_modelDevice;
}
