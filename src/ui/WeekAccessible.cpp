#include "ui/WeekAccessible.h"

#include "ui/WeekView.h"

#include <QAccessibleActionInterface>
#include <QWindow>

#include <algorithm>

namespace quintara::ui {

namespace {

constexpr int MarkerKey = 1000;

QRect OnScreen(const WeekView &view, const QRect &rect)
{
    return QRect(view.mapToGlobal(rect.topLeft()), rect.size());
}

// A day's row: its markers are its children.
class DayAccessible : public QAccessibleInterface {
public:
    DayAccessible(const WeekAccessible &week, int row) : m_week(week), m_row(row) {}

    bool isValid() const override { return m_week.isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_week.window(); }
    QAccessibleInterface *parent() const override
    {
        return const_cast<WeekAccessible *>(&m_week);
    }
    int childCount() const override { return int(m_week.view()->rowMarkers(m_row).size()); }
    QAccessibleInterface *child(int index) const override
    {
        return index >= 0 && index < childCount() ? m_week.marker(m_row, index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int k = 0; k < childCount(); ++k)
            if (m_week.marker(m_row, k) == child)
                return k;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int k = childCount() - 1; k >= 0; --k)
            if (QAccessibleInterface *marker = child(k); marker->rect().contains(x, y))
                return marker;
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        const WeekView &view = *m_week.view();
        return t == QAccessible::Name && view.dayName ? view.dayName(m_row) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const WeekView &view = *m_week.view();
        const WeekProjection onto = view.projection();
        const int top = OccurrenceY(m_row) - 25;
        return OnScreen(view, QRect(onto.pixelOf(0, top),
                                    onto.pixelOf(WeekViewModel::CanvasWidth, top + 50)));
    }
    QAccessible::Role role() const override { return QAccessible::List; }
    QAccessible::State state() const override { return {}; }

private:
    const WeekAccessible &m_week;
    const int m_row;
};

// A marker's place on a row; it describes whichever marker the week on show puts there.
class MarkerAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    MarkerAccessible(const WeekAccessible &week, int row, int ordinal)
        : m_week(week), m_row(row), m_ordinal(ordinal)
    {
    }

    std::optional<WeekMarker> marker() const
    {
        if (!m_week.isValid())
            return std::nullopt;
        const std::vector<WeekMarker> markers = m_week.view()->rowMarkers(m_row);
        if (m_ordinal >= int(markers.size()))
            return std::nullopt;
        return markers[std::size_t(m_ordinal)];
    }

    bool isValid() const override { return marker().has_value(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_week.window(); }
    QAccessibleInterface *parent() const override { return m_week.child(m_row); }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        const WeekView &view = *m_week.view();
        const auto shown = marker();
        return shown && t == QAccessible::Name && view.markerName ? view.markerName(*shown)
                                                                   : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const auto shown = marker();
        return shown ? OnScreen(*m_week.view(), m_week.view()->markerRect(*shown)) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        const auto shown = marker();
        if (!shown) {
            state.invisible = true;
            return state;
        }
        const WeekView &view = *m_week.view();
        state.focusable = true;
        state.selectable = true;
        state.selected = view.selected(*shown);
        const auto &focus = view.focusMarker();
        state.focused = view.hasFocus() && focus && focus->line == shown->line &&
                        focus->x == shown->x && focus->y == shown->y;
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {setFocusAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        WeekView &view = *m_week.view();
        const auto shown = marker();
        if (!shown)
            return;
        if ((action == setFocusAction() || action == pressAction()) && view.markerChosen)
            view.markerChosen(*shown);
        if (action == pressAction() && view.markerOpened)
            view.markerOpened(*shown);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    const WeekAccessible &m_week;
    const int m_row;
    const int m_ordinal;
};

QAccessibleInterface *Factory(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<WeekView *>(object))
        return new WeekAccessible(view);
    return nullptr;
}

} // namespace

WeekAccessible::WeekAccessible(WeekView *view) : QAccessibleWidget(view, QAccessible::Grouping) {}

WeekAccessible::~WeekAccessible()
{
    for (const QAccessible::Id id : m_days)
        if (id != 0)
            QAccessible::deleteAccessibleInterface(id);
    for (const QAccessible::Id id : std::as_const(m_markers))
        QAccessible::deleteAccessibleInterface(id);
}

WeekView *WeekAccessible::view() const
{
    return static_cast<WeekView *>(widget());
}

QAccessibleInterface *WeekAccessible::child(int index) const
{
    if (index < 0 || index >= 7)
        return nullptr;
    QAccessible::Id &id = m_days[std::size_t(index)];
    if (id == 0)
        id = QAccessible::registerAccessibleInterface(new DayAccessible(*this, index));
    return QAccessible::accessibleInterface(id);
}

int WeekAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int row = 0; row < 7; ++row)
        if (m_days[std::size_t(row)] != 0 &&
            QAccessible::accessibleInterface(m_days[std::size_t(row)]) == child)
            return row;
    return -1;
}

QAccessibleInterface *WeekAccessible::childAt(int x, int y) const
{
    for (int row = 0; row < 7; ++row)
        if (QAccessibleInterface *day = child(row); day->rect().contains(x, y))
            return day;
    return nullptr;
}

QAccessibleInterface *WeekAccessible::focusChild() const
{
    const auto &focus = view()->focusMarker();
    return focus && view()->hasFocus() ? markerOf(view(), *focus) : nullptr;
}

QAccessibleInterface *WeekAccessible::marker(int row, int ordinal) const
{
    QAccessible::Id &id = m_markers[row * MarkerKey + ordinal];
    if (id == 0)
        id = QAccessible::registerAccessibleInterface(new MarkerAccessible(*this, row, ordinal));
    return QAccessible::accessibleInterface(id);
}

QAccessibleInterface *WeekAccessible::markerOf(const WeekView *view, const WeekMarker &marker)
{
    auto *week = dynamic_cast<WeekAccessible *>(
        QAccessible::queryAccessibleInterface(const_cast<WeekView *>(view)));
    if (!week)
        return nullptr;
    const int row = (marker.y - WeekCanvas::FirstRowY) / WeekCanvas::RowPitch;
    const std::vector<WeekMarker> markers = view->rowMarkers(row);
    const auto found = std::find_if(markers.begin(), markers.end(), [&](const WeekMarker &m) {
        return m.line == marker.line && m.x == marker.x && m.y == marker.y;
    });
    return found == markers.end() ? nullptr
                                  : week->marker(row, int(found - markers.begin()));
}

void InstallWeekAccessibility()
{
    QAccessible::installFactory(Factory);
}

} // namespace quintara::ui
