#pragma once

#include "project/ProjectModel.h"

#include <array>

// Internal to the project file reader: what older formats hold in another form than today's.
namespace quintara::project {

class RecordReader;

// The per-model counts of the formats before version 38.
inline constexpr std::array<int, ModelCount> OldMaxInputModule{99, 40, 10, 20, 20};
inline constexpr std::array<int, ModelCount> OldOutputModules{37, 18, 5, 10, 10};

// Versions 38 and 40 end in eight key texts rather than the text list.
inline constexpr int KeyTextCount = 8;

// The key types of versions 28 to 40 that the current format numbers differently.
void RecodeKeyTypes(ProjectModel &model);
// Keys of type 61 show one of the eight key texts, which now live in the text list.
void ApplyKeyTexts(ProjectModel &model, const std::array<Name50, KeyTextCount> &texts);
// Versions before 28 kept the key's own type implied by its function type.
void RecodeOldKeys(ProjectModel &model);

// What the conversion of versions 10 and 11 has to tell.
struct OldConversion {
    bool conditionsMoved = false;
    bool goFunctionsChanged = false;
};

// Reads the rest of a file of version 10 or 11 (after its model byte) into the model.
OldConversion ReadOldFormat(RecordReader &in, ProjectModel &model, int version);

} // namespace quintara::project
