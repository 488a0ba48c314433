#include "QuintaraVersion.h"
#include "clock/ClockFile.h"
#include "link/PortDevice.h"
#include "link/DeviceLine.h"
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

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace quintara;

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

QString SettingsOptionName()
{
    return QStringLiteral("settings");
}

// The program's own options, on a parser of either kind of application.
void DescribeOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        SettingsOptionName(),
        QStringLiteral("Settings file to use instead of %1.").arg(settings::DefaultSettingsPath()),
        QStringLiteral("file")));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Clock file to open instead of offering the start "
                                                "choices."),
                                 QStringLiteral("[file.clk]"));
}

// Help, the version and mistakes: what to print and the exit status, or nothing when the
// window is to start.
std::optional<int> AnswerInText(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "quintara: %s\n", qUtf8Printable(parser.errorText()));
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return std::fflush(stdout) == 0 ? 0 : ExitFailed;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                    qUtf8Printable(QCoreApplication::applicationVersion()));
        return std::fflush(stdout) == 0 ? 0 : ExitFailed;
    }
    if (parser.positionalArguments().size() > 1) {
        std::fputs("quintara: one clock file at most\n", stderr);
        return ExitUsage;
    }
    return std::nullopt;
}

// Whether the window system can be reached. Over ssh or on a console it cannot, and Qt
// aborts the program when it finds no display; a platform named by the user is left to Qt.
bool MayHaveDisplay(const QStringList &arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           arguments.contains(QStringLiteral("-platform")) ||
           arguments.contains(QStringLiteral("--platform"));
#else
    Q_UNUSED(arguments);
    return true;
#endif
}

// Whether the arguments ask for help or the version, which are text whatever else they hold.
bool AsksForText(const QStringList &arguments)
{
    static const QStringList textOptions{QStringLiteral("-h"), QStringLiteral("--help"),
                                         QStringLiteral("--help-all"), QStringLiteral("-v"),
                                         QStringLiteral("--version")};
    return std::any_of(arguments.begin() + 1, arguments.end(),
                       [](const QString &argument) { return textOptions.contains(argument); });
}

// Help and the version never wait for the window system, which may be out of reach even where
// a display is named. Without a display the rest is said in text rather than aborted on.
std::optional<int> AnswerWithoutWindow(int argc, char *argv[])
{
    const QStringList arguments = platform::ArgumentsFromNative(argc, argv);
    if (!AsksForText(arguments) && MayHaveDisplay(arguments))
        return std::nullopt;
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    DescribeOptions(parser);
    if (const std::optional<int> status = AnswerInText(parser, arguments))
        return status;
    std::fputs("quintara: no display to show the window on (DISPLAY is not set); quintara-cli "
               "reads and sends clock files without one\n",
               stderr);
    return ExitFailed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Quintara"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINTARA_VERSION_STRING));
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv))
        return *status;

    QApplication app(argc, argv);
    // Ties the windows to the desktop entry (its icon and name in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quintara.Quintara"));
    // The window follows the desktop's palette; this one is for a desktop without a dark one.
    if (qEnvironmentVariable("QUINTARA_PALETTE") == QLatin1String("dark"))
        ui::ClockMain::UseDarkPalette();

    // The application has taken its own options (-platform, -style, ...) out of argv.
    QCommandLineParser parser;
    DescribeOptions(parser);
    if (const std::optional<int> status =
            AnswerInText(parser, platform::ArgumentsFromNative(argc, argv)))
        return *status;
    const QStringList files = parser.positionalArguments();
    const QString clockFile = files.isEmpty() ? QString() : QFileInfo(files[0]).absoluteFilePath();

    ui::QtPrompter prompter;
    platform::SystemClock clock;
    platform::QtEventPump pump;
    const QString settingsPath = parser.isSet(SettingsOptionName())
                                     ? parser.value(SettingsOptionName())
                                     : settings::DefaultSettingsPath();
    ui::Program program(prompter, clock, pump, settings::ProfileFile(settingsPath));
    // A device or FIFO would never be read as settings, nor ever be written over.
    if (platform::KindOfPath(settingsPath) == platform::PathKind::Other) {
        program.notices.tell(platform::SystemFailureNotice(platform::FileFailure(
            settingsPath, program.strings.GetResString(settings::TextId::File::NotARegularFile))));
        return ExitFailed;
    }
    ui::QtFileDialogs dialogs;
    // The communication dialog's line; made before the window that uses it.
    link::DeviceLine transferLine(link::DeviceMapFromSettings(program.profile));

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
