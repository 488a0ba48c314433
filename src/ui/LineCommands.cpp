#include "ui/LineCommands.h"

#include "clock/ClockTable.h"
#include "clock/LinePlacement.h"
#include "link/Kalvenor.h"
#include "link/OnlineTest.h"
#include "link/PortDevice.h"
#include "link/DeviceLine.h"
#include "link/Ticker.h"
#include "presentation/ClockLineClipboard.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"
#include "settings/TextIds.h"
#include "ui/FrmClkEdit.h"
#include "ui/Program.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace quintara::ui {

namespace {

namespace Step = settings::TextId::UndoStep;
constexpr int DeleteStep = Step::DeleteLines;
constexpr int PasteStep = Step::PasteLines;
constexpr int DuplicateStep = Step::DuplicateLines;
constexpr int DeleteLinesQuestion = 2490;

} // namespace

LineCommands::LineCommands(Program &program, TableHistory &history,
                           const FunctionPresenter &presenter, ClockLineListModel &lineModel)
    : m_program(program), m_history(history), m_presenter(presenter), m_lineModel(lineModel)
{
    onTest = [this] { runOnlineTest(); };
}

LineCommands::~LineCommands() = default;

void LineCommands::call(const std::function<void()> &hook) const
{
    if (hook)
        hook();
}

void LineCommands::call(const std::function<void(int)> &hook, int line) const
{
    if (hook)
        hook(line);
}

QList<int> LineCommands::chosen() const
{
    if (chosenLines)
        return chosenLines();
    if (const auto selected = m_program.clockTable.selectedIndex())
        return {*selected};
    return {};
}

QString LineCommands::oneLineStep(int id, int index) const
{
    return m_program.strings.GetResString(id).arg(index);
}

void LineCommands::AddLine(int tableKind)
{
    clock::ClockTable &table = m_program.clockTable;
    // The table before BeginAddLine fills a free line: Cancel gives it back unchanged.
    const TableHistory::State before = m_history.current();
    const clock::AddLineStart start = clock::BeginAddLine(table, tableKind, m_program.clock);
    m_program.notices.tell(start.notices);
    const std::optional<int> index = start.line;
    if (!index)
        return;
    if (editLine)
        editLine(FrmClkEdit::NewLineMode);
    if (clock::FinishAddLine(table, *index)) {
        call(bringIntoView, *index);
        call(tableChanged);
        m_history.record(before, oneLineStep(Step::AddLineN, *index));
        call(selectOnly, *index);
    } else {
        // Cancelled: the free line gets its old bytes back, and nothing counts as changed.
        table.Lines = before.lines;
        m_history.followChanges();
        call(tableChanged);
        call(clearSelection);
    }
}

void LineCommands::EditLine()
{
    const std::optional<int> index = m_program.clockTable.selectedIndex();
    if (!index)
        return; // nothing to edit, and nothing changed
    const TableHistory::State before = m_history.current();
    if (editLine)
        editLine(FrmClkEdit::ExistingLineMode);
    // Only a line that really differs counts as a change (Cancel, or OK on the same values).
    call(bringIntoView, *index);
    call(tableChanged);
    m_history.record(before, oneLineStep(Step::EditLineN, *index));
    call(reselect);
}

void LineCommands::DeleteLine()
{
    const TableHistory::State before = m_history.current();
    const std::optional<int> index = m_program.clockTable.selectedIndex();
    const std::optional<platform::Message> question =
        ui::DeleteLineQuestion(m_program.clockTable, m_presenter);
    if (question && index && m_program.prompter.ask(*question) == platform::Answer::Yes &&
        clock::DeleteSelectedLine(m_program.clockTable)) {
        call(tableChanged);
        m_history.record(before, oneLineStep(Step::DeleteLineN, *index));
        call(clearSelection);
    }
}

void LineCommands::DeleteLines(const QList<int> &lines)
{
    if (lines.isEmpty())
        return;
    if (lines.size() == 1) {
        // One line: the question that names it.
        call(selectLine, lines.first());
        DeleteLine();
        return;
    }
    const QString question =
        m_program.strings.GetResString(DeleteLinesQuestion).arg(lines.size());
    if (m_program.prompter.show(question, platform::ProgramTitle, platform::Buttons::YesNo,
                                platform::Icon::None,
                                platform::Answer::No) != platform::Answer::Yes)
        return;
    const TableHistory::State before = m_history.current();
    for (const int index : lines) {
        if (clock::ClockLine *line = m_program.clockTable.line(index))
            line->FunctionType = 0;
    }
    call(tableChanged);
    m_history.record(before, m_program.strings.GetResString(DeleteStep));
    call(clearSelection);
}

void LineCommands::DuplicateLines()
{
    const QList<int> lines = chosen();
    if (lines.isEmpty())
        return;
    const TableHistory::State before = m_history.current();
    linesPlaced(before, clock::DuplicateLines(m_program.clockTable, lines), int(lines.size()),
                DuplicateStep);
}

void LineCommands::linesPlaced(const TableHistory::State &before,
                               const clock::Placement &placement, int count, int stepId)
{
    if (!placement.placed()) {
        m_program.prompter.show(NoRoomText(count, placement.freeLines, m_program.strings),
                                platform::ProgramTitle, platform::Buttons::Ok,
                                platform::Icon::Exclamation);
        return;
    }
    call(tableChanged);
    m_history.record(before, m_program.strings.GetResString(stepId));
    call(selectLine, placement.lines.first());
}

void LineCommands::CopyLines()
{
    const QList<int> lines = chosen();
    if (lines.isEmpty())
        return;
    m_lineModel.refresh();
    QApplication::clipboard()->setMimeData(CopyClockLines(m_lineModel, lines).release());
}

void LineCommands::PasteLines()
{
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    const ClockLinesRead read = mime ? PasteClockLines(*mime) : ClockLinesRead{};
    if (!read.ok()) {
        const QString why = PasteRefusalText(read.status, m_program.strings);
        if (why.isEmpty())
            m_program.prompter.beep(); // nothing of ours to paste
        else
            m_program.prompter.show(why, platform::ProgramTitle, platform::Buttons::Ok,
                                    platform::Icon::Exclamation);
        return;
    }
    const TableHistory::State before = m_history.current();
    linesPlaced(before, clock::PlaceLines(m_program.clockTable, read.lines),
                int(read.lines.size()), PasteStep);
}

void LineCommands::OnlineTest()
{
    call(onTest);
}

void LineCommands::runOnlineTest()
{
    if (!m_linkOcx) {
        m_serialLine =
            std::make_unique<link::DeviceLine>(link::DeviceMapFromSettings(m_program.profile));
        m_ticker = std::make_unique<link::QtTicker>();
        m_linkOcx = std::make_unique<link::Kalvenor>(*m_serialLine, *m_ticker);
    }
    std::optional<link::OnlineTestFunction> function;
    if (const auto index = m_program.clockTable.selectedIndex()) {
        const clock::ClockLine &line = m_program.clockTable.Lines[static_cast<std::size_t>(*index)];
        function = link::OnlineTestFunction{line.FunctionType, line.FunctionNumber, line.Level};
    }
    if (link::RunOnlineTest(*m_linkOcx, m_program.settings.comPort,
                            m_program.settings.baudRateInUse, function)
            .beep())
        m_program.prompter.beep();
}

} // namespace quintara::ui
