#pragma once

#include "clock/ClockTable.h"
#include "project/ProjectModel.h"

#include <memory>

namespace quintara::tools {

// The demo installation: a family house on a model-1 central unit.
std::unique_ptr<project::ProjectModel> BuildDemoProject();

// The house's clock table, a year-round schedule of the demo installation's functions.
clock::ClockTable BuildDemoClockTable();

} // namespace quintara::tools
