#pragma once

#include "data/LimitEvaluation.h"

#include <QPair>
#include <QString>
#include <QVector>

// How an evaluation against alarm limits reads, the same on the screens, in
// reports and on the command line. Values are written as the log table
// writes them: two decimals, a space, the unit.
namespace LimitTexts {

QString verdict(const LimitEvaluation& evaluation);           // "в пределах" / "выход за пределы"
QString valueText(double value, const QString& unit);
QString limitsText(const AlarmLimits& limits, const QString& unit); // "2.00 .. 8.00 °C"
// "02:05:00", with days in front from a day on: "3 сут 02:05:00".
QString durationText(qint64 seconds);
QString clockText(qint64 clock);

// Label and text of every figure of a column: for a limited column the
// limits, verdict, durations, events, first reading outside; for every
// column the times of the maximum and minimum and, for °C, the mean kinetic
// temperature.
QVector<QPair<QString, QString>> rows(const LimitEvaluation& evaluation, const QString& unit);

} // namespace LimitTexts
