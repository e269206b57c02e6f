#pragma once

#include "database/PeriodDateTime.h"

#include <QMetaType>

class ModelDeviceList;
class ModelTypeChannelList;
class ModelTypeUnitList;
class QObject;

// What the database screen offers as filters: the stored period and the lists
// of channels, units and instruments. It owns its three models. They are
// children of `modelParent` (the database interactor), so they follow it into
// its thread, where they are filled.
class DataBaseFilters
{
public:
    explicit DataBaseFilters(QObject* modelParent = nullptr);
    ~DataBaseFilters();
    DataBaseFilters(const DataBaseFilters&) = delete;
    DataBaseFilters& operator=(const DataBaseFilters&) = delete;

    PeriodDateTime period() const { return m_period; }
    void setPeriod(const PeriodDateTime& period) { m_period = period; }

    ModelTypeChannelList* modelTypeChannel() const { return m_modelTypeChannel; }
    ModelTypeUnitList* modelTypeUnit() const { return m_modelTypeUnit; }
    ModelDeviceList* modelDevice() const { return m_modelDevice; }

private:
    PeriodDateTime m_period;
    ModelTypeChannelList* m_modelTypeChannel;
    ModelTypeUnitList* m_modelTypeUnit;
    ModelDeviceList* m_modelDevice;
};

Q_DECLARE_METATYPE(DataBaseFilters*)
