#include "SimSettingsTable.h"

#include <QtEndian>
#include <cstring>

namespace {

enum class Kind { Byte, FloatLE };

struct Cell
{
    int offset;
    Kind kind;
    double value;
};

// Common to both models. Offsets are those of the instrument's memory map;
// limits are upper limits first, then lower limits, each in the order
// temperature, humidity, air flow, pressure, light.
const Cell commonCells[] = {
    {0, Kind::Byte, 80},     // display brightness, %
    {1, Kind::Byte, 60},     // display sleeps after, s
    {2, Kind::Byte, 10},     // switches off after, min
    {3, Kind::Byte, 0},      // logging period: hours
    {4, Kind::Byte, 1},      //                 minutes
    {5, Kind::Byte, 0},      //                 seconds
    {6, Kind::Byte, 2},      // graph line thickness
    {7, Kind::Byte, 0},      // rechargeable cell
    {8, Kind::Byte, 2},      // graph update period, s
    {9, Kind::Byte, 0x01},   // sound on, key sound off
    // channel 1
    {10, Kind::FloatLE, 40}, {14, Kind::FloatLE, 80}, {18, Kind::FloatLE, 20},
    {22, Kind::FloatLE, 790}, {26, Kind::FloatLE, 20000},
    {30, Kind::FloatLE, 0}, {34, Kind::FloatLE, 20}, {38, Kind::FloatLE, 0},
    {42, Kind::FloatLE, 720}, {46, Kind::FloatLE, 0},
    {50, Kind::Byte, 1},     // channel 1 alarm on
    // channel 2: air flow, pressure, light
    {59, Kind::FloatLE, 20}, {63, Kind::FloatLE, 790}, {67, Kind::FloatLE, 20000},
    {79, Kind::FloatLE, 0}, {83, Kind::FloatLE, 720}, {87, Kind::FloatLE, 0},
    {91, Kind::Byte, 0},     // channel 2 alarm off
    {92, Kind::Byte, 1},     // channel 1 decimal places
    {93, Kind::Byte, 2},     // channel 2 decimal places
};

// Channel 2's temperature and humidity limits differ per model: on the
// ZR-7.49 they belong to the resistive and the current sensor.
const Cell firstModelCells[] = {
    {51, Kind::FloatLE, 40}, {55, Kind::FloatLE, 80},     // upper: temperature, humidity
    {71, Kind::FloatLE, 0}, {75, Kind::FloatLE, 20},      // lower
};

const Cell secondModelCells[] = {
    {51, Kind::FloatLE, 150}, {71, Kind::FloatLE, -50},   // resistive sensor, °C
    {55, Kind::FloatLE, 90}, {75, Kind::FloatLE, 10},     // current sensor
    {94, Kind::Byte, 2},         // sensor type 0.00385
    {95, Kind::Byte, 1},         // 100 Ohm at 0 °C
    {96, Kind::FloatLE, 100},    // reading at 20 mA
    {100, Kind::FloatLE, 0},     // reading at 4 mA
    {104, Kind::Byte, 1},        // unit °C
};

constexpr int firstModelChecksumAt = 94;
constexpr int secondModelChecksumAt = 105;

template <size_t N>
void put(QByteArray& area, const Cell (&cells)[N])
{
    for (const Cell& cell : cells) {
        if (cell.kind == Kind::Byte) {
            area[cell.offset] = char(quint8(cell.value));
            continue;
        }
        const float value = float(cell.value);
        quint32 raw;
        std::memcpy(&raw, &value, sizeof raw);
        qToLittleEndian<quint32>(raw, area.data() + cell.offset);
    }
}

} // namespace

QByteArray SimSettingsTable::factoryArea(bool secondModel)
{
    QByteArray area(areaSize, char(0xFF));
    put(area, commonCells);
    if (secondModel) {
        put(area, secondModelCells);
    } else {
        put(area, firstModelCells);
    }
    const int checksumAt = secondModel ? secondModelChecksumAt : firstModelChecksumAt;
    quint32 sum = 0;
    for (int i = 0; i < checksumAt; ++i)
        sum += quint8(area.at(i));
    qToLittleEndian<quint32>(sum, area.data() + checksumAt);
    return area;
}
