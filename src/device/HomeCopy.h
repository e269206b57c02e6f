#pragma once

#include "device/DeviceFileInfo.h"

#include <QList>
#include <QString>
#include <QVariantMap>

// Whether a file of the instrument is already home under LOG/<ID>/: the copy
// is complete when it is as long as a download of the listed file writes,
// partial when a shorter copy is there (the instrument went on logging into
// the file since, or an old download stopped early). A longer copy, a copy
// whose download record no longer agrees with its bytes, or none, means the
// file has to come again.
namespace HomeCopy {

enum class State { Absent, Partial, Complete };

// Bytes a complete download of `info` writes: the header and every record.
qint64 completeSize(const DeviceFileInfo& info);

State of(const QString& path, const DeviceFileInfo& info);

// The list mark of the device screen: "загружен", "частично" or nothing.
QString markText(State state);

// The marks of every listed file that has one, by file name, for the device
// screen's list: the files of instrument `idDevice` under `logRoot` (empty:
// LOG beside the executable).
QVariantMap marks(const QList<DeviceFileInfo>& list, uint idDevice, const QString& logRoot = QString());

} // namespace HomeCopy
