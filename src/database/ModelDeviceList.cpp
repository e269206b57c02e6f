#include "database/ModelDeviceList.h"

void ModelDeviceList::setTickStatus(int nameField, bool ticks)
{
    m_ticked.removeAll(nameField);
    if (ticks)
        m_ticked.append(nameField);
}

bool ModelDeviceList::getTickStatus(int nameField)
{
    pruneTicks();
    return m_ticked.contains(nameField);
}

void ModelDeviceList::pruneTicks()
{
    QList<int> listed;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        listed << QSqlQueryModel::data(index(row, 0)).toInt();
    QList<int> kept;
    for (int id : qAsConst(m_ticked))
        if (listed.contains(id))
            kept << id;
    m_ticked = kept;
}
