#pragma once

#include <QDate>
#include <QTimeZone>

#include <vector>

namespace quintara::plan {
class Location;
}

namespace quintara::ui {

// A stretch of a day row of the week view in which the sun is down, on the logical canvas:
// from fromX to toX on the row's band.
struct WeekNight {
    int row = 0; // 0 = Monday
    double fromX = 0;
    double toX = 0;

    friend bool operator==(const WeekNight &, const WeekNight &) = default;
};

// The nights of the week that begins on `monday` at the location, in the zone's wall time:
// before each day's sunrise and after its sunset; the whole row on a day the sun stays below
// the horizon, nothing on one it stays above. A sunset after midnight darkens the next
// morning only from that moment on.
std::vector<WeekNight> WeekNights(const plan::Location &location, QDate monday,
                                  const QTimeZone &zone);

} // namespace quintara::ui
