#pragma once

#include "platform/Outcome.h"
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
    // What the build has to tell (variations an index had to leave out), in order.
    platform::Notices notices;
};

// Compiles the project model into the central unit's tables and reads received tables back into
// the model. What a build has to tell (the variation pools running out) is kept for the caller.
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
    // What the builds since the last BuildAllTables have told.
    const platform::Notices &notices() const { return m_notices; }

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
    platform::Notices m_notices;
};

} // namespace quintara::tables
