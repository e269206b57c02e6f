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

// The data field of a good answer is between `min` and `max` bytes long.
struct AnswerLength
{
    int min;
    int max;
    constexpr bool fits(int size) const { return size >= min && size <= max; }
};

// What each command's answer carries: a status byte, the 4-byte ID or clock,
// the 7-byte file header, one 24-byte record, the 12-byte file info, a 32-byte
// memory piece, the 2-byte file count, or a text. An answer of any other length
// is not the answer asked for. Commands without a fixed answer take any length.
constexpr AnswerLength answerLength(quint16 command)
{
    if (isStatusCommand(command))
        return {1, 1};
    switch (command) {
    case GetDeviceInfo:
        return {1, 34};
    case GetId:
    case GetTime:
        return {4, 4};
    case OpenFile:
        return {7, 7};
    case ReadRecord:
        return {24, 24};
    case GetFileInfo:
        return {12, 12};
    case ReadMemory:
        return {32, 32};
    case GetFileCount:
        return {2, 2};
    default:
        return {0, 34};
    }
}

} // namespace DeviceCommand
