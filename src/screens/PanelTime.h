#pragma once

#include "report/ReportRows.h"

#include <QDateTime>
#include <QVariant>

// Log times are the instrument's clock readings, held as UTC date-times. The
// report panel's date and time fields are QML dates, which live in the
// computer's local time. These turn one into the other without losing a
// reading, also one that the local clock skips when daylight saving starts.
namespace PanelTime {

// A clock reading from a value QML hands over: a date (its local date and
// time as shown), a QDate, or a number, which is a time axis position.
// Anything else gives a null date-time.
QDateTime clockOf(const QVariant& value);

// For a calendar field: the reading's date, at local noon (a time every day has).
QDateTime dayField(const QDateTime& clock);

// For a time field, which only shows a time of day: a local date-time showing
// the reading's time. On a day whose local clock skips that time the day
// before carries it (such gaps never come on consecutive days).
QDateTime timeField(const QDateTime& clock);

// The clock reading a date field and a time field describe together.
QDateTime fromFields(const QVariant& dateField, const QVariant& timeField);

// The row a report period's limit falls on (kept here under its old name).
using ReportRows::rowAtOrAfter;

} // namespace PanelTime
