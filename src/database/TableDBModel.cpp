#include "database/TableDBModel.h"

#include "data/CsvExporter.h"

#include <QSqlRecord>

QStringList TableDBModel::roles() const
{
    QStringList names;
    const QSqlRecord fields = record();
    for (int i = 0; i < fields.count(); ++i)
        names << fields.fieldName(i);
    return names;
}

QByteArray TableDBModel::roleName(int column) const
{
    return record().fieldName(column).toUtf8();
}

QVariant TableDBModel::data(const QModelIndex& index, int role) const
{
    const QVariant value = DBQueryModel::data(index, role);
    // The instrument number is the last column; shown as the instrument
    // shows it, also from 2^31 on (stored as a signed number).
    const int column = role == Qt::DisplayRole ? index.column() : role >= Qt::UserRole ? roleColumn(index, role) : -1;
    if (column < 0 || column != columnCount() - 1)
        return value;
    const QString name = record().fieldName(column);
    return CsvExporter::fieldText(name, value);
}
