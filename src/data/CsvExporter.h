#pragma once

#include <QVariant>

#include <QByteArray>
#include <QString>

class ModelLogRecord;
class QSqlQueryModel;

// Semicolon-separated export for a spreadsheet with Russian regional settings:
// every cell is followed by ';', lines end with LF, decimals use a comma, and
// the text is encoded in Windows-1251 on every platform. A measurement column
// takes two cells, its value and its unit.
class CsvExporter
{
public:
    // Writes the log table, replacing any earlier file whole, and only once
    // the new file is complete. Throws "Ошибка открытия файла" or "Ошибка записи файла".
    static void saveLog(const QString& path, const ModelLogRecord& model);
    static void saveQuery(const QString& path, const QSqlQueryModel* model);

    // The encoded file contents.
    static QByteArray logCsv(const ModelLogRecord& model);
    static QByteArray queryCsv(const QSqlQueryModel* model);
    // A selection field's value as the user reads it (instrument numbers unsigned).
    static QString fieldText(const QString& fieldName, const QVariant& value);

    // Database fields holding measurements ("Канал..." or "Доп...").
    static bool isMeasurementField(const QString& fieldName);

private:
    static void writeFile(const QString& path, const QByteArray& bytes);
};
