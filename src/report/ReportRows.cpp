#include "report/ReportRows.h"

#include "data/ModelLogRecord.h"

int ReportRows::logRowAtOrAfter(const QAbstractItemModel* model, const QDateTime& time)
{
    return rowAtOrAfter(model ? model->rowCount() : 0, time, [model](int row) {
        return model->index(row, 0).data(ModelLogRecord::ValueRole).toDateTime();
    });
}
