#pragma once

#include "data/LimitEvaluation.h"
#include "data/LogLimits.h"

#include <QAbstractListModel>
#include <QStringList>
#include <QVariantList>

#include <functional>

// The "Пределы" panel of a screen: one row per measured column with its
// limits (from the log's download record, or typed by the user), whether
// they apply, and the figures of the evaluation over what the screen shows.
// A change here never reaches the .LOG file, its record or the instrument.
class ModelLogRecord;

class ColumnLimitsModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY limitsChanged)

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        UnitRole,
        ColumnRole,
        LimitedRole,   // limits apply
        LowerRole,     // limit texts, also of limits switched off; empty without any
        UpperRole,
        VerdictRole,   // empty for a column without limits
        OutsideRole,
        FiguresRole    // "label: text" lines of the evaluation
    };

    struct Column
    {
        int column = 0;  // column of the screen's table
        QString name;
        QString unit;
        std::optional<AlarmLimits> limits;
        bool chosenByUser = false; // typed or switched by the user, not taken from settings
    };
    // Readings of a table column, in the order the screen shows them.
    using Readings = std::function<QVector<LimitReading>(int column)>;

    explicit ColumnLimitsModel(QObject* parent = nullptr);

    // Shows the log of the log table with the limits of its download record.
    // `why` says why a record that is there could not be read.
    void showLog(const ModelLogRecord& model, QString* why = nullptr);

    // A newly shown table: its columns with their stored limits.
    void setColumns(const QVector<Column>& columns, qint64 logPeriodSeconds, Readings readings);
    // The readings changed (another period or filter): evaluate again.
    void reevaluate();

    int count() const { return m_rows.size(); }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The user's limits of a row; an empty answer means they were taken,
    // otherwise it says why not and the previous limits stay.
    Q_INVOKABLE QString applyLimits(int row, const QString& lower, const QString& upper, bool enabled);
    // For the table's colours and the chart's lines: a list indexed by table
    // column, each entry {lower, upper, unit} or null.
    Q_INVOKABLE QVariantList tableLimits() const;
    Q_INVOKABLE QVariantMap limitsOfColumn(int column) const;
    // For a chart line: its key is a table column or a column's name.
    Q_INVOKABLE QVariantMap limitsOf(const QVariant& key) const;

    // What the user chose for the column of that name, to keep it across a
    // new selection: the limits that apply (none when switched off). Nothing
    // when the user has not changed that column's limits.
    std::optional<std::optional<AlarmLimits>> userChoice(const QString& name) const;

    // The limits that apply, for reports and exports.
    ColumnLimitSet limitSet() const;
    const LimitEvaluation* evaluationOf(int column) const;

signals:
    void limitsChanged();

private:
    struct Row
    {
        Column column;
        bool enabled = false;
        LimitEvaluation evaluation;
    };
    void evaluate(Row& row) const;

    QVector<Row> m_rows;
    qint64 m_logPeriodSeconds = 0;
    Readings m_readings;
};
