#include "ui/WeekInput.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "settings/TextIds.h"
#include "ui/Program.h"
#include "ui/WeekView.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace quintara::ui {

namespace {

constexpr int RowPitch = WeekViewModel::RowPitch;
constexpr int LastColumn = 96; // quarter hours; the last one means 23:59
constexpr int MoveStepId = settings::TextId::UndoStep::MoveLineN; // "Move line %1"

int RowOf(const WeekMarker &marker)
{
    return (marker.y - 40) / RowPitch;
}

} // namespace

WeekInput::WeekInput(Program &program, TableHistory &history, const WeekViewModel &model,
                     const WeekView &view, const QDate &firstShownDay)
    : m_program(program), m_history(history), m_model(model), m_view(view),
      m_firstShownDay(firstShownDay)
{
}

void WeekInput::notify(const std::function<void()> &hook) const
{
    if (hook)
        hook();
}

int WeekInput::CheckCoord(int x, int y)
{
    // Only what is drawn can be hit, where it is drawn: a hidden day-table must not be picked
    // up (and dragged) unseen, and a marker keeps its size in pixels however the week scales.
    m_hits.fill(0);
    const std::vector<int> lines = m_model.hitList(QPoint(x, y), m_view.projection());
    const std::size_t count = std::min<std::size_t>(lines.size(), MaxHits);
    for (std::size_t k = 0; k < count; ++k)
        m_hits[k] = lines[k] + 1;
    return static_cast<int>(count);
}

void WeekInput::SetSelected(int newCount, int newIndex)
{
    clock::ClockTable &table = m_program.clockTable;
    newCount = std::clamp(newCount, 0, MaxHits);
    m_hitCount = newCount;
    const bool choose = newIndex >= 1 && newIndex <= newCount;
    const int chosen = choose ? m_hits[static_cast<std::size_t>(newIndex - 1)] : 0;
    const bool changed = table.SelectedLine != chosen;
    table.SelectedLine = static_cast<qint16>(chosen);
    if (changed)
        notify(repaint);
    QList<int> lines;
    for (int k = 0; k < newCount; ++k)
        lines.append(m_hits[std::size_t(k)] - 1);
    if (selectionShown)
        selectionShown(lines, choose ? newIndex - 1 : -1);
    m_lastTab = choose ? newIndex - 1 : -1;
}

std::optional<int> WeekInput::chooseHit(int index)
{
    if (index < 0 || index >= m_hitCount || index == m_lastTab)
        return std::nullopt;
    const int chosen = m_hits[static_cast<std::size_t>(index)];
    m_program.clockTable.SelectedLine = static_cast<qint16>(chosen);
    notify(repaint);
    m_lastTab = index;
    return chosen - 1;
}

void WeekInput::selectOnly(int line)
{
    m_hits.fill(0);
    m_hits[0] = line + 1;
    SetSelected(1, 1);
}

void WeekInput::press(Qt::MouseButton button, QPoint pos, QPoint globalPos)
{
    m_pressPos = pos;
    m_dragBefore = m_history.current();
    m_dragStarted = false;
    if (const auto target = WeekViewModel::dragTarget(m_view.toLogical(pos)))
        m_focusRow = target->row;
    m_focusAt = m_view.toLogical(pos);
    const int count = CheckCoord(pos.x(), pos.y());
    if (count == 0)
        return;
    SetSelected(count, 1);
    if (button == Qt::LeftButton &&
        m_model.markerOfLineAt(m_hits[0] - 1, pos, m_view.projection()))
        m_dragIndex = m_hits[0];
    else if (button == Qt::RightButton && contextMenu)
        contextMenu(globalPos);
}

