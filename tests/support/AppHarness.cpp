#include "AppHarness.h"

#include "app/ApplicationShell.h"
#include "report/MetaTypes.h"
#include "report/ReportInteractor.h"
#include "screens/DataBaseWindow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaMethod>
#include <QQmlApplicationEngine>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <memory>

AppHarness::AppHarness(const QStringList& ports)
{
    setPorts(ports);
}

AppHarness::~AppHarness()
{
    if (m_shell)
        m_shell->stopWorkers();
    m_shell.reset();
    // Deferred deletions of the torn-down window must not leak into the next test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void AppHarness::setPorts(const QStringList& ports)
{
    qputenv("ORVELIN_PORTS", ports.join(QLatin1Char(':')).toLocal8Bit());
}

bool AppHarness::start()
{
    // As the program does before anything else; registering twice is harmless.
    registerMetaTypes();
    m_archiveDir = std::make_unique<QTemporaryDir>();
    m_shell = std::make_unique<ApplicationShell>();
    m_shell->setDatabasePath(databasePath());
    // The collecting switches of a run stay in its own folder, like its archive.
    m_shell->setCollectSettingsFile(m_archiveDir->filePath(QStringLiteral("orvelin.ini")));
    if (!m_shell->start()) {
        m_error = m_shell->errorString();
        return false;
    }
    // No test may open a real print dialog or preview: printing is cancelled
    // and previews close at once, unless a test puts in dialogs of its own.
    ReportInteractor::Dialogs noDialogs;
    noDialogs.choosePrinter = [](QPrinter*) { return false; };
    noDialogs.preview = [](QPrinter*, const std::function<void(QPrinter*)>&) {};
    m_shell->reportInteractor()->setDialogs(noDialogs);
    return true;
}

bool AppHarness::openDataBasePage()
{
    QObject* button = object(QStringLiteral("ButtonBase"));
    if (!button || !QMetaObject::invokeMethod(button, "clicked"))
        return false;
    return waitFor([&] { return property(QStringLiteral("FilterDevice"), "model").value<QObject*>() != nullptr; });
}

bool AppHarness::applyDataBaseFilter()
{
    DataBaseWindow* screen = m_shell ? m_shell->dataBaseWindow() : nullptr;
    if (!screen)
        return false;
    QSignalSpy requests(screen, &DataBaseWindow::setDBFiltr);
    if (!emitWindowSignal("clickButtonFilters"))
        return false;
    return waitFor([&] {
        return requests.count() == 1 && property(QStringLiteral("TableDB"), "model").value<QObject*>() != nullptr
            && !screen->isWaiting();
    }, 30000);
}

QString AppHarness::databasePath() const
{
    return m_archiveDir ? m_archiveDir->filePath(QStringLiteral("Record.sqlite")) : QString();
}

QObject* AppHarness::root() const
{
    return m_shell ? m_shell->rootObject() : nullptr;
}

QObject* AppHarness::object(const QString& objectName) const
{
    QObject* r = root();
    if (!r)
        return nullptr;
    if (r->objectName() == objectName)
        return r;
    return r->findChild<QObject*>(objectName, Qt::FindChildrenRecursively);
}

QVariant AppHarness::property(const QString& objectName, const char* propertyName) const
{
    QObject* o = object(objectName);
    return o ? o->property(propertyName) : QVariant();
}

bool AppHarness::setProperty(const QString& objectName, const char* propertyName, const QVariant& value)
{
    QObject* o = object(objectName);
    return o && o->setProperty(propertyName, value);
}

bool AppHarness::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}

bool AppHarness::drainQueued(QObject* receiver, int timeoutMs)
{
    // Shared: on a timeout the calls may still run after this returns.
    const auto back = std::make_shared<bool>(false);
    QObject* here = QCoreApplication::instance();
    QMetaObject::invokeMethod(receiver, [back, here] {
        QMetaObject::invokeMethod(here, [back] { *back = true; }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    return waitFor([back] { return *back; }, timeoutMs);
}

bool AppHarness::limitRangesSettled(const QObject* root)
{
    const auto all = root->findChildren<QObject*>();
    for (const QObject* o : all) {
        const auto* lower = o->property("lowerBox").value<QObject*>();
        const auto* upper = o->property("upperBox").value<QObject*>();
        if (!lower || !upper)
            continue;
        if (o->property("min").toDouble() != lower->property("value").toDouble()
            || o->property("max").toDouble() != upper->property("value").toDouble())
            return false;
    }
    return true;
}

bool AppHarness::waitForProperty(const QString& objectName, const char* propertyName,
                                 const QVariant& expected, int timeoutMs) const
{
    return waitFor([&] { return property(objectName, propertyName) == expected; }, timeoutMs);
}

void AppHarness::spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool AppHarness::emitWindowSignal(const char* name, const QVariant& argument)
{
    QObject* r = root();
    if (!r)
        return false;
    // QML signals take their arguments as QVariant when declared without a type
    // and as the declared type otherwise; look the signal up to pass it right.
    const QMetaObject* meta = r->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Signal || method.name() != name)
            continue;
        if (method.parameterCount() == 0)
            return method.invoke(r, Qt::DirectConnection);
        const int type = method.parameterType(0);
        if (type == QMetaType::QVariant)
            return method.invoke(r, Qt::DirectConnection, Q_ARG(QVariant, argument));
        if (type == QMetaType::QString)
            return method.invoke(r, Qt::DirectConnection, Q_ARG(QString, argument.toString()));
        QVariant converted = argument;
        if (!converted.convert(type))
            return false;
        return method.invoke(r, Qt::DirectConnection,
                             QGenericArgument(QMetaType::typeName(type), converted.constData()));
    }
    return false;
}

QString AppHarness::logFolder(quint32 idDevice)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/LOG/") + QString::number(idDevice);
}
