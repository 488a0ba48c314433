#include "ui/HolidayPlanDialog.h"

#include "clock/ClockTable.h"
#include "clock/YearWindow.h"
#include "platform/Clock.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/HolidayPlanText.h"
#include "presentation/LineDescriber.h"
#include "ui/FileDialogs.h"
#include "ui/Mnemonics.h"
#include "ui/PlanAgendaPreview.h"
#include "ui/PlanDialogParts.h"
#include "ui/Program.h"
#include "ui/TableHistory.h"

#include <QComboBox>
#include <algorithm>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

// The regimes' names in the string table, in regime order.
constexpr int RegimeNameId = 281;
constexpr int KeysRole = Qt::UserRole;

QString CountryText(plan::Country country)
{
    const QString code = plan::CountryCode(country);
    // England and Wales for GB: the holidays are theirs.
    const QLocale::Territory territory = QLocale::codeToTerritory(code);
    return QStringLiteral("%1 – %2").arg(code, QLocale::territoryToString(territory));
}

} // namespace

HolidayPlanDialog::HolidayPlanDialog(Program &program, const FunctionPresenter &presenter,
                                     const LineDescriber &describer, TableHistory &history,
                                     FileDialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_program(program), m_presenter(presenter), m_describer(describer),
      m_history(history), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("HolidayPlanDialog"));
    setWindowTitle(QStringLiteral("Quintara - ") + tr("Plan holidays"));
    auto *column = new QVBoxLayout(this);
    column->addLayout(buildChoices());
    column->addWidget(buildMoreDaysOff());
    buildPlanView(*column);

    connect(m_country, &QComboBox::currentIndexChanged, this, &HolidayPlanDialog::replan);
    connect(m_regime, &QComboBox::currentIndexChanged, this, &HolidayPlanDialog::replan);
    connect(m_periods, &QListWidget::itemChanged, this, &HolidayPlanDialog::periodTicked);
    // Room for the plan, but never more than the screen has (at scale 2 too).
    resize(QSize(880, 560).boundedTo(screen()->availableGeometry().size() * 9 / 10));
    // The vacations planned before are listed to keep or remove: planning again replaces
    // their lines.
    m_vacations = plan::EarlierVacations(m_program.clockTable, request(), m_program.clock.now());
    readCalendars();
    replan();
    AssignMnemonics(*this);
}

QFormLayout *HolidayPlanDialog::buildChoices()
{
    auto *choices = new QFormLayout;
    m_country = new QComboBox(this);
    m_country->addItem(tr("none"), -1);
    for (const plan::Country country : plan::AllCountries())
        m_country->addItem(CountryText(country), int(country));
    // The user's own country when it is one of them.
    const int own = m_country->findText(QLocale::territoryToCode(QLocale::system().territory()),
                                        Qt::MatchStartsWith);
    m_country->setCurrentIndex(own > 0 ? own : 0);
    choices->addRow(tr("Public holidays of &country:"), m_country);
    m_regime = new QComboBox(this);
    for (int regime = 0; regime < clock::Regime::Count; ++regime)
        m_regime->addItem(m_program.strings.GetResString(RegimeNameId + regime), regime);
    m_regime->setCurrentIndex(clock::Regime::Weekendday);
    choices->addRow(tr("On a holiday &switch to:"), m_regime);
    return choices;
}

