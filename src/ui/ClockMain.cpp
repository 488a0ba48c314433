#include "ui/ClockMain.h"

#include "settings/Settings.h"
#include "settings/Strings.h"
#include "ui/FileCommands.h"
#include "ui/FrmKlokken.h"
#include "ui/FrmSelectClkAct.h"
#include "ui/FrmTaal.h"
#include "ui/Program.h"
#include "ui/frmStart.h"

#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QPalette>

namespace quintara::ui::ClockMain {

QIcon ProgramIcon()
{
    QIcon icon;
    QDirIterator renderings(QStringLiteral(":/quintara/appicon"), {QStringLiteral("*.png")},
                            QDir::Files, QDirIterator::Subdirectories);
    while (renderings.hasNext())
        icon.addFile(renderings.next());
    return icon;
}

void UseDarkPalette()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette dark;
    const QColor light(235, 235, 235);
    for (const auto role : {QPalette::Window, QPalette::Button})
        dark.setColor(role, QColor(53, 53, 53));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::ToolTipText, QPalette::BrightText})
        dark.setColor(role, light);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::AlternateBase, QColor(48, 48, 48));
    dark.setColor(QPalette::ToolTipBase, QColor(25, 25, 25));
    dark.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Link, QColor(120, 180, 255));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(130, 130, 130));
    QApplication::setPalette(dark);
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
    FileCommands &files = window->files();
    files.ReadProjectFromSettings();

    // A clock file opened from outside (the file manager, the command line) most likely has
    // its project beside it under the same name: the dialog starts on that one.
    QString proposal;
    if (!clockFile.isEmpty()) {
        const QFileInfo file(clockFile);
        proposal = file.absolutePath() + u'/' + file.completeBaseName() + QStringLiteral(".nbt");
    }
    if (!files.InsistOnProject(proposal))
        return nullptr;

    files.NewTable();
    window->PlaceDayBackgrounds();

    // A file named from outside opens as Open opens it; one that is refused leaves the fresh
    // table and the start choices. A user with a site book chooses a site first.
    const bool siteOpened = clockFile.isEmpty() && window->hasSiteBook() && window->showSites();
    if (!siteOpened && (clockFile.isEmpty() || !files.OpenClockFile(clockFile))) {
        FrmSelectClkAct start(program.strings,
                              {[&files] { files.OpenClockFile(); }, [&files] { files.Receive(); },
                               [&files] { files.NewTable(); }},
                              window.get());
        start.exec();
    }

    window->history().forget();
    window->ScrWeeks_Change();
    return window;
}

} // namespace quintara::ui::ClockMain
