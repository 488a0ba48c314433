// What the mouse and the keys do on the main window's week view.
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "ui/Program.h"
#include "ui/WeekView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace quintara::ui {

using namespace klokken;

namespace {

int RowOf(const WeekMarker &marker)
{
    return (marker.y - 40) / RowPitch;
}

} // namespace

void FrmKlokken::buildWeekArea()
{
    m_pic = new WeekView(m_model, m_program.clockTable, m_pictures, m_surface);
    m_pic->setObjectName(QStringLiteral("Pic"));
    m_pic->keyHandler = [this](int key, Qt::KeyboardModifiers modifiers) {
        return weekKey(key, modifiers);
    };
    m_pic->toolTipAt = [this](QPoint at) { return markerToolTip(at); };
    connect(m_pic, &WeekView::pressed, this, &FrmKlokken::weekMousePress);
    connect(m_pic, &WeekView::moved, this, &FrmKlokken::weekMouseMove);
    connect(m_pic, &WeekView::released, this, &FrmKlokken::weekMouseRelease);
    connect(m_pic, &WeekView::doubleClicked, this, &FrmKlokken::weekDoubleClick);
    connect(m_pic, &WeekView::weeksTurned, this,
            [this](int weeks) { showWeek(m_scrWeeks->value() + weeks); });
    connect(m_pic, &WeekView::currentWeekRequested, this, [this] { showWeek(0); });
    connect(m_pic, &WeekView::resized, this, [this] { m_captions->update(); });

    m_scrWeeks = new QScrollBar(Qt::Vertical, m_surface);
    m_scrWeeks->setObjectName(QStringLiteral("ScrWeeks"));

    // The day names beside the rows, at the rows' height however tall the week is drawn.
    m_captions = new PictureBox(m_surface, [this](QPainter &painter, const QRect &area) {
        QFont captionFont = font();
        captionFont.setPointSize(10);
        render::WeekPainter::paintDayCaptions(
            painter, QRectF(area), QRectF(m_pic->geometry()).translated(-m_captions->pos()),
            m_firstShownDay, captionFont, palette().color(QPalette::WindowText));
    });
    m_captions->setObjectName(QStringLiteral("DayCaptions"));
    m_captions->setFixedWidth(CaptionWidth);
    // Ten years ahead; the value is a whole number of weeks from the current one.
    m_scrWeeks->setRange(0, 520);
    m_scrWeeks->setSingleStep(1);
    m_scrWeeks->setPageStep(4);
    connect(m_scrWeeks, &QScrollBar::valueChanged, this, [this] { ScrWeeks_Change(); });
}

void FrmKlokken::PlaceDayBackgrounds()
{
    m_pic->setWorkdays(m_program.project.WorkdayFlags());
}

void FrmKlokken::showWeek(int week)
{
    // The scroll bar holds the weeks shown; its change handler repaints.
    m_scrWeeks->setValue(std::clamp(week, m_scrWeeks->minimum(), m_scrWeeks->maximum()));
}

bool FrmKlokken::tableShown(int table) const
{
    // A table number no editor makes (from a file or the central unit) has no filter button.
    if (table < 0 || table >= clock::TableKindCount)
        return true;
    return m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->isChecked();
}

void FrmKlokken::ScrWeeks_Change()
{
    clock::CheckDates(m_program.clockTable, m_program.clock.now().date());
    showTableAsIs();
}

void FrmKlokken::showTableAsIs()
{
    const QDate today = m_program.clock.now().date();
    m_firstShownDay = clock::MondayOf(today).addDays(7 * qint64(m_scrWeeks->value()));
    m_captions->update();
    placeMarkers();
}

void FrmKlokken::PaintAClock(int, int)
{
    // The model is rebuilt as a whole on any change; that costs a fraction of a millisecond.
    placeMarkers();
}

void FrmKlokken::placeMarkers()
{
    std::array<bool, clock::TableKindCount> shown{};
    for (int t = 0; t < clock::TableKindCount; ++t)
        shown[std::size_t(t)] = tableShown(t);
    m_model.build(m_program.clockTable, m_firstShownDay, m_program.project.WorkdayFlags(),
                  clock::YearWindow::around(m_program.clock.now()), shown);
    placeNowLine();
    m_pic->update();
    // The list and the agenda follow the lines, not the selection or the week on show: a
    // rebuilt list would forget the row a click pressed and the anchor of Shift.
    const clock::ClockTable &table = m_program.clockTable;
    if (table.Lines != m_viewsLines || table.MaxClockLines != m_viewsMaxLines) {
        m_viewsLines = table.Lines;
        m_viewsMaxLines = table.MaxClockLines;
        refreshViews();
    }
}

