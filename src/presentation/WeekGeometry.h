#pragma once

namespace quintara::ui {

// The week view's logical canvas: the day rows 70 apart from y = 40 (Monday) down, the hours 20
// apart from x = 20 (midnight) across, so one minute is a third of a unit.
namespace WeekCanvas {
inline constexpr int FirstRowY = 40;
inline constexpr int RowPitch = 70;
} // namespace WeekCanvas

// Where an occurrence at this time of day is drawn; keeps its fraction.
constexpr double OccurrenceX(int hour, int minute)
{
    return 20.0 + 20.0 * hour + minute / 3.0;
}

constexpr int OccurrenceY(int weekdayRow)
{
    return WeekCanvas::FirstRowY + WeekCanvas::RowPitch * weekdayRow;
}

// OccurrenceX on the whole unit a marker stands on, counted in thirds so that no floating-point
// rounding enters: a third never makes a half, so the nearest whole is always clear.
constexpr int MarkerX(int hour, int minute)
{
    const int thirds = 60 + 60 * hour + minute;
    return thirds / 3 + (thirds % 3 == 2 ? 1 : 0);
}

} // namespace quintara::ui
