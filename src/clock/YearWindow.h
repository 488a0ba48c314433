#pragma once

#include <QDateTime>

namespace quintara::clock {

// How a stored two-digit year is read: as the year with that remainder among the hundred years
// from the current year - 50 to the current year + 49 (1976..2075 in 2026). The window moves on
// with the calendar while the stored byte never changes, so the unit's tables and older files keep
// their meaning: 0..29 are 2000..2029 and 76..99 are 1976..1999 for decades to come.
class YearWindow {
public:
    explicit constexpr YearWindow(int currentYear) : m_first(currentYear - 50) {}
    static YearWindow around(QDate today) { return YearWindow(today.year()); }
    static YearWindow around(const QDateTime &now) { return around(now.date()); }

    constexpr int firstYear() const { return m_first; }
    constexpr int lastYear() const { return m_first + 99; }
    // The full year of a stored year byte; -1 above 99.
    constexpr int fullYear(int twoDigitYear) const
    {
        if (twoDigitYear < 0 || twoDigitYear > 99)
            return -1;
        return m_first + ((twoDigitYear - m_first) % 100 + 100) % 100;
    }
    // Whether a date stored now reads back as itself.
    bool holds(QDate date) const
    {
        return date.isValid() && date.year() >= firstYear() && date.year() <= lastYear();
    }

    friend constexpr bool operator==(const YearWindow &, const YearWindow &) = default;

private:
    int m_first;
};

} // namespace quintara::clock
