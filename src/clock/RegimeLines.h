#pragma once

#include "clock/ClockLine.h"

#include <QDate>

namespace quintara::clock {

// The clock functions (function type 14): the function number is the regime switched to.
namespace Regime {
inline constexpr int Automatic = 0; // Automatic Workday/Weekend
inline constexpr int Workday = 1;
inline constexpr int Weekendday = 2;
inline constexpr int PresenceSimulation = 3;
inline constexpr int None = 4;
inline constexpr int CustomTable = 5; // custom clock table on/off
inline constexpr int Count = 6;
} // namespace Regime

// The level a regime line carries: switching the regime on.
inline constexpr quint8 RegimeLevel = 255;

// A regime line as the holiday planner writes it: in the continuous table at the start of a
// day (00:00, or 00:01 where it corrects a yearly line of the same day), once or every 12 months.
ClockLine DayStartRegimeLine(QDate date, int regime, bool yearly, bool afterYearlyLine = false);

// Whether the line has the shape of a planned regime line, whatever its regime.
bool IsDayStartRegimeLine(const ClockLine &line);

} // namespace quintara::clock
