#pragma once

#include "tables/TableSet.h"

#include <array>

namespace quintara::project {
struct ProjectModel;
}
namespace quintara::settings {
class Strings;
}

namespace quintara::tables {

// What a build of the table set came to.
struct BuildResult {
    bool ok = true;
    // The slot whose table would not fit its area, when not ok; the build stops there.
    int failedSlot = -1;
};

// Compiles the project model into the central unit's tables and reads received tables back into
// the model. Messages (the variation pools running out, a missing text) go through the prompter
// of the strings.
class TableCompiler {
public:
    TableCompiler(TableSet &tables, project::ProjectModel &model, const settings::Strings &strings)
        : m_tables(tables), m_model(model), m_strings(strings)
    {
    }

    // The whole set anew from the model: every area cleared, every table but the clock table
    // built and finished, BytesTotal summed. Sensor names and message lines are tidied in the
    // model as they are sent.
    BuildResult BuildAllTables();
    // One table into its work area, with its declared length in LastIndex; not finished. Slots
    // without a builder (the unused one and the clock table) are left empty.
    bool BuildTable(int slot);

    // Every table that has a decoder, read from its received area into the model; the output
    // modules first, because the dimmer outputs are found through them.
    void DecodeAllTables();
    void DecodeTable(int slot);

    // The orders in which the tables are built and decoded.
    static const std::array<int, 19> &BuildOrder();
    static const std::array<int, 17> &DecodeOrder();

private:
    TableSet &m_tables;
    project::ProjectModel &m_model;
    const settings::Strings &m_strings;
};

} // namespace quintara::tables
