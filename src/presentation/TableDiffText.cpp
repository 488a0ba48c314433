#include "presentation/TableDiffText.h"

#include "settings/Strings.h"

namespace quintara::ui {

namespace {

// The texts follow the field order from "Minute" on.
constexpr int FirstFieldTextId = 2360;

} // namespace

QString LineFieldText(clock::LineField field, const settings::Strings &strings)
{
    return strings.GetResString(FirstFieldTextId + static_cast<int>(field));
}

} // namespace quintara::ui
