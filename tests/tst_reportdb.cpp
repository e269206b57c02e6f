// Database reports from a selection shaped as the archive's pivot query makes
// it (an in-memory SQLite archive), read back from PDF; the charts' points;
// the row limit checked only after the printer was chosen.
#include "ReportPdf.h"

#include "report/ChartRoutines.h"
#include "report/PrintSetting.h"
#include "report/ReportCharts.h"
#include "report/PdfCheck.h"
#include "report/ReportInteractor.h"

#include <QPrinter>
#include <QProcess>
#include <QtEndian>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QtCharts/QChart>
#include <QtCharts/QXYSeries>
#include <QtTest>

#include <cstring>

using namespace QtCharts;

namespace {

const QString connectionName = QStringLiteral("reportdb");
const qint64 t0 = 1700000000; // 14.11.2023 22:13:20 on the instrument's clock

// One selection row per time stamp: channel 1 and channel 2 in °C. The report
// period is rows 1..9; its last row holds both maxima. Channel 2 has no value
// at row 5.
const double channel1[10] = {20.5, 21.0, 19.25, 22.0, 21.5, 20.0, 23.0, 18.75, 21.25, 24.5};

bool exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    qWarning() << sql << query.lastError().text();
    return false;
}

// The archive's tables and the selection the database screen shows for
// instrument 1234 and both channels.
class Archive
{
public:
    explicit Archive(const QVector<qint64>& times)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QVERIFY(exec(db, "CREATE TABLE IF NOT EXISTS UNIT (idUnit INTEGER PRIMARY KEY AUTOINCREMENT,unit TEXT);"));
        QVERIFY(exec(db, "CREATE TABLE IF NOT EXISTS TYPE_CHANNEL (idTypeChannel INTEGER PRIMARY KEY "
                         "AUTOINCREMENT,nameChannel TEXT);"));
        QVERIFY(exec(db, "CREATE TABLE IF NOT EXISTS RECORD_ZR (idRecord INTEGER PRIMARY KEY AUTOINCREMENT,"
                         "DateTime TIMESTAMP ,Value FLOAT,idUnit INTEGER,idTypeChannel INTEGER,idDevice INTEGER,"
                         "idNote INTEGER);"));
        QVERIFY(exec(db, "INSERT INTO UNIT (unit ) VALUES('°C' );"));
        QVERIFY(exec(db, "INSERT INTO TYPE_CHANNEL (nameChannel ) VALUES('Канал №1' );"));
        QVERIFY(exec(db, "INSERT INTO TYPE_CHANNEL (nameChannel ) VALUES('Канал №2' );"));
        QVERIFY(exec(db, "BEGIN"));
        for (int i = 0; i < times.size(); ++i) {
            const QString insert = QStringLiteral("INSERT INTO RECORD_ZR (DateTime ,Value ,idUnit ,idTypeChannel ,"
                                                  "idDevice ) VALUES(datetime( %1,'unixepoch') ,%2 ,1 ,%3 ,1234 );");
            QVERIFY(exec(db, insert.arg(times[i]).arg(channel1[i % 10]).arg(1)));
            if (i % 10 != 5)
                QVERIFY(exec(db, insert.arg(times[i]).arg(10 + i).arg(2)));
        }
        QVERIFY(exec(db, "COMMIT"));

        model.setQuery(QStringLiteral(
            "SELECT strftime('%d.%m.%Y %H:%M:%S',DateTime) as Дата ,"
            "SUM(CASE WHEN TYPE_CHANNEL.nameChannel == 'Канал №1' then round(Value,2)  else NULL END)  || ' '||  "
            "MAX(CASE WHEN TYPE_CHANNEL.nameChannel == 'Канал №1' then UNIT.unit  else NULL END ) AS 'Канал №1' ,"
            "SUM(CASE WHEN TYPE_CHANNEL.nameChannel == 'Канал №2' then round(Value,2)  else NULL END)  || ' '||  "
            "MAX(CASE WHEN TYPE_CHANNEL.nameChannel == 'Канал №2' then UNIT.unit  else NULL END ) AS 'Канал №2' ,"
            "idDevice as '№ прибора'  FROM RECORD_ZR   INNER JOIN TYPE_CHANNEL ON RECORD_ZR.idTypeChannel = "
            "TYPE_CHANNEL.idTypeChannel   INNER JOIN UNIT ON RECORD_ZR.idUnit = UNIT.idUnit  WHERE (idDevice = 1234 )"
            "  GROUP BY DateTime ,idDevice  ;"), db);
        while (model.canFetchMore())
            model.fetchMore();
    }

    ~Archive()
    {
        model.clear();
        QSqlDatabase::database(connectionName).close();
        QSqlDatabase::removeDatabase(connectionName);
    }

    QSqlQueryModel model;
};

