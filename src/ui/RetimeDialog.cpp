#include "ui/RetimeDialog.h"

#include "presentation/DateText.h"
#include "presentation/LineDescriber.h"
#include "ui/Mnemonics.h"
#include "ui/PlanDialogParts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

// Half a day either way reaches any time of the day from any event.
constexpr int MaxOffsetMinutes = 720;

QString EventCaption(plan::SunEvent event)
{
    switch (event) {
    case plan::SunEvent::Sunrise:
        return RetimeDialog::tr("Sunrise");
    case plan::SunEvent::Sunset:
        return RetimeDialog::tr("Sunset");
    case plan::SunEvent::CivilDawn:
        return RetimeDialog::tr("Civil dawn");
    case plan::SunEvent::CivilDusk:
        break;
    }
    return RetimeDialog::tr("Civil dusk");
}

} // namespace

RetimeDialog::RetimeDialog(const clock::ClockTable &table, QList<int> lines,
                           plan::SunRetime retime, const LineDescriber &describer,
                           QWidget *parent)
    : QDialog(parent), m_table(table), m_lines(std::move(lines)), m_retime(std::move(retime)),
      m_describer(describer)
{
    setObjectName(QStringLiteral("RetimeDialog"));
    setWindowTitle(QStringLiteral("Quintara - ") + tr("Retime to the sun"));
    auto *column = new QVBoxLayout(this);
    auto *choices = new QFormLayout;
    m_event = new QComboBox(this);
    m_event->setObjectName(QStringLiteral("cboSunEvent"));
    for (const plan::SunEvent event : plan::SunEvents)
        m_event->addItem(EventCaption(event), int(event));
    m_event->setCurrentIndex(m_event->findData(int(m_retime.event)));
    choices->addRow(tr("&Event:"), m_event);
    m_offset = new QSpinBox(this);
    m_offset->setObjectName(QStringLiteral("spnOffset"));
    m_offset->setRange(-MaxOffsetMinutes, MaxOffsetMinutes);
    m_offset->setSuffix(tr(" min"));
    m_offset->setValue(m_retime.offsetMinutes);
    choices->addRow(tr("&Offset (later when positive):"), m_offset);
    m_date = new QDateEdit(m_retime.date, this);
    m_date->setObjectName(QStringLiteral("dtpSunDate"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(DateText().format());
    m_date->setDateRange(QDate(plan::FirstSunYear, 1, 1), QDate(plan::LastSunYear, 12, 31));
    choices->addRow(tr("On the &date:"), m_date);
    column->addLayout(choices);

    m_preview = new QListWidget(this);
    m_preview->setObjectName(QStringLiteral("lstRetime"));
    m_preview->setAccessibleName(tr("The chosen lines' times, old and new"));
    column->addWidget(m_preview, 1);
    m_refusal = MakeRefusalLabel(this);
    column->addWidget(m_refusal);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_apply = buttons->addButton(tr("&Apply"), QDialogButtonBox::AcceptRole);
    m_apply->setObjectName(QStringLiteral("cmdApplyRetime"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);

    connect(m_event, &QComboBox::currentIndexChanged, this, &RetimeDialog::preview);
    connect(m_offset, &QSpinBox::valueChanged, this, &RetimeDialog::preview);
    connect(m_date, &QDateEdit::dateChanged, this, &RetimeDialog::preview);
    preview();
    resize(sizeHint().expandedTo(QSize(460, 320)));
    AssignMnemonics(*this);
}

void RetimeDialog::preview()
{
    m_retime.event = plan::SunEvent(m_event->currentData().toInt());
    m_retime.offsetMinutes = m_offset->value();
    m_retime.date = m_date->date();
    const plan::RetimeOutcome outcome = plan::RetimeToSun(m_table, m_lines, m_retime);
    m_preview->clear();
    if (const auto *refusal = std::get_if<plan::RetimeRefusal>(&outcome)) {
        m_plan.reset();
        m_refusal->setText(refusal->text);
    } else {
        m_plan = std::get<plan::RetimePlan>(outcome);
        m_refusal->clear();
        for (const plan::RetimedLine &line : m_plan->lines)
            m_preview->addItem(tr("line %1: %2 → %3  %4")
                                   .arg(line.index)
                                   .arg(LineDescriber::timeText(line.before),
                                        LineDescriber::timeText(line.after),
                                        m_describer.functionText(line.before).simplified()));
    }
    m_apply->setEnabled(m_plan.has_value());
}

} // namespace quintara::ui
