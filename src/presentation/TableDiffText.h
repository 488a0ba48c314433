#pragma once

#include "clock/TableDiff.h"

#include <QString>

namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// The name of a clock-line field as people read it, in the language in force ("Hour",
// "Day table").
QString LineFieldText(clock::LineField field, const settings::Strings &strings);

} // namespace quintara::ui
