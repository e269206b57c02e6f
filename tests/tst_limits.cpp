// Alarm limits of a log: where they come from, what the user may type, and
// the figures of an evaluation, checked against values worked out by hand.
#include "data/AlarmLimits.h"
#include "data/LimitEvaluation.h"
#include "data/LimitTexts.h"
#include "data/LogFile.h"
#include "data/LogLimits.h"
#include "data/ModelLogRecord.h"

#include "LogFileBytes.h"

#include <QFile>
#include <QJsonArray>
#include <QStandardItemModel>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

constexpr double gap = std::numeric_limits<double>::quiet_NaN();
const QString celsius = QString::fromUtf8("\u00B0C");

// Readings one minute apart from 2024-01-01 00:00 of the instrument's clock.
QVector<LimitReading> minutely(const QVector<double>& values)
{
    QVector<LimitReading> readings;
    for (int i = 0; i < values.size(); ++i)
        readings.append({1704067200 + 60 * i, values.at(i)});
    return readings;
}

QJsonObject settingsJson(const char* text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

const char* const recordSettings = R"({
  "logPeriodSeconds": 60,
  "channels": [
    {"number": 1, "alarm": true,
     "limits": {"temperature": {"lower": 2.0, "upper": 8.0}, "humidity": {"lower": 30.0, "upper": 70.0},
                "airFlow": {"lower": 0.0, "upper": 5.0}, "pressure": {"lower": 700.0, "upper": 800.0},
                "light": {"lower": 10.0, "upper": 10.0}}},
    {"number": 2, "alarm": false,
     "limits": {"temperature": {"lower": -20.0, "upper": -10.0}, "humidity": {"lower": 4.0, "upper": 16.0}}}
  ],
  "secondModel": {"sensorType": 0, "unit": 3}
})";

} // namespace

class TestLimits : public QObject
{
    Q_OBJECT
private slots:
    void meanKineticTemperature_matchesReferenceValues_data()
    {
        QTest::addColumn<QVector<double>>("celsius");
        QTest::addColumn<double>("expected");
        QTest::newRow("constant 5") << QVector<double>{5, 5, 5} << 5.000;
        QTest::newRow("20 and 30") << QVector<double>{20, 30} << 26.260;
        QTest::newRow("2, 8, 25") << QVector<double>{2, 8, 25} << 17.016;
        QTest::newRow("20, 20, 20, 40") << QVector<double>{20, 20, 20, 40} << 29.628;
        QTest::newRow("deep cold does not vanish") << QVector<double>{-196, -196} << -196.000;
    }
    void meanKineticTemperature_matchesReferenceValues()
    {
        QFETCH(QVector<double>, celsius);
        QFETCH(double, expected);
        const std::optional<double> mkt = LimitEvaluator::meanKineticTemperature(celsius);
        QVERIFY(mkt.has_value());
        QCOMPARE(std::round(*mkt * 1000) / 1000, expected);
    }

    void meanKineticTemperature_hasNoneBelowAbsoluteZeroOrWithoutValues()
    {
        QVERIFY(!LimitEvaluator::meanKineticTemperature({}).has_value());
        QVERIFY(!LimitEvaluator::meanKineticTemperature({20, -300}).has_value());
    }

