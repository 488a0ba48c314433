#include "presentation/WeekViewModel.h"

#include "clock/ClockTable.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace quintara::ui {

namespace {

constexpr QRect DragArea{0, 15, 540, 470}; // 0 <= x < 540, 15 <= y < 485
constexpr int LastColumn = 96;

// Halves go to the even neighbour, as the grid arithmetic always has.
int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// Reference markers stand on whole units; the walk's occurrences keep their fraction until
// a marker is placed.
WeekOccurrence Placed(const clock::Occurrence &occurrence, bool reference, bool marker)
{
    const clock::Moment &at = occurrence.moment;
    const double x =
        reference ? MarkerX(at.hour(), at.minute()) : OccurrenceX(at.hour(), at.minute());
    return {occurrence, reference, marker, x, OccurrenceY(occurrence.row)};
}

bool Shown(const std::array<bool, 5> &shownTables, int table)
{
    return table < 0 || table >= int(shownTables.size()) || shownTables[std::size_t(table)];
}

} // namespace

std::vector<WeekOccurrence> LineOccurrences(const clock::ClockLine &line, QDate monday,
                                            const clock::WorkdayFlagSet &workdays,
                                            clock::YearWindow years)
{
    std::vector<WeekOccurrence> result;
    if (const auto reference = clock::ReferenceOccurrence(line, monday, years))
        result.push_back(Placed(*reference, true, true));

    // The limited walk yields the first occurrences of the unlimited one.
    int markers = 0;
    clock::OccurrenceWalk markerWalk(line, monday, workdays, clock::WalkPurpose::Markers, years);
    while (markerWalk.next())
        ++markers;
    clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::HitTest, years);
    for (int k = 0; const auto occurrence = walk.next(); ++k)
        result.push_back(Placed(*occurrence, false, k < markers));
    return result;
}

void WeekViewModel::build(const clock::ClockTable &table, QDate monday,
                          const clock::WorkdayFlagSet &workdays, clock::YearWindow years,
                          const std::array<bool, 5> &shownTables)
{
    m_markers.clear();
    m_bands.clear();
    m_repeatMarkers = 0;
    for (int i = 0; i < table.usableLines(); ++i) {
        const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse() || !Shown(shownTables, line.Table))
            continue;
        if (const auto reference = clock::ReferenceOccurrence(line, monday, years))
            m_markers.push_back({i, true,
                                 MarkerX(reference->moment.hour(), reference->moment.minute()),
                                 OccurrenceY(reference->row), 0, reference->moment.minuteOfDay});
        clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::Markers, years);
        while (m_repeatMarkers < RepeatMarkerLimit) {
            const auto occurrence = walk.next();
            if (!occurrence)
                break;
            m_markers.push_back({i, false,
                                 MarkerX(occurrence->moment.hour(), occurrence->moment.minute()),
                                 OccurrenceY(occurrence->row), 0, occurrence->moment.minuteOfDay});
            ++m_repeatMarkers;
        }
        addBands(i, line, monday, workdays, years, walk);
    }

    // The marker placed last on a spot carries the number of lines there: a dense series of one
    // line puts several of its own markers on one pixel, and they count once. A line's markers
    // follow each other, so a line new to a spot is one other than the spot's last.
    struct Spot {
        std::size_t top = 0;
        int lastLine = -1;
        int lines = 0;
    };
    std::map<std::pair<int, int>, Spot> spots;
    for (std::size_t k = 0; k < m_markers.size(); ++k) {
        Spot &spot = spots[{m_markers[k].x, m_markers[k].y}];
        spot.top = k;
        if (spot.lastLine != m_markers[k].line) {
            spot.lastLine = m_markers[k].line;
            ++spot.lines;
        }
    }
    for (const auto &[where, spot] : spots)
        m_markers[spot.top].stack = spot.lines;
}

void WeekViewModel::addBands(int index, const clock::ClockLine &line, QDate monday,
                             const clock::WorkdayFlagSet &workdays, clock::YearWindow years,
                             clock::OccurrenceWalk &markerWalk)
{
    const clock::LineStep step = clock::WalkStep(line);
    if (step.kind == clock::LineStep::None)
        return;
    if (step.kind != clock::LineStep::Minutes) {
        // At most one firing a day, so the marker walk is the whole walk: the firings it still
        // has where the pool ran out each get a band.
        while (const auto occurrence = markerWalk.next()) {
            const clock::Moment &at = occurrence->moment;
            const int x = MarkerX(at.hour(), at.minute());
            m_bands.push_back({index, occurrence->row, x, x, OccurrenceY(occurrence->row), 1,
                               at.minuteOfDay, at.minuteOfDay, 0});
        }
        return;
    }
    const QDate referenceDate = clock::ReferenceDate(line, years);
    if (!referenceDate.isValid() || line.Hour > 23 || line.Minute > 59)
        return;
    const clock::Moment reference = clock::Moment::fromDate(referenceDate, line.Hour, line.Minute);
    for (int row = 0; row < 7; ++row) {
        const QDate day = monday.addDays(row);
        if (!clock::DayFilterKeeps(line, day, workdays))
            continue;
        // The day's occurrences after the reference, by arithmetic: no cap of any walk.
        const clock::Moment dayStart = clock::Moment::fromDate(day);
        const qint64 dayEnd = dayStart.totalMinutes() + 1439;
        const clock::Moment after = clock::StepMoment(reference, step, 1);
        const clock::Moment first = clock::PushForward(after, step, std::max(dayStart, after));
        if (first.totalMinutes() > dayEnd)
            continue;
        const int count = int((dayEnd - first.totalMinutes()) / step.amount) + 1;
        const clock::Moment last = clock::StepMoment(first, step, count - 1);

        int drawn = 0;
        int lastDrawnX = -1;
        const int y = OccurrenceY(row);
        for (const WeekMarker &marker : m_markers) {
            if (marker.line == index && !marker.reference && marker.y == y) {
                ++drawn;
                lastDrawnX = std::max(lastDrawnX, marker.x);
            }
        }
        if (drawn >= count)
            continue;
        const int toX = MarkerX(last.hour(), last.minute());
        const int fromX = lastDrawnX >= 0 ? lastDrawnX : MarkerX(first.hour(), first.minute());
        m_bands.push_back({index, row, fromX, std::max(fromX, toX), y, count, first.minuteOfDay,
                           last.minuteOfDay, step.amount});
    }
}

