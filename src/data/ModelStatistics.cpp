#include "data/ModelStatistics.h"

#include <QSqlQueryModel>

#include <algorithm>

#include <cmath>

ModelStatistics::ModelStatistics(QAbstractItemModel* source, int valueRole, QObject* parent)
    : QAbstractTableModel(parent), m_source(source), m_valueRole(valueRole)
{
    m_headers << QString();
    watchSource(source);
}

ModelStatistics::ModelStatistics(QSqlQueryModel* source, QObject* parent)
    : QAbstractTableModel(parent), m_query(source)
{
    m_headers << QString();
    watchSource(source);
}

void ModelStatistics::watchSource(QAbstractItemModel* source)
{
    if (!source)
        return;
    // Any change of the source can change any column's figures.
    connect(source, &QAbstractItemModel::modelReset, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::dataChanged, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::rowsInserted, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::rowsRemoved, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::rowsMoved, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::columnsInserted, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::columnsRemoved, this, &ModelStatistics::forget);
    connect(source, &QAbstractItemModel::layoutChanged, this, &ModelStatistics::forget);
}

void ModelStatistics::setHeaders(const QStringList& headers)
{
    beginResetModel();
    m_headers = QStringList{QString()} + headers;
    forget();
    endResetModel();
}

const ModelStatistics::ColumnStatistics& ModelStatistics::statisticsOf(int column) const
{
    auto found = m_cache.find(column);
    if (found == m_cache.end()) {
        found = m_cache.insert(column, m_query ? queryColumnStatistics(m_query, column)
                                               : columnStatistics(m_source, column, m_valueRole));
    }
    return *found;
}

int ModelStatistics::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

int ModelStatistics::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QVariant ModelStatistics::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() > MinimumRow || index.column() >= m_headers.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role >= FirstColumnRole && role - FirstColumnRole < m_headers.size())
        return cellText(index.row(), role - FirstColumnRole);
    return QVariant();
}

QVariant ModelStatistics::headerData(int section, Qt::Orientation orientation, int) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return QVariant();
    return m_headers.at(section);
}

QHash<int, QByteArray> ModelStatistics::roleNames() const
{
    QHash<int, QByteArray> roles = QAbstractTableModel::roleNames();
    for (int i = 0; i < m_headers.size(); ++i)
        roles.insert(FirstColumnRole + i, m_headers.at(i).toUtf8());
    return roles;
}

QString ModelStatistics::cellText(int row, int column) const
{
    if (column == 0) {
        switch (row) {
        case MaximumRow: return tr("Максимум");
        case MeanRow: return tr("Среднее");
        case MinimumRow: return tr("Минимум");
        default: return QString();
        }
    }

    const QAbstractItemModel* source = m_query ? static_cast<const QAbstractItemModel*>(m_query.data())
                                               : m_source.data();
    if (!source)
        return QString::fromLatin1(noValueText);
    const ColumnStatistics& stats = statisticsOf(column);
    if (stats.mixesUnits())
        return mixedUnitsText(stats.units);
    if (!stats.hasValue)
        return QString::fromLatin1(noValueText);
    switch (row) {
    case MeanRow:
        return QString::number(stats.mean, 'f', 2);
    case MaximumRow:
        return source->data(source->index(stats.maxRow, column)).toString();
    case MinimumRow:
        return source->data(source->index(stats.minRow, column)).toString();
    default:
        return QString();
    }
}

namespace {

// The shared part of both walks: from the first row with a value to the end.
// NaN and infinity are no measurement: they neither count nor compare.
template<typename ValueAt>
ModelStatistics::ColumnStatistics accumulate(int firstRow, int rowCount, ValueAt valueAt)
{
    ModelStatistics::ColumnStatistics stats;
    float maximum = 0.0f;
    float minimum = 0.0f;
    double sum = 0.0;
    for (int row = firstRow; row < rowCount; ++row) {
        float value = 0.0f;
        if (!valueAt(row, value) || !std::isfinite(value))
            continue;
        if (stats.count == 0) {
            maximum = minimum = value;
            stats.maxRow = stats.minRow = row;
            stats.hasValue = true;
        } else if (value > maximum) {
            maximum = value;
            stats.maxRow = row;
        }
        if (value < minimum) {
            minimum = value;
            stats.minRow = row;
        }
        sum += value;
        ++stats.count;
    }
    stats.maximum = maximum;
    stats.minimum = minimum;
    stats.mean = stats.count > 0 ? sum / stats.count : 0.0;
    return stats;
}

QString queryText(const QSqlQueryModel* model, int row, int column)
{
    return model->data(model->index(row, column)).toString();
}

// One past the last row to walk: lastRow included, never beyond the model.
int endOfRange(int rowCount, int lastRow)
{
    return lastRow >= rowCount - 1 ? rowCount : std::max(lastRow + 1, 0);
}

float leadingNumber(const QString& text)
{
    const int space = text.indexOf(QLatin1Char(' '));
    return (space < 0 ? text : text.left(space)).toFloat();
}

} // namespace

ModelStatistics::ColumnStatistics ModelStatistics::columnStatistics(const QAbstractItemModel* model, int column,
                                                                    int valueRole, int fromRow, int toRow)
{
    if (!model || column < 0 || column >= model->columnCount())
        return {};
    const int rows = endOfRange(model->rowCount(), toRow);
    int firstRow = std::max(fromRow, 0);
    while (firstRow < rows && !model->data(model->index(firstRow, column)).isValid())
        ++firstRow;
    if (firstRow >= rows)
        return {};
    return accumulate(firstRow, rows, [&](int row, float& value) {
        const QVariant raw = model->data(model->index(row, column), valueRole);
        if (!raw.isValid())
            return false;
        value = raw.toFloat();
        return true;
    });
}

ModelStatistics::ColumnStatistics ModelStatistics::queryColumnStatistics(const QSqlQueryModel* model, int column,
                                                                         int fromRow, int toRow)
{
    if (!model || column < 0 || column >= model->columnCount())
        return {};
    const int rows = endOfRange(model->rowCount(), toRow);
    int firstRow = std::max(fromRow, 0);
    // A NULL cell is a time stamp at which this instrument has no value of
    // the column, like an empty one: the walk goes on.
    while (firstRow < rows && queryText(model, firstRow, column).isEmpty())
        ++firstRow;
    if (firstRow >= rows)
        return {};
    QStringList units;
    ColumnStatistics stats = accumulate(firstRow, rows, [&](int row, float& value) {
        const QString text = queryText(model, row, column);
        if (text.isEmpty())
            return false;
        value = leadingNumber(text);
        const int space = text.indexOf(QLatin1Char(' '));
        const QString unit = space < 0 ? QString() : text.mid(space + 1);
        if (!units.contains(unit))
            units << unit;
        return true;
    });
    stats.units = units;
    if (stats.mixesUnits())
        stats.hasValue = false;
    return stats;
}

QString ModelStatistics::mixedUnitsText(const QStringList& units)
{
    QStringList shown;
    for (const QString& unit : units)
        shown << (unit.isEmpty() ? QStringLiteral("без единиц") : unit);
    return QStringLiteral("разные единицы: ") + shown.join(QStringLiteral(", "));
}
