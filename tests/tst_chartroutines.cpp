// Shared chart routines: axis styling and range, the report date axis and the
// filling of a line series from a log table column.
#include "report/ChartRoutines.h"

#include <QStandardItemModel>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include <memory>

using namespace QtCharts;

namespace {

const int Raw = ChartRoutines::RawValueRole;

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

qint64 localMs(const QDateTime& utcClock)
{
    return QDateTime(utcClock.date(), utcClock.time(), Qt::LocalTime).toMSecsSinceEpoch();
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

    void dateAxis_equalEnds_twoSecondsAroundInstant();
    void dateAxis_keepsClockReadingAsLocalTime();

    void fillSeries_takesRowRangeInclusiveAndSkipsMissingValues();
    void fillSeries_xIsClockReadingInLocalTime();
    void fillSeries_appendsToExistingPoints();
    void fillSeries_rowsOutsideModelIgnored();
    void fillSeries_oneReplaceForWholeColumn();
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

void TestChartRoutines::dateAxis_equalEnds_twoSecondsAroundInstant()
{
    const QDateTime at = utc(2023, 11, 14, 22, 13, 20);
    std::unique_ptr<QDateTimeAxis> axis(ChartRoutines::makeDateAxis(at, at));
    const QDateTime local(at.date(), at.time(), Qt::LocalTime);
    QCOMPARE(axis->min(), local.addSecs(-1));
    QCOMPARE(axis->max(), local.addSecs(1));
    QCOMPARE(axis->min().secsTo(axis->max()), qint64(2));
}

void TestChartRoutines::dateAxis_keepsClockReadingAsLocalTime()
{
    const QDateTime begin = utc(2021, 3, 14, 1, 0, 0);
    const QDateTime end = utc(2021, 3, 15, 12, 30, 0);
    std::unique_ptr<QDateTimeAxis> axis(ChartRoutines::makeDateAxis(begin, end));
    QCOMPARE(axis->min().time(), QTime(1, 0, 0));
    QCOMPARE(axis->min().date(), begin.date());
    QCOMPARE(axis->max().time(), QTime(12, 30, 0));
    QCOMPARE(axis->max().toMSecsSinceEpoch(), localMs(end));
    QCOMPARE(axis->format(), QStringLiteral("dd.MM.yy hh:mm:ss"));
    QCOMPARE(axis->titleText(), QStringLiteral("Время"));
    QCOMPARE(axis->tickCount(), 25);
    QCOMPARE(axis->labelsAngle(), -90);
    QCOMPARE(axis->titleFont(), ChartRoutines::chartFont());
}

void TestChartRoutines::fillSeries_takesRowRangeInclusiveAndSkipsMissingValues()
{
    const QDateTime t0 = utc(2022, 6, 1, 10, 0, 0);
    auto model = makeModel({{t0, 1.5f}, {t0.addSecs(1), QVariant()}, {t0.addSecs(2), 2.5f},
                            {t0.addSecs(3), 3.5f}, {t0.addSecs(4), 4.5f}});
    QLineSeries series;
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 1, 3);
    QCOMPARE(series.count(), 2);
    QCOMPARE(series.at(0), QPointF(localMs(t0.addSecs(2)), 2.5));
    QCOMPARE(series.at(1), QPointF(localMs(t0.addSecs(3)), 3.5));

    QLineSeries none;
    ChartRoutines::fillSeriesFromColumn(&none, model.get(), 1, 1, 1);
    QCOMPARE(none.count(), 0);
}

void TestChartRoutines::fillSeries_xIsClockReadingInLocalTime()
{
    // Both a winter and a summer instant, so daylight saving shows up in the
    // zones with it; the clock reading must survive either way.
    const QDateTime winter = utc(2020, 1, 15, 8, 30, 0);
    const QDateTime summer = utc(2020, 7, 15, 8, 30, 0);
    auto model = makeModel({{winter, 1.0f}, {summer, 2.0f}});
    QLineSeries series;
    ChartRoutines::fillSeriesFromColumn(&series, model.get(), 1, 0, 1);
    QCOMPARE(series.count(), 2);
    for (int i = 0; i < 2; ++i) {
        const QDateTime shown = QDateTime::fromMSecsSinceEpoch(qint64(series.at(i).x()), Qt::LocalTime);
        QCOMPARE(shown.time(), QTime(8, 30, 0));
        QCOMPARE(shown.date(), (i == 0 ? winter : summer).date());
    }
    // The test zones are never UTC, so a plain UTC conversion would differ.
    QVERIFY(qint64(series.at(0).x()) != winter.toMSecsSinceEpoch());
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

QTEST_MAIN(TestChartRoutines)
#include "tst_chartroutines.moc"
