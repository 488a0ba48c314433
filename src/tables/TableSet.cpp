#include "tables/TableSet.h"

#include <algorithm>

namespace quintara::tables {

TableSet::TableSet() : m_slots(SlotCount) {}

void TableSet::Reset()
{
    TableCount = SlotCount - 1;
    BytesTotal = 0;
    for (CentralTable &table : m_slots)
        table = CentralTable{};
}

void TableSet::FinishTable(int slot)
{
    if (!IsSlot(slot))
        return;
    CentralTable &table = m_slots[static_cast<std::size_t>(slot)];
    // A declared length outside the work area can only come from a faulty caller; clamp it
    // rather than read past the area.
    const int declared = std::clamp(table.LastIndex, 0, TableAreaSize);
    int last = declared - 1;
    while (last >= 0 && table.Work[static_cast<std::size_t>(last)] == 0)
        --last;
    table.LastIndex = last;
    std::copy_n(table.Work.begin(), last + 1, table.Data.begin());
    std::fill(table.Data.begin() + (last + 1), table.Data.end(), quint8{0});
    table.Length = static_cast<quint16>(last + 1);
}

} // namespace quintara::tables
