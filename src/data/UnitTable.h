#pragma once

#include <QString>

// Units travel as an index 0..15; 15 (and anything above 14) means "no unit".
// The instrument's sensor code selects the unit of a channel's main value and
// of its additional measurement through two fixed tables.
class UnitTable
{
public:
    static constexpr quint8 noUnit = 15;

    // Text of a unit index; empty for "no unit".
    static QString text(int unitIndex);

    // Unit index of the main value measured by a sensor code.
    static quint8 mainUnit(quint8 sensorCode);

    // Unit index of the additional measurement of a sensor code.
    static quint8 additionalUnit(quint8 sensorCode);
};
