#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "presentation/HolidayPlanText.h"
#include "presentation/SimulationPlanText.h"

#include <cstdio>

namespace quintara::cli {

namespace {

void Complain(const QString &text)
{
    std::fprintf(stderr, "quintara-cli: %s\n", qUtf8Printable(text));
}

// A period as a refusal names it, with what leaves it out.
QString PeriodWithKeys(const plan::DayOffPeriod &period)
{
    return QStringLiteral("%1 (--leave-out %2)")
        .arg(ui::PeriodText(period), period.keys.join(QStringLiteral(" --leave-out ")));
}

QJsonObject BudgetJson(const plan::LineBudget &budget)
{
    return {{QStringLiteral("used"), budget.used},
            {QStringLiteral("free"), budget.free},
            {QStringLiteral("needed"), budget.needed},
            {QStringLiteral("usable"), budget.usable}};
}

QJsonArray Numbers(const QList<int> &numbers)
{
    QJsonArray array;
    for (const int number : numbers)
        array.append(number);
    return array;
}

// The days off the calendar files add to the request, and the entries they skipped; false when
// one could not be read (said on standard error).
bool AddCalendars(plan::HolidayPlanRequest &request, const QStringList &files,
                  const plan::HolidayYears &years, bool json, QJsonArray &skipped)
{
    for (const QString &file : files) {
        const plan::IcsCalendar calendar = plan::ReadIcsFile(file, years.first, years.last);
        if (!calendar.read()) {
            for (const platform::Notice &notice : calendar.notices)
                Complain(notice.text);
            return false;
        }
        request.calendarDays += calendar.days;
        for (const QString &entry : calendar.skipped) {
            skipped.append(QJsonObject{{QStringLiteral("file"), file},
                                       {QStringLiteral("entry"), entry}});
            if (!json)
                Complain(QStringLiteral("%1: skipped %2").arg(file, entry));
        }
    }
    return true;
}

// Why the holidays were not planned, and in the machine form what did not fit.
void RefusedPlan(const plan::HolidayPlan &plan, const PlanOptions &options,
                 const OutputOptions &output, QTextStream &out)
{
    Complain(ui::PlanRefusalText(plan, options.vacations, PeriodWithKeys));
    if (!output.json || plan.status != plan::HolidayPlanStatus::DoesNotFit)
        return;
    QJsonArray notFitting;
    for (const plan::DayOffPeriod &period : plan.notFitting)
        notFitting.append(QJsonObject{
            {QStringLiteral("first"), period.first.toString(Qt::ISODate)},
            {QStringLiteral("last"), period.last.toString(Qt::ISODate)},
            {QStringLiteral("names"), QJsonArray::fromStringList(period.names)},
            {QStringLiteral("keys"), QJsonArray::fromStringList(period.keys)}});
    WriteJson(out, {{QStringLiteral("budget"), BudgetJson(plan.budget)},
                    {QStringLiteral("notFitting"), notFitting}});
}

// The planned table written to `file`; whether it was (why not is told).
bool WritePlanned(Session &session, const QString &file)
{
    clock::ClockTable &table = session.clockTable();
    table.ClockFileName = file;
    const clock::ClockFileResult written = clock::WriteClockFile(table, session.strings());
    if (!written.done()) {
        session.prompter().tell(written.notices);
        return false;
    }
    return true;
}

// The lines the holiday plan added, one a line as people read them.
void PrintAddedHolidays(Session &session, const plan::HolidayPlan &plan,
                        const platform::Clock &clock, QTextStream &out)
{
    const clock::ClockTable &table = session.clockTable();
    const clock::YearWindow window = clock::YearWindow::around(clock.now());
    for (const int index : plan.added) {
        const clock::ClockLine &line = table.Lines[std::size_t(index)];
        out << QStringLiteral("added line %1: %2 %3:%4 %5  %6\n")
                   .arg(index)
                   .arg(clock::ReferenceDate(line, window).toString(Qt::ISODate))
                   .arg(line.Hour, 2, 10, QLatin1Char('0'))
                   .arg(line.Minute, 2, 10, QLatin1Char('0'))
                   .arg(line.RepeatUnit == clock::Once ? QStringLiteral("once  ")
                                                       : QStringLiteral("yearly"))
                   .arg(session.functionText(line));
    }
}

} // namespace

int RunPlanHolidays(Session &session, const QString &clockFile, const PlanOptions &options,
                    int language, const platform::Clock &clock, const OutputOptions &output,
                    QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    const plan::HolidayYears years = plan::PlanYears(clock.now());

    plan::HolidayPlanRequest request;
    request.country = options.country;
    request.language = language;
    request.vacations = options.vacations;
    request.keepEarlierVacations = options.keepEarlierVacations;
    request.holidayRegime = options.regime;
    request.leaveOut = options.leaveOut;
    request.listedFunctions = session.presenter().ListedFunctions();
    QJsonArray skipped;
    if (!AddCalendars(request, options.icsFiles, years, output.json, skipped))
        return ExitFailed;

    const plan::HolidayPlan plan = plan::PlanHolidays(session.clockTable(), request, clock);
    if (!plan.planned()) {
        RefusedPlan(plan, options, output, out);
        return ExitFailed;
    }
    plan::ApplyHolidayPlan(session.clockTable(), plan);
    if (!WritePlanned(session, options.output))
        return ExitFailed;

    const QString reach = plan.reachesUntil.toString(Qt::ISODate);
    if (output.json) {
        WriteJson(out, {{QStringLiteral("added"), Numbers(plan.added)},
                        {QStringLiteral("replaced"), Numbers(plan.replaced)},
                        {QStringLiteral("budget"), BudgetJson(plan.budget)},
                        {QStringLiteral("reachesUntil"),
                         reach.isEmpty() ? QJsonValue() : QJsonValue(reach)},
                        {QStringLiteral("yearsAhead"), plan.yearsAhead},
                        {QStringLiteral("skipped"), skipped}});
        return ExitOk;
    }
    PrintAddedHolidays(session, plan, clock, out);
    if (!plan.replaced.isEmpty())
        out << "replaced lines: " << ui::LineIndexesText(plan.replaced) << '\n';
    out << ui::PlanBudgetText(plan.budget) << '\n' << ui::PlanReachText(plan) << '\n';
    out << "wrote " << options.output << '\n';
    return ExitOk;
}

int RunPlanSimulation(Session &session, const QString &clockFile,
                      const SimulationOptions &options, const platform::Clock &clock,
                      const OutputOptions &output, QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    plan::SimulationRequest request;
    for (const auto &[type, number] : options.functions) {
        if (const std::optional<plan::SimulatedFunction> function =
                plan::ProposedFunction(type, number))
            request.functions.append(*function);
    }
    request.evening = options.evening;
    request.morning = options.morning;
    request.switchings = options.switchings;
    request.minOnMinutes = options.minOnMinutes;
    request.maxOnMinutes = options.maxOnMinutes;
    request.seed = options.seed.value_or(plan::NewSeed());
    request.listedFunctions = session.presenter().ListedFunctions();

    const plan::PresenceSimulation plan =
        plan::PlanPresenceSimulation(session.clockTable(), request, clock);
    if (!plan.planned()) {
        Complain(ui::SimulationRefusalText(plan, request));
        if (output.json && plan.status == plan::SimulationStatus::DoesNotFit)
            WriteJson(out, {{QStringLiteral("seed"), qint64(plan.seed)},
                            {QStringLiteral("budget"), BudgetJson(plan.budget)}});
        return ExitFailed;
    }

    clock::ClockTable &table = session.clockTable();
    plan::ApplyPresenceSimulation(table, plan);
    if (!WritePlanned(session, options.output))
        return ExitFailed;

    if (output.json) {
        WriteJson(out, {{QStringLiteral("seed"), qint64(plan.seed)},
                        {QStringLiteral("firstMonday"), plan.firstMonday.toString(Qt::ISODate)},
                        {QStringLiteral("added"), Numbers(plan.added)},
                        {QStringLiteral("replaced"), Numbers(plan.replaced)},
                        {QStringLiteral("budget"), BudgetJson(plan.budget)}});
        return ExitOk;
    }
    out << "seed " << plan.seed << '\n';
    const clock::YearWindow years = clock::YearWindow::around(clock.now());
    for (const int index : plan.added) {
        const clock::ClockLine &line = table.Lines[std::size_t(index)];
        out << "added " << ui::SimulationLineText(index, line, years, session.levelText(line),
                                                  session.functionText(line))
            << '\n';
    }
    if (!plan.replaced.isEmpty())
        out << "replaced lines: " << ui::LineIndexesText(plan.replaced) << '\n';
    out << ui::PlanBudgetText(plan.budget) << '\n' << ui::SimulationNoteText(plan) << '\n';
    out << "wrote " << options.output << '\n';
    return ExitOk;
}

} // namespace quintara::cli
