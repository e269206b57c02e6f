#pragma once

#include <QByteArray>

// The settings area a new instrument leaves the factory with, laid out byte by
// byte from the instrument's memory map. The simulator keeps its own table here
// rather than borrowing the application's encoder, so that a fault in either
// side shows up as a disagreement between the two.
namespace SimSettingsTable {

constexpr int areaSize = 128;

// The whole 128-byte area for the given model: the settings block with its
// checksum, the unwritten rest erased (0xFF).
QByteArray factoryArea(bool secondModel);

} // namespace SimSettingsTable
