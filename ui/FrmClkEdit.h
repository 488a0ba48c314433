#pragma once

#include <QDialog>

namespace quintara::ui {

struct Program;

// The dialog that adds or edits one clock line, in place in the program's clock table.
class FrmClkEdit : public QDialog {
    Q_OBJECT
public:
    // Edit modes: a line the main window has just created (1 or 2), or an existing line (3).
    static constexpr int NewLineMode = 1;
    static constexpr int ExistingLineMode = 3;

    // Edits the line program.clockTable.SelectedLine (1-based; 0 = none answers false at once)
    // modally. OK writes the line and marks the table changed; Cancel frees a new line and leaves
    // an existing one untouched. Answers whether OK closed the dialog.
    static bool Edit(Program &program, int editMode, QWidget *parent = nullptr);
};

} // namespace quintara::ui
