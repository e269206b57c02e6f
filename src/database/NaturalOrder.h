#pragma once

#include <QString>

// Channel names in the order a technician expects: by the first number in the
// name ("Канал №2" before "Канал №10"); names with equal numbers, or none,
// shorter first.
bool naturalLessThan(const QString& a, const QString& b);