void WeekInput::move(Qt::MouseButtons buttons, QPoint pos)
{
    const auto target = WeekViewModel::dragTarget(m_view.toLogical(pos));
    if (!(buttons & Qt::LeftButton) || m_dragIndex == 0 || !target)
        return;
    // A hand's tremor on a click is no move.
    if (!m_dragStarted && (pos - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragStarted = true;
    moveLine(m_dragIndex - 1, target->column, target->row);
    // The keys go on from where the line now is.
    m_focusRow = target->row;
}

void WeekInput::release(QPoint pos)
{
    if (m_dragIndex > 0) {
        notify(repaint);
        m_history.record(m_dragBefore,
                         m_program.strings.GetResString(MoveStepId).arg(m_dragIndex - 1));
    }
    const int count = CheckCoord(pos.x(), pos.y());
    if (count > 0)
        SetSelected(count, 1);
    m_dragIndex = 0;
}

void WeekInput::doubleClick()
{
    if (m_program.clockTable.SelectedLine > 0)
        notify(edit);
}

void WeekInput::moveLine(int index, int column, int row)
{
    clock::ClockTable &table = m_program.clockTable;
    clock::ClockLine *line = table.line(index);
    if (!line)
        return;
    if (column == LastColumn) {
        line->Hour = 23;
        line->Minute = 59;
    } else {
        line->Hour = static_cast<quint8>(column / 4);
        line->Minute = static_cast<quint8>((column % 4) * 15);
    }
    if (line->Table != clock::Workday && line->Table != clock::Weekend) {
        const QDate today = m_program.clock.now().date();
        const clock::Moment day = clock::Moment::fromDate(m_firstShownDay.addDays(row));
        const clock::Moment kept =
            clock::PushBack(day, clock::WalkStep(*line), clock::CurrentMonday(today));
        clock::SetReferenceDate(*line, kept.date());
    }
    table.TableChanged = true;
    notify(repaint);
}

bool WeekInput::key(int key, Qt::KeyboardModifiers modifiers)
{
    const auto selected = m_program.clockTable.selectedIndex();
    if ((modifiers & Qt::ShiftModifier) && selected)
        return moveKey(key, *selected);
    return stepKey(key);
}

bool WeekInput::moveKey(int key, int selected)
{
    // The same rules as a drag: the quarter-hour grid, and a day further moves the date.
    const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(selected)];
    int column = line.Hour * 4 + line.Minute / 15;
    // From where the line shows, whatever moved it there.
    int row = markerRow(selected);
    switch (key) {
    case Qt::Key_Left:
        column = std::max(0, column - (line.Minute % 15 == 0 ? 1 : 0));
        break;
    case Qt::Key_Right:
        column = std::min(LastColumn, column + 1);
        break;
    case Qt::Key_Up:
        row = std::max(0, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(6, row + 1);
        break;
    default:
        return false;
    }
    const TableHistory::State before = m_history.current();
    moveLine(selected, column, row);
    m_history.record(before, m_program.strings.GetResString(MoveStepId).arg(selected));
    m_focusRow = row;
    selectMarkerOf(selected, row);
    return true;
}

bool WeekInput::stepKey(int key)
{
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Tab || key == Qt::Key_Down;
    const bool backward = key == Qt::Key_Left || key == Qt::Key_Backtab || key == Qt::Key_Up;
    if (!forward && !backward)
        return false;
    // The markers in reading order: row by row, left to right.
    std::vector<WeekMarker> order = m_model.markers();
    if (order.empty())
        return true;
    std::stable_sort(order.begin(), order.end(), [](const WeekMarker &a, const WeekMarker &b) {
        return std::tie(a.y, a.x, a.line) < std::tie(b.y, b.x, b.line);
    });
    const auto selected = m_program.clockTable.selectedIndex();
    auto current = std::find_if(order.begin(), order.end(), [&](const WeekMarker &m) {
        return selected && m.line == *selected && RowOf(m) == m_focusRow;
    });
    const bool rows = key == Qt::Key_Up || key == Qt::Key_Down;
    const WeekMarker *next = nullptr;
    if (current == order.end()) {
        next = forward ? &order.front() : &order.back();
    } else if (rows) {
        // The nearest marker in the next row above or below that has one.
        for (int y = current->y + (forward ? RowPitch : -RowPitch);
             !next && y >= 0 && y < 7 * RowPitch + 40; y += forward ? RowPitch : -RowPitch) {
            for (const WeekMarker &m : order) {
                if (m.y == y &&
                    (!next || std::abs(m.x - current->x) < std::abs(next->x - current->x)))
                    next = &m;
            }
        }
    } else {
        auto it = current;
        // Markers stacked on one spot count as one stop.
        do {
            if (forward)
                it = it + 1 == order.end() ? order.begin() : it + 1;
            else
                it = it == order.begin() ? order.end() - 1 : it - 1;
        } while (it != current && it->x == current->x && it->y == current->y);
        next = &*it;
    }
    if (!next)
        return true;
    m_focusRow = RowOf(*next);
    selectMarkerOf(next->line, m_focusRow, QPoint(next->x, next->y));
    return true;
}

int WeekInput::markerRow(int line) const
{
    const auto &markers = m_model.markers();
    const auto ofLine = [line](const WeekMarker &m) { return m.line == line; };
    if (std::any_of(markers.begin(), markers.end(),
                    [&](const WeekMarker &m) { return ofLine(m) && RowOf(m) == m_focusRow; }))
        return m_focusRow;
    const auto any = std::find_if(markers.begin(), markers.end(), ofLine);
    return any != markers.end() ? RowOf(*any) : m_focusRow;
}

std::optional<WeekMarker> WeekInput::focusedMarker() const
{
    const auto selected = m_program.clockTable.selectedIndex();
    if (!selected)
        return std::nullopt;
    std::optional<WeekMarker> nearest;
    for (const WeekMarker &m : m_model.markers()) {
        if (m.line != *selected || RowOf(m) != m_focusRow)
            continue;
        if (!nearest || std::abs(m.x - m_focusAt.x()) < std::abs(nearest->x - m_focusAt.x()))
            nearest = m;
    }
    return nearest;
}

void WeekInput::selectOnFocusRow(int line)
{
    // On the row the keyboard was on, or wherever the line now shows first.
    m_focusRow = markerRow(line);
    selectMarkerOf(line, m_focusRow);
}

void WeekInput::selectMarkerOf(int line, int row, std::optional<QPoint> at)
{
    if (!at) {
        for (const WeekMarker &m : m_model.markers()) {
            if (m.line == line && RowOf(m) == row) {
                at = QPoint(m.x, m.y);
                break;
            }
        }
    }
    if (!at) {
        SetSelected(0, 0);
        return;
    }
    m_focusAt = *at;
    const QPoint pixel = m_view.projection().pixelOf(at->x(), at->y());
    const int count = CheckCoord(pixel.x(), pixel.y());
    for (int k = 0; k < count; ++k) {
        if (m_hits[std::size_t(k)] == line + 1) {
            SetSelected(count, k + 1);
            return;
        }
    }
}

} // namespace quintara::ui
