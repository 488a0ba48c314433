#include "ui/LineViews.h"

#include "clock/Firings.h"
#include "clock/HealthCheck.h"
#include "presentation/AgendaModel.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/HealthText.h"
#include "settings/TextIds.h"
#include "ui/AgendaView.h"
#include "ui/LineListView.h"
#include "ui/Program.h"

#include <QStackedWidget>
#include <QTabBar>

namespace quintara::ui {

namespace {

constexpr int TabNameIds[] = {settings::TextId::Print::WeekTitle,
                              settings::TextId::Print::AllLinesTitle,
                              settings::TextId::Print::AgendaTitle};

} // namespace

LineViews::LineViews(Program &program, ClockLineListModel &lineModel, AgendaModel &agendaModel,
                     std::function<std::vector<clock::HealthProblem>()> health, QWidget *parent)
    : QObject(parent), m_program(program), m_lineModel(lineModel), m_agendaModel(agendaModel),
      m_health(std::move(health))
{
    // A tab bar over a stack rather than a QTabWidget: layouts place its pages even while the
    // window is hidden.
    m_tabs = new QTabBar(parent);
    m_tabs->setObjectName(QStringLiteral("ViewTabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setDrawBase(true);
    m_tabs->setExpanding(false);
    m_stack = new QStackedWidget(parent);
    m_stack->setObjectName(QStringLiteral("Views"));
    connect(m_tabs, &QTabBar::currentChanged, m_stack, &QStackedWidget::setCurrentIndex);
}

void LineViews::addWeek(QWidget *page)
{
    addView(page);
    m_lineModel.setNextFiring([this](int index) {
        return clock::NextFiring(m_program.clockTable.Lines[std::size_t(index)],
                                 m_program.clock.now(), m_program.project.WorkdayFlags());
    });
    m_lineModel.setWarnings([this](int index) { return m_warnings[std::size_t(index)]; });
    m_agendaModel.setWarnings([this](int index) { return m_warnings[std::size_t(index)]; });
    m_list = new LineListView(m_lineModel);
    m_list->setObjectName(QStringLiteral("LineList"));
    addView(m_list);
    // The week's line is the list's highlighted one, never a current row left unhighlighted.
    const auto followList = [this] {
        const int line = m_list->activeLine();
        if (line >= 0)
            emit lineChosen(line);
        else
            emit choiceCleared();
    };
    connect(m_list, &LineListView::currentLineChanged, this, followList);
    connect(m_list, &LineListView::selectionChanged, this, followList);
    connect(m_list, &LineListView::lineActivated, this, &LineViews::editRequested);
    connect(m_list, &LineListView::deleteRequested, this, &LineViews::deleteRequested);

    m_agenda = new AgendaView(m_agendaModel);
    m_agenda->now = [this] { return m_program.clock.now(); };
    m_agenda->workdays = [this] { return m_program.project.WorkdayFlags(); };
    addView(m_agenda);
    connect(m_agenda, &AgendaView::lineActivated, this, [this](int line) {
        show(WeekTab);
        emit firingChosen(line);
    });
    connect(m_tabs, &QTabBar::currentChanged, this, [this] {
        if (m_stale)
            refresh();
    });
}

void LineViews::addView(QWidget *page)
{
    // The week decides how large the window asks to be; the other views take what it gives.
    if (m_stack->count() > 0)
        page->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_stack->addWidget(page);
    m_tabs->addTab(QString());
}

void LineViews::show(int tab)
{
    m_tabs->setCurrentIndex(tab);
}

bool LineViews::listShown() const
{
    return m_tabs->currentIndex() == ListTab;
}

QList<int> LineViews::chosenLines() const
{
    if (listShown())
        return m_list->selectedLines();
    if (const auto selected = m_program.clockTable.selectedIndex())
        return {*selected};
    return {};
}

void LineViews::followTable()
{
    // The list and the agenda follow the lines, not the selection or the week on show: a
    // rebuilt list would forget the row a click pressed and the anchor of Shift.
    const clock::ClockTable &table = m_program.clockTable;
    if (table.Lines == m_lines && table.MaxClockLines == m_maxLines)
        return;
    m_lines = table.Lines;
    m_maxLines = table.MaxClockLines;
    refresh();
}

void LineViews::refresh()
{
    const int tab = m_tabs->currentIndex();
    if (tab == WeekTab) {
        m_stale = true;
        return;
    }
    m_stale = false;
    refreshList();
    // The list may have missed choices made in the week while it was hidden.
    if (const int selected = m_program.clockTable.SelectedLine - 1;
        selected >= 0 && m_list->activeLine() != selected)
        m_list->selectLine(selected);
    if (tab == AgendaTab)
        m_agenda->refresh();
    else
        m_stale = true; // the agenda still has to follow
}

void LineViews::refreshList()
{
    m_warnings = HealthTextsByLine(m_health(), m_program.clockTable, m_program.strings,
                                   clock::YearWindow::around(m_program.clock.now()));
    m_lineModel.refresh();
}

void LineViews::refreshForPrint()
{
    refreshList();
    if (m_stale && m_agendaModel.rowCount() > 0)
        m_agenda->refresh();
}

void LineViews::translate(bool force)
{
    for (int tab = 0; tab < m_tabs->count() && tab < 3; ++tab)
        m_tabs->setTabText(tab, m_program.strings.GetResString(TabNameIds[tab]));
    // The views' texts follow a change of language, not every activation of the window.
    if (force)
        m_language = -1;
    if (!m_list || m_language == m_program.strings.LanguageOffset())
        return;
    m_language = m_program.strings.LanguageOffset();
    m_list->translate();
    m_agenda->translate();
    m_stale = true;
    refresh();
}

} // namespace quintara::ui
