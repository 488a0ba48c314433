#include "tools/demo-project/DemoProject.h"

#include "clock/ClockTable.h"
#include "clock/LevelTable.h"

#include <QDate>

namespace quintara::tools {

using namespace clock;
namespace Type = project::FunctionType;

namespace {

constexpr int Off = 0;
constexpr int On = 255;

constexpr int Percent(int percent)
{
    return PercentToRaw(percent);
}

// One clock line as the family set it up: from `date` at hh:mm, in a day-table, repeated.
struct Entry {
    QDate date;
    int hour;
    int minute;
    TableKind table;
    RepeatUnit unit;
    int count;
    int type;
    int number;
    int level;
};

ClockLine LineOf(const Entry &e)
{
    ClockLine line;
    SetReferenceDate(line, e.date);
    line.Hour = static_cast<quint8>(e.hour);
    line.Minute = static_cast<quint8>(e.minute);
    line.Table = e.table;
    line.RepeatUnit = e.unit;
    line.RepeatCount = static_cast<quint8>(e.count);
    line.FunctionType = static_cast<quint8>(e.type);
    line.FunctionNumber = static_cast<quint8>(e.number);
    line.Level = static_cast<quint8>(e.level);
    return line;
}

} // namespace

ClockTable BuildDemoClockTable()
{
    // The schedule started on the first Monday of 2026; weekend lines on its Saturday.
    const QDate monday(2026, 1, 5);
    const QDate saturday = monday.addDays(5);
    const QDate sunday = monday.addDays(6);
    const QDate firstOfMonth(2026, 1, 1);
    const QDate advent(2026, 11, 29);

    const QList<Entry> entries{
        // Workdays: heating, a wake-up ramp in the bedroom, breakfast, out and home again.
        {monday, 6, 0, Workday, Workdays, 1, Type::Relay, 21, On},
        {monday, 6, 30, Workday, Workdays, 1, Type::Dimmer, 9, Percent(20)},
        {monday, 6, 40, Workday, Workdays, 1, Type::Dimmer, 9, Percent(50)},
        {monday, 6, 50, Workday, Workdays, 1, Type::Dimmer, 9, Percent(100)},
        {monday, 7, 0, Workday, Workdays, 1, Type::LocalMood, 2, On},
        {monday, 7, 15, Workday, Workdays, 1, Type::Relay, 23, On},
        {monday, 8, 15, Workday, Workdays, 1, Type::GeneralMood, 0, On},
        {monday, 17, 30, Workday, Workdays, 1, Type::GeneralMood, 2, On},
        {monday, 22, 30, Workday, Workdays, 1, Type::Relay, 21, Off},
        // Weekends: later, with the timed wake-up mood.
        {saturday, 8, 0, Weekend, WeekendDays, 1, Type::Relay, 21, On},
        {saturday, 8, 30, Weekend, WeekendDays, 1, Type::TimedLocalMood, 0, On},
        {saturday, 9, 0, Weekend, WeekendDays, 1, Type::Relay, 23, On},
        {saturday, 9, 30, Weekend, WeekendDays, 1, Type::LocalMood, 2, On},
        {saturday, 23, 30, Weekend, WeekendDays, 1, Type::Relay, 21, Off},
        // Every day of the year.
        {monday, 18, 0, Continue, Days, 1, Type::LocalMood, 0, On},
        {monday, 19, 0, Continue, Days, 1, Type::Dimmer, 6, Percent(60)},
        {monday, 19, 30, Continue, Days, 1, Type::TimedLocalMood, 1, On},
        {monday, 21, 30, Continue, Days, 1, Type::Relay, 24, On},
        {monday, 23, 0, Continue, Days, 1, Type::GeneralMood, 1, On},
        {monday, 23, 45, Continue, Days, 1, Type::Dimmer, 6, Off},
        {monday, 10, 0, Continue, Days, 1, Type::Relay, 20, On},
        {monday, 16, 0, Continue, Days, 1, Type::Relay, 20, Off},
        {monday, 6, 0, Continue, Days, 2, Type::Timed, 3, On},
        {monday, 3, 0, Continue, Hours, 6, Type::Timed, 2, On},
        {sunday, 22, 0, Continue, Weeks, 1, Type::Flag, 1, Off},
        {firstOfMonth, 0, 15, Continue, Months, 1, Type::Regime, 0, On},
        // New Year's Eve on the terrace, once.
        {QDate(2026, 12, 31), 20, 0, Continue, Once, 0, Type::Relay, 8, On},
        {QDate(2027, 1, 1), 2, 0, Continue, Once, 0, Type::Relay, 8, Off},
        // Presence simulation while the family is away: rooms lit as in a normal evening.
        {monday, 18, 45, Simulation, Days, 1, Type::Relay, 3, On},
        {monday, 19, 20, Simulation, Days, 1, Type::Dimmer, 2, Percent(70)},
        {monday, 20, 10, Simulation, Days, 1, Type::Dimmer, 2, Off},
        {monday, 21, 40, Simulation, Days, 1, Type::Relay, 13, On},
        {monday, 22, 5, Simulation, Days, 1, Type::Relay, 13, Off},
        {monday, 22, 50, Simulation, Days, 1, Type::Relay, 9, On},
        {monday, 23, 15, Simulation, Days, 1, Type::Relay, 3, Off},
        {monday, 23, 35, Simulation, Days, 1, Type::Relay, 9, Off},
        // The special table for the Christmas season: terrace lights and a lit hall.
        {advent, 16, 30, Special, Days, 1, Type::Relay, 8, On},
        {advent, 16, 45, Special, Days, 1, Type::Dimmer, 4, Percent(40)},
        {advent, 23, 0, Special, Days, 1, Type::Relay, 8, Off},
    };

    ClockTable table;
    table.ClockFileVersion = 1;
    table.ModelIndex = 1;
    table.MaxClockLines = ClockLineCount;
    for (qsizetype i = 0; i < entries.size(); ++i)
        table.Lines[static_cast<std::size_t>(i)] = LineOf(entries[i]);
    return table;
}

} // namespace quintara::tools
