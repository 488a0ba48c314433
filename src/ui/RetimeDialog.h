#pragma once

#include "plan/SunRetime.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace quintara::ui {

class LineDescriber;

// Retime to the sun: the event, the offset and the date chosen, the chosen lines' times
// shown old → new as they change; Apply is open only while the retime can be made.
class RetimeDialog : public QDialog {
    Q_OBJECT
public:
    // retime: the location, the zone and the date to start from (today).
    RetimeDialog(const clock::ClockTable &table, QList<int> lines, plan::SunRetime retime,
                 const LineDescriber &describer, QWidget *parent = nullptr);

    // The lines as the retime makes them; valid once the dialog was accepted.
    const std::optional<plan::RetimePlan> &plan() const { return m_plan; }

private:
    void preview();

    const clock::ClockTable &m_table;
    const QList<int> m_lines;
    plan::SunRetime m_retime;
    const LineDescriber &m_describer;
    QComboBox *m_event = nullptr;
    QSpinBox *m_offset = nullptr;
    QDateEdit *m_date = nullptr;
    QListWidget *m_preview = nullptr;
    QLabel *m_refusal = nullptr;
    QPushButton *m_apply = nullptr;
    std::optional<plan::RetimePlan> m_plan;
};

} // namespace quintara::ui
