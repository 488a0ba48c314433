#include "tools/cli/CommandLine.h"

#include "clock/ClockLine.h"
#include "link/PortDevice.h"
#include "platform/Files.h"
#include "project/ProjectModel.h"
#include "settings/ProfileFile.h"
#include "settings/Strings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quintara::cli {

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

QCommandLineOption Option(const QString &name, const QString &description,
                          const QString &valueName = {})
{
    return QCommandLineOption(name, description, valueName);
}

// Every option any command takes; each command's parser knows only its own.
struct Options {
    QCommandLineOption json =
        Option(QStringLiteral("json"), QStringLiteral("Machine form (JSON)."));
    QCommandLineOption csv = Option(
        QStringLiteral("csv"),
        QStringLiteral("Comma-separated rows, a header first (UTF-8 with a byte order mark)."));
    QCommandLineOption ignoreDates =
        Option(QStringLiteral("ignore-dates"),
               QStringLiteral("Reference dates that name the same firings are no difference."));
    QCommandLineOption verify = Option(
        QStringLiteral("verify"),
        QStringLiteral("Read the clock table back after sending and compare it with what was "
                       "sent."));
    QCommandLineOption language = Option(
        QStringLiteral("language"),
        QStringLiteral("Language of the texts: 0 English (default) to 6."), QStringLiteral("N"));
    QCommandLineOption project =
        Option(QStringLiteral("project"),
               QStringLiteral("Project file: function names, workdays, model, baud rate, modem."),
               QStringLiteral("FILE.nbt"));
    QCommandLineOption monday =
        Option(QStringLiteral("monday"),
               QStringLiteral("First day of the week shown (default: the current week)."),
               QStringLiteral("YYYY-MM-DD"));
    QCommandLineOption now =
        Option(QStringLiteral("now"),
               QStringLiteral("The moment taken as now (default: the system clock)."),
               QStringLiteral("YYYY-MM-DDTHH:MM"));
    QCommandLineOption port =
        Option(QStringLiteral("port"),
               QStringLiteral("Port number (mapped as by the settings file) or device."),
               QStringLiteral("N|DEVICE"));
    QCommandLineOption baud = Option(
        QStringLiteral("baud"), QStringLiteral("Baud rate (default: the project's, else 19200)."),
        QStringLiteral("B"));
    QCommandLineOption key =
        Option(QStringLiteral("key"),
               QStringLiteral("Handshake key 0..255 (default: the settings file's)."),
               QStringLiteral("K"));
    QCommandLineOption setTime =
        Option(QStringLiteral("set-time"), QStringLiteral("Also set the central unit's clock."));
    QCommandLineOption modem =
        Option(QStringLiteral("modem"), QStringLiteral("Connected with modem: dial first."));
    QCommandLineOption callBack =
        Option(QStringLiteral("call-back"), QStringLiteral("Call-back necessary (with --modem)."));
    QCommandLineOption init =
        Option(QStringLiteral("init"), QStringLiteral("Modem init string (with --modem)."),
               QStringLiteral("TEXT"));
    QCommandLineOption phone =
        Option(QStringLiteral("phone"),
               QStringLiteral("Telephone number to dial (default: the project's)."),
               QStringLiteral("NUMBER"));
    QCommandLineOption settingsFile =
        Option(QStringLiteral("settings"),
               QStringLiteral("Settings file for port numbers and the key (default: %1).")
                   .arg(settings::DefaultSettingsPath()),
               QStringLiteral("FILE"));
    QCommandLineOption output = QCommandLineOption(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("The file to write (receive and plan: a clock file, print: a PDF)."),
        QStringLiteral("FILE"));
    QCommandLineOption agendaWeeks =
        Option(QStringLiteral("agenda-weeks"),
               QStringLiteral("Weeks of agenda printed from the Monday shown (default 0: none)."),
               QStringLiteral("N"));
    QCommandLineOption trace =
        Option(QStringLiteral("trace"),
               QStringLiteral("Write every byte on the line, with its time and protocol step, "
                              "to FILE (for support)."),
               QStringLiteral("FILE"));
    QCommandLineOption from =
        Option(QStringLiteral("from"), QStringLiteral("First day, from 00:00."),
               QStringLiteral("YYYY-MM-DD"));
    QCommandLineOption to = Option(QStringLiteral("to"), QStringLiteral("Last day, through 23:59."),
                                   QStringLiteral("YYYY-MM-DD"));
    QCommandLineOption table =
        Option(QStringLiteral("table"),
               QStringLiteral("Only the lines of one day-table, 0 (continuous) to 4."),
               QStringLiteral("T"));
    QCommandLineOption function =
        Option(QStringLiteral("function"),
               QStringLiteral("Only the lines driving one function (type and number, 1..255)."),
               QStringLiteral("TYPE:NUMBER"));
    // holidays: years where agenda takes days.
    QCommandLineOption fromYear =
        Option(QStringLiteral("from"), QStringLiteral("First year."), QStringLiteral("YYYY"));
    QCommandLineOption toYear =
        Option(QStringLiteral("to"), QStringLiteral("Last year."), QStringLiteral("YYYY"));
    QCommandLineOption country = Option(
        QStringLiteral("country"),
        QStringLiteral("Country code: NL, BE, LU, DE, AT, CH, FR, GB (England and Wales), IE, ES, "
                       "IT or PT."),
        QStringLiteral("CC"));
    // sun: where, and whose clock.
    QCommandLineOption latitude =
        Option(QStringLiteral("lat"),
               QStringLiteral("Latitude in decimal degrees, north positive (-90..90)."),
               QStringLiteral("DEGREES"));
    QCommandLineOption longitude =
        Option(QStringLiteral("lon"),
               QStringLiteral("Longitude in decimal degrees, east positive (-180..180)."),
               QStringLiteral("DEGREES"));
    QCommandLineOption zone =
        Option(QStringLiteral("tz"),
               QStringLiteral("Time zone of the times shown, as Europe/Amsterdam (default: the "
                              "system's)."),
               QStringLiteral("ZONE"));
    // plan holidays
    QCommandLineOption ics = Option(
        QStringLiteral("ics"),
        QStringLiteral("More days off from an iCalendar file (all-day events, once or yearly); "
                       "may be given more than once."),
        QStringLiteral("F.ics"));
    QCommandLineOption regime =
        Option(QStringLiteral("regime"),
               QStringLiteral("Regime switched on a holiday, 0..5 (default 2, Weekendday)."),
               QStringLiteral("N"));
    QCommandLineOption vacation =
        Option(QStringLiteral("vacation"),
               QStringLiteral("Away from the first through the last day: presence simulation; "
                              "may be given more than once."),
               QStringLiteral("YYYY-MM-DD..YYYY-MM-DD"));
    QCommandLineOption dropVacations = Option(
        QStringLiteral("drop-vacations"),
        QStringLiteral("Forget the vacations planned before (kept until they end otherwise)."));
    QCommandLineOption leaveOut = Option(
        QStringLiteral("leave-out"),
        QStringLiteral("A holiday (its key or name) or calendar entry not to plan; may be given "
                       "more than once."),
        QStringLiteral("KEY"));
    // plan simulation
    QCommandLineOption simulated =
        Option(QStringLiteral("function"),
               QStringLiteral("A light or blind to switch (type 1 relay, 2 dimmer or 55 blind, "
                              "and its number); may be given more than once."),
               QStringLiteral("TYPE:NUMBER"));
    QCommandLineOption evening =
        Option(QStringLiteral("evening"),
               QStringLiteral("The evening's window: switched on and off within it."),
               QStringLiteral("HH:MM-HH:MM"));
    QCommandLineOption morning =
        Option(QStringLiteral("morning"), QStringLiteral("A morning's window as well."),
               QStringLiteral("HH:MM-HH:MM"));
    QCommandLineOption switchings =
        Option(QStringLiteral("switchings"),
               QStringLiteral("Switch-ons per window, function and day (default 1)."),
               QStringLiteral("N"));
    QCommandLineOption onTime =
        Option(QStringLiteral("on-time"),
               QStringLiteral("Shortest and longest time on, in minutes (default 20-90)."),
               QStringLiteral("MIN-MAX"));
    QCommandLineOption seed =
        Option(QStringLiteral("seed"),
               QStringLiteral("Makes the times of an earlier run again (default: a new seed)."),
               QStringLiteral("S"));
    QCommandLineOption model =
        Option(QStringLiteral("model"),
               QStringLiteral("Central-unit model 0..4 without a project (default 0)."),
               QStringLiteral("M"));
};

