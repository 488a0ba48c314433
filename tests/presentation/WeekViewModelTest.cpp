#include "presentation/WeekViewModel.h"
#include "tests/clock/TestLines.h"

#include "clock/ClockTable.h"

#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quintara::ui {
namespace {

using clock::ClockLine;

const QDate Monday(2026, 12, 7);
const clock::WorkdayFlagSet Workdays{1, 1, 1, 1, 1, 0, 0};
constexpr std::array<bool, 5> AllShown{true, true, true, true, true};

using clock::testing::Line;

QPoint At(int row, int hour, int minute)
{
    return QPoint(qRound(20 + 20 * hour + minute / 3.0), 40 + 70 * row);
}

class WeekViewModelTest : public ::testing::Test {
protected:
    WeekViewModelTest() { table.MaxClockLines = 100; }
    void build(const std::array<bool, 5> &shown = AllShown)
    {
        model.build(table, Monday, Workdays, quintara::testing::Years2026, shown);
    }
    int markersOf(int line) const
    {
        return int(std::count_if(model.markers().begin(), model.markers().end(),
                                 [line](const WeekMarker &m) { return m.line == line; }));
    }

    clock::ClockTable table;
    WeekViewModel model;
};

TEST_F(WeekViewModelTest, ThePoolOfRepeatMarkersIsHandedOutInLineOrder)
{
    // Two hourly lines: 2 x 168 occurrences, far more than the 198 repeat markers.
    table.Lines[0] = Line(Monday.addDays(-1), 0, 0, clock::Continue, clock::Hours, 1);
    table.Lines[1] = Line(Monday.addDays(-1), 0, 30, clock::Simulation, clock::Hours, 1);
    table.Lines[2] = Line(Monday.addDays(-1), 0, 5, clock::Special, clock::Minutes, 10);
    build();
    EXPECT_EQ(model.repeatMarkers(), 198);
    EXPECT_EQ(markersOf(0), 168);
    EXPECT_EQ(markersOf(1), 30);
    EXPECT_EQ(markersOf(2), 0);

    // Switched off, a table gives its share to the next line.
    build({false, true, true, true, true});
    EXPECT_EQ(markersOf(0), 0);
    EXPECT_EQ(markersOf(1), 168);
    EXPECT_EQ(markersOf(2), 25); // a minute series shows its first 25
}

TEST_F(WeekViewModelTest, StackedMarkersShowOneNumber)
{
    table.Lines[0] = Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0);
    table.Lines[1] = Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0);
    table.Lines[2] = Line(Monday.addDays(2), 9, 0, clock::Simulation, clock::Once, 0);
    build();
    ASSERT_EQ(model.markers().size(), 3u);
    EXPECT_EQ(model.markers()[0].stack, 0);
    EXPECT_EQ(model.markers()[1].stack, 2); // placed last on the spot
    EXPECT_EQ(model.markers()[2].stack, 1);
    EXPECT_EQ(QPoint(model.markers()[1].x, model.markers()[1].y), At(1, 8, 0));

    // A line every minute or two puts several of its own markers on one pixel: they are one
    // line, and a second line on such a spot makes two.
    for (const int step : {1, 2}) {
        table.Lines = {};
        table.Lines[0] = Line(Monday.addDays(-1), 6, 0, clock::Continue, clock::Minutes, step);
        table.Lines[1] = Line(Monday, 0, 1, clock::Special, clock::Once, 0);
        build();
        const auto &markers = model.markers();
        for (const WeekMarker &m : markers) {
            const bool shared = QPoint(m.x, m.y) == At(0, 0, 1);
            EXPECT_LE(m.stack, shared ? 2 : 1) << step << " at " << m.x << "," << m.y;
        }
        EXPECT_EQ(markers.back().stack, 2) << step; // line 1's, placed last on its spot
    }
}

