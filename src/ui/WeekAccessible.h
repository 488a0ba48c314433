#pragma once

#include "presentation/WeekViewModel.h"

#include <QAccessibleWidget>
#include <QHash>

#include <array>

namespace quintara::ui {

class WeekView;

// What assistive technology is told of the week view: its seven days as children and each day's
// markers as the day's children, named as a person reads them, with their selection, the
// keyboard's focus, and what a click (choose) and a double click (open) do as actions.
class WeekAccessible : public QAccessibleWidget {
public:
    explicit WeekAccessible(WeekView *view);
    ~WeekAccessible() override;

    int childCount() const override { return 7; }
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // The interface of a marker of the view; nullptr when it is not drawn.
    static QAccessibleInterface *markerOf(const WeekView *view, const WeekMarker &marker);
    // The interface of the place of the ordinal-th marker on the row: one per place, whatever
    // marker the week on show puts there.
    QAccessibleInterface *marker(int row, int ordinal) const;

    WeekView *view() const;

private:
    mutable std::array<QAccessible::Id, 7> m_days{};
    mutable QHash<int, QAccessible::Id> m_markers; // row * MarkerKey + ordinal
};

// The week view's interface for Qt's accessibility; installed once by the window.
void InstallWeekAccessibility();

} // namespace quintara::ui
