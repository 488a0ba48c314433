#pragma once

#include "plan/HolidayPlan.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QFormLayout;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace quintara::ui {

class FileDialogs;
class FunctionPresenter;
class LineDescriber;
class PlanAgendaPreview;
class TableHistory;
struct Program;

// Plans the days off as regime lines: the country's public holidays, the days of calendar files
// and vacations. The plan is made again as the choices change and shown before anything
// changes; Apply writes it as one undo step. A day the user unticks is left out.
class HolidayPlanDialog : public QDialog {
    Q_OBJECT
public:
    HolidayPlanDialog(Program &program, const FunctionPresenter &presenter,
                      const LineDescriber &describer, TableHistory &history,
                      FileDialogs &dialogs, QWidget *parent = nullptr);

    const plan::HolidayPlan &plan() const { return m_plan; }
    QComboBox *countryBox() const { return m_country; }
    QListWidget *periodList() const { return m_periods; }
    QListWidget *sourceList() const { return m_sources; }
    QPlainTextEdit *preview() const { return m_preview; }
    PlanAgendaPreview *agenda() const { return m_agenda; }
    QPushButton *applyButton() const { return m_apply; }
    QLabel *summary() const { return m_summary; }
    void addVacation(const plan::Vacation &vacation);
    void addCalendarFile(const QString &path);

    void accept() override;

private:
    QFormLayout *buildChoices();
    QGroupBox *buildMoreDaysOff();
    // The days off beside the preview of their lines, and the dialog's foot.
    void buildPlanView(QVBoxLayout &column);
    void chooseCalendarFile();
    void removeSource();
    void periodTicked(QListWidgetItem *item);
    void readCalendars();
    void replan();
    void showPeriods();
    void previewAgenda();
    plan::HolidayPlanRequest request() const;

    Program &m_program;
    const FunctionPresenter &m_presenter;
    const LineDescriber &m_describer;
    TableHistory &m_history;
    FileDialogs &m_dialogs;
    plan::HolidayPlan m_plan;
    QStringList m_calendarFiles;
    QList<plan::Vacation> m_vacations;
    QList<plan::CalendarDays> m_calendarDays;
    QStringList m_skipped;
    QStringList m_leftOut;
    QComboBox *m_country;
    QComboBox *m_regime;
    QListWidget *m_sources;
    QDateEdit *m_vacationFirst;
    QDateEdit *m_vacationLast;
    QListWidget *m_periods;
    QPlainTextEdit *m_preview;
    PlanAgendaPreview *m_agenda;
    QLabel *m_summary;
    QPushButton *m_apply;
};

} // namespace quintara::ui