TEST_F(WeekViewModelTest, OnlyDrawnMarkersAreHitWithinTheirBox)
{
    table.Lines[3] = Line(Monday.addDays(3), 12, 0, clock::Continue, clock::Once, 0);
    table.Lines[1] = Line(Monday.addDays(3), 12, 0, clock::Workday, clock::Days, 1);
    // Hourly lines fill the pool before line 5: its Friday occurrence is never drawn.
    table.Lines[0] = Line(Monday.addDays(-1), 0, 30, clock::Simulation, clock::Days, 1);
    table.Lines[8] = Line(Monday.addDays(-1), 17, 0, clock::Continue, clock::Days, 1);
    for (int i = 6; i < 8; ++i)
        table.Lines[std::size_t(i)] =
            Line(Monday.addDays(-1), 0, 0, clock::Special, clock::Hours, 1);
    build();
    const QPoint centre = At(3, 12, 0);
    // The hourly lines are there too: line 6 by its markers, line 7 by its band.
    EXPECT_EQ(model.hitList(centre), (std::vector<int>{1, 3, 6, 7}));
    build({true, true, true, true, false});
    EXPECT_EQ(model.hitList(centre), (std::vector<int>{1, 3}));
    EXPECT_EQ(model.hitList(centre + QPoint(5, 25)).size(), 2u);
    EXPECT_TRUE(model.hitList(centre + QPoint(6, 0)).empty());
    EXPECT_TRUE(model.hitList(centre + QPoint(0, -26)).empty());

    // A hidden table is not hit, though its line lies there.
    build({true, false, true, true, false});
    EXPECT_EQ(model.hitList(centre), std::vector<int>{3});

    // Beyond the pool a daily line has no marker, but a band of its own each day it fires,
    // found where its marker would stand; a weekly line the same on its day.
    table.Lines[9] = Line(Monday.addDays(-5), 23, 30, clock::Simulation, clock::Days, 7);
    build();
    EXPECT_EQ(model.repeatMarkers(), 198);
    EXPECT_EQ(markersOf(8), 0);
    EXPECT_EQ(markersOf(9), 0);
    std::vector<WeekBand> own;
    std::copy_if(model.bands().begin(), model.bands().end(), std::back_inserter(own),
                 [](const WeekBand &band) { return band.line >= 8; });
    ASSERT_EQ(own.size(), 8u);
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(own[std::size_t(row)].row, row);
        EXPECT_EQ(own[std::size_t(row)].fromX, At(row, 17, 0).x());
        EXPECT_EQ(own[std::size_t(row)].toX, At(row, 17, 0).x());
        EXPECT_EQ(own[std::size_t(row)].count, 1);
        const std::vector<int> hits = model.hitList(At(row, 17, 0) + QPoint(5, 25));
        EXPECT_EQ(std::count(hits.begin(), hits.end(), 8), 1) << row;
        EXPECT_FALSE(model.markerOfLineAt(8, At(row, 17, 0))); // nothing to drag it by
    }
    EXPECT_EQ(own[7].row, 2); // Wednesday
    EXPECT_EQ(model.hitList(At(2, 23, 30)), std::vector<int>{9});
    EXPECT_TRUE(model.hitList(At(2, 23, 30) + QPoint(6, 0)).empty());
}

TEST_F(WeekViewModelTest, AMarkerIsHitWhereItIsDrawnAtAnyScale)
{
    table.Lines[0] = Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0);
    build();
    // The canvas drawn larger and smaller, off the origin: the marker keeps 11 x 51 pixels
    // around the pixel its point lands on.
    for (const QRectF area :
         {QRectF(0, 0, 1500, 1450), QRectF(7, 3, 380, 300), QRectF(0, 0, 1111, 777)}) {
        const WeekProjection onto(area);
        const QPoint pixel = onto.pixelOf(At(1, 8, 0).x(), At(1, 8, 0).y());
        EXPECT_EQ(pixel, onto.toArea(QPointF(At(1, 8, 0))).toPoint());
        for (const QPoint edge : {QPoint(5, 0), QPoint(-5, 0), QPoint(0, 25), QPoint(0, -25)}) {
            EXPECT_EQ(model.hitList(pixel + edge, onto), std::vector<int>{0})
                << area.width() << " " << edge.x() << "," << edge.y();
            const QPoint beyond = pixel + edge + QPoint(edge.x() / 5, edge.y() / 25);
            EXPECT_TRUE(model.hitList(beyond, onto).empty())
                << area.width() << " " << beyond.x() << "," << beyond.y();
        }
        EXPECT_EQ(onto.toLogical(onto.toArea(QPointF(At(1, 8, 0)))), At(1, 8, 0));
    }
}

