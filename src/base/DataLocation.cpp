#include "base/DataLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataLocation {

namespace {

QString installedHelpDir(const QString& executableDir)
{
    return QDir::cleanPath(executableDir + QStringLiteral("/../share/orvelin/browserPages"));
}

bool portable(const QString& executableDir)
{
    if (QFileInfo::exists(executableDir + QStringLiteral("/browserPages")))
        return QFileInfo(executableDir).isWritable();
    return !QFileInfo::exists(installedHelpDir(executableDir)) && QFileInfo(executableDir).isWritable();
}

QString userDataDir()
{
    // One folder for the application and the command line alike, whatever
    // application name each process carries.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Orvelin");
}

} // namespace

QString dataDirFor(const QString& executableDir, const QString& userData)
{
    return portable(executableDir) ? executableDir : userData;
}

QString helpDirFor(const QString& executableDir)
{
    const QString beside = executableDir + QStringLiteral("/browserPages");
    if (QFileInfo::exists(beside) || !QFileInfo::exists(installedHelpDir(executableDir)))
        return beside;
    return installedHelpDir(executableDir);
}

bool isInstalled()
{
    return !portable(QCoreApplication::applicationDirPath());
}

QString dataDir()
{
    const QString dir = dataDirFor(QCoreApplication::applicationDirPath(), userDataDir());
    QDir().mkpath(dir);
    return dir;
}

QString helpDir()
{
    return helpDirFor(QCoreApplication::applicationDirPath());
}

} // namespace DataLocation
