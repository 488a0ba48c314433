// The project's location as the settings file keeps it, and lines retimed to the sun.
#include "plan/ProjectLocation.h"
#include "plan/SunRetime.h"

#include "clock/ClockTable.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quintara;
using namespace quintara::plan;

namespace {

Location At(double latitude, double longitude)
{
    return std::get<Location>(Location::make(latitude, longitude));
}

const Location Amsterdam = At(52.37, 4.89);

QTimeZone AmsterdamZone()
{
    const QTimeZone zone("Europe/Amsterdam");
    EXPECT_TRUE(zone.isValid());
    return zone;
}

TEST(ProjectLocation, EachProjectKeepsItsOwnAndADamagedValueIsNoLocation)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Ventora.ini"));
    settings::ProfileFile file(ini);
    const QString house = dir.filePath(QStringLiteral("house [1]=a.nbt"));
    const QString office = dir.filePath(QStringLiteral("office.nbt"));

    EXPECT_EQ(ReadProjectLocation(file, house), std::nullopt);
    ASSERT_TRUE(WriteProjectLocation(file, house, Amsterdam));
    ASSERT_TRUE(WriteProjectLocation(file, office, At(-33.8688, 151.2093)));
    EXPECT_EQ(ReadProjectLocation(file, house), Amsterdam);
    EXPECT_EQ(ReadProjectLocation(file, office), At(-33.8688, 151.2093));
    // A project file named another way is the same file.
    EXPECT_EQ(ReadProjectLocation(file, dir.path() + QStringLiteral("/./house [1]=a.nbt")),
              Amsterdam);

    // Cleared, the one project has none and the other keeps its own.
    ASSERT_TRUE(WriteProjectLocation(file, house, std::nullopt));
    EXPECT_EQ(ReadProjectLocation(file, house), std::nullopt);
    EXPECT_EQ(ReadProjectLocation(file, office), At(-33.8688, 151.2093));

    // Whatever a hand put in the file reads as no location, never as half of one.
    for (const char *damaged : {"52.37", "95,4.89", "52.37;4.89", "north,east", "52.37,4.89,1"}) {
        ASSERT_TRUE(settings::WriteProjectValue(file, office, "Location", damaged));
        EXPECT_EQ(ReadProjectLocation(file, office), std::nullopt) << damaged;
    }

    // Without a project file there is nowhere to keep it.
    EXPECT_FALSE(WriteProjectLocation(file, QString(), Amsterdam));
    EXPECT_EQ(ReadProjectLocation(file, QString()), std::nullopt);
}

struct SunRetimeTest : ::testing::Test {
    clock::ClockTable table;

    SunRetimeTest()
    {
        table.MaxClockLines = 50;
        // A once line, a weekly dimmer and a free line between them.
        table.Lines[3] = clock::ClockLine::fromBytes({10, 7, 14, 12, 26, clock::Workday,
                                                      clock::Once, 0, 1, 4, 255, 0, 0});
        table.Lines[5] = clock::ClockLine::fromBytes({45, 22, 1, 6, 27, clock::Simulation,
                                                      clock::Weeks, 1, 2, 9, 127, 0, 0});
    }

    SunRetime retime(SunEvent event, int offset, QDate date = QDate(2026, 12, 14)) const
    {
        return {Amsterdam, event, offset, date, AmsterdamZone()};
    }
};

TEST_F(SunRetimeTest, LinesTakeTheEventPlusTheOffsetAndKeepEverythingElse)
{
    const QDate date(2026, 12, 14);
    const SunDay day = SunTimes(Amsterdam, date, AmsterdamZone());
    for (const SunEvent event : SunEvents) {
        const QDateTime &at = event == SunEvent::Sunrise     ? *day.sunrise
                              : event == SunEvent::Sunset    ? *day.sunset
                              : event == SunEvent::CivilDawn ? *day.dawn
                                                             : *day.dusk;
        for (const int offset : {0, -30, 45}) {
            const RetimeOutcome outcome = RetimeToSun(table, {5, 3, 4, 5, 120}, retime(event, offset));
            ASSERT_TRUE(std::holds_alternative<RetimePlan>(outcome)) << SunEventName(event).toStdString();
            const RetimePlan &plan = std::get<RetimePlan>(outcome);
            const QTime expected = NearestMinute(at).addSecs(offset * 60).time();
            EXPECT_EQ(plan.time, expected);
            // The free line, the line beyond the table and the second mention are passed over.
            ASSERT_EQ(plan.lines.size(), 2u);
            EXPECT_EQ(plan.lines[0].index, 5);
            EXPECT_EQ(plan.lines[1].index, 3);
            for (const RetimedLine &line : plan.lines) {
                EXPECT_EQ(line.before, table.Lines[std::size_t(line.index)]);
                clock::ClockLine timeOnly = line.before;
                timeOnly.Hour = quint8(expected.hour());
                timeOnly.Minute = quint8(expected.minute());
                EXPECT_EQ(line.after, timeOnly);
            }
        }
    }
    // Amsterdam's December sunset is before five, so a quarter past four plus an hour is late
    // afternoon: a sanity check that the zone's wall time is used, not UTC.
    const auto plan = std::get<RetimePlan>(RetimeToSun(table, {3}, retime(SunEvent::Sunset, 60)));
    EXPECT_GE(plan.time, QTime(17, 0));
    EXPECT_LT(plan.time, QTime(18, 0));
}

TEST_F(SunRetimeTest, EachReasonToRefuseIsTold)
{
    SunRetime noPlace = retime(SunEvent::Sunset, 0);
    noPlace.location.reset();
    const auto reason = [this](const QList<int> &lines, const SunRetime &r) {
        const RetimeOutcome outcome = RetimeToSun(table, lines, r);
        const auto *refusal = std::get_if<RetimeRefusal>(&outcome);
        EXPECT_TRUE(refusal && !refusal->text.isEmpty());
        return refusal ? std::optional(refusal->reason) : std::nullopt;
    };
    EXPECT_EQ(reason({3}, noPlace), RetimeRefused::NoLocation);
    EXPECT_EQ(reason({}, retime(SunEvent::Sunset, 0)), RetimeRefused::NoLines);
    EXPECT_EQ(reason({4, 60}, retime(SunEvent::Sunset, 0)), RetimeRefused::NoLines);
    // Tromsø in December: no sunrise at all, yet civil dawn still comes.
    SunRetime polar = retime(SunEvent::Sunrise, 0);
    polar.location = At(69.65, 18.96);
    polar.zone = QTimeZone("Europe/Oslo");
    EXPECT_EQ(reason({3}, polar), RetimeRefused::NoEvent);
    polar.event = SunEvent::CivilDawn;
    EXPECT_TRUE(std::holds_alternative<RetimePlan>(RetimeToSun(table, {3}, polar)));
    // Sunset plus eight hours is past midnight: another day, not a time of this one.
    EXPECT_EQ(reason({3}, retime(SunEvent::Sunset, 8 * 60)), RetimeRefused::OtherDay);
    EXPECT_EQ(reason({3}, retime(SunEvent::Sunrise, -9 * 60)), RetimeRefused::OtherDay);
}

} // namespace
