// The parts the main window is composed of, each built and driven without the window.
#include "clock/TableDiff.h"
#include "presentation/AgendaModel.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/LineDescriber.h"
#include "settings/NameTables.h"
#include "tests/support/TestYears.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/CompareDialog.h"
#include "ui/Exports.h"
#include "ui/FileCommands.h"
#include "ui/FocusFrameStyle.h"
#include "ui/LineCommands.h"
#include "ui/TableHistory.h"
#include "ui/WeekInput.h"
#include "ui/WeekView.h"

#include <QDir>
#include <QGraphicsView>
#include <QPrintPreviewDialog>
#include <QSignalSpy>
#include <QToolBar>

#include <sys/stat.h>

using namespace quintara;
using namespace quintara::testing::window;
using clock::ClockLine;
using platform::Answer;

namespace {

// The program with what the parts describe lines by, and the history of its table.
struct PartsTest : ProgramTest {
    ui::ValueFormatter values{program.strings};
    ui::FunctionPresenter presenter{program.project, program.names, program.strings, values};
    ui::TableHistory history{program.clockTable};

    PartsTest()
    {
        useModelZero();
        program.names = settings::FillNameTables(program.strings);
    }
    ~PartsTest() override { EXPECT_TRUE(prompter.allAnswered()); }
};

// --- The week input ----------------------------------------------------------------------------

struct WeekInputTest : PartsTest {
    render::Pictures pictures;
    ui::WeekViewModel model;
    ui::WeekView view{model, program.clockTable, pictures};
    QDate monday = Monday;
    ui::WeekInput input{program, history, model, view, monday};

    WeekInputTest()
    {
        view.resize(view.sizeHint()); // drawn 1:1: the tests' points are the canvas's own
        input.repaint = [this] { build(); };
        QObject::connect(&view, &ui::WeekView::pressed,
                         [this](Qt::MouseButton b, QPoint at, QPoint g) { input.press(b, at, g); });
        QObject::connect(&view, &ui::WeekView::moved,
                         [this](Qt::MouseButtons b, QPoint at) { input.move(b, at); });
        QObject::connect(&view, &ui::WeekView::released, [this](QPoint at) { input.release(at); });
    }
    // As the window shows a table: its dates brought up to date first.
    void repaint()
    {
        clock::CheckDates(program.clockTable, Today);
        build();
    }
    void build()
    {
        model.build(program.clockTable, monday, program.project.WorkdayFlags(),
                    clock::YearWindow::around(program.clock.now()), {true, true, true, true, true});
    }
    QDateTime when(int line) const
    {
        return clock::ReferenceDateTime(program.clockTable.Lines[std::size_t(line)],
                                        quintara::testing::Years2026);
    }
};

TEST_F(WeekInputTest, DragsAndShiftedKeysMoveOnTheQuarterHourGridAsOneStepEach)
{
    put(0, Line(Monday.addDays(2), 10, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday, 7, 0, clock::Workday, clock::Days, 1));
    put(2, Line(Monday.addDays(-1), 6, 0, clock::Special, clock::Days, 1));
    repaint();
    const auto before = program.clockTable.Lines;

    // A hand's tremor on a click is no move, but selects.
    Drag(&view, At(2, 10, 0), {At(2, 10, 0) + QPoint(1, 1)});
    EXPECT_TRUE(program.clockTable.Lines == before && selected() == 1);
    // A workday line keeps its date and table; only its time follows the pointer.
    Drag(&view, At(1, 7, 0), {At(3, 9, 15) + QPoint(1, 2), At(3, 9, 15)});
    ClockLine workday = before[1];
    workday.Hour = 9;
    workday.Minute = 15;
    EXPECT_EQ(program.clockTable.Lines[1], workday);
    // A daily line dragged to Thursday keeps its reference before the current Monday.
    Drag(&view, At(4, 6, 0), {At(3, 18, 30)});
    EXPECT_EQ(when(2), QDateTime(Monday, QTime(18, 30)));

    // Each drag was one step: undoing them all gives the table back as it was.
    ASSERT_EQ(history.stack().count(), 2);
    history.stack().setIndex(0);
    EXPECT_TRUE(program.clockTable.Lines == before && !program.clockTable.TableChanged);

    // Keys: a fresh table.
    clock::ClearClockTable(program.clockTable);
    history.stack().clear();
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 10, 7, clock::Special, clock::Once, 0));
    put(2, Line(Monday.addDays(3), 9, 0, clock::Simulation, clock::Once, 0));
    repaint();
    // Right and Tab go through the markers in reading order; Down and Up to the nearest marker
    // in the next row that has one.
    QList<int> walked;
    for (const int key : {Qt::Key_Right, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Up, Qt::Key_Right})
        walked << (input.key(key, {}) ? selected() : -1);
    EXPECT_EQ(walked, QList<int>({1, 2, 3, 1, 2}));

    // Shift+arrows move the selected line as a drag would: a quarter hour, or a day.
    for (const int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
        input.key(key, Qt::ShiftModifier);
    // Still selected, in its new place; a step each.
    EXPECT_EQ(std::tuple(when(1), selected(), history.stack().count()),
              std::tuple(QDateTime(Monday.addDays(2), QTime(10, 30)), 2, 4));
    // After a drag the keys go on from the day the line was dropped on.
    Drag(&view, At(2, 10, 30), {At(2, 11, 0), At(4, 12, 0)});
    input.key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(when(1), QDateTime(Monday.addDays(4), QTime(12, 15)));
}

