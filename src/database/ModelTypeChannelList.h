#pragma once

#include "database/DBTextListModel.h"

// Channel names offered as a filter (idTypeChannel, nameChannel). The named
// roles list the names in natural order ("Канал №2" before "Канал №10"),
// whatever order the selection returned them in.
class ModelTypeChannelList : public DBTextListModel
{
    Q_OBJECT
public:
    using DBTextListModel::DBTextListModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // As ticked, not checked against the list.
    Q_INVOKABLE bool getTickStatus(QString nameField) const { return isTicked(nameField); }

    // Sorted without regard to case, limited to the listed channels.
    QStringList tickedItems();
};
