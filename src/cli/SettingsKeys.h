#pragma once

#include "device/DeviceSettings.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>

// The instrument's settings as KEY=VALUE, named after the fields of the
// settings screen; the alarm fields carry their channel's number
// ("temperatureAlarmMin1", "alarm2"). Values are written as the screen takes
// them: limits in tenths, numbers with '.' or ',', switches as 1/0, the
// logging period as h:mm:ss.
namespace SettingsKeys {

// Every key of a model, in the order of the settings screen.
QStringList names(bool secondModel);
bool exists(const QString& key, bool secondModel);

QString text(const DeviceSettings& settings, const QString& key);
QJsonValue json(const DeviceSettings& settings, const QString& key);

// Applies "KEY=VALUE" and returns the key. Throws a usage CliFailure for an
// unknown key, a malformed value or one outside the screen's range.
QString apply(DeviceSettings& settings, const QString& assignment, bool secondModel);

// Each alarm lower limit among `keys` (or whose upper limit is among them)
// must stay at least 0.1 below its upper limit, as the screen keeps it.
void checkLimits(const DeviceSettings& settings, const QStringList& keys);

} // namespace SettingsKeys
