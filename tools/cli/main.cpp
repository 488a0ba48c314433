// quintara-cli: the clock file, week view, project and table set of the program, for scripts
// and for reading files people send. See the README's "Command line" section.
#include "tools/cli/Commands.h"
#include "tools/cli/FixedClock.h"
#include "tools/cli/Session.h"

#include "platform/Clock.h"
#include "settings/Strings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

using namespace quintara;
using namespace quintara::cli;

namespace {

const QString Usage = QStringLiteral(
    "Usage: quintara-cli COMMAND FILE [options]\n"
    "\n"
    "Commands:\n"
    "  show FILE.clk [--project FILE.nbt]          the clock file's lines\n"
    "  week FILE.clk [--monday YYYY-MM-DD] [--now YYYY-MM-DDTHH:MM] [--project FILE.nbt]\n"
    "                                              what the week view computes for one week\n"
    "  project FILE.nbt                            the project's model and functions\n"
    "  tables FILE.nbt                             the table set compiled from the project\n"
    "\n"
    "Every command takes --json (machine form) and --language N (0..6, texts in English\n"
    "by default). 'quintara-cli COMMAND --help' lists a command's options.\n");

void PrintError(const QString &text)
{
    std::fputs(text.toUtf8().append('\n').constData(), stderr);
}

int UsageError(const QString &text)
{
    PrintError(QStringLiteral("quintara-cli: ") + text);
    PrintError(QStringLiteral("Try 'quintara-cli --help'."));
    return ExitUsage;
}

struct Options {
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Machine form (JSON).")};
    QCommandLineOption language{QStringLiteral("language"),
                                QStringLiteral("Language of the texts, 0 (English) to 6."),
                                QStringLiteral("N"), QStringLiteral("0")};
    QCommandLineOption project{QStringLiteral("project"),
                               QStringLiteral("Project file for function names and workdays."),
                               QStringLiteral("FILE.nbt")};
    QCommandLineOption monday{QStringLiteral("monday"),
                              QStringLiteral("First day of the week shown (default: this week)."),
                              QStringLiteral("YYYY-MM-DD")};
    QCommandLineOption now{QStringLiteral("now"),
                           QStringLiteral("The moment taken as now (default: the system clock)."),
                           QStringLiteral("YYYY-MM-DDTHH:MM")};
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quintara-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUINTARA_VERSION));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);

    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << Usage;
        return ExitOk;
    }
    if (command == QLatin1String("--version")) {
        out << "quintara-cli " << QCoreApplication::applicationVersion() << '\n';
        return ExitOk;
    }
    const QStringList commands{QStringLiteral("show"), QStringLiteral("week"),
                               QStringLiteral("project"), QStringLiteral("tables")};
    if (!commands.contains(command))
        return UsageError(command.isEmpty() ? QStringLiteral("no command")
                                            : QStringLiteral("unknown command '%1'").arg(command));

    Options options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    parser.addOptions({options.json, options.language});
    const bool clockCommand = command == QLatin1String("show") || command == QLatin1String("week");
    if (clockCommand)
        parser.addOption(options.project);
    if (command == QLatin1String("week"))
        parser.addOptions({options.monday, options.now});
    parser.addPositionalArgument(command, QString(), command);
    parser.addPositionalArgument(clockCommand ? QStringLiteral("FILE.clk")
                                              : QStringLiteral("FILE.nbt"),
                                 QStringLiteral("The file to read."));

    if (!parser.parse(arguments))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return ExitOk;
    }
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1)
        return UsageError(QStringLiteral("'%1' reads exactly one file").arg(command));
    const QString file = files.first();

    bool languageOk = false;
    const int language = parser.value(options.language).toInt(&languageOk);
    if (!languageOk || language < 0 || language >= settings::LanguageCount)
        return UsageError(QStringLiteral("--language takes 0 to 6"));

    const OutputOptions output{parser.isSet(options.json)};
    Session session(language);

    if (command == QLatin1String("project"))
        return RunProject(session, file, output, out);
    if (command == QLatin1String("tables"))
        return RunTables(session, file, output, out);

    if (parser.isSet(options.project) && !session.ReadProject(parser.value(options.project)))
        return ExitFailed;
    if (command == QLatin1String("show"))
        return RunShow(session, file, output, out);

    std::optional<QDate> monday;
    if (parser.isSet(options.monday)) {
        monday = QDate::fromString(parser.value(options.monday), Qt::ISODate);
        if (!monday->isValid() || monday->dayOfWeek() != Qt::Monday)
            return UsageError(QStringLiteral("--monday takes the date of a Monday, YYYY-MM-DD"));
    }
    std::unique_ptr<platform::Clock> clock = std::make_unique<platform::SystemClock>();
    if (parser.isSet(options.now)) {
        const QDateTime now = QDateTime::fromString(parser.value(options.now), Qt::ISODate);
        if (!now.isValid())
            return UsageError(QStringLiteral("--now takes a moment, YYYY-MM-DDTHH:MM"));
        clock = std::make_unique<FixedClock>(now);
    }
    return RunWeek(session, file, monday, *clock, output, out);
}
