#pragma once

#include "platform/Outcome.h"
#include "tables/TableSet.h"

#include <optional>

namespace quintara::project {
struct ProjectModel;
struct MoodItem;
} // namespace quintara::project

namespace quintara::tables {

// The inverted indexes of the central unit: for every switchable function, who acts on it. Slot
// KeyIndex lists the keys (input module, key) that drive a function, slot LocalMoodIndex the local
// moods that contain it. Each list is a chain of records of a fixed pool, newest first.

// A function reference (type code, number).
struct FunctionTarget {
    int type = 0;
    int number = 0;
    friend bool operator==(const FunctionTarget &, const FunctionTarget &) = default;
};

// The function a key finally switches, looking through timed functions, If-Then-Else functions,
// fans, transparent functions, motors and sensors. Nothing for a key without one or one that names
// a record outside its list. Module and key outside the model give nothing too.
std::optional<FunctionTarget> KeyTarget(const project::ProjectModel &model, int module, int key);

// The function a local mood item finally switches (through timed functions, If-Then-Else functions
// and motors), or nothing.
std::optional<FunctionTarget> MoodItemTarget(const project::ProjectModel &model,
                                             const project::MoodItem &item);

// Both builders declare the full length and write the whole index. A pool that runs out tells
// its message once for every variation it cannot hold (added to `notices`) and goes on without
// it. False when the index would not fit the work area.
bool BuildKeyIndex(CentralTable &table, const project::ProjectModel &model,
                   platform::Notices &notices);
bool BuildLocalMoodIndex(CentralTable &table, const project::ProjectModel &model,
                         platform::Notices &notices);

} // namespace quintara::tables
