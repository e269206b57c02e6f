#pragma once

#include <QImage>
#include <QList>
#include <QSize>

#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
class QSqlQueryModel;
QT_END_NAMESPACE

namespace QtCharts {
class QChart;
}

struct PrintSetting;

// Charts of a report: built from the same rows as the report's tables, then
// rendered into pictures of a fixed size that the document takes as they are.
namespace ReportCharts {

const QSize pictureSize(850, 500);

using ChartList = std::vector<std::unique_ptr<QtCharts::QChart>>;

// Log-file report: one common chart "Общий график" or one chart per chosen
// series name, in the order of the names; none when charts are off.
ChartList buildLogCharts(const PrintSetting& setting);
// Database report: the fields whose names mark a measured quantity, in field
// order, on one common chart or on one chart each; none when charts are off.
ChartList buildDataBaseCharts(const QSqlQueryModel* model, const PrintSetting& setting);

// Lays the chart out at pictureSize and paints it into a new picture. The
// chart is destroyed; only the picture is left.
QImage renderChart(std::unique_ptr<QtCharts::QChart> chart);

QList<QImage> makeLogCharts(const PrintSetting& setting);
QList<QImage> makeDataBaseCharts(const QSqlQueryModel* model, const PrintSetting& setting);

} // namespace ReportCharts
