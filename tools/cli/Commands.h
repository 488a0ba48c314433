#pragma once

#include "plan/HolidayPlan.h"
#include "plan/Holidays.h"
#include "plan/PresenceSimulation.h"
#include "plan/Sun.h"

#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <optional>
#include <utility>

class QTextStream;

namespace quintara::platform {
class Clock;
}
namespace quintara::clock {
struct ClockLine;
}

namespace quintara::cli {

class Session;

// Exit statuses of the commands.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;
// check: the table has something to report; diff: the files differ.
inline constexpr int ExitProblems = 3;
inline constexpr int ExitDifferent = 3;
// agenda: the range holds more firings than are listed.
inline constexpr int ExitTruncated = 3;

struct OutputOptions {
    bool json = false;
    bool csv = false; // show and agenda: UTF-8 with a byte order mark
};

struct AgendaOptions {
    QDate from; // from 00:00
    QDate to;   // through 23:59
    std::optional<int> table;
    std::optional<std::pair<int, int>> function; // type, number
};

struct HolidayOptions {
    plan::Country country = plan::Country::NL;
    int fromYear = 0;
    int toYear = 0;
};

struct SunOptions {
    plan::Location location;
    QDate from;
    QDate to;
    QTimeZone zone; // the wall time shown
};

// sun --lat --lon --from --to: dawn, sunrise, sunset and dusk of every day in the range
// (ExitUsage for a range the equations are not kept for or longer than plan::MaxSunRangeYears).
int RunSun(const SunOptions &sun, const OutputOptions &output, QTextStream &out);
struct PlanOptions {
    plan::Country country = plan::Country::NL;
    QStringList icsFiles;
    int regime = clock::Regime::Weekendday;
    QList<plan::Vacation> vacations;
    bool keepEarlierVacations = true;
    QStringList leaveOut;
    QString output; // the planned clock file written
};

// plan holidays FILE.clk: the clock file with regime lines for the country's public holidays,
// the calendar files' days and the vacations, written whole to the output file; ExitFailed
// when there is no plan (no clock functions, not enough free lines, a file not read).
int RunPlanHolidays(Session &session, const QString &clockFile, const PlanOptions &options,
                    int language, const platform::Clock &clock, const OutputOptions &output,
                    QTextStream &out);

struct SimulationOptions {
    QList<std::pair<int, int>> functions; // type, number
    plan::TimeWindow evening;
    std::optional<plan::TimeWindow> morning;
    int switchings = 1;
    int minOnMinutes = 20;
    int maxOnMinutes = 90;
    std::optional<quint32> seed; // a new one when not given
    QString output;              // the planned clock file written
};

// plan simulation FILE.clk: the clock file with the presence simulation's lines for the
// functions, written whole to the output file, and the seed that makes them again; ExitFailed
// when there is no simulation (a request it cannot meet, not enough free lines, a file not
// read).
int RunPlanSimulation(Session &session, const QString &clockFile,
                      const SimulationOptions &options, const platform::Clock &clock,
                      const OutputOptions &output, QTextStream &out);

// holidays --country CC --from YYYY --to YYYY: the country's public holidays in date order, for
// the years the central unit's dates hold around `clock`'s now (ExitUsage beyond them).
int RunHolidays(const HolidayOptions &holidays, int language, const platform::Clock &clock,
                const OutputOptions &output, QTextStream &out);

// print FILE.clk -o OUT.pdf: the hand-over document as the window prints it (the week beginning
// on `monday`, the current one when not given, every line, and `agendaWeeks` of agenda from that
// Monday), written whole or not at all. Needs a QGuiApplication.
int RunPrint(Session &session, const QString &clockFile, const QString &pdfFile,
             std::optional<QDate> monday, int agendaWeeks, const platform::Clock &clock,
             QTextStream &out);

// show FILE.clk: version, model and every line in use among all 100, with its function and level
// in words when the session holds a project.
int RunShow(Session &session, const QString &clockFile, const OutputOptions &output,
            QTextStream &out);

// One line of show's machine form: its index, its thirteen bytes by name, and with a project
// its function and level in words.
QJsonObject LineJson(const Session &session, int index, const clock::ClockLine &line);

// diff A.clk B.clk: the lines that differ, field by field. ExitOk when equal, ExitDifferent
// when not, ExitFailed when a file could not be read. `clock` tells the years reference dates
// are read in when `ignoreDates` compares their firings.
int RunDiff(Session &session, const QString &fileA, const QString &fileB, bool ignoreDates,
            const platform::Clock &clock, const OutputOptions &output, QTextStream &out);

// week FILE.clk: what the week view computes for the week beginning on `monday` (the current
// week when not given) with `clock` telling the time.
int RunWeek(Session &session, const QString &clockFile, std::optional<QDate> monday,
            const platform::Clock &clock, const OutputOptions &output, QTextStream &out);

// check FILE.clk: the health check of the table at `clock`'s now, one problem a line (or JSON);
// ExitProblems when there is anything to report.
int RunCheck(Session &session, const QString &clockFile, const platform::Clock &clock,
             const OutputOptions &output, QTextStream &out);

// agenda FILE.clk: every firing in a range of days, in time order, written as it is found; at
// most MaxAgendaFirings of them; when there were more, a note on standard error and
// ExitTruncated.
int RunAgenda(Session &session, const QString &clockFile, const AgendaOptions &agenda,
              const platform::Clock &clock, const OutputOptions &output, QTextStream &out);

// project FILE.nbt: the model read, its limits and workdays, and every function the clock line
// editor lists.
int RunProject(Session &session, const QString &projectFile, const OutputOptions &output,
               QTextStream &out);

// tables FILE.nbt: the table set compiled from the project.
int RunTables(Session &session, const QString &projectFile, const OutputOptions &output,
              QTextStream &out);

} // namespace quintara::cli
