#include "device/CollectSettings.h"

#include "base/DataLocation.h"

#include <QSettings>

namespace {
const QString kOnConnect = QStringLiteral("collect/onConnect");
const QString kArchive = QStringLiteral("collect/archive");
} // namespace

QString CollectSettings::defaultFile()
{
    return DataLocation::dataDir() + QStringLiteral("/orvelin.ini");
}

CollectSettings CollectSettings::load(const QString& iniFile)
{
    const QSettings ini(iniFile, QSettings::IniFormat);
    CollectSettings settings;
    settings.onConnect = ini.value(kOnConnect, false).toBool();
    settings.archive = ini.value(kArchive, false).toBool();
    return settings;
}

bool CollectSettings::save(const QString& iniFile) const
{
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.setValue(kOnConnect, onConnect);
    ini.setValue(kArchive, archive);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
