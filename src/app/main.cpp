#include "app/ApplicationShell.h"
#include "app/Localization.h"
#include "app/MetaTypes.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    registerMetaTypes();
    QApplication app(argc, argv);
    Localization::apply(app);

    ApplicationShell shell;
    if (!shell.start()) {
        std::fprintf(stderr, "orvelin: %s\n", qPrintable(shell.errorString()));
        return 1;
    }
    const int code = app.exec();
    shell.stopWorkers();
    return code;
}
