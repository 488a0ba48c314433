#include "ui/presentation/WeekViewModel.h"

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
                                            const clock::WorkdayFlagSet &workdays,
                                            clock::YearWindow years)
{
    std::vector<WeekOccurrence> result;
    if (const auto reference = clock::ReferenceOccurrence(line, monday, years))
        result.push_back({*reference, true, true});

    // The limited walk yields the first occurrences of the unlimited one.
    int markers = 0;
    clock::OccurrenceWalk markerWalk(line, monday, workdays, clock::WalkPurpose::Markers, years);
    while (markerWalk.next())
        ++markers;
    clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::HitTest, years);
    for (int k = 0; const auto occurrence = walk.next(); ++k)
        result.push_back({*occurrence, false, k < markers});
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
            m_markers.push_back({i, true, qRound(reference->x), reference->y, 0});
        clock::OccurrenceWalk walk(line, monday, workdays, clock::WalkPurpose::Markers, years);
        while (m_repeatMarkers < RepeatMarkerLimit) {
            const auto occurrence = walk.next();
            if (!occurrence)
                break;
            m_markers.push_back({i, false, qRound(occurrence->x), occurrence->y, 0});
            ++m_repeatMarkers;
        }
        addBands(i, line, monday, workdays, years);
    }

    // The marker placed last on a spot carries the number of all of them.
    std::map<std::pair<int, int>, std::size_t> top;
    std::map<std::pair<int, int>, int> count;
    for (std::size_t k = 0; k < m_markers.size(); ++k) {
        const std::pair<int, int> spot{m_markers[k].x, m_markers[k].y};
        top[spot] = k;
        ++count[spot];
    }
    for (const auto &[spot, k] : top)
        m_markers[k].stack = count[spot];
}

void WeekViewModel::addBands(int index, const clock::ClockLine &line, QDate monday,
                             const clock::WorkdayFlagSet &workdays, clock::YearWindow years)
{
    const clock::LineStep step = clock::WalkStep(line);
    const QDate referenceDate = clock::ReferenceDate(line, years);
    if (step.kind != clock::LineStep::Minutes || !referenceDate.isValid() || line.Hour > 23 ||
        line.Minute > 59)
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

namespace {

bool InHitBox(QPoint at, int x, int y)
{
    return std::abs(at.y() - y) <= WeekViewModel::HitHalfHeight &&
           std::abs(at.x() - x) <= WeekViewModel::HitHalfWidth;
}

} // namespace

bool WeekViewModel::markerOfLineAt(int line, QPoint at) const
{
    return std::any_of(m_markers.begin(), m_markers.end(), [&](const WeekMarker &marker) {
        return marker.line == line && InHitBox(at, marker.x, marker.y);
    });
}

std::vector<WeekBand> WeekViewModel::bandsAt(QPoint at) const
{
    std::vector<WeekBand> found;
    for (const WeekBand &band : m_bands) {
        if (std::abs(at.y() - band.y) <= HitHalfHeight && at.x() >= band.fromX - HitHalfWidth &&
            at.x() <= band.toX + HitHalfWidth)
            found.push_back(band);
    }
    return found;
}

std::vector<int> WeekViewModel::hitList(QPoint at) const
{
    std::vector<int> lines;
    for (const WeekBand &band : bandsAt(at))
        lines.push_back(band.line);
    for (const WeekMarker &marker : m_markers) {
        if (!InHitBox(at, marker.x, marker.y))
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
