#include "tools/cli/CommandLine.h"

#include "tools/cli/CommandOptions.h"

#include "platform/Files.h"
#include "settings/Strings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quintara::cli {

using namespace args;

namespace {

const QString Usage = QStringLiteral(
    "Usage: quintara-cli COMMAND [FILE] [options]\n"
    "\n"
    "Commands:\n"
    "  show FILE.clk [--project FILE.nbt] [--csv]  the clock file's lines\n"
    "  week FILE.clk [--monday YYYY-MM-DD] [--now YYYY-MM-DDTHH:MM] [--project FILE.nbt]\n"
    "                                              what the week view computes for one week\n"
    "  check FILE.clk [--now YYYY-MM-DDTHH:MM] [--project FILE.nbt]\n"
    "                                              lines that will not work as intended\n"
    "  agenda FILE.clk --from YYYY-MM-DD --to YYYY-MM-DD [--now YYYY-MM-DDTHH:MM]\n"
    "         [--project FILE.nbt] [--table T] [--function TYPE:NUMBER] [--csv]\n"
    "                                              every firing in a range of days\n"
    "  print FILE.clk -o OUT.pdf [--project FILE.nbt] [--monday YYYY-MM-DD]\n"
    "         [--agenda-weeks N] [--now YYYY-MM-DDTHH:MM]\n"
    "                                              the hand-over document: week, lines, agenda\n"
    "  project FILE.nbt                            the project's model and functions\n"
    "  tables FILE.nbt                             the table set compiled from the project\n"
    "  diff A.clk B.clk [--project FILE.nbt] [--ignore-dates [--now YYYY-MM-DDTHH:MM]]\n"
    "                                              the lines that differ, field by field\n"
    "  send FILE.clk --port N|DEVICE [--baud B] [--set-time] [--verify] [--project FILE.nbt]\n"
    "                                              send the clock table to the central unit\n"
    "  receive -o FILE.clk --port N|DEVICE [--baud B] [--project FILE.nbt | --model M]\n"
    "                                              receive the clock table into a new file\n"
    "  (send and receive take --trace FILE: every byte on the line, for support)\n"
    "  holidays --country CC --from YYYY --to YYYY [--now YYYY-MM-DDTHH:MM]\n"
    "                                              a country's public holidays (NL, BE, LU,\n"
    "                                              DE, AT, CH, FR, GB, IE, ES, IT, PT)\n"
    "  sun --lat DEGREES --lon DEGREES --from YYYY-MM-DD --to YYYY-MM-DD [--tz ZONE]\n"
    "                                              dawn, sunrise, sunset and dusk of each day\n"
    "  plan holidays FILE.clk --project FILE.nbt --country CC -o OUT.clk [--ics F.ics]...\n"
    "         [--regime N] [--vacation YYYY-MM-DD..YYYY-MM-DD]... [--drop-vacations]\n"
    "         [--leave-out KEY]... [--now YYYY-MM-DDTHH:MM]\n"
    "                                              regime lines for holidays and vacations\n"
    "  plan simulation FILE.clk --project FILE.nbt --function TYPE:NUMBER...\n"
    "         --evening HH:MM-HH:MM [--morning HH:MM-HH:MM] [--switchings N]\n"
    "         [--on-time MIN-MAX] [--seed S] [--now YYYY-MM-DDTHH:MM] -o OUT.clk\n"
    "                                              presence simulation that differs per weekday\n"
    "  sites COMMAND ...                           the site book: import, list, set, history,\n"
    "                                              restore, export, check, backup, send\n"
    "                                              ('quintara-cli sites --help')\n"
    "\n"
    "Every command takes --language N (0..6, texts in English by default); show, week,\n"
    "check, agenda, project, tables, diff, holidays, sun and plan take --json.\n"
    "'quintara-cli COMMAND --help' lists a command's options.\n"
    "Exit status: 0 done, 1 failed, 2 a mistake on the command line, 3 check found problems or\n"
    "diff found differences, 130/143 send or receive stopped by Ctrl-C/SIGTERM.\n");

std::optional<Command> CommandNamed(const QString &name)
{
    static const QList<std::pair<QLatin1String, Command>> commands{
        {QLatin1String("show"), Command::Show},       {QLatin1String("week"), Command::Week},
        {QLatin1String("check"), Command::Check},     {QLatin1String("agenda"), Command::Agenda},
        {QLatin1String("print"), Command::Print},     {QLatin1String("project"), Command::Project},
        {QLatin1String("tables"), Command::Tables},   {QLatin1String("send"), Command::Send},
        {QLatin1String("receive"), Command::Receive}, {QLatin1String("diff"), Command::Diff},
        {QLatin1String("holidays"), Command::Holidays},
        {QLatin1String("sun"), Command::Sun},
        {QLatin1String("plan holidays"), Command::PlanHolidays},
        {QLatin1String("plan simulation"), Command::PlanSimulation},
    };
    for (const auto &[text, command] : commands) {
        if (name == text)
            return command;
    }
    return std::nullopt;
}

bool IsTransfer(Command command)
{
    return command == Command::Send || command == Command::Receive;
}

// Tells the parser the files the command reads, for its help.
void AcceptFiles(QCommandLineParser &parser, Command command, const QString &name)
{
    const bool readsClockFile = command == Command::Show || command == Command::Week ||
                                command == Command::Check || command == Command::Agenda ||
                                command == Command::Print || command == Command::Diff ||
                                command == Command::Send || command == Command::PlanHolidays ||
                                command == Command::PlanSimulation;
    parser.addPositionalArgument(name, QString(), name);
    if (command == Command::Diff)
        parser.addPositionalArgument(QStringLiteral("A.clk B.clk"),
                                     QStringLiteral("The two clock files to compare."));
    else if (command != Command::Receive && command != Command::Holidays &&
             command != Command::Sun)
        parser.addPositionalArgument(readsClockFile ? QStringLiteral("FILE.clk")
                                                    : QStringLiteral("FILE.nbt"),
                                     QStringLiteral("The file to read."));
}

// Tells the command's parser the options it takes and what it reads.
void AcceptOptions(CommandParser &in, const Options &options, Command command, const QString &name)
{
    const bool readsProjectFile = command == Command::Project || command == Command::Tables;
    in.accept({options.language});
    if (!IsTransfer(command) && command != Command::Print)
        in.accept({options.json});
    if (!readsProjectFile && command != Command::Holidays && command != Command::Sun)
        in.accept({options.project});
    switch (command) {
    case Command::Show:
        in.accept({options.csv});
        break;
    case Command::Diff:
        in.accept({options.ignoreDates, options.now});
        break;
    case Command::Print:
        in.accept({options.output, options.monday, options.now, options.agendaWeeks});
        break;
    case Command::Week:
        in.accept({options.monday, options.now});
        break;
    case Command::Check:
        in.accept({options.now});
        break;
    case Command::Holidays:
        in.accept({options.country, options.fromYear, options.toYear, options.now});
        break;
    case Command::Sun:
        in.accept({options.latitude, options.longitude, options.from, options.to, options.zone});
        break;
    case Command::PlanHolidays:
        in.accept({options.country, options.ics, options.regime, options.vacation,
                   options.dropVacations, options.leaveOut, options.now, options.output});
        break;
    case Command::PlanSimulation:
        in.accept({options.simulated, options.evening, options.morning, options.switchings,
                   options.onTime, options.seed, options.now, options.output});
        break;
    case Command::Agenda:
        in.accept(
            {options.from, options.to, options.now, options.table, options.function, options.csv});
        break;
    case Command::Send:
    case Command::Receive:
    case Command::Project:
    case Command::Tables:
        break;
    }
    if (IsTransfer(command))
        in.accept({options.port, options.baud, options.key, options.modem, options.callBack,
                   options.init, options.phone, options.settingsFile, options.trace});
    if (command == Command::Send)
        in.accept({options.setTime, options.now, options.verify});
    if (command == Command::Receive)
        in.accept({options.output, options.model});
    AcceptFiles(in.parser(), command, name);
}

// The files the command reads, or for receive the one it writes.
Refusal ParseFiles(const CommandParser &in, const Options &options, const QString &name,
                   Invocation &invocation)
{
    const QStringList files = in.positionalArguments().mid(1);
    if (invocation.command == Command::Receive) {
        if (!files.isEmpty())
            return Mistake(QStringLiteral("'receive' writes the file given with -o"));
        if (!in.given(options.output) || in.value(options.output).isEmpty())
            return Mistake(QStringLiteral("'receive' needs -o FILE.clk"));
        invocation.file = in.value(options.output);
        if (const std::optional<QString> refused = RefusedOutput(invocation.file))
            return Unwritable(*refused);
    } else if (invocation.command == Command::Holidays || invocation.command == Command::Sun) {
        if (!files.isEmpty())
            return Mistake(QStringLiteral("'%1' reads no file").arg(name));
    } else if (invocation.command == Command::Diff) {
        if (files.size() != 2)
            return Mistake(QStringLiteral("'diff' compares exactly two files"));
        invocation.file = files.first();
        invocation.otherFile = files.last();
    } else {
        if (files.size() != 1)
            return Mistake(QStringLiteral("'%1' reads exactly one file").arg(name));
        invocation.file = files.first();
    }
    return std::nullopt;
}

// The options several commands share: language, output form, project, week and now.
Refusal ParseShared(const CommandParser &in, const Options &options, Invocation &invocation)
{
    if (in.given(options.language)) {
        const auto language = IntegerIn(in.value(options.language), 0, settings::LanguageCount - 1);
        if (!language)
            return Mistake(QStringLiteral("--language takes 0 to 6"));
        invocation.language = *language;
    }
    invocation.output.json = in.given(options.json);
    invocation.output.csv = in.given(options.csv);
    if (invocation.output.json && invocation.output.csv)
        return Mistake(QStringLiteral("--json and --csv exclude each other"));
    invocation.ignoreDates = in.given(options.ignoreDates);
    if (in.given(options.project))
        invocation.projectFile = in.value(options.project);
    if (in.given(options.monday)) {
        const QDate monday = QDate::fromString(in.value(options.monday), Qt::ISODate);
        if (!monday.isValid() || monday.dayOfWeek() != Qt::Monday)
            return Mistake(QStringLiteral("--monday takes the date of a Monday, YYYY-MM-DD"));
        invocation.monday = monday;
    }
    if (in.given(options.now)) {
        const QDateTime now = QDateTime::fromString(in.value(options.now), Qt::ISODate);
        if (!now.isValid())
            return Mistake(QStringLiteral("--now takes a moment, YYYY-MM-DDTHH:MM"));
        invocation.now = now;
    }
    return std::nullopt;
}

// The options of the command's own; its refusal when there is one.
Refusal ParseOwn(const CommandParser &in, const Options &options, const QString &name,
                 Invocation &invocation)
{
    const Command command = invocation.command;
    if (command == Command::Agenda) {
        if (std::optional<QString> mistake = ParseAgenda(in, options, invocation))
            return Mistake(*mistake);
    }
    if (command == Command::Holidays) {
        if (std::optional<QString> mistake = ParseHolidays(in, options, invocation))
            return Mistake(*mistake);
    }
    if (command == Command::Sun) {
        if (std::optional<QString> mistake = ParseSun(in, options, invocation))
            return Mistake(*mistake);
    }
    if (command == Command::Print) {
        if (Refusal refusal = ParsePrint(in, options, invocation))
            return *refusal;
    }
    if (command == Command::PlanHolidays) {
        if (Refusal refusal = ParsePlan(in, options, invocation))
            return *refusal;
    }
    if (command == Command::PlanSimulation) {
        if (Refusal refusal = ParseSimulation(in, options, invocation))
            return *refusal;
    }
    if (IsTransfer(command)) {
        if (std::optional<QString> mistake = ParseTransfer(in, options, name, invocation))
            return Mistake(*mistake);
    }
    return std::nullopt;
}

} // namespace

