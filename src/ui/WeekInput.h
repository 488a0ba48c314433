#pragma once

#include "presentation/WeekViewModel.h"
#include "ui/TableHistory.h"

#include <QDate>
#include <QList>
#include <QPoint>

#include <array>
#include <functional>
#include <optional>

namespace quintara::ui {

struct Program;
class WeekView;

// What the mouse and the keys do on the week view: the lines under a click (the hit list) and
// the one chosen of them, dragging a line over the quarter-hour grid, arrows and Tab from
// marker to marker, Shift+arrows moving the chosen line. Each move is a step of the history.
class WeekInput {
public:
    static constexpr int MaxHits = 10;

    // firstShownDay: the Monday the view shows, kept by its owner.
    WeekInput(Program &program, TableHistory &history, const WeekViewModel &model,
              const WeekView &view, const QDate &firstShownDay);

    // The model must be rebuilt and the view repainted (the table or the selection changed).
    std::function<void()> repaint;
    // The hit list changed: the lines (indexes) under the click, and which is chosen (-1: none).
    std::function<void(const QList<int> &lines, int chosen)> selectionShown;
    std::function<void(QPoint globalPos)> contextMenu;
    // A double click on a chosen line.
    std::function<void()> edit;

    // Mouse positions in the view's pixels.
    void press(Qt::MouseButton button, QPoint pos, QPoint globalPos);
    void move(Qt::MouseButtons buttons, QPoint pos);
    void release(QPoint pos);
    void doubleClick();
    // The view's keys; false for keys it leaves to others.
    bool key(int key, Qt::KeyboardModifiers modifiers);

    // Fills the hit list with the lines under the pixel of the view; their number.
    int CheckCoord(int x, int y);
    // The first newCount hits listed, the newIndex-th of them (1-based; 0 for none) chosen.
    void SetSelected(int newCount, int newIndex);
    // The hit of a panel tab chosen; its line, or nothing when out of range or chosen already.
    std::optional<int> chooseHit(int index);
    // The line alone in the hit list, and chosen.
    void selectOnly(int line);
    // The first hit chosen again, after its line changed.
    void reselect() { SetSelected(m_hitCount, 1); }
    void clearSelection() { SetSelected(0, 0); }
    // Selects the line through its marker in the row (or at the logical point given); nothing
    // chosen when it has no marker there.
    void selectMarkerOf(int line, int row, std::optional<QPoint> at = std::nullopt);
    // The line chosen again through its marker on the row the keyboard works on.
    void selectOnFocusRow(int line);
    void setFocusRow(int row) { m_focusRow = row; }
    // The marker the keyboard is on: the chosen line's on the focus row, the one last stepped to
    // or clicked; none without a chosen line shown there.
    std::optional<WeekMarker> focusedMarker() const;
    int focusRow() const { return m_focusRow; }
    int hitCount() const { return m_hitCount; }

private:
    // Puts the line's time on the column (quarter hours) and, for dated tables, its date on the
    // row's day.
    void moveLine(int index, int column, int row);
    bool moveKey(int key, int line);
    bool stepKey(int key);
    // The row the keyboard works on for the line: the focus row when the line has a marker
    // there, else the row of its first marker.
    int markerRow(int line) const;
    void notify(const std::function<void()> &hook) const;

    Program &m_program;
    TableHistory &m_history;
    const WeekViewModel &m_model;
    const WeekView &m_view;
    const QDate &m_firstShownDay;

    std::array<int, MaxHits> m_hits{}; // line index + 1
    int m_hitCount = 0;
    int m_lastTab = -1;
    int m_dragIndex = 0; // line index + 1, 0 = no drag
    QPoint m_pressPos;
    bool m_dragStarted = false;
    TableHistory::State m_dragBefore; // the table as a drag found it
    int m_focusRow = 0; // the row of the selected line's marker the keyboard moves from
    QPoint m_focusAt;   // logical point last stepped to or clicked: which marker of the row
};

} // namespace quintara::ui
