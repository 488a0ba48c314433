#pragma once

#include <QDate>
#include <QString>

#include <optional>

class QTextStream;

namespace quintara::platform {
class Clock;
}

namespace quintara::cli {

class Session;

// Exit statuses of the commands.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

struct OutputOptions {
    bool json = false;
};

// show FILE.clk: version, model and every line in use among all 100, with its function and level
// in words when the session holds a project.
int RunShow(Session &session, const QString &clockFile, const OutputOptions &output,
            QTextStream &out);

// week FILE.clk: what the week view computes for the week beginning on `monday` (the current
// week when not given) with `clock` telling the time.
int RunWeek(Session &session, const QString &clockFile, std::optional<QDate> monday,
            const platform::Clock &clock, const OutputOptions &output, QTextStream &out);

// project FILE.nbt: the model read, its limits and workdays, and every function the clock line
// editor lists.
int RunProject(Session &session, const QString &projectFile, const OutputOptions &output,
               QTextStream &out);

// tables FILE.nbt: the table set compiled from the project.
int RunTables(Session &session, const QString &projectFile, const OutputOptions &output,
              QTextStream &out);

} // namespace quintara::cli
