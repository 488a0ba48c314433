// The week view of the main window: where the markers stand, the mouse and the keys on it.
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "ui/KlokControl.h"
#include "ui/Program.h"

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

// The week area `Pic`: it holds the day backgrounds, hour labels and markers, and takes the
// mouse for all of them.
class FrmKlokken::WeekArea : public QWidget {
public:
    WeekArea(FrmKlokken &owner, QWidget *parent) : QWidget(parent), m_owner(owner) {}

protected:
    // The week's logical canvas; the widget maps it onto whatever size it gets.
    QSize sizeHint() const override { return WeekCanvas; }
    QSize minimumSizeHint() const override { return WeekCanvas * 0.7; }

protected:
    void resizeEvent(QResizeEvent *) override { m_owner.layoutWeek(); }
    void mousePressEvent(QMouseEvent *event) override
    {
        m_owner.weekMousePress(event->button(), m_owner.toLogical(event->position()),
                               event->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        m_owner.weekMouseMove(event->buttons(), m_owner.toLogical(event->position()));
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        m_owner.weekMouseRelease(m_owner.toLogical(event->position()));
    }
    void mouseDoubleClickEvent(QMouseEvent *) override { m_owner.weekDoubleClick(); }
    // The wheel turns the weeks, a notch a week.
    void wheelEvent(QWheelEvent *event) override
    {
        m_wheel += event->angleDelta().y();
        const int notches = m_wheel / QWheelEvent::DefaultDeltasPerStep;
        m_wheel -= notches * QWheelEvent::DefaultDeltasPerStep;
        if (notches != 0)
            m_owner.showWeek(m_owner.m_scrWeeks->value() - notches);
        event->accept();
    }
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(event);
            const QString text = m_owner.markerToolTip(m_owner.toLogical(help->pos()));
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
        return QWidget::event(event);
    }
    // Tab and Backtab go from marker to marker here; Ctrl+Tab leaves the week.
    bool focusNextPrevChild(bool) override { return false; }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_owner.weekKey(event->key(), event->modifiers())) {
            event->accept();
            return;
        }
        QScrollBar *weeks = m_owner.m_scrWeeks;
        switch (event->key()) {
        case Qt::Key_PageUp:
            m_owner.showWeek(weeks->value() - 1);
            break;
        case Qt::Key_PageDown:
            m_owner.showWeek(weeks->value() + 1);
            break;
        case Qt::Key_Home:
            m_owner.showWeek(0);
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    }

private:
    FrmKlokken &m_owner;
    int m_wheel = 0; // what a fine-grained wheel turned short of a notch
};

QPointF FrmKlokken::toWidget(QPointF logical) const
{
    return QPointF(logical.x() * m_pic->width() / WeekCanvas.width(),
                   logical.y() * m_pic->height() / WeekCanvas.height());
}

QPoint FrmKlokken::toLogical(QPointF widget) const
{
    return QPoint(qRound(widget.x() * WeekCanvas.width() / std::max(1, m_pic->width())),
                  qRound(widget.y() * WeekCanvas.height() / std::max(1, m_pic->height())));
}

void FrmKlokken::layoutWeek()
{
    for (int row = 0; row < 7; ++row) {
        m_imgDay[std::size_t(row)]->setGeometry(
            QRectF(toWidget(QPointF(0, 15 + RowPitch * row)),
                   toWidget(QPointF(WeekCanvas.width(), 65 + RowPitch * row)))
                .toRect());
        for (int k = 0; k < 5; ++k) {
            const QPoint at = toWidget(QPointF(120 * k + 20, 55 + RowPitch * row)).toPoint();
            m_hourLabels[std::size_t(row * 5 + k)]->move(at.x() - 20, at.y());
        }
    }
    placeMarkers();
    m_captions->update();
}

