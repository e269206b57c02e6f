// Figures for the database screen: a selection of 40,000 time stamps with four
// channels, from the press of "Применить фильтр" to table, statistics and
// chart on screen, in the running application (offscreen, software renderer),
// and the longest time the GUI thread spent away from its event loop.
//
// Beside them: what reading the chart lines row by row costs when every line
// parses every time stamp text again as a local date-time, as the lines were
// first read, against the feed that reads each time stamp once.
//
// Usage: bench_databasescreen [--rows N] [--runs N] [--archive PATH] [--runs-only]
// (--archive keeps the archive at PATH and uses it again when it exists)

#include "app/ApplicationShell.h"
#include "report/MetaTypes.h"
#include "data/ModelLogRecord.h"
#include "data/ModelStatistics.h"
#include "database/DataBaseInteractor.h"
#include "screens/DataBaseWindow.h"
#include "database/ModelTypeChannelList.h"
#include "screens/SelectionChartFeed.h"
#include "database/TableDBModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtCharts/QLineSeries>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>

namespace {

const QStringList channels = {"Канал №1", "Доп.измерение №1", "Канал №2", "Доп.измерение №2"};

std::unique_ptr<ModelLogRecord> makeLog(int records)
{
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    QVector<LogRecord> rows;
    rows.reserve(records);
    for (int i = 0; i < records; ++i) {
        LogRecord r;
        r.dateTime = start.addSecs(60LL * i);
        r.entries = {{1, 20.0f + float(i % 1300) / 100.0f, 0}, {2, 3.25f + float(i % 7), 11},
                     {3, float(i % 97) * 0.5f, 1}, {4, 19.75f - float(i % 11), 0}};
        rows << r;
    }
    auto model = std::make_unique<ModelLogRecord>();
    model->setContent(1234567, 0, rows);
    return model;
}

// Longest gap between two turns of the GUI thread's event loop.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
        m_clock.start();
        m_timer.start();
    }
    void reset() { m_longest = 0; m_clock.restart(); }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

// Chart lines as first read: each line parses each row's time text as a
// local date-time and its cell up to the blank.
double rowByRowLinesMs(const QAbstractItemModel* model)
{
    QElapsedTimer timer;
    timer.start();
    qint64 points = 0;
    for (int column = 1; column <= channels.size(); ++column) {
        QVector<QPointF> line;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->index(row, column).data().toString();
            if (text.isEmpty())
                continue;
            const QDateTime x = QDateTime::fromString(model->index(row, 0).data().toString(),
                                                      QStringLiteral("dd.MM.yyyy hh:mm:ss"));
            line.append(QPointF(double(x.toMSecsSinceEpoch()), text.section(QLatin1Char(' '), 0, 0).toDouble()));
        }
        points += line.size();
    }
    return points > 0 ? timer.nsecsElapsed() / 1e6 : 0.0;
}

double feedLinesMs(const QAbstractItemModel* model)
{
    QElapsedTimer timer;
    timer.start();
    SelectionChartFeed feed(model);
    qint64 points = 0;
    for (const QString& channel : channels)
        points += feed.points(channel.toUtf8()).size();
    return points > 0 ? timer.nsecsElapsed() / 1e6 : 0.0;
}

} // namespace

