#pragma once

#include "database/DBQueryModel.h"

#include <QStringList>

// The record table of the database screen: the pivot selection, one row per
// time stamp and instrument. Its roles are named after the column names
// ("Дата", "Канал №1", …, "№ прибора").
class TableDBModel : public DBQueryModel
{
    Q_OBJECT
    Q_PROPERTY(QStringList roles READ roles CONSTANT)
public:
    using DBQueryModel::DBQueryModel;

    // Column names of the current selection, in column order.
    QStringList roles() const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    QByteArray roleName(int column) const override;
};
