#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// The download record kept beside a .LOG file (<NAME>.LOG.json): what the
// instrument said about the log when it was downloaded, its settings among it.
namespace DownloadRecord {

// The record of the log at `logPath`; nothing when there is none or it cannot
// be read, and then `why` says why (empty when there simply is no record).
std::optional<QJsonObject> read(const QString& logPath, QString* why = nullptr);

} // namespace DownloadRecord
