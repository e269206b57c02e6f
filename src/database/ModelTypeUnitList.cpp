#include "database/ModelTypeUnitList.h"

bool ModelTypeUnitList::getTickStatus(QString nameField)
{
    pruneTicks();
    return ticked().contains(nameField);
}

QStringList ModelTypeUnitList::tickedItems()
{
    sortTicks();
    return ticked();
}