std::optional<int> IntegerIn(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// Digits, with a sign or not: meant as a port number, never as a device in the current folder.
bool LooksLikeNumber(const QString &text)
{
    const QStringView digits =
        text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))
            ? QStringView(text).mid(1)
            : QStringView(text);
    return !digits.isEmpty() &&
           std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
}

// The trace is written after the transfer; a file that could not be is said before the line
// is touched.
std::optional<QString> RefusedTrace(const QString &path)
{
    const QFileInfo file(path);
    switch (platform::KindOfPath(path)) {
    case platform::PathKind::Other:
        return QStringLiteral("--trace %1 is not a regular file").arg(path);
    case platform::PathKind::Missing:
        if (!file.absoluteDir().exists())
            return QStringLiteral("--trace %1: its folder does not exist").arg(path);
        if (!QFileInfo(file.absolutePath()).isWritable())
            return QStringLiteral("--trace %1: its folder is not writable").arg(path);
        return std::nullopt;
    case platform::PathKind::RegularFile:
    case platform::PathKind::LinkedFile:
        if (!file.isWritable())
            return QStringLiteral("--trace %1 is not writable").arg(path);
        return std::nullopt;
    }
    return std::nullopt;
}

ParsedCommandLine Mistake(const QString &text)
{
    return {std::nullopt,
            QStringLiteral("quintara-cli: %1\nTry 'quintara-cli --help'.\n").arg(text), ExitUsage};
}

