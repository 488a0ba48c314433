#pragma once

#include "clock/Firings.h"
#include "clock/Occurrences.h"

#include <QDateTime>
#include <QLatin1StringView>
#include <QSet>

#include <optional>
#include <vector>

namespace quintara::clock {

struct ClockTable;

// What can be wrong with a line in use; the order is the order of a report.
enum class HealthKind : quint8 {
    BeyondModel,     // at or beyond MaxClockLines: kept in the file, never sent
    InvalidTime,     // hour above 23 or minute above 59
    InvalidDate,     // day, month and year name no real date
    InvalidTable,    // a day-table above 4
    InvalidRepeat,   // a unit above 7, or a count of 0 with a unit other than once
    Past,            // a once line before now: Transmit frees it, it never fires
    UnknownFunction, // not among the functions the editor lists for the project
    Conflict,        // fires with another line on the same function at another level
    HolidaysRunOut,  // the last planned holiday that moves from year to year is near or past
};

// The kind's name in machine forms ("beyondModel", "invalidTime", ...).
QLatin1StringView HealthKindName(HealthKind kind);

struct HealthProblem {
    HealthProblem() = default;
    HealthProblem(int line, HealthKind kind, int other = -1, Moment at = {})
        : line(line), kind(kind), other(other), at(at)
    {
    }

    int line = 0;
    HealthKind kind = HealthKind::BeyondModel;
    // Conflict: the higher line of the pair, and the first minute both fire. HolidaysRunOut:
    // the day of the last planned holiday.
    int other = -1;
    Moment at;

    friend bool operator==(const HealthProblem &, const HealthProblem &) = default;
};

// How far ahead of now conflicts are looked for.
inline constexpr int ConflictHorizonDays = 366;
// How long before the last planned moving holiday the holidays are to be planned again.
inline constexpr int ReplanHolidaysDays = 60;

// The problems of every line in use, ordered by line, then kind, then other line. A conflict is
// reported once, under the lower line. Lines beyond the model are checked for their bytes only,
// since they never reach the central unit. `listedFunctions` holds the function references
// (FunctionReference) the editor lists for the project; without a project nothing is unknown.
// Conflicts are found by arithmetic on the repetitions, so a full table of every-minute lines
// costs no more than a sparse one. The last once line that switches a holiday regime at the
// start of a day (not back to automatic, not to presence simulation) is reported from
// ReplanHolidaysDays before its day.
std::vector<HealthProblem> CheckHealth(const ClockTable &table, const QDateTime &now,
                                       const WorkdayFlagSet &workdays,
                                       const std::optional<QSet<int>> &listedFunctions = {});

// The first minute from `from` through `to` at which both lines fire.
std::optional<Moment> FirstCommonFiring(const LineFirings &a, const LineFirings &b,
                                        const Moment &from, const Moment &to);

} // namespace quintara::clock
