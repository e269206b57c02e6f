// The database screen's Пределы panel: limits of the selection's channels,
// from the settings of the logs the values came from or typed by the user,
// evaluated over the rows the filters and the period selected.
#include "screens/DataBaseWindow.h"

#include "data/ColumnLimitsModel.h"
#include "data/LogLimits.h"
#include "database/LogSources.h"
#include "database/SourceLimits.h"

#include <QSqlQueryModel>
#include <QSqlRecord>

void DataBaseWindow::showLimits()
{
    const QSqlRecord fields = m_model->record();
    const int dateColumn = fields.indexOf(QStringLiteral("Дата"));
    QVector<ColumnLimitsModel::Column> columns;
    for (const QString& name : statisticsColumns()) {
        const int column = fields.indexOf(name);
        // A channel's unit is that of its first value; values in another unit
        // are not measured against the same limits.
        QString unit;
        for (int row = 0; row < m_model->rowCount() && unit.isEmpty(); ++row)
            unit = LogLimits::unitOfText(m_model->index(row, column).data().toString());
        // What the user chose stays over a new selection of the same channel;
        // otherwise the limits the instruments were set to, where they agree.
        const std::optional<std::optional<AlarmLimits>> chosen = m_limits->userChoice(name);
        columns.append({column, name, unit,
                        chosen ? *chosen : SourceLimits::common(LogSources::of(m_model), name, unit),
                        chosen.has_value()});
    }
    m_limits->setColumns(columns, 0, [this, dateColumn, columns](int column) {
        // While the selection is refilled in the database thread nothing here reads it.
        if (!m_tableShown)
            return QVector<LimitReading>();
        QString unit;
        for (const ColumnLimitsModel::Column& c : columns)
            if (c.column == column)
                unit = c.unit;
        return LogLimits::textColumnReadings(m_model, dateColumn, column, unit);
    });
    setObjectProperty(QStringLiteral("LimitsPanelDB"), "limitsModel", QVariant::fromValue<QObject*>(m_limits));
}
