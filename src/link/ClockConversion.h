#pragma once

#include <QDateTime>

#include <optional>

namespace quintara::clock {
struct ClockTable;
}
namespace quintara::tables {
class TableSet;
}

namespace quintara::link {

// Chain values of the central form.
inline constexpr quint8 ChainEnd = 254;   // last line of a day-table, or a day-table without lines
inline constexpr quint8 NotChained = 255; // a line in no chain

// Length of the central form for n usable lines: seven date bytes and six field bytes a line,
// five chain heads and the seven bytes of the clock setting.
constexpr int CentralClockLength(int lines)
{
    return 13 * lines + 12;
}

// Brings the reference dates of the lines in use up to date before a transfer: Workday and
// Weekend lines get yesterday's date; a repeating line gets the date of its latest occurrence
// at or before now; a one-time line in the past is freed. Only date bytes change. A line that
// cannot step (no repetition count, unknown unit, bytes that name no date) keeps its date.
void NormaliseClockDates(clock::ClockTable &clockTable, const QDateTime &now);

// Writes the chain links into the clock lines and the central form of the usable lines into
// the work area of table `tableNumber`, with its declared length. With a clock setting, the
// form carries that moment (hour, minute, day, month, second, year, weekday with Sunday = 1);
// without it, seven zeros.
void ClockTableToCentral(clock::ClockTable &clockTable, tables::TableSet &tables, int tableNumber,
                         const std::optional<QDateTime> &clockSetting);

// Reads the received area of table `tableNumber` back into the usable lines. Bytes are kept as
// they come (only the level is converted back); whoever uses them later checks their range.
void ClockTableFromCentral(clock::ClockTable &clockTable, tables::TableSet &tables,
                           int tableNumber);

} // namespace quintara::link
