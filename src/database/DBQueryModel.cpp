#include "database/DBQueryModel.h"

#include <QSqlRecord>

QVariant DBQueryModel::data(const QModelIndex& index, int role) const
{
    if (role < Qt::UserRole)
        return QSqlQueryModel::data(index, role);
    const int column = roleColumn(index, role);
    return column < 0 ? QVariant() : QSqlQueryModel::data(this->index(index.row(), column), Qt::DisplayRole);
}

int DBQueryModel::roleColumn(const QModelIndex& index, int role) const
{
    const int column = role - FirstColumnRole;
    return index.isValid() && column >= 0 && column < columnCount() ? column : -1;
}

QHash<int, QByteArray> DBQueryModel::roleNames() const
{
    QHash<int, QByteArray> roles = QSqlQueryModel::roleNames();
    const int columns = record().count();
    for (int i = 0; i < columns; ++i)
        roles.insert(FirstColumnRole + i, roleName(i));
    return roles;
}

QByteArray DBQueryModel::roleName(int column) const
{
    return QStringLiteral("Field%1").arg(column).toUtf8();
}

QStringList DBQueryModel::columnTexts(int column) const
{
    QStringList texts;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        texts << QSqlQueryModel::data(index(row, column), Qt::DisplayRole).toString();
    return texts;
}
