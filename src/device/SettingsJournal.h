#pragma once

#include "device/DeviceSettings.h"

#include <QJsonArray>
#include <QString>

#include <optional>

// What the journal says about a settings write: every field that changed,
// named as in the settings record ("channel1.temperature.upper"), with its
// value before and after.
namespace SettingsJournal {

// Without `before` (nothing was read before the write) every field is listed with an old value of null.
QJsonArray changes(const std::optional<DeviceSettings>& before, const DeviceSettings& after, const QString& deviceInfo);

} // namespace SettingsJournal
