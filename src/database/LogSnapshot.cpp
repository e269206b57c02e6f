#include "database/LogSnapshot.h"

#include "data/ModelLogRecord.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QHash>

LogSnapshot LogSnapshot::fromModel(const QAbstractItemModel* model, int measurementRole, int valueRole, int unitRole)
{
    LogSnapshot snapshot;
    if (!model)
        return snapshot;
    if (const auto* log = qobject_cast<const ModelLogRecord*>(model); log && !log->fileName().isEmpty()) {
        snapshot.source.fileName = log->fileName();
        snapshot.source.sha256 = log->fileSha256();
        snapshot.source.record = log->downloadRecord();
        snapshot.source.check = DownloadRecord::checkText(log->downloadCheck());
    }

    QVector<int> valueColumns;
    int timeColumn = -1;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->headerData(column, Qt::Horizontal, measurementRole).toBool()) {
            valueColumns << column;
            snapshot.channels << model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        } else if (timeColumn < 0) {
            timeColumn = column;
        }
    }

    QHash<QString, int> unitIndex;
    const int rows = model->rowCount();
    snapshot.seconds.reserve(rows);
    snapshot.cells.reserve(rows * valueColumns.size());
    for (int row = 0; row < rows; ++row) {
        const QDateTime time = timeColumn < 0 ? QDateTime()
                                              : model->index(row, timeColumn).data(valueRole).toDateTime();
        snapshot.seconds << (time.isValid() ? time.toSecsSinceEpoch() : noTime);
        for (int column : qAsConst(valueColumns)) {
            const QModelIndex index = model->index(row, column);
            Cell cell;
            // A cell without display text has no value at this time stamp.
            if (index.data(Qt::DisplayRole).isValid()) {
                cell.value = index.data(valueRole).toFloat();
                const QString unit = index.data(unitRole).toString();
                auto found = unitIndex.constFind(unit);
                if (found == unitIndex.constEnd()) {
                    found = unitIndex.insert(unit, snapshot.units.size());
                    snapshot.units << unit;
                }
                cell.unit = found.value();
            }
            snapshot.cells << cell;
        }
    }
    return snapshot;
}
