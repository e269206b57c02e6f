#pragma once

#include <QtGlobal>

// The instrument's command codes, shared by the application's command set and
// the instrument simulator.
namespace DeviceCommand {

enum Code : quint16 {
    CheckConnection = 150,
    GetDeviceInfo = 151,
    GetId = 152,
    SetId = 153,
    GetTime = 155,
    SetTime = 156,
    OpenFile = 157,
    CloseFile = 158,
    ReadRecord = 159,
    GetFileInfo = 160,
    EndWrite = 163,
    ReadMemory = 164,
    ClearMemory = 165,
    BeginWrite = 166,
    WriteMemory = 169,
    GetFileCount = 170,
};

// Commands whose answer starts with a status byte (0 = success): 150, 153, 156,
// 161, 162, 163, 165, 166, 167, 168 and 169 (bit n of the mask is code 150 + n).
constexpr bool isStatusCommand(quint16 command)
{
    return command >= 150 && command < 150 + 20 && ((0xFB849u >> (command - 150)) & 1u) != 0;
}

} // namespace DeviceCommand
