// The main window's week area: the view, its day captions and the scroll bar of weeks.
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "ui/Program.h"
#include "ui/LineCommands.h"
#include "ui/WeekAccessible.h"
#include "ui/WeekInput.h"
#include "ui/WeekView.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace quintara::ui {

using namespace klokken;

void FrmKlokken::buildWeekArea()
{
    InstallWeekAccessibility();
    m_pic = new WeekView(m_model, m_program.clockTable, m_pictures, m_surface);
    m_pic->setObjectName(QStringLiteral("Pic"));
    m_pic->dayName = [this](int row) { return daySpeech(row); };
    m_pic->markerName = [this](const WeekMarker &marker) { return markerSpeech(marker); };
    m_pic->markerChosen = [this](const WeekMarker &marker) {
        m_input->setFocusRow((marker.y - WeekCanvas::FirstRowY) / RowPitch);
        m_input->selectMarkerOf(marker.line, m_input->focusRow(), QPoint(marker.x, marker.y));
    };
    m_pic->markerOpened = [this](const WeekMarker &) { m_lines->EditLine(); };
    // The input part is made once the view exists; it is there before any event arrives.
    m_pic->keyHandler = [this](int key, Qt::KeyboardModifiers modifiers) {
        return m_input->key(key, modifiers);
    };
    m_pic->toolTipAt = [this](QPoint at) { return markerToolTip(at); };
    connect(m_pic, &WeekView::pressed, this,
            [this](Qt::MouseButton button, QPoint at, QPoint global) {
                m_input->press(button, at, global);
            });
    connect(m_pic, &WeekView::moved, this,
            [this](Qt::MouseButtons buttons, QPoint at) { m_input->move(buttons, at); });
    connect(m_pic, &WeekView::released, this, [this](QPoint at) { m_input->release(at); });
    connect(m_pic, &WeekView::doubleClicked, this, [this] { m_input->doubleClick(); });
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

void FrmKlokken::placeMarkers()
{
    // The model is rebuilt as a whole on any change; that costs a fraction of a millisecond.
    std::array<bool, clock::TableKindCount> shown{};
    for (int t = 0; t < clock::TableKindCount; ++t)
        shown[std::size_t(t)] = m_menus->tableShown(t);
    m_model.build(m_program.clockTable, m_firstShownDay, m_program.project.WorkdayFlags(),
                  clock::YearWindow::around(m_program.clock.now()), shown);
    placeNowLine();
    m_pic->setNights(m_sun->nights(m_firstShownDay));
    if (m_input)
        m_pic->setFocusMarker(m_input->focusedMarker());
    m_pic->update();
    m_lineViews->followTable();
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

void FrmKlokken::bringIntoView(int index)
{
    const clock::ClockLine *line = m_program.clockTable.line(index);
    if (!line)
        return;
    const QDate today = m_program.clock.now().date();
    const QDate currentMonday = clock::MondayOf(today);
    const QDate reference = clock::ReferenceDate(*line, clock::YearWindow::around(today));
    const qint64 weeks =
        reference.isValid() ? currentMonday.daysTo(clock::MondayOf(reference)) / 7 : 0;
    const QSignalBlocker blocker(m_scrWeeks);
    m_scrWeeks->setValue(static_cast<int>(std::clamp<qint64>(weeks, 0, m_scrWeeks->maximum())));
}

} // namespace quintara::ui
