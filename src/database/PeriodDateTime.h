#pragma once

#include <QDateTime>
#include <QMetaType>

// The span of the stored time stamps. Like every instrument time it is held
// with the UTC time spec, so that its clock reading is the one stored; switch
// it to local time with the same reading where it meets QML. Both ends are
// invalid while nothing is stored (or before the filters were first loaded).
struct PeriodDateTime
{
    QDateTime maxDateTime;
    QDateTime minDateTime;

    bool isValid() const { return minDateTime.isValid() && maxDateTime.isValid(); }
};

Q_DECLARE_METATYPE(PeriodDateTime)