WeekProjection::WeekProjection()
    : area(0, 0, WeekViewModel::CanvasWidth, WeekViewModel::CanvasHeight)
{
}

QPointF WeekProjection::toArea(QPointF logical) const
{
    return QPointF(area.left() + logical.x() * area.width() / WeekViewModel::CanvasWidth,
                   area.top() + logical.y() * area.height() / WeekViewModel::CanvasHeight);
}

QPoint WeekProjection::toLogical(QPointF point) const
{
    return QPoint(qRound((point.x() - area.left()) * WeekViewModel::CanvasWidth /
                         std::max(1.0, area.width())),
                  qRound((point.y() - area.top()) * WeekViewModel::CanvasHeight /
                         std::max(1.0, area.height())));
}

namespace {

// A point of the area tested against logical points: a cheap look at the canvas around it
// first, then the exact test on the pixel each candidate is drawn on.
class HitProbe {
public:
    HitProbe(QPoint at, const WeekProjection &onto) : m_at(at), m_onto(onto)
    {
        const QPointF logical = onto.toLogical(QPointF(at)); // within a logical pixel
        const double sx = std::max(onto.area.width(), 1.0) / WeekViewModel::CanvasWidth;
        const double sy = std::max(onto.area.height(), 1.0) / WeekViewModel::CanvasHeight;
        m_x = logical.x();
        m_y = logical.y();
        m_reachX = (WeekViewModel::HitHalfWidth + 1) / sx + 1;
        m_reachY = (WeekViewModel::HitHalfHeight + 1) / sy + 1;
    }

    bool hits(int x, int y) const
    {
        if (std::abs(x - m_x) > m_reachX || std::abs(y - m_y) > m_reachY)
            return false;
        const QPoint pixel = m_onto.pixelOf(x, y);
        return std::abs(m_at.y() - pixel.y()) <= WeekViewModel::HitHalfHeight &&
               std::abs(m_at.x() - pixel.x()) <= WeekViewModel::HitHalfWidth;
    }
    // A band from fromX to toX on the row at y: its ends' hit boxes and what lies between.
    bool hitsBand(int fromX, int toX, int y) const
    {
        if (std::abs(y - m_y) > m_reachY || m_x < fromX - m_reachX || m_x > toX + m_reachX)
            return false;
        const QPoint from = m_onto.pixelOf(fromX, y);
        const QPoint to = m_onto.pixelOf(toX, y);
        return std::abs(m_at.y() - from.y()) <= WeekViewModel::HitHalfHeight &&
               m_at.x() >= from.x() - WeekViewModel::HitHalfWidth &&
               m_at.x() <= to.x() + WeekViewModel::HitHalfWidth;
    }

private:
    QPoint m_at;
    const WeekProjection &m_onto;
    double m_x = 0;
    double m_y = 0;
    double m_reachX = 0;
    double m_reachY = 0;
};

} // namespace

bool WeekViewModel::markerOfLineAt(int line, QPoint at, const WeekProjection &onto) const
{
    const HitProbe probe(at, onto);
    return std::any_of(m_markers.begin(), m_markers.end(), [&](const WeekMarker &marker) {
        return marker.line == line && probe.hits(marker.x, marker.y);
    });
}

std::vector<WeekBand> WeekViewModel::bandsAt(QPoint at, const WeekProjection &onto) const
{
    const HitProbe probe(at, onto);
    std::vector<WeekBand> found;
    for (const WeekBand &band : m_bands) {
        if (probe.hitsBand(band.fromX, band.toX, band.y))
            found.push_back(band);
    }
    return found;
}

std::vector<int> WeekViewModel::hitList(QPoint at, const WeekProjection &onto) const
{
    std::vector<int> lines;
    for (const WeekBand &band : bandsAt(at, onto))
        lines.push_back(band.line);
    const HitProbe probe(at, onto);
    for (const WeekMarker &marker : m_markers) {
        if (!probe.hits(marker.x, marker.y))
            continue;
        if (std::find(lines.begin(), lines.end(), marker.line) == lines.end())
            lines.push_back(marker.line);
    }
    std::sort(lines.begin(), lines.end());
    if (lines.size() > std::size_t(MaxHits))
        lines.resize(MaxHits);
    return lines;
}

std::optional<WeekViewModel::DragTarget> WeekViewModel::dragTarget(QPoint at)
{
    if (!DragArea.contains(at))
        return std::nullopt;
    return DragTarget{
        std::clamp(RoundEven((at.x() - 20) / 5.0), 0, LastColumn),
        std::clamp(RoundEven((at.y() - WeekCanvas::FirstRowY) / double(WeekCanvas::RowPitch)), 0,
                   6)};
}

} // namespace quintara::ui
