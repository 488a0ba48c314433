#include "ui/FrmClkEdit.h"

#include "ui/Program.h"

namespace quintara::ui {

bool FrmClkEdit::Edit(Program &program, int editMode, QWidget *parent)
{
    Q_UNUSED(parent);
    const std::optional<int> index = program.clockTable.selectedIndex();
    if (!index)
        return false;
    if (editMode != ExistingLineMode)
        program.clockTable.Lines[static_cast<std::size_t>(*index)].FunctionType = 0;
    return false;
}

} // namespace quintara::ui
