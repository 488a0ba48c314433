// quintara-cli: the clock file, week view, project, table set and clock table transfer of the
// program, for scripts and for reading files people send. See the README's "Command line".
#include "QuintaraVersion.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Session.h"
#include "tools/cli/SitesCommand.h"
#include "tools/cli/TransferCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace quintara;
using namespace quintara::cli;

namespace {

int Run(const Invocation &invocation, QTextStream &out)
{
    Session session(invocation.language);
    std::unique_ptr<platform::Clock> clock;
    if (invocation.now)
        clock = std::make_unique<platform::FixedClock>(*invocation.now);
    else
        clock = std::make_unique<platform::SystemClock>();

    if (invocation.command == Command::Holidays)
        return RunHolidays(invocation.holidays, invocation.language, *clock, invocation.output,
                           out);
    if (invocation.command == Command::Sun)
        return RunSun(invocation.sun, invocation.output, out);
    // The project commands read the project as their file; the others may read one first.
    if (invocation.command == Command::Project)
        return RunProject(session, invocation.file, invocation.output, out);
    if (invocation.command == Command::Tables)
        return RunTables(session, invocation.file, invocation.output, out);

    if (invocation.projectFile && !session.ReadProject(*invocation.projectFile))
        return ExitFailed;
    if (invocation.model)
        session.SelectModel(*invocation.model);

    switch (invocation.command) {
    case Command::Show:
        return RunShow(session, invocation.file, invocation.output, out);
    case Command::Diff:
        return RunDiff(session, invocation.file, invocation.otherFile, invocation.ignoreDates,
                       *clock, invocation.output, out);
    case Command::Week:
        return RunWeek(session, invocation.file, invocation.monday, *clock, invocation.output, out);
    case Command::Check:
        return RunCheck(session, invocation.file, *clock, invocation.output, out);
    case Command::Print:
        return RunPrint(session, invocation.file, invocation.pdfFile, invocation.monday,
                        invocation.agendaWeeks, *clock, out);
    case Command::Agenda:
        return RunAgenda(session, invocation.file, invocation.agenda, *clock, invocation.output,
                         out);
    case Command::PlanHolidays:
        return RunPlanHolidays(session, invocation.file, invocation.plan, invocation.language,
                               *clock, invocation.output, out);
    case Command::PlanSimulation:
        return RunPlanSimulation(session, invocation.file, invocation.simulation, *clock,
                                 invocation.output, out);
    case Command::Send:
        return RunSend(session, invocation.file, invocation.transfer, *clock, out);
    case Command::Receive:
    default:
        return RunReceive(session, invocation.file, invocation.transfer, *clock, out);
    }
}

// Whatever was printed must have reached standard output whole: a full disk or a closed
// device under a redirection is a failure, not an empty file and status 0.
int Finish(QTextStream &out, int status)
{
    out.flush();
    if (out.status() == QTextStream::Ok)
        return status;
    std::fprintf(stderr, "quintara-cli: cannot write to standard output: %s\n",
                 qUtf8Printable(out.device()->errorString()));
    return ExitFailed;
}

// A book's password given in --database is blanked in the arguments others see (ps, /proc)
// once they are read. The URL's user-info is "USER:PASSWORD@" after "://".
void HidePasswords(int argc, char *argv[])
{
    // "--database URL", "--database=URL", and the same with one dash.
    const auto option = [](const char *argument) {
        const char *name = argument + (std::strncmp(argument, "--", 2) == 0 ? 2 : 1);
        return *argument == '-' && std::strncmp(name, "database", 8) == 0 ? name + 8 : nullptr;
    };
    for (int i = 1; i < argc; ++i) {
        const char *before = option(argv[i - 1]);
        const char *self = option(argv[i]);
        char *scheme = std::strstr(argv[i], "://");
        if (!scheme || !((before && *before == '\0') || (self && *self == '=')))
            continue;
        char *userInfo = scheme + 3;
        const std::size_t hostPart = std::strcspn(userInfo, "/");
        char *at = static_cast<char *>(std::memchr(userInfo, '@', hostPart));
        char *colon = at ? static_cast<char *>(std::memchr(userInfo, ':', std::size_t(at - userInfo)))
                         : nullptr;
        if (colon)
            std::memset(colon + 1, 'x', std::size_t(at - colon - 1));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // Printing paints pictures and text, which needs the GUI library (on no screen at all).
    const bool painting = argc > 1 && std::strcmp(argv[1], "print") == 0;
    if (painting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        painting ? std::make_unique<QGuiApplication>(argc, argv)
                 : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintara-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINTARA_VERSION_STRING));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);

    const QStringList arguments = platform::ArgumentsFromNative(argc, argv);
    HidePasswords(argc, argv);
    if (arguments.size() > 1 && arguments[1] == QLatin1String("sites")) {
        const platform::SystemClock clock;
        return Finish(out, RunSites(arguments, clock, out));
    }
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.invocation) {
        if (parsed.exitStatus != ExitOk) {
            std::fputs(parsed.text.toUtf8().constData(), stderr);
            return parsed.exitStatus;
        }
        out << parsed.text;
        return Finish(out, ExitOk);
    }
    return Finish(out, Run(*parsed.invocation, out));
}
