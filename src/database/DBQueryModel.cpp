#include "database/DBQueryModel.h"

#include <QSqlRecord>

QVariant DBQueryModel::data(const QModelIndex& index, int role) const
{
    if (role < Qt::UserRole)
        return QSqlQueryModel::data(index, role);
    const int column = role - FirstColumnRole;
    if (!index.isValid() || column < 0 || column >= columnCount())
        return QVariant();
    return QSqlQueryModel::data(this->index(index.row(), column), Qt::DisplayRole);
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
