#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// How a cell looks; turned into a workbook format by XlsxDocument::addFormat.
struct XlsxFormatSpec
{
    enum Border { NoBorder, ThinBorder, MediumBorder };

    bool bold = false;
    double fontSize = 0;          // 0: the workbook default
    bool centerHorizontally = false;
    bool centerVertically = false;
    Border border = NoBorder;
    bool wrapText = false;
    QString numberFormat;         // custom format code, e.g. "dd.mm.yy HH:MM:SS"
    int numberFormatIndex = -1;   // built-in format index, -1 for none
};

// A workbook with one worksheet, written to `path` by save(). Rows and
// columns count from 1. Format handles come from addFormat(); 0 means "none".
// The workbook is written into a temporary file beside `path` and renamed
// over it only once it is complete, so a failed save (a full disk, say)
// leaves an earlier file at `path` as it was and no temporary file behind.
class XlsxDocument
{
public:
    XlsxDocument(const QString& path, const QString& sheetName);
    ~XlsxDocument();

    XlsxDocument(const XlsxDocument&) = delete;
    XlsxDocument& operator=(const XlsxDocument&) = delete;

    int addFormat(const XlsxFormatSpec& spec);

    void writeNumber(int row, int column, double value, int format = 0);
    void writeText(int row, int column, const QString& text, int format = 0);
    // The date-time's own clock reading is written; no time zone is applied.
    void writeDateTime(int row, int column, const QDateTime& dateTime, int format = 0);
    // Merges the range and writes `text` into its first cell.
    void mergeRange(int firstRow, int firstColumn, int lastRow, int lastColumn,
                    const QString& text, int format = 0);
    void setColumnWidth(int column, double width);

    // Writes the file; false when the workbook could not be created or saved.
    bool save();

private:
    lxw_format* format(int handle) const;
    void dropTemporary();

    QString m_path;
    QString m_temporaryPath;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QVector<lxw_format*> m_formats;
    bool m_failed = false;
};
