#pragma once

#include <array>

namespace quintara::clock {

// Raw levels 0..255 against percentages 0..100: entry p is floor(p * 255 / 100).
inline constexpr std::array<int, 101> LevelTable = [] {
    std::array<int, 101> table{};
    for (int p = 0; p <= 100; ++p)
        table[static_cast<std::size_t>(p)] = p * 255 / 100;
    return table;
}();

// Raw 3 is the "uncoupled" level of relays and dimmers; on the percentage side it is 105.
inline constexpr int UncoupledRaw = 3;
inline constexpr int UncoupledPercent = 105;

// The raw level of a percentage: table entry for 0..100, 255 for 101..104, uncoupled from 105 up.
constexpr int PercentToRaw(int percent)
{
    if (percent < 0)
        return 0;
    if (percent <= 100)
        return LevelTable[static_cast<std::size_t>(percent)];
    if (percent < UncoupledPercent)
        return 255;
    return UncoupledRaw;
}

// The first percentage whose raw level is `raw`; 105 for the uncoupled level, 0 for the rest.
constexpr int RawToPercent(int raw)
{
    for (int p = 0; p <= 100; ++p) {
        if (LevelTable[static_cast<std::size_t>(p)] == raw)
            return p;
    }
    return raw == UncoupledRaw ? UncoupledPercent : 0;
}

} // namespace quintara::clock