// An output that cannot be written is a failure like any unwritable file, found before the
// work (a transfer of up to a minute) rather than after it.
ParsedCommandLine Unwritable(const QString &text)
{
    return {std::nullopt, QStringLiteral("quintara-cli: %1\n").arg(text), ExitFailed};
}

// One command's parser, knowing only the options that command takes.
class CommandParser {
public:
    void accept(const QList<QCommandLineOption> &options)
    {
        m_parser.addOptions(options);
        for (const QCommandLineOption &option : options)
            m_known += option.names();
    }
    // Whether the command takes the option and it was given.
    bool given(const QCommandLineOption &option) const
    {
        return m_known.contains(option.names().constFirst()) && m_parser.isSet(option);
    }
    QString value(const QCommandLineOption &option) const { return m_parser.value(option); }
    QStringList values(const QCommandLineOption &option) const { return m_parser.values(option); }
    QStringList positionalArguments() const { return m_parser.positionalArguments(); }

    QCommandLineParser &parser() { return m_parser; }

private:
    QCommandLineParser m_parser;
    QStringList m_known;
};

QDate IsoDate(const QString &text)
{
    return QDate::fromString(text, Qt::ISODate);
}

const QString FunctionMistake =
    QStringLiteral("--function takes TYPE:NUMBER, a type 1..255 and a number 0..255");

// A function reference as --function takes it: type and number.
std::optional<std::pair<int, int>> FunctionFrom(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const auto type = IntegerIn(parts.value(0), 1, 255);
    const auto number = IntegerIn(parts.value(1), 0, 255);
    if (parts.size() != 2 || !type || !number)
        return std::nullopt;
    return std::pair{*type, *number};
}

// Fills the agenda's range and filters; the mistake when there is one.
std::optional<QString> ParseAgenda(const CommandParser &in, const Options &options,
                                   Invocation &invocation)
{
    AgendaOptions &agenda = invocation.agenda;
    if (!in.given(options.from) || !in.given(options.to))
        return QStringLiteral("'agenda' needs --from YYYY-MM-DD and --to YYYY-MM-DD");
    agenda.from = IsoDate(in.value(options.from));
    agenda.to = IsoDate(in.value(options.to));
    if (!agenda.from.isValid() || !agenda.to.isValid())
        return QStringLiteral("--from and --to take dates, YYYY-MM-DD");
    if (agenda.to < agenda.from)
        return QStringLiteral("--to lies before --from");
    if (in.given(options.table)) {
        agenda.table = IntegerIn(in.value(options.table), 0, clock::TableKindCount - 1);
        if (!agenda.table)
            return QStringLiteral("--table takes 0 to 4");
    }
    if (in.given(options.function)) {
        agenda.function = FunctionFrom(in.value(options.function));
        if (!agenda.function)
            return FunctionMistake;
    }
    return std::nullopt;
}

