#include "clock/LinePlacement.h"

#include "clock/ClockTable.h"

#include <algorithm>

namespace quintara::clock {

QList<int> FreeLines(const ClockTable &table, int maxLines)
{
    QList<int> free;
    const int n = std::clamp(maxLines, 0, ClockLineCount);
    for (int i = 0; i < n; ++i) {
        if (!table.Lines[static_cast<std::size_t>(i)].inUse())
            free.append(i);
    }
    return free;
}

Placement PlaceLines(ClockTable &table, const QList<ClockLine> &records)
{
    const QList<int> free = FreeLines(table, table.usableLines());
    Placement placement;
    placement.freeLines = int(free.size());
    const auto inUse = std::count_if(records.begin(), records.end(),
                                     [](const ClockLine &record) { return record.inUse(); });
    if (inUse == 0 || inUse > free.size())
        return placement;

    auto slot = free.cbegin();
    for (const ClockLine &record : records) {
        if (!record.inUse())
            continue;
        ClockLine &line = table.Lines[static_cast<std::size_t>(*slot)];
        const quint8 nextLine = line.NextLine;
        const quint8 firstLine = line.FirstLine;
        line = record;
        line.NextLine = nextLine;
        line.FirstLine = firstLine;
        placement.lines.append(*slot++);
    }
    return placement;
}

Placement DuplicateLines(ClockTable &table, const QList<int> &lines)
{
    QList<ClockLine> records;
    for (const int index : lines) {
        if (const ClockLine *line = table.line(index); line && line->inUse())
            records.append(*line);
    }
    return PlaceLines(table, records);
}

} // namespace quintara::clock
