#pragma once

namespace quintara::clock {
struct ClockTable;
}
namespace quintara::project {
struct ProjectModel;
}
namespace quintara::settings {
class NameTables;
}

namespace quintara::ui {

// The central unit keeps no names, so a configuration received from it names its functions at
// best generically and its outputs not at all. Every function a clock line uses gets back the
// name it had in the previous project, or else, where it has none, its type word and number
// ("Dimmer 4"), so that every line stays editable.
void NameReceivedFunctions(project::ProjectModel &received, const project::ProjectModel &previous,
                           const clock::ClockTable &table, const settings::NameTables &names);

} // namespace quintara::ui
