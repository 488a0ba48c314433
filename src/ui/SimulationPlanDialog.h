#pragma once

#include "plan/PresenceSimulation.h"

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QLabel;
class QDoubleSpinBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace quintara::ui {

class FunctionPresenter;
class LineDescriber;
class PlanAgendaPreview;
class TableHistory;
struct Program;

// Plans presence simulation: the chosen lights and blinds switched on and off at times that
// differ per weekday, in an evening and a morning window. The plan is made again as the
// choices change and shown before anything changes; Apply writes it as one undo step.
class SimulationPlanDialog : public QDialog {
    Q_OBJECT
public:
    SimulationPlanDialog(Program &program, const FunctionPresenter &presenter,
                         const LineDescriber &describer, TableHistory &history,
                         QWidget *parent = nullptr);

    const plan::PresenceSimulation &plan() const { return m_plan; }
    QListWidget *functionList() const { return m_functions; }
    QTimeEdit *eveningFrom() const { return m_eveningFrom; }
    QTimeEdit *eveningTo() const { return m_eveningTo; }
    QCheckBox *morningBox() const { return m_morning; }
    QSpinBox *switchingsBox() const { return m_switchings; }
    QSpinBox *shortestBox() const { return m_shortest; }
    QSpinBox *longestBox() const { return m_longest; }
    QDoubleSpinBox *seedField() const { return m_seed; }
    QPushButton *newSeedButton() const { return m_newSeed; }
    QPlainTextEdit *preview() const { return m_preview; }
    PlanAgendaPreview *agenda() const { return m_agenda; }
    QLabel *summary() const { return m_summary; }
    QPushButton *applyButton() const { return m_apply; }

    void accept() override;

private:
    QListWidget *buildFunctionList();
    QFormLayout *buildChoices();
    void connectChoices();
    void replan();
    plan::SimulationRequest request() const;

    Program &m_program;
    const FunctionPresenter &m_presenter;
    const LineDescriber &m_describer;
    TableHistory &m_history;
    QSet<int> m_listed; // what the project's line editor lists
    plan::PresenceSimulation m_plan;
    QListWidget *m_functions;
    QTimeEdit *m_eveningFrom;
    QTimeEdit *m_eveningTo;
    QCheckBox *m_morning;
    QTimeEdit *m_morningFrom;
    QTimeEdit *m_morningTo;
    QSpinBox *m_switchings;
    QSpinBox *m_shortest;
    QSpinBox *m_longest;
    QDoubleSpinBox *m_seed;
    QPushButton *m_newSeed;
    QPlainTextEdit *m_preview;
    PlanAgendaPreview *m_agenda;
    QLabel *m_summary;
    QPushButton *m_apply;
};

} // namespace quintara::ui
