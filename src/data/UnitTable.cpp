#include "data/UnitTable.h"

#include <array>

namespace {

// Main-value units indexed by sensor code - 1 (codes 1..158).
constexpr std::array<quint8, 158> buildMainTable()
{
    std::array<quint8, 158> table{};
    for (auto& unit : table)
        unit = UnitTable::noUnit;
    for (int code : {1, 2, 16, 32, 48, 121, 145})
        table[code - 1] = 0;
    table[67 - 1] = 1;
    table[68 - 1] = 4;
    table[69 - 1] = 3;
    table[70 - 1] = 2;
    for (int code = 146; code <= 158; ++code)
        table[code - 1] = quint8(code - 145);
    return table;
}

constexpr std::array<quint8, 158> mainTable = buildMainTable();

} // namespace

QString UnitTable::text(int unitIndex)
{
    switch (unitIndex) {
    case 0: return QStringLiteral("%1C").arg(QChar(0x00B0));
    case 1: return QStringLiteral("%");
    case 2: return QStringLiteral("м/с");
    case 3: return QStringLiteral("Лк");
    case 4: return QStringLiteral("мм.рт.ст.");
    case 5: return QStringLiteral("гПа");
    case 6: return QStringLiteral("МПа");
    case 7: return QStringLiteral("ГПа");
    case 8: return QStringLiteral("м.вод.ст.");
    case 9: return QStringLiteral("А");
    case 10: return QStringLiteral("мА");
    case 11: return QStringLiteral("В");
    case 12: return QStringLiteral("кВт");
    case 13: return QStringLiteral("Гц");
    case 14: return QStringLiteral("Ом");
    default: return QString();
    }
}

quint8 UnitTable::mainUnit(quint8 sensorCode)
{
    if (sensorCode == 0 || sensorCode > mainTable.size())
        return noUnit;
    return mainTable[sensorCode - 1];
}

quint8 UnitTable::additionalUnit(quint8 sensorCode)
{
    switch (sensorCode) {
    case 1: case 2: case 67: case 68:
        return 0;
    case 121:
        return 14;
    default:
        return (sensorCode >= 144 && sensorCode <= 158) ? 10 : noUnit;
    }
}
