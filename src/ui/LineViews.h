#pragma once

#include "clock/ClockTable.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QStackedWidget;
class QTabBar;
class QWidget;

namespace quintara::clock {
struct HealthProblem;
}

namespace quintara::ui {

struct Program;
class AgendaModel;
class AgendaView;
class ClockLineListModel;
class LineListView;

// The views on tabs beside each other: the week (the window's page), the list of all lines and
// the agenda. The list and the agenda follow the table when they are on show, else when they
// come on, and tell what the user chose in them.
class LineViews : public QObject {
    Q_OBJECT
public:
    enum Tab { WeekTab, ListTab, AgendaTab };

    // health: what the health check says of the table in force, for the list's warnings.
    LineViews(Program &program, ClockLineListModel &lineModel, AgendaModel &agendaModel,
              std::function<std::vector<clock::HealthProblem>()> health, QWidget *parent);

    QTabBar *tabs() const { return m_tabs; }
    QStackedWidget *stack() const { return m_stack; }
    LineListView *list() const { return m_list; }
    AgendaView *agenda() const { return m_agenda; }

    // The week's page, the first of the views.
    void addWeek(QWidget *page);
    // Shows the week, the list of lines or the agenda.
    void show(int tab);
    bool listShown() const;
    // The lines the commands on lines work on: those selected in the list when it is on show,
    // else the selected line of the week.
    QList<int> chosenLines() const;
    // The table may have changed: the views follow when its lines did.
    void followTable();
    // The list and the agenda as the table stands, whether or not their tabs are on show.
    void refreshForPrint();
    // Tab texts, and the views' own when the language changed (or always, when forced: a
    // project brings its function types).
    void translate(bool force = false);

signals:
    // The list's highlighted line, or none highlighted.
    void lineChosen(int line);
    void choiceCleared();
    void editRequested(int line);
    void deleteRequested(const QList<int> &lines);
    // A firing in the agenda leads to its line in the week.
    void firingChosen(int line);

private:
    void addView(QWidget *page);
    void refresh();
    void refreshList();

    Program &m_program;
    ClockLineListModel &m_lineModel;
    AgendaModel &m_agendaModel;
    std::function<std::vector<clock::HealthProblem>()> m_health;
    QTabBar *m_tabs;
    QStackedWidget *m_stack;
    LineListView *m_list = nullptr;
    AgendaView *m_agenda = nullptr;
    // The health check's texts of the table as the list last showed it, line by line.
    std::array<QStringList, clock::ClockLineCount> m_warnings;
    bool m_stale = true; // the table changed while the list and agenda were hidden
    int m_language = -1; // the language offset the views' texts are in
    // The lines the views were last told of.
    std::array<clock::ClockLine, clock::ClockLineCount> m_lines{};
    int m_maxLines = -1;
};

} // namespace quintara::ui