    void evaluation_countsTimesEventsAndFirstOutside_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<qint64>("period");
        QTest::addColumn<int>("above");
        QTest::addColumn<int>("below");
        QTest::addColumn<int>("eventsAbove");
        QTest::addColumn<int>("eventsBelow");
        QTest::addColumn<qint64>("secondsAbove");
        QTest::addColumn<qint64>("secondsBelow");
        QTest::addColumn<int>("firstOutside");
        QTest::addColumn<int>("withoutValue");
        // Limits 2..8 in every row.
        QTest::newRow("runs at the start and at the end")
            << QVector<double>{9, 9, 5, 1, 1, 1, 9} << qint64(60) << 3 << 3 << 2 << 1 << qint64(180) << qint64(180) << 0 << 0;
        QTest::newRow("limits themselves are inside")
            << QVector<double>{2, 8, 5} << qint64(60) << 0 << 0 << 0 << 0 << qint64(0) << qint64(0) << -1 << 0;
        QTest::newRow("no value is neither outside nor the end of a run")
            << QVector<double>{5, 9, gap, 9, 5} << qint64(60) << 2 << 0 << 1 << 0 << qint64(120) << qint64(0) << 1 << 1;
        QTest::newRow("straight from above to below is two events")
            << QVector<double>{9, 1, 9} << qint64(600) << 2 << 1 << 2 << 1 << qint64(1200) << qint64(600) << 0 << 0;
        QTest::newRow("single reading lasts one interval")
            << QVector<double>{-3} << qint64(300) << 0 << 1 << 0 << 1 << qint64(0) << qint64(300) << 0 << 0;
        QTest::newRow("only no values")
            << QVector<double>{gap, gap} << qint64(60) << 0 << 0 << 0 << 0 << qint64(0) << qint64(0) << -1 << 2;
    }
    void evaluation_countsTimesEventsAndFirstOutside()
    {
        QFETCH(QVector<double>, values);
        QFETCH(qint64, period);
        const LimitEvaluation e = LimitEvaluator::evaluate(minutely(values), AlarmLimits{2.0, 8.0}, period, false);
        QTEST(e.countAbove, "above");
        QTEST(e.countBelow, "below");
        QTEST(e.eventsAbove, "eventsAbove");
        QTEST(e.eventsBelow, "eventsBelow");
        QTEST(e.secondsAbove(), "secondsAbove");
        QTEST(e.secondsBelow(), "secondsBelow");
        QTEST(e.firstOutside.index, "firstOutside");
        QTEST(e.withoutValue, "withoutValue");
        QFETCH(int, above);
        QFETCH(int, below);
        QCOMPARE(e.isWithin(), above + below == 0);
    }

    void evaluation_withoutPeriod_countsTheMedianStepOfTheClock()
    {
        // Steps 60, 60, 3600 and one clock set back: the median is 60 s.
        QVector<LimitReading> readings{{1000, 9}, {1060, 9}, {1120, 9}, {4720, 9}, {4000, 5}};
        const LimitEvaluation e = LimitEvaluator::evaluate(readings, AlarmLimits{2, 8}, 0, false);
        QCOMPARE(e.intervalSeconds, qint64(60));
        QCOMPARE(e.secondsAbove(), qint64(240));
        // A single reading of unknown period has no duration to claim.
        QCOMPARE(LimitEvaluator::evaluate({{1000, 9}}, AlarmLimits{2, 8}, 0, false).intervalSeconds, qint64(0));
    }

    void evaluation_findsTheFirstOfEqualExtremesAndMktOnlyForCelsius()
    {
        const LimitEvaluation e = LimitEvaluator::evaluate(minutely({5, 7, 7, 3, 3}), std::nullopt, 60, true);
        QVERIFY(!e.isLimited());
        QCOMPARE(e.maximum.index, 1);
        QCOMPARE(e.minimum.index, 3);
        QCOMPARE(e.maximum.clock, qint64(1704067260));
        QVERIFY(e.meanKineticTemperature.has_value());
        QVERIFY(!LimitEvaluator::evaluate(minutely({5}), std::nullopt, 60, false).meanKineticTemperature);
        // A pair that is not a range is no limits at all.
        QVERIFY(!LimitEvaluator::evaluate(minutely({5}), AlarmLimits{8, 2}, 60, false).isLimited());
    }

    void limitsFromSettings_followUnitChannelAndSwitch_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("secondModel");
        QTest::addColumn<QString>("settingsPatch");
        QTest::addColumn<bool>("limited");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("°C of channel 1") << 1 << celsius << false << QString() << true << 2.0 << 8.0;
        QTest::newRow("additional °C of channel 1") << 2 << celsius << false << QString() << true << 2.0 << 8.0;
        QTest::newRow("% of channel 1") << 1 << QStringLiteral("%") << false << QString() << true << 30.0 << 70.0;
        QTest::newRow("mm Hg of channel 1") << 1 << QString::fromUtf8("мм.рт.ст.") << false << QString() << true << 700.0 << 800.0;
        QTest::newRow("lx pair that is no range") << 1 << QString::fromUtf8("Лк") << false << QString() << false << 0.0 << 0.0;
        QTest::newRow("mA has no alarm") << 2 << QString::fromUtf8("мА") << false << QString() << false << 0.0 << 0.0;
        QTest::newRow("channel 2 alarm off") << 3 << celsius << false << QString() << false << 0.0 << 0.0;
        QTest::newRow("ZR-7.49 resistive sensor") << 3 << celsius << true << QStringLiteral("on") << true << -20.0 << -10.0;
        QTest::newRow("ZR-7.49 current sensor in lx") << 3 << QString::fromUtf8("Лк") << true << QStringLiteral("current") << true << 4.0 << 16.0;
        QTest::newRow("ZR-7.47 channel 2 in lx") << 3 << QString::fromUtf8("Лк") << false << QStringLiteral("on") << false << 0.0 << 0.0;
    }
    void limitsFromSettings_followUnitChannelAndSwitch()
    {
        QFETCH(int, column);
        QFETCH(QString, unit);
        QFETCH(bool, secondModel);
        QFETCH(QString, settingsPatch);
        QFETCH(bool, limited);
        QJsonObject settings = settingsJson(recordSettings);
        if (!settingsPatch.isEmpty()) {
            QJsonArray channels = settings.value("channels").toArray();
            QJsonObject second = channels.at(1).toObject();
            second.insert("alarm", true);
            channels.replace(1, second);
            settings.insert("channels", channels);
        }
        if (settingsPatch == QLatin1String("current"))
            settings.insert("secondModel", QJsonObject{{"sensorType", 5}, {"unit", 4}});
        const std::optional<AlarmLimits> limits = AlarmLimitRules::fromSettings(settings, column, unit, secondModel);
        QCOMPARE(limits.has_value(), limited);
        if (limited) {
            QTEST(limits->lower, "lower");
            QTEST(limits->upper, "upper");
        }
    }

    void typedRange_acceptsBothSeparatorsAndRefusesNonRanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("dots") << "2..8" << true << 2.0 << 8.0;
        QTest::newRow("commas") << "2,5..8,5" << true << 2.5 << 8.5;
        QTest::newRow("negative") << " -5.5 .. -0,5 " << true << -5.5 << -0.5;
        QTest::newRow("lower equals upper") << "8..8" << false << 0.0 << 0.0;
        QTest::newRow("lower above upper") << "8..2" << false << 0.0 << 0.0;
        QTest::newRow("not a number") << "nan..8" << false << 0.0 << 0.0;
        QTest::newRow("infinite") << "2..inf" << false << 0.0 << 0.0;
        QTest::newRow("text") << QString::fromUtf8("два..восемь") << false << 0.0 << 0.0;
        QTest::newRow("no range") << "2-8" << false << 0.0 << 0.0;
        QTest::newRow("empty upper") << "2.." << false << 0.0 << 0.0;
    }
    void typedRange_acceptsBothSeparatorsAndRefusesNonRanges()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QString why;
        const std::optional<AlarmLimits> limits = AlarmLimitRules::parseRange(text, &why);
        QCOMPARE(limits.has_value(), accepted);
        QCOMPARE(why.isEmpty(), accepted);
        if (accepted) {
            QTEST(limits->lower, "lower");
            QTEST(limits->upper, "upper");
        }
    }

    // A log file with its download record beside it, opened as the data
    // screen opens it, across the night New York's clocks went forward: the
    // instrument's readings run on unchanged and so do the durations.
    void logWithRecord_isEvaluatedOnTheInstrumentClock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("65ED1B40.LOG");
        QByteArray bytes = logbytes::header(0, 1234567);
        const quint32 start = 1710035880; // 10.03.2024 01:58:00 on the instrument's clock
        const float values[] = {9.5f, 9.0f, 5.0f, 1.0f, 5.0f};
        for (int i = 0; i < 5; ++i)
            bytes += logbytes::record(start + 60 * i, logbytes::present(values[i], 20.0f, 67), logbytes::absent());
        QFile log(path);
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(bytes);
        log.close();
        QFile record(path + ".json");
        QVERIFY(record.open(QIODevice::WriteOnly));
        record.write(QByteArray("{\"format\": \"orvelin-download/1\", \"sha256\": \"") + QByteArray(64, 'a')
                     + "\", \"settings\": " + recordSettings + "}");
        record.close();

        ModelLogRecord model;
        LogFile::readInto(path, model);
        const ColumnLimitSet set = LogLimits::forLog(model);
        QCOMPARE(set.logPeriodSeconds, qint64(60));
        // Column 1 reads %, column 2 (additional) °C; channel 2 is absent.
        QCOMPARE(set.of(1), std::optional<AlarmLimits>(AlarmLimits{30, 70}));
        QCOMPARE(set.of(2), std::optional<AlarmLimits>(AlarmLimits{2, 8}));
        QVERIFY(!set.of(3));

        const auto readings = LogLimits::logColumnReadings(model, 1);
        QCOMPARE(readings, LogLimits::columnReadings(&model, 1, ModelLogRecord::ValueRole));
        // Against 2..8 the first two minutes are above, one below.
        const LimitEvaluation e = LimitEvaluator::evaluate(readings, AlarmLimits{2, 8}, 0, false);
        QCOMPARE(e.intervalSeconds, qint64(60));
        QCOMPARE(LimitTexts::durationText(e.secondsAbove()), QStringLiteral("00:02:00"));
        QCOMPARE(LimitTexts::clockText(e.firstOutside.clock), QStringLiteral("10.03.2024 01:58:00"));
        QCOMPARE(LimitTexts::clockText(e.minimum.clock), QStringLiteral("10.03.2024 02:01:00"));

        // A record that is there but refused gives no limits and says why.
        QVERIFY(record.open(QIODevice::WriteOnly | QIODevice::Truncate));
        record.write("{\"settings\": {}}");
        record.close();
        QString why;
        QVERIFY(LogLimits::forLog(model, &why).byColumn.isEmpty());
        QVERIFY(why.contains("65ED1B40.LOG.json"));

        // A log without a record simply has no limits, and nothing to say.
        QVERIFY(QFile::remove(path + ".json"));
        QVERIFY(LogLimits::forLog(model, &why).byColumn.isEmpty());
        QVERIFY(why.isEmpty());
    }

    // A database selection holds texts; a value in another unit, an empty
    // cell or a NULL is no value of the column, and the times stay readings
    // of the instrument's clock also in the hour New York skips.
    void selectionTexts_areReadAsReadingsOfTheColumnsUnit()
    {
        QStandardItemModel selection;
        const QStringList times{"10.03.2024 01:59:00", "10.03.2024 02:00:00", "10.03.2024 02:01:00",
                                "10.03.2024 02:02:00", "10.03.2024 02:03:00"};
        const QStringList values{QString::fromUtf8("9.50 \u00B0C"), "55.00 %", QString(), QString::fromUtf8("1.25 \u00B0C"),
                                 QString::fromUtf8("abc \u00B0C")};
        for (int i = 0; i < times.size(); ++i)
            selection.appendRow({new QStandardItem(times.at(i)), new QStandardItem(values.at(i))});
        QCOMPARE(LogLimits::unitOfText(values.at(0)), celsius);
        const QVector<LimitReading> readings = LogLimits::textColumnReadings(&selection, 0, 1, celsius);
        QCOMPARE(readings, (QVector<LimitReading>{{1710035940, 9.5}, {1710036000, gap}, {1710036060, gap},
                                                  {1710036120, 1.25}, {1710036180, gap}}));
        const LimitEvaluation e = LimitEvaluator::evaluate(readings, AlarmLimits{2, 8}, 0, true);
        QCOMPARE(e.intervalSeconds, qint64(180)); // the one step between the two values
        QCOMPARE(e.withoutValue, 3);
        QCOMPARE(e.eventsAbove + e.eventsBelow, 2);
    }

    void texts_sayVerdictDurationsAndFirstOutside()
    {
        const LimitEvaluation e = LimitEvaluator::evaluate(minutely({5, 9.25, gap}), AlarmLimits{2, 8}, 90000, true);
        QCOMPARE(LimitTexts::rows(e, celsius),
                 (QVector<QPair<QString, QString>>{
                     {QString::fromUtf8("Пределы"), QString::fromUtf8("2.00 .. 8.00 \u00B0C")},
                     {QString::fromUtf8("Оценка"), QString::fromUtf8("выход за пределы")},
                     {QString::fromUtf8("Время выше"), QString::fromUtf8("1 сут 01:00:00 (1 изм.)")},
                     {QString::fromUtf8("Время ниже"), QString::fromUtf8("00:00:00 (0 изм.)")},
                     {QString::fromUtf8("Выходов выше"), "1"},
                     {QString::fromUtf8("Выходов ниже"), "0"},
                     {QString::fromUtf8("Первый выход"), QString::fromUtf8("01.01.2024 00:01:00, 9.25 \u00B0C")},
                     {QString::fromUtf8("Нет значения"), QString::fromUtf8("1 изм.")},
                     {QString::fromUtf8("Время максимума"), "01.01.2024 00:01:00"},
                     {QString::fromUtf8("Время минимума"), "01.01.2024 00:00:00"},
                     {QString::fromUtf8("Средняя кинетическая температура"), QString::fromUtf8("7.39 \u00B0C")},
                 }));
    }
};

QTEST_GUILESS_MAIN(TestLimits)
#include "tst_limits.moc"