QVector<qint64> minutes(int count)
{
    QVector<qint64> times;
    for (int i = 0; i < count; ++i)
        times << t0 + 60 * i;
    return times;
}

QString dateText(int row)
{
    return QDateTime::fromSecsSinceEpoch(t0 + 60 * row, Qt::UTC).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

// As the database screen makes it: the chart's range as local date-times.
PrintSetting dbSetting(int firstRow, int lastRow)
{
    PrintSetting s;
    s.fullReport = true;
    s.firstRow = firstRow;
    s.lastRow = lastRow;
    s.beginDateTime = QDateTime(QDate(2023, 11, 14), QTime(22, 14, 20), Qt::LocalTime);
    s.endDateTime = QDateTime(QDate(2023, 11, 14), QTime(22, 22, 20), Qt::LocalTime);
    return s;
}

QMultiHash<QString, QVariant> filters(bool withChannels)
{
    QMultiHash<QString, QVariant> p;
    p.insert(QStringLiteral("DateTime"), QDateTime::fromSecsSinceEpoch(t0, Qt::UTC));
    p.insert(QStringLiteral("DateTime"), QDateTime::fromSecsSinceEpoch(t0 + 3600, Qt::UTC));
    if (withChannels) {
        p.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
        p.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №2"));
        p.insert(QStringLiteral("idDevice"), 1234);
    }
    p.insert(QStringLiteral("unit"), QStringLiteral("°C"));
    return p;
}

QVector<QPointF> pointsOf(const ReportCharts::ChartList& charts, int chart)
{
    auto* series = qobject_cast<QXYSeries*>(charts.at(chart)->series().value(0));
    return series ? series->pointsVector() : QVector<QPointF>();
}

} // namespace

class TestReportDB : public QObject
{
    Q_OBJECT
private slots:
    void fullReport_filtersStatisticsAndEveryRowOfThePeriod();
    void shortReport_filteredByUnitOnly_hasNoStatistics();
    void charts_valuesWithoutUnit_nullsSkipped_lastRowIncluded();
    void charts_pointsNeverFoldBackOnADaylightSavingDay();
    void reportsOfNothingOrTooMuch_areRefusedBeforeThePrinterIsChosen();
    void pdfCut_isNeverTakenForAReport();
    void reportOnAFullDisk_keepsTheEarlierFile_andSaysSo();
};

void TestReportDB::fullReport_filtersStatisticsAndEveryRowOfThePeriod()
{
    Archive archive(minutes(10));
    QCOMPARE(archive.model.rowCount(), 10);
    PrintSetting setting = dbSetting(1, 9);
    setting.printChart = true;

    QTemporaryDir dir;
    const QString path = dir.filePath("db.pdf");
    ReportInteractor reports;
    QVERIFY(reports.saveReportDBPdf(&archive.model, setting, filters(true), path));

    const QString text = reportpdf::text(path);
    QVERIFY2(reportpdf::containsInOrder(text, {
        "Полный отчёт из базы данных с отбором",
        "по приборам №: 1234;", "по каналам : Канал №1,Канал №2;", "по ед. измерениям : °C;",
        "c 14.11.23 22:14:20 по 14.11.23 22:22:20.",
        // The last row of the period holds both maxima.
        "Статистика по Канал №1 Значение Дата",
        "Максимальное значение 24.5 °C " + dateText(9),
        "Минимальное значение 18.75 °C " + dateText(7),
        "Среднее значение 21.25",
        "Статистика по Канал №2 Значение Дата",
        "Максимальное значение 19.0 °C " + dateText(9),
        "Минимальное значение 11.0 °C " + dateText(1),
        "Среднее значение 15.00",
        "Отчёт Дата Канал №1 Канал №2 № прибора",
    }), qPrintable(text));
    QVERIFY(!text.contains("Статистика по № прибора"));

    QStringList rows;
    for (int row = 1; row <= 9; ++row)
        rows << dateText(row);
    const QString table = text.mid(text.indexOf("Отчёт"));
    QVERIFY2(reportpdf::containsInOrder(table, rows), qPrintable(table));
    QVERIFY2(reportpdf::containsInOrder(table, {dateText(9), "24.5 °C", "19.0 °C", "1234"}), qPrintable(table));
    QVERIFY(!text.contains(dateText(0)));

    // Common chart by default off: separate charts of the two channels.
    QCOMPARE(reportpdf::pictures(path), QVector<QSize>(2, QSize(850, 500)));
}

