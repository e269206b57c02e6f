// A .LOG file, as any bytes, opened the way the data screen opens it and
// saved the way it saves: a damaged file is refused with its message; any
// other gives one table row per whole record with the channels the record
// holds (a value that is no number shows as an empty cell), statistics that
// point at rows of the table and never read "nan", a CSV whose every line has
// the header's cells, and a workbook a spreadsheet program can read.

#include "FuzzApp.h"
#include "FuzzCheck.h"
#include "XlsxParts.h"

#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "device/FilesInteractor.h"

#include <QFile>
#include <QTextCodec>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

const QString damaged = QStringLiteral("Файл поврежден");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

float floatAt(const char* at)
{
    const quint32 bits = qFromLittleEndian<quint32>(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool present(quint8 code)
{
    return code == 0x00 || code == 0x10 || code == 0x11;
}

// Column of the table -> (presence byte, value offset) of the record.
struct Source
{
    int presence;
    int value;
};
const Source sources[] = {{0, 0}, {4, 8}, {4, 16}, {5, 12}, {5, 20}};

struct Outcome
{
    QStringList fileErrors;
    bool ready = false;
};

void checkTable(const QByteArray& file, const ModelLogRecord& model)
{
    const int records = (file.size() - 7) / 24;
    FUZZ_CHECK(model.rowCount() == records, QStringLiteral("%1 rows for %2 bytes").arg(model.rowCount()).arg(file.size()));
    FUZZ_CHECK(model.deviceType() == qint8(file.at(2)), QString());
    FUZZ_CHECK(model.deviceId() == qFromLittleEndian<quint32>(file.constData() + 3), QString());
    const int columns = model.deviceType() == 0 ? 5 : model.deviceType() == 1 ? 4 : 0;
    FUZZ_CHECK(model.columnCount() == columns, QString::number(model.columnCount()));

    const auto roles = model.roleNames();
    for (int row = 0; row < records; ++row) {
        const char* record = file.constData() + 7 + 24 * row;
        if (columns > 0) {
            const QDateTime time = model.data(model.index(row, 0), ModelLogRecord::ValueRole).toDateTime();
            FUZZ_CHECK(time.timeSpec() == Qt::UTC && time.toSecsSinceEpoch() == qFromLittleEndian<quint32>(record),
                       time.toString());
        }
        for (int column = 1; column < columns; ++column) {
            const QModelIndex index = model.index(row, column);
            const bool hasChannel = present(quint8(record[sources[column].presence]));
            const float stored = floatAt(record + sources[column].value);
            const QVariant shown = model.data(index, Qt::DisplayRole);
            if (!hasChannel) {
                FUZZ_CHECK(!shown.isValid() && !model.data(index, ModelLogRecord::ValueRole).isValid(),
                           QStringLiteral("row %1 column %2").arg(row).arg(column));
            } else if (std::isfinite(stored)) {
                FUZZ_CHECK(shown.isValid(), QStringLiteral("row %1 column %2").arg(row).arg(column));
                const float value = model.data(index, ModelLogRecord::ValueRole).toFloat();
                FUZZ_CHECK(std::memcmp(&value, &stored, sizeof value) == 0,
                           QStringLiteral("row %1 column %2").arg(row).arg(column));
            } else {
                // NaN and infinity are no measurement: an empty cell.
                FUZZ_CHECK(!shown.isValid(), QStringLiteral("row %1 column %2: %3").arg(row).arg(column).arg(shown.toString()));
            }
        }
        for (auto role = roles.cbegin(); role != roles.cend(); ++role)
            for (int column = 0; column < columns; ++column)
                model.data(model.index(row, column), role.key());
    }
    for (int column = 0; column < columns; ++column)
        for (int role : {int(Qt::DisplayRole), int(ModelLogRecord::MeasurementColumnRole), int(ModelLogRecord::UnitRole)})
            model.headerData(column, Qt::Horizontal, role);
}

void checkStatistics(const ModelLogRecord& model)
{
    QStringList headers;
    for (int column = 1; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    ModelStatistics statistics(const_cast<ModelLogRecord*>(&model), ModelLogRecord::ValueRole);
    statistics.setHeaders(headers);
    for (int column = 1; column < model.columnCount(); ++column) {
        const auto stats = ModelStatistics::columnStatistics(&model, column, ModelLogRecord::ValueRole);
        if (stats.hasValue) {
            FUZZ_CHECK(stats.maxRow >= 0 && stats.maxRow < model.rowCount(), QString::number(stats.maxRow));
            FUZZ_CHECK(stats.minRow >= 0 && stats.minRow < model.rowCount(), QString::number(stats.minRow));
            FUZZ_CHECK(stats.count > 0 && stats.count <= model.rowCount(), QString::number(stats.count));
        }
        for (int row = 0; row < 3; ++row) {
            const QString text = statistics.data(statistics.index(row, column)).toString();
            FUZZ_CHECK(!text.isEmpty() && !text.contains(QLatin1String("nan"), Qt::CaseInsensitive)
                           && !text.contains(QLatin1String("inf"), Qt::CaseInsensitive),
                       QStringLiteral("statistics row %1 column %2: %3").arg(row).arg(column).arg(text));
            if (!stats.hasValue)
                FUZZ_CHECK(text == QLatin1String("-----"), text);
        }
    }
}

void checkCsv(const QByteArray& bytes, const ModelLogRecord& model)
{
    const QString text = QTextCodec::codecForName("Windows-1251")->toUnicode(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    FUZZ_CHECK(lines.takeLast().isEmpty(), QStringLiteral("the last line has no end"));
    FUZZ_CHECK(lines.size() == model.rowCount() + 2, QStringLiteral("%1 lines").arg(lines.size()));
    FUZZ_CHECK(lines.first() == QStringLiteral("Прибор: %1;ID: %2;").arg(model.deviceName()).arg(model.deviceId()),
               lines.first());
    const int cells = lines.at(1).count(QLatin1Char(';'));
    int expected = 0;
    for (int column = 0; column < model.columnCount(); ++column)
        expected += model.headerData(column, Qt::Horizontal, ModelLogRecord::MeasurementColumnRole).toBool() ? 2 : 1;
    FUZZ_CHECK(cells == expected, lines.at(1));
    for (int line = 2; line < lines.size(); ++line) {
        const QString& text = lines.at(line);
        FUZZ_CHECK(text.count(QLatin1Char(';')) == cells && (cells == 0 || text.endsWith(QLatin1Char(';'))),
                   QStringLiteral("line %1: %2").arg(line + 1).arg(text));
        FUZZ_CHECK(!text.contains(QLatin1String("nan"), Qt::CaseInsensitive)
                       && !text.contains(QLatin1String("inf"), Qt::CaseInsensitive),
                   QStringLiteral("line %1: %2").arg(line + 1).arg(text));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzapp::ensureApplication();
    const QByteArray file(reinterpret_cast<const char*>(data), int(size));
    const QString folder = fuzzapp::scratchFolder();
    const QString logPath = folder + QStringLiteral("/input.LOG");
    const QString csvPath = folder + QStringLiteral("/export.csv");
    const QString xlsxPath = folder + QStringLiteral("/export.xlsx");
    FUZZ_CHECK(writeAll(logPath, file), logPath);

    ModelLogRecord model;
    FilesInteractor files(nullptr, &model);
    Outcome outcome;
    QObject::connect(&files, &FilesInteractor::fileErrorOccurred,
                     [&](const QString& message) { outcome.fileErrors << message; });
    QObject::connect(&files, &FilesInteractor::modelRecordReady, [&] { outcome.ready = true; });
    files.openLogFile(logPath);

    if (file.size() < 7 || !file.startsWith("id")) {
        FUZZ_CHECK(!outcome.ready && outcome.fileErrors == QStringList{damaged}, outcome.fileErrors.join(QLatin1Char('|')));
        FUZZ_CHECK(model.rowCount() == 0 && model.columnCount() == 0, QString());
        return 0;
    }
    FUZZ_CHECK(outcome.ready && outcome.fileErrors.isEmpty(), outcome.fileErrors.join(QLatin1Char('|')));
    checkTable(file, model);
    checkStatistics(model);

    files.saveCSVFile(csvPath);
    files.saveXLSXFile(xlsxPath);
    FUZZ_CHECK(outcome.fileErrors.isEmpty(), outcome.fileErrors.join(QLatin1Char('|')));
    checkCsv(readAll(csvPath), model);
    const QString fault = xlsxparts::workbookFault(xlsxPath);
    FUZZ_CHECK(fault.isEmpty(), fault);
    if (model.columnCount() > 0)
        FUZZ_CHECK(xlsxparts::sheetRowCount(xlsxPath) == model.rowCount() + 3,
                   QString::number(xlsxparts::sheetRowCount(xlsxPath)));
    QFile::remove(csvPath);
    QFile::remove(xlsxPath);
    return 0;
}
