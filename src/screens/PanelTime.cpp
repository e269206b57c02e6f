#include "screens/PanelTime.h"

#include "report/ChartRoutines.h"

#include <QJSValue>

namespace PanelTime {

namespace {

// The local date and time a QML value shows, whatever form it arrives in.
QDateTime shownDateTime(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QJSValue>()) {
        const QJSValue js = value.value<QJSValue>();
        if (js.isNumber())
            return ChartRoutines::clockFromAxisValue(js.toNumber());
        return js.toDateTime().toLocalTime();
    }
    switch (value.userType()) {
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0), Qt::UTC);
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        return dateTime.timeSpec() == Qt::UTC ? dateTime : dateTime.toLocalTime();
    }
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return ChartRoutines::clockFromAxisValue(value.toDouble());
    default:
        return QDateTime();
    }
}

} // namespace

QDateTime clockOf(const QVariant& value)
{
    const QDateTime shown = shownDateTime(value);
    if (!shown.isValid())
        return QDateTime();
    return QDateTime(shown.date(), shown.time(), Qt::UTC);
}

QDateTime dayField(const QDateTime& clock)
{
    if (!clock.isValid())
        return QDateTime();
    return QDateTime(clock.date(), QTime(12, 0), Qt::LocalTime);
}

QDateTime timeField(const QDateTime& clock)
{
    if (!clock.isValid())
        return QDateTime();
    const QDateTime sameDay(clock.date(), clock.time(), Qt::LocalTime);
    if (sameDay.isValid())
        return sameDay;
    return QDateTime(clock.date().addDays(-1), clock.time(), Qt::LocalTime);
}

QDateTime fromFields(const QVariant& dateField, const QVariant& timeField)
{
    const QDateTime date = clockOf(dateField);
    const QDateTime time = clockOf(timeField);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date.date(), time.time(), Qt::UTC);
}

} // namespace PanelTime
