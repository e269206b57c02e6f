#include "database/TableDBModel.h"

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
