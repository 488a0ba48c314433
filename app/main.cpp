#include "QuintaraVersion.h"
#include "clock/ClockFile.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "ui/ClockMain.h"
#include "ui/FileDialogs.h"
#include "ui/FrmKlokken.h"
#include "ui/LinkCommands.h"
#include "ui/Program.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

using namespace quintara;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quintara"));
    QApplication::setApplicationVersion(QStringLiteral(QUINTARA_VERSION_STRING));
    // Ties the windows to the desktop entry (its icon and name in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quintara.Quintara"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("Settings file to use instead of %1.").arg(settings::DefaultSettingsPath()),
        QStringLiteral("file"));
    parser.addOption(settingsOption);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Clock file to open instead of offering the start "
                                                "choices."),
                                 QStringLiteral("[file.clk]"));
    parser.process(platform::ArgumentsFromNative(argc, argv));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("quintara: one clock file at most\n", stderr);
        return 2;
    }
    const QString clockFile = files.isEmpty() ? QString() : QFileInfo(files[0]).absoluteFilePath();

    ui::QtPrompter prompter;
    platform::SystemClock clock;
    platform::QtEventPump pump;
    const QString settingsPath = parser.isSet(settingsOption) ? parser.value(settingsOption)
                                                              : settings::DefaultSettingsPath();
    ui::Program program(prompter, clock, pump, settings::ProfileFile(settingsPath));
    // A device or FIFO would never be read as settings, nor ever be written over.
    if (platform::KindOfPath(settingsPath) == platform::PathKind::Other) {
        clock::ShowFileError(prompter, platform::FileFailure(
                                           settingsPath, program.strings.GetResString(
                                                             settings::FileText::NotARegularFile)));
        return 1;
    }
    ui::QtFileDialogs dialogs;
    // The communication dialog's line; made before the window that uses it.
    link::QtSerialLine transferLine(link::DeviceMapFromSettings(program.profile));

    const std::unique_ptr<ui::FrmKlokken> window = ui::ClockMain::Main(
        program, dialogs,
        [&](ui::FrmKlokken &main) {
            // Boxes belong to the main window from now on.
            prompter.setParent(&main);
            ui::InstallLinkCommands(main, program, transferLine);
        },
        clockFile);
    if (!window)
        return 0;
    return QApplication::exec();
}
