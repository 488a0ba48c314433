#pragma once

#include "clock/Occurrences.h"
#include "presentation/WeekGeometry.h"

#include <QDate>
#include <QPoint>
#include <QRectF>

#include <array>
#include <optional>
#include <vector>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

// One occurrence of a line in the displayed week.
struct WeekOccurrence {
    clock::Occurrence occurrence;
    bool reference = false; // the reference occurrence (not day-filtered, not counted by the walk)
    bool marker = false;    // the view draws it (a minute series shows its first 25 only)
    double x = 0;           // on the canvas; the walk's occurrences keep their fraction
    int y = 0;
};

// A line's occurrences in the week that begins on `monday`: its reference occurrence when that
// falls in the week, then every step of the walk, flagged by whether a marker shows it.
std::vector<WeekOccurrence> LineOccurrences(const clock::ClockLine &line, QDate monday,
                                            const clock::WorkdayFlagSet &workdays,
                                            clock::YearWindow years);

// A marker the week view draws, in the view's logical coordinates (the occurrence's point).
struct WeekMarker {
    int line = 0;
    bool reference = false;
    int x = 0; // rounded as the marker is placed
    int y = 0;
    // The lines stacked on this spot, shown by the marker placed last there; 0 on the others.
    int stack = 0;
    int minute = 0; // of the day, when the occurrence falls
};

// Where a line fires past its drawn markers (a minute series shows 25, and the pool may run
// out): the rest of that day as a band, from the last marker drawn to the last occurrence. A
// line that fires at most once a day gets a band of its own for each firing not drawn.
struct WeekBand {
    int line = 0;
    int row = 0;
    int fromX = 0;
    int toX = 0;
    int y = 0;
    int count = 0;       // occurrences of the series that day
    int firstMinute = 0; // the day's first and last occurrence, minutes after midnight
    int lastMinute = 0;
    int stepMinutes = 0; // 0 for the one firing of a day
};

class WeekViewModel;

// Where the week's logical canvas is drawn: onto an area of a widget, a printer or a picture.
// A logical point is drawn on the whole pixel nearest its place; markers and their hit boxes
// keep their size in pixels whatever the area's size.
struct WeekProjection {
    QRectF area;

    // The canvas drawn 1:1.
    WeekProjection();
    explicit WeekProjection(const QRectF &area) : area(area) {}

    QPointF toArea(QPointF logical) const;
    // The pixel a logical point is drawn on.
    QPoint pixelOf(int x, int y) const { return toArea(QPointF(x, y)).toPoint(); }
    // The logical point under a point of the area, rounded.
    QPoint toLogical(QPointF point) const;
};

// Where the week view's markers stand for one week, the filter buttons and the table's lines:
// every reference marker, and the repeat markers in line order while the view's pool of 198
// lasts. The window places its markers from it and hit-tests through it; nothing else decides
// what is drawn.
class WeekViewModel {
public:
    // The logical canvas every coordinate here lives on, and the distance between day rows.
    static constexpr int CanvasWidth = 520;
    static constexpr int CanvasHeight = 504;
    static constexpr int RowPitch = WeekCanvas::RowPitch;
    static constexpr int RepeatMarkerLimit = 198;
    static constexpr int MaxHits = 10;
    static constexpr int HitHalfWidth = 5;
    static constexpr int HitHalfHeight = 25;

    // shownTables[t]: whether day-table t is on show; a table number without a filter button
    // (a foreign file's) always is.
    void build(const clock::ClockTable &table, QDate monday, const clock::WorkdayFlagSet &workdays,
               clock::YearWindow years, const std::array<bool, 5> &shownTables);

    const std::vector<WeekMarker> &markers() const { return m_markers; }
    const std::vector<WeekBand> &bands() const { return m_bands; }
    // Repeat markers among them.
    int repeatMarkers() const { return m_repeatMarkers; }

    // The hit box of a marker: the pixels its picture covers around its point, at any scale.
    // The points below are pixels of the area the projection draws onto (the canvas itself
    // when none is given).

    // The lines (indexes, ascending) with a drawn marker or band whose hit box holds the point;
    // at most MaxHits.
    std::vector<int> hitList(QPoint at, const WeekProjection &onto = WeekProjection()) const;

    // Whether a drawn marker of the line has the point in its hit box (a band is no handle to
    // drag a line by).
    bool markerOfLineAt(int line, QPoint at, const WeekProjection &onto = WeekProjection()) const;
    // The bands whose hit box holds the point.
    std::vector<WeekBand> bandsAt(QPoint at, const WeekProjection &onto = WeekProjection()) const;

    // Where a drag to the point puts a line: quarter-hour column 0..96 (96 meaning 23:59) and
    // weekday row 0..6; nothing outside the area that takes drags.
    struct DragTarget {
        int column = 0;
        int row = 0;
    };
    static std::optional<DragTarget> dragTarget(QPoint at);

private:
    // markerWalk: the line's walk where its markers ended.
    void addBands(int index, const clock::ClockLine &line, QDate monday,
                  const clock::WorkdayFlagSet &workdays, clock::YearWindow years,
                  clock::OccurrenceWalk &markerWalk);

    std::vector<WeekMarker> m_markers;
    std::vector<WeekBand> m_bands;
    int m_repeatMarkers = 0;
};

} // namespace quintara::ui
