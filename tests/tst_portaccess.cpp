// A serial port that exists but that the system will not open for this user
// (on Linux: the user is not in the dialout group) is said in words, once,
// instead of being passed over in silence.
#include "LinkFakeLine.h"
#include "ZrSimulator.h"

#include "device/DeviceFinder.h"
#include "device/DeviceInteractor.h"
#include "link/ComPortManager.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <unistd.h>

class TestPortAccess : public QObject
{
    Q_OBJECT

private slots:
    void refusedPort_isSaidOnceWhileTheSearchGoesOn();
    void commandLine_namesTheRefusedPortAndTheCure();
};

void TestPortAccess::refusedPort_isSaidOnceWhileTheSearchGoesOn()
{
    auto wire = std::make_shared<LinkFakeWire>();
    wire->refused << QStringLiteral("/dev/ttyUSB7");
    qputenv("ORVELIN_PORTS", "/dev/ttyUSB7:/dev/ttyUSB8");
    QThread thread;
    ComPortManager manager(LinkFakeLine::factory(wire));
    DeviceInteractor interactor(&manager);
    manager.moveToThread(&thread);
    interactor.moveToThread(&thread);
    QStringList said;
    connect(&interactor, &DeviceInteractor::errorOccurred, this, [&said](const QString& message) { said << message; });
    thread.start();
    QMetaObject::invokeMethod(&interactor, &DeviceInteractor::connectToDevice, Qt::QueuedConnection);
    // Three passes over both ports: the refused one is tried each time, said once.
    QTRY_VERIFY_WITH_TIMEOUT(wire->opened.count(QStringLiteral("/dev/ttyUSB7")) >= 3, 15000);
    thread.requestInterruption();
    thread.quit();
    QVERIFY(thread.wait(10000));
    manager.moveToThread(QThread::currentThread());
    interactor.moveToThread(QThread::currentThread());
    QCoreApplication::processEvents();
    QCOMPARE(said, QStringList{QStringLiteral("Нет доступа к порту /dev/ttyUSB7: добавьте пользователя в группу dialout и войдите заново")});
    QVERIFY(wire->opened.contains(QStringLiteral("/dev/ttyUSB8")));
    qputenv("ORVELIN_PORTS", "");
}

void TestPortAccess::commandLine_namesTheRefusedPortAndTheCure()
{
    ZrSimulator::Options options;
    options.defaultFiles = false;
    ZrSimulator simulator(options);
    QVERIFY(simulator.start());
    const QString port = simulator.portName();
    QTemporaryDir home;
    QVERIFY(home.isValid());

    // As root the device's permissions do not apply: the program runs as an
    // unprivileged user instead; otherwise the device is closed to its owner.
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelin-cli");
    QStringList arguments{QStringLiteral("find")};
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        QVERIFY2(!setpriv.isEmpty(), "setpriv (util-linux) is needed to run as another user");
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), program} + arguments;
        program = setpriv;
        QFile::setPermissions(home.path(), QFile::permissions(home.path()) | QFile::WriteOther | QFile::ExeOther | QFile::ReadOther);
    } else {
        QVERIFY(QFile::setPermissions(QFileInfo(port).canonicalFilePath(), QFileDevice::Permissions()));
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORVELIN_PORTS"), port);
    environment.insert(QStringLiteral("HOME"), home.path());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), 2);
    QVERIFY2(errors.contains(QStringLiteral("Нет доступа к порту %1: добавьте пользователя в группу dialout и войдите заново").arg(port)),
             qPrintable(errors));
}

QTEST_GUILESS_MAIN(TestPortAccess)
#include "tst_portaccess.moc"
