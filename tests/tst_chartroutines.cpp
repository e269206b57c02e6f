// Shared chart routines: axis styling and range, the time axis of clock
// readings and its labels, the filling and thinning of a line series.
#include "report/ChartRoutines.h"

#include <QStandardItemModel>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace QtCharts;

namespace {

const int Raw = ChartRoutines::RawValueRole;

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// Position of a reading on the time axis, written out independently: the
// reading's milliseconds since 1970-01-01 00:00 of the same clock.
double axisAt(int y, int mo, int d, int h, int mi, int s)
{
    const qint64 days = QDate(1970, 1, 1).daysTo(QDate(y, mo, d));
    return double(((days * 24 + h) * 60 + mi) * 60 + s) * 1000.0;
}

// Does this machine's zone skip 02:00-03:00 on 14 March 2021 (New York does)?
bool zoneSkipsSpringHour()
{
    return !QDateTime(QDate(2021, 3, 14), QTime(2, 30), Qt::LocalTime).isValid();
}

QStringList labelsOf(QtCharts::QCategoryAxis& axis)
{
    return axis.categoriesLabels();
}

// A log-like table: column 0 holds the UTC clock reading, column 1 a value or
// nothing at all (a record without that channel).
std::unique_ptr<QStandardItemModel> makeModel(const QList<QPair<QDateTime, QVariant>>& rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), 2);
    for (int r = 0; r < rows.size(); ++r) {
        model->setData(model->index(r, 0), rows[r].first, Raw);
        if (rows[r].second.isValid())
            model->setData(model->index(r, 1), rows[r].second, Raw);
    }
    return model;
}

} // namespace

class TestChartRoutines : public QObject
{
    Q_OBJECT
private slots:
    void chartFont_isBoldTimesNinePixels();
    void styleValueAxis_setsTitleLabelsAndTicks();
    void styleValueAxisUntitled_keepsTitle();

    void valueAxisRange_constantSeries_widenedByFiveHundredths();
    void valueAxisRange_spansSmallestAndLargestY();
    void valueAxisRange_emptySeries_hidesAxis();

    void clockAxis_valueAndReadingRoundTrip_data();
    void clockAxis_valueAndReadingRoundTrip();
    void localWallClock_skippedReadingMovesOutOfTheGap();

    void ticks_shortRangeKeepsLabelsDistinct();
    void timeAxis_labelsFollowTheRange();
    void dateAxis_equalEnds_twoSecondsAroundInstant();
    void dateAxis_rangeAndLook();

    void fillSeries_takesRowRangeInclusiveAndSkipsMissingValues();
    void fillSeries_notANumberIsNoPoint();
    void fillSeries_singlePointIsShownAsMarker();
    void fillSeries_appendsToExistingPoints();
    void fillSeries_rowsOutsideModelIgnored();
    void fillSeries_oneReplaceForWholeColumn();

    void thin_keepsEveryPixelColumnsExtremesAndFewPoints();
    void thin_linesOutsideTheRangeStillReachTheEdges();
    void thin_shortLineUnchanged();
    void xSpan_clockSetBackWhileLogging();
    void linesPerUnit_oneLinePerUnitAndNoPointWithoutANumber();
};

void TestChartRoutines::chartFont_isBoldTimesNinePixels()
{
    const QFont font = ChartRoutines::chartFont();
    QCOMPARE(font.family(), QStringLiteral("Times"));
    QCOMPARE(font.pixelSize(), 9);
    QCOMPARE(font.weight(), 75);
}

void TestChartRoutines::styleValueAxis_setsTitleLabelsAndTicks()
{
    QValueAxis axis;
    ChartRoutines::styleValueAxis(&axis, QStringLiteral("Канал №1,%"));
    QCOMPARE(axis.titleText(), QStringLiteral("Канал №1,%"));
    QCOMPARE(axis.labelFormat(), QStringLiteral("%10.2f"));
    QCOMPARE(axis.tickCount(), 15);
    QCOMPARE(axis.labelsFont(), ChartRoutines::chartFont());

    // A date axis only takes the title and the font.
    QDateTimeAxis dateAxis;
    const int ticks = dateAxis.tickCount();
    ChartRoutines::styleValueAxis(&dateAxis, QStringLiteral("t"));
    QCOMPARE(dateAxis.titleText(), QStringLiteral("t"));
    QCOMPARE(dateAxis.tickCount(), ticks);
    ChartRoutines::styleValueAxis(nullptr, QStringLiteral("t"));
}

