#include "data/XlsxExporter.h"

#include "base/InstrumentClock.h"

#include "data/CsvExporter.h"
#include "data/FileFailure.h"
#include "data/ModelLogRecord.h"
#include "data/XlsxDocument.h"

#include <QSqlQueryModel>
#include <QSqlRecord>

#include <cmath>

namespace {

const QString sheetName = QStringLiteral("Отчёт");
const QString dateFormatCode = QStringLiteral("dd.mm.yy HH:MM:SS");
constexpr double columnWidth = 22;

struct Formats
{
    int title, columnHeader, subHeader, date, value, unit, text;

    explicit Formats(XlsxDocument& doc)
    {
        XlsxFormatSpec spec;
        spec.bold = true;
        spec.fontSize = 16;
        spec.centerHorizontally = true;
        title = doc.addFormat(spec);

        spec.fontSize = 14;
        spec.centerVertically = true;
        spec.border = XlsxFormatSpec::MediumBorder;
        spec.wrapText = true;
        columnHeader = doc.addFormat(spec);
        spec.fontSize = 10;
        subHeader = doc.addFormat(spec);

        XlsxFormatSpec base;
        base.fontSize = 12;
        base.centerHorizontally = true;
        base.centerVertically = true;
        base.border = XlsxFormatSpec::ThinBorder;
        spec = base;
        spec.numberFormat = dateFormatCode;
        date = doc.addFormat(spec);
        spec = base;
        spec.numberFormatIndex = 2; // 0.00
        value = doc.addFormat(spec);
        spec = base;
        spec.bold = true;
        unit = doc.addFormat(spec);
        spec = base;
        spec.numberFormatIndex = 0; // General
        text = doc.addFormat(spec);
    }
};

// Rows 2 and 3: a measurement spans a value and a unit column, anything
// else spans both rows. Each quantity's first column is widened; the unit
// columns keep the sheet's default width. Returns the number of spreadsheet
// columns used.
int writeHeaderRows(XlsxDocument& doc, const Formats& formats, const QStringList& headers,
                    const QVector<bool>& measurement)
{
    int c = 1;
    for (int i = 0; i < headers.size(); ++i) {
        doc.setColumnWidth(c, columnWidth);
        if (measurement.at(i)) {
            doc.mergeRange(2, c, 2, c + 1, headers.at(i), formats.columnHeader);
            doc.writeText(3, c, QStringLiteral("Значение"), formats.subHeader);
            doc.writeText(3, c + 1, QStringLiteral("ед.изм."), formats.subHeader);
            c += 2;
        } else {
            doc.mergeRange(2, c, 3, c, headers.at(i), formats.columnHeader);
            c += 1;
        }
    }
    return c - 1;
}

void save(XlsxDocument& doc, const QString& path)
{
    if (!doc.save())
        throw fileFailureText(QStringLiteral("Ошибка сохранения xlsx файла"), path);
}

} // namespace

void XlsxExporter::saveLog(const QString& path, const ModelLogRecord& model)
{
    XlsxDocument doc(path, sheetName);
    const Formats formats(doc);

    const int columns = model.columnCount();
    QStringList headers;
    QVector<bool> measurement(columns);
    for (int c = 0; c < columns; ++c) {
        headers << model.headerData(c, Qt::Horizontal).toString();
        measurement[c] = model.headerData(c, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool();
    }
    const int sheetColumns = writeHeaderRows(doc, formats, headers, measurement);
    doc.mergeRange(1, 1, 1, qMax(1, sheetColumns),
                   QStringLiteral("Отчет о работе прибора %1  ID: %2").arg(model.deviceName()).arg(model.deviceId()),
                   formats.title);

    for (int r = 0; r < model.rowCount(); ++r) {
        const int row = r + 4;
        int c = 1;
        for (int column = 0; column < columns; ++column) {
            const QVariant value = model.data(model.index(r, column), ModelLogRecord::ValueRole);
            if (measurement.at(column)) {
                // NaN or infinity would make a cell no spreadsheet can read.
                if (value.isValid() && std::isfinite(value.toDouble())) {
                    doc.writeNumber(row, c, value.toFloat(), formats.value);
                    doc.writeText(row, c + 1, model.data(model.index(r, column), ModelLogRecord::UnitRole).toString(),
                                  formats.unit);
                } else {
                    doc.writeText(row, c, QString(), formats.value);
                    doc.writeText(row, c + 1, QString(), formats.unit);
                }
                c += 2;
            } else {
                // The date cell holds the instrument's own clock reading.
                if (value.canConvert<QDateTime>() && value.toDateTime().isValid())
                    doc.writeDateTime(row, c, value.toDateTime(), formats.date);
                else
                    doc.writeText(row, c, model.data(model.index(r, column)).toString(), formats.date);
                c += 1;
            }
        }
    }
    save(doc, path);
}

void XlsxExporter::saveQuery(const QString& path, const QSqlQueryModel* model)
{
    XlsxDocument doc(path, sheetName);
    const Formats formats(doc);

    const QSqlRecord fields = model ? model->record() : QSqlRecord();
    QStringList headers;
    QVector<bool> measurement(fields.count());
    for (int f = 0; f < fields.count(); ++f) {
        headers << fields.fieldName(f);
        measurement[f] = CsvExporter::isMeasurementField(fields.fieldName(f));
    }
    writeHeaderRows(doc, formats, headers, measurement);

    for (int r = 0; model && r < model->rowCount(); ++r) {
        const QSqlRecord record = model->record(r);
        const int row = r + 4;
        int c = 1;
        for (int f = 0; f < fields.count(); ++f) {
            const QString text = CsvExporter::fieldText(fields.fieldName(f), record.value(f));
            if (measurement.at(f)) {
                // A number a spreadsheet can sum and chart, as in the log's workbook.
                const int space = text.indexOf(QLatin1Char(' '));
                const QString number = space < 0 ? text : text.left(space);
                bool ok = false;
                const double value = number.toDouble(&ok);
                if (ok && std::isfinite(value))
                    doc.writeNumber(row, c, value, formats.value);
                else
                    doc.writeText(row, c, QString(number).replace(QLatin1Char('.'), QLatin1Char(',')), formats.value);
                doc.writeText(row, c + 1, space < 0 ? QString() : text.mid(space), formats.unit);
                c += 2;
            } else {
                // The instrument's clock reading as it stands: read as local
                // time, a reading in the hour a daylight-saving change skips
                // would not be a date and would land in the sheet as text.
                const std::optional<qint64> seconds = InstrumentClock::secondsOfText(text);
                if (seconds)
                    doc.writeDateTime(row, c, QDateTime::fromSecsSinceEpoch(*seconds, Qt::UTC), formats.date);
                else
                    doc.writeText(row, c, text, formats.text);
                c += 1;
            }
        }
    }
    save(doc, path);
}
