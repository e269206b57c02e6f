#pragma once

class QSqlQueryModel;
class Reporter;
struct PrintSetting;

// The section "Соответствие пределам" of a log report: for every column the
// report's limits name, over the report's period, the limits, the verdict,
// time and events outside, the first reading outside and, for °C, the mean
// kinetic temperature. Nothing is added when no column has limits.
namespace LimitsSection {

void addToLogReport(Reporter& reporter, const PrintSetting& setting);
// The same for a database selection, whose limits are by field number.
void addToDataBaseReport(Reporter& reporter, const QSqlQueryModel* model, const PrintSetting& setting);

} // namespace LimitsSection
