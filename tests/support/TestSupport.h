#pragma once
// Helpers shared by the test executables.

#include "ZrSimulator.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ComPortManager;
class FilesInteractor;
class ModelLogRecord;

namespace testsupport {

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// A logging run of `records` readings from `start` (seconds of the
// instrument's clock), its values varied by `seed`.
SimRunSpec simRun(int records, quint32 start, quint32 seed);

// The application's download side on one line: the line manager, a log
// model and the files interactor over both, as the device thread holds them.
struct DownloadSide
{
    std::unique_ptr<ComPortManager> manager;
    std::unique_ptr<ModelLogRecord> model;
    std::unique_ptr<FilesInteractor> files;

    DownloadSide();
    ~DownloadSide();
    // Connects to `port`; false when the port did not open.
    bool connect(const QString& port);
    // Takes it down, the interactor before what it uses.
    void reset();
};

} // namespace testsupport
