// zr-sim: a simulated ZR-7.47 / ZR-7.49 instrument on a pseudo-terminal.

#include "SimFaultSpec.h"
#include "ZrSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {

const char* const helpText = R"(
Serves the instrument's side of the serial protocol on a pseudo-terminal. The
first line on stdout is the path of the port to open (the slave device, or the
link if --link is given). Runs until SIGINT or SIGTERM.

Log files: without --files or --serve it holds three runs (10, 120 and 500
records, varied sensors, one without a channel 2 sensor) and two single
measurements. --files and --serve may be combined; --singles adds single
measurements to either.

Faults (--fault KIND[:COUNT[:COMMAND[:PARAM]]], repeatable): COUNT answers are
affected (default: all, -1 = all), only those to COMMAND (decimal; 0 or empty =
any). KIND is one of
  none       no answer at all
  late       the answer comes after PARAM ms (default 700)
  checksum   checksum off by one
  start      wrong start byte
  stop       last byte 0x2E instead of 0x2F
  command    command field of another command
  error      command field PARAM (171..177, default 175), no data
  status     status byte 1 (status commands only)
  split      a pause of PARAM ms (default 30) in the middle of the answer
  oversized  answer body longer than 40 bytes
  short      only the first PARAM bytes (default 6)
  silent     after COUNT more answers (default 0) no further answer
  pieces     the answer in pieces of 8 bytes, PARAM ms apart (default 16),
             as USB serial adapters hand it over
  noise      PARAM bytes of line noise before the answer (default 5)
  length     a sound frame whose data field has PARAM bytes (default: one short)
  lenfield   the length field PARAM more than the frame holds (default 1)
  twice      the answer sent again PARAM ms after itself (default 20)
Examples: --fault late:3:150:700   --fault silent:50   --fail-status 169
          --fault pieces:::16   (every answer in pieces 16 ms apart)

Answers: a garbled request is answered with the error code found in it in the
command field; an unknown command with 174; a request with a wrong data length,
an unknown file name or a record/file index out of range with 176.
)";

int parseInt(const QString& text, bool* ok)
{
    return text.toInt(ok, 0);
}

} // namespace

