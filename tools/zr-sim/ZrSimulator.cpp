#include "ZrSimulator.h"

// Temporary skeleton so that code written against the interface links.
class SimDevice {};
class SimPtyEndpoint {};

ZrSimulator::ZrSimulator(const Options& options) : m_options(options), m_device(new SimDevice) {}
ZrSimulator::~ZrSimulator() { stop(); }
bool ZrSimulator::start(QString* error) { if (error) *error = QStringLiteral("not ready"); return false; }
void ZrSimulator::stop() {}
bool ZrSimulator::isRunning() const { return false; }
QString ZrSimulator::portName() const { return QString(); }
QString ZrSimulator::slavePath() const { return QString(); }
void ZrSimulator::injectFault(SimFault, int, quint16, int) {}
void ZrSimulator::clearFaults() {}
QList<QByteArray> ZrSimulator::requests() const { return {}; }
int ZrSimulator::requestCount(quint16) const { return 0; }
void ZrSimulator::clearRequests() {}
QByteArray ZrSimulator::settingsArea() const { return QByteArray(128, char(0xFF)); }
void ZrSimulator::setSettingsArea(const QByteArray&) {}
QDateTime ZrSimulator::clock() const { return QDateTime(); }
void ZrSimulator::setClock(const QDateTime&) {}
QString ZrSimulator::deviceInfo() const { return QString(); }
void ZrSimulator::clearLogFiles() {}
void ZrSimulator::addLogFile(quint8, const QString&, const QByteArray&) {}
QByteArray ZrSimulator::addRun(const SimRunSpec&) { return {}; }
QByteArray ZrSimulator::addRun(int) { return {}; }
QByteArray ZrSimulator::addSingle(quint32) { return {}; }
QByteArray ZrSimulator::generateRun(const SimRunSpec&) const { return {}; }
bool ZrSimulator::serveDirectory(const QString&) { return false; }
int ZrSimulator::logFileCount(quint8) const { return 0; }
SimDevice& ZrSimulator::device() { return *m_device; }
