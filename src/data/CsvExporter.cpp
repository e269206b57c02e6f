#include "data/CsvExporter.h"

#include "data/FileFailure.h"
#include "data/ModelLogRecord.h"

#include <QSaveFile>
#include <QSqlQueryModel>
#include <QSqlRecord>

#include <limits>
#include <QTextCodec>

#include <cmath>

namespace {

const QString separator = QStringLiteral(";");
const QString unitHeader = QStringLiteral("ед.изм.");

// Builds the file line by line; each line is encoded as one block.
class CsvText
{
public:
    CsvText() : m_codec(QTextCodec::codecForName("Windows-1251")) {}

    void cell(const QString& text) { m_line += text + separator; }
    void endLine()
    {
        m_line += QLatin1Char('\n');
        m_bytes += m_codec ? m_codec->fromUnicode(m_line) : m_line.toLocal8Bit();
        m_line.clear();
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QTextCodec* m_codec;
    QString m_line;
    QByteArray m_bytes;
};

QString commaDecimal(const QString& text)
{
    QString result = text;
    return result.replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

bool CsvExporter::isMeasurementField(const QString& fieldName)
{
    return fieldName.contains(QStringLiteral("Канал")) || fieldName.contains(QStringLiteral("Доп"));
}

QString CsvExporter::fieldText(const QString& fieldName, const QVariant& value)
{
    // Instrument numbers are stored as signed 32-bit numbers; an ID of 2^31
    // and above is shown as the instrument shows it.
    if (fieldName == QStringLiteral("№ прибора") && !value.isNull()) {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (ok && number < 0 && number >= std::numeric_limits<qint32>::min())
            return QString::number(quint32(qint32(number)));
    }
    return value.toString();
}

QByteArray CsvExporter::logCsv(const ModelLogRecord& model)
{
    CsvText csv;
    csv.cell(QStringLiteral("Прибор: %1").arg(model.deviceName()));
    csv.cell(QStringLiteral("ID: %1").arg(model.deviceId()));
    csv.endLine();

    const int columns = model.columnCount();
    QVector<bool> measurement(columns);
    for (int c = 0; c < columns; ++c) {
        measurement[c] = model.headerData(c, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool();
        csv.cell(model.headerData(c, Qt::Horizontal).toString());
        if (measurement[c])
            csv.cell(unitHeader);
    }
    csv.endLine();

    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = model.index(r, c);
            if (!measurement[c]) {
                csv.cell(model.data(index).toString());
                continue;
            }
            const QVariant value = model.data(index, ModelLogRecord::ValueRole);
            if (!value.isValid() || !std::isfinite(value.toDouble())) {
                csv.cell(QString());
                csv.cell(QString());
                continue;
            }
            csv.cell(commaDecimal(QString::number(value.toFloat(), 'f', 2)));
            csv.cell(model.data(index, ModelLogRecord::UnitRole).toString());
        }
        csv.endLine();
    }
    return csv.bytes();
}

QByteArray CsvExporter::queryCsv(const QSqlQueryModel* model)
{
    CsvText csv;
    if (!model)
        return csv.bytes();
    const QSqlRecord fields = model->record();
    QVector<bool> measurement(fields.count());
    for (int f = 0; f < fields.count(); ++f) {
        measurement[f] = isMeasurementField(fields.fieldName(f));
        csv.cell(fields.fieldName(f));
        if (measurement[f])
            csv.cell(unitHeader);
    }
    csv.endLine();

    for (int r = 0; r < model->rowCount(); ++r) {
        const QSqlRecord row = model->record(r);
        for (int f = 0; f < fields.count(); ++f) {
            const QString text = fieldText(fields.fieldName(f), row.value(f));
            if (!measurement[f]) {
                csv.cell(text);
                continue;
            }
            const int space = text.indexOf(QLatin1Char(' '));
            csv.cell(commaDecimal(space < 0 ? text : text.left(space)));
            csv.cell(space < 0 ? QString() : text.mid(space));
        }
        csv.endLine();
    }
    return csv.bytes();
}

void CsvExporter::writeFile(const QString& path, const QByteArray& bytes)
{
    // Written beside the target and renamed over it only when complete: a
    // failed export (a full disk, say) leaves an earlier file as it was, and
    // a shorter export over a longer file leaves no remains.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileFailureText(QStringLiteral("Ошибка открытия файла"), path);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        throw fileFailureText(QStringLiteral("Ошибка записи файла"), path);
    }
}

void CsvExporter::saveLog(const QString& path, const ModelLogRecord& model)
{
    writeFile(path, logCsv(model));
}

void CsvExporter::saveQuery(const QString& path, const QSqlQueryModel* model)
{
    writeFile(path, queryCsv(model));
}