void FrmKlokken::buildWeekArea()
{
    m_pic = new WeekArea(*this, m_surface);
    m_pic->setObjectName(QStringLiteral("Pic"));
    m_pic->setFocusPolicy(Qt::StrongFocus);
    m_pic->resize(WeekCanvas);

    for (int row = 0; row < 7; ++row) {
        auto *day = new PictureBox(m_pic, {});
        day->setObjectName(QStringLiteral("ImgDay_%1").arg(row));
        day->setGeometry(0, 15 + RowPitch * row, WeekCanvas.width(), 50);
        m_imgDay[static_cast<std::size_t>(row)] = day;
    }

    QFont hourFont = font();
    hourFont.setPointSizeF(7.5);
    for (int row = 0; row < 7; ++row) {
        for (int k = 0; k < 5; ++k) {
            auto *label = new QLabel(m_pic);
            label->setObjectName(QStringLiteral("LblTime_%1").arg(row * 5 + k));
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->setFont(hourFont);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setGeometry(120 * k, 55 + RowPitch * row, 40, 14);
            m_hourLabels[std::size_t(row * 5 + k)] = label;
            label->setText(k < 4 ? QStringLiteral("%1:00").arg(6 * k, 2, 10, QLatin1Char('0'))
                                 : QStringLiteral("23:59"));
        }
    }

    const clock::ClockTable &table = m_program.clockTable;
    for (int i = 0; i < ReferenceMarkers; ++i) {
        auto *marker = new KlokControl(table, m_pictures, m_pic);
        marker->setObjectName(QStringLiteral("Klok_%1").arg(i));
        marker->setClkIndex(i);
        marker->hide();
        m_klok[static_cast<std::size_t>(i)] = marker;
    }
    for (int j = 1; j <= PoolSize; ++j) {
        auto *marker = new KlokControl(table, m_pictures, m_pic);
        marker->setObjectName(QStringLiteral("KlokR_%1").arg(j));
        marker->setClkIndex(KlokControl::FreeIndex);
        marker->hide();
        m_klokR[static_cast<std::size_t>(j)] = marker;
    }
    m_poolCounter = 0;

    m_nowLine = new QWidget(m_pic);
    m_nowLine->setObjectName(QStringLiteral("NowLine"));
    m_nowLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_nowLine->setAutoFillBackground(true);
    QPalette red = m_nowLine->palette();
    red.setColor(QPalette::Window, QColor(220, 0, 0));
    m_nowLine->setPalette(red);
    m_nowLine->hide();

    m_scrWeeks = new QScrollBar(Qt::Vertical, m_surface);
    m_scrWeeks->setObjectName(QStringLiteral("ScrWeeks"));

    // The day names beside the rows, at the rows' height however tall the week is drawn.
    m_captions = new PictureBox(
        m_surface, [this](QPainter &painter, const QRect &) { paintDayCaptions(painter); });
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
    const auto flags = m_program.project.WorkdayFlags();
    for (std::size_t row = 0; row < m_imgDay.size(); ++row) {
        const Pictures::Day day =
            flags[row] == 1 ? Pictures::Day::Workday : Pictures::Day::NonWorkday;
        m_imgDay[row]->setDraw([this, day](QPainter &painter, const QRect &area) {
            m_pictures.drawDay(painter, day, area);
        });
    }
}

void FrmKlokken::paintDayCaptions(QPainter &painter)
{
    QFont captionFont = font();
    captionFont.setPointSize(10);
    // The longest day name must end before the week area begins.
    const int room = CaptionWidth - 7;
    QFontMetrics metrics(captionFont);
    int widest = 0;
    for (int row = 0; row < 7; ++row)
        widest = std::max(widest, metrics.horizontalAdvance(QLocale().toString(
                                      m_firstShownDay.addDays(row), QStringLiteral("dddd:"))));
    if (widest > room) {
        captionFont.setStretch(std::max(60, 100 * room / widest));
        metrics = QFontMetrics(captionFont);
    }
    painter.setFont(captionFont);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int row = 0; row < 7; ++row) {
        const QDate date = m_firstShownDay.addDays(row);
        const int top =
            qRound(toWidget(QPointF(0, 20 + RowPitch * row)).y()) + m_pic->y() - m_captions->y();
        painter.drawText(QPoint(5, top + metrics.ascent()),
                         QLocale().toString(date, QStringLiteral("dddd:")));
        painter.drawText(QPoint(5, top + metrics.height() + metrics.ascent()),
                         date.toString(QStringLiteral("dd-MM-yyyy")));
    }
}

void FrmKlokken::showWeek(int week)
{
    // The scroll bar holds the weeks shown; its change handler repaints.
    m_scrWeeks->setValue(std::clamp(week, m_scrWeeks->minimum(), m_scrWeeks->maximum()));
}

KlokControl *FrmKlokken::Klok(int index) const
{
    return index >= 0 && index < ReferenceMarkers ? m_klok[static_cast<std::size_t>(index)]
                                                  : nullptr;
}

KlokControl *FrmKlokken::KlokR(int index) const
{
    return index >= 1 && index <= PoolSize ? m_klokR[static_cast<std::size_t>(index)] : nullptr;
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    clock::ClockTable &table = m_program.clockTable;
    const QDate today = m_program.clock.now().date();
    clock::CheckDates(table, clock::MondayOf(today));
    m_firstShownDay = clock::MondayOf(today).addDays(7 * qint64(m_scrWeeks->value()));
    m_captions->update();
    placeMarkers();
    QApplication::restoreOverrideCursor();
}

void FrmKlokken::PaintAClock(int, int)
{
    // The pool is handed out in line order, so any change places every marker anew; that costs
    // a fraction of a millisecond.
    placeMarkers();
}

