#pragma once

#include "clock/Occurrences.h"
#include "presentation/AgendaModel.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QTableView;

namespace quintara::ui {


// The agenda beside the week: a range (this week, the next four weeks, or dates chosen), a
// day-table and a function to keep, and every firing in time order. Double-click or Enter on a
// firing activates its line.
class AgendaView : public QWidget {
    Q_OBJECT
public:
    enum Range { ThisWeek, NextFourWeeks, ChosenDates };

    explicit AgendaView(AgendaModel &model, QWidget *parent = nullptr);

    // What a refresh takes as now and as the workdays.
    std::function<QDateTime()> now;
    std::function<clock::WorkdayFlagSet()> workdays;
    // Where sunrise and sunset come from; none when this is empty or gives none.
    std::function<std::optional<AgendaSun>()> sun;

    // Refills the agenda from the table as it stands.
    void refresh();
    // Re-reads every text in the language in force.
    void translate();

    void setRange(Range range);
    std::pair<QDate, QDate> dates() const;
    QTableView *tableView() const { return m_table; }

signals:
    void lineActivated(int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillFunctions();
    void rangeChosen();
    void activate(const QModelIndex &index);

    AgendaModel &m_model;
    QComboBox *m_cboRange = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_cboTable = nullptr;
    QComboBox *m_cboFunction = nullptr;
    QLabel *m_lblCount = nullptr;
    QTableView *m_table = nullptr;
    bool m_quiet = false; // combos refilled here, not chosen by the user
};

} // namespace quintara::ui
