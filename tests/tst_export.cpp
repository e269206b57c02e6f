// CSV and XLSX export of the log table and of a database selection. Workbooks
// are read back with openpyxl through tests/support/check_xlsx.py.

#include "LogFileBytes.h"

#include "data/CsvExporter.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"
#include "data/UnitTable.h"
#include "data/XlsxExporter.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>

#include <ctime>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <clocale>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <limits>

namespace {

QByteArray cp1251(const QString& text)
{
    return QTextCodec::codecForName("Windows-1251")->fromUnicode(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const QString& message) {
        return message;
    }
    return QString();
}

QDateTime clock(qint64 secs)
{
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

// ZR-7.49, ID 3000000000: a full record, one without channel 2, one with 3.14159.
void fillZr749(ModelLogRecord& model)
{
    model.setDeviceId(3000000000u);
    model.setDeviceType(1);
    model.setRecords({{clock(1700000000), {{1, 23.5f, 0}, {2, 40.0f, 1}, {3, -1.25f, 11}, {4, 9.0f, 10}}},
                      {clock(1700000060), {{1, 24.0f, 0}, {2, 41.0f, 1}}},
                      {clock(0), {{1, 3.14159f, 15}, {2, 0.0f, 1}, {3, 2.0f, 11}}}});
}

// Runs the workbook checker and returns its description of the first sheet.
QJsonObject describeWorkbook(const QString& path, QStringList* sheetNames = nullptr)
{
    const QString script = QStringLiteral(ORVELIN_TEST_SUPPORT_DIR "/check_xlsx.py");
    // The system interpreter carries openpyxl; a user-installed one may not.
    const QString python = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    QProcess process;
    process.start(python, {script, path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << process.readAllStandardError();
        return {};
    }
    const QJsonObject root = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    if (sheetNames)
        for (const QJsonValue& name : root.value("sheets").toArray())
            *sheetNames << name.toString();
    return root.value("sheet").toObject();
}

QJsonObject cell(const QJsonObject& sheet, const QString& coordinate)
{
    return sheet.value("cells").toObject().value(coordinate).toObject();
}

// Lowers the largest file this process may write, as a full disk would stop
// it; restored on destruction.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

QStringList merged(const QJsonObject& sheet)
{
    QStringList ranges;
    for (const QJsonValue& range : sheet.value("merged").toArray())
        ranges << range.toString();
    return ranges;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void csvLog_zr749LinesExactInWindows1251();
    void csvLog_emptyLogHasTwoLines();
    void csv_overwritingLongerFileLeavesNoRemains();
    void csv_unopenablePathReportsOpenError();
    void csvQuery_splitsMeasurementTextsIntoValueAndUnit();
    void csvQuery_instrumentNumbersFrom2pow31_areUnsigned();

    void xlsxLog_layoutFormatsAndValues();
    void xlsxLog_emptyLogHasHeaderRowsOnly();
    void xlsxLog_unsavablePathReportsSaveError();
    void xlsxQuery_headerRowsAndTextCells();
    void xlsxQuery_readingInAnHourTheLocalClockSkips_isStillADate();
    void xlsx_underRussianLocale_numbersKeepTheirDecimalPoint();

    void notFiniteValues_areEmptyCellsInBothFormats();
    void failedWrite_keepsEarlierExportAndLeavesNoTemporaryFile();

private:
    QTemporaryDir m_dir;
    QSqlDatabase m_db;
    QSqlQueryModel* m_query = nullptr;
};

void TestExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_db = QSqlDatabase::addDatabase("QSQLITE", "export");
    m_db.setDatabaseName(":memory:");
    QVERIFY(m_db.open());
    QSqlQuery q(m_db);
    QVERIFY(q.exec("CREATE TABLE t (\"Дата\" TEXT, \"Канал №1\" TEXT, \"Доп.измерение №1\" TEXT, \"Прибор\" TEXT)"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('14.11.2023 22:13:20', '23.50 °C', '', 'ZR-7.47')"));
    QVERIFY(q.exec("INSERT INTO t VALUES ('not a date', '7', NULL, '')"));
    m_query = new QSqlQueryModel(this);
    m_query->setQuery("SELECT * FROM t", m_db);
    QCOMPARE(m_query->rowCount(), 2);
}

void TestExport::cleanupTestCase()
{
    delete m_query;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase("export");
}

void TestExport::csvLog_zr749LinesExactInWindows1251()
{
    ModelLogRecord model;
    fillZr749(model);
    const QString path = m_dir.filePath("log.csv");
    CsvExporter::saveLog(path, model);
    const QByteArray bytes = readFile(path);

    const QString expected = QString::fromUtf8(
        "Прибор: ZR-7.49;ID: 3000000000;\n"
        "Дата;Канал №1;ед.изм.;Доп.измерение №1;ед.изм.;Канал №2;ед.изм.;\n"
        "14.11.2023 22:13:20;23,50;\xC2\xB0" "C;40,00;%;-1,25;В;\n"
        "14.11.2023 22:14:20;24,00;\xC2\xB0" "C;41,00;%;;;\n"
        "01.01.1970 00:00:00;3,14;;0,00;%;2,00;В;\n");
    QCOMPARE(bytes, cp1251(expected));
    // Single-byte Cyrillic, not UTF-8: "Д" is 0xC4, the degree sign 0xB0.
    QVERIFY(bytes.contains("\n\xC4\xE0\xF2\xE0;"));
    QVERIFY(bytes.contains(";\xB0" "C;"));
    QVERIFY(!bytes.contains('\r'));
    for (const QByteArray& line : bytes.split('\n').mid(1, 4))
        QCOMPARE(line.count(';'), 7);
}

void TestExport::csvLog_emptyLogHasTwoLines()
{
    ModelLogRecord model;
    model.setDeviceId(5);
    model.setDeviceType(0);
    QCOMPARE(CsvExporter::logCsv(model),
             cp1251("Прибор: ZR-7.47;ID: 5;\n"
                    "Дата;Канал №1;ед.изм.;Доп.измерение №1;ед.изм.;Канал №2;ед.изм.;Доп.измерение №2;ед.изм.;\n"));
}

void TestExport::csv_overwritingLongerFileLeavesNoRemains()
{
    const QString path = m_dir.filePath("over.csv");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(10000, 'x'));
    }
    ModelLogRecord model;
    model.setDeviceType(1);
    CsvExporter::saveLog(path, model);
    QCOMPARE(readFile(path), CsvExporter::logCsv(model));
}

void TestExport::csv_unopenablePathReportsOpenError()
{
    ModelLogRecord model;
    const QString path = m_dir.filePath("missing/folder/a.csv");
    // The file and the reason follow the message.
    const QString said = QStringLiteral("Ошибка открытия файла: ") + path + QStringLiteral(": папка не существует");
    QCOMPARE(errorOf([&] { CsvExporter::saveLog(path, model); }), said);
    QCOMPARE(errorOf([&] { CsvExporter::saveQuery(path, m_query); }), said);
}

void TestExport::csvQuery_splitsMeasurementTextsIntoValueAndUnit()
{
    const QString path = m_dir.filePath("query.csv");
    CsvExporter::saveQuery(path, m_query);
    QCOMPARE(readFile(path), cp1251("Дата;Канал №1;ед.изм.;Доп.измерение №1;ед.изм.;Прибор;\n"
                                    "14.11.2023 22:13:20;23,50; °C;;;ZR-7.47;\n"
                                    "not a date;7;;;;;\n"));
    QVERIFY(CsvExporter::isMeasurementField("Доп"));
    QVERIFY(!CsvExporter::isMeasurementField("канал"));
}

// The archive keeps instrument numbers as signed 32-bit values; a selection
// shows and exports them as the instrument does, also from 2^31 on.
void TestExport::csvQuery_instrumentNumbersFrom2pow31_areUnsigned()
{
    QSqlQuery q(m_db);
    QVERIFY(q.exec("CREATE TABLE ids (\"Дата\" TEXT, \"№ прибора\" INTEGER)"));
    QVERIFY(q.exec("INSERT INTO ids VALUES ('a', -1294967296), ('b', -1), ('c', 2147483647), ('d', NULL)"));
    QSqlQueryModel model;
    model.setQuery("SELECT * FROM ids", m_db);
    const QString path = m_dir.filePath("ids.csv");
    CsvExporter::saveQuery(path, &model);
    QCOMPARE(readFile(path), cp1251("Дата;№ прибора;\n"
                                    "a;3000000000;\n"
                                    "b;4294967295;\n"
                                    "c;2147483647;\n"
                                    "d;;\n"));
}

void TestExport::xlsxLog_layoutFormatsAndValues()
{
    ModelLogRecord model;
    fillZr749(model);
    const QString path = m_dir.filePath("log.xlsx");
    XlsxExporter::saveLog(path, model);

    QStringList sheets;
    const QJsonObject sheet = describeWorkbook(path, &sheets);
    QVERIFY2(!sheet.isEmpty(), "workbook checker failed");
    QCOMPARE(sheets, QStringList{"Отчёт"});
    QCOMPARE(sheet.value("max_row").toInt(), 6);
    QCOMPARE(sheet.value("max_column").toInt(), 7);
    QCOMPARE(merged(sheet), (QStringList{"A1:G1", "A2:A3", "B2:C2", "D2:E2", "F2:G2"}));
    // The date and the value columns are widened; the unit columns keep the
    // sheet's default width.
    const QJsonObject widths = sheet.value("widths").toObject();
    for (const QString column : {"A", "B", "D", "F"})
        QVERIFY2(qAbs(widths.value(column).toDouble() - 22.0) < 1.0, qPrintable(column));
    for (const QString column : {"C", "E", "G"})
        QVERIFY2(!widths.contains(column), qPrintable(column));

    const QJsonObject title = cell(sheet, "A1");
    QCOMPARE(title.value("value").toString(), QStringLiteral("Отчет о работе прибора ZR-7.49  ID: 3000000000"));
    QCOMPARE(title.value("bold").toBool(), true);
    QCOMPARE(title.value("size").toDouble(), 16.0);
    QCOMPARE(title.value("halign").toString(), QStringLiteral("center"));

    const QJsonObject header = cell(sheet, "B2");
    QCOMPARE(header.value("value").toString(), QStringLiteral("Канал №1"));
    QCOMPARE(header.value("size").toDouble(), 14.0);
    QCOMPARE(header.value("border").toString(), QStringLiteral("medium"));
    QCOMPARE(header.value("wrap").toBool(), true);
    QCOMPARE(header.value("valign").toString(), QStringLiteral("center"));
    QCOMPARE(cell(sheet, "A2").value("value").toString(), QStringLiteral("Дата"));
    QCOMPARE(cell(sheet, "B3").value("value").toString(), QStringLiteral("Значение"));
    QCOMPARE(cell(sheet, "C3").value("value").toString(), QStringLiteral("ед.изм."));
    QCOMPARE(cell(sheet, "C3").value("size").toDouble(), 10.0);

    // Date cells are real dates holding the instrument's clock reading.
    const QJsonObject date = cell(sheet, "A4");
    QCOMPARE(date.value("type").toString(), QStringLiteral("datetime"));
    QCOMPARE(date.value("value").toString(), QStringLiteral("2023-11-14T22:13:20"));
    QCOMPARE(date.value("number_format").toString(), QStringLiteral("dd.mm.yy HH:MM:SS"));
    QCOMPARE(date.value("border").toString(), QStringLiteral("thin"));
    QCOMPARE(cell(sheet, "A6").value("value").toString(), QStringLiteral("1970-01-01T00:00:00"));

    const QJsonObject value = cell(sheet, "B6");
    QCOMPARE(value.value("type").toString(), QStringLiteral("float"));
    QVERIFY(qAbs(value.value("value").toDouble() - 3.14159) < 1e-6);
    QCOMPARE(value.value("number_format").toString(), QStringLiteral("0.00"));
    QCOMPARE(value.value("size").toDouble(), 12.0);
    QCOMPARE(value.value("bold").toBool(), false);

    const QJsonObject unit = cell(sheet, "C4");
    QCOMPARE(unit.value("value").toString(), UnitTable::text(0));
    QCOMPARE(unit.value("bold").toBool(), true);
    QCOMPARE(cell(sheet, "F4").value("value").toDouble(), -1.25);
    QCOMPARE(cell(sheet, "G4").value("value").toString(), QStringLiteral("В"));

    // Missing channel 2: formatted but empty cells.
    QVERIFY(cell(sheet, "F5").value("value").isNull());
    QCOMPARE(cell(sheet, "F5").value("number_format").toString(), QStringLiteral("0.00"));
    QCOMPARE(cell(sheet, "G5").value("bold").toBool(), true);
}

void TestExport::xlsxLog_emptyLogHasHeaderRowsOnly()
{
    ModelLogRecord model;
    model.setDeviceId(12);
    model.setDeviceType(0);
    const QString path = m_dir.filePath("empty.xlsx");
    XlsxExporter::saveLog(path, model);
    const QJsonObject sheet = describeWorkbook(path);
    QVERIFY2(!sheet.isEmpty(), "workbook checker failed");
    QCOMPARE(sheet.value("max_row").toInt(), 3);
    QCOMPARE(sheet.value("max_column").toInt(), 9);
    QCOMPARE(cell(sheet, "A1").value("value").toString(), QStringLiteral("Отчет о работе прибора ZR-7.47  ID: 12"));
    QVERIFY(merged(sheet).contains("A1:I1"));
    QCOMPARE(cell(sheet, "H2").value("value").toString(), QStringLiteral("Доп.измерение №2"));
}

void TestExport::xlsxLog_unsavablePathReportsSaveError()
{
    ModelLogRecord model;
    fillZr749(model);
    const QString path = m_dir.filePath("missing/folder/a.xlsx");
    const QString said = QStringLiteral("Ошибка сохранения xlsx файла: ") + path + QStringLiteral(": папка не существует");
    QCOMPARE(errorOf([&] { XlsxExporter::saveLog(path, model); }), said);
    QCOMPARE(errorOf([&] { XlsxExporter::saveQuery(path, m_query); }), said);
    QVERIFY(!QFile::exists(path));
}

void TestExport::xlsxQuery_headerRowsAndTextCells()
{
    const QString path = m_dir.filePath("query.xlsx");
    XlsxExporter::saveQuery(path, m_query);
    QStringList sheets;
    const QJsonObject sheet = describeWorkbook(path, &sheets);
    QVERIFY2(!sheet.isEmpty(), "workbook checker failed");
    QCOMPARE(sheets, QStringList{"Отчёт"});
    QCOMPARE(merged(sheet), (QStringList{"A2:A3", "B2:C2", "D2:E2", "F2:F3"}));
    QVERIFY(cell(sheet, "A1").isEmpty());
    QCOMPARE(sheet.value("max_row").toInt(), 5);

    const QJsonObject date = cell(sheet, "A4");
    QCOMPARE(date.value("type").toString(), QStringLiteral("datetime"));
    QCOMPARE(date.value("value").toString(), QStringLiteral("2023-11-14T22:13:20"));
    // A number a spreadsheet can sum, shown with two decimals.
    const QJsonObject value = cell(sheet, "B4");
    QCOMPARE(value.value("type").toString(), QStringLiteral("float"));
    QCOMPARE(value.value("value").toDouble(), 23.5);
    QCOMPARE(value.value("number_format").toString(), QStringLiteral("0.00"));
    QCOMPARE(cell(sheet, "C4").value("value").toString(), QStringLiteral(" °C"));
    QCOMPARE(cell(sheet, "C4").value("bold").toBool(), true);
    QCOMPARE(cell(sheet, "F4").value("value").toString(), QStringLiteral("ZR-7.47"));
    QCOMPARE(cell(sheet, "F4").value("number_format").toString(), QStringLiteral("General"));
    QCOMPARE(cell(sheet, "A5").value("value").toString(), QStringLiteral("not a date"));
    QCOMPARE(cell(sheet, "A5").value("number_format").toString(), QStringLiteral("General"));
}

void TestExport::xlsxQuery_readingInAnHourTheLocalClockSkips_isStillADate()
{
    // 02:30 of 8 March 2026 never shows on a New York clock; the
    // instrument's clock knows no zones and logged it all the same.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    QSqlQuery q(m_db);
    QVERIFY(q.exec("CREATE TABLE gap (\"Дата\" TEXT, \"Канал №1\" TEXT)"));
    QVERIFY(q.exec("INSERT INTO gap VALUES ('08.03.2026 02:30:00', '1.00 °C')"));
    QSqlQueryModel model;
    model.setQuery("SELECT * FROM gap", m_db);
    const QString path = m_dir.filePath("gap.xlsx");
    XlsxExporter::saveQuery(path, &model);
    qputenv("TZ", zone);
    tzset();
    const QJsonObject date = cell(describeWorkbook(path), "A4");
    QCOMPARE(date.value("type").toString(), QStringLiteral("datetime"));
    QCOMPARE(date.value("value").toString(), QStringLiteral("2026-03-08T02:30:00"));
}

void TestExport::xlsx_underRussianLocale_numbersKeepTheirDecimalPoint()
{
    // As the program runs for its users: the process locale is Russian, whose
    // printf writes decimal commas.
    const QByteArray saved = setlocale(LC_ALL, nullptr);
    if (!setlocale(LC_ALL, "ru_RU.UTF-8"))
        QSKIP("no Russian locale on this machine");
    ModelLogRecord model;
    fillZr749(model);
    const QString path = m_dir.filePath("russian.xlsx");
    XlsxExporter::saveLog(path, model);
    setlocale(LC_ALL, saved.constData());

    const QJsonObject sheet = describeWorkbook(path);
    QVERIFY2(!sheet.isEmpty(), "workbook checker failed");
    QCOMPARE(float(cell(sheet, "B6").value("value").toDouble()), 3.14159f);
    QCOMPARE(cell(sheet, "A4").value("value").toString(), QStringLiteral("2023-11-14T22:13:20"));
    QVERIFY(qAbs(sheet.value("widths").toObject().value("A").toDouble() - 22.0) < 1.0);
}

void TestExport::notFiniteValues_areEmptyCellsInBothFormats()
{
    using namespace logbytes;
    const float inf = std::numeric_limits<float>::infinity();
    ModelLogRecord model;
    model.setContent(LogFile::parse(header(1, 9) + record(1700000000, present(std::nanf(""), inf, 1),
                                                          present(-inf, 2.0f, 67))));
    QCOMPARE(CsvExporter::logCsv(model).split('\n').at(2), cp1251("14.11.2023 22:13:20;;;;;;;"));

    const QString path = m_dir.filePath("nan.xlsx");
    XlsxExporter::saveLog(path, model);
    const QJsonObject sheet = describeWorkbook(path);
    QVERIFY2(!sheet.isEmpty(), "workbook checker failed");
    for (const QString coordinate : {"B4", "C4", "D4", "E4", "F4", "G4"})
        QVERIFY2(cell(sheet, coordinate).value("value").isNull() || cell(sheet, coordinate).value("value") == "",
                 qPrintable(coordinate));
    QCOMPARE(cell(sheet, "B4").value("number_format").toString(), QStringLiteral("0.00"));
}

void TestExport::failedWrite_keepsEarlierExportAndLeavesNoTemporaryFile()
{
    QTemporaryDir dir;
    ModelLogRecord earlier;
    fillZr749(earlier);
    const QString csvPath = dir.filePath("log.csv");
    const QString xlsxPath = dir.filePath("log.xlsx");
    CsvExporter::saveLog(csvPath, earlier);
    XlsxExporter::saveLog(xlsxPath, earlier);
    const QByteArray earlierCsv = readFile(csvPath);
    const QByteArray earlierXlsx = readFile(xlsxPath);
    // Going through a temporary file leaves a workbook as readable as any
    // file the user saves.
    QCOMPARE(QFile::permissions(xlsxPath), QFile::permissions(csvPath));

    ModelLogRecord large;
    large.setDeviceId(1);
    large.setDeviceType(0);
    QVector<LogRecord> records;
    for (int i = 0; i < 5000; ++i)
        records.append({clock(1700000000 + i), {{1, float(i), 0}, {2, 1.0f, 1}, {3, 2.0f, 0}, {4, 3.0f, 0}}});
    large.setRecords(records);

    // The disk "fills up" after 4 KiB: every write past that fails.
    QString csvError, xlsxError;
    {
        FileSizeLimit full(4096);
        csvError = errorOf([&] { CsvExporter::saveLog(csvPath, large); });
        xlsxError = errorOf([&] { XlsxExporter::saveLog(xlsxPath, large); });
    }
    QCOMPARE(csvError, QStringLiteral("Ошибка записи файла: ") + csvPath);
    QCOMPARE(xlsxError, QStringLiteral("Ошибка сохранения xlsx файла: ") + xlsxPath);
    QCOMPARE(readFile(csvPath), earlierCsv);
    QCOMPARE(readFile(xlsxPath), earlierXlsx);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"log.csv", "log.xlsx"}));
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
