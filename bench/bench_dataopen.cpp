// What a user waits for on the data screen with a large log: the running
// application (offscreen) opens a 40,000-record .LOG file through the data
// screen; the figures are the time from the open request to the first frame
// that shows table, statistics and every chart line, the longest stretch the
// window could not react in meanwhile, and the time from a zoom step on the
// chart to the frame that shows it.
//
// Run: QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software ./bench_dataopen [records] [zoom steps] [limits]
// With "limits" a download record beside the log limits both channels, so the
// evaluation, the coloured cells and the chart's limit lines are in the road.
// Figures for the same road before the chart thinning and the clock axis
// (commit a6c5ae5, 40,000 records, this machine) are printed beside them.
#include "../tests/support/LogFileBytes.h"

#include "app/ApplicationShell.h"
#include "report/MetaTypes.h"
#include "screens/DataWindow.h"
#include "data/LogFile.h"
#include "data/ModelLogRecord.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QByteArray generateLog(int records)
{
    QByteArray bytes = logbytes::header(0, 1234567);
    bytes.reserve(LogFile::headerSize + records * LogFile::recordSize);
    for (int i = 0; i < records; ++i) {
        const float t = float(i);
        const logbytes::Channel ch2 = (i % 500) < 480
            ? logbytes::present(55.0f + 10.0f * std::sin(t / 500.0f), 19.0f + std::sin(t / 50.0f), 67)
            : logbytes::absent();
        bytes += logbytes::record(1700000000u + quint32(i) * 10,
                                  logbytes::present(21.5f + 3.0f * std::sin(t / 200.0f), 20.0f + std::cos(t / 300.0f), 1),
                                  ch2);
    }
    return bytes;
}

// Limits every line crosses: the generated values swing across them.
const QByteArray limitsRecord = R"({"format": "orvelin-download/1",
  "sha256": "0000000000000000000000000000000000000000000000000000000000000000",
  "settings": {"logPeriodSeconds": 10, "channels": [
    {"number": 1, "alarm": true, "limits": {"temperature": {"lower": 20.0, "upper": 23.0}}},
    {"number": 2, "alarm": true, "limits": {"humidity": {"lower": 50.0, "upper": 60.0},
                                            "temperature": {"lower": 18.5, "upper": 19.5}}}]}})";

QObject* findByName(QObject* root, const char* name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == QLatin1String(name))
        return root;
    return root->findChild<QObject*>(QString::fromLatin1(name));
}

// Longest gap between the ticks of a 5 ms timer: how long the window could
// not have reacted to anything.
class StallWatch : public QObject
{
public:
    StallWatch()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return std::max(m_longest, m_clock.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

bool spinUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Spins until the window has shown a frame after this call.
qint64 waitForFrame(QQuickWindow* window, const QElapsedTimer& since)
{
    bool swapped = false;
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&] { swapped = true; });
    window->update();
    spinUntil([&] { return swapped; }, 10000);
    QObject::disconnect(connection);
    return since.elapsed();
}

int legendCount(QObject* chart)
{
    auto* legend = qobject_cast<QAbstractItemModel*>(chart->property("modelNameSeries").value<QObject*>());
    return legend ? legend->rowCount() : 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("ORVELIN_PORTS", "");
    registerMetaTypes();
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 40000;
    const int zoomSteps = argc > 2 ? QByteArray(argv[2]).toInt() : 8;
    const bool withLimits = argc > 3 && QByteArray(argv[3]) == "limits";

    QTemporaryDir dir;
    const QString path = dir.path() + "/6553F100.LOG";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generateLog(records)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        QFile record(path + ".json");
        if (withLimits && (!record.open(QIODevice::WriteOnly) || record.write(limitsRecord) < 0)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(record.fileName()));
            return 1;
        }
    }

    ApplicationShell shell;
    if (!shell.start()) {
        std::fprintf(stderr, "start failed: %s\n", qPrintable(shell.errorString()));
        return 1;
    }
    auto* window = qobject_cast<QQuickWindow*>(shell.rootObject());
    QObject* chart = findByName(shell.rootObject(), "ChartDataFileView");
    QObject* table = findByName(shell.rootObject(), "TableDataFileViewV2");
    QObject* flipCard = findByName(shell.rootObject(), "DataFlipCard");
    if (!window || !chart || !table || !flipCard) {
        std::fprintf(stderr, "the data screen did not load\n");
        return 1;
    }
    DataWindow::Dialogs dialogs = DataWindow::systemDialogs();
    dialogs.openFileName = [&](const QString&, const QString&, const QString&) { return path; };
    dialogs.warning = [](const QString& text) { std::fprintf(stderr, "warning: %s\n", qPrintable(text)); };
    shell.dataWindow()->setDialogs(dialogs);
    shell.rootObject()->setProperty("visible", true);
    spinUntil([] { return false; }, 1500); // let start-up settle

    const int lines = 4;
    StallWatch stalls;
    QElapsedTimer clock;
    stalls.start();
    clock.start();
    QMetaObject::invokeMethod(shell.rootObject(), "clickButtonOpenFile");
    if (!spinUntil([&] {
            return table->property("model").value<QObject*>() != nullptr && legendCount(chart) == lines;
        }, 60000)) {
        std::fprintf(stderr, "the log was not shown\n");
        return 1;
    }
    const qint64 shown = waitForFrame(window, clock);
    spinUntil([] { return false; }, 300); // queued refills and the frame after them
    const qint64 longestStall = stalls.stop();

    std::printf("log of %d records, %d chart lines%s\n", records, lines,
                withLimits ? ", alarm limits on all of them" : "");
    std::printf("%-46s %8lld ms   (before: 1300 ms)\n", "open to first frame with table and chart", shown);
    std::printf("%-46s %8lld ms   (before: 1100-1300 ms)\n", "longest freeze of the window while opening", longestStall);

    // Zoom on the chart face, as the user sees it.
    flipCard->setProperty("flipped", true);
    spinUntil([] { return false; }, 1000);
    qint64 worst = 0;
    qint64 total = 0;
    for (int step = 0; step < zoomSteps; ++step) {
        clock.restart();
        // In and out by turns, so every step shows most of the log.
        QMetaObject::invokeMethod(chart, "zoomBy", Q_ARG(QVariant, step % 2 == 0 ? 1.5 : 1.0 / 1.5));
        // The refill follows the range change through the event loop.
        QCoreApplication::processEvents();
        const qint64 frame = waitForFrame(window, clock);
        worst = std::max(worst, frame);
        total += frame;
    }
    if (zoomSteps > 0) {
        std::printf("%-46s %8lld ms   (before: 91-200 ms)\n", "zoom step to frame, mean", total / zoomSteps);
        std::printf("%-46s %8lld ms\n", "zoom step to frame, worst", worst);
    }
    shell.stopWorkers();
    return 0;
}