// --- The file commands -------------------------------------------------------------------------

struct FileCommandsTest : PartsTest {
    ui::FileCommands files{program, dialogs, history, presenter, nullptr};
    int replaced = 0;
    QString launched = QDir::currentPath();

    FileCommandsTest()
    {
        files.tableReplaced = [this] { ++replaced; };
        files.projectApplied = [this] { clock::ApplyModel(program.clockTable, program.project); };
    }
    ~FileCommandsTest() override { QDir::setCurrent(launched); }
};

// A new table has no file until the user names one, whatever folder the last dialog left
// current; a save over an existing file that is not the table's own asks first, No by default.
TEST_F(FileCommandsTest, ANewTableHasNoFileAndSavesAskBeforeReplacingAnotherFile)
{
    const QString folder = dir.filePath(QStringLiteral("projects.v2"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString house = WriteFile(folder + "/house.nbt", FileBytes(DemoProject()));
    const QString schedule = WriteFile(folder + "/house.clk", "another table's bytes");
    dialogs.answer(house);
    files.ReadProject(); // which makes the project's folder current
    put(0, Line(Monday, 8, 0, clock::Continue, clock::Days, 1));
    program.clockTable.TableChanged = true;
    prompter.expect(Answer::No);
    files.NewTable();
    EXPECT_FALSE(program.clockTable.Lines[0].inUse() || program.clockTable.TableChanged);

    // Save goes through Save As, which offers the project's name; the file there is not this
    // table's, so replacing it is asked, and No keeps it.
    program.clockTable.TableChanged = true;
    dialogs.answer(schedule);
    prompter.expect(Answer::No);
    files.Save();
    EXPECT_EQ(std::tuple(dialogs.asked.constLast().request.initialName, lastMessage(),
                         prompter.shown.constLast().defaultButton),
              std::tuple(QStringLiteral("house.clk"),
                         QDir::toNativeSeparators(schedule) + " already exists. Replace it?",
                         std::optional(Answer::No)));
    EXPECT_TRUE(FileBytes(schedule) == "another table's bytes" &&
                program.clockTable.ClockFileName.isEmpty());

    // A name without extension gets ".clk"; a file of its own is then saved without a question.
    const QString mine = folder + QStringLiteral("/mine.clk");
    dialogs.answer(folder + QStringLiteral("/mine"));
    files.SaveAs();
    program.clockTable.TableChanged = true;
    files.Save();
    EXPECT_TRUE(program.clockTable.ClockFileName == mine && !program.clockTable.TableChanged);

    // Save As over another file asks too; Yes replaces it.
    dialogs.answer(schedule);
    prompter.expect(Answer::Yes);
    files.SaveAs();
    EXPECT_EQ(FileBytes(schedule), FileBytes(mine));

    // A folder that does not exist is said, naming it; nothing is written or renamed.
    dialogs.answer(dir.filePath(QStringLiteral("gone/week2.clk")));
    prompter.expect(Answer::Ok);
    files.SaveAs();
    EXPECT_TRUE(lastMessage().endsWith(QStringLiteral("gone\nThe folder does not exist.")) &&
                program.clockTable.ClockFileName == schedule);
    // A project path with backslashes.
    EXPECT_EQ(ui::ClockFileNameFor(QStringLiteral("C:\\Data\\villa.v1\\house.nbt")), "house.clk");
}

TEST_F(FileCommandsTest, RefusedFilesNeverBecomeTheClockFileOrTheProject)
{
    program.settings.nbtFile = DemoProject();
    files.ReadProjectFromSettings();
    const QString demoRelay = program.project.RelayName(1);
    put(0, Line(Monday, 7, 0, clock::Continue, clock::Days, 1));
    const QString mine = dir.filePath(QStringLiteral("mine.clk"));
    program.clockTable.ClockFileName = mine;
    const auto lines = program.clockTable.Lines;
    const auto unchanged = [&] {
        return program.clockTable.ClockFileName == mine && program.clockTable.Lines == lines &&
               program.project.RelayName(1) == demoRelay &&
               program.settings.nbtFile == DemoProject();
    };

    // A project file opened under "All files", a damaged clock file, a FIFO and a project file
    // that can't be read: each is refused with its message (the readers' tests pin the words),
    // and nothing changes.
    const QString foreign = WriteFile(dir.filePath("house.nbt"), FileBytes(DemoProject()));
    QByteArray damaged = clock::ClockFileImage(program.clockTable);
    damaged.chop(3);
    const QString fifo = dir.filePath(QStringLiteral("pipe.clk"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString cut = WriteFile(dir.filePath("cut.clk"), damaged);
    const QString project = WriteFile(dir.filePath("bad.nbt"), "nonsense");
    for (const QString &path : {foreign, cut, fifo, project}) {
        dialogs.answer(path);
        prompter.expect(Answer::Ok);
        if (path == project)
            files.ReadProject();
        else
            files.OpenClockFile();
        EXPECT_TRUE(unchanged()) << lastMessage().toStdString();
    }
    EXPECT_EQ(replaced, 0);

    // The file read back is the table in force, unchanged, and one step of the history.
    files.Save();
    program.clockTable.Lines = {};
    ASSERT_TRUE(files.OpenClockFile(mine));
    EXPECT_TRUE(program.clockTable.Lines == lines && !program.clockTable.TableChanged);
    EXPECT_TRUE(replaced == 1 && history.stack().canUndo());
}

// Before sending, the health check says what will not work as intended, and the user chooses
// (a sound table goes without a question: the communication dialog's tests send one).
TEST_F(FileCommandsTest, TransmitSummarisesProblemsFirst)
{
    int sent = 0;
    files.onTransmit = [&sent] { ++sent; };
    // A one-time line on Monday morning lies before now (Wednesday 10:00).
    put(1, Line(Monday, 8, 0, clock::Special, clock::Once, 0));
    prompter.expect(Answer::Cancel);
    files.Transmit();
    EXPECT_TRUE(lastMessage().startsWith("1 line will not work as intended:\nLine 1 fires once"));
    prompter.expect(Answer::Ok);
    files.Transmit();
    EXPECT_EQ(sent, 1);
}

// --- The line commands and the exports ---------------------------------------------------------

struct CommandsTest : FileCommandsTest {
    ui::LineDescriber describer{presenter, program.names, program.strings, program.clock};
    ui::ClockLineListModel listModel{program.clockTable, describer};
    ui::LineCommands lines{program, history, presenter, listModel};
    ui::AgendaModel agendaModel{program.clockTable, describer};
    ui::WeekViewModel week;
    QDate monday = Monday;
    ui::Exports exports{program, files, describer, listModel, agendaModel, week, monday, nullptr};
    QList<int> chosen;
    QStringList told; // what the window was asked to do

    CommandsTest()
    {
        lines.tableChanged = [this] { told << "changed"; };
        lines.selectLine = [this](int line) { told << QStringLiteral("select %1").arg(line); };
        lines.selectOnly = [this](int line) { told << QStringLiteral("only %1").arg(line); };
        lines.clearSelection = [this] { told << "none"; };
        lines.chosenLines = [this] { return chosen; };
    }
};

TEST_F(CommandsTest, EachCommandIsOneStepAllOrNothing)
{
    // Add: the editor in its new-line mode; OK keeps the line and chooses it alone; Cancel
    // gives the free line its bytes back, and nothing counts as changed.
    QList<int> modes;
    lines.editLine = [&modes](int mode) { return modes.append(mode), true; };
    lines.AddLine(clock::Special);
    EXPECT_TRUE(modes == QList<int>{1} && program.clockTable.Lines[0].Table == clock::Special &&
                told.constLast() == "only 0");
    history.markSaved();
    const auto one = program.clockTable.Lines;
    lines.editLine = [this](int) { return program.clockTable.Lines[1].FunctionType = 0, false; };
    lines.AddLine(clock::Workday);
    EXPECT_TRUE(program.clockTable.Lines == one && !program.clockTable.TableChanged &&
                told.constLast() == "none");

    // Duplicated into the lowest free lines, one step; the first of them chosen.
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    history.markSaved();
    const auto before = program.clockTable.Lines;
    chosen = {0, 1};
    lines.DuplicateLines();
    EXPECT_TRUE(
        std::equal(before.begin(), before.begin() + 2, program.clockTable.Lines.begin() + 2) &&
        told.constLast() == "select 2");
    history.stack().undo();
    EXPECT_TRUE(program.clockTable.Lines == before && !program.clockTable.TableChanged);

    // Copied, then pasted into an empty table: the same lines again.
    lines.CopyLines();
    clock::ClearClockTable(program.clockTable);
    lines.PasteLines();
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 2, program.clockTable.Lines.begin()));
    const auto pasted = program.clockTable.Lines;

    // Several lines go after one question, No being the default; Yes frees them as one step.
    prompter.expect(Answer::Yes);
    lines.DeleteLines({0, 1});
    EXPECT_EQ(std::pair(lastMessage(), prompter.shown.constLast().defaultButton),
              std::pair(QStringLiteral("Delete the 2 chosen lines?"), std::optional(Answer::No)));
    EXPECT_FALSE(program.clockTable.Lines[0].inUse() || program.clockTable.Lines[1].inUse());
    history.stack().undo();
    EXPECT_EQ(program.clockTable.Lines, pasted);
}

// The exports are written whole or not at all; comparing with a file leaves the table as it is.
TEST_F(CommandsTest, ExportsAndComparingWithAFile)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    program.settings.nbtFile = QStringLiteral("/somewhere/house.nbt");
    // Named after the project while the table has no file; the extension is added. What the
    // pages hold is the printout's, tested with the command line.
    const QString path = dir.filePath(QStringLiteral("hand-over"));
    dialogs.answer(path);
    QStringList written;
    exports.written = [&](const QString &where) { written << where; };
    exports.ExportPdf();
    EXPECT_TRUE(dialogs.asked.constLast().request.initialName == "house.pdf" &&
                FileBytes(path + QStringLiteral(".pdf")).startsWith("%PDF-"));
    EXPECT_EQ(written, QStringList{"Written to " + QDir::toNativeSeparators(path + ".pdf")});

    // The print preview lies within the screen's free area with its whole toolbar on show,
    // Print among it, though the offscreen screen is narrower than a 1920 one at scale 2.
    const WhenModal<QPrintPreviewDialog> preview([](QPrintPreviewDialog &dialog) {
        EXPECT_TRUE(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()));
        const auto *bar = dialog.findChild<QToolBar *>();
        ASSERT_TRUE(bar && !bar->actions().isEmpty());
        for (QAction *action : bar->actions())
            EXPECT_TRUE(action->isSeparator() || bar->widgetForAction(action)->isVisible())
                << action->text().toStdString();
        // The pages take the focus, and show it.
        auto *pages = dialog.findChild<QGraphicsView *>();
        ASSERT_TRUE(pages && pages->focusPolicy() == Qt::StrongFocus);
        const auto edge = [&] {
            return pages->grab().toImage().pixelColor(0, pages->height() / 2);
        };
        const QColor unfocused = edge();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        pages->setFocus();
        EXPECT_TRUE(pages->hasFocus() && unfocused != edge() &&
                    edge() == ui::FocusFrameStyle::FrameColour(pages->palette()));
    });
    exports.Print();
    EXPECT_EQ(preview.seen, 1);

    // A folder that is not there: the message names it, and no file appears.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.csv"));
    prompter.expect(Answer::Ok);
    EXPECT_FALSE(exports.ExportCsv(nowhere));
    EXPECT_TRUE(lastMessage().contains(nowhere) && !QFile::exists(nowhere));
    EXPECT_EQ(written.size(), 1);

    // The CSV reads as the list does, from the table as it stands, its warnings in words.
    listModel.setWarnings(
        [](int line) { return line == 1 ? QStringList{"Never fires"} : QStringList{}; });
    exports.refreshTables = [this] { listModel.refresh(); };
    const QString csv = dir.filePath(QStringLiteral("lines.csv"));
    ASSERT_TRUE(exports.ExportCsv(csv));
    const QStringList records = QString::fromUtf8(FileBytes(csv)).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(records.value(2).startsWith("1,Special table,12:00,10/12/2026,Once,") &&
                records.value(2).endsWith(",Never fires"))
        << records.join(u'|').toStdString();

    // Comparing with another clock file shows the differences and leaves the table as it is.
    clock::ClockTable other = program.clockTable;
    other.Lines[1].Hour = 13;
    other.Lines[5] = Line(Monday, 6, 0, clock::Weekend, clock::Weeks, 1);
    other.ClockFileName = dir.filePath(QStringLiteral("other.clk"));
    ASSERT_TRUE(clock::WriteClockFile(other, program.strings).done());
    const auto mine = program.clockTable.Lines;
    std::optional<clock::TableDiff> shown;
    exports.compareDialog = [&](const clock::TableDiff &diff, const clock::ClockTable &,
                                const QString &name) {
        shown = diff;
        EXPECT_EQ(name, "other.clk");
    };
    dialogs.answer(other.ClockFileName);
    exports.CompareWithFile();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->lines.size(), 2); // the differences are the clock layer's to find
    EXPECT_TRUE(program.clockTable.Lines == mine &&
                program.clockTable.ClockFileName != other.ClockFileName);

    // The dialog: a row per line, the differing field below it with both values.
    ui::CompareDialog compare(*shown, program.clockTable, other, QStringLiteral("other.clk"),
                              describer);
    const QTreeWidgetItem *hour = compare.tree()->topLevelItem(0)->child(0);
    EXPECT_EQ(QStringList({hour->text(0), hour->text(1), hour->text(2),
                           compare.tree()->topLevelItem(1)->text(1)}),
              QStringList({"Hour", "12", "13", "free"}));
}

