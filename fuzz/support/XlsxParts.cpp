#include "XlsxParts.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cmath>
#include <zlib.h>

namespace xlsxparts {

namespace {

quint16 le16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 le32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

bool inflateRaw(const QByteArray& in, int expectedSize, QByteArray& out)
{
    out.resize(expectedSize);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    stream.avail_in = uInt(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END && stream.total_out == uLong(expectedSize);
}

const QString sheetPart = QStringLiteral("xl/worksheets/sheet1.xml");

} // namespace

QMap<QString, QByteArray> readZip(const QString& path)
{
    QMap<QString, QByteArray> members;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return members;
    const QByteArray zip = file.readAll();

    // End of central directory: the last "PK\5\6" with room for its 22 bytes.
    const int end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return members;
    const int entries = le16(zip, end + 10);
    int at = int(le32(zip, end + 16));
    for (int i = 0; i < entries; ++i) {
        if (at < 0 || at + 46 > zip.size() || le32(zip, at) != 0x02014b50)
            return {};
        const int method = le16(zip, at + 10);
        const int packed = int(le32(zip, at + 20));
        const int size = int(le32(zip, at + 24));
        const int nameLength = le16(zip, at + 28);
        const int skip = le16(zip, at + 30) + le16(zip, at + 32);
        const int local = int(le32(zip, at + 42));
        const QString name = QString::fromUtf8(zip.mid(at + 46, nameLength));
        at += 46 + nameLength + skip;

        if (local < 0 || local + 30 > zip.size() || le32(zip, local) != 0x04034b50)
            return {};
        const int dataAt = local + 30 + le16(zip, local + 26) + le16(zip, local + 28);
        if (packed < 0 || size < 0 || dataAt + packed > zip.size())
            return {};
        const QByteArray data = zip.mid(dataAt, packed);
        QByteArray content;
        if (method == 0)
            content = data;
        else if (method != 8 || !inflateRaw(data, size, content))
            return {};
        members.insert(name, content);
    }
    return members;
}

QString workbookFault(const QString& path)
{
    const QMap<QString, QByteArray> members = readZip(path);
    if (members.isEmpty())
        return QStringLiteral("not a readable zip archive");
    if (!members.contains(sheetPart))
        return QStringLiteral("no first sheet");
    for (auto it = members.cbegin(); it != members.cend(); ++it) {
        if (!it.key().endsWith(QLatin1String(".xml")) && !it.key().endsWith(QLatin1String(".rels")))
            continue;
        QXmlStreamReader xml(it.value());
        bool numberCell = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("c")) {
                const QStringRef type = xml.attributes().value(QLatin1String("t"));
                numberCell = type.isEmpty() || type == QLatin1String("n");
            } else if (xml.name() == QLatin1String("v") && numberCell) {
                bool ok = false;
                const QString text = xml.readElementText();
                const double value = text.toDouble(&ok);
                if (!ok || !std::isfinite(value))
                    return QStringLiteral("%1: number cell holds \"%2\"").arg(it.key(), text);
            }
        }
        if (xml.hasError())
            return QStringLiteral("%1: %2").arg(it.key(), xml.errorString());
    }
    return QString();
}

int sheetRowCount(const QString& path)
{
    QXmlStreamReader xml(readZip(path).value(sheetPart));
    int rows = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("row"))
            rows = qMax(rows, xml.attributes().value(QLatin1String("r")).toInt());
    }
    return rows;
}

} // namespace xlsxparts
