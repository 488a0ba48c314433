#include "ui/ClockMain.h"

#include "clock/ClockFile.h"
#include "settings/Settings.h"
#include "ui/FrmKlokken.h"
#include "ui/FrmSelectClkAct.h"
#include "ui/FrmTaal.h"
#include "ui/Program.h"
#include "ui/frmStart.h"

#include <QApplication>
#include <QDirIterator>

namespace quintara::ui::ClockMain {

namespace {

// Opens a clock file named from outside as Open does once its dialog has answered. False,
// with the fresh table back in place, when the file could not be read.
bool OpenNamedClockFile(FrmKlokken &window, Program &program, const QString &path)
{
    clock::ClockTable &table = program.clockTable;
    table.ClockFileName = path;
    const clock::ClockFileResult result =
        clock::ReadClockFile(table, program.project, program.strings, program.prompter);
    if (result.status == clock::ClockFileStatus::SystemError)
        clock::ShowFileError(program.prompter, result.error);
    if (!result.done()) {
        window.NewTable();
        return false;
    }
    table.TableChanged = false;
    return true;
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    QDirIterator renderings(QStringLiteral(":/quintara/appicon"), {QStringLiteral("*.png")},
                            QDir::Files, QDirIterator::Subdirectories);
    while (renderings.hasNext())
        icon.addFile(renderings.next());
    return icon;
}

std::unique_ptr<FrmKlokken> Main(Program &program, FileDialogs &dialogs, const Prepare &prepare,
                                 const QString &clockFile)
{
    QApplication::setWindowIcon(ProgramIcon());
    settings::ReadSettings(program.profile, program.settings, program.strings,
                           [] { return FrmTaal::Choose(); });
    settings::ReadClockSettings(program.profile, program.settings);

    auto splash = std::make_unique<frmStart>(program.strings, CurrentPlatform());
    splash->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    splash->repaint();
    program.pump.processEvents();

    auto window = std::make_unique<FrmKlokken>(program, dialogs);
    if (prepare)
        prepare(*window);
    QApplication::restoreOverrideCursor();
    splash.reset();

    window->show();
    window->ReadProjectFromSettings();

    bool asked = false;
    while (program.settings.nbtFile.isEmpty()) {
        asked = true;
        const platform::Answer answer = program.prompter.show(
            QStringLiteral("U moet nu eerst een NBT Ventora bestand inlezen om met dit "
                           "programma te kunnen werken"),
            platform::ProgramTitle, platform::Buttons::OkCancel);
        if (answer != platform::Answer::Ok)
            return nullptr;
        window->ReadProject();
    }
    if (asked)
        program.prompter.show(QStringLiteral("U kan nu de gegevens van het ingelezen VENTORA "
                                             "bestand gebruiken om verder de acties te "
                                             "definiëren"),
                              platform::ProgramTitle);

    window->NewTable();
    window->PlaceDayBackgrounds();

    if (clockFile.isEmpty() || !OpenNamedClockFile(*window, program, clockFile)) {
        FrmKlokken *main = window.get();
        FrmSelectClkAct start(program.strings,
                              {[main] { main->OpenClockFile(); }, [main] { main->Receive(); },
                               [main] { main->NewTable(); }},
                              main);
        start.exec();
    }

    window->ScrWeeks_Change();
    return window;
}

} // namespace quintara::ui::ClockMain
