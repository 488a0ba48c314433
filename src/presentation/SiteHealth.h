#pragma once

#include "book/SiteFolders.h"

namespace quintara::platform {
class Clock;
}
namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// Counts what the health check finds in a site's clock table under its project at the clock's
// now, with the functions the editor lists for that project: the Sites list's problems column.
// A project that cannot be read is checked as none (no function is unknown).
book::ProblemCounter SiteProblemCounter(const settings::Strings &strings,
                                        const platform::Clock &clock);

} // namespace quintara::ui
