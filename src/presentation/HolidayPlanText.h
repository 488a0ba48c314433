#pragma once

#include "plan/HolidayPlan.h"

#include <QString>

#include <functional>

namespace quintara::ui {

// The days of a period as a user reads them: "2027-12-25..2027-12-26 Christmas Day, Second Day
// of Christmas".
QString PeriodText(const plan::DayOffPeriod &period);
// Why there is no plan; a period that does not fit is described by `describe`.
QString PlanRefusalText(const plan::HolidayPlan &plan, const QList<plan::Vacation> &vacations,
                        const std::function<QString(const plan::DayOffPeriod &)> &describe);
// "lines: 39 kept, 61 free, 54 planned, 100 usable"
QString PlanBudgetText(const plan::LineBudget &budget);
// How far the plan reaches, and that it must be made again before then.
QString PlanReachText(const plan::HolidayPlan &plan);

} // namespace quintara::ui