int FrmKlokken::CheckCoord(int x, int y)
{
    // Only what is drawn can be hit, where it is drawn: a hidden day-table must not be picked
    // up (and dragged) unseen, and a marker keeps its size in pixels however the week scales.
    m_hits.fill(0);
    const std::vector<int> lines = m_model.hitList(QPoint(x, y), m_pic->projection());
    for (std::size_t k = 0; k < lines.size(); ++k)
        m_hits[k] = lines[k] + 1;
    return static_cast<int>(lines.size());
}

void FrmKlokken::placeNowLine()
{
    const QDateTime now = m_program.clock.now();
    const qint64 row = m_firstShownDay.daysTo(now.date());
    if (row < 0 || row > 6) {
        m_pic->setNow(std::nullopt);
        return;
    }
    m_pic->setNow(QPointF(OccurrenceX(now.time().hour(), now.time().minute()),
                          OccurrenceY(int(row))));
}

void FrmKlokken::weekMousePress(Qt::MouseButton button, QPoint pos, QPoint globalPos)
{
    m_lastMouse = pos;
    m_pressPos = pos;
    m_dragBefore = m_history.current();
    m_dragStarted = false;
    if (const auto target = WeekViewModel::dragTarget(m_pic->toLogical(pos)))
        m_focusRow = target->row;
    const int count = CheckCoord(pos.x(), pos.y());
    if (count == 0)
        return;
    SetSelected(count, 1);
    if (button == Qt::LeftButton && m_model.markerOfLineAt(m_hits[0] - 1, pos, m_pic->projection()))
        m_dragIndex = m_hits[0];
    else if (button == Qt::RightButton)
        m_mmuEdit->popup(globalPos);
}

void FrmKlokken::weekMouseMove(Qt::MouseButtons buttons, QPoint pos)
{
    const auto target = WeekViewModel::dragTarget(m_pic->toLogical(pos));
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

void FrmKlokken::moveLine(int index, int column, int row)
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
    PaintAClock(index, Dragging);
}

void FrmKlokken::weekMouseRelease(QPoint pos)
{
    if (m_dragIndex > 0) {
        PaintAClock(m_dragIndex - 1, Settled);
        m_history.record(m_dragBefore, text(2463));
    }
    m_lastMouse = pos;
    const int count = CheckCoord(pos.x(), pos.y());
    if (count > 0)
        SetSelected(count, 1);
    m_dragIndex = 0;
}

bool FrmKlokken::weekKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const auto selected = m_program.clockTable.selectedIndex();
    if (shift && selected) {
        // The same rules as a drag: the quarter-hour grid, and a day further moves the date.
        const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(*selected)];
        int column = line.Hour * 4 + line.Minute / 15;
        // From where the line shows, whatever moved it there.
        int row = markerRow(*selected);
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
        moveLine(*selected, column, row);
        m_history.record(before, text(2463));
        m_focusRow = row;
        selectMarkerOf(*selected, row);
        return true;
    }
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

int FrmKlokken::markerRow(int line) const
{
    const auto &markers = m_model.markers();
    const auto ofLine = [line](const WeekMarker &m) { return m.line == line; };
    if (std::any_of(markers.begin(), markers.end(),
                    [&](const WeekMarker &m) { return ofLine(m) && RowOf(m) == m_focusRow; }))
        return m_focusRow;
    const auto any = std::find_if(markers.begin(), markers.end(), ofLine);
    return any != markers.end() ? RowOf(*any) : m_focusRow;
}

void FrmKlokken::selectMarkerOf(int line, int row, std::optional<QPoint> at)
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
    const QPoint pixel = m_pic->projection().pixelOf(at->x(), at->y());
    const int count = CheckCoord(pixel.x(), pixel.y());
    for (int k = 0; k < count; ++k) {
        if (m_hits[std::size_t(k)] == line + 1) {
            SetSelected(count, k + 1);
            return;
        }
    }
}

void FrmKlokken::weekDoubleClick()
{
    if (m_program.clockTable.SelectedLine > 0)
        EditLine();
}

} // namespace quintara::ui