TEST_F(WeekViewModelTest, DragsLandOnTheQuarterHourGridInsideTheDragArea)
{
    const auto target = [](QPoint at) { return WeekViewModel::dragTarget(at); };
    EXPECT_EQ(target(QPoint(300, 252))->column, 56); // 14:00
    EXPECT_EQ(target(QPoint(300, 252))->row, 3);
    EXPECT_EQ(target(QPoint(537, 252))->column, 96); // the last column means 23:59
    EXPECT_EQ(target(QPoint(2, 250))->column, 0);
    EXPECT_EQ(target(QPoint(20 + 5 * 3 + 2, 40))->column, 3); // rounded to the nearest
    EXPECT_FALSE(target(QPoint(200, 500)).has_value());
    EXPECT_FALSE(target(QPoint(540, 100)).has_value());
    EXPECT_FALSE(target(QPoint(100, 14)).has_value());
}

TEST_F(WeekViewModelTest, ASeriesBeyondItsMarkersGoesOnAsABandForTheRestOfEachDay)
{
    // Every 15 minutes from Monday 06:00: 25 markers reach 12:15, the band the rest of Monday
    // and every other day of the week, whole.
    table.Lines[0] = Line(Monday, 6, 0, clock::Special, clock::Minutes, 15);
    build();
    EXPECT_EQ(markersOf(0), 1 + 25);
    ASSERT_EQ(model.bands().size(), 7u);
    const WeekBand &monday = model.bands()[0];
    EXPECT_EQ(monday.row, 0);
    EXPECT_EQ(monday.count, 71); // 06:15 .. 23:45
    EXPECT_EQ(monday.firstMinute, 6 * 60 + 15);
    EXPECT_EQ(monday.lastMinute, 23 * 60 + 45);
    EXPECT_EQ(monday.stepMinutes, 15);
    EXPECT_EQ(monday.fromX, At(0, 12, 15).x()); // from the last marker drawn
    EXPECT_EQ(monday.toX, At(0, 23, 45).x());
    const WeekBand &tuesday = model.bands()[1];
    EXPECT_EQ(tuesday.count, 96);
    EXPECT_EQ(tuesday.fromX, At(1, 0, 0).x());
    // The band is drawn, so it can be picked up; beside it there is nothing.
    EXPECT_EQ(model.hitList(At(1, 18, 0)), std::vector<int>{0});
    EXPECT_TRUE(model.hitList(At(1, 18, 0) + QPoint(0, 30)).empty());

    // A series that fits its markers, or a daily line, has none; a hidden table none either.
    table.Lines[0] = Line(Monday, 6, 0, clock::Special, clock::Hours, 2);
    table.Lines[1] = Line(Monday, 6, 0, clock::Continue, clock::Days, 1);
    build();
    EXPECT_TRUE(model.bands().empty());
    table.Lines[0] = Line(Monday, 6, 0, clock::Special, clock::Minutes, 15);
    build({true, true, true, true, false});
    EXPECT_TRUE(model.bands().empty());
}

TEST_F(WeekViewModelTest, LineOccurrencesFlagWhatTheViewDraws)
{
    const ClockLine minutes = Line(Monday, 6, 0, clock::Continue, clock::Minutes, 15);
    const std::vector<WeekOccurrence> all =
        LineOccurrences(minutes, Monday, Workdays, quintara::testing::Years2026);
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(all.front().reference);
    const auto drawn =
        std::count_if(all.begin(), all.end(), [](const WeekOccurrence &o) { return o.marker; });
    EXPECT_EQ(drawn, 1 + 25); // the reference and the first 25 of the series
    EXPECT_GT(all.size(), 250u);

    // The reference stands on a whole unit; the walk's occurrences keep their fraction.
    const ClockLine hourly = Line(Monday.addDays(2), 6, 31, clock::Continue, clock::Hours, 1);
    const auto placed = LineOccurrences(hourly, Monday, Workdays, quintara::testing::Years2026);
    ASSERT_GE(placed.size(), 2u);
    EXPECT_EQ(placed[0].x, 150); // 150.33
    EXPECT_EQ(placed[0].y, 40 + 2 * 70);
    EXPECT_DOUBLE_EQ(placed[1].x, 20 + 20 * 7 + 31 / 3.0);
    EXPECT_EQ(QPoint(qRound(placed[1].x), placed[1].y), At(2, 7, 31));
}

} // namespace
} // namespace quintara::ui
