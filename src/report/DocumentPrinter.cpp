#include "report/DocumentPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QImage>
#include <QUrl>
#include <QTextFrame>

#include <algorithm>

namespace {

// The resolution document measures refer to; margins are given in it and the
// layout scales them to the device.
constexpr qreal sourceDpi = 96.0;
const int printMargin = int((2 / 2.54) * sourceDpi);

void printPage(int index, QPainter* painter, QTextDocument* document, const QRectF& body,
               const QPointF& pageNumberPos)
{
    painter->save();
    painter->translate(body.left(), body.top() - (index - 1) * body.height());
    const QRectF view(0, (index - 1) * body.height(), body.width(), body.height());
    painter->setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    // Black text on paper whatever the desktop palette says.
    context.palette.setColor(QPalette::Text, Qt::black);
    document->documentLayout()->draw(painter, context);

    painter->setClipping(false);
    painter->setFont(document->defaultFont());
    const QString number = QString::number(index);
    painter->drawText(qRound(pageNumberPos.x() - painter->fontMetrics().horizontalAdvance(number)),
                      qRound(pageNumberPos.y() + view.top()), number);
    painter->restore();
}

// Pictures larger than the text area of a page would be cut off at its edge;
// they are shown smaller instead (the picture itself stays as it was made).
void fitImages(QTextDocument* document, const QSizeF& area)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
            const QSizeF natural = resource.value<QImage>().size();
            if (natural.isEmpty())
                continue;
            const QSizeF fitted = natural.width() <= area.width() && natural.height() <= area.height()
                ? natural
                : natural.scaled(area, Qt::KeepAspectRatio);
            if (qFuzzyCompare(format.width(), fitted.width()) && qFuzzyCompare(format.height(), fitted.height()))
                continue;
            format.setWidth(fitted.width());
            format.setHeight(fitted.height());
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

} // namespace

void setPrintMargins(QTextDocument* document)
{
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    if (frame.leftMargin() == printMargin && frame.rightMargin() == printMargin
        && frame.topMargin() == printMargin && frame.bottomMargin() == printMargin)
        return;
    frame.setLeftMargin(printMargin);
    frame.setRightMargin(printMargin);
    frame.setTopMargin(printMargin);
    frame.setBottomMargin(printMargin);
    document->rootFrame()->setFrameFormat(frame);
}

bool printPaginated(QTextDocument* document, QPagedPaintDevice* device)
{
    QPainter painter(device);
    if (!painter.isActive())
        return false;

    const QRectF body(0, 0, device->width(), device->height());
    const qreal dpiScaleX = device->logicalDpiX() / sourceDpi;
    const qreal dpiScaleY = device->logicalDpiY() / sourceDpi;
    // Everything that changes the layout comes before the layout is made.
    setPrintMargins(document);
    fitImages(document, QSizeF(body.width() / dpiScaleX - 2 * printMargin,
                               body.height() / dpiScaleY - 2 * printMargin));
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    layout->setPaintDevice(device);
    const QPointF pageNumberPos(body.width() - printMargin * dpiScaleX,
                                body.height() - printMargin * dpiScaleY
                                    + QFontMetrics(document->defaultFont(), device).ascent()
                                    + 5 * device->logicalDpiY() / 72.0);
    // Lays the document out for this device once, here or in pageCount().
    document->setPageSize(body.size());

    const int pageCount = document->pageCount();
    auto* printer = dynamic_cast<QPrinter*>(device);
    int fromPage = printer ? printer->fromPage() : 0;
    int toPage = printer ? printer->toPage() : 0;
    if (fromPage == 0 && toPage == 0) {
        fromPage = 1;
        toPage = pageCount;
    }
    fromPage = std::max(1, fromPage);
    toPage = std::min(pageCount, toPage);
    if (toPage < fromPage)
        return true; // a page range beyond the document prints nothing

    bool ascending = true;
    if (printer && printer->pageOrder() == QPrinter::LastPageFirst) {
        std::swap(fromPage, toPage);
        ascending = false;
    }
    // Copies the printer cannot make itself are printed here, collated or not.
    int documentCopies = 1;
    int pageCopies = 1;
    if (printer && !printer->supportsMultipleCopies()) {
        if (printer->collateCopies())
            documentCopies = printer->copyCount();
        else
            pageCopies = printer->copyCount();
    }

    for (int copy = 0; copy < documentCopies; ++copy) {
        for (int page = fromPage;; page += ascending ? 1 : -1) {
            for (int j = 0; j < pageCopies; ++j) {
                if (printer && printer->printerState() == QPrinter::Aborted)
                    return false;
                printPage(page, &painter, document, body, pageNumberPos);
                if (j < pageCopies - 1)
                    device->newPage();
            }
            if (page == toPage)
                break;
            device->newPage();
        }
        if (copy < documentCopies - 1)
            device->newPage();
    }
    // Ending writes what is still buffered (a PDF's trailer among it).
    return painter.end();
}
