// orvelin-cli: the application's core without a window.
#include "report/MetaTypes.h"
#include "cli/CliApp.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

// Qt's own chatter (fonts, the offscreen platform) would bury the one line a
// failing command says; only what stops the program gets through.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "orvelin-cli: %s\n", message.toUtf8().constData());
}

} // namespace

int main(int argc, char* argv[])
{
    // Report pages and charts are drawn without a window, which also lets
    // the program run on a server without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    registerMetaTypes();
    // Reports are widgets drawn by Qt Charts: that needs the widget application.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvelin-cli"));

    // Arguments as UTF-8 whatever the locale says: channel names are Cyrillic.
    // QApplication has taken its own options out of argv by now.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);
    return CliApp::run(arguments);
}
