#pragma once

#include "clock/ClockLine.h"
#include "clock/LinePlacement.h"
#include "plan/LineBudget.h"
#include "platform/Outcome.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QTime>

#include <optional>

namespace quintara::clock {
struct ClockTable;
}
namespace quintara::platform {
class Clock;
}

namespace quintara::plan {

// A function the simulation switches, with the level that switches it on and the one that
// switches it off.
struct SimulatedFunction {
    int type = 0;
    int number = 0;
    quint8 on = 0;
    quint8 off = 0;

    bool operator==(const SimulatedFunction &) const = default;
};

// Whether the simulation offers functions of this type: lights (relays, dimmers) and blinds.
bool SuitsSimulation(int functionType);
// The function with the levels proposed for its type: a relay or dimmer on at 100 % and off,
// a blind down (closed, as lived-in rooms are in the evening) and back up. Nothing for a type
// that does not suit.
std::optional<SimulatedFunction> ProposedFunction(int type, int number);

// Part of a day, from its first minute through its last (minutes after midnight, both
// included): the simulation switches on and off only at these minutes.
struct TimeWindow {
    int first = 0;
    int last = 0;

    static TimeWindow of(QTime first, QTime last);
    // A window must end after it begins on the same day.
    bool valid() const { return first >= 0 && first < last && last < 24 * 60; }
    int minutes() const { return last - first; }

    bool operator==(const TimeWindow &) const = default;
};

enum class SimulationWindow { Morning, Evening };

struct SimulationRequest {
    QList<SimulatedFunction> functions;
    std::optional<TimeWindow> morning;
    TimeWindow evening{18 * 60, 23 * 60 + 30};
    int switchings = 1; // switch-ons per window, function and day
    int minOnMinutes = 20;
    int maxOnMinutes = 90;
    quint32 seed = 0;
    // The function references (clock::FunctionReference) the project's line editor lists.
    QSet<int> listedFunctions;
};

enum class SimulationStatus {
    Planned,
    NoFunction,         // nothing chosen to switch
    FunctionNotListed,  // the project does not list the function (see `refusedFunction`)
    FunctionTwice,      // the same function chosen twice (see `refusedFunction`)
    LevelsAlike,        // on and off are the same level (see `refusedFunction`)
    WindowRefused,      // a window ends before it begins (see `refusedWindow`)
    WindowsOverlap,     // the morning and the evening share a minute
    OnTimeRefused,      // the minimum on-time is below a minute or above the maximum
    SwitchingsRefused,  // fewer than one switch-on per window
    WindowTooShort,     // the switch-ons cannot fit in the window (see `refusedWindow`)
    DoesNotFit,         // needs more lines than are free: nothing changes
};

struct PresenceSimulation : platform::Outcome<SimulationStatus> {
    // Simulation-table lines repeating every week: on Monday through Sunday of the week from
    // `firstMonday`, in time order.
    QList<clock::ClockLine> lines;
    // Lines of an earlier simulation, freed when this one is applied.
    QList<int> replaced;
    // Where `lines` go when applied to the table the plan was made for.
    QList<int> added;
    LineBudget budget;
    QDate firstMonday;
    quint32 seed = 0;
    int refusedFunction = -1; // index in the request's functions
    SimulationWindow refusedWindow = SimulationWindow::Evening;

    bool planned() const { return status == SimulationStatus::Planned; }
};

// A seed nobody chose: for a plan the user has not asked to repeat.
quint32 NewSeed();

// The first Monday from today on: the reference dates of the simulation's lines.
QDate SimulationMonday(QDate today);

// Plans the simulation: for every chosen function and every day of the week, `switchings`
// on-periods in each window, each between the minimum and maximum on-time, a minute apart at
// least, switched on and off within the window. The times come from the seed alone, the same
// on every platform, and differ from weekday to weekday.
//
// An earlier simulation is recognised by its shape: a line in the Simulation table repeating
// every 1 week that drives a chosen function at its on or off level. Such lines are replaced;
// every other line, a Simulation line of a function not chosen among them, stays. Nothing in
// `table` changes.
PresenceSimulation PlanPresenceSimulation(const clock::ClockTable &table,
                                          const SimulationRequest &request,
                                          const platform::Clock &clock);

// Frees the replaced lines and writes the planned ones where `plan.added` says; marks the table
// changed. Only for a Planned simulation made for this table.
clock::Placement ApplyPresenceSimulation(clock::ClockTable &table,
                                         const PresenceSimulation &plan);

} // namespace quintara::plan
