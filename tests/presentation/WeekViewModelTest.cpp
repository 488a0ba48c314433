#include "presentation/WeekViewModel.h"

#include "clock/ClockTable.h"
#include "tests/clock/TestLines.h"
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
const auto &Years = quintara::testing::Years2026;

QPoint At(int row, int hour, int minute)
{
    return QPoint(qRound(20 + 20 * hour + minute / 3.0), 40 + 70 * row);
}

class WeekViewModelTest : public ::testing::Test {
protected:
    WeekViewModelTest() { table.MaxClockLines = 100; }
    void build(const std::array<bool, 5> &shown = AllShown)
    {
        model.build(table, Monday, Workdays, Years, shown);
    }
    int markersOf(int line) const
    {
        return int(std::count_if(model.markers().begin(), model.markers().end(),
                                 [line](const WeekMarker &m) { return m.line == line; }));
    }
    std::vector<int> Shares() const { return {markersOf(0), markersOf(1), markersOf(2)}; }

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
    EXPECT_EQ(Shares(), (std::vector{168, 30, 0}));

    // Switched off, a table gives its share to the next line.
    build({false, true, true, true, true});
    EXPECT_EQ(Shares(), (std::vector{0, 168, 25})); // a minute series shows its first 25
}

TEST_F(WeekViewModelTest, StackedMarkersShowOneNumber)
{
    table.Lines[0] = Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0);
    table.Lines[1] = Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0);
    table.Lines[2] = Line(Monday.addDays(2), 9, 0, clock::Simulation, clock::Once, 0);
    build();
    ASSERT_EQ(model.markers().size(), 3u);
    EXPECT_EQ(
        std::tuple(model.markers()[0].stack, model.markers()[1].stack, model.markers()[2].stack),
        std::tuple(0, 2, 1)); // the second placed last on the spot
    EXPECT_EQ(QPoint(model.markers()[1].x, model.markers()[1].y), At(1, 8, 0));

    // A line every minute or two puts several of its own markers on one pixel: they are one
    // line, and a second line on such a spot makes two.
    for (const int step : {1, 2}) {
        table.Lines = {};
        table.Lines[0] = Line(Monday.addDays(-1), 6, 0, clock::Continue, clock::Minutes, step);
        table.Lines[1] = Line(Monday, 0, 1, clock::Special, clock::Once, 0);
        build();
        for (const WeekMarker &m : model.markers())
            EXPECT_LE(m.stack, QPoint(m.x, m.y) == At(0, 0, 1) ? 2 : 1) << step << " at " << m.x;
        EXPECT_EQ(model.markers().back().stack, 2) << step; // line 1's, placed last on its spot
    }
}

TEST_F(WeekViewModelTest, OnlyDrawnMarkersAreHitWithinTheirBox)
{
    table.Lines[3] = Line(Monday.addDays(3), 12, 0, clock::Continue, clock::Once, 0);
    table.Lines[1] = Line(Monday.addDays(3), 12, 0, clock::Workday, clock::Days, 1);
    // Hourly lines fill the pool before line 5: its Friday occurrence is never drawn.
    table.Lines[0] = Line(Monday.addDays(-1), 0, 30, clock::Simulation, clock::Days, 1);
    table.Lines[8] = Line(Monday.addDays(-1), 17, 0, clock::Continue, clock::Days, 1);
    table.Lines[6] = table.Lines[7] =
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
    EXPECT_EQ(markersOf(8) + markersOf(9), 0);
    std::vector<WeekBand> own;
    std::ranges::copy_if(model.bands(), std::back_inserter(own),
                         [](const WeekBand &band) { return band.line >= 8; });
    ASSERT_EQ(own.size(), 8u);
    for (int row = 0; row < 7; ++row) {
        const WeekBand &band = own[std::size_t(row)];
        EXPECT_EQ(std::tuple(band.row, band.fromX, band.toX, band.count),
                  std::tuple(row, At(row, 17, 0).x(), At(row, 17, 0).x(), 1));
        EXPECT_EQ(std::ranges::count(model.hitList(At(row, 17, 0) + QPoint(5, 25)), 8), 1) << row;
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
            const QPoint beyond = pixel + edge + QPoint(edge.x() / 5, edge.y() / 25);
            EXPECT_EQ(std::pair(model.hitList(pixel + edge, onto), model.hitList(beyond, onto)),
                      std::pair(std::vector<int>{0}, std::vector<int>{}))
                << area.width() << " " << edge.x() << "," << edge.y();
        }
        EXPECT_EQ(onto.toLogical(onto.toArea(QPointF(At(1, 8, 0)))), At(1, 8, 0));
    }
}

TEST_F(WeekViewModelTest, DragsLandOnTheQuarterHourGridInsideTheDragArea)
{
    const auto column = [](int x, int y) {
        const auto target = WeekViewModel::dragTarget(QPoint(x, y));
        return target ? target->column : -1;
    };
    EXPECT_EQ(WeekViewModel::dragTarget(QPoint(300, 252))->row, 3);
    // 14:00, the last column meaning 23:59, the first, rounded to the nearest, then outside.
    EXPECT_EQ((std::vector{column(300, 252), column(537, 252), column(2, 250), column(37, 40),
                           column(200, 500), column(540, 100), column(100, 14)}),
              (std::vector{56, 96, 0, 3, -1, -1, -1}));
}

TEST_F(WeekViewModelTest, ASeriesBeyondItsMarkersGoesOnAsABandForTheRestOfEachDay)
{
    // Every 15 minutes from Monday 06:00: 25 markers reach 12:15, the band the rest of Monday
    // and every other day of the week, whole.
    table.Lines[0] = Line(Monday, 6, 0, clock::Special, clock::Minutes, 15);
    build();
    EXPECT_EQ(markersOf(0), 1 + 25);
    ASSERT_EQ(model.bands().size(), 7u);
    // Monday's runs 06:15 .. 23:45, drawn from the last marker on.
    const WeekBand &monday = model.bands()[0];
    EXPECT_EQ(
        std::vector({monday.row, monday.count, monday.firstMinute, monday.lastMinute,
                     monday.stepMinutes, monday.fromX, monday.toX}),
        std::vector({0, 71, 6 * 60 + 15, 23 * 60 + 45, 15, At(0, 12, 15).x(), At(0, 23, 45).x()}));
    EXPECT_EQ(std::pair(model.bands()[1].count, model.bands()[1].fromX),
              std::pair(96, At(1, 0, 0).x()));
    // The band is drawn, so it can be picked up; beside it there is nothing.
    EXPECT_EQ(model.hitList(At(1, 18, 0)), std::vector<int>{0});
    EXPECT_TRUE(model.hitList(At(1, 18, 0) + QPoint(0, 30)).empty());

    // A series that fits its markers, or a daily line, has none.
    table.Lines[0] = Line(Monday, 6, 0, clock::Special, clock::Hours, 2);
    table.Lines[1] = Line(Monday, 6, 0, clock::Continue, clock::Days, 1);
    build();
    EXPECT_TRUE(model.bands().empty());
}

} // namespace
} // namespace quintara::ui
