#pragma once

#include "clock/ClockLine.h"
#include "clock/LinePlacement.h"

#include <QList>

#include <functional>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::plan {

// The clock lines the plan may use.
struct LineBudget {
    int usable = 0; // lines the model uses
    int used = 0;   // lines in use that the plan keeps
    int free = 0;   // usable - used
    int needed = 0; // lines the plan writes
};

// The room a planner has in a table: the lines of an earlier plan it replaces, and the budget
// once they are freed (`needed` left for the planner to fill in).
struct TableRoom {
    LineBudget budget;
    QList<int> replaced;
};

// Measures the room among the table's usable lines; a line in use for which `earlierPlan`
// answers true is one the new plan replaces.
TableRoom MeasureRoom(const clock::ClockTable &table,
                      const std::function<bool(const clock::ClockLine &)> &earlierPlan);

// Frees the replaced lines and writes `lines` into the lowest free ones; marks the table
// changed. The placement tells where they went.
clock::Placement ReplaceLines(clock::ClockTable &table, const QList<int> &replaced,
                              const QList<clock::ClockLine> &lines);

} // namespace quintara::plan