QGroupBox *HolidayPlanDialog::buildMoreDaysOff()
{
    auto *more = new QGroupBox(tr("More days off"), this);
    auto *moreColumn = new QVBoxLayout(more);
    m_sources = new QListWidget(more);
    m_sources->setAccessibleName(tr("Calendar files and vacations"));
    // A few entries at most: the room goes to the plan.
    m_sources->setMaximumHeight(m_sources->fontMetrics().height() * 6);
    moreColumn->addWidget(m_sources);
    auto *moreButtons = new QHBoxLayout;
    auto *addFile = new QPushButton(tr("Add calendar &file…"), more);
    m_vacationFirst = new QDateEdit(m_program.clock.now().date().addDays(1), more);
    m_vacationLast = new QDateEdit(m_program.clock.now().date().addDays(14), more);
    for (QDateEdit *edit : {m_vacationFirst, m_vacationLast}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    auto *addAway = new QPushButton(tr("Add &vacation"), more);
    auto *remove = new QPushButton(tr("&Remove"), more);
    moreButtons->addWidget(addFile);
    moreButtons->addStretch();
    moreButtons->addWidget(new QLabel(tr("Away from"), more));
    moreButtons->addWidget(m_vacationFirst);
    moreButtons->addWidget(new QLabel(tr("to"), more));
    moreButtons->addWidget(m_vacationLast);
    moreButtons->addWidget(addAway);
    moreButtons->addWidget(remove);
    moreColumn->addLayout(moreButtons);

    connect(addFile, &QPushButton::clicked, this, &HolidayPlanDialog::chooseCalendarFile);
    connect(addAway, &QPushButton::clicked, this, [this] {
        addVacation({m_vacationFirst->date(), m_vacationLast->date()});
    });
    connect(remove, &QPushButton::clicked, this, &HolidayPlanDialog::removeSource);
    return more;
}

void HolidayPlanDialog::buildPlanView(QVBoxLayout &column)
{
    auto *split = new QSplitter(Qt::Horizontal, this);
    m_periods = new QListWidget(split);
    m_periods->setAccessibleName(tr("Days off planned: untick one to leave it out"));
    const PlanPreviewTabs shown = MakePlanPreviewTabs(m_describer, split);
    m_preview = shown.lines;
    m_agenda = shown.agenda;
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    column.addWidget(split, 1);
    const PlanDialogFoot foot = AddPlanDialogFoot(*this, column);
    m_summary = foot.summary;
    m_apply = foot.apply;
}

void HolidayPlanDialog::chooseCalendarFile()
{
    FileDialogRequest request;
    request.title = tr("Add the days of a calendar file");
    request.filter = tr("iCalendar files (*.ics)|*.ics|All files (*.*)|*.*");
    request.fileMustExist = true;
    if (const std::optional<QString> path = m_dialogs.getOpenFileName(this, request))
        addCalendarFile(*path);
}

void HolidayPlanDialog::removeSource()
{
    const int row = m_sources->currentRow();
    if (row < 0)
        return;
    if (row < m_calendarFiles.size())
        m_calendarFiles.removeAt(row);
    else
        m_vacations.removeAt(row - m_calendarFiles.size());
    readCalendars();
    replan();
}

void HolidayPlanDialog::periodTicked(QListWidgetItem *item)
{
    const QStringList keys = item->data(KeysRole).toStringList();
    for (const QString &key : keys)
        m_leftOut.removeAll(key);
    if (item->checkState() == Qt::Unchecked)
        m_leftOut += keys;
    replan();
}

plan::HolidayPlanRequest HolidayPlanDialog::request() const
{
    plan::HolidayPlanRequest request;
    if (const int country = m_country->currentData().toInt(); country >= 0)
        request.country = plan::Country(country);
    request.language = m_program.strings.LanguageOffset() / 10000;
    request.calendarDays = m_calendarDays;
    request.vacations = m_vacations;
    request.holidayRegime = m_regime->currentData().toInt();
    request.leaveOut = m_leftOut;
    request.listedFunctions = m_presenter.ListedFunctions();
    request.keepEarlierVacations = false;
    return request;
}

void HolidayPlanDialog::addVacation(const plan::Vacation &vacation)
{
    m_vacations.append(vacation);
    readCalendars();
    replan();
}

void HolidayPlanDialog::addCalendarFile(const QString &path)
{
    m_calendarFiles.append(path);
    readCalendars();
    replan();
}

void HolidayPlanDialog::readCalendars()
{
    m_sources->clear();
    m_calendarDays.clear();
    m_skipped.clear();
    const plan::HolidayYears years = plan::PlanYears(m_program.clock.now());
    for (qsizetype i = 0; i < m_calendarFiles.size();) {
        const QString &path = m_calendarFiles[i];
        const plan::IcsCalendar calendar = plan::ReadIcsFile(path, years.first, years.last);
        if (!calendar.read()) {
            m_program.notices.tell(calendar.notices);
            m_calendarFiles.removeAt(i);
            continue;
        }
        m_calendarDays += calendar.days;
        const QString name = QFileInfo(path).fileName();
        for (const QString &entry : calendar.skipped)
            m_skipped << tr("%1: skipped %2").arg(name, entry);
        const qsizetype days = calendar.days.size();
        auto *item = new QListWidgetItem(days == 1 ? tr("%1: 1 day off").arg(name)
                                                   : tr("%1: %2 days off").arg(name).arg(days),
                                         m_sources);
        item->setToolTip(path);
        ++i;
    }
    for (const plan::Vacation &vacation : m_vacations)
        new QListWidgetItem(tr("Vacation %1 to %2")
                                .arg(vacation.first.toString(Qt::ISODate),
                                     vacation.last.toString(Qt::ISODate)),
                            m_sources);
}

void HolidayPlanDialog::replan()
{
    m_plan = plan::PlanHolidays(m_program.clockTable, request(), m_program.clock);
    showPeriods();
    QStringList lines;
    if (m_plan.planned()) {
        const clock::YearWindow window = clock::YearWindow::around(m_program.clock.now());
        for (qsizetype i = 0; i < m_plan.lines.size(); ++i) {
            const clock::ClockLine &line = m_plan.lines[i];
            lines << tr("line %1: %2 %3:%4 %5  %6")
                         .arg(m_plan.added.value(i))
                         .arg(clock::ReferenceDate(line, window).toString(Qt::ISODate))
                         .arg(line.Hour, 2, 10, QLatin1Char('0'))
                         .arg(line.Minute, 2, 10, QLatin1Char('0'))
                         .arg(line.RepeatUnit == clock::Once ? tr("once  ") : tr("yearly"))
                         .arg(m_describer.functionText(line).simplified());
        }
        if (!m_plan.replaced.isEmpty()) {
            QStringList replaced;
            for (const int index : m_plan.replaced)
                replaced << QString::number(index);
            lines << tr("replaces lines %1").arg(replaced.join(u' '));
        }
        m_summary->setText(m_plan.periods.isEmpty()
                               ? tr("Choose a country, add a calendar file or a vacation.")
                               : PlanBudgetText(m_plan.budget) + u'\n' + PlanReachText(m_plan));
    } else {
        m_summary->setText(PlanRefusalText(m_plan, m_vacations, PeriodText));
    }
    lines += m_skipped;
    previewAgenda();
    m_preview->setPlainText(lines.join(u'\n'));
    m_apply->setEnabled(m_plan.planned() && !m_plan.lines.isEmpty());
}

void HolidayPlanDialog::previewAgenda()
{
    if (!m_plan.planned() || m_plan.lines.isEmpty()) {
        m_agenda->clear();
        return;
    }
    clock::ClockTable planned = m_program.clockTable;
    plan::ApplyHolidayPlan(planned, m_plan);
    // A year at least, so that every yearly line fires once; as far as the plan reaches.
    const QDateTime now = m_program.clock.now();
    QDate last = now.date().addYears(1);
    if (m_plan.reachesUntil.isValid())
        last = std::max(last, m_plan.reachesUntil.addDays(1));
    for (const plan::DayOffPeriod &period : m_plan.periods)
        last = std::max(last, period.last.addDays(1));
    m_agenda->show(planned, m_plan.added, now.date(), last, now,
                   m_program.project.WorkdayFlags());
}

void HolidayPlanDialog::showPeriods()
{
    const QSignalBlocker quiet(m_periods);
    m_periods->clear();
    // What is planned, then what did not fit, then what the user left out: each can be
    // ticked back or off.
    const auto add = [this](const plan::DayOffPeriod &period, bool on) {
        auto *item = new QListWidgetItem(PeriodText(period), m_periods);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        item->setData(KeysRole, period.keys);
    };
    for (const plan::DayOffPeriod &period : m_plan.periods)
        add(period, true);
    for (const plan::DayOffPeriod &period : m_plan.notFitting)
        add(period, true);
    for (const QString &key : m_leftOut) {
        auto *item = new QListWidgetItem(tr("%1 (left out)").arg(key), m_periods);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(KeysRole, QStringList{key});
    }
}

void HolidayPlanDialog::accept()
{
    if (!m_plan.planned())
        return;
    const TableHistory::State before = m_history.current();
    plan::ApplyHolidayPlan(m_program.clockTable, m_plan);
    m_history.record(before, tr("Plan holidays"));
    QDialog::accept();
}

} // namespace quintara::ui
