#include "ui/presentation/WeekViewModel.h"

#include "clock/ClockTable.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace quintara::ui {

namespace {

constexpr QRect DragArea{0, 15, 540, 470}; // 0 <= x < 540, 15 <= y < 485
constexpr int LastColumn = 96;
constexpr int RowPitch = 70;
constexpr int FirstRowY = 40;

// Halves go to the even neighbour, as the grid arithmetic always has.
int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

bool Shown(const std::array<bool, 5> &shownTables, int table)
{
    return table < 0 || table >= int(shownTables.size()) || shownTables[std::size_t(table)];
}

} // namespace

std::vector<WeekOccurrence> LineOccurrences(const clock::ClockLine &line, QDate monday,
                                            const clock::WorkdayFlagSet &workdays)
{
    std::vector<WeekOccurrence> result;
    if (const auto reference = clock::ReferenceOccurrence(line, monday))
        result.push_back({*reference, true, true});

    // The limited walk yields the first occurrences of the unlimited one.
    int markers = 0;
    clock::OccurrenceWalk markerWalk(line, monday, workdays, clock::WalkPurpose::Markers);
    while (markerWalk.next())
        ++markers;
    clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::HitTest);
    for (int k = 0; const auto occurrence = walk.next(); ++k)
        result.push_back({*occurrence, false, k < markers});
    return result;
}

void WeekViewModel::build(const clock::ClockTable &table, QDate monday,
                          const clock::WorkdayFlagSet &workdays,
                          const std::array<bool, 5> &shownTables)
{
    m_markers.clear();
    m_bands.clear();
    m_repeatMarkers = 0;
    for (int i = 0; i < table.usableLines(); ++i) {
        const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse() || !Shown(shownTables, line.Table))
            continue;
        if (const auto reference = clock::ReferenceOccurrence(line, monday))
            m_markers.push_back({i, true, qRound(reference->x), reference->y, 0});
        clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::Markers);
        while (m_repeatMarkers < RepeatMarkerLimit) {
            const auto occurrence = walk.next();
            if (!occurrence)
                break;
            m_markers.push_back({i, false, qRound(occurrence->x), occurrence->y, 0});
            ++m_repeatMarkers;
        }
        addBands(i, line, monday, workdays);
    }

    // The marker placed last on a spot carries the number of lines there: a dense series of one
    // line puts several of its own markers on one pixel, and they count once.
    std::map<std::pair<int, int>, std::size_t> top;
    std::map<std::pair<int, int>, std::set<int>> lines;
    for (std::size_t k = 0; k < m_markers.size(); ++k) {
        const std::pair<int, int> spot{m_markers[k].x, m_markers[k].y};
        top[spot] = k;
        lines[spot].insert(m_markers[k].line);
    }
    for (const auto &[spot, k] : top)
        m_markers[k].stack = int(lines[spot].size());
}

void WeekViewModel::addBands(int index, const clock::ClockLine &line, QDate monday,
                             const clock::WorkdayFlagSet &workdays)
{
    const clock::LineStep step = clock::WalkStep(line);
    if (step.kind == clock::LineStep::None)
        return;
    if (step.kind != clock::LineStep::Minutes) {
        // At most one firing a day, and at most a week of them: the walk finds every one.
        clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::HitTest);
        while (const auto occurrence = walk.next()) {
            const int x = qRound(occurrence->x);
            const bool drawn =
                std::any_of(m_markers.begin(), m_markers.end(), [&](const WeekMarker &m) {
                    return m.line == index && !m.reference && m.x == x && m.y == occurrence->y;
                });
            if (!drawn) {
                const int minute = occurrence->moment.minuteOfDay;
                m_bands.push_back(
                    {index, occurrence->row, x, x, occurrence->y, 1, minute, minute, 0});
            }
        }
        return;
    }
    const QDate referenceDate = clock::ReferenceDate(line);
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
        const int y = clock::OccurrenceY(row);
        for (const WeekMarker &marker : m_markers) {
            if (marker.line == index && !marker.reference && marker.y == y) {
                ++drawn;
                lastDrawnX = std::max(lastDrawnX, marker.x);
            }
        }
        if (drawn >= count)
            continue;
        const int toX = qRound(clock::OccurrenceX(last.hour(), last.minute()));
        const int fromX =
            lastDrawnX >= 0 ? lastDrawnX : qRound(clock::OccurrenceX(first.hour(), first.minute()));
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

bool InHitBox(QPoint at, QPoint pixel)
{
    return std::abs(at.y() - pixel.y()) <= WeekViewModel::HitHalfHeight &&
           std::abs(at.x() - pixel.x()) <= WeekViewModel::HitHalfWidth;
}

} // namespace

bool WeekViewModel::markerOfLineAt(int line, QPoint at, const WeekProjection &onto) const
{
    return std::any_of(m_markers.begin(), m_markers.end(), [&](const WeekMarker &marker) {
        return marker.line == line && InHitBox(at, onto.pixelOf(marker.x, marker.y));
    });
}

std::vector<WeekBand> WeekViewModel::bandsAt(QPoint at, const WeekProjection &onto) const
{
    std::vector<WeekBand> found;
    for (const WeekBand &band : m_bands) {
        const QPoint from = onto.pixelOf(band.fromX, band.y);
        const QPoint to = onto.pixelOf(band.toX, band.y);
        if (std::abs(at.y() - from.y()) <= HitHalfHeight && at.x() >= from.x() - HitHalfWidth &&
            at.x() <= to.x() + HitHalfWidth)
            found.push_back(band);
    }
    return found;
}

std::vector<int> WeekViewModel::hitList(QPoint at, const WeekProjection &onto) const
{
    std::vector<int> lines;
    for (const WeekBand &band : bandsAt(at, onto))
        lines.push_back(band.line);
    for (const WeekMarker &marker : m_markers) {
        if (!InHitBox(at, onto.pixelOf(marker.x, marker.y)))
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
    return DragTarget{std::clamp(RoundEven((at.x() - 20) / 5.0), 0, LastColumn),
                      std::clamp(RoundEven((at.y() - FirstRowY) / double(RowPitch)), 0, 6)};
}

} // namespace quintara::ui
