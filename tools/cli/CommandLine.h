#pragma once

#include "tools/cli/Commands.h"
#include "tools/cli/TransferCommand.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace quintara::cli {

enum class Command {
    Show,
    Week,
    Check,
    Agenda,
    Print,
    Project,
    Tables,
    Send,
    Receive,
    Diff,
    Holidays,
    Sun,
    PlanHolidays,
    PlanSimulation
};

// One run of the program as the command line asks for it.
struct Invocation {
    Command command = Command::Show;
    // The file read, or for receive the file written.
    QString file;
    QString otherFile;        // diff: the second file
    bool ignoreDates = false; // diff
    int language = 0;         // 0..6
    OutputOptions output;
    std::optional<QString> projectFile;
    std::optional<QDate> monday;  // week
    std::optional<QDateTime> now; // week, check, agenda, send, holidays, plan
    AgendaOptions agenda;
    HolidayOptions holidays;
    SunOptions sun;
    PlanOptions plan;         // plan holidays
    SimulationOptions simulation; // plan simulation
    QString pdfFile;          // print: the PDF written
    int agendaWeeks = 0;      // print: weeks of agenda from the Monday printed
    std::optional<int> model; // receive without a project
    TransferOptions transfer; // send, receive
};

// What the command line came to: an invocation, or a text to print and the exit status (help
// and version on standard output with status 0, mistakes on standard error with status 2, an
// output file that cannot be written there with status 1).
struct ParsedCommandLine {
    std::optional<Invocation> invocation;
    QString text;
    int exitStatus = ExitOk;
};

// Why receive must not write the file at path: it names something other than a regular file or
// a new one (a device, a FIFO, a folder), a file with other hard links (a new file would part
// them), or lies in a folder that does not exist. Nothing when it may.
std::optional<QString> RefusedOutput(const QString &path);

// The arguments, program name first, file names kept whatever their bytes (ArgumentsFromNative).
ParsedCommandLine ParseCommandLine(const QStringList &arguments);

} // namespace quintara::cli
