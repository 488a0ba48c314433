#include "ui/SimulationPlanDialog.h"

#include "clock/ClockTable.h"
#include "clock/YearWindow.h"
#include "platform/Clock.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/HolidayPlanText.h"
#include "presentation/LineDescriber.h"
#include "presentation/SimulationPlanText.h"
#include "project/ProjectModel.h"
#include "ui/Mnemonics.h"
#include "ui/PlanAgendaPreview.h"
#include "ui/PlanDialogParts.h"
#include "ui/Program.h"
#include "ui/TableHistory.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <limits>

namespace quintara::ui {

namespace {

constexpr int ReferenceRole = Qt::UserRole;
constexpr int DetailLevel = 2;
constexpr int MaxSwitchings = 12;
constexpr int MaxOnMinutes = 12 * 60;

QTimeEdit *TimeField(QTime time, QWidget *parent)
{
    auto *field = new QTimeEdit(time, parent);
    field->setDisplayFormat(QStringLiteral("HH:mm"));
    return field;
}

QSpinBox *NumberField(int low, int high, int value, QWidget *parent)
{
    auto *field = new QSpinBox(parent);
    field->setRange(low, high);
    field->setValue(value);
    return field;
}

// A form label whose mnemonic moves to `buddy`: a row of several fields gets none by itself.
QLabel *BuddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// "first to last" in one row.
QHBoxLayout *RangeRow(QWidget *first, const QString &to, QWidget *last, QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->addWidget(first);
    row->addWidget(new QLabel(to, parent));
    row->addWidget(last);
    row->addStretch();
    return row;
}

} // namespace

SimulationPlanDialog::SimulationPlanDialog(Program &program, const FunctionPresenter &presenter,
                                           const LineDescriber &describer,
                                           TableHistory &history, QWidget *parent)
    : QDialog(parent), m_program(program), m_presenter(presenter), m_describer(describer),
      m_history(history)
{
    setObjectName(QStringLiteral("SimulationPlanDialog"));
    setWindowTitle(QStringLiteral("Quintara - ") + tr("Plan presence simulation"));
    auto *column = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    column->addLayout(top, 0);
    top->addWidget(buildFunctionList(), 1);
    top->addLayout(buildChoices(), 1);

    const PlanPreviewTabs shown = MakePlanPreviewTabs(m_describer, this);
    m_preview = shown.lines;
    m_agenda = shown.agenda;
    // The week the simulation makes is what there is to see first.
    shown.tabs->setCurrentWidget(m_agenda);
    column->addWidget(shown.tabs, 1);
    const PlanDialogFoot foot = AddPlanDialogFoot(*this, *column);
    m_summary = foot.summary;
    m_apply = foot.apply;

    connectChoices();
    resize(QSize(880, 600).boundedTo(screen()->availableGeometry().size() * 9 / 10));
    replan();
    AssignMnemonics(*this);
}

QListWidget *SimulationPlanDialog::buildFunctionList()
{
    m_functions = new QListWidget(this);
    m_functions->setAccessibleName(tr("Lights and blinds to switch"));
    // What a clock line can drive in this installation, of the kinds that look lived-in.
    m_listed = m_presenter.ListedFunctions();
    for (const int type : {project::FunctionType::Relay, project::FunctionType::Dimmer,
                           project::FunctionType::MotorUpDown}) {
        ItemList list;
        m_presenter.FillFunctionList(list, type, DescribeMode::CodeNumber, false, DetailLevel);
        for (const ListEntry &entry : list.entries) {
            if (!m_listed.contains(entry.itemData))
                continue;
            auto *item = new QListWidgetItem(entry.text.trimmed(), m_functions);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            item->setData(ReferenceRole, entry.itemData);
        }
    }
    return m_functions;
}

QFormLayout *SimulationPlanDialog::buildChoices()
{
    auto *choices = new QFormLayout;
    m_eveningFrom = TimeField(QTime(18, 0), this);
    m_eveningTo = TimeField(QTime(23, 30), this);
    choices->addRow(BuddyLabel(tr("&Evening from"), m_eveningFrom, this),
                    RangeRow(m_eveningFrom, tr("to"), m_eveningTo, this));
    m_morning = new QCheckBox(tr("&Morning from"), this);
    m_morningFrom = TimeField(QTime(6, 30), this);
    m_morningTo = TimeField(QTime(8, 0), this);
    choices->addRow(m_morning, RangeRow(m_morningFrom, tr("to"), m_morningTo, this));
    m_switchings = NumberField(1, MaxSwitchings, 1, this);
    choices->addRow(tr("&Switch-ons per window"), m_switchings);
    m_shortest = NumberField(1, MaxOnMinutes, 20, this);
    m_longest = NumberField(1, MaxOnMinutes, 90, this);
    for (QSpinBox *field : {m_shortest, m_longest})
        field->setSuffix(tr(" min"));
    choices->addRow(BuddyLabel(tr("O&n for"), m_shortest, this),
                    RangeRow(m_shortest, tr("to"), m_longest, this));
    // Every 32-bit seed and nothing beyond: doubles hold such whole numbers exactly.
    m_seed = new QDoubleSpinBox(this);
    m_seed->setDecimals(0);
    m_seed->setRange(0, std::numeric_limits<quint32>::max());
    m_seed->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_seed->setValue(plan::NewSeed());
    m_seed->setAccessibleName(tr("Seed: the same seed makes the same times"));
    m_newSeed = new QPushButton(tr("&New seed"), this);
    auto *seedRow = new QHBoxLayout;
    seedRow->addWidget(m_seed);
    seedRow->addWidget(m_newSeed);
    choices->addRow(BuddyLabel(tr("See&d"), m_seed, this), seedRow);
    return choices;
}

void SimulationPlanDialog::connectChoices()
{
    connect(m_functions, &QListWidget::itemChanged, this, &SimulationPlanDialog::replan);
    for (QTimeEdit *field : {m_eveningFrom, m_eveningTo, m_morningFrom, m_morningTo})
        connect(field, &QTimeEdit::timeChanged, this, &SimulationPlanDialog::replan);
    for (QSpinBox *field : {m_switchings, m_shortest, m_longest})
        connect(field, &QSpinBox::valueChanged, this, &SimulationPlanDialog::replan);
    connect(m_morning, &QCheckBox::toggled, this, &SimulationPlanDialog::replan);
    connect(m_seed, &QDoubleSpinBox::valueChanged, this, &SimulationPlanDialog::replan);
    connect(m_newSeed, &QPushButton::clicked, this, [this] { m_seed->setValue(plan::NewSeed()); });
}

plan::SimulationRequest SimulationPlanDialog::request() const
{
    plan::SimulationRequest request;
    for (int row = 0; row < m_functions->count(); ++row) {
        const QListWidgetItem *item = m_functions->item(row);
        if (item->checkState() != Qt::Checked)
            continue;
        const int reference = item->data(ReferenceRole).toInt();
        if (const std::optional<plan::SimulatedFunction> function =
                plan::ProposedFunction(reference / 256, reference % 256))
            request.functions.append(*function);
    }
    request.evening = plan::TimeWindow::of(m_eveningFrom->time(), m_eveningTo->time());
    if (m_morning->isChecked())
        request.morning = plan::TimeWindow::of(m_morningFrom->time(), m_morningTo->time());
    request.switchings = m_switchings->value();
    request.minOnMinutes = m_shortest->value();
    request.maxOnMinutes = m_longest->value();
    request.seed = quint32(m_seed->value());
    request.listedFunctions = m_listed;
    return request;
}

void SimulationPlanDialog::replan()
{
    m_morningFrom->setEnabled(m_morning->isChecked());
    m_morningTo->setEnabled(m_morning->isChecked());
    const plan::SimulationRequest request = this->request();
    m_plan = plan::PlanPresenceSimulation(m_program.clockTable, request, m_program.clock);
    if (!m_plan.planned()) {
        m_summary->setText(SimulationRefusalText(m_plan, request));
        m_preview->clear();
        m_agenda->clear();
        m_apply->setEnabled(false);
        return;
    }
    clock::ClockTable planned = m_program.clockTable;
    plan::ApplyPresenceSimulation(planned, m_plan);
    const QDateTime now = m_program.clock.now();
    const clock::YearWindow years = clock::YearWindow::around(now);
    QStringList lines;
    for (const int index : m_plan.added) {
        const clock::ClockLine &line = planned.Lines[std::size_t(index)];
        lines << SimulationLineText(index, line, years, m_describer.levelText(line),
                                    m_describer.functionText(line).simplified());
    }
    if (!m_plan.replaced.isEmpty())
        lines << tr("replaces lines %1").arg(LineIndexesText(m_plan.replaced));
    m_preview->setPlainText(lines.join(u'\n'));
    // The Simulation table fires here whatever the regime: the week as it is while away.
    m_agenda->show(planned, m_plan.added, m_plan.firstMonday, m_plan.firstMonday.addDays(6), now,
                   m_program.project.WorkdayFlags());
    m_summary->setText(PlanBudgetText(m_plan.budget) + u'\n' + SimulationNoteText(m_plan));
    m_apply->setEnabled(true);
}

void SimulationPlanDialog::accept()
{
    if (!m_plan.planned())
        return;
    const TableHistory::State before = m_history.current();
    plan::ApplyPresenceSimulation(m_program.clockTable, m_plan);
    m_history.record(before, tr("Plan presence simulation"));
    QDialog::accept();
}

} // namespace quintara::ui
