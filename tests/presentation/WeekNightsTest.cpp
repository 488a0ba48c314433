// Where the week view shades night, and the sunrise and sunset rows of the agenda.
#include "presentation/WeekNights.h"

#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "plan/Sun.h"
#include "presentation/AgendaModel.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/LineDescriber.h"
#include "presentation/WeekGeometry.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

plan::Location At(double latitude, double longitude)
{
    return std::get<plan::Location>(plan::Location::make(latitude, longitude));
}

QTimeZone Zone(const char *id)
{
    const QTimeZone zone(id);
    EXPECT_TRUE(zone.isValid()) << id;
    return zone;
}

double X(const QDateTime &moment)
{
    const QTime time = moment.time();
    return OccurrenceX(time.hour(), time.minute()) + time.second() / 180.0;
}

const plan::Location Amsterdam = At(52.37, 4.89);
const plan::Location Tromso = At(69.65, 18.96);
constexpr double Midnight = OccurrenceX(0, 0);
constexpr double EndOfDay = OccurrenceX(24, 0);

TEST(WeekNights, BeforeSunriseAndAfterSunsetOfEachDayAndWholeRowsInThePolarNight)
{
    const QTimeZone zone = Zone("Europe/Amsterdam");
    const QDate monday(2026, 12, 14);
    std::vector<WeekNight> expected;
    for (int row = 0; row < 7; ++row) {
        const plan::SunDay day = plan::SunTimes(Amsterdam, monday.addDays(row), zone);
        expected.push_back({row, Midnight, X(*day.sunrise)});
        expected.push_back({row, X(*day.sunset), EndOfDay});
    }
    // When the sun rises and sets is the sun's to test.
    EXPECT_EQ(WeekNights(Amsterdam, monday, zone), expected);

    // Tromsø: the sun stays down all day in December and up all day in June.
    const QTimeZone oslo = Zone("Europe/Oslo");
    std::vector<WeekNight> polarNight;
    for (int row = 0; row < 7; ++row)
        polarNight.push_back({row, Midnight, EndOfDay});
    EXPECT_EQ(WeekNights(Tromso, monday, oslo), polarNight);
    EXPECT_TRUE(WeekNights(Tromso, QDate(2026, 6, 15), oslo).empty());
}

TEST(WeekNights, ASunsetAfterMidnightDarkensTheNextMorningFromThatMomentOn)
{
    // Amsterdam's June sun read on Tokyo's clock sets about 05:00 the next day and rises
    // about noon, so each row is dark from the sunset that belongs to the day before.
    const QTimeZone tokyo = Zone("Asia/Tokyo");
    const QDate monday(2026, 6, 15);
    const std::vector<WeekNight> nights = WeekNights(Amsterdam, monday, tokyo);
    ASSERT_EQ(nights.size(), 7u);
    for (int row = 0; row < 7; ++row) {
        const plan::SunDay before = plan::SunTimes(Amsterdam, monday.addDays(row - 1), tokyo);
        const plan::SunDay day = plan::SunTimes(Amsterdam, monday.addDays(row), tokyo);
        ASSERT_EQ(before.sunset->date(), monday.addDays(row));
        EXPECT_EQ(nights[std::size_t(row)], (WeekNight{row, X(*before.sunset), X(*day.sunrise)}));
    }
}

// A house with a daily line at 08:00 and one at the minute of Tuesday's sunset.
class AgendaSunRows : public ::testing::Test {
protected:
    AgendaSunRows()
    {
        project::NewProject(project, 19200, 0);
        project::SelectModel(project, 0, strings);
        table.MaxClockLines = 50;
        table.Lines[2] = clock::ClockLine::fromBytes(
            {0, 8, 1, 12, 26, clock::Continue, clock::Days, 1, 1, 5, 255, 0, 0});
        const QTime sunset =
            plan::NearestMinute(*plan::SunTimes(Amsterdam, Tuesday, zone).sunset).time();
        table.Lines[7] = clock::ClockLine::fromBytes(
            {quint8(sunset.minute()), quint8(sunset.hour()), 15, 12, 26, clock::Continue,
             clock::Once, 0, 1, 6, 0, 0, 0});
    }

    struct Row {
        QStringList texts;
        QVariant line;
        QVariant tableKind;
        bool sun = false;
        bool operator==(const Row &) const = default;
    };
    std::vector<Row> rows(std::optional<AgendaSun> sun)
    {
        model.setSun(std::move(sun));
        model.fill(now, {1, 1, 1, 1, 1, 0, 0}, Monday, Tuesday);
        std::vector<Row> result;
        for (int r = 0; r < model.rowCount(); ++r) {
            Row row;
            for (int c = 0; c < AgendaModel::ColumnCount; ++c)
                row.texts << model.index(r, c).data().toString();
            row.line = model.index(r, 0).data(AgendaModel::LineRole);
            row.tableKind = model.index(r, 0).data(AgendaModel::TableRole);
            row.sun = model.index(r, 0).data(AgendaModel::SunRole).toBool();
            result.push_back(row);
        }
        return result;
    }

