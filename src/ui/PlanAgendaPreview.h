#pragma once

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QTableView;

namespace quintara::ui {

class AgendaModel;
class LineDescriber;
class PlannedRows;

// The agenda of a table as a plan would leave it, before anything changes: the firings of the
// lines the plan writes, marked, or of every line. Lines a plan writes fire as they would in
// the table, since a line's firings never depend on the other lines.
class PlanAgendaPreview : public QWidget {
    Q_OBJECT
public:
    explicit PlanAgendaPreview(const LineDescriber &describer, QWidget *parent = nullptr);
    ~PlanAgendaPreview() override;

    // `added` are the indexes in `planned` of the lines the plan writes.
    void show(const clock::ClockTable &planned, const QList<int> &added, QDate from, QDate to,
              const QDateTime &now, const clock::WorkdayFlagSet &workdays);
    void clear();

    QTableView *tableView() const { return m_view; }
    QCheckBox *onlyPlannedBox() const { return m_onlyPlanned; }
    const AgendaModel &model() const { return *m_model; }

private:
    void refill();

    clock::ClockTable m_planned;
    clock::ClockTable m_shown; // what the agenda walks: the plan's lines only, or all
    QList<int> m_added;
    QDate m_from;
    QDate m_to;
    QDateTime m_now;
    clock::WorkdayFlagSet m_workdays{};
    std::unique_ptr<AgendaModel> m_model;
    PlannedRows *m_marked = nullptr;
    QCheckBox *m_onlyPlanned = nullptr;
    QLabel *m_caption = nullptr;
    QTableView *m_view = nullptr;
};

} // namespace quintara::ui