void FrmKlokken::placeMarkers()
{
    std::array<bool, clock::TableKindCount> shown{};
    for (int t = 0; t < clock::TableKindCount; ++t)
        shown[std::size_t(t)] = tableShown(t);
    m_model.build(m_program.clockTable, m_firstShownDay, m_program.project.WorkdayFlags(), shown);

    // Every reference marker, not only those below MaxClockLines: a smaller model may just
    // have been selected.
    for (KlokControl *marker : m_klok)
        marker->hide();
    for (int j = 1; j <= PoolSize; ++j) {
        KlokControl *marker = m_klokR[static_cast<std::size_t>(j)];
        marker->hide();
        marker->setClkIndex(KlokControl::FreeIndex);
    }
    // Bands first: the markers are raised over them as they are placed.
    const std::vector<WeekBand> &bands = m_model.bands();
    while (m_bands.size() < bands.size()) {
        auto *band = new PictureBox(m_pic, {});
        band->setObjectName(QStringLiteral("Band_%1").arg(m_bands.size()));
        m_bands.push_back(band);
    }
    for (std::size_t k = 0; k < m_bands.size(); ++k) {
        PictureBox *widget = m_bands[k];
        if (k >= bands.size()) {
            widget->hide();
            continue;
        }
        const WeekBand &band = bands[k];
        const QColor colour = TableColour(m_program.clockTable.Lines[std::size_t(band.line)].Table);
        const QPoint from = toWidget(QPointF(band.fromX, band.y)).toPoint();
        const QPoint to = toWidget(QPointF(band.toX, band.y)).toPoint();
        widget->setGeometry(from.x(), from.y() - 3, to.x() - from.x() + 1, 6);
        // Plain rectangles: a week of dense series is a hundred bands across the screen.
        widget->setDraw([colour](QPainter &painter, const QRect &area) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.fillRect(area, colour == Qt::black ? QColor(Qt::black) : colour.darker(160));
            painter.fillRect(area.adjusted(1, 1, -1, -1),
                             colour == Qt::black ? QColor(110, 110, 110) : colour.lighter(130));
        });
        widget->show();
        widget->raise();
    }
    placeNowLine();

    int pool = 0;
    for (const WeekMarker &placed : m_model.markers()) {
        KlokControl *marker =
            placed.reference ? m_klok[std::size_t(placed.line)] : m_klokR[std::size_t(++pool)];
        if (!placed.reference)
            marker->setClkIndex(-2 - placed.line);
        marker->move(toWidget(QPointF(placed.x, placed.y)).toPoint() -
                     QPoint(KlokControl::ReferenceX, KlokControl::ReferenceY));
        marker->setClkCount(placed.stack);
        marker->show();
        marker->raise(); // the one placed last on a spot is on top, with the number
        marker->Refresh();
    }
    m_poolCounter = pool;
}

int FrmKlokken::CheckCoord(int x, int y)
{
    // Only markers on show can be hit: a hidden day-table or an occurrence beyond the drawn
    // markers must not be picked up (and dragged) unseen.
    m_hits.fill(0);
    const std::vector<int> lines = m_model.hitList(QPoint(x, y));
    for (std::size_t k = 0; k < lines.size(); ++k)
        m_hits[k] = lines[k] + 1;
    return static_cast<int>(lines.size());
}

void FrmKlokken::placeNowLine()
{
    const QDateTime now = m_program.clock.now();
    const qint64 row = m_firstShownDay.daysTo(now.date());
    if (row < 0 || row > 6) {
        m_nowLine->hide();
        return;
    }
    const QPoint at = toWidget(QPointF(clock::OccurrenceX(now.time().hour(), now.time().minute()),
                                       clock::OccurrenceY(int(row))))
                          .toPoint();
    const int half = qRound(toWidget(QPointF(0, 25)).y());
    m_nowLine->setGeometry(at.x() - 1, at.y() - half, 2, 2 * half);
    m_nowLine->show();
}

void FrmKlokken::weekMousePress(Qt::MouseButton button, QPoint pos, QPoint globalPos)
{
    m_lastMouse = pos;
    m_pressPos = pos;
    m_dragStarted = false;
    if (const auto target = WeekViewModel::dragTarget(pos))
        m_focusRow = target->row;
    const int count = CheckCoord(pos.x(), pos.y());
    if (count == 0)
        return;
    SetSelected(count, 1);
    if (button == Qt::LeftButton && m_model.markerOfLineAt(m_hits[0] - 1, pos))
        m_dragIndex = m_hits[0];
    else if (button == Qt::RightButton)
        m_mmuEdit->popup(globalPos);
}

void FrmKlokken::weekMouseMove(Qt::MouseButtons buttons, QPoint pos)
{
    if (!(buttons & Qt::LeftButton) || m_dragIndex == 0 || !WeekViewModel::dragTarget(pos))
        return;
    // A hand's tremor on a click is no move.
    if (!m_dragStarted && (pos - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragStarted = true;
    if (const auto target = WeekViewModel::dragTarget(pos))
        moveLine(m_dragIndex - 1, target->column, target->row);
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
    if (m_dragIndex > 0)
        PaintAClock(m_dragIndex - 1, Settled);
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
        int row = m_focusRow;
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
        moveLine(*selected, column, row);
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
    const int count = CheckCoord(at->x(), at->y());
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
