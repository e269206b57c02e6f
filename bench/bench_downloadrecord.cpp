// What the download record and the journal add to a 40,000-record download:
// hashing the .LOG, composing and writing the record, the journal line, and
// the instrument commands the record needs (device info and settings once per
// session, the clock once per file), against a simulated instrument.

#include "data/DownloadRecord.h"
#include "data/Journal.h"
#include "device/DownloadProvenance.h"
#include "device/FilesInteractor.h"
#include "device/ZR74XManager.h"
#include "data/ModelLogRecord.h"
#include "link/ComPortManager.h"

#include "ZrSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

template <typename Step>
double medianMs(int runs, Step step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int recordCount = 40000;
    QTemporaryDir dir;
    qputenv("ORVELIN_JOURNAL", dir.filePath("journal.jsonl").toUtf8());

    ZrSimulator::Options options;
    options.defaultFiles = false;
    options.id = 4242;
    ZrSimulator sim(options);
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    sim.addRun(recordCount);
    ComPortManager manager;
    manager.connectComPort(sim.portName());
    ModelLogRecord model;
    FilesInteractor files(&manager, &model);
    files.setLogRoot(dir.path());
    DeviceFileInfo info;
    QObject::connect(&files, &FilesInteractor::listOfFilesReceived,
                     [&info](const QList<DeviceFileInfo>& list) { info = list.value(0); });
    files.requestListOfFiles();

    QElapsedTimer whole;
    whole.start();
    files.downloadFileFromDevice(options.id, info);
    const double downloadMs = double(whole.nsecsElapsed()) / 1e6;
    const QString log = files.logFilePath(options.id, info.nameFile);

    const double hashMs = medianMs(21, [&] { DownloadRecord::fileSha256Hex(log); });
    ZR74XManager device(&manager);
    DownloadSession session;
    const double sessionMs = medianMs(11, [&] { session = DownloadProvenance::readSession(device, sim.portName()); });
    const double clockMs = medianMs(11, [&] { device.getTime(); });
    const double writeMs = medianMs(21, [&] {
        DownloadRecord::Source source = DownloadProvenance::source(session, options.id, info, 1, 0, device.getTime(),
                                                                   QDateTime::currentDateTime());
        source.sha256 = DownloadRecord::fileSha256Hex(log);
        DownloadRecord::write(log, DownloadRecord::compose(source));
    }) - clockMs - hashMs;
    const double journalMs = medianMs(21, [&] { Journal::record("download", {{"file", info.nameFile}}); });

    const double perFile = hashMs + clockMs + writeMs + journalMs;
    std::printf("40,000-record download (%d bytes): %.0f ms in all\n", int(7 + 24 * recordCount), downloadMs);
    std::printf("  SHA-256 of the .LOG             %6.2f ms\n", hashMs);
    std::printf("  instrument clock (1 command)    %6.2f ms\n", clockMs);
    std::printf("  record composed and written     %6.2f ms\n", writeMs);
    std::printf("  journal line                    %6.2f ms\n", journalMs);
    std::printf("  per file                        %6.2f ms   (goal: under 20 ms)\n", perFile);
    std::printf("  settings, once per session      %6.2f ms   (device info + 4 memory reads)\n", sessionMs);
    std::printf("  single download in all          %6.2f ms   (%.2f %% of the download)\n", perFile + sessionMs,
                100.0 * (perFile + sessionMs) / downloadMs);
    return 0;
}