void TestReportDB::shortReport_filteredByUnitOnly_hasNoStatistics()
{
    Archive archive(minutes(10));
    PrintSetting setting = dbSetting(0, 9);
    setting.fullReport = false;

    QTemporaryDir dir;
    const QString path = dir.filePath("short.pdf");
    ReportInteractor reports;
    QVERIFY(reports.saveReportDBPdf(&archive.model, setting, filters(false), path));

    const QString text = reportpdf::text(path);
    QVERIFY2(text.startsWith("Краткий отчёт из базы данных с отбором по ед. измерениям : °C; "
                             "c 14.11.23 22:14:20 по 14.11.23 22:22:20."), qPrintable(text));
    QVERIFY(!text.contains("Статистика"));
    QVERIFY(!text.contains("Отчёт"));
    QVERIFY(reportpdf::pictures(path).isEmpty());
}

void TestReportDB::charts_valuesWithoutUnit_nullsSkipped_lastRowIncluded()
{
    Archive archive(minutes(10));
    PrintSetting setting = dbSetting(1, 9);
    setting.printChart = true;

    const ReportCharts::ChartList separate = ReportCharts::buildDataBaseCharts(&archive.model, setting);
    QCOMPARE(int(separate.size()), 2);
    QCOMPARE(separate[0]->title(), QStringLiteral("Канал №1"));
    QCOMPARE(separate[1]->title(), QStringLiteral("Канал №2"));

    const auto x = [](int row) {
        return ChartRoutines::clockAxisValue(QDateTime::fromSecsSinceEpoch(t0 + 60 * row, Qt::UTC));
    };
    const QVector<QPointF> first = pointsOf(separate, 0);
    QCOMPARE(first.size(), 9);
    QCOMPARE(first.constFirst(), QPointF(x(1), 21.0));
    QCOMPARE(first.constLast(), QPointF(x(9), 24.5));
    const QVector<QPointF> second = pointsOf(separate, 1);
    QCOMPARE(second.size(), 8); // no point for the row without a value
    QVERIFY(std::none_of(second.cbegin(), second.cend(), [&](const QPointF& p) { return p.x() == x(5); }));
    QCOMPARE(second.constLast(), QPointF(x(9), 19.0));

    setting.generalChart = true;
    const ReportCharts::ChartList common = ReportCharts::buildDataBaseCharts(&archive.model, setting);
    QCOMPARE(int(common.size()), 1);
    QCOMPARE(common[0]->title(), QStringLiteral("Общий график"));
    QCOMPARE(common[0]->series().size(), 2);
}

void TestReportDB::charts_pointsNeverFoldBackOnADaylightSavingDay()
{
    // The instrument's clock runs on through the night the local clocks jump
    // forward (10.03.2024 in New York, none in Vladivostok).
    QVector<qint64> times;
    const qint64 night = QDateTime(QDate(2024, 3, 10), QTime(1, 0), Qt::UTC).toSecsSinceEpoch();
    for (int i = 0; i < 10; ++i)
        times << night + 20 * 60 * i;

    Archive archive(times);
    PrintSetting setting = dbSetting(0, 9);
    setting.printChart = true;
    const QVector<QPointF> points = pointsOf(ReportCharts::buildDataBaseCharts(&archive.model, setting), 0);
    QCOMPARE(points.size(), 10);
    // Each reading lands where the screens' shared time axis puts it, the date
    // axis of the report chart included ...
    for (int i = 0; i < points.size(); ++i) {
        const QDateTime reading = QDateTime::fromSecsSinceEpoch(times[i], Qt::UTC);
        QCOMPARE(points[i].x(), ChartRoutines::clockAxisValue(reading));
    }
    // ... and so never before the reading taken earlier.
    for (int i = 1; i < points.size(); ++i)
        QVERIFY(points[i].x() > points[i - 1].x());
}

