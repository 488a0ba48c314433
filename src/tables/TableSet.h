#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

namespace quintara::tables {

// One area of a central-unit table: positions 0 to 10000.
inline constexpr int TableAreaSize = 10001;
using TableArea = std::array<quint8, TableAreaSize>;

// One memory table of the central unit, in the three forms the program holds it.
struct CentralTable {
    // Bytes to send: the first Length bytes of Data, set by FinishTable.
    quint16 Length = 0;
    TableArea Data{};
    // Before FinishTable the length the builder declares; after it the position of the last
    // non-zero byte, -1 when there is none.
    int LastIndex = 0;
    TableArea Work{};
    // What the receive path got for this table; the decoders read Received only.
    quint16 ReceivedLength = 0;
    TableArea Received{};
};

// The 21 tables that program the central unit. Large (about 630 kB), so the slots live on the heap
// and the set itself is cheap to hold and move.
class TableSet {
public:
    static constexpr int SlotCount = 21;
    // The clock table, filled and read by the clock conversion rather than the builders here.
    static constexpr int ClockSlot = 18;
    // Never used by the central unit; stays empty.
    static constexpr int UnusedSlot = 11;

    TableSet();

    // All areas of every slot back to zero, TableCount back to the highest slot.
    void Reset();

    // Trims trailing zero bytes of the slot's work area within its declared length and copies
    // what is left to the send area. Out-of-range slots are ignored.
    void FinishTable(int slot);

    static bool IsSlot(int slot) { return slot >= 0 && slot < SlotCount; }

    CentralTable &operator[](int slot) { return m_slots.at(static_cast<std::size_t>(slot)); }
    const CentralTable &operator[](int slot) const
    {
        return m_slots.at(static_cast<std::size_t>(slot));
    }

    // Highest slot index in use by a transfer; the link lowers it to 1 for a single table.
    int TableCount = SlotCount - 1;
    // Sum of the send lengths of all slots after a build; the base of the progress display.
    qint64 BytesTotal = 0;

private:
    std::vector<CentralTable> m_slots;
};

} // namespace quintara::tables
