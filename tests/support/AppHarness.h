#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class ApplicationShell;
class QTemporaryDir;

// Runs the real application in the test process: the start-up shell with its
// worker threads and the real main window (offscreen), finding instruments only
// on the ports given (simulator pseudo-terminals). Wait helpers spin the GUI
// event loop, so queued signals between the threads keep flowing.
class AppHarness
{
public:
    // `ports` becomes ORVELIN_PORTS for the application's searches.
    explicit AppHarness(const QStringList& ports = QStringList());
    ~AppHarness(); // stops the worker threads and tears the application down

    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    // Starts the shell; false (with errorString()) when the main window failed.
    bool start();
    QString errorString() const { return m_error; }

    // Changes the ports seen by the next search (the variable is read on every scan).
    static void setPorts(const QStringList& ports);

    ApplicationShell* shell() const { return m_shell.get(); }
    QObject* root() const;

    // First object under the main window with that objectName, or nullptr.
    QObject* object(const QString& objectName) const;
    QVariant property(const QString& objectName, const char* propertyName) const;
    bool setProperty(const QString& objectName, const char* propertyName, const QVariant& value);

    // Spins the event loop until `condition` holds; false on timeout.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15000);
    // Until the property of the named QML object equals `expected`.
    bool waitForProperty(const QString& objectName, const char* propertyName,
                         const QVariant& expected, int timeoutMs = 15000) const;
    // Spins the event loop for `ms` milliseconds.
    static void spin(int ms);
    // Until everything already queued for `receiver`'s thread has run, and
    // then what that posted back to this thread: what the program had on its
    // way is then done, so a check that nothing more came is a fair one.
    static bool drainQueued(QObject* receiver, int timeoutMs = 15000);
    // Whether every limit range of the settings page under `root` has taken
    // its boxes' values: a range adopts them in a deferred call once all
    // assignments of a turn are done, so a page just filled or edited has
    // settled only when this holds.
    static bool limitRangesSettled(const QObject* root);

    // Emits a signal declared on the main window, as the QML screens do.
    bool emitWindowSignal(const char* name, const QVariant& argument = QVariant());

    // Opens the database page with its menu button, as the user does, and
    // waits for the filter lists.
    bool openDataBasePage();
    // Presses "Применить фильтр" and waits until the selection is shown.
    bool applyDataBaseFilter();

    // The archive of this run: a file of its own in a temporary folder, so
    // tests running side by side never share one.
    QString databasePath() const;

    // The folder of downloaded log files of an instrument, beside the executable.
    static QString logFolder(quint32 idDevice);

private:
    std::unique_ptr<QTemporaryDir> m_archiveDir;
    std::unique_ptr<ApplicationShell> m_shell;
    QString m_error;
};
