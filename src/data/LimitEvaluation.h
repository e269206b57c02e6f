#pragma once

#include "data/AlarmLimits.h"

#include <QVector>

#include <optional>

// One reading of a column: the instrument's clock reading (seconds since 1970
// of its own wall clock) and the value, NaN for a row without a value.
struct LimitReading
{
    qint64 clock = 0;
    double value = 0.0;

    // Two rows without a value are the same reading too.
    bool operator==(const LimitReading& other) const
    {
        return clock == other.clock && (value == other.value || (value != value && other.value != other.value));
    }
};

// Were the readings of one column within limits, and for how long not.
// Durations are readings outside × the logging interval: the instrument's
// period when it is known, otherwise the median step between consecutive
// readings. Both come from the instrument's clock readings, so a change to or
// from daylight saving never stretches or shrinks them.
struct LimitEvaluation
{
    // Where in the readings something happened, and what.
    struct Moment
    {
        int index = -1;
        qint64 clock = 0;
        double value = 0.0;
        bool isSet() const { return index >= 0; }
    };

    std::optional<AlarmLimits> limits;
    int readings = 0;       // rows given, with or without a value
    int values = 0;         // rows with a value
    int withoutValue = 0;   // rows without: never inside, never outside
    qint64 intervalSeconds = 0;
    int countAbove = 0;
    int countBelow = 0;
    int eventsAbove = 0;    // runs of consecutive readings above
    int eventsBelow = 0;
    Moment firstOutside;
    Moment maximum;         // the first of equal maxima
    Moment minimum;
    std::optional<double> meanKineticTemperature; // for a °C column with values

    qint64 secondsAbove() const { return countAbove * intervalSeconds; }
    qint64 secondsBelow() const { return countBelow * intervalSeconds; }
    bool isLimited() const { return limits.has_value(); }
    bool isWithin() const { return countAbove == 0 && countBelow == 0; }
};

namespace LimitEvaluator {

// ΔH/R of the mean kinetic temperature: 83.14472 kJ/mol ÷ 8.314472 J/(mol·K).
constexpr double activationOverGas = 10000.0;

// Evaluates the readings in their order. `logPeriodSeconds` 0 means unknown.
// `celsius` asks for the mean kinetic temperature.
LimitEvaluation evaluate(const QVector<LimitReading>& readings, const std::optional<AlarmLimits>& limits,
                         qint64 logPeriodSeconds, bool celsius);

// Mean kinetic temperature in °C of temperatures in °C; none for no values or
// for a value at or below absolute zero (a sensor fault, not a temperature).
std::optional<double> meanKineticTemperature(const QVector<double>& celsius);

// The median of the positive steps between consecutive clock readings; 0
// when there is none (a single reading).
qint64 medianInterval(const QVector<LimitReading>& readings);

} // namespace LimitEvaluator
