// The views beside the week: the list of all lines and the agenda.
#include "clock/ClockTable.h"
#include "clock/Firings.h"
#include "ui/AgendaView.h"
#include "ui/FileCommands.h"
#include "ui/LineCommands.h"
#include "ui/WeekInput.h"
#include "ui/FrmKlokken.h"
#include "ui/LineListView.h"
#include "ui/Program.h"
#include "presentation/HealthText.h"

#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>

namespace quintara::ui {

namespace {

enum ViewTab { WeekTab, ListTab, AgendaTab };

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
            m_input->clearSelection();
        }
    };
    connect(m_lineList, &LineListView::currentLineChanged, this, followList);
    connect(m_lineList, &LineListView::selectionChanged, this, followList);
    connect(m_lineList, &LineListView::lineActivated, this, [this](int line) {
        selectLine(line);
        m_lines->EditLine();
    });
    connect(m_lineList, &LineListView::deleteRequested, this,
            [this](const QList<int> &lines) { m_lines->DeleteLines(lines); });

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
        HealthTextsByLine(m_files->healthProblems(), m_program.clockTable, m_program.strings,
                          m_files->years());
    m_lineModel.refresh();
}

void FrmKlokken::selectLine(int index)
{
    const clock::ClockLine *line = m_program.clockTable.line(index);
    if (!line || !line->inUse()) {
        m_input->clearSelection();
        return;
    }
    // The week of the line's next firing, on the row of that day.
    const QDateTime now = m_program.clock.now();
    const clock::LineFirings firings(*line, now, m_program.project.WorkdayFlags());
    if (const auto next = firings.firstFrom(clock::Moment::fromDateTime(now))) {
        const QDate currentMonday = clock::MondayOf(now.date());
        showWeek(int(currentMonday.daysTo(clock::MondayOf(next->date())) / 7));
        m_input->setFocusRow(clock::WeekdayRow(next->date()));
    }
    const QSignalBlocker quiet(m_lineList);
    m_input->selectMarkerOf(index, m_input->focusRow());
    // No marker of it on show (a hidden day-table, a band): the line all the same.
    if (m_program.clockTable.SelectedLine != index + 1)
        m_input->selectOnly(index);
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

} // namespace quintara::ui
