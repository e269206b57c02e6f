#include "app/ApplicationShell.h"
#include "app/Localization.h"
#include "base/DataLocation.h"
#include "database/ArchiveJournal.h"
#include "report/MetaTypes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[])
{
    registerMetaTypes();
    QApplication app(argc, argv);
    Localization::apply(app);

    // The file dialogs open in LOG/, so it exists from the first start on,
    // beside a portable copy or in the user's data folder of an installed one.
    QDir().mkpath(DataLocation::dataDir() + QStringLiteral("/LOG"));
    if (!QFileInfo::exists(DataLocation::helpDir() + QStringLiteral("/Home.htm")))
        std::fprintf(stderr, "orvelin: справка не найдена в %s\n", qPrintable(QDir::toNativeSeparators(DataLocation::helpDir())));

    // The lab's archive on a server keeps the journal every computer adds to.
    ArchiveJournal::useFor(QString());

    ApplicationShell shell;
    if (!shell.start()) {
        std::fprintf(stderr, "orvelin: %s\n", qPrintable(shell.errorString()));
        return 1;
    }
    const int code = app.exec();
    shell.stopWorkers();
    return code;
}
