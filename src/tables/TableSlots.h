#pragma once

namespace quintara::tables {

// What each slot of the table set holds.
namespace TableSlot {
inline constexpr int InputModules = 0;
inline constexpr int DimmerOutputs = 1;
inline constexpr int Transparent = 2;
inline constexpr int TimedFunctions = 3;
inline constexpr int Fans = 4;
inline constexpr int IfElseFunctions = 5;
inline constexpr int Motors = 6;
inline constexpr int LocalMoods = 7;
inline constexpr int TimedLocalMoods = 8;
inline constexpr int GeneralMoods = 9;
inline constexpr int ProcessFunctions = 10;
inline constexpr int Unused = 11;
inline constexpr int Sensors = 12;
inline constexpr int KeyIndex = 13;
inline constexpr int LocalMoodIndex = 14;
inline constexpr int CentralOptions = 15;
inline constexpr int AudioZones = 16;
inline constexpr int Conditions = 17;
inline constexpr int ClockTable = 18;
inline constexpr int Messages = 19;
inline constexpr int OutputModules = 20;
} // namespace TableSlot

} // namespace quintara::tables
