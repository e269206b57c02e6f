#pragma once

#include "data/DownloadRecord.h"
#include "device/DeviceFileInfo.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

class ZR74XManager;

// What the records of one download session say about the instrument: read
// once per session (a single download, or all the files of one batch), not
// once per file.
struct DownloadSession
{
    QString deviceInfo;     // type word and firmware as the instrument says them
    QString port;
    QByteArray settingsArea; // the 128-byte settings area as read
};

namespace DownloadProvenance {

// Reads the settings area, and the device info unless `knownInfo` gives it.
// Throws the link's QString message.
DownloadSession readSession(ZR74XManager& device, const QString& port, const QString& knownInfo = QString());

// The decoded settings for the record: logging period, per channel the alarm
// switch and every lower/upper limit, and the ZR-7.49's sensor fields.
// An area shorter than the settings block gives an empty object.
QJsonObject settingsJson(const QByteArray& area, const QString& deviceInfo);

// Everything a record of `info` holds except the hash. `clock` is the
// instrument's clock read at the end of the download (null when it could not
// be read), `now` the computer's clock at the same moment.
DownloadRecord::Source source(const DownloadSession& session, quint32 id, const DeviceFileInfo& info, int group,
                              int index, const QDateTime& clock, const QDateTime& now);

// A float of the settings block as the decimal it was entered as (2.1, not
// 2.0999999046325684): its shortest text, read back as a double.
double shortest(float value);

// The type word and the firmware, split as the device screen splits them.
QString typeWord(const QString& deviceInfo);
QString firmware(const QString& deviceInfo);

} // namespace DownloadProvenance