// The country and the years of holidays; the mistake when there is one. The years the
// central unit holds are checked when the command runs, against its now.
std::optional<QString> ParseHolidays(const CommandParser &in, const Options &options,
                                     Invocation &invocation)
{
    if (!in.given(options.country) || !in.given(options.fromYear) || !in.given(options.toYear))
        return QStringLiteral("'holidays' needs --country CC, --from YYYY and --to YYYY");
    const std::optional<plan::Country> country = plan::CountryFromCode(in.value(options.country));
    if (!country)
        return QStringLiteral("unknown country '%1': NL, BE, LU, DE, AT, CH, FR, GB, IE, ES, IT "
                              "or PT")
            .arg(in.value(options.country));
    const auto from = IntegerIn(in.value(options.fromYear), 1, 9999);
    const auto to = IntegerIn(in.value(options.toYear), 1, 9999);
    if (!from || !to)
        return QStringLiteral("--from and --to take years, YYYY");
    if (*to < *from)
        return QStringLiteral("--to lies before --from");
    invocation.holidays = {*country, *from, *to};
    return std::nullopt;
}

// The place, the days and the zone of sun; the mistake when there is one. Ranges the
// equations are not kept for are refused when the command runs.
std::optional<QString> ParseSun(const CommandParser &in, const Options &options,
                                Invocation &invocation)
{
    if (!in.given(options.latitude) || !in.given(options.longitude) || !in.given(options.from) ||
        !in.given(options.to))
        return QStringLiteral("'sun' needs --lat, --lon, --from YYYY-MM-DD and --to YYYY-MM-DD");
    bool latitudeRead = false;
    bool longitudeRead = false;
    const double latitude = in.value(options.latitude).toDouble(&latitudeRead);
    const double longitude = in.value(options.longitude).toDouble(&longitudeRead);
    if (!latitudeRead || !longitudeRead)
        return QStringLiteral("--lat and --lon take decimal degrees, as --lat 52.37 --lon 4.89");
    const plan::LocationOutcome location = plan::Location::make(latitude, longitude);
    if (const auto *refusal = std::get_if<plan::LocationRefusal>(&location))
        return refusal->text;
    SunOptions &sun = invocation.sun;
    sun.location = std::get<plan::Location>(location);
    sun.from = IsoDate(in.value(options.from));
    sun.to = IsoDate(in.value(options.to));
    if (!sun.from.isValid() || !sun.to.isValid())
        return QStringLiteral("--from and --to take dates, YYYY-MM-DD");
    if (sun.to < sun.from)
        return QStringLiteral("--to lies before --from");
    sun.zone = QTimeZone::systemTimeZone();
    if (in.given(options.zone)) {
        sun.zone = QTimeZone(in.value(options.zone).toUtf8());
        if (!sun.zone.isValid())
            return QStringLiteral("unknown time zone '%1': a name such as Europe/Amsterdam")
                .arg(in.value(options.zone));
    }
    return std::nullopt;
}

bool IsTransfer(Command command)
{
    return command == Command::Send || command == Command::Receive;
}

