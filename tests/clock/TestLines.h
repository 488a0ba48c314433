#pragma once

#include "clock/ClockTable.h"

namespace quintara::clock::testing {

// A line in use driving function 1:number at a level, from a date and time, in a table, repeated.
inline ClockLine Line(QDate date, int hour, int minute, int table, int unit, int count,
                      int level = 255, int functionNumber = 1)
{
    ClockLine line;
    SetReferenceDate(line, date);
    line.Hour = quint8(hour);
    line.Minute = quint8(minute);
    line.Table = quint8(table);
    line.RepeatUnit = quint8(unit);
    line.RepeatCount = quint8(count);
    line.FunctionType = 1;
    line.FunctionNumber = quint8(functionNumber);
    line.Level = quint8(level);
    return line;
}

} // namespace quintara::clock::testing
