#pragma once

#include <QIcon>
#include <QString>

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
// A clockFile (from the command line) is opened in place of the start dialog; when it can't be
// read the user is told why and gets the start dialog after all.
std::unique_ptr<FrmKlokken> Main(Program &program, FileDialogs &dialogs,
                                 const Prepare &prepare = {}, const QString &clockFile = {});

// The program's own icon in every size the desktop installs; every window shows it.
QIcon ProgramIcon();

// A dark palette on Qt's own style, for a desktop that offers none (QUINTARA_PALETTE=dark).
void UseDarkPalette();

} // namespace ClockMain

} // namespace quintara::ui
