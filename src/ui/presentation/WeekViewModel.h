#pragma once

#include "clock/Occurrences.h"

#include <QDate>
#include <QPoint>

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
};

// A line's occurrences in the week that begins on `monday`: its reference occurrence when that
// falls in the week, then every step of the walk, flagged by whether a marker shows it.
std::vector<WeekOccurrence> LineOccurrences(const clock::ClockLine &line, QDate monday,
                                            const clock::WorkdayFlagSet &workdays);

// A marker the week view draws, in the view's logical coordinates (the occurrence's point).
struct WeekMarker {
    int line = 0;
    bool reference = false;
    int x = 0; // rounded as the marker is placed
    int y = 0;
    // The lines stacked on this spot, shown by the marker placed last there; 0 on the others.
    int stack = 0;
};

// Where the week view's markers stand for one week, the filter buttons and the table's lines:
// every reference marker, and the repeat markers in line order while the view's pool of 198
// lasts. The window places its markers from it and hit-tests through it; nothing else decides
// what is drawn.
class WeekViewModel {
public:
    static constexpr int RepeatMarkerLimit = 198;
    static constexpr int MaxHits = 10;
    static constexpr int HitHalfWidth = 5;
    static constexpr int HitHalfHeight = 25;

    // shownTables[t]: whether day-table t is on show; a table number without a filter button
    // (a foreign file's) always is.
    void build(const clock::ClockTable &table, QDate monday, const clock::WorkdayFlagSet &workdays,
               const std::array<bool, 5> &shownTables);

    const std::vector<WeekMarker> &markers() const { return m_markers; }
    // Repeat markers among them.
    int repeatMarkers() const { return m_repeatMarkers; }

    // The lines (indexes, ascending) with a drawn marker whose hit box holds the point; at most
    // MaxHits.
    std::vector<int> hitList(QPoint at) const;

    // Where a drag to the point puts a line: quarter-hour column 0..96 (96 meaning 23:59) and
    // weekday row 0..6; nothing outside the area that takes drags.
    struct DragTarget {
        int column = 0;
        int row = 0;
    };
    static std::optional<DragTarget> dragTarget(QPoint at);

private:
    std::vector<WeekMarker> m_markers;
    int m_repeatMarkers = 0;
};

} // namespace quintara::ui
