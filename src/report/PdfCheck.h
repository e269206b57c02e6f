#pragma once

#include <QByteArray>
#include <QString>

// Whether a PDF file was written to its end. A writer that runs out of disk
// space mid-way leaves a file that starts well but has no cross-reference
// trailer, and no reader opens it; the printer does not say so.
namespace PdfCheck {

// `head` is the start of the file, `tail` its last bytes (a kilobyte is
// plenty) and `size` its length: the header is there, and the trailer's
// "startxref" points inside the file and is followed by "%%EOF".
bool isComplete(const QByteArray& head, const QByteArray& tail, qint64 size);
bool isCompleteFile(const QString& path);

} // namespace PdfCheck
