#pragma once

#include "link/DeviceCommand.h"
#include "device/DeviceFileInfo.h"
#include "device/DeviceSettings.h"
#include "device/RecordSequence.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

class ComPortManager;

// The instrument's command set: one typed operation per command, each a single
// request through the shared packet layer. Integers in requests and answers
// are big-endian. Every operation lets the packet layer's QString message of a
// final failure pass through. The packet layer takes only answers of the
// length the command's answer has; on top of that a file header must begin
// with "id", a file info may not describe a file larger than the memory, and
// a downloaded record must fit its file (RecordSequence).
class ZR74XManager : public QObject
{
    Q_OBJECT
public:
    // The manager is shared and not owned.
    explicit ZR74XManager(ComPortManager* manager, QObject* parent = nullptr);

    bool checkConnection();
    QString getDeviceInfo();
    quint32 getId();
    QDateTime getTime();
    void setTime(const QDateTime& time);
    QByteArray openFile(const QString& name);
    void closeFile();
    QByteArray readRecord(uint index);
    // The record `index` of the file being downloaded; an answer that cannot
    // be its next record is asked for again. The record is taken into `sequence`.
    QByteArray readRecord(uint index, RecordSequence& sequence);
    DeviceFileInfo getFileInfo(ushort index, uchar group);
    void endWrite();
    QByteArray readMemory(uint address);
    void beginWrite(uint address);
    void writeMemory(uint address, const QByteArray& bytes);
    quint16 getFileCount(uchar group);

    // Reads the device info and the 128-byte settings area and decodes it.
    // The device info read on the way is stored in `deviceInfo` if given.
    DeviceSettings readSettings(QString* deviceInfo = nullptr);
    // The 128 bytes of the settings area as the instrument holds them.
    QByteArray readSettingsArea();
    // Reads the device info, encodes `settings` for that model and writes the
    // block in 32-byte pieces between begin and end of write. The first
    // failing command ends the sequence with its message.
    void writeSettings(const DeviceSettings& settings);

    // Pure decoders and encoders of the command data, on bytes.
    static QString decodeDeviceInfo(const QByteArray& answer);
    static quint32 decodeId(const QByteArray& answer);
    static QDateTime decodeTime(const QByteArray& answer);
    static quint16 decodeFileCount(const QByteArray& answer);
    static QByteArray encodeTime(const QDateTime& time);
    static QByteArray encodeFileInfoRequest(ushort index, uchar group);
    static QByteArray encodeAddress(uint address);
    // A .LOG file header: 7 bytes beginning with "id".
    static bool isFileHeader(const QByteArray& answer);

private:
    ComPortManager* m_manager;
};
