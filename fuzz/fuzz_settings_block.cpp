// A settings area read from the instrument, as any bytes, with any device
// info: decoding and encoding it again writes back every field as it was read
// (only the bits the block does not use and the checksum are renewed), and
// decoding that block gives the same fields.

#include "FuzzApp.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "device/DeviceSettings.h"

#include <QtEndian>

namespace {

// Bytes of the block that are the fields themselves; the bit masks keep the
// bits a field owns.
struct FieldByte
{
    int offset;
    quint8 mask;
};

QVector<FieldByte> fieldBytes(bool secondModel)
{
    QVector<FieldByte> bytes;
    for (int offset = 0; offset < (secondModel ? 105 : 94); ++offset) {
        quint8 mask = 0xFF;
        if (offset == 9)
            mask = 0x03;          // sound and key sound
        else if (offset == 50 || offset == 91)
            mask = 0x01;          // a channel's alarm switch
        else if (offset >= 3 && offset <= 5)
            continue;             // the logging period, checked as a time below
        bytes.append({offset, mask});
    }
    return bytes;
}

QString describe(const QByteArray& area, const QString& info)
{
    return QStringLiteral("info \"%1\" area %2").arg(info, hexOf(area.left(110)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzapp::ensureApplication();
    FuzzInput in(data, size);
    QString info;
    switch (in.below(3)) {
    case 0: info = QStringLiteral("ZR7.47 1.05"); break;
    case 1: info = QStringLiteral("ZR7.49 2.11"); break;
    default: info = in.text(); break;
    }
    const QByteArray area = in.rest();
    const bool secondModel = info.contains(QLatin1String("ZR7.49"));

    const DeviceSettings read = decodeSettings(area, info);
    if (area.size() < 128) {
        FUZZ_CHECK(read == DeviceSettings(), describe(area, info));
        return 0;
    }

    const QByteArray block = encodeSettings(read, info);
    const int length = secondModel ? 109 : 98;
    FUZZ_CHECK(block.size() == length, describe(area, info));
    quint32 sum = 0;
    for (int i = 0; i < length - 4; ++i)
        sum += quint8(block.at(i));
    FUZZ_CHECK(qFromLittleEndian<quint32>(block.constData() + length - 4) == sum, describe(area, info));

    for (const FieldByte& field : fieldBytes(secondModel)) {
        const quint8 was = quint8(area.at(field.offset)) & field.mask;
        const quint8 now = quint8(block.at(field.offset));
        FUZZ_CHECK(now == was, QStringLiteral("offset %1: %2 written back as %3; %4")
                                   .arg(field.offset).arg(was).arg(now).arg(describe(area, info)));
    }
    // A period the instrument can hold is written back as it was read.
    const int hours = quint8(area.at(3)), minutes = quint8(area.at(4)), seconds = quint8(area.at(5));
    if (hours < 24 && minutes < 60 && seconds < 60)
        FUZZ_CHECK(block.mid(3, 3) == area.mid(3, 3), describe(area, info));

    // The written block, read back from a settings area, gives the same fields.
    const QByteArray again = block + area.mid(block.size());
    FUZZ_CHECK(decodeSettings(again, info) == read, describe(area, info));
    return 0;
}
