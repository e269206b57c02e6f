// "Загрузить новые" over five files against the sum of their single downloads,
// both at the serial line's real timing (simulator pace, 1.5 Mbaud), through the
// application's own file interactor in one thread.
//
//   single downloads: <s> s for <n> files, <r> records
//   download all new: <s> s
//   added by the set: <s> s (goal: under 1 s)
//
// Options: --files N (default 5), --records N per file (default 2000),
// --unpaced (the simulator without line timing: what the computer costs).

#include "report/MetaTypes.h"
#include "data/ModelLogRecord.h"
#include "device/FileCollector.h"
#include "device/FilesInteractor.h"
#include "link/ComPortManager.h"

#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int option(const QStringList& arguments, const QString& name, int fallback)
{
    const int at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    registerMetaTypes();
    const QStringList arguments = app.arguments();
    const int files = option(arguments, QStringLiteral("--files"), 5);
    const int records = option(arguments, QStringLiteral("--records"), 2000);

    ZrSimulator::Options options;
    options.id = 4242002;
    options.defaultFiles = false;
    options.pace = !arguments.contains(QStringLiteral("--unpaced"));
    ZrSimulator sim(options);
    for (int i = 0; i < files; ++i) {
        SimRunSpec spec;
        spec.records = records;
        spec.start = QDateTime::fromSecsSinceEpoch(1700000000 + i * 100000, Qt::UTC);
        spec.seed = quint32(i + 1);
        sim.addRun(spec);
    }
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 2;
    }
    QTemporaryDir root;
    ComPortManager manager;
    if (!manager.connectComPort(sim.portName())) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.portName()));
        return 2;
    }
    ModelLogRecord model;
    FilesInteractor interactor(&manager, &model);
    interactor.setLogRoot(root.path());
    QList<DeviceFileInfo> list;
    QObject::connect(&interactor, &FilesInteractor::listOfFilesReceived,
                     [&list](const QList<DeviceFileInfo>& received) { list = received; });
    interactor.requestListOfFiles();
    if (list.size() != files) {
        std::fprintf(stderr, "listing failed\n");
        return 2;
    }

    // Each file as the device screen's "Открыть" fetches it.
    QElapsedTimer timer;
    timer.start();
    for (const DeviceFileInfo& info : list)
        interactor.downloadFileFromDevice(options.id, info);
    const double singles = timer.nsecsElapsed() / 1e9;

    QDir(root.filePath(QString::number(options.id))).removeRecursively();
    FileCollector collector(&interactor);
    timer.restart();
    const CollectResult result = collector.collect(options.id, list);
    const double set = timer.nsecsElapsed() / 1e9;
    if (result.done.size() != files) {
        std::fprintf(stderr, "the set fetched %d of %d files\n", int(result.done.size()), files);
        return 2;
    }

    std::printf("single downloads: %.2f s for %d files, %d records%s\n", singles, files, files * records,
                options.pace ? "" : " (unpaced)");
    std::printf("download all new: %.2f s\n", set);
    std::printf("added by the set: %+.2f s (goal: under 1 s)\n", set - singles);
    return 0;
}
