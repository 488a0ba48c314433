#pragma once

#include <QColor>

#include <array>
#include <initializer_list>

class QPalette;

namespace quintara::render {

// Laid over the day backgrounds where the sun is down: light enough that the hour labels,
// bands and markers read as well as by day.
inline constexpr QColor NightShade{30, 40, 110, 48};

// The contrast ratio of two colours (1 to 21), by their relative luminance.
double ContrastRatio(const QColor &a, const QColor &b);

// `a` moved towards `b` by `share` (0..1).
QColor Mix(const QColor &a, const QColor &b, double share);

// The colour nearest `wanted`, on its way to `ink`, that stands out `ratio`:1 against each of
// the backgrounds; `ink` itself when none does.
QColor Legible(const QColor &wanted, std::initializer_list<QColor> backgrounds, const QColor &ink,
               double ratio);

// What the week is painted in. Backgrounds follow the palette it is shown in (light or dark);
// everything drawn on them stands out at least 3:1 against the darkest and lightest of them, the
// night shade included, while the day-tables keep their hues.
struct WeekColours {
    QColor window;  // around the rows, where the hour labels stand
    QColor text;    // the hour labels and stack counts
    QColor workday; // a row's background on a workday
    QColor dayOff;  // and on a day off
    QColor ink;     // outlines of triangles, bands, stems and pictures' plates; the focus frame
    QColor majorLine; // the grid at 0, 6, 12, 18 and 24 h
    QColor minorLine; // the other hours and the rows' outline
    QColor plate;     // behind a marker's picture, which is drawn for a light ground
    QColor halo;      // the focus frame's inner ring, against the outline colour
    QColor now;
    std::array<QColor, 5> tables; // by day-table kind
    QColor otherTable;            // a table number no editor makes

    // Paper's colours, and the screen's in a light palette like the default one.
    WeekColours() : WeekColours(false, Qt::white, Qt::white, Qt::black) {}
    // From the palette of the window the week is shown in.
    static WeekColours fromPalette(const QPalette &palette);

    QColor table(int kind) const;
    // Both day backgrounds, plain and under the night shade: what everything is drawn on.
    std::array<QColor, 4> grounds() const;

private:
    WeekColours(bool dark, const QColor &window, const QColor &base, const QColor &text);
};

} // namespace quintara::render
