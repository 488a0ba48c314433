#pragma once

#include "settings/TextIds.h"

#include <QtGlobal>

#include <array>

namespace quintara::clock {

// The day-table a clock line belongs to (byte 5 of a line).
enum TableKind : quint8 {
    Continue = 0,
    Workday = 1,
    Weekend = 2,
    Simulation = 3,
    Special = 4,
};
inline constexpr int TableKindCount = 5;
// The string ids of the day-tables' names, in kind order (the ids do not follow the kinds).
inline constexpr int TableKindNameIds[TableKindCount] = {
    settings::TextId::TableName::Continue, settings::TextId::TableName::Workday,
    settings::TextId::TableName::Weekend, settings::TextId::TableName::Simulation,
    settings::TextId::TableName::Special};

// How a clock line repeats (byte 6 of a line).
enum RepeatUnit : quint8 {
    Once = 0,
    Minutes = 1,
    Hours = 2,
    Days = 3,
    Weeks = 4,
    Months = 5,
    Workdays = 6,
    WeekendDays = 7,
};
inline constexpr int RepeatUnitCount = 8;

// One clock line: thirteen unsigned bytes whose order is also the order on disk. Any byte value
// is possible (files and the central unit are foreign input), so nothing here assumes ranges.
struct ClockLine {
    static constexpr int Size = 13;
    using Bytes = std::array<quint8, Size>;

    quint8 Minute = 0;
    quint8 Hour = 0;
    quint8 Day = 0;
    quint8 Month = 0;
    quint8 Year = 0; // modulo 100
    quint8 Table = 0;
    quint8 RepeatUnit = 0;
    quint8 RepeatCount = 0;
    quint8 FunctionType = 0; // 0 = the line is free
    quint8 FunctionNumber = 0;
    quint8 Level = 0;
    quint8 NextLine = 0;  // chain link, written by the central-unit conversion only
    quint8 FirstLine = 0; // chain head of table kind <line index>, lines 0..4 only

    bool inUse() const { return FunctionType != 0; }

    Bytes toBytes() const
    {
        return {Minute, Hour,       Day,         Month,        Year,
                Table,  RepeatUnit, RepeatCount, FunctionType, FunctionNumber,
                Level,  NextLine,   FirstLine};
    }

    static ClockLine fromBytes(const Bytes &b)
    {
        ClockLine line;
        line.Minute = b[0];
        line.Hour = b[1];
        line.Day = b[2];
        line.Month = b[3];
        line.Year = b[4];
        line.Table = b[5];
        line.RepeatUnit = b[6];
        line.RepeatCount = b[7];
        line.FunctionType = b[8];
        line.FunctionNumber = b[9];
        line.Level = b[10];
        line.NextLine = b[11];
        line.FirstLine = b[12];
        return line;
    }

    friend bool operator==(const ClockLine &, const ClockLine &) = default;
};

// Item data of a function reference in the lists: type in the high byte, number in the low one.
constexpr int FunctionReference(int type, int number)
{
    return type * 256 + number;
}

} // namespace quintara::clock
