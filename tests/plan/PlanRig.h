#pragma once

#include "clock/ClockTable.h"
#include "plan/LineBudget.h"

#include <QDateTime>

#include <array>

namespace quintara::plan::test {

// A Tuesday morning: the planners' "now".
inline const QDateTime Now(QDate(2026, 12, 8), QTime(10, 0));
inline constexpr clock::WorkdayFlagSet MondayToFriday{1, 1, 1, 1, 1, 0, 0};

inline clock::ClockTable EmptyTable(int lines = 100)
{
    clock::ClockTable table;
    table.MaxClockLines = qint16(lines);
    return table;
}

// A budget as one comparable value: usable, used, free, needed.
inline std::array<int, 4> Counts(const LineBudget &budget)
{
    return {budget.usable, budget.used, budget.free, budget.needed};
}

} // namespace quintara::plan::test