ParsedCommandLine ParseCommandLine(const QStringList &given)
{
    QStringList arguments = given;
    QString name = arguments.value(1);
    // The planner's name is part of the command's.
    if (name == QLatin1String("plan")) {
        const QString planner = arguments.value(2);
        if (planner != QLatin1String("holidays") && planner != QLatin1String("simulation"))
            return Mistake(QStringLiteral("'plan' takes 'holidays' or 'simulation': quintara-cli "
                                          "plan holidays FILE.clk ..."));
        name += u' ' + planner;
        arguments.removeAt(2);
    }
    if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        return {std::nullopt, Usage, ExitOk};
    if (name == QLatin1String("--version"))
        return {std::nullopt,
                QStringLiteral("quintara-cli %1\n").arg(QCoreApplication::applicationVersion()),
                ExitOk};
    const std::optional<Command> command = CommandNamed(name);
    if (!command)
        return Mistake(name.isEmpty() ? QStringLiteral("no command")
                                      : QStringLiteral("unknown command '%1'").arg(name));

    const Options options;
    CommandParser in;
    const QCommandLineOption help = in.parser().addHelpOption();
    AcceptOptions(in, options, *command, name);
    if (!in.parser().parse(arguments))
        return Mistake(in.parser().errorText());
    if (in.parser().isSet(help))
        return {std::nullopt, in.parser().helpText(), ExitOk};

    Invocation invocation;
    invocation.command = *command;
    if (Refusal refusal = ParseFiles(in, options, name, invocation))
        return *refusal;
    if (Refusal refusal = ParseShared(in, options, invocation))
        return *refusal;
    if (Refusal refusal = ParseOwn(in, options, name, invocation))
        return *refusal;
    return {invocation, {}, ExitOk};
}

std::optional<QString> RefusedOutput(const QString &path)
{
    switch (platform::KindOfPath(path)) {
    case platform::PathKind::Other:
        return QStringLiteral("%1 is not a regular file").arg(path);
    case platform::PathKind::LinkedFile:
        return QStringLiteral("%1 has other hard links; a received table goes into a file of its "
                              "own")
            .arg(path);
    case platform::PathKind::Missing:
        if (!QFileInfo(path).absoluteDir().exists())
            return QStringLiteral("The folder of %1 does not exist").arg(path);
        return std::nullopt;
    case platform::PathKind::RegularFile:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace quintara::cli