int main(int argc, char** argv)
{
    int rows = 40000;
    int runs = 3;
    QString keptArchive;
    bool runsOnly = false;
    for (int i = 1; i < argc; ++i)
        runsOnly = runsOnly || qstrcmp(argv[i], "--runs-only") == 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--rows") == 0)
            rows = std::atoi(argv[++i]);
        else if (qstrcmp(argv[i], "--runs") == 0)
            runs = std::atoi(argv[++i]);
        else if (qstrcmp(argv[i], "--archive") == 0)
            keptArchive = QString::fromLocal8Bit(argv[++i]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    qputenv("ORVELIN_PORTS", "");
    registerMetaTypes();
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString archivePath = keptArchive.isEmpty() ? dir.filePath(QStringLiteral("Record.sqlite")) : keptArchive;
    if (!QFile::exists(archivePath)) {
        DataBaseInteractor archive(archivePath);
        archive.open();
        const std::unique_ptr<ModelLogRecord> log = makeLog(rows);
        archive.writeFromModel(log.get(), 1234567, QStringLiteral("ZR-7.47"), 256, 257, 258);
    }

    ApplicationShell shell;
    shell.setDatabasePath(archivePath);
    if (!shell.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(shell.errorString()));
        return 1;
    }
    QObject* root = shell.rootObject();
    auto* window = qobject_cast<QQuickWindow*>(root);
    DataBaseWindow* screen = shell.dataBaseWindow();
    DataBaseInteractor* interactor = shell.dataBaseInteractor();
    auto find = [root](const char* name) { return root->findChild<QObject*>(QString::fromLatin1(name)); };

    // The database page, opened with the menu button; all four channels ticked.
    QMetaObject::invokeMethod(find("ButtonBase"), "clicked");
    if (!waitFor([&] { return find("FilterDevice")->property("model").value<QObject*>() != nullptr; })) {
        std::fprintf(stderr, "the filter lists never came\n");
        return 1;
    }
    for (const QString& channel : channels)
        interactor->filters()->modelTypeChannel()->setTickStatus(channel, true);

    std::atomic<qint64> selectedAt{0};
    QElapsedTimer clock;
    clock.start();
    QObject::connect(interactor, &DataBaseInteractor::modelUpdated, interactor,
                     [&] { selectedAt = clock.nsecsElapsed(); }, Qt::DirectConnection);
    std::atomic<qint64> frameAt{0};
    QObject::connect(window, &QQuickWindow::frameSwapped, window,
                     [&] { frameAt = clock.nsecsElapsed(); }, Qt::DirectConnection);

    StallMeter stalls;
    std::printf("selection of %d time stamps with 4 channels, %d runs:\n", rows, runs);
    std::printf("  %-5s %12s %12s %12s %14s %14s\n", "run", "selection", "table+chart", "on screen",
                "stall (select)", "stall (total)");
    for (int run = 1; run <= runs; ++run) {
        stalls.reset();
        selectedAt = 0;
        const qint64 start = clock.nsecsElapsed();
        QMetaObject::invokeMethod(root, "clickButtonFilters");
        waitFor([&] { return selectedAt != 0; });
        const qint64 stallWhileSelecting = stalls.longest();
        waitFor([&] {
            return !screen->isWaiting() && find("ChartDataBaseView")->property("seriesCount").toInt() == 4;
        });
        const qint64 shown = clock.nsecsElapsed();
        // The statistics cells the view shows.
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < screen->statisticsModel()->columnCount(); ++column)
                screen->statisticsModel()->index(row, column).data();
        frameAt = 0;
        window->update();
        waitFor([&] { return frameAt != 0; });
        std::printf("  %-5d %9.1f ms %9.1f ms %9.1f ms %11lld ms %11lld ms\n", run, (selectedAt - start) / 1e6,
                    (shown - selectedAt) / 1e6, (frameAt - start) / 1e6, stallWhileSelecting, stalls.longest());
    }
    std::printf("  goals: on screen within 1000 ms; no stall over 200 ms while the selection runs\n");

    if (runsOnly) {
        shell.stopWorkers();
        return 0;
    }
    // The chart lines alone, over the selection now shown.
    const TableDBModel* selection = shell.tableDBModel();
    std::printf("chart lines of the selection (%d rows x 4 lines):\n", selection->rowCount());
    std::printf("  each line parsing each time text as local time: %8.1f ms\n", rowByRowLinesMs(selection));
    std::printf("  time texts read once per selection (feed):      %8.1f ms\n", feedLinesMs(selection));

    QElapsedTimer statistics;
    statistics.start();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < screen->statisticsModel()->columnCount(); ++column)
            screen->statisticsModel()->index(row, column).data();
    std::printf("statistics: all %d cells asked once more: %.1f ms\n", 3 * screen->statisticsModel()->columnCount(),
                statistics.nsecsElapsed() / 1e6);
    shell.stopWorkers();
    return 0;
}
