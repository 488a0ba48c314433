#pragma once

#include "clock/YearWindow.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <variant>

namespace quintara::plan {

// The countries whose national public holidays are built in (GB: England and Wales).
enum class Country { NL, BE, LU, DE, AT, CH, FR, GB, IE, ES, IT, PT };

inline constexpr int CountryCount = 12;

// "NL", "gb", ...; nothing for a code not built in.
std::optional<Country> CountryFromCode(QStringView code);
QString CountryCode(Country country);
QList<Country> AllCountries();

struct Holiday {
    QDate date;
    // Stable across languages and years ("easterMonday"); a day off in place of one that fell
    // on a weekend carries the key of that holiday.
    QString key;
    QString name;
    // Its rule gives the same day and month in every year it applies, never moved: a yearly
    // line serves it for ever.
    bool sameDateEveryYear = false;
    // The weekday off given in place of a holiday on a weekend.
    bool substitute = false;

    bool operator==(const Holiday &) const = default;
};

// The years the calendars answer for: from 2000 (the rules are kept from there) to the last
// year the central unit's two-digit years hold in `years`.
struct HolidayYears {
    int first = 0;
    int last = 0;
};
HolidayYears SupportedYears(clock::YearWindow years);

// Why a range of years was refused.
enum class YearsRefused { Reversed, OutsideSupported };

struct YearsRefusal {
    YearsRefused reason = YearsRefused::Reversed;
    HolidayYears supported;
};

using HolidaysOutcome = std::variant<QList<Holiday>, YearsRefusal>;

// The country's national public holidays from 1 January of fromYear through 31 December of
// toYear, in date order, named in `language` (0..6 as the program's languages, English where a
// name is not known in it). Refused when toYear < fromYear or either lies beyond SupportedYears.
HolidaysOutcome PublicHolidays(Country country, int fromYear, int toYear, int language,
                               clock::YearWindow years);

// Easter Sunday of a Gregorian year.
QDate EasterSunday(int year);

} // namespace quintara::plan
