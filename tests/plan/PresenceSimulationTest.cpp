#include "plan/PresenceSimulation.h"

#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "project/ProjectModel.h"
#include "tests/clock/TestLines.h"
#include "tests/plan/PlanRig.h"
#include "tests/support/FixedClock.h"

#include <QMap>

#include <gtest/gtest.h>

namespace quintara::plan {
namespace {

using clock::ClockLine;
using clock::ClockTable;
using clock::Moment;
using test::Counts;
using test::EmptyTable;
using test::MondayToFriday;
using test::Now; // a Tuesday: the simulation's week begins on the Monday after it
namespace FunctionType = project::FunctionType;

const SimulatedFunction HallLight = *ProposedFunction(FunctionType::Relay, 3);
const SimulatedFunction LoungeDimmer = *ProposedFunction(FunctionType::Dimmer, 2);
const SimulatedFunction FrontBlind = *ProposedFunction(FunctionType::MotorUpDown, 1);

SimulationRequest RequestFor(QList<SimulatedFunction> functions, quint32 seed = 27)
{
    SimulationRequest request;
    request.functions = functions;
    request.seed = seed;
    for (const int type : {FunctionType::Relay, FunctionType::Dimmer, FunctionType::MotorUpDown})
        for (int number = 1; number <= 10; ++number)
            request.listedFunctions.insert(clock::FunctionReference(type, number));
    return request;
}

ClockLine WeeklyLine(int table, int hour, int type, int number, quint8 level)
{
    ClockLine line =
        clock::testing::Line(QDate(2026, 11, 2), hour, 0, table, clock::Weeks, 1, level, number);
    line.FunctionType = quint8(type);
    return line;
}

PresenceSimulation Plan(const ClockTable &table, const SimulationRequest &request)
{
    const testing::FixedClock clock(Now);
    return PlanPresenceSimulation(table, request, clock);
}

ClockTable Applied(ClockTable table, const PresenceSimulation &plan)
{
    ApplyPresenceSimulation(table, plan);
    return table;
}

// A function's on-periods by the firing rule: minute of switching on and off, per date.
using Periods = QMap<QDate, QList<std::pair<int, int>>>;

Periods FiredPeriods(const ClockTable &table, const SimulatedFunction &function, QDate from,
                     QDate to)
{
    Periods periods;
    clock::FiringFilter filter;
    filter.function = std::pair{function.type, function.number};
    clock::TableFirings firings(table, Now, MondayToFriday, Moment::fromDate(from),
                                Moment::fromDate(to, 23, 59), filter);
    int switchedOn = -1;
    while (const std::optional<clock::Firing> firing = firings.next()) {
        const ClockLine &line = table.Lines[std::size_t(firing->line)];
        const QDate date = firing->moment.date();
        const int minute = firing->moment.minuteOfDay;
        if (line.Level == function.on) {
            EXPECT_EQ(switchedOn, -1) << "on twice " << date.toString(Qt::ISODate).toStdString();
            switchedOn = minute;
            continue;
        }
        EXPECT_EQ(line.Level, function.off);
        // Switched off only after it was switched on, the same day.
        EXPECT_NE(switchedOn, -1) << "off first " << date.toString(Qt::ISODate).toStdString();
        if (switchedOn >= 0)
            periods[date].push_back({switchedOn, minute});
        switchedOn = -1;
    }
    EXPECT_EQ(switchedOn, -1);
    return periods;
}

bool Inside(const std::pair<int, int> &period, const std::optional<TimeWindow> &window)
{
    return window && window->first <= period.first && period.second <= window->last;
}

TEST(PresenceSimulation, LinesFireOnlyInsideTheWindowsOnEveryDayWithinTheOnTimes)
{
    // One dimmer with many switch-ons in a tight morning, and three kinds of function in the
    // evening: both fill most of the 100 lines.
    SimulationRequest busy = RequestFor({LoungeDimmer});
    busy.morning = TimeWindow::of(QTime(6, 30), QTime(8, 0));
    busy.switchings = 3;
    busy.minOnMinutes = 15;
    busy.maxOnMinutes = 40;
    SimulationRequest several = RequestFor({HallLight, LoungeDimmer, FrontBlind}, 4711);
    several.switchings = 2;

    for (const SimulationRequest &request : {busy, several}) {
        ClockTable table = EmptyTable();
        table.Lines[0] = WeeklyLine(clock::Continue, 7, FunctionType::Relay, 9, 255);
        const PresenceSimulation plan = Plan(table, request);
        ASSERT_EQ(plan.status, SimulationStatus::Planned);
        EXPECT_EQ(plan.firstMonday, QDate(2026, 12, 14));
        const int windows = request.morning ? 2 : 1;
        const int needed = int(request.functions.size()) * 7 * windows * request.switchings * 2;
        EXPECT_EQ(Counts(plan.budget), (std::array{100, 1, 99, needed}));
        EXPECT_EQ(std::tuple(plan.lines.size(), plan.added.size()), std::tuple(needed, needed));
        EXPECT_FALSE(plan.added.contains(0));
        for (const ClockLine &line : plan.lines)
            EXPECT_EQ((std::tuple<int, int, int>(line.Table, line.RepeatUnit, line.RepeatCount)),
                      std::tuple(clock::Simulation, clock::Weeks, 1));

        const ClockTable applied = Applied(table, plan);
        EXPECT_TRUE(applied.TableChanged && applied.Lines[0] == table.Lines[0]);
        // The lines fire from the current week on, and the same every week.
        const QDate monday(2026, 12, 7);
        for (const SimulatedFunction &function : request.functions) {
            const Periods fired = FiredPeriods(applied, function, monday, monday.addDays(20));
            QSet<QList<std::pair<int, int>>> differentDays;
            for (int day = 0; day < 21; ++day) {
                const QDate date = monday.addDays(day);
                const QList<std::pair<int, int>> periods = fired.value(date);
                SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
                ASSERT_EQ(periods.size(), windows * request.switchings);
                EXPECT_EQ(periods, fired.value(date.addDays(day < 7 ? 7 : -7)));
                differentDays.insert(periods);
                for (qsizetype i = 0; i < periods.size(); ++i) {
                    const auto &[on, off] = periods[i];
                    EXPECT_TRUE(Inside(periods[i], request.morning) ||
                                Inside(periods[i], request.evening));
                    EXPECT_TRUE(request.minOnMinutes <= off - on &&
                                off - on <= request.maxOnMinutes);
                    EXPECT_TRUE(i == 0 || on > periods[i - 1].second);
                }
            }
            // Times differ from weekday to weekday.
            EXPECT_EQ(differentDays.size(), 7);
        }
    }
}

TEST(PresenceSimulation, TheSeedAloneDecidesTheTimes)
{
    SimulationRequest request = RequestFor({HallLight}, 20261208);
    const PresenceSimulation plan = Plan(EmptyTable(), request);
    ASSERT_EQ(plan.status, SimulationStatus::Planned);
    QStringList times;
    for (const ClockLine &line : plan.lines)
        times << QStringLiteral("%1 %2:%3 %4")
                     .arg(line.Day)
                     .arg(line.Hour, 2, 10, QLatin1Char('0'))
                     .arg(line.Minute, 2, 10, QLatin1Char('0'))
                     .arg(line.Level == HallLight.on ? "on" : "off");
    // Worked out apart from this code, with a Mersenne Twister written from its definition:
    // any standard library on any platform gives these.
    EXPECT_EQ(times.join(u',').toStdString(),
              "14 18:52 on,14 20:07 off,15 20:28 on,15 21:10 off,16 22:33 on,16 23:18 off,"
              "17 19:07 on,17 20:29 off,18 22:35 on,18 23:08 off,19 22:10 on,19 23:13 off,"
              "20 22:27 on,20 23:07 off");

    EXPECT_EQ(Plan(EmptyTable(), request).lines, plan.lines);
    request.seed += 1;
    EXPECT_NE(Plan(EmptyTable(), request).lines, plan.lines);
}

TEST(PresenceSimulation, PlanningAgainReplacesTheEarlierSetAndKeepsEveryOtherLine)
{
    ClockTable table = EmptyTable();
    // The user's own lines: a daily light, a Simulation line of a function not chosen, and a
    // Simulation line of a chosen one at a level the simulation does not use.
    table.Lines[0] = WeeklyLine(clock::Continue, 7, FunctionType::Relay, 9, 255);
    table.Lines[1] = WeeklyLine(clock::Simulation, 20, FunctionType::Relay, 4, 255);
    table.Lines[2] = WeeklyLine(clock::Simulation, 21, FunctionType::Dimmer, 2, 127);
    const ClockTable own = table;
    SimulationRequest request = RequestFor({HallLight, LoungeDimmer});
    request.switchings = 2;

    const PresenceSimulation first = Plan(table, request);
    EXPECT_TRUE(first.planned() && first.replaced.isEmpty());
    table = Applied(table, first);

    SimulationRequest again = request;
    again.seed = 28;
    const PresenceSimulation second = Plan(table, again);
    ASSERT_EQ(second.status, SimulationStatus::Planned);
    EXPECT_EQ(second.replaced, first.added);
    // The earlier set is freed first: the lines fit although only 100 - 3 - 56 are free.
    EXPECT_EQ(Counts(second.budget), (std::array{100, 3, 97, 56}));
    const ClockTable replanned = Applied(table, second);
    EXPECT_TRUE(std::equal(own.Lines.begin(), own.Lines.begin() + 3, replanned.Lines.begin()));
    QList<ClockLine> written;
    for (const int index : second.added)
        written.push_back(replanned.Lines[std::size_t(index)]);
    EXPECT_EQ(written, second.lines);
    EXPECT_EQ(std::ranges::count_if(replanned.Lines, &ClockLine::inUse), 3 + 56);
}

TEST(PresenceSimulation, AFullTableIsRefusedWithWhatItNeeds)
{
    // 28 lines for one function in the evening with two switch-ons; 50 usable, 23 in use.
    ClockTable table = EmptyTable(50);
    for (int i = 0; i < 23; ++i)
        table.Lines[std::size_t(i)] = WeeklyLine(clock::Continue, i, FunctionType::Relay, 9, 255);
    SimulationRequest request = RequestFor({HallLight});
    request.switchings = 2;

    const PresenceSimulation refused = Plan(table, request);
    EXPECT_EQ(std::tuple(refused.status, refused.budget.free, refused.budget.needed),
              std::tuple(SimulationStatus::DoesNotFit, 27, 28));
    EXPECT_TRUE(refused.lines.isEmpty() && refused.added.isEmpty());

    // One line more and it fits exactly.
    table.Lines[22] = {};
    const PresenceSimulation fits = Plan(table, request);
    EXPECT_EQ(std::tuple(fits.status, fits.budget.free, fits.added.size()),
              std::tuple(SimulationStatus::Planned, 28, 28));
}

TEST(PresenceSimulation, RequestsThatCannotBeMetAreRefusedWithTheirReason)
{
    const SimulationRequest good = RequestFor({HallLight, FrontBlind});
    struct Case {
        const char *what;
        std::function<void(SimulationRequest &)> change;
        SimulationStatus status;
        int function = -1;
        SimulationWindow window = SimulationWindow::Evening;
    };
    const QList<Case> cases{
        {"no function", [](auto &r) { r.functions.clear(); }, SimulationStatus::NoFunction},
        {"not in the project",
         [](auto &r) { r.functions.push_back(*ProposedFunction(FunctionType::Relay, 40)); },
         SimulationStatus::FunctionNotListed, 2},
        {"chosen twice", [](auto &r) { r.functions.push_back(HallLight); },
         SimulationStatus::FunctionTwice, 0},
        {"on is off", [](auto &r) { r.functions[1].on = r.functions[1].off; },
         SimulationStatus::LevelsAlike, 1},
        {"evening backwards",
         [](auto &r) { r.evening = TimeWindow::of(QTime(23, 0), QTime(18, 0)); },
         SimulationStatus::WindowRefused},
        {"morning of no length",
         [](auto &r) { r.morning = TimeWindow::of(QTime(7, 0), QTime(7, 0)); },
         SimulationStatus::WindowRefused, -1, SimulationWindow::Morning},
        {"windows overlap",
         [](auto &r) { r.morning = TimeWindow::of(QTime(6, 0), QTime(18, 0)); },
         SimulationStatus::WindowsOverlap},
        {"minimum above maximum", [](auto &r) { r.minOnMinutes = 91; },
         SimulationStatus::OnTimeRefused},
        {"no on-time", [](auto &r) { r.minOnMinutes = 0; }, SimulationStatus::OnTimeRefused},
        {"no switch-on", [](auto &r) { r.switchings = 0; }, SimulationStatus::SwitchingsRefused},
        // 3 x 30 minutes a minute apart need 92 minutes; 06:30-08:01 has 91.
        {"morning too short",
         [](auto &r) {
             r.morning = TimeWindow::of(QTime(6, 30), QTime(8, 1));
             r.switchings = 3;
             r.minOnMinutes = 30;
         },
         SimulationStatus::WindowTooShort, -1, SimulationWindow::Morning},
        {"huge counts", [](auto &r) { r.switchings = 1 << 30; },
         SimulationStatus::WindowTooShort},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SimulationRequest request = good;
        c.change(request);
        const PresenceSimulation plan = Plan(EmptyTable(), request);
        EXPECT_EQ(plan.status, c.status);
        EXPECT_EQ(plan.refusedFunction, c.function);
        EXPECT_EQ(plan.refusedWindow, c.window);
        EXPECT_TRUE(plan.lines.isEmpty());
    }
    // A minute more and the three switch-ons just fit.
    SimulationRequest tight = good;
    tight.morning = TimeWindow::of(QTime(6, 30), QTime(8, 2));
    tight.switchings = 3;
    tight.minOnMinutes = tight.maxOnMinutes = 30;
    tight.functions = {HallLight};
    EXPECT_EQ(Plan(EmptyTable(), tight).status, SimulationStatus::Planned);

    // Only lights and blinds are offered, with levels that switch them.
    EXPECT_FALSE(ProposedFunction(FunctionType::Regime, 3));
    EXPECT_FALSE(ProposedFunction(FunctionType::Motor, 1));
    EXPECT_EQ((std::array<int, 4>{HallLight.on, HallLight.off, FrontBlind.on, FrontBlind.off}),
              (std::array{255, 0, 0, 255})); // a blind is "on" when down
}

} // namespace
} // namespace quintara::plan
