#pragma once

#include "clock/ClockLine.h"
#include "clock/LinePlacement.h"
#include "clock/RegimeLines.h"
#include "plan/Holidays.h"
#include "plan/IcsCalendar.h"
#include "plan/LineBudget.h"
#include "platform/Outcome.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace quintara::clock {
struct ClockTable;
}
namespace quintara::platform {
class Clock;
}

namespace quintara::plan {

// A period away from home, first and last day included.
struct Vacation {
    QDate first;
    QDate last;

    bool operator==(const Vacation &) const = default;
};

// What to plan. Days off are the public holidays of `country` (when given), the days of
// calendar files and the vacations; a holiday or calendar entry whose key or name is in
// `leaveOut` (any case) is not planned.
struct HolidayPlanRequest {
    std::optional<Country> country;
    int language = 0; // names of the holidays
    QList<CalendarDays> calendarDays;
    QList<Vacation> vacations;
    int holidayRegime = clock::Regime::Weekendday;
    int vacationRegime = clock::Regime::PresenceSimulation;
    int afterRegime = clock::Regime::Automatic;
    QStringList leaveOut;
    // The function references (clock::FunctionReference) the project's line editor lists.
    QSet<int> listedFunctions;
    // Planning again replaces an earlier plan's lines, vacations' too: keep the vacations it
    // planned that have not ended (see EarlierVacations). A front end that lists them for the
    // user to keep or drop passes them in `vacations` instead.
    bool keepEarlierVacations = true;
};

enum class HolidayPlanStatus {
    Planned,
    NoClockFunctions, // the project lists no regime at all: nothing planned
    RegimeNotListed,  // a regime asked for is not among the project's (see `regime`)
    VacationRefused,  // a vacation ends before it begins or lies beyond the years dates hold
    DoesNotFit,       // even one year ahead needs more lines than are free: nothing changes
};

// Consecutive days off of one kind, as the plan switches them.
struct DayOffPeriod {
    QDate first;
    QDate last;
    QStringList keys;  // what --leave-out takes: holiday keys, calendar and vacation names
    QStringList names; // as the user reads them
    bool yearly = false;
    bool vacation = false;

    bool operator==(const DayOffPeriod &) const = default;
};

struct HolidayPlan : platform::Outcome<HolidayPlanStatus> {
    // The lines to write, yearly ones first, then in time order.
    QList<clock::ClockLine> lines;
    // Lines of an earlier plan, freed when this one is applied.
    QList<int> replaced;
    // Where `lines` go when applied to the table the plan was made for.
    QList<int> added;
    LineBudget budget;
    // The last day holidays that move from year to year are planned for; invalid when there
    // are none (yearly lines and vacations need no planning again).
    QDate reachesUntil;
    int yearsAhead = 0;
    // The days off the lines stand for (DoesNotFit: those whose lines do not fit in one year).
    QList<DayOffPeriod> periods;
    QList<DayOffPeriod> notFitting;
    // RegimeNotListed: the regime; VacationRefused: the vacation's index.
    int refused = -1;

    bool planned() const { return status == HolidayPlanStatus::Planned; }
};

// The years days off are planned for from `now`: the calendar files are read for these.
HolidayYears PlanYears(const QDateTime &now);

// The vacations an earlier plan wrote into `table` that have not ended before `today`: a once
// switch to the vacation regime at a day's start, ended by the next once switch to the regime
// after. None when holidays and vacations switch the same regime: the lines cannot tell them apart.
QList<Vacation> EarlierVacations(const clock::ClockTable &table,
                                 const HolidayPlanRequest &request, const QDateTime &now);

// Plans regime lines for the days off from tomorrow on: for every period of consecutive days
// off one line at its first day switching the holiday (or vacation) regime and one at the day
// after switching back. Days off on the same date every year get yearly lines; the others once
// lines for as many whole years ahead as the free lines allow. Lines of an earlier plan (regime
// lines at the start of a day, once or yearly, of the regimes asked for) are replaced; nothing
// in `table` changes.
HolidayPlan PlanHolidays(const clock::ClockTable &table, const HolidayPlanRequest &request,
                         const platform::Clock &clock);

// Frees the replaced lines and writes the planned ones where `plan.added` says; marks the table
// changed. Only for a Planned plan made for this table.
clock::Placement ApplyHolidayPlan(clock::ClockTable &table, const HolidayPlan &plan);

} // namespace quintara::plan
