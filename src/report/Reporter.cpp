#include "report/Reporter.h"

#include "report/DocumentPrinter.h"
#include "report/PrintSetting.h"

#include <QAbstractItemModel>
#include <QImage>
#include <QMessageBox>
#include <QPagedPaintDevice>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextTable>
#include <QTextTableFormat>

#include <algorithm>

namespace {

const int dataCellPointSize = 8;
const int tableHeaderPointSize = 10;
const QString noValue = QStringLiteral("------");

QTextCharFormat boldFormat(int pointSize)
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    format.setFontPointSize(pointSize);
    return format;
}

QTextBlockFormat centredBlock()
{
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignCenter);
    return format;
}

// Writes `texts` into `cells` consecutive cells starting where `cursor`
// stands; returns the cursor in the last of them.
QTextCursor fillCells(QTextCursor cursor, const QStringList& texts, int cells, const QTextCharFormat& format)
{
    static const QTextBlockFormat centred = centredBlock();
    for (int i = 0; i < cells; ++i) {
        if (i > 0)
            cursor.movePosition(QTextCursor::NextCell);
        cursor.setBlockFormat(centred);
        cursor.setBlockCharFormat(format);
        if (i < texts.size())
            cursor.insertText(texts.at(i), format);
    }
    return cursor;
}

QString cellText(const QAbstractItemModel* model, int row, int column)
{
    return model->index(row, column).data(Qt::DisplayRole).toString();
}

} // namespace

Reporter::Reporter(QWidget* parent)
    : QWidget(parent), m_document(new QTextDocument()), m_cursor(m_document)
{
    setPrintMargins(m_document);
}

Reporter::~Reporter()
{
    delete m_document;
}

void Reporter::moveToEnd()
{
    m_cursor.movePosition(QTextCursor::End);
}

void Reporter::insertHeading(const QString& text, int pointSize)
{
    moveToEnd();
    QTextBlockFormat block = centredBlock();
    block.setTopMargin(5);
    block.setBottomMargin(5);
    const QTextCharFormat chars = boldFormat(pointSize);
    // The empty paragraph every document starts with takes the first heading.
    if (m_document->isEmpty()) {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(chars);
    } else {
        m_cursor.insertBlock(block, chars);
    }
    m_cursor.insertText(text, chars);
}

void Reporter::insertTableHeader(const QStringList& titles, int pointSize)
{
    moveToEnd();
    QTextTableFormat format;
    format.setCellPadding(5);
    format.setCellSpacing(0);
    format.setHeaderRowCount(1);
    format.setBorder(1);
    format.setBorderBrush(QBrush(Qt::black, Qt::SolidPattern));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Ridge);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));

    const int columns = std::max(1, int(titles.size()));
    m_table = m_cursor.insertTable(1, columns, format);
    m_tableColumns = columns;
    fillCells(m_table->cellAt(0, 0).firstCursorPosition(), titles, columns, boldFormat(pointSize));
}

void Reporter::appendTableRow(const QStringList& cells)
{
    appendTableRows({cells});
}

void Reporter::appendTableRows(const QVector<QStringList>& rows)
{
    if (!m_table)
        return;
    QVector<QStringList> fitting;
    fitting.reserve(rows.size());
    for (const QStringList& cells : rows) {
        if (cells.size() <= m_tableColumns) {
            fitting << cells;
            continue;
        }
        QMessageBox::critical(nullptr, tr("AddData"),
                              tr("Too many elements to paste wait %1 got%2").arg(m_tableColumns).arg(cells.size()),
                              QMessageBox::Ok);
    }
    if (fitting.isEmpty())
        return;

    // All rows at once: growing the table row by row rebuilds its cell grid
    // every time, which dominates a record table of thousands of rows.
    const int first = m_table->rows();
    m_table->appendRows(fitting.size());
    static const QTextCharFormat format = boldFormat(dataCellPointSize);
    QTextCursor cursor = m_table->cellAt(first, 0).firstCursorPosition();
    for (int row = 0; row < fitting.size(); ++row) {
        if (row > 0)
            cursor.movePosition(QTextCursor::NextCell);
        cursor = fillCells(cursor, fitting.at(row), m_tableColumns, format);
    }
}

void Reporter::insertImage(const QImage& image)
{
    moveToEnd();
    m_cursor.insertBlock(centredBlock());
    m_cursor.insertImage(image);
}

bool Reporter::printDocument(QPagedPaintDevice* printer) const
{
    return printPaginated(m_document, printer);
}

