// Download rate over the serial line at its real timing (zr-sim --pace, 1.5
// Mbaud, 10 bits a byte), through the application's own command set and
// packet layer: the answer ended by a 2 ms silence as the link did before (the
// baseline), ended by its length field, and ended by its length field while
// the answers come in pieces as USB serial adapters hand them over. Last, a
// whole download started from the device screen of the running application.
//
// One line per case:
//   <case>: <N> records/s, <P> % of the wire limit, <F> failed exchanges
//
// Options: --records N (default 40000), --piece-records N (default 300; pieces
// 16 ms apart cost 64 ms a record), --screen-records N (default 20000, 0 = skip).
// BENCH_LINK_UNPACED=1 runs the simulator without line timing, which shows
// what the computer itself costs per exchange. On a busy machine the figures
// follow the load; `chrt -f 20 bench_link` shows them with it kept away.

#include "app/ApplicationShell.h"
#include "report/MetaTypes.h"
#include "device/DeviceFileInfo.h"
#include "screens/DeviceWindow.h"
#include "device/ModelDeviceFileInfo.h"
#include "device/RecordSequence.h"
#include "device/ZR74XManager.h"
#include "link/ComPortManager.h"
#include "link/SerialPort.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>
#include <QThread>

#include <cstdio>
#include <memory>

namespace {

// A request for a record is 13 bytes, its answer 33.
constexpr double wireLimit = 1500000.0 / (10.0 * (13 + 33));
constexpr quint32 benchId = 4242001;

// The line as it was: the answer ends after 2 ms without a byte, and whatever
// comes later is cleared away; nothing is drained after a failed attempt.
class SilenceRuleLine : public SerialPort
{
public:
    explicit SilenceRuleLine(QObject* parent) : SerialPort(parent), m_port(new QSerialPort(this)) {}

