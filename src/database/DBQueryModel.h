#pragma once

#include <QSqlQueryModel>

// A query model whose columns QML addresses by role name: role 257 + i is
// column i of the index's row. The models are filled and completely read in
// the database thread (DataBase::setQuery) before anyone is told about them;
// the GUI thread then only reads them until the next refill.
class DBQueryModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    static constexpr int FirstColumnRole = Qt::UserRole + 1; // 257

    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Display text of every row of a column, in row order.
    QStringList columnTexts(int column) const;

protected:
    virtual QByteArray roleName(int column) const;
    // The column a named role reads, or -1 (role 256, roles past the last column).
    int roleColumn(const QModelIndex& index, int role) const;
};
