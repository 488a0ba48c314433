#include "plan/LineBudget.h"

#include "clock/ClockTable.h"

namespace quintara::plan {

TableRoom MeasureRoom(const clock::ClockTable &table,
                      const std::function<bool(const clock::ClockLine &)> &earlierPlan)
{
    TableRoom room;
    const int usable = table.usableLines();
    for (int i = 0; i < usable; ++i) {
        const clock::ClockLine &line = table.Lines[std::size_t(i)];
        if (!line.inUse())
            continue;
        if (earlierPlan(line))
            room.replaced.push_back(i);
        else
            ++room.budget.used;
    }
    room.budget.usable = usable;
    room.budget.free = usable - room.budget.used;
    return room;
}

clock::Placement ReplaceLines(clock::ClockTable &table, const QList<int> &replaced,
                              const QList<clock::ClockLine> &lines)
{
    for (const int index : replaced) {
        if (clock::ClockLine *line = table.line(index))
            line->FunctionType = 0;
    }
    const clock::Placement placement = clock::PlaceLines(table, lines);
    table.TableChanged = true;
    return placement;
}

} // namespace quintara::plan