    bool openPort(const QString& name) override
    {
        m_port->setPortName(name);
        return m_port->open(QIODevice::ReadWrite) && m_port->setBaudRate(baudRate);
    }
    bool isOpen() const override { return m_port->isOpen(); }
    void close() override { m_port->close(); }
    bool write(const QByteArray& frame) override
    {
        m_port->write(frame);
        return m_port->waitForReadyRead(firstByteTimeoutMs);
    }
    QByteArray readAnswer() override
    {
        QByteArray answer;
        while (answer.size() < maxAnswerBytes) {
            if (m_port->bytesAvailable() == 0 && !m_port->waitForReadyRead(2))
                break;
            answer.append(m_port->readAll());
        }
        m_port->clear(QSerialPort::AllDirections);
        return answer;
    }
    void drain() override {}

private:
    QSerialPort* m_port;
};

// zr-sim at the real line rate with one run of `records` records.
class PacedSimulator
{
public:
    PacedSimulator(int records, const QStringList& faults)
    {
        QStringList args{QStringLiteral("--id"), QString::number(benchId), QStringLiteral("--files"),
                         QString::number(records)};
        if (qEnvironmentVariableIsEmpty("BENCH_LINK_UNPACED"))
            args << QStringLiteral("--pace");
        for (const QString& fault : faults)
            args << QStringLiteral("--fault") << fault;
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/zr-sim"), args);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(10000))
            m_port = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~PacedSimulator()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    QString port() const { return m_port; }

private:
    QProcess m_process;
    QString m_port;
};

void printCase(const char* name, double recordsPerSecond, quint64 failed)
{
    std::printf("%s: %.0f records/s, %.1f %% of the wire limit, %llu failed exchanges\n", name, recordsPerSecond,
                100.0 * recordsPerSecond / wireLimit, static_cast<unsigned long long>(failed));
    std::fflush(stdout);
}

// Reads the simulator's run record by record as a download does. A record
// given up on is counted as lost and the reading goes on, so that a line that
// loses answers still gets a rate.
void downloadCase(const char* name, int records, const QStringList& faults, bool silenceRule)
{
    if (records <= 0)
        return;
    PacedSimulator sim(records, faults);
    ComPort::LineFactory factory;
    if (silenceRule)
        factory = [](QObject* parent) -> SerialPort* { return new SilenceRuleLine(parent); };
    ComPortManager manager(factory);
    if (sim.port().isEmpty() || !manager.connectComPort(sim.port())) {
        std::fprintf(stderr, "%s: the simulator did not start\n", name);
        return;
    }
    ZR74XManager device(&manager);
    DeviceFileInfo info;
    try {
        info = device.getFileInfo(0, 1);
        device.openFile(info.nameFile);
    } catch (const QString& message) {
        std::fprintf(stderr, "%s: %s\n", name, qPrintable(message));
        return;
    }
    const quint64 failedBefore = manager.failedAttempts();
    RecordSequence sequence(info);
    int lost = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < info.numberOfRecords; ++i) {
        try {
            device.readRecord(uint(i), sequence);
        } catch (const QString&) {
            ++lost;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (lost > 0)
        std::fprintf(stderr, "%s: %d of %d records lost\n", name, lost, info.numberOfRecords);
    printCase(name, (info.numberOfRecords - lost) / seconds, manager.failedAttempts() - failedBefore);
}

// The same download through the running application, from the press of
// "Открыть" until the open button comes back.
void screenCase(int records)
{
    PacedSimulator sim(records, {});
    qputenv("ORVELIN_PORTS", sim.port().toLocal8Bit());
    registerMetaTypes();
    ApplicationShell shell;
    if (sim.port().isEmpty() || !shell.start()) {
        std::fprintf(stderr, "device screen: the application did not start\n");
        return;
    }
    auto waitFor = [](const std::function<bool()>& condition, int ms) {
        QDeadlineTimer deadline(ms);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return condition();
    };
    QObject* button = shell.deviceWindow()->findQmlObject(QStringLiteral("ButtonOpenFilesDevice"));
    if (!button || !waitFor([&] { return shell.modelFilesInfo()->rowCount() > 0; }, 30000)) {
        std::fprintf(stderr, "device screen: no file listed\n");
        return;
    }
    const QString name = shell.modelFilesInfo()->data(shell.modelFilesInfo()->index(0), 261).toString();
    QMetaObject::invokeMethod(shell.rootObject(), "currentNameFileChange", Q_ARG(QString, name));
    QCoreApplication::processEvents();
    const quint64 failedBefore = shell.comPortManager()->failedAttempts();
    QElapsedTimer timer;
    timer.start();
    QMetaObject::invokeMethod(shell.rootObject(), "clickOpenCurrentFileFromDevice");
    const bool started = waitFor([&] { return !button->property("enabled").toBool(); }, 5000);
    const bool finished = started && waitFor([&] { return button->property("enabled").toBool(); }, 600000);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!finished) {
        std::fprintf(stderr, "device screen: the download did not finish\n");
        return;
    }
    char caseName[64];
    std::snprintf(caseName, sizeof caseName, "device screen, %d records", records);
    printCase(caseName, records / seconds, shell.comPortManager()->failedAttempts() - failedBefore);
    shell.stopWorkers();
}

int option(const QStringList& args, const QString& name, int fallback)
{
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    // The device screen runs without a display or a GPU.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int records = option(args, QStringLiteral("--records"), 40000);
    const int pieceRecords = option(args, QStringLiteral("--piece-records"), 300);
    const int screenRecords = option(args, QStringLiteral("--screen-records"), 20000);

    downloadCase("silence rule (before)", records, {}, true);
    downloadCase("length completion", records, {}, false);
    for (int gap : {1, 4, 8, 16}) {
        const QByteArray name = "length completion, pieces " + QByteArray::number(gap) + " ms apart";
        downloadCase(name.constData(), pieceRecords, {QStringLiteral("pieces:::%1").arg(gap)}, false);
    }
    if (screenRecords > 0)
        screenCase(screenRecords);
    QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/LOG/") + QString::number(benchId)).removeRecursively();
    return 0;
}