// Tells the command's parser the options it takes and what it reads.
void AcceptOptions(CommandParser &in, const Options &options, Command command, const QString &name)
{
    const bool readsClockFile = command == Command::Show || command == Command::Week ||
                                command == Command::Check || command == Command::Agenda ||
                                command == Command::Print || command == Command::Diff ||
                                command == Command::Send || command == Command::PlanHolidays ||
                                command == Command::PlanSimulation;
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

    QCommandLineParser &parser = in.parser();
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

// What the command line came to instead of an invocation, or nothing when it may run.
using Refusal = std::optional<ParsedCommandLine>;

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

// The days off and the file written by plan holidays; the mistake when there is one.
Refusal ParsePlan(const CommandParser &in, const Options &options, Invocation &invocation)
{
    PlanOptions &plan = invocation.plan;
    if (!in.given(options.country) || !invocation.projectFile || !in.given(options.output) ||
        in.value(options.output).isEmpty())
        return Mistake(
            QStringLiteral("'plan holidays' needs --country CC, --project FILE.nbt and -o OUT.clk"));
    const std::optional<plan::Country> country = plan::CountryFromCode(in.value(options.country));
    if (!country)
        return Mistake(QStringLiteral("unknown country '%1': NL, BE, LU, DE, AT, CH, FR, GB, IE, "
                                      "ES, IT or PT")
                           .arg(in.value(options.country)));
    plan.country = *country;
    if (in.given(options.regime)) {
        const auto regime = IntegerIn(in.value(options.regime), 0, clock::Regime::Count - 1);
        if (!regime)
            return Mistake(QStringLiteral("--regime takes 0 to 5"));
        plan.regime = *regime;
    }
    for (const QString &text : in.values(options.vacation)) {
        const QStringList days = text.split(QStringLiteral(".."));
        const QDate first = IsoDate(days.value(0));
        const QDate last = IsoDate(days.value(1));
        if (days.size() != 2 || !first.isValid() || !last.isValid())
            return Mistake(QStringLiteral("--vacation takes YYYY-MM-DD..YYYY-MM-DD"));
        if (last < first)
            return Mistake(QStringLiteral("--vacation %1 ends before it begins").arg(text));
        plan.vacations.append({first, last});
    }
    plan.keepEarlierVacations = !in.given(options.dropVacations);
    plan.icsFiles = in.values(options.ics);
    plan.leaveOut = in.values(options.leaveOut);
    plan.output = in.value(options.output);
    if (const std::optional<QString> refused = RefusedOutput(plan.output))
        return Unwritable(*refused);
    return std::nullopt;
}

// "HH:MM-HH:MM", or nothing.
std::optional<plan::TimeWindow> WindowFrom(const QString &text)
{
    const QStringList times = text.split(QLatin1Char('-'));
    const QTime first = QTime::fromString(times.value(0), QStringLiteral("HH:mm"));
    const QTime last = QTime::fromString(times.value(1), QStringLiteral("HH:mm"));
    if (times.size() != 2 || !first.isValid() || !last.isValid())
        return std::nullopt;
    return plan::TimeWindow::of(first, last);
}

// The functions, windows and seed of plan simulation; the mistake when there is one. Whether
// they make a simulation is the planner's to say.
Refusal ParseSimulation(const CommandParser &in, const Options &options, Invocation &invocation)
{
    SimulationOptions &simulation = invocation.simulation;
    if (!in.given(options.simulated) || !in.given(options.evening) || !invocation.projectFile ||
        !in.given(options.output) || in.value(options.output).isEmpty())
        return Mistake(QStringLiteral("'plan simulation' needs --function TYPE:NUMBER, --evening "
                                      "HH:MM-HH:MM, --project FILE.nbt and -o OUT.clk"));
    for (const QString &text : in.values(options.simulated)) {
        const std::optional<std::pair<int, int>> function = FunctionFrom(text);
        if (!function)
            return Mistake(FunctionMistake);
        if (!plan::SuitsSimulation(function->first))
            return Mistake(QStringLiteral("--function %1: only lights (type 1 relay, 2 dimmer) "
                                          "and blinds (55) are switched")
                               .arg(text));
        simulation.functions.append(*function);
    }
    const std::optional<plan::TimeWindow> evening = WindowFrom(in.value(options.evening));
    if (!evening)
        return Mistake(QStringLiteral("--evening takes HH:MM-HH:MM"));
    simulation.evening = *evening;
    if (in.given(options.morning)) {
        simulation.morning = WindowFrom(in.value(options.morning));
        if (!simulation.morning)
            return Mistake(QStringLiteral("--morning takes HH:MM-HH:MM"));
    }
    constexpr int MinutesInDay = 24 * 60;
    if (in.given(options.switchings)) {
        const auto switchings = IntegerIn(in.value(options.switchings), 0, MinutesInDay);
        if (!switchings)
            return Mistake(QStringLiteral("--switchings takes a number of switch-ons"));
        simulation.switchings = *switchings;
    }
    if (in.given(options.onTime)) {
        const QStringList minutes = in.value(options.onTime).split(QLatin1Char('-'));
        const auto shortest = IntegerIn(minutes.value(0), 0, MinutesInDay);
        const auto longest = IntegerIn(minutes.value(1), 0, MinutesInDay);
        if (minutes.size() != 2 || !shortest || !longest)
            return Mistake(QStringLiteral("--on-time takes MIN-MAX, in minutes"));
        simulation.minOnMinutes = *shortest;
        simulation.maxOnMinutes = *longest;
    }
    if (in.given(options.seed)) {
        bool read = false;
        const quint32 seed = in.value(options.seed).toUInt(&read);
        if (!read)
            return Mistake(QStringLiteral("--seed takes a number 0 to 4294967295"));
        simulation.seed = seed;
    }
    simulation.output = in.value(options.output);
    if (const std::optional<QString> refused = RefusedOutput(simulation.output))
        return Unwritable(*refused);
    return std::nullopt;
}

Refusal ParsePrint(const CommandParser &in, const Options &options, Invocation &invocation)
{
    if (!in.given(options.output) || in.value(options.output).isEmpty())
        return Mistake(QStringLiteral("'print' needs -o OUT.pdf"));
    invocation.pdfFile = in.value(options.output);
    if (const std::optional<QString> refused = RefusedOutput(invocation.pdfFile))
        return Unwritable(*refused);
    if (in.given(options.agendaWeeks)) {
        const auto weeks = IntegerIn(in.value(options.agendaWeeks), 0, 53);
        if (!weeks)
            return Mistake(QStringLiteral("--agenda-weeks takes 0 to 53"));
        invocation.agendaWeeks = *weeks;
    }
    return std::nullopt;
}

// The line, the modem and the extras of send and receive; the mistake when there is one.
std::optional<QString> ParseTransfer(const CommandParser &in, const Options &options,
                                     const QString &name, Invocation &invocation)
{
    TransferOptions &link = invocation.transfer;
    if (!in.given(options.port) || in.value(options.port).isEmpty())
        return QStringLiteral("'%1' needs --port N|DEVICE").arg(name);
    link.port = in.value(options.port);
    if (LooksLikeNumber(link.port) && !IntegerIn(link.port, 1, quintara::link::MaxPortNumber))
        return QStringLiteral("--port takes a port number 1 to %1 or a device")
            .arg(quintara::link::MaxPortNumber);
    if (in.given(options.baud)) {
        const auto baud = IntegerIn(in.value(options.baud), 1, 4000000);
        if (!baud)
            return QStringLiteral("--baud takes a baud rate");
        link.baudRate = *baud;
    }
    if (in.given(options.key)) {
        const auto key = IntegerIn(in.value(options.key), 0, 255);
        if (!key)
            return QStringLiteral("--key takes a decimal number 0 to 255");
        link.key = static_cast<quint8>(*key);
    }
    link.modem = in.given(options.modem);
    link.callBack = in.given(options.callBack);
    // The window derives the init string from the project's modem type; here it is given.
    if (link.modem && !in.given(options.init))
        return QStringLiteral("--modem needs --init TEXT, the modem's init string");
    link.initString = in.value(options.init);
    if (in.given(options.phone))
        link.telephoneNumber = in.value(options.phone);
    link.settingsFile = in.given(options.settingsFile) ? in.value(options.settingsFile)
                                                       : settings::DefaultSettingsPath();
    if (platform::KindOfPath(link.settingsFile) == platform::PathKind::Other)
        return QStringLiteral("--settings %1 is not a regular file").arg(link.settingsFile);
    link.setTime = in.given(options.setTime);
    link.verify = in.given(options.verify);
    if (in.given(options.trace)) {
        if (in.value(options.trace).isEmpty())
            return QStringLiteral("--trace needs a file name");
        link.traceFile = in.value(options.trace);
        if (const std::optional<QString> refused = RefusedTrace(link.traceFile))
            return *refused;
    }
    if (in.given(options.model)) {
        if (invocation.projectFile)
            return QStringLiteral("--model is for a receive without --project");
        const auto model = IntegerIn(in.value(options.model), 0, project::ModelCount - 1);
        if (!model)
            return QStringLiteral("--model takes 0 to 4");
        invocation.model = *model;
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
    if (*command == Command::Agenda) {
        if (std::optional<QString> mistake = ParseAgenda(in, options, invocation))
            return Mistake(*mistake);
    }
    if (*command == Command::Holidays) {
        if (std::optional<QString> mistake = ParseHolidays(in, options, invocation))
            return Mistake(*mistake);
    }
    if (*command == Command::Sun) {
        if (std::optional<QString> mistake = ParseSun(in, options, invocation))
            return Mistake(*mistake);
    }
    if (*command == Command::Print) {
        if (Refusal refusal = ParsePrint(in, options, invocation))
            return *refusal;
    }
    if (*command == Command::PlanHolidays) {
        if (Refusal refusal = ParsePlan(in, options, invocation))
            return *refusal;
    }
    if (*command == Command::PlanSimulation) {
        if (Refusal refusal = ParseSimulation(in, options, invocation))
            return *refusal;
    }
    if (IsTransfer(*command)) {
        if (std::optional<QString> mistake = ParseTransfer(in, options, name, invocation))
            return Mistake(*mistake);
    }
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