// --- The list of all lines ----------------------------------------------------------------------

// Five lines in use among the 100, one of them beyond the 50 the central unit uses.
struct LineListViewTest : PartsTest {
    LineListViewTest()
    {
        program.project.OutputModules[0].ModuleType = 101;
        program.project.OutputModules[0].Channels[4].Name = QStringLiteral("Hall");
        program.clockTable.MaxClockLines = 50;
        const int lines[][4] = {
            {4, 1, 1, 5}, {7, 2, 2, 3}, {12, 1, 1, 5}, {30, 0, 14, 1}, {70, 4, 1, 5}};
        for (const auto &[index, kind, type, number] : lines)
            put(index, Line(QDate(2026, 12, 7), 8, index % 60, kind, 3, 1, type, number));
        model.refresh();
        view.resize(900, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QTableView *list() const { return view.tableView(); }
    QList<int> shownLines() const
    {
        QList<int> lines;
        for (int r = 0; r < view.filter()->rowCount(); ++r)
            lines << view.filter()->lineAt(r);
        return lines;
    }

    ui::ClockLineListModel model{
        program.clockTable,
        ui::LineDescriber(presenter, program.names, program.strings, program.clock)};
    ui::LineListView view{model};
};

// Clicks, keys and double clicks signal the lines; the highlight never stays behind the current
// row, and Shift extends from the row last chosen, by the user or by the program. The filter row
// and the header filter and sort; the selection outlives a refresh, the combos a language.
TEST_F(LineListViewTest, ChoosingFilteringAndSortingTheList)
{
    QSignalSpy selection(&view, &ui::LineListView::selectionChanged);
    QSignalSpy activated(&view, &ui::LineListView::lineActivated);
    QSignalSpy deletes(&view, &ui::LineListView::deleteRequested);
    list()->setFocus();
    ClickLine(view, 12);
    ClickLine(view, 4, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(deletes.last().at(0).value<QList<int>>(), (QList<int>{4, 12}));
    ClickLine(view, 70);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                       list()->visualRect(list()->currentIndex()).center());
    EXPECT_EQ(activated.last().at(0).toInt(), 70);

    // Following the week view does not echo back, and the row it chose is the anchor.
    selection.clear();
    view.selectLine(12);
    EXPECT_TRUE(view.currentLine() == 12 && selection.isEmpty());
    ClickLine(view, 70, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{12, 30, 70}));
    // Keys that would move the current row without the highlight take it along.
    QTest::keyClick(list(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(view.selectedLines(), QList<int>{30});
    QTest::keyClick(list(), Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{4, 7, 12, 30}));
    // With the current row unhighlighted among several highlighted ones there is no one line
    // to open.
    ClickLine(view, 4, Qt::ControlModifier);
    EXPECT_EQ(view.activeLine(), -1);

    // The filter row and the header drive the filter model (whose rules the presentation
    // layer's tests pin).
    auto *tables = view.findChild<QComboBox *>(QStringLiteral("CboTable"));
    tables->setCurrentIndex(tables->findData(clock::Workday));
    EXPECT_EQ(shownLines(), (QList<int>{4, 12}));
    tables->setCurrentIndex(0);
    QTest::keyClicks(view.findChild<QLineEdit *>(QStringLiteral("TxtSearch")), "hall");
    EXPECT_EQ(shownLines(), (QList<int>{4, 12, 70}));
    view.findChild<QLineEdit *>(QStringLiteral("TxtSearch"))->clear();
    QHeaderView *header = list()->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(ui::ClockLineListModel::IndexColumn) + 5,
               header->height() / 2));
    EXPECT_EQ(shownLines(), (QList<int>{70, 30, 12, 7, 4})); // descending now

    // The selection outlives a refresh; a deleted line leaves it, and says so.
    view.selectLine(7);
    selection.clear();
    model.refresh();
    EXPECT_TRUE(view.selectedLines() == QList<int>{7} && selection.isEmpty());
    program.clockTable.Lines[7].FunctionType = 0;
    model.refresh();
    EXPECT_TRUE(view.selectedLines().isEmpty() && selection.size() == 1);

    // Another language: the combos keep their choice.
    tables->setCurrentIndex(tables->findData(clock::Special));
    program.strings.setLanguageOffset(settings::LanguageStep);
    program.names = settings::FillNameTables(program.strings);
    view.translate();
    EXPECT_EQ(tables->itemText(0), "Alle dagtabellen");
    EXPECT_EQ(shownLines(), QList<int>{70});
}

} // namespace
