#include "plan/Holidays.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quintara::plan {
namespace {

constexpr clock::YearWindow Years2026{2026};
constexpr int English = 0;
constexpr int Dutch = 1;
constexpr int German = 3;
constexpr int Italian = 5;

QList<Holiday> HolidaysOf(Country country, int fromYear, int toYear, int language = English,
                          clock::YearWindow years = Years2026)
{
    const HolidaysOutcome outcome = PublicHolidays(country, fromYear, toYear, language, years);
    if (std::holds_alternative<YearsRefusal>(outcome)) {
        ADD_FAILURE() << "refused " << fromYear << ".." << toYear;
        return {};
    }
    return std::get<QList<Holiday>>(outcome);
}

// The year's holidays as "MM-DD", in the order given.
std::string DaysOf(Country country, int year)
{
    QStringList days;
    for (const Holiday &holiday : HolidaysOf(country, year, year))
        days.append(holiday.date.toString(QStringLiteral("MM-dd")));
    return days.join(u' ').toStdString();
}

std::optional<Holiday> Find(const QList<Holiday> &holidays, QDate date)
{
    for (const Holiday &holiday : holidays) {
        if (holiday.date == date)
            return holiday;
    }
    return std::nullopt;
}

TEST(HolidaysTest, EasterSundayMatchesThePublishedDates)
{
    const QDate published[] = {
        {2000, 4, 23}, {2001, 4, 15}, {2002, 3, 31}, {2003, 4, 20}, {2004, 4, 11}, {2005, 3, 27},
        {2006, 4, 16}, {2007, 4, 8},  {2008, 3, 23}, {2009, 4, 12}, {2010, 4, 4},  {2011, 4, 24},
        {2012, 4, 8},  {2013, 3, 31}, {2014, 4, 20}, {2015, 4, 5},  {2016, 3, 27}, {2017, 4, 16},
        {2018, 4, 1},  {2019, 4, 21}, {2020, 4, 12}, {2021, 4, 4},  {2022, 4, 17}, {2023, 4, 9},
        {2024, 3, 31}, {2025, 4, 20}, {2026, 4, 5},  {2027, 3, 28}, {2028, 4, 16}, {2029, 4, 1},
        {2030, 4, 21}, {2035, 3, 25}, {2038, 4, 25}, {2049, 4, 18}, {2054, 3, 29}, {2057, 4, 22},
        {2058, 4, 14}, {2075, 4, 7},
    };
    for (const QDate &easter : published)
        EXPECT_EQ(EasterSunday(easter.year()), easter) << easter.year();
}

// Whole years, counted by hand from each country's rules.
TEST(HolidaysTest, EachCountrysYearHoldsItsHolidaysInDateOrder)
{
    const QList<std::tuple<Country, int, const char *>> cases{
        // 2025: Easter 20 April; King's Day on Saturday 26 April; a Liberation Day lustrum.
        {Country::NL, 2025, "01-01 04-20 04-21 04-26 05-05 05-29 06-08 06-09 12-25 12-26"},
        {Country::BE, 2025,
         "01-01 04-20 04-21 05-01 05-29 06-08 06-09 07-21 08-15 11-01 11-11 12-25"},
        {Country::LU, 2025, "01-01 04-21 05-01 05-09 05-29 06-09 06-23 08-15 11-01 12-25 12-26"},
        {Country::DE, 2025, "01-01 04-18 04-21 05-01 05-29 06-09 10-03 12-25 12-26"},
        {Country::AT, 2025,
         "01-01 01-06 04-21 05-01 05-29 06-09 06-19 08-15 10-26 11-01 12-08 12-25 12-26"},
        {Country::CH, 2025, "01-01 05-29 08-01 12-25"},
        {Country::FR, 2025, "01-01 04-21 05-01 05-08 05-29 06-09 07-14 08-15 11-01 11-11 12-25"},
        {Country::GB, 2025, "01-01 04-18 04-21 05-05 05-26 08-25 12-25 12-26"},
        {Country::IE, 2025, "01-01 02-03 03-17 04-21 05-05 06-02 08-04 10-27 12-25 12-26"},
        {Country::ES, 2025, "01-01 01-06 04-18 05-01 08-15 10-12 11-01 12-06 12-08 12-25"},
        {Country::IT, 2025,
         "01-01 01-06 04-20 04-21 04-25 05-01 06-02 08-15 11-01 12-08 12-25 12-26"},
        {Country::PT, 2025,
         "01-01 04-18 04-20 04-25 05-01 06-10 06-19 08-15 10-05 11-01 12-01 12-08 12-25"},
        // Queen's Day on a Sunday was kept on the Saturday; no Liberation Day off.
        {Country::NL, 2006, "01-01 04-16 04-17 04-29 05-25 06-04 06-05 12-25 12-26"},
        // King's Day on a Sunday is kept on the Saturday before.
        {Country::NL, 2014, "01-01 04-20 04-21 04-26 05-29 06-08 06-09 12-25 12-26"},
        // 2022: New Year on Saturday, the spring holiday moved for the jubilee, the state
        // funeral, Christmas on Sunday (Boxing Day Monday, the Tuesday in its place).
        {Country::GB, 2022,
         "01-01 01-03 04-15 04-18 05-02 06-02 06-03 08-29 09-19 12-25 12-26 12-27"},
        // 2021: Christmas on Saturday and Boxing Day on Sunday give Monday and Tuesday.
        {Country::GB, 2021, "01-01 04-02 04-05 05-03 05-31 08-30 12-25 12-26 12-27 12-28"},
        // 2020: the early May holiday on the Friday of the VE Day anniversary.
        {Country::GB, 2020, "01-01 04-10 04-13 05-08 05-25 08-31 12-25 12-26 12-28"},
        {Country::GB, 2023, "01-01 01-02 04-07 04-10 05-01 05-08 05-29 08-28 12-25 12-26"},
        // The one day of remembrance; Christmas on Sunday.
        {Country::IE, 2022,
         "01-01 01-03 03-17 03-18 04-18 05-02 06-06 08-01 10-31 12-25 12-26 12-27"},
        // St Brigid's Day from 2023; St Patrick's Day on a Sunday gives the Monday.
        {Country::IE, 2024, "01-01 02-05 03-17 03-18 04-01 05-06 06-03 08-05 10-28 12-25 12-26"},
        // 1 February on a Friday is the day itself.
        {Country::IE, 2030, "01-01 02-01 03-17 03-18 04-22 05-06 06-03 08-05 10-28 12-25 12-26"},
        {Country::DE, 2017, "01-01 04-14 04-17 05-01 05-25 06-05 10-03 10-31 12-25 12-26"},
        // Corpus Christi and three fixed days suspended.
        {Country::PT, 2014, "01-01 04-18 04-20 04-25 05-01 06-10 08-15 12-08 12-25"},
        // Easter Monday on Liberation Day: two holidays, one day.
        {Country::IT, 2011,
         "01-01 01-06 03-17 04-24 04-25 04-25 05-01 06-02 08-15 11-01 12-08 12-25 12-26"},
        // St Francis from 2026.
        {Country::IT, 2027,
         "01-01 01-06 03-28 03-29 04-25 05-01 06-02 08-15 10-04 11-01 12-08 12-25 12-26"},
    };
    for (const auto &[country, year, days] : cases)
        EXPECT_EQ(DaysOf(country, year), days) << CountryCode(country).toStdString() << ' ' << year;
}

TEST(HolidaysTest, NamesComeInTheLanguageAskedOrInEnglishAndSubstitutesSaySo)
{
    // Country, day, language; then the key, the name and whether it is a substitute day.
    // clang-format off
    const QList<std::tuple<Country, QDate, int, const char *, const char *, bool>> cases{
        {Country::NL, {2014, 4, 26}, Dutch, "kingsDay", "Koningsdag", false},
        {Country::NL, {2013, 4, 30}, Dutch, "queensDay", "Koninginnedag", false},
        {Country::AT, {2025, 6, 19}, German, "corpusChristi", "Fronleichnam", false},
        {Country::CH, {2025, 8, 1}, Italian, "swissNationalDay", "Festa nazionale svizzera", false},
        // Names known only in English stay English; a language out of range reads as English.
        {Country::GB, {2025, 8, 25}, German, "summerBankHoliday", "Summer bank holiday", false},
        {Country::FR, {2025, 7, 14}, 9, "nationalDay", "National Day", false},
        {Country::GB, {2021, 12, 28}, English, "boxingDay", "Boxing Day (substitute day)", true},
        {Country::IE, {2024, 3, 18}, German, "stPatricksDay", "St. Patrick's Day (Ersatztag)",
         true},
    };
    // clang-format on
    for (const auto &[country, date, language, key, name, substitute] : cases) {
        const std::optional<Holiday> holiday =
            Find(HolidaysOf(country, date.year(), date.year(), language), date);
        ASSERT_TRUE(holiday) << name;
        EXPECT_EQ(std::tuple(holiday->key, holiday->name, holiday->substitute),
                  std::tuple(QString(key), QString(name), substitute));
    }
}

// Only a day that never moves may become a yearly line.
TEST(HolidaysTest, OnlyFixedDaysThatNeverMoveFallOnTheSameDateEveryYear)
{
    const auto same = [](Country country, QDate date) {
        const std::optional<Holiday> holiday =
            Find(HolidaysOf(country, date.year(), date.year()), date);
        EXPECT_TRUE(holiday) << date.toString(Qt::ISODate).toStdString();
        return holiday && holiday->sameDateEveryYear;
    };
    EXPECT_TRUE(same(Country::NL, {2025, 12, 25}));
    EXPECT_TRUE(same(Country::FR, {2025, 7, 14}));
    EXPECT_TRUE(same(Country::IT, {2027, 10, 4}));
    EXPECT_FALSE(same(Country::NL, {2025, 4, 21}));  // Easter Monday
    EXPECT_FALSE(same(Country::NL, {2025, 4, 26}));  // King's Day, moved on a Sunday
    EXPECT_FALSE(same(Country::NL, {2025, 5, 5}));   // Liberation Day, every fifth year
    EXPECT_FALSE(same(Country::GB, {2025, 12, 25})); // substituted on a weekend
    EXPECT_FALSE(same(Country::GB, {2025, 8, 25}));  // last Monday of August
    EXPECT_FALSE(same(Country::DE, {2017, 10, 31})); // once
}

TEST(HolidaysTest, RangesSpanYearsInOrderWithinTheYearsTheUnitHolds)
{
    const QList<Holiday> all = HolidaysOf(Country::GB, 2000, 2075);
    ASSERT_FALSE(all.isEmpty());
    EXPECT_EQ(all.first().date, QDate(2000, 1, 1));
    EXPECT_EQ(all.last().date, QDate(2075, 12, 26));
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                               [](const Holiday &a, const Holiday &b) { return a.date < b.date; }));
    // Around 2050 the unit's years reach 2099.
    EXPECT_EQ(HolidaysOf(Country::CH, 2099, 2099, English, clock::YearWindow(2050)).size(), 4);

    const QList<std::tuple<int, int, clock::YearWindow, YearsRefused>> refused{
        {2026, 2025, Years2026, YearsRefused::Reversed},
        {1999, 2005, Years2026, YearsRefused::OutsideSupported},
        {2070, 2076, Years2026, YearsRefused::OutsideSupported},
        // In 2080 the years before 2030 read as the next century's.
        {2029, 2030, clock::YearWindow(2080), YearsRefused::OutsideSupported},
    };
    for (const auto &[from, to, years, reason] : refused) {
        const HolidaysOutcome outcome = PublicHolidays(Country::NL, from, to, English, years);
        const auto *refusal = std::get_if<YearsRefusal>(&outcome);
        ASSERT_TRUE(refusal) << from << ".." << to;
        EXPECT_EQ(std::tuple(refusal->reason, refusal->supported.first, refusal->supported.last),
                  std::tuple(reason, std::max(2000, years.firstYear()), years.lastYear()));
    }
}

TEST(HolidaysTest, CountriesAreKnownByTheirCodesInEitherCase)
{
    const QList<Country> countries = AllCountries();
    EXPECT_EQ(countries.size(), CountryCount);
    for (Country country : countries) {
        EXPECT_EQ(CountryFromCode(CountryCode(country)), country);
        EXPECT_EQ(CountryFromCode(CountryCode(country).toLower()), country);
        EXPECT_FALSE(HolidaysOf(country, 2030, 2030).isEmpty());
    }
    for (const char *unknown : {"", "UK", "US", "NLD", "N"})
        EXPECT_FALSE(CountryFromCode(QString::fromLatin1(unknown))) << unknown;
}

} // namespace
} // namespace quintara::plan
