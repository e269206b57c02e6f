#pragma once

#include "database/DBQueryModel.h"

#include <QList>

// Instruments offered as a filter (idDevice, typeDevice, aliasDevice) and the
// numbers the user has ticked, which survive refills.
class ModelDeviceList : public DBQueryModel
{
    Q_OBJECT
public:
    using DBQueryModel::DBQueryModel;

    // Ticking again moves the number to the end of the ticked list.
    Q_INVOKABLE void setTickStatus(int nameField, bool ticks);
    // Forgets ticks of instruments no longer listed first.
    Q_INVOKABLE bool getTickStatus(int nameField);

    // In tick order, as ticked (not checked against the list).
    QList<int> tickedItems() const { return m_ticked; }

    // Drops the ticks of instruments that are no longer listed.
    void pruneTicks();

private:
    QList<int> m_ticked;
};
