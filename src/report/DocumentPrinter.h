#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QPagedPaintDevice;
class QTextDocument;
QT_END_NAMESPACE

// Prints a text document page by page onto a printer or PDF writer the way
// QTextDocument::print() does (2 cm margins, page numbers at the foot, the
// printer's page range, copies and page order), but lays out the document
// itself instead of a copy of it. A report is printed once and thrown away, so
// the copy and the second layout that print() makes would be pure cost, and
// on a record table of thousands of rows that cost is counted in seconds.
// False when nothing could be painted on the device.
bool printPaginated(QTextDocument* document, QPagedPaintDevice* device);

// Gives the document the margins printPaginated() prints with. Done before
// the document is first laid out, it spares printPaginated() one layout.
void setPrintMargins(QTextDocument* document);
