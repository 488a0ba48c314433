#pragma once

#include "project/ProjectModel.h"

#include <memory>

namespace quintara::tools {

// The demo installation: a family house on a model-1 central unit.
std::unique_ptr<project::ProjectModel> BuildDemoProject();

} // namespace quintara::tools
