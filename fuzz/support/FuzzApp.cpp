#include "FuzzApp.h"

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

namespace fuzzapp {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "orvelin-fuzz";
    static char* argv[] = {name, nullptr};
    // Deliberately never destroyed: the fuzzer ends the process by exit().
    new QCoreApplication(argc, argv);
}

const QString& scratchFolder()
{
    ensureApplication();
    static QTemporaryDir folder;
    static const QString path = folder.path();
    return path;
}

} // namespace fuzzapp
