// The views beside the week (the list of all lines, the agenda) and the commands on chosen lines:
// duplicate, copy, paste, delete.
#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "clock/HealthCheck.h"
#include "clock/LinePlacement.h"
#include "ui/AgendaView.h"
#include "ui/FrmKlokken.h"
#include "ui/LineListView.h"
#include "ui/Program.h"
#include "presentation/ClockLineClipboard.h"
#include "presentation/HealthText.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>

namespace quintara::ui {

namespace {

enum ViewTab { WeekTab, ListTab, AgendaTab };
constexpr int DuplicateStep = 2465;
constexpr int PasteStep = 2464;
constexpr int DeleteStep = 2462;
constexpr int DeleteLinesQuestion = 2490;

} // namespace

void FrmKlokken::buildViews()
{
    m_lineModel.setNextFiring([this](int index) {
        return clock::NextFiring(m_program.clockTable.Lines[std::size_t(index)],
                                 m_program.clock.now(), m_program.project.WorkdayFlags());
    });
    m_lineModel.setWarnings([this](int index) { return m_warnings[std::size_t(index)]; });
    m_lineList = new LineListView(m_lineModel);
    m_lineList->setObjectName(QStringLiteral("LineList"));
    addView(m_lineList);
    // The week's line is the list's highlighted one, never a current row left unhighlighted.
    const auto followList = [this] {
        const int line = m_lineList->activeLine();
        if (line >= 0) {
            selectLine(line);
        } else if (m_program.clockTable.SelectedLine != 0) {
            const QSignalBlocker quiet(m_lineList);
            SetSelected(0, 0);
        }
    };
    connect(m_lineList, &LineListView::currentLineChanged, this, followList);
    connect(m_lineList, &LineListView::selectionChanged, this, followList);
    connect(m_lineList, &LineListView::lineActivated, this, [this](int line) {
        selectLine(line);
        EditLine();
    });
    connect(m_lineList, &LineListView::deleteRequested, this,
            [this](const QList<int> &lines) { DeleteLines(lines); });

    m_agenda = new AgendaView(m_agendaModel);
    m_agenda->now = [this] { return m_program.clock.now(); };
    m_agenda->workdays = [this] { return m_program.project.WorkdayFlags(); };
    addView(m_agenda);
    // A firing leads to its line in the week.
    connect(m_agenda, &AgendaView::lineActivated, this, [this](int line) {
        showView(WeekTab);
        selectLine(line);
    });
    connect(m_viewTabs, &QTabBar::currentChanged, this, [this] {
        if (m_viewsStale)
            refreshViews();
    });
}

void FrmKlokken::showView(int view)
{
    m_viewTabs->setCurrentIndex(view);
}

void FrmKlokken::refreshViews()
{
    const int view = m_viewTabs->currentIndex();
    if (view == WeekTab) {
        m_viewsStale = true;
        return;
    }
    m_viewsStale = false;
    refreshList();
    // The list may have missed choices made in the week while it was hidden.
    if (const int selected = m_program.clockTable.SelectedLine - 1;
        selected >= 0 && m_lineList->activeLine() != selected)
        m_lineList->selectLine(selected);
    if (view == AgendaTab)
        m_agenda->refresh();
    else
        m_viewsStale = true; // the agenda still has to follow
}

void FrmKlokken::refreshList()
{
    m_warnings =
        HealthTextsByLine(healthProblems(), m_program.clockTable, m_program.strings, years());
    m_lineModel.refresh();
}

void FrmKlokken::selectLine(int index)
{
    const clock::ClockLine *line = m_program.clockTable.line(index);
    if (!line || !line->inUse()) {
        SetSelected(0, 0);
        return;
    }
    // The week of the line's next firing, on the row of that day.
    const QDateTime now = m_program.clock.now();
    const clock::LineFirings firings(*line, now, m_program.project.WorkdayFlags());
    if (const auto next = firings.firstFrom(clock::Moment::fromDateTime(now))) {
        const QDate currentMonday = clock::MondayOf(now.date());
        showWeek(int(currentMonday.daysTo(clock::MondayOf(next->date())) / 7));
        m_focusRow = clock::WeekdayRow(next->date());
    }
    const QSignalBlocker quiet(m_lineList);
    selectMarkerOf(index, m_focusRow);
    if (m_program.clockTable.SelectedLine != index + 1) {
        // No marker of it on show (a hidden day-table, a band): the line all the same.
        m_hits.fill(0);
        m_hits[0] = index + 1;
        SetSelected(1, 1);
    }
}

bool FrmKlokken::listShown() const
{
    return m_viewTabs->currentIndex() == ListTab;
}

QList<int> FrmKlokken::chosenLines() const
{
    if (listShown())
        return m_lineList->selectedLines();
    if (const auto selected = m_program.clockTable.selectedIndex())
        return {*selected};
    return {};
}

void FrmKlokken::DuplicateLines()
{
    const QList<int> lines = chosenLines();
    if (lines.isEmpty())
        return;
    const TableHistory::State before = m_history.current();
    linesPlaced(before, clock::DuplicateLines(m_program.clockTable, lines), int(lines.size()),
                DuplicateStep);
}

void FrmKlokken::linesPlaced(const TableHistory::State &before, const clock::Placement &placement,
                             int count, int stepId)
{
    if (!placement.placed()) {
        m_program.prompter.show(NoRoomText(count, placement.freeLines, m_program.strings),
                                platform::ProgramTitle, platform::Buttons::Ok,
                                platform::Icon::Exclamation);
        return;
    }
    ScrWeeks_Change();
    m_history.record(before, text(stepId));
    selectLine(placement.lines.first());
}

void FrmKlokken::CopyLines()
{
    const QList<int> lines = chosenLines();
    if (lines.isEmpty())
        return;
    m_lineModel.refresh();
    QApplication::clipboard()->setMimeData(CopyClockLines(m_lineModel, lines).release());
}

void FrmKlokken::PasteLines()
{
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    const ClockLinesRead read = mime ? PasteClockLines(*mime) : ClockLinesRead{};
    if (!read.ok()) {
        const QString why = PasteRefusalText(read.status, m_program.strings);
        if (why.isEmpty())
            m_program.prompter.beep(); // nothing of ours to paste
        else
            m_program.prompter.show(why, platform::ProgramTitle, platform::Buttons::Ok,
                                    platform::Icon::Exclamation);
        return;
    }
    const TableHistory::State before = m_history.current();
    linesPlaced(before, clock::PlaceLines(m_program.clockTable, read.lines), int(read.lines.size()),
                PasteStep);
}

void FrmKlokken::DeleteLines(const QList<int> &lines)
{
    if (lines.isEmpty())
        return;
    if (lines.size() == 1) {
        // One line: the question that names it.
        selectLine(lines.first());
        DeleteLine();
        return;
    }
    if (m_program.prompter.show(text(DeleteLinesQuestion).arg(lines.size()), platform::ProgramTitle,
                                platform::Buttons::YesNo, platform::Icon::None,
                                platform::Answer::No) != platform::Answer::Yes)
        return;
    const TableHistory::State before = m_history.current();
    for (const int index : lines) {
        if (clock::ClockLine *line = m_program.clockTable.line(index))
            line->FunctionType = 0;
    }
    ScrWeeks_Change();
    m_history.record(before, text(DeleteStep));
    SetSelected(0, 0);
}

} // namespace quintara::ui
