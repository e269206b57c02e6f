#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// A lower and an upper alarm limit of one measured column. A value above the
// upper limit or below the lower one is outside; the limits themselves are
// inside. Only a range with finite lower < upper is a limit pair at all.
struct AlarmLimits
{
    double lower = 0.0;
    double upper = 0.0;

    bool isRange() const;
    bool operator==(const AlarmLimits& other) const { return lower == other.lower && upper == other.upper; }
};

namespace AlarmLimitRules {

// The key of the instrument's alarm quantity that a unit text is limited by
// ("temperature", "humidity", "airFlow", "pressure", "light"), or empty for a
// unit the instrument has no alarm for.
QString quantityOfUnit(const QString& unitText);

// The limits of a log column taken from the instrument settings of its
// download record (the "settings" object). `column` is the log table column
// (1, 2 channel 1; 3, 4 channel 2); `secondModel` is true for a ZR-7.49,
// whose channel 2 keeps the resistive sensor's limits under "temperature"
// and the current sensor's under "humidity". No limits when the channel's
// alarm switch was off, the unit has no alarm quantity, or the stored pair is
// not a range.
std::optional<AlarmLimits> fromSettings(const QJsonObject& settings, int column, const QString& unitText,
                                        bool secondModel);

// The logging period the settings name, in seconds; 0 when unknown.
qint64 logPeriodSeconds(const QJsonObject& settings);

// One limit typed by a user: a decimal number with "." or "," as separator.
// Returns nothing for text, NaN or infinity.
std::optional<double> parseNumber(const QString& text);

// "LOWER..UPPER" (e.g. "2..8", "-5,5..0,5"). On refusal `why` says why in
// Russian and nothing is returned.
std::optional<AlarmLimits> parseRange(const QString& text, QString* why);

// Checks a lower and an upper limit typed into two fields; the message names
// what is wrong.
std::optional<AlarmLimits> fromFields(const QString& lowerText, const QString& upperText, QString* why);

} // namespace AlarmLimitRules
