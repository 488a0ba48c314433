#pragma once

#include "plan/Sun.h"

#include <optional>

namespace quintara::settings {
class ProfileFile;
}

namespace quintara::plan {

// Where the house of a project file stands, kept with that project's values in the settings
// file. None stored, or a stored text that is no valid location, means no sun anywhere.
std::optional<Location> ReadProjectLocation(const settings::ProfileFile &file,
                                             const QString &projectFile);
// Stores the location (nothing: clears it). False when there is no project file or the
// settings file can't be written.
bool WriteProjectLocation(settings::ProfileFile &file, const QString &projectFile,
                          const std::optional<Location> &location);

} // namespace quintara::plan
