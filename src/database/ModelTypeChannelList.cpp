#include "database/ModelTypeChannelList.h"

#include "database/NaturalOrder.h"

#include <algorithm>

QVariant ModelTypeChannelList::data(const QModelIndex& index, int role) const
{
    if (role < Qt::UserRole)
        return DBQueryModel::data(index, role);
    const int column = roleColumn(index, role);
    if (column < 0)
        return QVariant();
    QStringList texts = columnTexts(column);
    std::sort(texts.begin(), texts.end(), naturalLessThan);
    return texts.value(index.row());
}

QStringList ModelTypeChannelList::tickedItems()
{
    sortTicks();
    pruneTicks();
    return ticked();
}
