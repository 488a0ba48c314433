#pragma once

#include "platform/Clock.h"

namespace quintara::testing {

using FixedClock = platform::FixedClock;

} // namespace quintara::testing
