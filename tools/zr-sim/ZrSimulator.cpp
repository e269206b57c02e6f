#include "ZrSimulator.h"

#include "SimDevice.h"
#include "SimPtyEndpoint.h"

namespace {

struct SensorPair
{
    quint8 sensor1;
    quint8 sensor2;
    bool channel2;
    quint8 presence1;
    quint8 presence2;
    int periodSec;
};

// Sensor combinations the generated runs cycle through, per model: both channels,
// a run without a channel 2 sensor, and the model's typical probes.
const SensorPair firstModelPairs[] = {
    {1, 67, true, 0, 0, 10},
    {68, 0, false, 16, 0, 60},
    {69, 70, true, 17, 16, 30},
    {2, 67, true, 0, 17, 5},
};
const SensorPair secondModelPairs[] = {
    {1, 121, true, 0, 0, 10},
    {67, 0, false, 16, 0, 60},
    {68, 150, true, 0, 17, 30},
    {1, 144, true, 17, 16, 5},
};

} // namespace

ZrSimulator::ZrSimulator(const Options& options)
    : m_options(options)
    , m_device(new SimDevice(options.model, options.id, options.version))
{
    m_device->setTraceFile(options.traceFile);
    if (options.defaultFiles)
        addDefaultFiles();
    SimDevice* device = m_device.get();
    m_endpoint.reset(new SimPtyEndpoint([device](const QByteArray& frame) { return device->handle(frame); }));
}

ZrSimulator::~ZrSimulator()
{
    stop();
}

bool ZrSimulator::start(QString* error)
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_endpoint->open(m_options.linkPath, m_options.pace, error);
}

void ZrSimulator::stop()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_endpoint->close();
}

bool ZrSimulator::isRunning() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_endpoint->isOpen();
}

QString ZrSimulator::portName() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_endpoint->isOpen())
        return QString();
    return m_options.linkPath.isEmpty() ? m_endpoint->slavePath() : m_options.linkPath;
}

QString ZrSimulator::slavePath() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_endpoint->isOpen() ? m_endpoint->slavePath() : QString();
}

void ZrSimulator::injectFault(SimFault fault, int count, quint16 command, int param)
{
    m_device->injectFault(fault, count, command, param);
}

void ZrSimulator::clearFaults()
{
    m_device->clearFaults();
}

QList<QByteArray> ZrSimulator::requests() const
{
    return m_device->requests();
}

int ZrSimulator::requestCount(quint16 command) const
{
    return m_device->requestCount(command);
}

qint64 ZrSimulator::bytesSent() const
{
    return m_endpoint->bytesSent();
}

void ZrSimulator::clearRequests()
{
    m_device->clearRequests();
}

QByteArray ZrSimulator::settingsArea() const
{
    return m_device->settingsArea();
}

void ZrSimulator::setSettingsArea(const QByteArray& bytes128)
{
    m_device->setSettingsArea(bytes128);
}

QDateTime ZrSimulator::clock() const
{
    return m_device->clock();
}

void ZrSimulator::setClock(const QDateTime& utcWallClock)
{
    m_device->setClock(utcWallClock);
}

QString ZrSimulator::deviceInfo() const
{
    return m_device->deviceInfo();
}

void ZrSimulator::clearLogFiles()
{
    m_device->clearLogFiles();
}

void ZrSimulator::addLogFile(quint8 group, const QString& name, const QByteArray& fileBytes)
{
    m_device->addLogFile(group, name, fileBytes);
}

QByteArray ZrSimulator::generateRun(const SimRunSpec& spec) const
{
    return SimLogGenerator::run(spec, m_device->deviceType(), m_device->id());
}

QByteArray ZrSimulator::addRun(const SimRunSpec& given)
{
    SimRunSpec spec = given;
    const int runs = m_device->logFileCount(1);
    if (!spec.start.isValid()) {
        // The first run a week before the clock, each further one an hour after the
        // end of the one before, on whole minutes: one run at a time, as logged.
        const qint64 now = m_device->clock().toSecsSinceEpoch();
        qint64 start = now - 7 * 86400;
        if (runs > 0)
            start = qint64(SimLogGenerator::lastTime(m_device->logFile(1, runs - 1))) + 3600;
        spec.start = QDateTime::fromSecsSinceEpoch(start - start % 60, Qt::UTC);
    }
    // The start names the file: two runs may not share it.
    for (bool clash = true; clash;) {
        clash = false;
        const QString name = QString::number(quint32(spec.start.toSecsSinceEpoch()), 16).toUpper() + ".LOG";
        for (int i = 0; i < m_device->logFileCount(1); ++i) {
            if (m_device->listedName(1, i) == name) {
                spec.start = spec.start.addSecs(1);
                clash = true;
            }
        }
    }
    const QByteArray bytes = generateRun(spec);
    m_device->addLogFile(1, QString::number(quint32(spec.start.toSecsSinceEpoch()), 16).toUpper() + ".LOG", bytes);
    return bytes;
}

QByteArray ZrSimulator::addRun(int records)
{
    const int runs = m_device->logFileCount(1);
    const SensorPair& p = m_device->deviceType() == 1 ? secondModelPairs[runs % 4] : firstModelPairs[runs % 4];
    SimRunSpec spec;
    spec.records = records;
    spec.sensor1 = p.sensor1;
    spec.sensor2 = p.sensor2;
    spec.channel2Present = p.channel2;
    spec.presence1 = p.presence1;
    spec.presence2 = p.presence2;
    spec.periodSec = p.periodSec;
    spec.seed = quint32(runs + 1);
    return addRun(spec);
}

QByteArray ZrSimulator::addSingle(quint32 seed)
{
    const int singles = m_device->logFileCount(0);
    const qint64 now = m_device->clock().toSecsSinceEpoch();
    const quint32 time = quint32(now - 7200 + qint64(singles) * 600);
    const bool second = m_device->deviceType() == 1;
    const QByteArray bytes = SimLogGenerator::single(time, seed, m_device->deviceType(), m_device->id(),
                                                     second ? 1 : 67, second ? 121 : 1);
    m_device->addLogFile(0, QString::asprintf("SINGLE%02d.LOG", singles), bytes);
    return bytes;
}

void ZrSimulator::addDefaultFiles(const QList<int>& runRecords, int singles)
{
    const QList<int> counts = runRecords.isEmpty() ? QList<int>{10, 120, 500} : runRecords;
    for (int records : counts)
        addRun(records);
    for (int i = 0; i < singles; ++i)
        addSingle(quint32(i + 1));
}

bool ZrSimulator::serveDirectory(const QString& dir)
{
    return m_device->loadDirectory(dir) >= 0;
}

int ZrSimulator::logFileCount(quint8 group) const
{
    return m_device->logFileCount(group);
}

SimDevice& ZrSimulator::device()
{
    return *m_device;
}
