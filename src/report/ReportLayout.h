#pragma once

#include <QMultiHash>
#include <QString>
#include <QVariant>

QT_BEGIN_NAMESPACE
class QSqlQueryModel;
QT_END_NAMESPACE

class Reporter;
struct PrintSetting;

// The two report layouts: a log file shown on the data screen and a selection
// of the database screen. Both cover the rows firstRow..lastRow of the setting,
// the last one included, in their statistics as in their record tables.
// Failures are thrown as the QString the user is shown.
namespace ReportLayout {

// A full report prints at most this many rows past its first one.
constexpr int maxRowSpan = 2000;

// Throws "Слишком много данных для печати" (with the limit, the rows asked
// for and the way out) for a span above the limit and "Отсутсвуют данных для
// печати" for a period that ends before it begins. Short reports are never limited.
void checkRowLimit(const PrintSetting& setting);

// Throws "Отсутсвуют данных для печати" with the reason when the period
// holds no row of the model's `rows`: no report, short or full, of nothing.
void checkPeriodHasRows(const PrintSetting& setting, int rows);

// Both checks, in the order a report meets them; for callers that want to
// refuse a request before asking the user anything (a file name, a printer).
void checkPrintable(const PrintSetting& setting, int rows);

// Title, period, one statistics table per measurement column and, for a full
// report, the records. The row limit is checked by the caller beforehand.
void composeLogReport(Reporter& reporter, const PrintSetting& setting);

// Title with the filters, period, statistics of the chosen channels and, for a
// full report, the row limit check followed by the records.
void composeDataBaseReport(Reporter& reporter, const QSqlQueryModel* model, const PrintSetting& setting,
                           const QMultiHash<QString, QVariant>& dbRequestParameters);

} // namespace ReportLayout
