// The week painter on images: what a marker shows, and the week mapped onto any area with
// markers, bands and the now line keeping their size.
#include "render/WeekPainter.h"

#include "clock/ClockTable.h"
#include "plan/Sun.h"
#include "presentation/WeekViewModel.h"
#include "render/Pictures.h"
#include "tests/clock/TestLines.h"
#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <functional>

using namespace quintara;
using clock::ClockLine;

namespace {

const QDate Monday(2026, 12, 7);

using clock::testing::Line;

struct WeekPainterTest : ::testing::Test {
    clock::ClockTable table;
    render::Pictures pictures;
    render::WeekPainter painter{pictures};

    WeekPainterTest() { table.MaxClockLines = 100; }

    // A white image of `size` with what `paint` draws on it.
    static QImage Painted(QSize size, const std::function<void(QPainter &)> &paint)
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter into(&image);
        paint(into);
        return image;
    }
    QImage marker(const ClockLine &line, bool selected = false, int stack = 0)
    {
        return Painted({14, 50},
                       [&](QPainter &p) { painter.paintMarker(p, {}, line, selected, stack); });
    }
    void build(ui::WeekViewModel &model) const
    {
        model.build(table, Monday, {1, 1, 1, 1, 1, 0, 0}, quintara::testing::Years2026,
                    {true, true, true, true, true});
    }
    QImage week(QSize size, const ui::WeekViewModel &model, std::optional<QPointF> now,
                std::vector<ui::WeekNight> nights = {})
    {
        return Painted(size, [&](QPainter &p) {
            painter.paint(p, QRectF(QPointF(0, 0), QSizeF(size)),
                          render::WeekScene{model, table, {1, 1, 1, 1, 1, 0, 0}, now, nights},
                          QFont());
        });
    }
};

TEST_F(WeekPainterTest, AMarkerShowsItsFunctionTableSelectionAndStack)
{
    // The day function of a sensor, audio, a relay off and on.
    using render::MarkerPicture;
    EXPECT_EQ((std::vector{MarkerPicture(26, 0), MarkerPicture(40, 0), MarkerPicture(1, 0),
                           MarkerPicture(1, 255)}),
              (std::vector{7, 5, 2, 1}));

    // Inside the downward triangle: the colour of the day-table, black for a table no editor
    // makes.
    const struct {
        int type, table;
        QColor inside;
    } cases[] = {{26, clock::Weekend, render::TableColour(clock::Weekend)},
                 {40, clock::Special, QColor(255, 210, 0)},
                 {1, 9, QColor(0, 0, 0)}};
    for (const auto &c : cases) {
        ClockLine line = Line(Monday, 8, 0, c.table, clock::Once, 0);
        line.FunctionType = quint8(c.type);
        EXPECT_EQ(marker(line).pixelColor(5, 21), c.inside) << c.type;
    }

    // Selected: the upward triangle appears below the reference point.
    const ClockLine line = Line(Monday, 8, 0, clock::Continue, clock::Once, 0);
    EXPECT_EQ(marker(line).pixelColor(5, 28), QColor(Qt::white));
    EXPECT_EQ(marker(line, true).pixelColor(5, 28), QColor(0, 0, 0));

    // The stack number from 2 up, in a real font (two digits differ).
    const auto number = [&](int stack) { return marker(line, false, stack).copy(0, 32, 14, 18); };
    EXPECT_NE(number(1), number(2));
    EXPECT_NE(number(2), number(3));
}

