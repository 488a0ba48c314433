#include "presentation/WeekNights.h"

#include "plan/Sun.h"
#include "presentation/WeekGeometry.h"

namespace quintara::ui {

namespace {

constexpr double MidnightX = OccurrenceX(0, 0);
constexpr double EndOfDayX = OccurrenceX(24, 0);

// Where a moment stands on the row of `date`, to the second.
double XOf(const QDateTime &moment)
{
    const QTime time = moment.time();
    return OccurrenceX(time.hour(), time.minute()) + time.second() / 180.0;
}

} // namespace

std::vector<WeekNight> WeekNights(const plan::Location &location, QDate monday,
                                  const QTimeZone &zone)
{
    std::vector<WeekNight> nights;
    plan::SunDay before = plan::SunTimes(location, monday.addDays(-1), zone);
    for (int row = 0; row < 7; ++row) {
        const QDate date = monday.addDays(row);
        const plan::SunDay day = plan::SunTimes(location, date, zone);
        if (!day.sunrise && !day.sunset) {
            if (day.daylight == plan::AllDay::Below)
                nights.push_back({row, MidnightX, EndOfDayX});
        } else {
            if (day.sunrise && day.sunrise->date() == date) {
                const bool lateSunset = before.sunset && before.sunset->date() == date;
                const double from = lateSunset ? XOf(*before.sunset) : MidnightX;
                const double to = XOf(*day.sunrise);
                if (to > from)
                    nights.push_back({row, from, to});
            }
            if (day.sunset && day.sunset->date() == date)
                nights.push_back({row, XOf(*day.sunset), EndOfDayX});
        }
        before = day;
    }
    return nights;
}

} // namespace quintara::ui
