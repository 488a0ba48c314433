#include "presentation/SimulationPlanText.h"

#include "clock/ClockTable.h"

#include <QLocale>
#include <QTime>

namespace quintara::ui {

namespace {

QString MinuteText(int minuteOfDay)
{
    return QTime(minuteOfDay / 60, minuteOfDay % 60).toString(QStringLiteral("HH:mm"));
}

QString FunctionName(const plan::SimulationRequest &request, int index)
{
    const plan::SimulatedFunction function = request.functions.value(index);
    return QStringLiteral("%1:%2").arg(function.type).arg(function.number);
}

QString WindowName(plan::SimulationWindow window)
{
    return window == plan::SimulationWindow::Morning ? QStringLiteral("morning")
                                                     : QStringLiteral("evening");
}

} // namespace

QString WindowText(const plan::TimeWindow &window)
{
    return MinuteText(window.first) + u'-' + MinuteText(window.last);
}

QString SimulationRefusalText(const plan::PresenceSimulation &plan,
                              const plan::SimulationRequest &request)
{
    using Status = plan::SimulationStatus;
    const plan::TimeWindow window = plan.refusedWindow == plan::SimulationWindow::Morning
                                        ? request.morning.value_or(plan::TimeWindow{})
                                        : request.evening;
    switch (plan.status) {
    case Status::NoFunction:
        return QStringLiteral("choose at least one light or blind to switch");
    case Status::FunctionNotListed:
        return QStringLiteral("the project has no function %1")
            .arg(FunctionName(request, plan.refusedFunction));
    case Status::FunctionTwice:
        return QStringLiteral("function %1 is chosen twice")
            .arg(FunctionName(request, plan.refusedFunction));
    case Status::LevelsAlike:
        return QStringLiteral("function %1 would be switched on and off at the same level")
            .arg(FunctionName(request, plan.refusedFunction));
    case Status::WindowRefused:
        return QStringLiteral("the %1 must end after it begins, on the same day")
            .arg(WindowName(plan.refusedWindow));
    case Status::WindowsOverlap:
        return QStringLiteral("the morning %1 and the evening %2 overlap")
            .arg(WindowText(request.morning.value_or(plan::TimeWindow{})),
                 WindowText(request.evening));
    case Status::OnTimeRefused:
        return QStringLiteral("the on-time must be at least 1 minute, its minimum (%1) no more "
                              "than its maximum (%2)")
            .arg(request.minOnMinutes)
            .arg(request.maxOnMinutes);
    case Status::SwitchingsRefused:
        return QStringLiteral("switch on at least once in each window");
    case Status::WindowTooShort:
        return QStringLiteral("the %1 %2 has %3 minutes; %4 switch-ons of at least %5 minutes, "
                              "a minute apart, need more")
            .arg(WindowName(plan.refusedWindow), WindowText(window))
            .arg(window.minutes())
            .arg(request.switchings)
            .arg(request.minOnMinutes);
    case Status::DoesNotFit:
        return QStringLiteral("the simulation needs %1 lines and %2 of %3 are free; nothing "
                              "changed. Choose fewer functions, switch-ons or windows.")
            .arg(plan.budget.needed)
            .arg(plan.budget.free)
            .arg(plan.budget.usable);
    case Status::Planned:
        break;
    }
    return {};
}

QString SimulationLineText(int index, const clock::ClockLine &line, clock::YearWindow years,
                           const QString &levelText, const QString &functionText)
{
    const QDate date = clock::ReferenceDate(line, years);
    return QStringLiteral("line %1: %2 %3:%4 every week  %5 %6")
        .arg(index)
        .arg(QLocale::c().dayName(date.dayOfWeek(), QLocale::ShortFormat))
        .arg(line.Hour, 2, 10, QLatin1Char('0'))
        .arg(line.Minute, 2, 10, QLatin1Char('0'))
        .arg(levelText, functionText);
}

QString LineIndexesText(const QList<int> &indexes)
{
    QStringList texts;
    for (const int index : indexes)
        texts.append(QString::number(index));
    return texts.join(u' ');
}

QString SimulationNoteText(const plan::PresenceSimulation &plan)
{
    return QStringLiteral("Simulation-table lines from %1, every week; they switch while the "
                          "regime is Presence simulation. Seed %2 makes them again.")
        .arg(plan.firstMonday.toString(Qt::ISODate))
        .arg(plan.seed);
}

} // namespace quintara::ui
