// The journal's hash chain, and the road a user or an auditor takes with the
// command line: download from a simulated instrument, verify, tamper, verify again.
#include "data/DownloadRecord.h"
#include "TestSupport.h"
#include "data/Journal.h"
#include "device/DeviceSettingsInteractor.h"
#include "device/SettingsJournal.h"
#include "link/ComPortManager.h"

#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include "CliProcess.h"

#include <QtTest>

namespace {

using CliRun = cliprocess::Run;

CliRun cli(const QStringList& arguments, const QString& ports, const QString& journal)
{
    cliprocess::Setup setup;
    setup.ports = ports;
    setup.locale = QStringLiteral("ru_RU.UTF-8");
    setup.environment << QStringLiteral("ORVELIN_JOURNAL=") + journal;
    return cliprocess::run(arguments, setup);
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A chain written by hand from the rule: each line carries the SHA-256 (hex)
// of the line before it, the first one 64 zeros.
QByteArray handChain(int lines)
{
    QByteArray content;
    QByteArray previous(64, '0');
    for (int i = 1; i <= lines; ++i) {
        const QByteArray line = "{\"event\":\"e" + QByteArray::number(i) + "\",\"prev\":\"" + previous + "\"}";
        content += line + '\n';
        previous = QCryptographicHash::hash(line, QCryptographicHash::Sha256).toHex();
    }
    return content;
}

QList<QByteArray> linesOf(const QByteArray& content)
{
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray joined(const QList<QByteArray>& lines)
{
    QByteArray content;
    for (const QByteArray& line : lines)
        content += line + '\n';
    return content;
}

} // namespace

class TestEvidence : public QObject
{
    Q_OBJECT
private slots:
    void chain_handWritten_isIntact();
    void chain_tampering_namesFirstBadLine_data();
    void chain_tampering_namesFirstBadLine();
    void append_chainsOnAndSurvivesACutOffLastLine();
    void settingsJournal_namesEveryChangedFieldWithOldAndNew();
    void cli_downloadVerifyTamper_andJournalDeletion();
};

void TestEvidence::chain_handWritten_isIntact()
{
    const Journal::Check check = Journal::verify(handChain(4));
    QVERIFY(check.intact);
    QCOMPARE(check.lines, 4);
    QVERIFY(Journal::verify(QByteArray()).intact);
}

void TestEvidence::chain_tampering_namesFirstBadLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("badLine");
    const QList<QByteArray> lines = linesOf(handChain(5));

    QList<QByteArray> removed = lines;
    removed.removeAt(2);
    QTest::newRow("third line removed") << joined(removed) << 3;
    removed = lines;
    removed.removeFirst();
    QTest::newRow("first line removed") << joined(removed) << 1;
    QList<QByteArray> edited = lines;
    edited[1].replace("e2", "e9");
    QTest::newRow("second line edited") << joined(edited) << 3;
    QList<QByteArray> swapped = lines;
    swapped.swapItemsAt(1, 2);
    QTest::newRow("lines swapped") << joined(swapped) << 2;
    QList<QByteArray> notJson = lines;
    notJson.insert(3, "not json at all");
    QTest::newRow("line that is not JSON") << joined(notJson) << 4;
    QList<QByteArray> huge = lines;
    huge[2] = "{\"event\":\"" + QByteArray(70 * 1024, 'x') + "\"}";
    QTest::newRow("line over 64 KB") << joined(huge) << 3;
    QList<QByteArray> blank = lines;
    blank.insert(1, QByteArray());
    QTest::newRow("empty line") << joined(blank) << 2;
}

void TestEvidence::chain_tampering_namesFirstBadLine()
{
    QFETCH(QByteArray, content);
    QFETCH(int, badLine);
    const Journal::Check check = Journal::verify(content);
    QVERIFY(!check.intact);
    QCOMPARE(check.firstBadLine, badLine);
    QVERIFY(!check.reason.isEmpty());
}

void TestEvidence::append_chainsOnAndSurvivesACutOffLastLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.jsonl");
    Journal::append(path, "download", QJsonObject{{"file", "6553F100.LOG"}});
    Journal::append(path, "archiveLoad", QJsonObject{{"values", 12}});
    QByteArray content = testsupport::fileBytes(path);
    QVERIFY(Journal::verify(content).intact);
    const QList<QByteArray> lines = linesOf(content);
    QCOMPARE(lines.size(), 2);
    // The second line chains to the first by the first line's own bytes.
    QCOMPARE(QJsonDocument::fromJson(lines[1]).object()["prev"].toString().toLatin1(),
             QCryptographicHash::hash(lines[0], QCryptographicHash::Sha256).toHex());
    const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
    QCOMPARE(first["event"].toString(), QStringLiteral("download"));
    QCOMPARE(first["file"].toString(), QStringLiteral("6553F100.LOG"));
    QVERIFY(!first["user"].toString().isEmpty());
    QVERIFY(!first["host"].toString().isEmpty());
    QVERIFY(QDateTime::fromString(first["time"].toString(), Qt::ISODate).isValid());

    // A write cut off in the middle of a line: the break is told, and what
    // is appended afterwards still starts a line of its own.
    writeAll(path, content + "{\"event\":\"cut");
    Journal::append(path, "clockSet", QJsonObject());
    content = testsupport::fileBytes(path);
    QCOMPARE(linesOf(content).size(), 4);
    QCOMPARE(Journal::verify(content).firstBadLine, 3);
    QCOMPARE(QJsonDocument::fromJson(linesOf(content)[3]).object()["event"].toString(), QStringLiteral("clockSet"));
}

