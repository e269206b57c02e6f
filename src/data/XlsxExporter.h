#pragma once

#include <QString>

class ModelLogRecord;
class QSqlQueryModel;

// Workbook export: one sheet "Отчёт", a merged title row (log only), two
// header rows with a value and a unit sub-column per measurement, data from
// row 4. Throws "Ошибка сохранения xlsx файла" when the workbook cannot be saved.
class XlsxExporter
{
public:
    static void saveLog(const QString& path, const ModelLogRecord& model);
    static void saveQuery(const QString& path, const QSqlQueryModel* model);
};
