#pragma once

// The command line's options and what each command makes of its own: the parts of
// ParseCommandLine, for it alone.

#include "tools/cli/CommandLine.h"

#include "settings/ProfileFile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quintara::cli::args {

inline QCommandLineOption Option(const QString &name, const QString &description,
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

// What the command line came to instead of an invocation, or nothing when it may run.
using Refusal = std::optional<ParsedCommandLine>;

std::optional<int> IntegerIn(const QString &text, int low, int high);
QDate IsoDate(const QString &text);
// A mistake on the command line: status 2, with the way to the help.
ParsedCommandLine Mistake(const QString &text);
// An output that cannot be written is a failure like any unwritable file, found before the
// work (a transfer of up to a minute) rather than after it.
ParsedCommandLine Unwritable(const QString &text);

// Each command's own options, read into the invocation; the mistake when there is one.
std::optional<QString> ParseAgenda(const CommandParser &in, const Options &options,
                                   Invocation &invocation);
std::optional<QString> ParseHolidays(const CommandParser &in, const Options &options,
                                     Invocation &invocation);
std::optional<QString> ParseSun(const CommandParser &in, const Options &options,
                                Invocation &invocation);
Refusal ParsePrint(const CommandParser &in, const Options &options, Invocation &invocation);
Refusal ParsePlan(const CommandParser &in, const Options &options, Invocation &invocation);
Refusal ParseSimulation(const CommandParser &in, const Options &options, Invocation &invocation);
std::optional<QString> ParseTransfer(const CommandParser &in, const Options &options,
                                     const QString &name, Invocation &invocation);

} // namespace quintara::cli::args
