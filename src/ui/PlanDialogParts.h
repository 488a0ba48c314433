#pragma once

class QDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace quintara::ui {

class LineDescriber;
class PlanAgendaPreview;

// What a planner's dialog shows of its plan before anything changes: the lines it writes and
// the agenda they make, on tabs.
struct PlanPreviewTabs {
    QTabWidget *tabs = nullptr;
    QPlainTextEdit *lines = nullptr;
    PlanAgendaPreview *agenda = nullptr;
};
PlanPreviewTabs MakePlanPreviewTabs(const LineDescriber &describer, QWidget *parent);

// The foot of a planner's dialog: the summary (budget, or why there is no plan) and Apply and
// Cancel, wired to the dialog's accept and reject.
struct PlanDialogFoot {
    QLabel *summary = nullptr;
    QPushButton *apply = nullptr;
};
PlanDialogFoot AddPlanDialogFoot(QDialog &dialog, QVBoxLayout &column);

// Why a dialog cannot take what was typed: wrapped, in a colour that says so, named
// "lblRefusal" for tests and tools.
QLabel *MakeRefusalLabel(QWidget *parent);

} // namespace quintara::ui
