#include "TestSupport.h"

#include "data/ModelLogRecord.h"
#include "device/FilesInteractor.h"
#include "link/ComPortManager.h"

#include <QFile>

namespace testsupport {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SimRunSpec simRun(int records, quint32 start, quint32 seed)
{
    SimRunSpec spec;
    spec.records = records;
    spec.start = QDateTime::fromSecsSinceEpoch(start, Qt::UTC);
    spec.seed = seed;
    return spec;
}

DownloadSide::DownloadSide() = default;

DownloadSide::~DownloadSide()
{
    reset();
}

bool DownloadSide::connect(const QString& port)
{
    reset();
    manager = std::make_unique<ComPortManager>();
    if (!manager->connectComPort(port))
        return false;
    model = std::make_unique<ModelLogRecord>();
    files = std::make_unique<FilesInteractor>(manager.get(), model.get());
    return true;
}

void DownloadSide::reset()
{
    files.reset();
    model.reset();
    manager.reset();
}

} // namespace testsupport