void TestChartRoutines::styleValueAxisUntitled_keepsTitle()
{
    QValueAxis axis;
    axis.setTitleText(QStringLiteral("Канал №2"));
    ChartRoutines::styleValueAxisUntitled(&axis);
    QCOMPARE(axis.titleText(), QStringLiteral("Канал №2"));
    QCOMPARE(axis.labelFormat(), QStringLiteral("%10.2f"));
    QCOMPARE(axis.tickCount(), 15);
}

void TestChartRoutines::valueAxisRange_constantSeries_widenedByFiveHundredths()
{
    QLineSeries series;
    series.append(1000, 21.5);
    series.append(2000, 21.5);
    QValueAxis axis;
    ChartRoutines::setValueAxisRange(&series, &axis);
    QCOMPARE(axis.min(), 21.45);
    QCOMPARE(axis.max(), 21.55);
    QVERIFY(axis.isVisible());
}

void TestChartRoutines::valueAxisRange_spansSmallestAndLargestY()
{
    QLineSeries series;
    series.append(1, 5.0);
    series.append(2, -3.25);
    series.append(3, 7.0);
    series.append(4, 0.0);
    QValueAxis axis;
    ChartRoutines::setValueAxisRange(&series, &axis);
    QCOMPARE(axis.min(), -3.30);
    QCOMPARE(axis.max(), 7.05);
}

void TestChartRoutines::valueAxisRange_emptySeries_hidesAxis()
{
    QLineSeries series;
    QValueAxis axis;
    axis.setRange(2, 3);
    ChartRoutines::setValueAxisRange(&series, &axis);
    QVERIFY(!axis.isVisible());
    QCOMPARE(axis.min(), 2.0);
    QCOMPARE(axis.max(), 3.0);
    ChartRoutines::setValueAxisRange(nullptr, &axis);
    ChartRoutines::setValueAxisRange(&series, nullptr);
}

void TestChartRoutines::clockAxis_valueAndReadingRoundTrip_data()
{
    QTest::addColumn<QDateTime>("reading");
    QTest::addColumn<double>("axis");
    QTest::newRow("epoch") << utc(1970, 1, 1, 0, 0, 0) << 0.0;
    QTest::newRow("1999") << utc(1999, 12, 31, 23, 59, 59) << axisAt(1999, 12, 31, 23, 59, 59);
    QTest::newRow("in the spring gap") << utc(2021, 3, 14, 2, 30, 0) << axisAt(2021, 3, 14, 2, 30, 0);
    QTest::newRow("in the doubled hour") << utc(2021, 11, 7, 1, 30, 0) << axisAt(2021, 11, 7, 1, 30, 0);
    // A date field hands over a local date-time: its shown reading counts.
    QTest::newRow("local spec") << QDateTime(QDate(2023, 11, 14), QTime(22, 13, 20), Qt::LocalTime)
                                << axisAt(2023, 11, 14, 22, 13, 20);
}

void TestChartRoutines::clockAxis_valueAndReadingRoundTrip()
{
    QFETCH(QDateTime, reading);
    QFETCH(double, axis);
    QCOMPARE(ChartRoutines::clockAxisValue(reading), axis);
    const QDateTime back = ChartRoutines::clockFromAxisValue(axis);
    QCOMPARE(back.timeSpec(), Qt::UTC);
    QCOMPARE(back.date(), reading.date());
    QCOMPARE(back.time(), reading.time());
    QVERIFY(std::isnan(ChartRoutines::clockAxisValue(QDateTime())));
    QVERIFY(!ChartRoutines::clockFromAxisValue(std::nan("")).isValid());
}

void TestChartRoutines::localWallClock_skippedReadingMovesOutOfTheGap()
{
    const QDateTime ordinary = utc(2021, 7, 1, 2, 30, 0);
    const QDateTime local = ChartRoutines::localWallClock(ordinary);
    QCOMPARE(local.timeSpec(), Qt::LocalTime);
    QCOMPARE(local.time(), QTime(2, 30));
    QCOMPARE(local.date(), ordinary.date());

    const QDateTime skipped = utc(2021, 3, 14, 2, 30, 0);
    const QDateTime later = ChartRoutines::localWallClock(skipped, ChartRoutines::GapSide::Later);
    const QDateTime earlier = ChartRoutines::localWallClock(skipped, ChartRoutines::GapSide::Earlier);
    QVERIFY(later.isValid() && earlier.isValid());
    if (zoneSkipsSpringHour()) {
        QCOMPARE(later.time(), QTime(3, 30));
        QCOMPARE(earlier.time(), QTime(1, 30));
    } else {
        QCOMPARE(later.time(), QTime(2, 30));
        QCOMPARE(earlier.time(), QTime(2, 30));
    }
    QCOMPARE(later.date(), skipped.date());
    QCOMPARE(ChartRoutines::localClockMSecs(skipped), later.toMSecsSinceEpoch());
    QVERIFY(!ChartRoutines::localWallClock(QDateTime()).isValid());
}

