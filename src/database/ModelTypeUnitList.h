#pragma once

#include "database/DBTextListModel.h"

// Unit texts offered as a filter (idUnit, unit).
class ModelTypeUnitList : public DBTextListModel
{
    Q_OBJECT
public:
    using DBTextListModel::DBTextListModel;

    // Forgets ticks of units no longer listed first.
    Q_INVOKABLE bool getTickStatus(QString nameField);

    // Sorted without regard to case; a unit deleted since the last
    // getTickStatus may still be among them.
    QStringList tickedItems();
};
