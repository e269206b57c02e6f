#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QStringList>

#include <climits>

class QSqlQueryModel;

// Maximum, mean and minimum of every column of a source model, as a
// three-row table whose column 0 holds the row labels and column j >= 1
// describes source column j. A column is walked once and its result kept
// until the source changes (reset, data, rows or layout) or the headers are
// set again; a view asks for every cell several times.
class ModelStatistics : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(QStringList getHeader READ getHeader CONSTANT)

public:
    enum Row { MaximumRow = 0, MeanRow = 1, MinimumRow = 2 };
    static constexpr int FirstColumnRole = 257; // 257 + k: cell of column k

    // Over an item model whose `valueRole` gives a cell's raw number.
    ModelStatistics(QAbstractItemModel* source, int valueRole, QObject* parent = nullptr);
    // Over a database selection whose texts read "<value> <unit>".
    explicit ModelStatistics(QSqlQueryModel* source, QObject* parent = nullptr);

    // Headers become an empty label header followed by `headers`.
    void setHeaders(const QStringList& headers);
    QStringList getHeader() const { return m_headers; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Result of one column; rows are source rows, -1 without a value.
    struct ColumnStatistics
    {
        bool hasValue = false;
        int maxRow = -1;
        int minRow = -1;
        double maximum = 0.0;
        double minimum = 0.0;
        double mean = 0.0;
        int count = 0;
        // Units of a database column's values, in order of appearance. Values
        // of different units make no maximum or mean: such a column has none.
        QStringList units;
        bool mixesUnits() const { return units.size() > 1; }
    };

    // What a statistics cell says of a column whose values have different units.
    static QString mixedUnitsText(const QStringList& units);

    // Rows whose display value is invalid are skipped, and so are values that
    // are not finite numbers; ties keep the earlier row.
    // Only rows firstRow..lastRow (both included, clipped to the model) count;
    // a report covers just its period.
    static ColumnStatistics columnStatistics(const QAbstractItemModel* model, int column, int valueRole,
                                             int firstRow = 0, int lastRow = INT_MAX);
    // The value is the text before the first space; NULL or empty fields
    // are rows without a value.
    static ColumnStatistics queryColumnStatistics(const QSqlQueryModel* model, int column,
                                                  int firstRow = 0, int lastRow = INT_MAX);

    // Text of one statistics cell (row 0..2, column >= 0).
    QString cellText(int row, int column) const;

    static constexpr const char* noValueText = "-----";

private:
    const ColumnStatistics& statisticsOf(int column) const;
    void watchSource(QAbstractItemModel* source);
    void forget() { m_cache.clear(); }

    QPointer<QAbstractItemModel> m_source;
    QPointer<QSqlQueryModel> m_query;
    int m_valueRole = 257;
    QStringList m_headers;
    mutable QHash<int, ColumnStatistics> m_cache;
};
