#include "ui/WeekView.h"

#include "clock/ClockTable.h"
#include "presentation/WeekViewModel.h"
#include "ui/WeekAccessible.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace quintara::ui {

WeekView::WeekView(const WeekViewModel &model, const clock::ClockTable &table,
                   const render::Pictures &pictures, QWidget *parent)
    : QWidget(parent), m_model(model), m_table(table), m_painter(pictures)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_painter.setColours(render::WeekColours::fromPalette(palette()));
    resize(sizeHint());
}

QSize WeekView::sizeHint() const
{
    return {WeekViewModel::CanvasWidth, WeekViewModel::CanvasHeight};
}

QSize WeekView::minimumSizeHint() const
{
    return sizeHint() * 0.7;
}

void WeekView::setWorkdays(const clock::WorkdayFlagSet &workdays)
{
    if (workdays == m_workdays)
        return;
    m_workdays = workdays;
    update();
}

void WeekView::setNow(std::optional<QPointF> now)
{
    if (now == m_now)
        return;
    m_now = now;
    update();
}

void WeekView::setNights(std::vector<WeekNight> nights)
{
    if (nights == m_nights)
        return;
    m_nights = std::move(nights);
    update();
}

void WeekView::setFocusMarker(std::optional<WeekMarker> marker)
{
    const auto same = [](const WeekMarker &a, const WeekMarker &b) {
        return a.line == b.line && a.x == b.x && a.y == b.y;
    };
    if (marker.has_value() == m_focus.has_value() && (!marker || same(*marker, *m_focus)))
        return;
    m_focus = marker;
    update();
    announceFocus();
}

std::vector<WeekMarker> WeekView::rowMarkers(int row) const
{
    std::vector<WeekMarker> markers;
    for (const WeekMarker &marker : m_model.markers())
        if (marker.y == OccurrenceY(row))
            markers.push_back(marker);
    std::stable_sort(markers.begin(), markers.end(), [](const WeekMarker &a, const WeekMarker &b) {
        return std::pair(a.x, a.line) < std::pair(b.x, b.line);
    });
    return markers;
}

bool WeekView::selected(const WeekMarker &marker) const
{
    return m_table.SelectedLine == marker.line + 1;
}

void WeekView::announceFocus() const
{
    if (!m_focus || !hasFocus() || !QAccessible::isActive())
        return;
    if (QAccessibleInterface *marker = WeekAccessible::markerOf(this, *m_focus)) {
        QAccessibleEvent event(marker, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

QPointF WeekView::toWidget(QPointF logical) const
{
    return projection().toArea(logical);
}

QPoint WeekView::toLogical(QPointF widget) const
{
    return projection().toLogical(widget);
}

QRect WeekView::markerRect(const WeekMarker &marker) const
{
    const QPoint at = projection().pixelOf(marker.x, marker.y);
    // The marker's picture, which is its hit box too.
    return {at - QPoint(WeekViewModel::HitHalfWidth, WeekViewModel::HitHalfHeight),
            QSize(2 * WeekViewModel::HitHalfWidth + 1, 2 * WeekViewModel::HitHalfHeight + 1)};
}

void WeekView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    std::optional<QPoint> focus;
    if (m_focus && hasFocus())
        focus = QPoint(m_focus->x, m_focus->y);
    m_painter.paint(painter, QRectF(rect()),
                    render::WeekScene{m_model, m_table, m_workdays, m_now, m_nights, focus}, font());
}

void WeekView::resizeEvent(QResizeEvent *)
{
    emit resized();
}

void WeekView::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button(), event->position().toPoint(), event->globalPosition().toPoint());
}

void WeekView::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(event->buttons(), event->position().toPoint());
}

void WeekView::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(event->position().toPoint());
}

void WeekView::mouseDoubleClickEvent(QMouseEvent *)
{
    emit doubleClicked();
}

// The wheel turns the weeks, a notch a week.
void WeekView::wheelEvent(QWheelEvent *event)
{
    m_wheel += event->angleDelta().y();
    const int notches = m_wheel / QWheelEvent::DefaultDeltasPerStep;
    m_wheel -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        emit weeksTurned(-notches);
    event->accept();
}

void WeekView::keyPressEvent(QKeyEvent *event)
{
    if (keyHandler && keyHandler(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_PageUp:
        emit weeksTurned(-1);
        break;
    case Qt::Key_PageDown:
        emit weeksTurned(1);
        break;
    case Qt::Key_Home:
        emit currentWeekRequested();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool WeekView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt ? toolTipAt(help->pos()) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void WeekView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        m_painter.setColours(render::WeekColours::fromPalette(palette()));
    QWidget::changeEvent(event);
}

void WeekView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
    announceFocus();
}

void WeekView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace quintara::ui
