#include "tables/TableCompiler.h"

#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/FunctionIndexTables.h"
#include "tables/RecordTables.h"
#include "tables/TableSlots.h"

namespace quintara::tables {

const std::array<int, 19> &TableCompiler::BuildOrder()
{
    static constexpr std::array<int, 19> order{0,  1,  2,  3,  4,  5,  6,  7,  8, 9,
                                               10, 12, 13, 14, 15, 16, 17, 19, 20};
    return order;
}

const std::array<int, 17> &TableCompiler::DecodeOrder()
{
    static constexpr std::array<int, 17> order{20, 0, 1,  2,  3,  4,  5,  6, 7,
                                               8,  9, 10, 12, 15, 16, 17, 19};
    return order;
}

BuildResult TableCompiler::BuildAllTables()
{
    m_tables.Reset();
    m_notices.clear();
    for (const int slot : BuildOrder()) {
        if (!BuildTable(slot))
            return BuildResult{false, slot, m_notices};
    }
    m_tables.BytesTotal = 0;
    for (int slot = 0; slot < TableSet::SlotCount; ++slot) {
        m_tables.FinishTable(slot);
        m_tables.BytesTotal += m_tables[slot].Length;
    }
    return BuildResult{true, -1, m_notices};
}

bool TableCompiler::BuildTable(int slot)
{
    if (!TableSet::IsSlot(slot))
        return false;
    CentralTable &table = m_tables[slot];
    table.Work.fill(0);
    table.LastIndex = 0;
    switch (slot) {
    case TableSlot::KeyIndex:
        return BuildKeyIndex(table, m_model, m_notices);
    case TableSlot::LocalMoodIndex:
        return BuildLocalMoodIndex(table, m_model, m_notices);
    default:
        return BuildRecordTable(slot, table, m_model);
    }
}

void TableCompiler::DecodeAllTables()
{
    for (const int slot : DecodeOrder())
        DecodeTable(slot);
}

void TableCompiler::DecodeTable(int slot)
{
    if (TableSet::IsSlot(slot))
        DecodeRecordTable(slot, m_tables[slot], m_model, m_strings);
}

} // namespace quintara::tables
