#include "presentation/TableDiffText.h"

#include "settings/Strings.h"
#include "settings/TextIds.h"

namespace quintara::ui {

QString LineFieldText(clock::LineField field, const settings::Strings &strings)
{
    return strings.GetResString(settings::TextId::LineField::First + static_cast<int>(field));
}

} // namespace quintara::ui
