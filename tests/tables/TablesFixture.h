#pragma once

#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quintara::testing {

inline QStringList Texts(const platform::Notices &notices)
{
    QStringList out;
    for (const platform::Notice &notice : notices)
        out << notice.text;
    return out;
}

// A project model of a chosen central-unit model, English texts for the names the decoders
// give records, and a table set to compile into.
class TablesTest : public ::testing::Test {
protected:
    TablesTest() { useModel(0); }

    void useModel(int modelIndex)
    {
        project::NewProject(model(), 19200, 0);
        project::SelectModel(model(), modelIndex, strings);
    }

    project::ProjectModel &model() { return *m_model; }
    const project::ModelLimits &limits() { return m_model->Limits; }

    // Bytes of an area as ints, so that failures print numbers.
    static std::vector<int> bytes(const tables::TableArea &area, int from, int count)
    {
        std::vector<int> out;
        for (int i = from; i < from + count; ++i)
            out.push_back(area[static_cast<std::size_t>(i)]);
        return out;
    }
    std::vector<int> work(int slot, int from, int count)
    {
        return bytes(set[slot].Work, from, count);
    }
    // The work area holds `expected` from `from` on.
    void expectWork(int slot, int from, const std::vector<int> &expected)
    {
        EXPECT_EQ(work(slot, from, int(expected.size())), expected) << slot << " @" << from;
    }
    // Words of the work area, high byte first: {position, value} pairs.
    void expectWords(int slot, std::initializer_list<std::pair<int, int>> words)
    {
        for (const auto &[position, value] : words)
            expectWork(slot, position, {value / 256, value % 256});
    }

    // The built table as the central unit would receive it.
    void receiveAsSent()
    {
        for (int slot = 0; slot < tables::TableSet::SlotCount; ++slot) {
            set[slot].Received = set[slot].Data;
            set[slot].ReceivedLength = set[slot].Length;
        }
    }

    settings::Strings strings{settings::StringTable::builtIn()};

private:
    std::unique_ptr<project::ProjectModel> m_model = std::make_unique<project::ProjectModel>();

protected:
    tables::TableSet set;
    tables::TableCompiler compiler{set, *m_model, strings};
};

} // namespace quintara::testing
