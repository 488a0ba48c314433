// The week painter on images: what a marker shows, and the week mapped onto any area with
// markers, bands and the now line keeping their size.
#include "render/WeekPainter.h"
#include "clock/ClockTable.h"
#include "presentation/WeekViewModel.h"
#include "render/Pictures.h"
#include "tests/clock/TestLines.h"

#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using namespace quintara;
using clock::ClockLine;

namespace {

const QDate Monday(2026, 12, 7);

using clock::testing::Line;

ClockLine Driving(int functionType, ClockLine line)
{
    line.FunctionType = quint8(functionType);
    return line;
}

struct WeekPainterTest : ::testing::Test {
    clock::ClockTable table;
    render::Pictures pictures;
    render::WeekPainter painter{pictures};

    WeekPainterTest() { table.MaxClockLines = 100; }

    QImage marker(const ClockLine &line, bool selected = false, int stack = 0)
    {
        QImage image(14, 50, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter into(&image);
        painter.paintMarker(into, QPointF(0, 0), line, selected, stack);
        return image;
    }
    QImage week(QSize size, const ui::WeekViewModel &model, std::optional<QPointF> now = {})
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter into(&image);
        clock::WorkdayFlagSet workdays{1, 1, 1, 1, 1, 0, 0};
        painter.paint(into, QRectF(QPointF(0, 0), QSizeF(size)),
                      render::WeekScene{model, table, workdays, now}, QFont());
        return image;
    }
};

TEST_F(WeekPainterTest, AMarkerShowsItsFunctionTableSelectionAndStack)
{
    EXPECT_EQ(render::MarkerPicture(26, 0), 7); // the day function of a sensor
    EXPECT_EQ(render::MarkerPicture(40, 0), 5);
    EXPECT_EQ(render::MarkerPicture(1, 0), 2); // off
    EXPECT_EQ(render::MarkerPicture(1, 255), 1);

    // Inside the downward triangle: the colour of the day-table, black for a table no editor
    // makes.
    EXPECT_EQ(
        marker(Driving(26, Line(Monday, 8, 0, clock::Weekend, clock::Once, 0))).pixelColor(5, 21),
        QColor(0, 0, 255));
    EXPECT_EQ(
        marker(Driving(40, Line(Monday, 8, 0, clock::Special, clock::Once, 0))).pixelColor(5, 21),
        QColor(255, 255, 0));
    EXPECT_EQ(marker(Line(Monday, 8, 0, 9, clock::Once, 0)).pixelColor(5, 21), QColor(0, 0, 0));

    // Selected: the upward triangle appears below the reference point.
    const ClockLine line = Line(Monday, 8, 0, clock::Continue, clock::Once, 0);
    EXPECT_EQ(marker(line).pixelColor(5, 28), QColor(Qt::white));
    EXPECT_EQ(marker(line, true).pixelColor(5, 28), QColor(0, 0, 0));

    // The stack number from 2 up, in a real font (two digits differ).
    const QImage one = marker(line, false, 1).copy(0, 32, 14, 18);
    const QImage two = marker(line, false, 2).copy(0, 32, 14, 18);
    const QImage three = marker(line, false, 3).copy(0, 32, 14, 18);
    EXPECT_NE(one, two);
    EXPECT_NE(two, three);
}

TEST_F(WeekPainterTest, TheWeekScalesToItsAreaWhileMarkersKeepTheirSize)
{
    table.Lines[0] = Line(Monday.addDays(1), 12, 0, clock::Workday, clock::Once, 0);
    // Every ten minutes from Thursday 06:00: 25 markers, then a band for the rest of the day.
    table.Lines[1] = Line(Monday.addDays(3), 6, 0, clock::Special, clock::Minutes, 10);
    ui::WeekViewModel model;
    model.build(table, Monday, {1, 1, 1, 1, 1, 0, 0}, quintara::testing::Years2026,
                {true, true, true, true, true});
    ASSERT_FALSE(model.bands().empty());

    for (const QSize size : {QSize(520, 504), QSize(1040, 1008), QSize(1560, 800)}) {
        const QRectF area(QPointF(0, 0), QSizeF(size));
        const QImage image = week(size, model, QPointF(ui::OccurrenceX(10, 0), 40));
        // Tuesday noon: the marker's red triangle four pixels above the occurrence, whatever
        // the scale.
        const QPoint tuesday =
            render::WeekPainter::toArea(QPointF(ui::OccurrenceX(12, 0), 110), area).toPoint();
        EXPECT_EQ(image.pixelColor(tuesday + QPoint(0, -4)), QColor(255, 0, 0)) << size.width();
        EXPECT_EQ(render::WeekPainter::toLogical(QPointF(tuesday), area),
                  QPoint(qRound(ui::OccurrenceX(12, 0)), 110));
        // The band on Thursday evening, in the special table's yellow.
        const QPoint evening =
            render::WeekPainter::toArea(QPointF(ui::OccurrenceX(20, 0), 250), area).toPoint();
        const QColor band = image.pixelColor(evening);
        EXPECT_GT(band.red(), 200);
        EXPECT_GT(band.green(), 200);
        EXPECT_LT(band.blue(), 200);
        // The now line on Monday 10:00, red above and below the row's middle.
        const QPoint now =
            render::WeekPainter::toArea(QPointF(ui::OccurrenceX(10, 0), 40), area).toPoint();
        EXPECT_EQ(image.pixelColor(now + QPoint(0, 20)), QColor(220, 0, 0));
        EXPECT_NE(image.pixelColor(now + QPoint(4, 20)), QColor(220, 0, 0));
    }
}

} // namespace
