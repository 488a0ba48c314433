// Takes arbitrary bytes as table 18 received from the central unit and converts them into the
// clock table, as a receive does, then back into the central form and into a clock file.
#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "project/ProjectModel.h"
#include "tables/TableSet.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    if (size < 1)
        return 0;
    // The first byte picks the model: 100 usable lines or 50.
    const int lines = project::LimitsOfModel(data[0] % project::ModelCount).ClockLines;
    tables::TableSet set;
    tables::CentralTable &table = set[tables::TableSet::ClockSlot];
    const std::size_t length = std::min<std::size_t>(size - 1, tables::TableAreaSize);
    std::copy(data + 1, data + 1 + length, table.Received.begin());
    table.ReceivedLength = static_cast<quint16>(length);

    clock::ClockTable clockTable;
    clockTable.MaxClockLines = static_cast<qint16>(lines);
    const clock::ClockLine beyond = clock::ClockLine::fromBytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
                                                                 11, 12, 13});
    for (int i = lines; i < clock::ClockLineCount; ++i)
        clockTable.Lines[static_cast<std::size_t>(i)] = beyond;

    link::ClockTableFromCentral(clockTable, set, tables::TableSet::ClockSlot);
    // Lines beyond the model's are neither read nor changed.
    for (int i = lines; i < clock::ClockLineCount; ++i) {
        if (!(clockTable.Lines[static_cast<std::size_t>(i)] == beyond))
            std::abort();
    }
    link::NormaliseClockDates(clockTable, QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    link::ClockTableToCentral(clockTable, set, tables::TableSet::ClockSlot, std::nullopt);
    set.FinishTable(tables::TableSet::ClockSlot);
    if (set[tables::TableSet::ClockSlot].Length > link::CentralClockLength(lines))
        std::abort();
    if (clock::ClockFileImage(clockTable).size() != clock::ClockFileSize)
        std::abort();
    return 0;
}
