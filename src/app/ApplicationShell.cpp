#include "app/ApplicationShell.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QThread>

static void initQmlResources()
{
    Q_INIT_RESOURCE(orvelin_qml);
}

ApplicationShell::ApplicationShell()
{
    initQmlResources();
}

ApplicationShell::~ApplicationShell()
{
    stopWorkers();
    // The engine owns the main window and with it the bridges.
    delete m_engine;
}

bool ApplicationShell::start(const QUrl& mainQml)
{
    QQuickStyle::setStyle(QStringLiteral("fusion"));
    m_engine = new QQmlApplicationEngine();
    m_engine->addImportPath(QStringLiteral("qrc:/DeviceMenu"));

    m_engine->load(mainQml);
    if (m_engine->rootObjects().isEmpty()) {
        m_error = QStringLiteral("Не удалось загрузить главное окно %1").arg(mainQml.toString());
        return false;
    }
    m_root = m_engine->rootObjects().constFirst();

    createWorkers();
    wire();

    m_deviceThread->start(QThread::InheritPriority);
    m_databaseThread->start(QThread::InheritPriority);
    return true;
}

void ApplicationShell::createWorkers()
{
    m_deviceThread = new QThread(this);
    m_deviceThread->setObjectName(QStringLiteral("device"));
    m_databaseThread = new QThread(this);
    m_databaseThread->setObjectName(QStringLiteral("database"));
}

void ApplicationShell::wire()
{
}

void ApplicationShell::stopWorkers()
{
    // A running search or download notices the interruption request at its next
    // pause or request and returns; quit() then ends the thread's event loop.
    for (QThread* thread : {m_deviceThread, m_databaseThread}) {
        if (!thread || !thread->isRunning())
            continue;
        thread->requestInterruption();
        thread->quit();
        thread->wait();
    }
}