void TestChartRoutines::ticks_shortRangeKeepsLabelsDistinct()
{
    const double at = axisAt(2000, 1, 1, 12, 0, 0);
    const auto ticks = ChartRoutines::timeAxisTicks(at - 1000, at + 2000);
    QStringList labels;
    for (const auto& tick : ticks)
        labels << tick.label;
    QCOMPARE(labels, QStringList({"01.01.00 11:59:59", "01.01.00 12:00:00", "01.01.00 12:00:01",
                                  "01.01.00 12:00:02"}));
    QCOMPARE(ChartRoutines::timeAxisTicks(at, at).size(), 1);
    QVERIFY(ChartRoutines::timeAxisTicks(at, at - 1).isEmpty());
}

void TestChartRoutines::timeAxis_labelsFollowTheRange()
{
    QtCharts::QCategoryAxis axis;
    axis.setRange(axisAt(2021, 3, 14, 1, 0, 0), axisAt(2021, 3, 14, 3, 0, 0));
    ChartRoutines::keepTimeAxisLabelled(&axis);
    QCOMPARE(labelsOf(axis).size(), 25);
    QCOMPARE(labelsOf(axis).constFirst(), QStringLiteral("14.03.21 01:00:00"));
    QCOMPARE(axis.labelsPosition(), QtCharts::QCategoryAxis::AxisLabelsPositionOnValue);

    // A zoom into the hour New York's clocks skip that night: 25 evenly
    // spaced ticks labelled with the readings of that hour, in every zone.
    axis.setRange(axisAt(2021, 3, 14, 2, 10, 0), axisAt(2021, 3, 14, 2, 50, 0));
    const QStringList zoomed = labelsOf(axis);
    QCOMPARE(zoomed.size(), 25);
    QCOMPARE(zoomed.constFirst(), QStringLiteral("14.03.21 02:10:00"));
    QCOMPARE(zoomed.at(12), QStringLiteral("14.03.21 02:30:00"));
    QCOMPARE(axis.endValue(zoomed.at(12)), axisAt(2021, 3, 14, 2, 30, 0));
    QCOMPARE(zoomed.constLast(), QStringLiteral("14.03.21 02:50:00"));
    QCOMPARE(axis.endValue(zoomed.constLast()), axisAt(2021, 3, 14, 2, 50, 0));
}

void TestChartRoutines::dateAxis_equalEnds_twoSecondsAroundInstant()
{
    const QDateTime at = utc(2023, 11, 14, 22, 13, 20);
    std::unique_ptr<QtCharts::QCategoryAxis> axis(ChartRoutines::makeDateAxis(at, at));
    QCOMPARE(axis->min(), axisAt(2023, 11, 14, 22, 13, 19));
    QCOMPARE(axis->max(), axisAt(2023, 11, 14, 22, 13, 21));
    QCOMPARE(labelsOf(*axis), QStringList({"14.11.23 22:13:19", "14.11.23 22:13:20", "14.11.23 22:13:21"}));
}

void TestChartRoutines::dateAxis_rangeAndLook()
{
    const QDateTime begin = utc(2021, 3, 14, 1, 0, 0);
    const QDateTime end = utc(2021, 3, 15, 12, 30, 0);
    std::unique_ptr<QtCharts::QCategoryAxis> axis(ChartRoutines::makeDateAxis(begin, end));
    QCOMPARE(axis->min(), axisAt(2021, 3, 14, 1, 0, 0));
    QCOMPARE(axis->max(), axisAt(2021, 3, 15, 12, 30, 0));
    QCOMPARE(labelsOf(*axis).size(), 25);
    QCOMPARE(labelsOf(*axis).constLast(), QStringLiteral("15.03.21 12:30:00"));
    QCOMPARE(axis->titleText(), QStringLiteral("Время"));
    QCOMPARE(axis->labelsAngle(), -90);
    QCOMPARE(axis->titleFont(), ChartRoutines::chartFont());
    QCOMPARE(axis->labelsFont(), ChartRoutines::chartFont());
}