void TestEvidence::settingsJournal_namesEveryChangedFieldWithOldAndNew()
{
    DeviceSettings before;
    before.brightness = 50;
    before.logPeriod = QTime(0, 1, 0);
    before.channel[0].alarmMax[0] = 8.0f;
    DeviceSettings after = before;
    after.brightness = 40;
    after.channel[0].alarmMax[0] = 9.1f;
    after.value20mA = 100.0f; // not a field of the first model
    const QJsonArray expected = QJsonDocument::fromJson(R"([
        {"field":"brightness","old":50,"new":40},
        {"field":"channel1.temperature.upper","old":8,"new":9.1}])").array();
    QCOMPARE(SettingsJournal::changes(before, after, "ZR7.47 1.03"), expected);
    QCOMPARE(SettingsJournal::changes(before, after, "ZR7.49 1.03").size(), 3);
    // Nothing read before the write: every field, old unknown.
    const QJsonArray unknown = SettingsJournal::changes(std::nullopt, after, "ZR7.47 1.03");
    QVERIFY(unknown.size() > 20);
    QVERIFY(unknown.at(0).toObject()["old"].isNull());

    // Through the interactor against an instrument: a read, a write, one line.
    ZrSimulator::Options options;
    options.defaultFiles = false;
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    ComPortManager manager;
    QVERIFY(manager.connectComPort(sim.portName()));
    QTemporaryDir dir;
    qputenv("ORVELIN_JOURNAL", dir.filePath("journal.jsonl").toUtf8());
    DeviceSettingsInteractor interactor(&manager);
    interactor.setInstrumentId(options.id);
    QSignalSpy received(&interactor, &DeviceSettingsInteractor::deviceBytesSettingReceived);
    interactor.requestSettings();
    QCOMPARE(received.count(), 1);
    DeviceSettings changed = received.at(0).at(0).value<DeviceSettings>();
    const int oldBrightness = changed.brightness;
    changed.brightness = quint8(oldBrightness == 30 ? 31 : 30);
    interactor.setSettings(changed);
    interactor.setCurrentTime();
    qunsetenv("ORVELIN_JOURNAL");
    const QList<QJsonObject> lines = Journal::entries(testsupport::fileBytes(dir.filePath("journal.jsonl")));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0]["event"].toString(), QStringLiteral("settingsWritten"));
    QCOMPARE(lines[0]["changes"].toArray(),
             QJsonArray({QJsonObject{{"field", "brightness"}, {"old", oldBrightness}, {"new", int(changed.brightness)}}}));
    QCOMPARE(lines[0]["instrument"].toObject()["id"].toDouble(), double(options.id));
    QCOMPARE(lines[1]["event"].toString(), QStringLiteral("clockSet"));
    QVERIFY(lines[1]["differenceBeforeSeconds"].isDouble());
}

void TestEvidence::cli_downloadVerifyTamper_andJournalDeletion()
{
    ZrSimulator::Options options;
    options.id = 7000000 + quint32(QCoreApplication::applicationPid() % 1000000);
    options.defaultFiles = false;
    ZrSimulator sim(options);
    QString error;
    QVERIFY2(sim.start(&error), qPrintable(error));
    sim.addRun(30);
    sim.addRun(5);
    QTemporaryDir dir;
    const QString journal = dir.filePath("journal.jsonl");

    const CliRun download = cli({"download", "--all", "-o", dir.path()}, sim.portName(), journal);
    QCOMPARE(download.code, 0);
    const QStringList files = download.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(files.size(), 2);
    for (const QString& file : files)
        QVERIFY(QFile::exists(file + ".json"));

    CliRun verify = cli(QStringList{"verify"} + files, QString(), journal);
    QCOMPARE(verify.code, 0);
    QCOMPARE(verify.out.count(QStringLiteral("совпадает")), 2);

    // One bit flipped in the last record of the first file.
    QByteArray bytes = testsupport::fileBytes(files[0]);
    bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x01);
    writeAll(files[0], bytes);
    writeAll(dir.filePath("stray.LOG"), "id");
    verify = cli(QStringList{"verify", "--json", dir.filePath("stray.LOG")} + files, QString(), journal);
    QCOMPARE(verify.code, 3);
    const QJsonArray results = QJsonDocument::fromJson(verify.out.toUtf8()).object()["files"].toArray();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results[0].toObject()["text"].toString(), QStringLiteral("нет записи о загрузке"));
    QCOMPARE(results[1].toObject()["text"].toString(), QStringLiteral("изменён после загрузки"));
    QCOMPARE(results[2].toObject()["text"].toString(), QStringLiteral("совпадает"));
    QCOMPARE(cli({"verify"}, QString(), journal).code, 1);

    // The journal holds both downloads; deleting the first breaks the chain there.
    CliRun listed = cli({"journal", "--json"}, QString(), journal);
    QCOMPARE(listed.code, 0);
    const QJsonArray entries = QJsonDocument::fromJson(listed.out.toUtf8()).object()["entries"].toArray();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].toObject()["event"].toString(), QStringLiteral("download"));
    QCOMPARE(entries[0].toObject()["sha256"].toString(),
             QString::fromLatin1(testsupport::fileBytes(files[0] + ".json")).section("\"sha256\": \"", 1).left(64));
    QCOMPARE(cli({"journal", "--verify"}, QString(), journal).code, 0);
    QList<QByteArray> lines = linesOf(testsupport::fileBytes(journal));
    lines.removeFirst();
    writeAll(journal, joined(lines));
    const CliRun broken = cli({"journal", "--verify"}, QString(), journal);
    QCOMPARE(broken.code, 3);
    QVERIFY2(broken.out.contains(QStringLiteral("строке 1")), qPrintable(broken.out));
}

QTEST_GUILESS_MAIN(TestEvidence)
#include "tst_evidence.moc"
