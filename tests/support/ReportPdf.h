#pragma once

#include <QSize>
#include <QSizeF>
#include <QString>
#include <QVector>

// Reads a PDF back with the poppler tools, independently of the code that
// wrote it.
namespace reportpdf {

// The text of all pages with every run of white space (line breaks inside
// table cells, the blanks pdftotext drops or adds) turned into one blank.
QString text(const QString& path);

// Pixel size of every picture in the file, in page order.
QVector<QSize> pictures(const QString& path);

// Horizontal resolution each picture is shown at, in page order: its pixel
// width divided by this is the width it takes on paper, in inches.
QVector<int> pictureDpi(const QString& path);

int pageCount(const QString& path);
// Size of the first page, in inches.
QSizeF pageSize(const QString& path);

// True when the text holds `parts` one after another, in this order.
bool containsInOrder(const QString& text, const QStringList& parts);

} // namespace reportpdf