void TestChartRoutines::fillSeries_takesRowRangeInclusiveAndSkipsMissingValues()
{
    const QDateTime t0 = utc(2022, 6, 1, 10, 0, 0);
    auto model = makeModel({{t0, 1.5f}, {t0.addSecs(1), QVariant()}, {t0.addSecs(2), 2.5f},
                            {t0.addSecs(3), 3.5f}, {t0.addSecs(4), 4.5f}});
    QLineSeries series;
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 1, 3);
    QCOMPARE(series.count(), 2);
    QCOMPARE(series.at(0), QPointF(axisAt(2022, 6, 1, 10, 0, 2), 2.5));
    QCOMPARE(series.at(1), QPointF(axisAt(2022, 6, 1, 10, 0, 3), 3.5));
    QVERIFY(!series.pointsVisible());

    QLineSeries none;
    ChartRoutines::fillSeriesFromColumn(&none, model.get(), 1, 1, 1);
    QCOMPARE(none.count(), 0);
}

void TestChartRoutines::fillSeries_notANumberIsNoPoint()
{
    const QDateTime t0 = utc(2022, 6, 1, 10, 0, 0);
    const float inf = std::numeric_limits<float>::infinity();
    auto model = makeModel({{t0, std::nanf("")}, {t0.addSecs(1), 2.0f}, {t0.addSecs(2), inf},
                            {t0.addSecs(3), -inf}, {t0.addSecs(4), 4.0f}});
    QLineSeries series;
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 0, 4);
    QCOMPARE(series.count(), 2);
    QCOMPARE(series.at(0).y(), 2.0);
    QCOMPARE(series.at(1).y(), 4.0);
}

void TestChartRoutines::fillSeries_singlePointIsShownAsMarker()
{
    auto model = makeModel({{utc(2022, 6, 1, 10, 0, 0), 7.0f}});
    QLineSeries series;
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 0, 0);
    QCOMPARE(series.count(), 1);
    QVERIFY(series.pointsVisible());
}

void TestChartRoutines::fillSeries_appendsToExistingPoints()
{
    const QDateTime t0 = utc(2022, 6, 1, 10, 0, 0);
    auto model = makeModel({{t0, 7.0f}});
    QLineSeries series;
    series.append(1, -1);
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 0, 0);
    QCOMPARE(series.count(), 2);
    QCOMPARE(series.at(0), QPointF(1, -1));
    QCOMPARE(series.at(1).y(), 7.0);
}

void TestChartRoutines::fillSeries_rowsOutsideModelIgnored()
{
    const QDateTime t0 = utc(2022, 6, 1, 10, 0, 0);
    auto model = makeModel({{t0, 1.0f}, {t0.addSecs(60), 2.0f}});
    QLineSeries series;
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, -5, 99);
    QCOMPARE(series.count(), 2);
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 1, 0);
    QCOMPARE(series.count(), 2);
    ChartRoutines::fillSeriesFromColumn(&series, nullptr, 1, 0, 1);
    ChartRoutines::fillSeriesFromColumn(nullptr, model.get(), 1, 0, 1);
    QCOMPARE(series.count(), 2);
}

void TestChartRoutines::fillSeries_oneReplaceForWholeColumn()
{
    const QDateTime t0 = utc(2022, 6, 1, 10, 0, 0);
    QList<QPair<QDateTime, QVariant>> rows;
    for (int i = 0; i < 500; ++i)
        rows.append({t0.addSecs(i), float(i)});
    auto model = makeModel(rows);
    QLineSeries series;
    QSignalSpy added(&series, &QXYSeries::pointAdded);
    QSignalSpy replaced(&series, &QXYSeries::pointsReplaced);
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 0, 499);
    QCOMPARE(series.count(), 500);
    QCOMPARE(added.count(), 0);
    QCOMPARE(replaced.count(), 1);
}

namespace {

// Lowest and highest y per pixel column of minX..maxX, found by brute force.
QMap<int, QPair<double, double>> columnExtremes(const QVector<QPointF>& points, double minX, double maxX, int columns)
{
    QMap<int, QPair<double, double>> extremes;
    for (const QPointF& p : points) {
        if (p.x() < minX || p.x() > maxX)
            continue;
        const int column = std::min(columns - 1, int((p.x() - minX) / ((maxX - minX) / columns)));
        auto found = extremes.find(column);
        if (found == extremes.end())
            extremes.insert(column, {p.y(), p.y()});
        else
            *found = {std::min(found->first, p.y()), std::max(found->second, p.y())};
    }
    return extremes;
}

// A noisy line of `count` points one second apart, whose clock jumps back by
// an hour two thirds of the way through.
QVector<QPointF> noisyLine(int count)
{
    QVector<QPointF> points;
    for (int i = 0; i < count; ++i) {
        const double x = i * 1000.0 - (i >= 2 * count / 3 ? 3600000.0 : 0.0);
        points.append({x, std::sin(i * 0.37) * 10 + ((i * 7919) % 13)});
    }
    return points;
}

} // namespace

