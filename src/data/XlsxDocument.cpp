#include "data/XlsxDocument.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <locale.h>

namespace {

// The library writes numbers (values, date serials, column widths) into the
// workbook's XML with the C library's printf, which follows the process
// locale: under a Russian locale that is a decimal comma, and no spreadsheet
// reads the file. While it lives, this thread formats with the C conventions;
// other threads keep theirs.
class CNumbersInThisThread
{
public:
    CNumbersInThisThread()
        : m_c(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr)))
        , m_previous(m_c ? uselocale(m_c) : static_cast<locale_t>(nullptr))
    {
    }
    ~CNumbersInThisThread()
    {
        if (!m_c)
            return;
        uselocale(m_previous);
        freelocale(m_c);
    }
    CNumbersInThisThread(const CNumbersInThisThread&) = delete;
    CNumbersInThisThread& operator=(const CNumbersInThisThread&) = delete;

private:
    locale_t m_c;
    locale_t m_previous;
};

// libxlsxwriter counts rows and columns from 0.
lxw_row_t rowAt(int row) { return lxw_row_t(row - 1); }
lxw_col_t columnAt(int column) { return lxw_col_t(column - 1); }

} // namespace

XlsxDocument::XlsxDocument(const QString& path, const QString& sheetName)
    : m_path(path)
{
    m_formats.append(nullptr); // handle 0: no format
    // Reserve a unique name in the target's folder (a rename never crosses
    // file systems there); the library writes the workbook under it.
    QTemporaryFile reserved(path + QStringLiteral(".XXXXXX"));
    reserved.setAutoRemove(false);
    if (reserved.open()) {
        m_temporaryPath = reserved.fileName();
        reserved.close();
        m_workbook = workbook_new(QFile::encodeName(m_temporaryPath).constData());
    }
    if (m_workbook)
        m_sheet = workbook_add_worksheet(m_workbook, sheetName.toUtf8().constData());
    m_failed = !m_workbook || !m_sheet;
}

XlsxDocument::~XlsxDocument()
{
    // A document that was never saved is released without writing a file.
    if (m_workbook)
        lxw_workbook_free(m_workbook);
    dropTemporary();
}

void XlsxDocument::dropTemporary()
{
    if (!m_temporaryPath.isEmpty())
        QFile::remove(m_temporaryPath);
    m_temporaryPath.clear();
}

lxw_format* XlsxDocument::format(int handle) const
{
    return handle > 0 && handle < m_formats.size() ? m_formats.at(handle) : nullptr;
}

int XlsxDocument::addFormat(const XlsxFormatSpec& spec)
{
    if (!m_workbook)
        return 0;
    lxw_format* f = workbook_add_format(m_workbook);
    if (!f) {
        m_failed = true;
        return 0;
    }
    if (spec.bold)
        format_set_bold(f);
    if (spec.fontSize > 0)
        format_set_font_size(f, spec.fontSize);
    if (spec.centerHorizontally)
        format_set_align(f, LXW_ALIGN_CENTER);
    if (spec.centerVertically)
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    if (spec.border != XlsxFormatSpec::NoBorder)
        format_set_border(f, spec.border == XlsxFormatSpec::ThinBorder ? LXW_BORDER_THIN : LXW_BORDER_MEDIUM);
    if (spec.wrapText)
        format_set_text_wrap(f);
    if (!spec.numberFormat.isEmpty())
        format_set_num_format(f, spec.numberFormat.toUtf8().constData());
    else if (spec.numberFormatIndex >= 0)
        format_set_num_format_index(f, uint8_t(spec.numberFormatIndex));
    m_formats.append(f);
    return m_formats.size() - 1;
}

void XlsxDocument::writeNumber(int row, int column, double value, int formatHandle)
{
    if (m_sheet && worksheet_write_number(m_sheet, rowAt(row), columnAt(column), value, format(formatHandle)))
        m_failed = true;
}

void XlsxDocument::writeText(int row, int column, const QString& text, int formatHandle)
{
    if (m_sheet && worksheet_write_string(m_sheet, rowAt(row), columnAt(column), text.toUtf8().constData(),
                                          format(formatHandle)))
        m_failed = true;
}

void XlsxDocument::writeDateTime(int row, int column, const QDateTime& dateTime, int formatHandle)
{
    if (!m_sheet)
        return;
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    lxw_datetime value = {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
    if (worksheet_write_datetime(m_sheet, rowAt(row), columnAt(column), &value, format(formatHandle)))
        m_failed = true;
}

void XlsxDocument::mergeRange(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString& text,
                              int formatHandle)
{
    if (!m_sheet)
        return;
    // A single cell cannot be merged; it simply holds the text.
    if (firstRow == lastRow && firstColumn == lastColumn) {
        writeText(firstRow, firstColumn, text, formatHandle);
        return;
    }
    if (worksheet_merge_range(m_sheet, rowAt(firstRow), columnAt(firstColumn), rowAt(lastRow), columnAt(lastColumn),
                              text.toUtf8().constData(), format(formatHandle)))
        m_failed = true;
}

void XlsxDocument::setColumnWidth(int column, double width)
{
    if (m_sheet && worksheet_set_column(m_sheet, columnAt(column), columnAt(column), width, nullptr))
        m_failed = true;
}

bool XlsxDocument::save()
{
    if (!m_workbook)
        return false;
    lxw_workbook* workbook = m_workbook;
    m_workbook = nullptr; // closing frees the workbook whatever the outcome
    m_sheet = nullptr;
    if (m_failed) {
        // Something was not written: no incomplete workbook reaches the disk.
        lxw_workbook_free(workbook);
        dropTemporary();
        return false;
    }
    lxw_error closed;
    {
        const CNumbersInThisThread cNumbers;
        closed = workbook_close(workbook);
    }
    if (closed != LXW_NO_ERROR) {
        dropTemporary();
        return false;
    }
    // The library's file carries a private temporary's permissions; QSaveFile
    // gives the target those of the file it replaces (or the user's default)
    // and puts it in place by a rename once every byte is down.
    QFile written(m_temporaryPath);
    QSaveFile target(m_path);
    const bool saved = written.open(QIODevice::ReadOnly) && target.open(QIODevice::WriteOnly)
                       && target.write(written.readAll()) == written.size() && target.commit();
    written.close();
    dropTemporary();
    return saved;
}