TEST_F(WeekPainterTest, TheWeekScalesToItsAreaWhileMarkersKeepTheirSize)
{
    table.Lines[0] = Line(Monday.addDays(1), 12, 0, clock::Workday, clock::Once, 0);
    // Every ten minutes from Thursday 06:00: 25 markers, then a band for the rest of the day.
    table.Lines[1] = Line(Monday.addDays(3), 6, 0, clock::Special, clock::Minutes, 10);
    ui::WeekViewModel model;
    build(model);
    ASSERT_FALSE(model.bands().empty());

    for (const QSize size : {QSize(520, 504), QSize(1040, 1008), QSize(1560, 800)}) {
        const QRectF area(QPointF(0, 0), QSizeF(size));
        const QImage image = week(size, model, QPointF(ui::OccurrenceX(10, 0), 40));
        const auto at = [&area](int hour, int y) {
            return render::WeekPainter::toArea(QPointF(ui::OccurrenceX(hour, 0), y), area)
                .toPoint();
        };
        // Tuesday noon: the marker's red triangle four pixels above the occurrence, whatever
        // the scale.
        const render::WeekColours colours;
        EXPECT_EQ(image.pixelColor(at(12, 110) + QPoint(0, -4)), colours.table(clock::Workday))
            << size.width();
        // The band on Thursday evening, in the special table's yellow.
        EXPECT_EQ(image.pixelColor(at(20, 250)), colours.table(clock::Special));
        // The now line on Monday 10:00, red above and below the row's middle.
        const QPoint now = at(10, 40);
        EXPECT_EQ(image.pixelColor(now + QPoint(0, 20)), colours.now);
        EXPECT_NE(image.pixelColor(now + QPoint(4, 20)), colours.now);
    }
}

// Amsterdam's nights shaded on Monday's row: the early morning in June is light, in December
// dark; the afternoon is light in both; a marker in the night keeps its colours.
TEST_F(WeekPainterTest, NightIsShadedBehindTheMarkersWhereTheSunIsDown)
{
    const auto amsterdam = std::get<plan::Location>(plan::Location::make(52.37, 4.89));
    const QTimeZone zone("Europe/Amsterdam");
    ASSERT_TRUE(zone.isValid());
    const QDate june(2026, 6, 15);
    table.Lines[0] = Line(Monday, 3, 0, clock::Workday, clock::Once, 0);
    table.Lines[0].FunctionType = 1;
    ui::WeekViewModel model;
    build(model);

    const QSize size(520, 504);
    const QImage day = week(size, model, std::nullopt);
    const QImage december = week(size, model, std::nullopt, ui::WeekNights(amsterdam, Monday, zone));
    const QImage summer = week(size, model, std::nullopt, ui::WeekNights(amsterdam, june, zone));
    const auto probe = [](const QImage &image, int hour) {
        return image.pixelColor(QPoint(int(ui::OccurrenceX(hour, 0)), 20));
    };
    // Whether December and June are shaded at each hour.
    for (const auto &[hour, dark, summerDark] :
         {std::tuple(1, true, true), {7, true, false}, {13, false, false}, {18, true, false}})
        EXPECT_EQ(std::pair(probe(december, hour) != probe(day, hour),
                            probe(summer, hour) != probe(day, hour)),
                  std::pair(dark, summerDark))
            << hour;
    EXPECT_NE(probe(summer, 23), probe(day, 23));
    // The shade is light: the day's background still shows through.
    EXPECT_LT(std::abs(probe(december, 1).lightness() - probe(day, 1).lightness()), 60);

    // Monday 03:00's marker: its red triangle as by day.
    const QPoint triangle(int(ui::OccurrenceX(3, 0)), 40 - 4);
    EXPECT_EQ(december.pixelColor(triangle), render::TableColour(clock::Workday));
}

// The palettes the week is checked in: the default light one and a dark desktop's.
QPalette DarkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(235, 235, 235));
    palette.setColor(QPalette::Base, QColor(35, 35, 35));
    palette.setColor(QPalette::Text, QColor(235, 235, 235));
    return palette;
}

std::vector<std::pair<const char *, render::WeekColours>> Palettes()
{
    QPalette light;
    light.setColor(QPalette::Window, QColor(239, 239, 239));
    light.setColor(QPalette::WindowText, Qt::black);
    light.setColor(QPalette::Base, Qt::white);
    return {{"paper", render::WeekColours()},
            {"light", render::WeekColours::fromPalette(light)},
            {"dark", render::WeekColours::fromPalette(DarkPalette())}};
}

