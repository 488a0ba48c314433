#pragma once

#include "clock/Occurrences.h"
#include "render/WeekPainter.h"
#include "presentation/WeekViewModel.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

// The week on screen: paints the week-view model through the week painter, mapping its logical
// canvas onto whatever size the widget gets, and hands the mouse on in the widget's pixels
// (which the projection relates to the canvas) and the keys as they come. What a click or a key
// does is its owner's business.
class WeekView : public QWidget {
    Q_OBJECT
public:
    WeekView(const WeekViewModel &model, const clock::ClockTable &table,
             const render::Pictures &pictures, QWidget *parent = nullptr);

    void setWorkdays(const clock::WorkdayFlagSet &workdays);
    // The present moment's logical point, when it lies in the week on show.
    void setNow(std::optional<QPointF> now);
    std::optional<QPointF> now() const { return m_now; }
    // Where the sun is down in the week on show; none without a location.
    void setNights(std::vector<WeekNight> nights);
    const std::vector<WeekNight> &nights() const { return m_nights; }

    // How the canvas lies on the widget as it is now.
    WeekProjection projection() const { return WeekProjection(QRectF(rect())); }
    QPointF toWidget(QPointF logical) const;
    QPoint toLogical(QPointF widget) const;
    // Where a marker is drawn on the widget, and where a click finds it.
    QRect markerRect(const WeekMarker &marker) const;

    // The marker the keyboard is on, framed while the view has the focus; a screen reader is
    // told when it changes.
    void setFocusMarker(std::optional<WeekMarker> marker);
    const std::optional<WeekMarker> &focusMarker() const { return m_focus; }
    // The markers drawn on a day's row (0 = Monday), left to right.
    std::vector<WeekMarker> rowMarkers(int row) const;
    bool selected(const WeekMarker &marker) const;

    // What a screen reader says of a day's row and of a marker; set by the owner.
    std::function<QString(int row)> dayName;
    std::function<QString(const WeekMarker &marker)> markerName;
    // A marker chosen, as a click chooses it, and opened, as a double click opens it.
    std::function<void(const WeekMarker &marker)> markerChosen;
    std::function<void(const WeekMarker &marker)> markerOpened;

    // The keys the owner handles before the view's own (week turning); true when taken.
    std::function<bool(int key, Qt::KeyboardModifiers modifiers)> keyHandler;
    // The tooltip at a point of the widget; empty for none.
    std::function<QString(QPoint at)> toolTipAt;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Mouse positions in the widget's pixels.
    void pressed(Qt::MouseButton button, QPoint at, QPoint globalPos);
    void moved(Qt::MouseButtons buttons, QPoint at);
    void released(QPoint at);
    void doubleClicked();
    // Weeks forward (negative: back) by the wheel or Page Up/Down.
    void weeksTurned(int weeks);
    void currentWeekRequested();
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Tab and Backtab go from marker to marker here; Ctrl+Tab leaves the week.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void announceFocus() const;

    const WeekViewModel &m_model;
    const clock::ClockTable &m_table;
    render::WeekPainter m_painter;
    clock::WorkdayFlagSet m_workdays{};
    std::optional<QPointF> m_now;
    std::vector<WeekNight> m_nights;
    std::optional<WeekMarker> m_focus;
    int m_wheel = 0; // what a fine-grained wheel turned short of a notch
};

} // namespace quintara::ui
