#include "presentation/HolidayPlanText.h"

#include <QStringList>

namespace quintara::ui {

QString PeriodText(const plan::DayOffPeriod &period)
{
    const QString days = period.first == period.last
                             ? period.first.toString(Qt::ISODate)
                             : period.first.toString(Qt::ISODate) + QStringLiteral("..") +
                                   period.last.toString(Qt::ISODate);
    // A vacation's name is its own dates.
    return days + u' ' +
           (period.vacation ? QStringLiteral("vacation") : period.names.join(QStringLiteral(", ")));
}

QString PlanRefusalText(const plan::HolidayPlan &plan, const QList<plan::Vacation> &vacations,
                        const std::function<QString(const plan::DayOffPeriod &)> &describe)
{
    switch (plan.status) {
    case plan::HolidayPlanStatus::NoClockFunctions:
        return QStringLiteral("the project has no clock functions (REG): nothing planned");
    case plan::HolidayPlanStatus::RegimeNotListed:
        return QStringLiteral("the project has no clock function for regime %1")
            .arg(plan.refused);
    case plan::HolidayPlanStatus::VacationRefused: {
        const plan::Vacation vacation = vacations.value(plan.refused);
        return QStringLiteral("the vacation %1..%2 lies beyond the years the central unit's "
                              "dates hold")
            .arg(vacation.first.toString(Qt::ISODate), vacation.last.toString(Qt::ISODate));
    }
    case plan::HolidayPlanStatus::DoesNotFit: {
        QStringList lines{
            QStringLiteral("the plan needs %1 lines for one year ahead and %2 of %3 are free; "
                           "nothing changed. These do not fit:")
                .arg(plan.budget.needed)
                .arg(plan.budget.free)
                .arg(plan.budget.usable)};
        for (const plan::DayOffPeriod &period : plan.notFitting)
            lines.append(QStringLiteral("  ") + describe(period));
        return lines.join(QLatin1Char('\n'));
    }
    case plan::HolidayPlanStatus::Planned:
        break;
    }
    return {};
}

QString PlanBudgetText(const plan::LineBudget &budget)
{
    return QStringLiteral("lines: %1 kept, %2 free, %3 planned, %4 usable")
        .arg(budget.used)
        .arg(budget.free)
        .arg(budget.needed)
        .arg(budget.usable);
}

QString PlanReachText(const plan::HolidayPlan &plan)
{
    if (!plan.reachesUntil.isValid())
        return QStringLiteral("every holiday has a yearly line: no need to plan again");
    return QStringLiteral("planned until %1 (%2 years ahead): plan the holidays again before then")
        .arg(plan.reachesUntil.toString(Qt::ISODate))
        .arg(plan.yearsAhead);
}

} // namespace quintara::ui
