#include "data/LogFile.h"
#include "base/DataLocation.h"

#include "data/ModelLogRecord.h"
#include "data/UnitTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

const QString openErrorText = QStringLiteral("Ошибка открытия файла");
const QString damagedText = QStringLiteral("Файл поврежден");

bool isPresent(quint8 presenceCode)
{
    return presenceCode == 0 || presenceCode == 0x10 || presenceCode == 0x11;
}

float floatAt(const char* bytes)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

QString LogFile::folderPath(quint32 idDevice, const QString& logRoot)
{
    const QString folder = logRoot.isEmpty()
        ? QStringLiteral("%1%2%3").arg(DataLocation::dataDir(), QStringLiteral("/LOG/")).arg(idDevice)
        : QStringLiteral("%1/%2").arg(logRoot).arg(idDevice);
    QDir().mkpath(folder);
    return folder;
}

QString LogFile::filePath(quint32 idDevice, const QString& fileName, const QString& logRoot)
{
    return QStringLiteral("%1/%2").arg(folderPath(idDevice, logRoot), fileName);
}

LogRecord LogFile::decodeRecord(const char* record)
{
    LogRecord decoded;
    decoded.dateTime = QDateTime::fromSecsSinceEpoch(qFromLittleEndian<quint32>(record), Qt::UTC);
    decoded.entries.reserve(4);

    struct Channel { int presence, sensor, mainValue, extraValue, mainColumn; };
    static constexpr Channel channels[] = {{4, 6, 8, 16, 1}, {5, 7, 12, 20, 3}};
    for (const Channel& channel : channels) {
        if (!isPresent(quint8(record[channel.presence])))
            continue;
        const quint8 sensor = quint8(record[channel.sensor]);
        const float mainValue = floatAt(record + channel.mainValue);
        const float extraValue = floatAt(record + channel.extraValue);
        if (std::isfinite(mainValue))
            decoded.entries.append({channel.mainColumn, mainValue, UnitTable::mainUnit(sensor)});
        if (std::isfinite(extraValue))
            decoded.entries.append({channel.mainColumn + 1, extraValue, UnitTable::additionalUnit(sensor)});
    }
    return decoded;
}

LogFileContent LogFile::parse(const QByteArray& bytes)
{
    // A file too short for its header cannot hold the type and ID it claims;
    // it is treated as damaged rather than as an empty log.
    if (bytes.size() < headerSize || bytes.at(0) != 'i' || bytes.at(1) != 'd')
        throw damagedText;

    LogFileContent content;
    content.deviceType = qint8(bytes.at(2));
    content.deviceId = qFromLittleEndian<quint32>(bytes.constData() + 3);

    const int count = (bytes.size() - headerSize) / recordSize;
    content.records.reserve(count);
    const char* record = bytes.constData() + headerSize;
    for (int i = 0; i < count; ++i, record += recordSize)
        content.records.append(decodeRecord(record));
    return content;
}

LogFileContent LogFile::read(const QString& path)
{
    QFile file(path);
    // Read-only: opening a path that does not exist must not create a file.
    if (!file.open(QIODevice::ReadOnly))
        throw openErrorText;
    const QByteArray bytes = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        throw openErrorText;
    LogFileContent content = parse(bytes);
    content.path = path;
    return content;
}

void LogFile::readInto(const QString& path, ModelLogRecord& model)
{
    model.setContent(read(path));
}
