// The archive shared with other programs: two loads into one Record.sqlite at
// the same moment (two command-line imports, as a scheduled job beside the
// application), and another program holding the write lock for longer than
// the archive waits. Read back with the sqlite3 shell.
#include "LogFileBytes.h"

#include "report/MetaTypes.h"
#include "database/DataBaseInteractor.h"
#include "database/TableDBModel.h"

#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList shell(const QString& file, const QString& sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {file, sql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(process.readAllStandardError())};
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A ZR-7.49 log of `records` readings a minute apart, two channels each.
QString writeLog(const QString& folder, quint32 id, quint32 first, int records)
{
    QByteArray bytes = logbytes::header(1, id);
    for (int i = 0; i < records; ++i)
        bytes += logbytes::record(first + quint32(i) * 60, logbytes::present(20.0f + i % 9, 18.0f, 1),
                                  logbytes::present(4.0f + i % 5, 0.0f, 67));
    const QString path = folder + QStringLiteral("/%1.LOG").arg(first, 8, 16, QLatin1Char('0')).toUpper();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QString cli()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli");
}

} // namespace

class TestArchiveBusy : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerMetaTypes(); }
    void twoImportsAtOnce_bothSucceed_andStoreEveryValueOnce();
    void writeLockHeldLongerThanTheWait_isNamed_andNothingIsLost();
};

void TestArchiveBusy::twoImportsAtOnce_bothSucceed_andStoreEveryValueOnce()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("Record.sqlite"));
    const QString logA = writeLog(dir.path(), 1111111, 1700000000, 6000);
    const QString logB = writeLog(dir.path(), 2222222, 1710000000, 6000);
    QVERIFY(!logA.isEmpty() && !logB.isEmpty());

    // Each import loads both logs, in opposite order, into a new archive:
    // they create the tables, and load the same values, at the same time.
    for (int round = 0; round < 3; ++round) {
        QProcess first;
        QProcess second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ORVELIN_PORTS"), QString());
        first.setProcessEnvironment(environment);
        second.setProcessEnvironment(environment);
        first.start(cli(), {QStringLiteral("import"), logA, logB, QStringLiteral("--db"), archive});
        second.start(cli(), {QStringLiteral("import"), logB, logA, QStringLiteral("--db"), archive});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
        QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());
    }
    // As many values as one import alone stores.
    const QString alone = dir.filePath(QStringLiteral("alone.sqlite"));
    QCOMPARE(QProcess::execute(cli(), {QStringLiteral("import"), logA, logB, QStringLiteral("--db"), alone}), 0);
    const QStringList values = shell(alone, "SELECT count(*) FROM RECORD_ZR");
    QVERIFY(values.value(0).toInt() >= 2 * 6000 * 2);
    QCOMPARE(shell(archive, "SELECT count(*) FROM RECORD_ZR"), values);
    QCOMPARE(shell(archive, "SELECT count(*) FROM (SELECT 1 FROM RECORD_ZR GROUP BY DateTime, idDevice, idTypeChannel "
                            "HAVING count(*) > 1)"),
             QStringList{"0"});
    QCOMPARE(shell(archive, "SELECT count(*) FROM UNIT"), shell(archive, "SELECT count(DISTINCT unit) FROM UNIT"));
    QCOMPARE(shell(archive, "SELECT count(*) FROM TYPE_DEVICE"), QStringList{"2"});
}

void TestArchiveBusy::writeLockHeldLongerThanTheWait_isNamed_andNothingIsLost()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("Record.sqlite"));
    auto log = std::make_unique<QStandardItemModel>(2, 2);
    log->setHeaderData(0, Qt::Horizontal, false, 256);
    log->setHeaderData(1, Qt::Horizontal, QStringLiteral("Канал №1"));
    log->setHeaderData(1, Qt::Horizontal, true, 256);
    for (int r = 0; r < 2; ++r) {
        log->setData(log->index(r, 0), QDateTime::fromSecsSinceEpoch(1700000000 + r * 60, Qt::UTC), 257);
        log->setData(log->index(r, 1), QStringLiteral("1.50 °C"));
        log->setData(log->index(r, 1), 1.5f, 257);
        log->setData(log->index(r, 1), QStringLiteral("°C"), 258);
    }

    DataBaseInteractor interactor(archive);
    interactor.setBusyTimeout(300);
    TableDBModel records;
    interactor.setRecordModel(&records);
    QSignalSpy errors(&interactor, &DataBaseInteractor::errorOccurred);
    QSignalSpy stored(&interactor, &DataBaseInteractor::logStored);
    interactor.open();
    interactor.writeFromModel(log.get(), 5, QStringLiteral("ZR-7.47"), 256, 257, 258);
    QCOMPARE(stored.count(), 1);

    // Another program takes the write lock and keeps it.
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {archive});
    QVERIFY(holder.waitForStarted());
    holder.write("BEGIN IMMEDIATE; INSERT INTO UNIT (unit) VALUES ('чужая'); SELECT 'locked';\n");
    QVERIFY(QTest::qWaitFor([&] { return holder.readAllStandardOutput().contains("locked"); }, 10000));

    // A load waits, then says why it could not run; a selection still reads.
    log->setData(log->index(0, 0), QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC), 257);
    log->setData(log->index(1, 0), QDateTime::fromSecsSinceEpoch(1800000060, Qt::UTC), 257);
    interactor.writeFromModel(log.get(), 5, QStringLiteral("ZR-7.47"), 256, 257, 258);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Ошибка запроса: база данных занята другой программой"));
    DBParameters filter;
    filter.insert(QStringLiteral("nameChannel"), QStringLiteral("Канал №1"));
    interactor.updateModel(filter);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(records.rowCount(), 2);

    // Once the other program is done, the same load goes through.
    holder.write("COMMIT;\n.quit\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    interactor.writeFromModel(log.get(), 5, QStringLiteral("ZR-7.47"), 256, 257, 258);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(stored.count(), 2);
    QCOMPARE(stored.at(1).at(0).toInt(), 2);
    QCOMPARE(shell(archive, "SELECT count(*) FROM RECORD_ZR"), QStringList{"4"});
    QCOMPARE(shell(archive, "SELECT unit FROM UNIT ORDER BY idUnit"), QStringList({"°C", "чужая"}));
}

QTEST_MAIN(TestArchiveBusy)
#include "tst_archivebusy.moc"
