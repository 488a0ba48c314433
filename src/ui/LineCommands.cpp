// The commands of the main window on lines and on the link: add, edit, delete, transmit,
// receive, the on-line test.
#include "clock/ClockTable.h"
#include "clock/HealthCheck.h"
#include "clock/Occurrences.h"
#include "clock/TableDiff.h"
#include "link/Kalvenor.h"
#include "link/OnlineTest.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "link/Ticker.h"
#include "ui/FrmClkEdit.h"
#include "ui/FrmKlokken.h"
#include "ui/Program.h"
#include "presentation/HealthText.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QVersionNumber>

#include <algorithm>

namespace quintara::ui {

void FrmKlokken::bringIntoView(int index)
{
    const clock::ClockLine *line = m_program.clockTable.line(index);
    if (!line)
        return;
    const QDate today = m_program.clock.now().date();
    const QDate currentMonday = clock::MondayOf(today);
    const QDate reference = clock::ReferenceDate(*line, clock::YearWindow::around(today));
    const qint64 weeks =
        reference.isValid() ? currentMonday.daysTo(clock::MondayOf(reference)) / 7 : 0;
    const QSignalBlocker blocker(m_scrWeeks);
    m_scrWeeks->setValue(static_cast<int>(std::clamp<qint64>(weeks, 0, m_scrWeeks->maximum())));
}

void FrmKlokken::AddLine(int tableKind)
{
    clock::ClockTable &table = m_program.clockTable;
    // The table before BeginAddLine fills a free line: Cancel gives it back unchanged.
    const TableHistory::State before = m_history.current();
    const std::optional<int> index =
        clock::BeginAddLine(table, tableKind, m_program.clock, m_program.prompter);
    if (!index)
        return;
    if (editLine)
        editLine(FrmClkEdit::NewLineMode);
    if (clock::FinishAddLine(table, *index)) {
        bringIntoView(*index);
        ScrWeeks_Change();
        m_history.record(before, text(2460));
        m_hits.fill(0);
        m_hits[0] = *index + 1;
        SetSelected(1, 1);
    } else {
        // Cancelled: the free line gets its old bytes back, and nothing counts as changed.
        table.Lines = before.lines;
        m_history.followChanges();
        ScrWeeks_Change();
        SetSelected(0, 0);
    }
}

void FrmKlokken::EditLine()
{
    clock::ClockTable &table = m_program.clockTable;
    const std::optional<int> index = table.selectedIndex();
    if (!index)
        return; // nothing to edit, and nothing changed
    const TableHistory::State before = m_history.current();
    if (editLine)
        editLine(FrmClkEdit::ExistingLineMode);
    // Only a line that really differs counts as a change (Cancel, or OK on the same values).
    bringIntoView(*index);
    ScrWeeks_Change();
    m_history.record(before, text(2461));
    SetSelected(m_hitCount, 1);
}

void FrmKlokken::DeleteLine()
{
    clock::ClockTable &table = m_program.clockTable;
    const TableHistory::State before = m_history.current();
    if (ui::DeleteSelectedLine(table, m_presenter, m_program.prompter)) {
        ScrWeeks_Change();
        m_history.record(before, text(2462));
        SetSelected(0, 0);
    }
}

void FrmKlokken::About()
{
    const QVersionNumber version =
        QVersionNumber::fromString(QCoreApplication::applicationVersion());
    const QString text = QStringLiteral("KALVENOR Domotic Systems \nQuintara version %1.%2/%3")
                             .arg(version.majorVersion())
                             .arg(version.minorVersion())
                             .arg(version.microVersion() % 100);
    m_program.prompter.show(text, QStringLiteral("Info"), platform::Buttons::Ok,
                            platform::Icon::Information);
}

clock::YearWindow FrmKlokken::years() const
{
    return clock::YearWindow::around(m_program.clock.now());
}

std::vector<clock::HealthProblem> FrmKlokken::healthProblems() const
{
    // Without a project every function counts as known.
    std::optional<QSet<int>> functions;
    if (!m_program.settings.nbtFile.isEmpty() || m_receivedProject)
        functions = m_presenter.ListedFunctions();
    return clock::CheckHealth(m_program.clockTable, m_program.clock.now(),
                              m_program.project.WorkdayFlags(), functions);
}

bool FrmKlokken::mayTransmit()
{
    const std::vector<clock::HealthProblem> problems = healthProblems();
    if (problems.empty())
        return true;
    QSet<int> lines;
    for (const clock::HealthProblem &problem : problems)
        lines.insert(problem.line);
    // A box stays readable: the first problems, and how many more there are.
    constexpr int Shown = 12;
    QStringList texts;
    for (std::size_t k = 0; k < problems.size() && k < Shown; ++k)
        texts.append(HealthText(problems[k], m_program.clockTable, m_program.strings, years()));
    if (problems.size() > Shown)
        texts.append(text(2481).arg(problems.size() - Shown));
    const QString message = HealthSummaryHeading(int(lines.size()), m_program.strings) + u'\n' +
                            texts.join(u'\n') + QStringLiteral("\n\n") + text(2480);
    return m_program.prompter.show(message, platform::ProgramTitle, platform::Buttons::OkCancel,
                                   platform::Icon::Exclamation) == platform::Answer::Ok;
}

void FrmKlokken::Transmit()
{
    if (!mayTransmit())
        return;
    const TableHistory::State before = m_history.current();
    if (onTransmit)
        onTransmit();
    // Sending frees one-time lines that lay in the past: a step of its own, and the table no
    // longer what its file holds. Dates moved by whole steps name the same firings and the chain
    // bytes every send rewrites say nothing of what the lines do, so (as for a comparison) they
    // alone are no change.
    const clock::ClockTable &table = m_program.clockTable;
    clock::ClockTable previous = table;
    previous.Lines = before.lines;
    if (!clock::DiffTables(previous, table, {years()}).equal())
        m_history.record(before, text(2469));
    // Sending may free one-time lines that lay in the past, the selected one among them.
    if (const auto index = table.selectedIndex();
        index && !table.Lines[static_cast<std::size_t>(*index)].inUse())
        SetSelected(0, 0);
}

void FrmKlokken::Receive()
{
    // Receiving replaces the table as opening a file does, so it asks the same question first.
    if (!mayDropChanges())
        return;
    const TableHistory::State before = m_history.current();
    if (onReceive)
        onReceive();
    tableReplaced();
    m_history.record(before, text(2466));
}

void FrmKlokken::OnlineTest()
{
    if (onTest)
        onTest();
}

void FrmKlokken::runOnlineTest()
{
    if (!m_linkOcx) {
        m_serialLine =
            std::make_unique<link::QtSerialLine>(link::DeviceMapFromSettings(m_program.profile));
        m_ticker = std::make_unique<link::QtTicker>();
        m_linkOcx = std::make_unique<link::Kalvenor>(*m_serialLine, *m_ticker, m_program.pump);
    }
    std::optional<link::OnlineTestFunction> function;
    if (const auto index = m_program.clockTable.selectedIndex()) {
        const clock::ClockLine &line = m_program.clockTable.Lines[static_cast<std::size_t>(*index)];
        function = link::OnlineTestFunction{line.FunctionType, line.FunctionNumber, line.Level};
    }
    link::RunOnlineTest(*m_linkOcx, m_program.settings.comPort, m_program.settings.baudRateInUse,
                        function, m_program.prompter);
}

} // namespace quintara::ui
