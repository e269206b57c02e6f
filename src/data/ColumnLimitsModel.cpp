#include "data/ColumnLimitsModel.h"

#include "data/LimitTexts.h"
#include "data/ModelLogRecord.h"

ColumnLimitsModel::ColumnLimitsModel(QObject* parent) : QAbstractListModel(parent) {}

void ColumnLimitsModel::showLog(const ModelLogRecord& model, QString* why)
{
    const ColumnLimitSet stored = LogLimits::forLog(model, why);
    QVector<Column> columns;
    for (int column = 1; column < model.columnCount(); ++column) {
        columns.append({column, model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                        model.headerData(column, Qt::Horizontal, ModelLogRecord::UnitRole).toString(),
                        stored.of(column)});
    }
    const ModelLogRecord* log = &model;
    setColumns(columns, stored.logPeriodSeconds,
               [log](int column) { return LogLimits::logColumnReadings(*log, column); });
}

void ColumnLimitsModel::setColumns(const QVector<Column>& columns, qint64 logPeriodSeconds, Readings readings)
{
    beginResetModel();
    m_rows.clear();
    m_logPeriodSeconds = logPeriodSeconds;
    m_readings = std::move(readings);
    for (const Column& column : columns) {
        Row row{column, column.limits.has_value(), {}};
        evaluate(row);
        m_rows.append(row);
    }
    endResetModel();
    emit limitsChanged();
}

void ColumnLimitsModel::evaluate(Row& row) const
{
    const QVector<LimitReading> readings = m_readings ? m_readings(row.column.column) : QVector<LimitReading>();
    row.evaluation = LimitEvaluator::evaluate(readings, row.enabled ? row.column.limits : std::nullopt,
                                              m_logPeriodSeconds, LogLimits::isCelsius(row.column.unit));
}

void ColumnLimitsModel::reevaluate()
{
    for (Row& row : m_rows)
        evaluate(row);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(m_rows.size() - 1));
    emit limitsChanged();
}

int ColumnLimitsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant ColumnLimitsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row& row = m_rows.at(index.row());
    const LimitEvaluation& e = row.evaluation;
    switch (role) {
    case Qt::DisplayRole:
    case NameRole: return row.column.name;
    case UnitRole: return row.column.unit;
    case ColumnRole: return row.column.column;
    case LimitedRole: return row.enabled;
    case LowerRole: return row.column.limits ? QString::number(row.column.limits->lower) : QString();
    case UpperRole: return row.column.limits ? QString::number(row.column.limits->upper) : QString();
    case VerdictRole: return e.isLimited() ? LimitTexts::verdict(e) : QString();
    case OutsideRole: return e.isLimited() && !e.isWithin();
    case FiguresRole: {
        QStringList lines;
        for (const auto& figure : LimitTexts::rows(e, row.column.unit)) {
            // The limits and the verdict have fields of their own in the panel.
            if (figure.first != QStringLiteral("Пределы") && figure.first != QStringLiteral("Оценка"))
                lines << QStringLiteral("%1: %2").arg(figure.first, figure.second);
        }
        return lines;
    }
    default: return QVariant();
    }
}

QHash<int, QByteArray> ColumnLimitsModel::roleNames() const
{
    return {{NameRole, "name"},         {UnitRole, "unit"},       {ColumnRole, "column"},
            {LimitedRole, "limited"},   {LowerRole, "lower"},     {UpperRole, "upper"},
            {VerdictRole, "verdict"},   {OutsideRole, "outside"}, {FiguresRole, "figures"}};
}

QString ColumnLimitsModel::applyLimits(int row, const QString& lower, const QString& upper, bool enabled)
{
    if (row < 0 || row >= m_rows.size())
        return QStringLiteral("Нет такого столбца");
    Row& target = m_rows[row];
    if (enabled) {
        QString why;
        const std::optional<AlarmLimits> limits = AlarmLimitRules::fromFields(lower, upper, &why);
        if (!limits) {
            // The fields show the limits that still apply.
            emit dataChanged(index(row), index(row));
            return why;
        }
        target.column.limits = limits;
    }
    target.enabled = enabled && target.column.limits.has_value();
    target.column.chosenByUser = true;
    evaluate(target);
    emit dataChanged(index(row), index(row));
    emit limitsChanged();
    return QString();
}

QVariantList ColumnLimitsModel::tableLimits() const
{
    QVariantList list;
    for (const Row& row : m_rows) {
        while (list.size() <= row.column.column)
            list.append(QVariant());
        if (row.enabled && row.column.limits)
            list[row.column.column] = QVariantMap{{QStringLiteral("lower"), row.column.limits->lower},
                                                  {QStringLiteral("upper"), row.column.limits->upper},
                                                  {QStringLiteral("unit"), row.column.unit}};
    }
    return list;
}

QVariantMap ColumnLimitsModel::limitsOfColumn(int column) const
{
    const QVariantList list = tableLimits();
    return column >= 0 && column < list.size() ? list.at(column).toMap() : QVariantMap();
}

QVariantMap ColumnLimitsModel::limitsOf(const QVariant& key) const
{
    if (key.userType() != QMetaType::QString)
        return limitsOfColumn(key.toInt());
    for (const Row& row : m_rows)
        if (row.column.name == key.toString())
            return limitsOfColumn(row.column.column);
    return {};
}

std::optional<std::optional<AlarmLimits>> ColumnLimitsModel::userChoice(const QString& name) const
{
    for (const Row& row : m_rows)
        if (row.column.name == name && row.column.chosenByUser)
            return row.enabled ? row.column.limits : std::nullopt;
    return std::nullopt;
}

ColumnLimitSet ColumnLimitsModel::limitSet() const
{
    ColumnLimitSet set;
    set.logPeriodSeconds = m_logPeriodSeconds;
    for (const Row& row : m_rows)
        if (row.enabled && row.column.limits)
            set.byColumn.insert(row.column.column, *row.column.limits);
    return set;
}

const LimitEvaluation* ColumnLimitsModel::evaluationOf(int column) const
{
    for (const Row& row : m_rows)
        if (row.column.column == column)
            return &row.evaluation;
    return nullptr;
}