void TestReportDB::reportsOfNothingOrTooMuch_areRefusedBeforeThePrinterIsChosen()
{
    Archive archive(minutes(10));
    QTemporaryDir dir;
    const QString path = dir.filePath("printed.pdf");
    int asked = 0;
    ReportInteractor reports;
    ReportInteractor::Dialogs fake;
    fake.choosePrinter = [&](QPrinter* printer) {
        ++asked;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return true;
    };
    reports.setDialogs(fake);
    QSignalSpy errors(&reports, &ReportInteractor::reportErrorOccurred);

    // Too long for a full report: the limit and the way out are said.
    const PrintSetting tooLong = dbSetting(0, 2001);
    reports.printReportDB(&archive.model, tooLong, filters(true));
    QCOMPARE(asked, 0);
    QCOMPARE(errors.count(), 1);
    const QString said = errors.at(0).at(0).toString();
    QVERIFY2(said.startsWith(QStringLiteral("Слишком много данных для печати: ")) && said.contains("2001")
                 && said.contains("2002") && said.contains("краткий отчёт"),
             qPrintable(said));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!reports.saveReportDBPdf(&archive.model, tooLong, filters(true), dir.filePath("x.pdf")));
    QCOMPARE(errors.count(), 2);
    QVERIFY(!QFile::exists(dir.filePath("x.pdf")));

    // A period between two records holds none: no report, short or full.
    for (bool full : {true, false}) {
        PrintSetting empty = dbSetting(5, 4);
        empty.fullReport = full;
        reports.printReportDB(&archive.model, empty, filters(true));
        QCOMPARE(errors.last().at(0).toString(),
                 QStringLiteral("Отсутсвуют данных для печати: в выбранном периоде нет записей"));
    }
    QCOMPARE(errors.count(), 4);
    QCOMPARE(asked, 0);

    reports.printReportDB(&archive.model, dbSetting(0, 9), filters(true));
    QCOMPARE(asked, 1);
    QVERIFY(reportpdf::text(path).contains("Полный отчёт из базы данных с отбором"));
}

void TestReportDB::pdfCut_isNeverTakenForAReport()
{
    // A whole report, and the same cut where a full disk would cut it.
    Archive archive(minutes(10));
    QTemporaryDir dir;
    ReportInteractor reports;
    const QString path = dir.filePath("whole.pdf");
    QVERIFY(reports.saveReportDBPdf(&archive.model, dbSetting(0, 9), filters(true), path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    QVERIFY(PdfCheck::isComplete(whole.left(8), whole.right(1024), whole.size()));
    for (int cut : {2, 20, 200, 1000, whole.size() / 2, whole.size() - 30, whole.size() - 8, whole.size() - 1}) {
        const QByteArray part = whole.left(whole.size() - cut);
        QVERIFY2(!PdfCheck::isComplete(part.left(8), part.right(1024), part.size()), qPrintable(QString::number(cut)));
    }
}

void TestReportDB::reportOnAFullDisk_keepsTheEarlierFile_andSaysSo()
{
    // A disk of its own, small enough for a short report and too small for
    // a full one with charts, in a mount namespace of the command line's own.
    QTemporaryDir dir;
    QByteArray log = QByteArray("id\x01", 3) + QByteArray::fromHex("87d61200");
    for (quint32 i = 0; i < 1500; ++i) {
        QByteArray record(24, '\0');
        qToLittleEndian<quint32>(1700000000 + i * 60, record.data());
        record[4] = record[5] = char(0x11);
        record[6] = 1;
        record[7] = 67;
        const float values[] = {20.0f + float(i % 9), 4.0f + float(i % 5), 18.0f, 0.0f};
        std::memcpy(record.data() + 8, values, sizeof values);
        log += record;
    }
    QFile file(dir.filePath("6553F100.LOG"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(log) == log.size());
    file.close();
    const QString cli = QCoreApplication::applicationDirPath() + "/orvelin-cli";
    const QString script = QStringLiteral(
        "mkdir -p disk && mount -t tmpfs -o size=120k tmpfs disk || exit 77; "
        "\"$0\" report 6553F100.LOG --pdf disk/report.pdf || exit 78; sha256sum disk/report.pdf; "
        "\"$0\" report 6553F100.LOG --full --charts separate --pdf disk/report.pdf; echo \"exit $?\"; "
        "sha256sum disk/report.pdf; ls disk");
    QProcess run;
    run.setWorkingDirectory(dir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVELIN_PORTS", QString());
    run.setProcessEnvironment(environment);
    run.start("unshare", {"-m", "sh", "-c", script, cli});
    QVERIFY(run.waitForFinished(120000));
    if (run.exitCode() == 77 || run.exitStatus() != QProcess::NormalExit || run.error() == QProcess::FailedToStart)
        QSKIP("no private mount of a small disk here");
    const QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QString said = QString::fromUtf8(run.readAllStandardError());
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(1), QStringLiteral("exit 2"));
    QCOMPARE(lines.at(2), lines.at(0));            // the short report, untouched
    QCOMPARE(lines.at(3), QStringLiteral("report.pdf")); // and nothing half-written beside it
    QVERIFY2(said.contains("Не удалось записать отчёт в файл disk/report.pdf: диск заполнен"), qPrintable(said));
}

QTEST_MAIN(TestReportDB)
#include "tst_reportdb.moc"