void TestChartRoutines::thin_keepsEveryPixelColumnsExtremesAndFewPoints()
{
    const QVector<QPointF> line = noisyLine(40000);
    // Two points per pixel column and pass of the line (the stretch the clock
    // jump repeats is passed twice), and the ends of the runs outside.
    for (const auto& [minX, maxX, columns, most] : {std::tuple{0.0, 40000000.0, 800, 2 * (800 + 72) + 8},
                                                     std::tuple{5e6, 6e6, 300, 2 * 300 + 8},
                                                     std::tuple{25e6, 27e6, 1000, 2 * 2 * 1000 + 8}}) {
        const QVector<QPointF> thinned = ChartRoutines::thinToColumns(line, minX, maxX, columns);
        QVERIFY2(thinned.size() <= most, qPrintable(QString::number(thinned.size())));
        QCOMPARE(columnExtremes(thinned, minX, maxX, columns), columnExtremes(line, minX, maxX, columns));
    }
}

void TestChartRoutines::thin_linesOutsideTheRangeStillReachTheEdges()
{
    const QVector<QPointF> line = noisyLine(9000);
    const QVector<QPointF> thinned = ChartRoutines::thinToColumns(line, 2000000.0, 3000000.0, 100);
    // The last point before the range and the first after it are kept, so the
    // line runs into the plot from both sides.
    QVERIFY(thinned.contains(line.at(1999)));
    QVERIFY(thinned.contains(line.at(3001)));
    QVERIFY(thinned.contains(line.constFirst()));
    QVERIFY(thinned.contains(line.constLast()));
    QVERIFY(thinned.size() < 400);
}

void TestChartRoutines::thin_shortLineUnchanged()
{
    const QVector<QPointF> line = noisyLine(200);
    QCOMPARE(ChartRoutines::thinToColumns(line, 0, 300000, 100), line);
    QCOMPARE(ChartRoutines::thinToColumns(noisyLine(1000), 5.0, 5.0, 10), noisyLine(1000));
    QVERIFY(ChartRoutines::thinToColumns({}, 0, 1, 1).isEmpty());
}

void TestChartRoutines::xSpan_clockSetBackWhileLogging()
{
    const ChartRoutines::Span span = ChartRoutines::xSpan({{5000, 1}, {9000, 2}, {1000, 3}, {7000, 4}});
    QVERIFY(!span.isEmpty);
    QCOMPARE(span.min, 1000.0);
    QCOMPARE(span.max, 9000.0);
    QVERIFY(ChartRoutines::xSpan({}).isEmpty);
}

void TestChartRoutines::linesPerUnit_oneLinePerUnitAndNoPointWithoutANumber()
{
    // Cells of a selection column; row 7 has no readable time stamp.
    const QStringList cells = {"21.50 °C", "", "nan °C", "750 мм.рт.ст.", "22.5 °C", "1.5", "----", "99 °C", "inf Лк"};
    const auto cell = [&cells](int row, double& x, QString& text) {
        x = row * 1000.0;
        text = cells.at(row);
        return row != 7;
    };
    auto read = [](const QVector<ChartRoutines::UnitLine>& lines) {
        QList<QPair<QString, QVector<QPointF>>> plain;
        for (const auto& line : lines)
            plain << qMakePair(line.unit, line.points);
        return plain;
    };
    using Lines = QList<QPair<QString, QVector<QPointF>>>;
    QCOMPARE(read(ChartRoutines::linesPerUnit(0, 8, cell)),
             Lines({{"°C", {{0, 21.5}, {4000, 22.5}}}, {"мм.рт.ст.", {{3000, 750}}}, {"", {{5000, 1.5}}}}));
    // Only the rows asked for; units in the order they appear there.
    QCOMPARE(read(ChartRoutines::linesPerUnit(3, 4, cell)), Lines({{"мм.рт.ст.", {{3000, 750}}}, {"°C", {{4000, 22.5}}}}));
    QVERIFY(ChartRoutines::linesPerUnit(5, 4, cell).isEmpty());
    QCOMPARE(ChartRoutines::unitLineName("Канал №1", "Лк"), QStringLiteral("Канал №1, Лк"));
    QCOMPARE(ChartRoutines::unitLineName("Канал №1", ""), QStringLiteral("Канал №1, без единиц"));
}

QTEST_MAIN(TestChartRoutines)
#include "tst_chartroutines.moc"
