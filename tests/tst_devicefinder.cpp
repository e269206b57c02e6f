// The search for the instrument among the listed ports, run in a worker
// thread as in the application, against simulated instruments.
#include "ZrSimulator.h"

#include "link/ComPortManager.h"
#include "device/DeviceFinder.h"
#include "device/ZR74XManager.h"

#include <QThread>
#include <QtTest>
#include <atomic>

namespace {

ZrSimulator::Options simOptions(quint32 id)
{
    ZrSimulator::Options options;
    options.id = id;
    options.defaultFiles = false;
    return options;
}

// One search in its own thread; afterwards the ID read on the found port
// shows which instrument the open port leads to.
class Search
{
public:
    explicit Search(const QByteArray& ports)
    {
        qputenv("ORVELIN_PORTS", ports);
        m_thread.reset(QThread::create([this] {
            ComPortManager manager;
            DeviceFinder finder(&manager);
            m_port = finder.findPort();
            m_scans = finder.scanCount();
            if (!m_port.isEmpty()) {
                try {
                    m_id = ZR74XManager(&manager).getId();
                } catch (const QString&) {
                }
            }
        }));
        m_thread->start();
    }

    ~Search() { stop(); }

    bool finished(int timeoutMs) { return m_thread->wait(timeoutMs); }

    void stop()
    {
        m_thread->requestInterruption();
        m_thread->quit();
        m_thread->wait();
    }

    QString port() const { return m_port; }
    int scans() const { return m_scans; }
    quint32 id() const { return m_id; }

private:
    std::unique_ptr<QThread> m_thread;
    QString m_port;
    int m_scans = 0;
    std::atomic<quint32> m_id{0};
};

} // namespace

class TestDeviceFinder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void noPorts_keepsScanningUntilStopped();
    void twoInstruments_firstListedIsChosen();
    void portsWithoutInstrument_areSkipped();
    void eventsOfTheThreadAreServedDuringTheSearch();
    void quitOfTheThreadEndsTheSearch();

private:
    std::unique_ptr<ZrSimulator> m_first;
    std::unique_ptr<ZrSimulator> m_second;
};

void TestDeviceFinder::initTestCase()
{
    m_first.reset(new ZrSimulator(simOptions(111)));
    m_second.reset(new ZrSimulator(simOptions(222)));
    QVERIFY(m_first->start());
    QVERIFY(m_second->start());
}

void TestDeviceFinder::cleanup()
{
    m_first->clearFaults();
    m_second->clearFaults();
    m_first->clearRequests();
    m_second->clearRequests();
    qputenv("ORVELIN_PORTS", "");
}

void TestDeviceFinder::noPorts_keepsScanningUntilStopped()
{
    Search search("");
    QVERIFY(!search.finished(2800));
    search.stop();
    QVERIFY(search.port().isEmpty());
    QVERIFY2(search.scans() >= 2, qPrintable(QString::number(search.scans())));
}

void TestDeviceFinder::twoInstruments_firstListedIsChosen()
{
    Search search(m_second->portName().toLocal8Bit() + ':' + m_first->portName().toLocal8Bit());
    QVERIFY(search.finished(10000));
    QCOMPARE(search.port(), m_second->portName());
    QCOMPARE(search.id(), quint32(222));
    QCOMPARE(m_first->requests().size(), 0);
    QCOMPARE(m_second->requests().first(), QByteArray::fromHex("3A000500960000002E2F"));
}

void TestDeviceFinder::portsWithoutInstrument_areSkipped()
{
    // A port that cannot be opened, then an instrument that fails the check.
    m_first->injectFault(SimFault::StatusFail, -1, 150);
    Search search("/dev/orvelin-no-such-port:" + m_first->portName().toLocal8Bit() + ':'
                  + m_second->portName().toLocal8Bit());
    QVERIFY(search.finished(15000));
    QCOMPARE(search.port(), m_second->portName());
    QCOMPARE(search.id(), quint32(222));
    QCOMPARE(m_first->requestCount(150), 3);
    QCOMPARE(search.scans(), 1);
}

void TestDeviceFinder::eventsOfTheThreadAreServedDuringTheSearch()
{
    // A queued call to an object of the searching thread runs during the pauses.
    QThread thread;
    QObject receiver;
    receiver.moveToThread(&thread);
    std::atomic<bool> served{false};
    QString found = QStringLiteral("unset");
    QObject::connect(&thread, &QThread::started, &receiver, [&] {
        ComPortManager manager;
        found = DeviceFinder(&manager).findPort();
    });
    qputenv("ORVELIN_PORTS", "");
    thread.start();
    QTest::qWait(200);
    QMetaObject::invokeMethod(&receiver, [&] { served = true; }, Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(served, 3000);
    thread.requestInterruption();
    thread.quit();
    QVERIFY(thread.wait(5000));
    QVERIFY(found.isEmpty());
}

void TestDeviceFinder::quitOfTheThreadEndsTheSearch()
{
    // Without an interruption request too: the search must not spin on.
    qputenv("ORVELIN_PORTS", "");
    QString found = QStringLiteral("unset");
    std::unique_ptr<QThread> thread(QThread::create([&found] {
        ComPortManager manager;
        found = DeviceFinder(&manager).findPort();
    }));
    thread->start();
    QTest::qWait(300);
    thread->quit();
    QVERIFY(thread->wait(5000));
    QVERIFY(found.isEmpty());
}

QTEST_GUILESS_MAIN(TestDeviceFinder)
#include "tst_devicefinder.moc"
