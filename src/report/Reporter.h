#pragma once

#include "data/ModelStatistics.h"

#include <QMultiHash>
#include <QStringList>
#include <QTextCursor>
#include <QVector>
#include <QVariant>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QImage;
class QPagedPaintDevice;
class QSqlQueryModel;
class QTextDocument;
class QTextTable;
QT_END_NAMESPACE

struct PrintSetting;

// One printable report, built as a rich-text document by appending headings,
// tables and pictures at its end. It is never shown: the widget base only ties
// it to the GUI thread, where printers and previews live.
//
// A Reporter serves one request: it is filled once in the order of its layout,
// printed (or painted for every preview repaint) and then destroyed.
class Reporter : public QWidget
{
    Q_OBJECT
public:
    explicit Reporter(QWidget* parent = nullptr);
    ~Reporter() override;

    QTextDocument* document() const { return m_document; }

    // Document primitives; every element goes to the end of the document.
    void insertHeading(const QString& text, int pointSize);
    // A table of one header row with these titles; it becomes the current table.
    void insertTableHeader(const QStringList& titles, int pointSize);
    // One row of the current table, padded with empty cells. A row wider than
    // the table is not appended and is reported in a message box.
    void appendTableRow(const QStringList& cells);
    // Many rows at once, each as appendTableRow would add it.
    void appendTableRows(const QVector<QStringList>& rows);
    void insertImage(const QImage& image);
    // Prints the whole document, paginated for the device; false when the
    // device could not be painted on (an unwritable PDF file, for one).
    bool printDocument(QPagedPaintDevice* printer) const;

    // Layout pieces shared by both report kinds.
    void addLogReportTitle(const PrintSetting& setting);
    void addDataBaseReportTitle(const PrintSetting& setting,
                                const QMultiHash<QString, QVariant>& dbRequestParameters);
    void addStatisticsHeader(const QString& name);
    // Maximum, minimum and mean rows of one column; value and date texts are
    // taken from `model` at the rows the statistics point to.
    void addStatisticsRows(const ModelStatistics::ColumnStatistics& statistics,
                           const QAbstractItemModel* model, int column);
    // Heading "Отчёт" and a table header of the model's column titles (the field
    // names for a database selection).
    void addRecordTableHeader(const QAbstractItemModel* model);
    // The model's rows firstRow..lastRow (both included, clipped to the model),
    // every cell as its display text.
    void addRecordRows(const QAbstractItemModel* model, int firstRow, int lastRow);

    static QString periodText(const PrintSetting& setting);
    static QString filterLines(const QMultiHash<QString, QVariant>& dbRequestParameters);

private:
    void moveToEnd();

    QTextDocument* m_document;
    QTextCursor m_cursor;
    QTextTable* m_table = nullptr;
    int m_tableColumns = 0;
};
