// A file-info answer from the instrument, as any bytes: the entry it gives
// names a plain file inside the instrument's folder, counts the whole records
// its size holds, and the device screen's list shows it without fault.

#include "FuzzApp.h"
#include "FuzzCheck.h"

#include "device/DeviceFileInfo.h"
#include "device/FilesInteractor.h"
#include "device/ModelDeviceFileInfo.h"

#include <QRegularExpression>
#include <QtEndian>

namespace {

quint32 be32(const QByteArray& b, int at)
{
    return qFromBigEndian<quint32>(b.constData() + at);
}

void checkDecoded(const QByteArray& answer, const DeviceFileInfo& info)
{
    if (answer.size() < 12) {
        FUZZ_CHECK(info == DeviceFileInfo(), hexOf(answer));
        FUZZ_CHECK(info.nameFile.isEmpty() && info.startLog.isNull() && info.stopLog.isNull(), hexOf(answer));
        return;
    }
    const quint32 start = be32(answer, 0);
    const quint32 stop = be32(answer, 4);
    const quint32 size = be32(answer, 8);

    static const QRegularExpression runName(QStringLiteral("^[0-9A-F]{1,8}\\.LOG$"));
    static const QRegularExpression singleName(QStringLiteral("^SINGLE(-?[0-9]{2,}|-[0-9])\\.LOG$"));
    if (start != 0) {
        FUZZ_CHECK(runName.match(info.nameFile).hasMatch(), info.nameFile);
        FUZZ_CHECK(info.nameFile.chopped(4).toUInt(nullptr, 16) == start, info.nameFile);
        FUZZ_CHECK(info.startLog.timeSpec() == Qt::UTC && info.startLog.toSecsSinceEpoch() == start, hexOf(answer));
        FUZZ_CHECK(info.stopLog.timeSpec() == Qt::UTC && info.stopLog.toSecsSinceEpoch() == stop, hexOf(answer));
    } else {
        FUZZ_CHECK(singleName.match(info.nameFile).hasMatch(), info.nameFile);
        FUZZ_CHECK(info.nameFile.mid(6).chopped(4).toLongLong() == qint64(stop) - 1, info.nameFile);
        FUZZ_CHECK(info.startLog.isNull() && info.stopLog.isNull(), hexOf(answer));
    }
    FUZZ_CHECK(quint32(info.size) == size, hexOf(answer));
    const qint64 records = size < 7 ? 0 : (qint64(size) - 7) / 24;
    FUZZ_CHECK(info.numberOfRecords == records, hexOf(answer));

    // What a download will ask for must fit in the file the instrument reported.
    const quint32 toDownload = FilesInteractor::recordsToDownload(info);
    FUZZ_CHECK(info.size < 7 ? toDownload == 0 : 7 + 24 * qint64(toDownload) <= info.size, hexOf(answer));
    if (DeviceFileInfo::answerFits(answer))
        FUZZ_CHECK(size <= DeviceFileInfo::memorySize && toDownload == quint32(records), hexOf(answer));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzapp::ensureApplication();
    const QByteArray answer(reinterpret_cast<const char*>(data), int(size));
    const DeviceFileInfo info = DeviceFileInfo::fromAnswer(answer);
    checkDecoded(answer, info);

    // The list shows whatever the instrument reported.
    ModelDeviceFileInfo list;
    list.setListFiles({info, DeviceFileInfo()});
    FUZZ_CHECK(list.rowCount() == 2, QString());
    const auto roles = list.roleNames();
    for (int row = 0; row < 2; ++row)
        for (auto role = roles.cbegin(); role != roles.cend(); ++role)
            list.data(list.index(row), role.key());
    FUZZ_CHECK(list.data(list.index(0), ModelDeviceFileInfo::NameFileRole).toString() == info.nameFile, info.nameFile);
    return 0;
}
