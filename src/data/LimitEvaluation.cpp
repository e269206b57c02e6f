#include "data/LimitEvaluation.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Side { Inside, Above, Below };

Side sideOf(double value, const AlarmLimits& limits)
{
    if (value > limits.upper)
        return Side::Above;
    if (value < limits.lower)
        return Side::Below;
    return Side::Inside;
}

} // namespace

qint64 LimitEvaluator::medianInterval(const QVector<LimitReading>& readings)
{
    QVector<qint64> steps;
    steps.reserve(readings.size());
    for (int i = 1; i < readings.size(); ++i) {
        const qint64 step = readings.at(i).clock - readings.at(i - 1).clock;
        // A clock set back while logging gives no step of its own.
        if (step > 0)
            steps.append(step);
    }
    if (steps.isEmpty())
        return 0;
    auto middle = steps.begin() + steps.size() / 2;
    std::nth_element(steps.begin(), middle, steps.end());
    return *middle;
}

std::optional<double> LimitEvaluator::meanKineticTemperature(const QVector<double>& celsius)
{
    if (celsius.isEmpty())
        return std::nullopt;
    // Σ exp(−ΔH/(R·T)) is summed relative to its largest term, so that
    // cold values do not vanish below the smallest double.
    QVector<double> exponents;
    exponents.reserve(celsius.size());
    for (double value : celsius) {
        const double kelvin = value + 273.15;
        if (!(kelvin > 0.0) || !std::isfinite(kelvin))
            return std::nullopt;
        exponents.append(-activationOverGas / kelvin);
    }
    const double largest = *std::max_element(exponents.cbegin(), exponents.cend());
    double sum = 0.0;
    for (double exponent : exponents)
        sum += std::exp(exponent - largest);
    const double logMean = largest + std::log(sum / exponents.size());
    return activationOverGas / -logMean - 273.15;
}

LimitEvaluation LimitEvaluator::evaluate(const QVector<LimitReading>& readings,
                                         const std::optional<AlarmLimits>& limits, qint64 logPeriodSeconds,
                                         bool celsius)
{
    LimitEvaluation result;
    result.limits = limits && limits->isRange() ? limits : std::nullopt;
    result.readings = readings.size();

    QVector<LimitReading> withValues;
    withValues.reserve(readings.size());
    QVector<double> temperatures;
    Side previous = Side::Inside;
    for (int i = 0; i < readings.size(); ++i) {
        const LimitReading& reading = readings.at(i);
        if (!std::isfinite(reading.value)) {
            // No value is no verdict: it neither ends nor starts a run.
            ++result.withoutValue;
            continue;
        }
        withValues.append(reading);
        const LimitEvaluation::Moment here{i, reading.clock, reading.value};
        if (!result.maximum.isSet() || reading.value > result.maximum.value)
            result.maximum = here;
        if (!result.minimum.isSet() || reading.value < result.minimum.value)
            result.minimum = here;
        if (celsius)
            temperatures.append(reading.value);
        if (!result.limits)
            continue;
        const Side side = sideOf(reading.value, *result.limits);
        if (side == Side::Above) {
            ++result.countAbove;
            result.eventsAbove += previous != Side::Above;
        } else if (side == Side::Below) {
            ++result.countBelow;
            result.eventsBelow += previous != Side::Below;
        }
        if (side != Side::Inside && !result.firstOutside.isSet())
            result.firstOutside = here;
        previous = side;
    }
    result.values = withValues.size();
    result.intervalSeconds = logPeriodSeconds > 0 ? logPeriodSeconds : medianInterval(withValues);
    if (celsius)
        result.meanKineticTemperature = meanKineticTemperature(temperatures);
    return result;
}
