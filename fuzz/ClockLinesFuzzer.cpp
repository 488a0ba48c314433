// Feeds arbitrary bytes to the reader of clock lines from the clipboard and pastes what it
// accepts into a table with lines in use, as a paste in the main window would.
#include "clock/ClockTable.h"
#include "clock/LinePlacement.h"
#include "presentation/ClockLineClipboard.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    const QByteArrayView image(reinterpret_cast<const char *>(data), qsizetype(size));
    const ui::ClockLinesRead read = ui::ReadClockLinesImage(image);
    if (!read.ok()) {
        if (!read.lines.isEmpty())
            std::abort();
        return 0;
    }
    // What was accepted is exactly what writing those records gives back.
    if (ui::ClockLinesImage(read.lines) != image)
        std::abort();

    clock::ClockTable table;
    table.MaxClockLines = 50;
    for (int i = 0; i < 50; i += 3)
        table.Lines[std::size_t(i)].FunctionType = 1;
    const clock::ClockTable before = table;
    const clock::Placement placement = clock::PlaceLines(table, read.lines);
    if (placement.freeLines != 33)
        std::abort();
    if (!placement.placed()) {
        // All or none: nothing may have changed.
        if (read.lines.size() <= placement.freeLines || table.Lines != before.Lines)
            std::abort();
        return 0;
    }
    for (qsizetype k = 0; k < placement.lines.size(); ++k) {
        const int index = placement.lines[k];
        if (index >= 50 || before.Lines[std::size_t(index)].inUse())
            std::abort();
        clock::ClockLine expected = read.lines[k];
        expected.NextLine = before.Lines[std::size_t(index)].NextLine;
        expected.FirstLine = before.Lines[std::size_t(index)].FirstLine;
        if (table.Lines[std::size_t(index)] != expected)
            std::abort();
    }
    return 0;
}