int main(int argc, char** argv)
{
    // Signals are taken synchronously by the main thread below; block them before
    // any thread exists so that none of them receives one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zr-sim"));
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated ZR-7.47 / ZR-7.49 instrument.") + QLatin1String(helpText));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("model"), QStringLiteral("Instrument model: 7.47 (default) or 7.49."), QStringLiteral("7.47|7.49"), QStringLiteral("7.47")},
        {QStringLiteral("id"), QStringLiteral("Instrument ID (default 1234567)."), QStringLiteral("N"), QStringLiteral("1234567")},
        {QStringLiteral("version"), QStringLiteral("Firmware version text (default 1.03)."), QStringLiteral("TEXT"), QStringLiteral("1.03")},
        {QStringLiteral("clock"), QStringLiteral("Start the instrument clock at this wall-clock reading (yyyy-MM-ddThh:mm:ss) instead of the host's local time."), QStringLiteral("TIME")},
        {QStringLiteral("pace"), QStringLiteral("Send answers at the real line rate (1.5 Mbaud, 10 bits a byte).")},
        {QStringLiteral("trace"), QStringLiteral("Append one line per request to FILE: time, command, data in hex."), QStringLiteral("FILE")},
        {QStringLiteral("link"), QStringLiteral("Make PATH a symlink to the port (replaced if it exists, removed on exit)."), QStringLiteral("PATH")},
        {QStringLiteral("serve"), QStringLiteral("Serve every .LOG file of DIR (SINGLE*.LOG as single measurements)."), QStringLiteral("DIR")},
        {QStringLiteral("files"), QStringLiteral("Generate runs of these record counts, e.g. 3,120,2000."), QStringLiteral("SPEC")},
        {QStringLiteral("singles"), QStringLiteral("Number of single measurements to generate (default 2 without --files/--serve, else 0)."), QStringLiteral("N")},
        {QStringLiteral("fault"), QStringLiteral("Inject a fault, see below (repeatable)."), QStringLiteral("KIND[:COUNT[:COMMAND[:PARAM]]]")},
        {QStringLiteral("fail-status"), QStringLiteral("Answer status command CMD with status 1, every time (repeatable)."), QStringLiteral("CMD")},
    });
    parser.process(app);

    ZrSimulator::Options options;
    options.model = parser.value(QStringLiteral("model"));
    if (options.model != QLatin1String("7.47") && options.model != QLatin1String("7.49")) {
        err << "zr-sim: --model must be 7.47 or 7.49\n";
        return 2;
    }
    bool ok = false;
    options.id = parser.value(QStringLiteral("id")).toUInt(&ok, 0);
    if (!ok) {
        err << "zr-sim: --id must be an unsigned 32-bit number\n";
        return 2;
    }
    options.version = parser.value(QStringLiteral("version"));
    options.pace = parser.isSet(QStringLiteral("pace"));
    options.traceFile = parser.value(QStringLiteral("trace"));
    options.linkPath = parser.value(QStringLiteral("link"));
    options.defaultFiles = false;

    ZrSimulator sim(options);

    if (parser.isSet(QStringLiteral("clock"))) {
        QDateTime reading = QDateTime::fromString(parser.value(QStringLiteral("clock")), Qt::ISODate);
        if (!reading.isValid()) {
            err << "zr-sim: --clock must be yyyy-MM-ddThh:mm:ss\n";
            return 2;
        }
        reading.setTimeSpec(Qt::UTC);
        sim.setClock(reading);
    }

    const bool own = parser.isSet(QStringLiteral("files")) || parser.isSet(QStringLiteral("serve"));
    QList<int> runs;
    if (parser.isSet(QStringLiteral("files"))) {
        for (const QString& part : parser.value(QStringLiteral("files")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const int n = parseInt(part.trimmed(), &ok);
            if (!ok || n < 0) {
                err << "zr-sim: --files takes record counts separated by commas\n";
                return 2;
            }
            runs << n;
        }
    }
    int singles = own ? 0 : 2;
    if (parser.isSet(QStringLiteral("singles"))) {
        singles = parseInt(parser.value(QStringLiteral("singles")), &ok);
        if (!ok || singles < 0 || singles > 99) {
            err << "zr-sim: --singles must be 0..99\n";
            return 2;
        }
    }
    if (parser.isSet(QStringLiteral("serve")) && !sim.serveDirectory(parser.value(QStringLiteral("serve")))) {
        err << "zr-sim: cannot read folder " << parser.value(QStringLiteral("serve")) << "\n";
        return 2;
    }
    if (!own || !runs.isEmpty())
        sim.addDefaultFiles(runs, 0);
    for (int i = 0; i < singles; ++i)
        sim.addSingle(quint32(i + 1));

    for (const QString& text : parser.values(QStringLiteral("fault"))) {
        SimFaultSpec spec;
        QString why;
        if (!SimFaultSpec::parse(text, &spec, &why)) {
            err << "zr-sim: " << why << "\n";
            return 2;
        }
        sim.injectFault(spec.fault, spec.count, spec.command, spec.param);
    }
    for (const QString& text : parser.values(QStringLiteral("fail-status"))) {
        const int command = parseInt(text, &ok);
        if (!ok || command <= 0 || command > 0xFFFF) {
            err << "zr-sim: --fail-status takes a command code\n";
            return 2;
        }
        sim.injectFault(SimFault::StatusFail, -1, quint16(command), 0);
    }

    QString why;
    if (!sim.start(&why)) {
        err << "zr-sim: cannot open a pseudo-terminal: " << why << "\n";
        return 1;
    }
    std::printf("%s\n", qPrintable(sim.portName()));
    std::fflush(stdout);
    err << "zr-sim: " << sim.deviceInfo() << ", ID " << options.id << ", slave " << sim.slavePath()
        << ", " << sim.logFileCount(1) << " runs, " << sim.logFileCount(0) << " single measurements\n";
    err.flush();

    int received = 0;
    sigwait(&stopSignals, &received);
    sim.stop();
    return 0;
}
