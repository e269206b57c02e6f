#pragma once
// Reads the parts of an .xlsx workbook back without the library that wrote
// it: the zip's central directory, raw inflate through zlib, and a check that
// each sheet and the shared strings are XML a spreadsheet program can load.

#include <QByteArray>
#include <QMap>
#include <QString>

namespace xlsxparts {

// Every member of the zip archive at `path` by name; empty when the file
// is not a readable zip archive.
QMap<QString, QByteArray> readZip(const QString& path);

// An empty text when the workbook is sound: every part is well-formed XML and
// every number cell holds a finite number (no spreadsheet reads "NAN" or
// "INF"). Otherwise what is wrong with it.
QString workbookFault(const QString& path);

// The number of rows the first sheet has (highest row number in use).
int sheetRowCount(const QString& path);

} // namespace xlsxparts
