#pragma once

#include "clock/YearWindow.h"

namespace quintara::testing {

// How two-digit years read at the tests' usual present (December 2026): 1976..2075.
inline constexpr clock::YearWindow Years2026{2026};

} // namespace quintara::testing