    const QDate Monday{2026, 12, 14};
    const QDate Tuesday{2026, 12, 15};
    const QTimeZone zone = Zone("Europe/Amsterdam");
    const QDateTime now{QDate(2026, 12, 7), QTime(9, 0)};
    settings::Strings strings{settings::StringTable::builtIn()};
    project::ProjectModel project;
    settings::NameTables names = settings::FillNameTables(strings);
    ValueFormatter values{strings, QLocale::c()};
    FunctionPresenter presenter{project, names, strings, values};
    platform::FixedClock clock{now};
    LineDescriber describer{presenter, names, strings, clock};
    clock::ClockTable table;
    AgendaModel model{table, describer};
};

TEST_F(AgendaSunRows, EachDaysSunriseAndSunsetStandAmongTheFiringsWhichStayAsTheyWere)
{
    const std::vector<Row> plain = rows(std::nullopt);
    ASSERT_EQ(plain.size(), 3u);
    const std::vector<Row> withSun = rows(AgendaSun{Amsterdam, zone});
    ASSERT_EQ(withSun.size(), 7u);

    // The firing rows, in their order, with every text and role they had.
    std::vector<Row> firings;
    std::copy_if(withSun.begin(), withSun.end(), std::back_inserter(firings),
                 [](const Row &row) { return !row.sun; });
    EXPECT_TRUE(firings == plain && model.firings().size() == 3u);

    // Monday 08:00, sunrise, sunset; Tuesday 08:00, sunrise, then sunset before the line that
    // fires in its minute. A sun row leads to no line.
    const auto hhmm = [](const std::optional<QDateTime> &event) {
        return plan::NearestMinute(*event).toString(QStringLiteral("HH:mm"));
    };
    const plan::SunDay monday = plan::SunTimes(Amsterdam, Monday, zone);
    const plan::SunDay tuesday = plan::SunTimes(Amsterdam, Tuesday, zone);
    const QStringList times =
        QStringList{"08:00", hhmm(monday.sunrise), hhmm(monday.sunset)} +
        QStringList{"08:00", hhmm(tuesday.sunrise), hhmm(tuesday.sunset), hhmm(tuesday.sunset)};
    for (std::size_t r = 0; r < withSun.size(); ++r) {
        const Row &row = withSun[r];
        const bool sun = r % 3 != 0 && r != 6;
        const QString function = r % 3 == 1 ? QStringLiteral("Sunrise") : QStringLiteral("Sunset");
        EXPECT_EQ(std::tuple(row.texts[AgendaModel::TimeColumn], row.sun, row.line.isValid()),
                  std::tuple(times[qsizetype(r)], sun, !sun))
            << r;
        EXPECT_TRUE(!sun || (row.texts[AgendaModel::FunctionColumn] == function &&
                             row.texts[AgendaModel::DateColumn] ==
                                 withSun[r < 3 ? 0 : 3].texts[AgendaModel::DateColumn]))
            << r;
    }
    EXPECT_EQ(withSun[6].line, 7);
}

// A line's health warnings go with each of its firings as text a screen reader reads and as a
// tooltip; a line without warnings and a sun row carry none.
TEST_F(AgendaSunRows, AFiringCarriesItsLinesWarningsAsText)
{
    model.setWarnings([](int line) {
        return line == 2 ? QStringList{QStringLiteral("Overlaps line 7"), QStringLiteral("Late")}
                         : QStringList();
    });
    rows(AgendaSun{Amsterdam, zone});
    std::vector<std::tuple<QVariant, QVariant, QVariant>> found;
    for (int r = 0; r < model.rowCount(); ++r) {
        const QModelIndex cell = model.index(r, AgendaModel::LevelColumn);
        found.emplace_back(cell.data(AgendaModel::LineRole), cell.data(Qt::AccessibleTextRole),
                           cell.data(Qt::ToolTipRole));
    }
    const std::tuple<QVariant, QVariant, QVariant> warned{2, QStringLiteral("Overlaps line 7; Late"),
                                                          QStringLiteral("Overlaps line 7\nLate")};
    EXPECT_EQ(found[0], warned);
    EXPECT_EQ(found[3], warned);
    EXPECT_EQ(found[1], std::tuple(QVariant(), QVariant(), QVariant()));
    EXPECT_EQ(found[6], std::tuple(QVariant(7), QVariant(), QVariant()));
}

} // namespace
} // namespace quintara::ui
