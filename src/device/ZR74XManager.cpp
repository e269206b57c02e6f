#include "device/ZR74XManager.h"

#include "link/ComPortManager.h"

#include <QtEndian>

using namespace DeviceCommand;

namespace {

QByteArray bigEndian32(quint32 value)
{
    char bytes[4];
    qToBigEndian<quint32>(value, bytes);
    return QByteArray(bytes, 4);
}

} // namespace

ZR74XManager::ZR74XManager(ComPortManager* manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
{
}

// --- pure codecs -------------------------------------------------------------

QString ZR74XManager::decodeDeviceInfo(const QByteArray& answer)
{
    const int nul = answer.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? answer : answer.left(nul));
}

quint32 ZR74XManager::decodeId(const QByteArray& answer)
{
    if (answer.size() < 4)
        return 0;
    return qFromBigEndian<quint32>(answer.constData());
}

QDateTime ZR74XManager::decodeTime(const QByteArray& answer)
{
    // The instrument counts its own wall clock; read as UTC it shows unchanged.
    return QDateTime::fromSecsSinceEpoch(qint64(decodeId(answer)), Qt::UTC);
}

quint16 ZR74XManager::decodeFileCount(const QByteArray& answer)
{
    if (answer.size() < 2)
        return 0;
    return qFromBigEndian<quint16>(answer.constData());
}

QByteArray ZR74XManager::encodeTime(const QDateTime& time)
{
    return bigEndian32(quint32(time.toSecsSinceEpoch() & 0xFFFFFFFF));
}

QByteArray ZR74XManager::encodeFileInfoRequest(ushort index, uchar group)
{
    QByteArray data;
    data.append(char(index >> 8));
    data.append(char(index & 0xFF));
    data.append(char(group));
    return data;
}

QByteArray ZR74XManager::encodeAddress(uint address)
{
    return bigEndian32(address);
}

// --- commands ----------------------------------------------------------------

bool ZR74XManager::checkConnection()
{
    return m_manager->get(CheckConnection, QByteArray(1, '\0')) == QByteArray(1, '\0');
}

QString ZR74XManager::getDeviceInfo()
{
    return decodeDeviceInfo(m_manager->get(GetDeviceInfo));
}

quint32 ZR74XManager::getId()
{
    return decodeId(m_manager->get(GetId));
}

QDateTime ZR74XManager::getTime()
{
    return decodeTime(m_manager->get(GetTime));
}

void ZR74XManager::setTime(const QDateTime& time)
{
    m_manager->get(SetTime, encodeTime(time));
}

bool ZR74XManager::isFileHeader(const QByteArray& answer)
{
    return answer.size() == DeviceFileInfo::headerSize && answer.startsWith("id");
}

QByteArray ZR74XManager::openFile(const QString& name)
{
    return m_manager->get(OpenFile, name.toLocal8Bit(), &ZR74XManager::isFileHeader);
}

void ZR74XManager::closeFile()
{
    m_manager->get(CloseFile);
}

QByteArray ZR74XManager::readRecord(uint index)
{
    return m_manager->get(ReadRecord, bigEndian32(index));
}

QByteArray ZR74XManager::readRecord(uint index, RecordSequence& sequence)
{
    const QByteArray record = m_manager->get(ReadRecord, bigEndian32(index),
                                             [&sequence](const QByteArray& answer) { return sequence.fits(answer); });
    sequence.take(record);
    return record;
}

DeviceFileInfo ZR74XManager::getFileInfo(ushort index, uchar group)
{
    return DeviceFileInfo::fromAnswer(
        m_manager->get(GetFileInfo, encodeFileInfoRequest(index, group), &DeviceFileInfo::answerFits));
}

void ZR74XManager::endWrite()
{
    m_manager->get(EndWrite);
}

QByteArray ZR74XManager::readMemory(uint address)
{
    return m_manager->get(ReadMemory, encodeAddress(address));
}

void ZR74XManager::beginWrite(uint address)
{
    m_manager->get(BeginWrite, encodeAddress(address));
}

void ZR74XManager::writeMemory(uint address, const QByteArray& bytes)
{
    m_manager->get(WriteMemory, encodeAddress(address) + bytes);
}

quint16 ZR74XManager::getFileCount(uchar group)
{
    return decodeFileCount(m_manager->get(GetFileCount, QByteArray(1, char(group))));
}

// --- settings sequences ------------------------------------------------------

DeviceSettings ZR74XManager::readSettings(QString* deviceInfo)
{
    const QString info = getDeviceInfo();
    if (deviceInfo)
        *deviceInfo = info;
    return decodeSettings(readSettingsArea(), info);
}

QByteArray ZR74XManager::readSettingsArea()
{
    QByteArray area;
    for (int offset = 0; offset < SettingsArea::size; offset += SettingsArea::pieceSize)
        area.append(readMemory(SettingsArea::address + uint(offset)));
    return area;
}

void ZR74XManager::writeSettings(const DeviceSettings& settings)
{
    const QString info = getDeviceInfo();
    const QByteArray block = encodeSettings(settings, info);
    beginWrite(SettingsArea::address);
    for (int offset = 0; offset < block.size(); offset += SettingsArea::pieceSize)
        writeMemory(SettingsArea::address + uint(offset), block.mid(offset, SettingsArea::pieceSize));
    endWrite();
}
