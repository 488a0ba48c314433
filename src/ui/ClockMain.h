#pragma once

#include <functional>
#include <memory>

namespace quintara::ui {

struct Program;
class FileDialogs;
class FrmKlokken;

// The start-up of the program.
namespace ClockMain {

// What start-up hands to the main window before it shows (the link commands, for instance).
using Prepare = std::function<void(FrmKlokken &)>;

// Settings and language, splash, main window, a project file (insisted upon), a fresh table and
// the start dialog. Answers the running main window, or nothing when the user declined to give
// a project file: the program then ends without writing its settings.
std::unique_ptr<FrmKlokken> Main(Program &program, FileDialogs &dialogs,
                                 const Prepare &prepare = {});

} // namespace ClockMain

} // namespace quintara::ui