QString Reporter::periodText(const PrintSetting& setting)
{
    const QString format = QStringLiteral("dd.MM.yy hh:mm:ss");
    return QStringLiteral("c %1 по %2.").arg(setting.beginDateTime.toString(format),
                                             setting.endDateTime.toString(format));
}

void Reporter::addLogReportTitle(const PrintSetting& setting)
{
    const QString title = setting.fullReport ? QStringLiteral("Полный отчёт о работе прибора %1  ID: %2,")
                                             : QStringLiteral("Краткий отчёт о работе прибора %1  ID: %2,");
    insertHeading(title.arg(setting.typeDevice).arg(setting.idDevice), 16);
    insertHeading(periodText(setting), 14);
}

QString Reporter::filterLines(const QMultiHash<QString, QVariant>& dbRequestParameters)
{
    const std::pair<const char*, QString> filters[] = {
        {"idDevice", QStringLiteral("по приборам №: ")},
        {"nameChannel", QStringLiteral("по каналам : ")},
        {"unit", QStringLiteral("по ед. измерениям : ")},
    };
    QString lines;
    for (const auto& [key, prefix] : filters) {
        // A multi-hash hands the values of a key back newest first; the
        // title lists them in the order the screen added them.
        QList<QVariant> values = dbRequestParameters.values(QString::fromLatin1(key));
        if (values.isEmpty())
            continue;
        std::reverse(values.begin(), values.end());
        QStringList texts;
        for (const QVariant& value : values)
            texts << value.toString();
        lines += prefix + texts.join(QLatin1Char(',')) + QStringLiteral(";\n");
    }
    return lines;
}

void Reporter::addDataBaseReportTitle(const PrintSetting& setting,
                                      const QMultiHash<QString, QVariant>& dbRequestParameters)
{
    const QString title = setting.fullReport ? QStringLiteral("Полный отчёт из базы данных с отбором \n")
                                             : QStringLiteral("Краткий отчёт из базы данных с отбором \n");
    insertHeading(title + filterLines(dbRequestParameters), 16);
    insertHeading(periodText(setting), 14);
}

void Reporter::addStatisticsHeader(const QString& name)
{
    insertHeading(QStringLiteral("Статистика по %1").arg(name), 14);
    insertTableHeader({QString(), QStringLiteral("Значение"), QStringLiteral("Дата")}, tableHeaderPointSize);
}

void Reporter::addStatisticsRows(const ModelStatistics::ColumnStatistics& statistics,
                                 const QAbstractItemModel* model, int column)
{
    const QString maximum = QStringLiteral("Максимальное значение");
    const QString minimum = QStringLiteral("Минимальное значение");
    const QString mean = QStringLiteral("Среднее значение");
    if (statistics.mixesUnits()) {
        const QString mixed = ModelStatistics::mixedUnitsText(statistics.units);
        appendTableRow({maximum, mixed, noValue});
        appendTableRow({minimum, mixed, noValue});
        appendTableRow({mean, mixed, QString()});
        return;
    }
    if (!statistics.hasValue || !model) {
        appendTableRow({maximum, noValue, noValue});
        appendTableRow({minimum, noValue, noValue});
        appendTableRow({mean, noValue, QString()});
        return;
    }
    appendTableRow({maximum, cellText(model, statistics.maxRow, column), cellText(model, statistics.maxRow, 0)});
    appendTableRow({minimum, cellText(model, statistics.minRow, column), cellText(model, statistics.minRow, 0)});
    appendTableRow({mean, QString::number(statistics.mean, 'f', 2), QString()});
}

void Reporter::addRecordTableHeader(const QAbstractItemModel* model)
{
    insertHeading(QStringLiteral("Отчёт"), 12);
    QStringList titles;
    if (const auto* query = qobject_cast<const QSqlQueryModel*>(model)) {
        const QSqlRecord record = query->record();
        for (int i = 0; i < record.count(); ++i)
            titles << record.fieldName(i);
    } else if (model) {
        for (int column = 0; column < model->columnCount(); ++column)
            titles << model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    insertTableHeader(titles, tableHeaderPointSize);
}

void Reporter::addRecordRows(const QAbstractItemModel* model, int firstRow, int lastRow)
{
    if (!model)
        return;
    const int first = std::max(firstRow, 0);
    const int last = std::min(lastRow, model->rowCount() - 1);
    const int columns = std::min(model->columnCount(), m_tableColumns);
    QVector<QStringList> rows;
    rows.reserve(std::max(last - first + 1, 0));
    for (int row = first; row <= last; ++row) {
        QStringList cells;
        cells.reserve(columns);
        for (int column = 0; column < columns; ++column)
            cells << cellText(model, row, column);
        rows << cells;
    }
    appendTableRows(rows);
}
