#include "report/PdfCheck.h"

#include <QFile>

namespace PdfCheck {

bool isComplete(const QByteArray& head, const QByteArray& tail, qint64 size)
{
    if (!head.startsWith("%PDF-"))
        return false;
    const int startXref = tail.lastIndexOf("startxref");
    const int end = tail.lastIndexOf("%%EOF");
    if (startXref < 0 || end < startXref)
        return false;
    // Only line ends may follow the end marker.
    if (!tail.mid(end + 5).trimmed().isEmpty())
        return false;
    bool ok = false;
    const qint64 offset = tail.mid(startXref + 9, end - startXref - 9).trimmed().toLongLong(&ok);
    return ok && offset > 0 && offset < size;
}

bool isCompleteFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    const QByteArray head = file.read(8);
    if (!file.seek(qMax<qint64>(0, size - 1024)))
        return false;
    return isComplete(head, file.readAll(), size);
}

} // namespace PdfCheck
