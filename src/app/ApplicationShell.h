#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QQmlApplicationEngine;
class QThread;

// Creates and wires every long-lived object of the application: the QML engine
// and main window, the screen bridges, the interactors in the device and
// database threads. The application object must exist before it is created.
// Destroying it stops both worker threads in order, after letting the request
// that runs in each of them finish.
class ApplicationShell : public QObject
{
    Q_OBJECT
public:
    ApplicationShell();
    ~ApplicationShell() override;

    // Loads the main window and starts the worker threads. On failure returns
    // false and leaves a message in errorString(); nothing has been started then.
    bool start(const QUrl& mainQml = QUrl(QStringLiteral("qrc:/main.qml")));

    // Asks both worker threads to quit and waits for them.
    void stopWorkers();

    QString errorString() const { return m_error; }
    QQmlApplicationEngine* engine() const { return m_engine; }
    QObject* rootObject() const { return m_root; }
    QThread* deviceThread() const { return m_deviceThread; }
    QThread* databaseThread() const { return m_databaseThread; }

private:
    void createWorkers();
    void wire();

    QQmlApplicationEngine* m_engine = nullptr;
    QObject* m_root = nullptr;
    QThread* m_deviceThread = nullptr;
    QThread* m_databaseThread = nullptr;
    QString m_error;
};
