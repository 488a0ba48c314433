#pragma once

#include <QDialog>

#include <functional>

namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// The start dialog: open a clock file, receive the clock table from the central unit, or start
// with an empty table. Each choice hides the dialog, runs its command and closes the dialog;
// Cancel only closes it.
class FrmSelectClkAct : public QDialog {
    Q_OBJECT
public:
    struct Commands {
        std::function<void()> openFile;
        std::function<void()> receive;
        std::function<void()> newTable;
    };

    FrmSelectClkAct(const settings::Strings &strings, Commands commands, QWidget *parent = nullptr);

private:
    void run(const std::function<void()> &command);

    Commands m_commands;
};

} // namespace quintara::ui
