#pragma once

#include "tables/TableSet.h"

namespace quintara::project {
struct ProjectModel;
}
namespace quintara::settings {
class Strings;
}

namespace quintara::tables {

// The tables that are straight images of one list of the project model (every slot except 11,
// 13, 14 and 18), one fixed-size entry a record, 16-bit values high byte first.

// Writes the slot's image of the model into its work area and declares its length in LastIndex.
// The sensor names and message lines it sends are tidied in the model first, as the central unit
// shows them. False when the image would not fit the work area (no byte outside it is written).
bool BuildRecordTable(int slot, CentralTable &table, project::ProjectModel &model);

// Reads the slot's received bytes back into the model fields the builder takes them from, and
// gives the records in use a default name where the list has names. Unknown slots do nothing.
// Slot DimmerOutputs needs the output modules decoded first.
void DecodeRecordTable(int slot, const CentralTable &table, project::ProjectModel &model,
                       const settings::Strings &strings);

} // namespace quintara::tables