// Everything drawn on a day's row stands out at least 3:1 against it, by day and by night, on
// workdays and days off; text at least 4.5:1 against what it stands on; the two kinds of day
// are told apart.
TEST(WeekColoursTest, WhatIsDrawnOnTheRowsStandsOutInEveryPalette)
{
    for (const auto &[name, colours] : Palettes()) {
        std::vector<std::pair<std::string, QColor>> drawn = {
            {"outline", colours.ink},       {"major line", colours.majorLine},
            {"minor line", colours.minorLine}, {"now", colours.now},
            {"stack count", colours.ink},   {"plate", colours.minorLine}};
        // Yellow's triangles are the one fill that leans on the outline alone.
        for (int table = 0; table < clock::TableKindCount; ++table)
            if (table != clock::Special)
                drawn.emplace_back("table " + std::to_string(table), colours.table(table));
        drawn.emplace_back("other table", colours.table(9));
        for (const QColor &ground : colours.grounds())
            for (const auto &[what, colour] : drawn)
                EXPECT_GE(render::ContrastRatio(colour, ground), 3.0)
                    << name << ' ' << what << " on " << ground.name().toStdString();
        const QColor yellow = colours.table(clock::Special);
        const auto grounds = colours.grounds();
        EXPECT_TRUE(render::ContrastRatio(yellow, colours.ink) >= 3.0 ||
                    std::all_of(grounds.begin(), grounds.end(), [&](const QColor &ground) {
                        return render::ContrastRatio(yellow, ground) >= 3.0;
                    }))
            << name;
        EXPECT_GE(render::ContrastRatio(colours.text, colours.window), 4.5) << name;
        EXPECT_GE(render::ContrastRatio(colours.workday, colours.dayOff), 1.2) << name;
        // The focus frame's inner ring against the frame itself.
        EXPECT_GE(render::ContrastRatio(colours.halo, colours.ink), 3.0) << name;
    }
    EXPECT_NEAR(render::ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_LT(Palettes()[2].second.workday.lightness(), 100);
}

// On its plate every picture has a part that stands out 3:1; On and Off differ in shape (where
// their strokes lie), not in colour alone.
TEST_F(WeekPainterTest, MarkerPicturesReadOnTheirPlateAndOnDiffersFromOffInShape)
{
    const auto picture = [&](int k) {
        return Painted({44, 56}, [&](QPainter &p) {
            p.scale(4, 4);
            pictures.drawMarker(p, k, QRectF(0, 0, render::Pictures::MarkerPictureWidth, 14));
        });
    };
    for (int k = 1; k <= render::Pictures::MarkerPictureCount; ++k) {
        const QImage image = picture(k);
        double best = 1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                best = std::max(best, render::ContrastRatio(image.pixelColor(x, y), Qt::white));
        EXPECT_GE(best, 3.0) << k;
    }
    // Dark strokes of the two lamps: where they differ, in pixels.
    const QImage on = picture(1);
    const QImage off = picture(2);
    int differ = 0;
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x)
            differ += (on.pixelColor(x, y).lightness() < 128) !=
                      (off.pixelColor(x, y).lightness() < 128);
    EXPECT_GT(differ, 60);
}

// The week in a dark palette: the rows dark, the marker's picture on its light plate, and the
// focused marker framed in the outline colour, which no unfocused marker is.
TEST_F(WeekPainterTest, ADarkPaletteDarkensTheRowsAndTheFocusedMarkerIsFramed)
{
    painter.setColours(render::WeekColours::fromPalette(DarkPalette()));
    table.Lines[0] = Line(Monday, 12, 0, clock::Workday, clock::Once, 0);
    ui::WeekViewModel model;
    build(model);
    const QPoint point(int(ui::OccurrenceX(12, 0)), 40);
    const auto paint = [&](std::optional<QPoint> focus) {
        return Painted({520, 504}, [&](QPainter &p) {
            painter.paint(p, QRectF(0, 0, 520, 504),
                          render::WeekScene{model, table, {1, 1, 1, 1, 1, 0, 0}, std::nullopt, {}, focus},
                          QFont());
        });
    };
    const QImage plain = paint(std::nullopt);
    const QImage focused = paint(point);
    const render::WeekColours &colours = painter.colours();
    EXPECT_EQ(plain.pixelColor(110, 30), colours.workday);
    EXPECT_EQ(plain.pixelColor(110, 450), colours.dayOff);
    EXPECT_EQ(plain.pixelColor(point + QPoint(-4, -14)), colours.plate);
    // The frame's left edge, beside the marker.
    const QPoint frame = point + QPoint(-8, 0);
    EXPECT_EQ(focused.pixelColor(frame), colours.ink);
    EXPECT_NE(plain.pixelColor(frame), colours.ink);
}

} // namespace
