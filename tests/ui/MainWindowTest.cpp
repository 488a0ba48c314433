#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/FixedClock.h"
#include "project/ProjectFileWriter.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestYears.h"
#include "tests/support/VirtualPump.h"
#include "tests/ui/ScriptedFileDialogs.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/AgendaView.h"
#include "ui/ClockMain.h"
#include "ui/CompareDialog.h"
#include "ui/FrmClkEdit.h"
#include "ui/FrmCom.h"
#include "ui/FrmKlokken.h"
#include "ui/FrmSelectClkAct.h"
#include "ui/FrmTaal.h"
#include "ui/LineListView.h"
#include "ui/Program.h"
#include "ui/WeekView.h"
#include "ui/frmStart.h"
#include "presentation/ClockLineFilter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace quintara;
using clock::ClockLine;
using platform::Answer;
using namespace quintara::testing::window;

namespace {

// Lays a window out that is not shown, nested layouts (the views' pages) included.
void layOut(QWidget &window)
{
    // A hidden widget gets no resize event, so each layout is told its widget's new size.
    window.layout()->activate();
    for (QWidget *child : window.findChildren<QWidget *>()) {
        if (QLayout *layout = child->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
}

struct MainWindowTest : ProgramTest {
    std::unique_ptr<ui::FrmKlokken> window;

    MainWindowTest()
    {
        useModelZero();
        window = std::make_unique<ui::FrmKlokken>(program, dialogs);
        // At the size it asks for, the week area is drawn 1:1 and the tests' points are its own.
        window->resize(window->sizeHint());
        layOut(*window);
        EXPECT_EQ(window->Pic()->size(), QSize(520, 504));
        window->lines().editLine = [this](int mode) {
            editModes.append(mode);
            return true;
        };
    }
    ~MainWindowTest() override
    {
        window.reset();
        EXPECT_TRUE(prompter.allAnswered());
    }

    void repaint() { window->ScrWeeks_Change(); }
    QWidget *pic() { return window->Pic(); }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(pic(), button, {}, at);
    }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(pic(), button, {}, at);
    }
    void click(QPoint at)
    {
        press(at);
        release(at);
    }
    // Markers on screen for line i: its reference marker and its repeat markers.
    int shownMarkers(int line)
    {
        const auto &markers = window->weekModel().markers();
        return int(std::count_if(markers.begin(), markers.end(),
                                 [line](const ui::WeekMarker &m) { return m.line == line; }));
    }
    // The reference marker of a line, when the week draws it.
    std::optional<ui::WeekMarker> reference(int line)
    {
        for (const ui::WeekMarker &m : window->weekModel().markers()) {
            if (m.line == line && m.reference)
                return m;
        }
        return std::nullopt;
    }
    // Where the reference marker of a line is drawn on the week view.
    QRect referenceRect(int line)
    {
        const auto marker = reference(line);
        return marker ? window->Pic()->markerRect(*marker) : QRect();
    }
    template <typename W> W *named(const QString &name)
    {
        auto *widget = window->findChild<W *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QList<int> editModes;
};

TEST_F(MainWindowTest, StackedLinesShowOneNumberedMarkerAndBothTabs)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0, 2, 3, 127));
    repaint();

    // The marker placed last is on top and carries the count; the one beneath shows none.
    EXPECT_FALSE(!reference(0));
    EXPECT_EQ(referenceRect(0).topLeft(), referenceRect(1).topLeft());
    EXPECT_EQ(reference(1)->stack, 2);
    EXPECT_EQ(reference(0)->stack, 0);
    EXPECT_EQ(referenceRect(1).topLeft(), At(1, 8, 0) - QPoint(5, 25));

    click(At(1, 8, 0));
    EXPECT_EQ(window->weekInput().hitCount(), 2);
    EXPECT_EQ(window->TabClk()->count(), 2);
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    EXPECT_TRUE(named<QWidget>(QStringLiteral("PicFnc_0"))->isVisibleTo(window.get()));
    EXPECT_TRUE(named<QWidget>(QStringLiteral("PicFnc_1"))->isVisibleTo(window.get()));
    EXPECT_FALSE(named<QWidget>(QStringLiteral("PicFnc_2"))->isVisibleTo(window.get()));
    EXPECT_EQ(named<QLabel>(QStringLiteral("LblFunctieA_0"))->text().left(7), "REL  01");
    EXPECT_TRUE(named<QLabel>(QStringLiteral("LblFunctieA_0"))->text().endsWith(" On"));
    EXPECT_TRUE(
        named<QLabel>(QStringLiteral("LblFunctieB_0"))->text().startsWith("08/12 08:00 Once"));
    EXPECT_EQ(named<QLabel>(QStringLiteral("LblFunctieA_1"))->text().left(7), "DIM  03");
    EXPECT_TRUE(named<QLabel>(QStringLiteral("LblFunctieA_1"))->text().endsWith(" 50 %"));

    // The second tab selects the second line; its panel turns navy.
    QTabBar *tabs = window->TabClk();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_EQ(named<QWidget>(QStringLiteral("PicFnc_1"))->palette().color(QPalette::Window),
              QColor(0, 0, 128));
    EXPECT_NE(named<QWidget>(QStringLiteral("PicFnc_0"))->palette().color(QPalette::Window),
              QColor(0, 0, 128));

    // A press where nothing lies keeps the selection; the window around the week only beeps.
    click(At(5, 20, 0));
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    QWidget *frame = named<QWidget>(QStringLiteral("Frame"));
    const QRect scroll = window->ScrWeeks()->geometry();
    const QPoint beside(scroll.right() + 6, scroll.center().y()); // between it and the panel
    ASSERT_EQ(frame->childAt(beside), nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, beside);
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);

    // The right button pops up the edit menu over the line.
    press(At(1, 8, 0), Qt::RightButton);
    EXPECT_TRUE(window->menus().editMenu()->isVisible());
    window->menus().editMenu()->hide();
    release(At(1, 8, 0), Qt::RightButton);
}

TEST_F(MainWindowTest, FilterButtonsHideMarkersAndClicksFindOnlyWhatIsShown)
{
    put(0, Line(Monday, 7, 0, clock::Workday, clock::Days, 1));
    put(1, Line(Monday.addDays(1), 7, 0, clock::Continue, clock::Once, 0));
    repaint();
    ASSERT_EQ(shownMarkers(0), 5);

    QAction *work = window->menus().toolbarButton(9);
    QToolBar *toolbar = window->findChild<QToolBar *>(QStringLiteral("Tlb"));
    QTest::mouseClick(toolbar->widgetForAction(work), Qt::LeftButton);
    EXPECT_FALSE(work->isChecked());
    EXPECT_EQ(shownMarkers(0), 0);
    EXPECT_EQ(shownMarkers(1), 1);

    // Both lines lie under Tuesday 07:00, but only the one on show can be picked up.
    click(At(1, 7, 0));
    EXPECT_EQ(window->weekInput().hitCount(), 1);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_EQ(shownMarkers(0), 0);
    EXPECT_EQ(reference(1)->stack, 1);

    // A drag where only the hidden line lies moves nothing.
    const ClockLine hidden = program.clockTable.Lines[0];
    press(At(3, 7, 0));
    QTest::mouseMove(pic(), At(3, 18, 0));
    release(At(3, 18, 0));
    EXPECT_EQ(program.clockTable.Lines[0], hidden);
    EXPECT_FALSE(program.clockTable.TableChanged);

    QTest::mouseClick(toolbar->widgetForAction(work), Qt::LeftButton);
    EXPECT_EQ(shownMarkers(0), 5);
}

TEST_F(MainWindowTest, PoolHoldsAtMost198RepeatMarkersAndOnlyDrawnOnesAreFound)
{
    // Two hourly lines: 2 x 168 occurrences in the week, far more than the pool holds.
    put(0, Line(Monday.addDays(-1), 0, 0, clock::Continue, clock::Hours, 1));
    put(1, Line(Monday.addDays(-1), 0, 30, clock::Simulation, clock::Hours, 1, 2, 1, 255));
    // A line every ten minutes shows 25 markers at most.
    put(2, Line(Monday.addDays(-1), 0, 5, clock::Special, clock::Minutes, 10));
    repaint();
    EXPECT_EQ(window->weekModel().repeatMarkers(), 198);
    EXPECT_EQ(shownMarkers(0) + shownMarkers(1) + shownMarkers(2), 198);
    EXPECT_EQ(shownMarkers(0), 168);
    EXPECT_EQ(shownMarkers(1), 30);
    EXPECT_EQ(shownMarkers(2), 0);

    // Where the pool ran out the series go on as bands: a click there finds them, and nothing
    // else; the minute series is such a band all week.
    click(At(6, 23, 30));
    EXPECT_EQ(window->weekInput().hitCount(), 2);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_FALSE(window->weekModel().bands().empty());
    // Selecting a drawn one repaints the line within the pool's limit.
    click(At(0, 0, 30));
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_LE(window->weekModel().repeatMarkers(), 198);

    // Without the hourly lines the minute series shows its first 25 occurrences, then its band.
    program.clockTable.Lines[0].FunctionType = 0;
    program.clockTable.Lines[1].FunctionType = 0;
    repaint();
    EXPECT_EQ(shownMarkers(2), 25);
    EXPECT_TRUE(
        window->markerToolTip(At(1, 9, 15)).contains("every 10 min, 00:05–23:55, 144 times"));
    // A band selects its line, but it is no handle: a drag from it moves nothing.
    const ClockLine series = program.clockTable.Lines[2];
    press(At(1, 9, 15));
    EXPECT_EQ(program.clockTable.SelectedLine, 3);
    QTest::mouseMove(pic(), At(1, 18, 0));
    release(At(1, 18, 0));
    EXPECT_EQ(program.clockTable.Lines[2], series);
    EXPECT_FALSE(program.clockTable.TableChanged);
}

TEST_F(MainWindowTest, ValuesOutOfRangeNeverIndexPastAnArray)
{
    put(0, Line(Monday.addDays(1), 9, 0, 9, clock::Once, 0, 200, 250, 17)); // table 9
    put(1, Line(Monday.addDays(1), 9, 0, 255, 12, 0, 99));                  // unit 12, count 0
    ClockLine broken = Line(Monday, 9, 0, 7, 200, 255, 70);
    broken.Hour = 40; // no such time
    broken.Day = 0;   // no such date
    put(2, broken);
    program.clockTable.SelectedLine = 250; // a selection naming no line
    repaint();
    EXPECT_EQ(reference(0)->stack, 0);
    EXPECT_EQ(reference(1)->stack, 2);
    EXPECT_TRUE(!reference(2));
    click(At(1, 9, 0));
    EXPECT_EQ(window->weekInput().hitCount(), 2);
    // Every marker and panel paints with these lines.
    EXPECT_FALSE(window->grab().isNull());
}

TEST_F(MainWindowTest, ClosingAsksToSaveAChangedTable)
{
    window->show();
    program.settings.nbtFile = QStringLiteral("/somewhere/house.nbt");
    program.clockTable.ClockFileName.clear();
    program.clockTable.TableChanged = true;

    // Yes, then the Save As dialog is cancelled: the window stays.
    prompter.expect(Answer::Yes);
    dialogs.answer(std::nullopt);
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(prompter.shown.size(), 1);
    const platform::Message &question = prompter.shown[0];
    // A table without a file goes by the name Save As offers it.
    EXPECT_EQ(question.text, "File house.clk is changed!\n\rSave now?");
    EXPECT_EQ(question.title, "KALVENOR Domotic system");
    EXPECT_EQ(question.buttons, platform::Buttons::YesNoCancel);
    EXPECT_EQ(question.icon, platform::Icon::Question);
    EXPECT_TRUE(dialogs.asked.constLast().save);
    EXPECT_EQ(dialogs.asked.constLast().request.filter,
              "Klok bestanden (*.clk) |*.clk|All files (*.*) |*.*");
    EXPECT_FALSE(QFile::exists(ini));

    // Cancel keeps it open too; Yes with a name saves and closes, writing the settings.
    prompter.expect(Answer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());

    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("house.clk"));
    prompter.expect(Answer::Yes);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QFileInfo(program.clockTable.ClockFileName).size(), clock::ClockFileSize);
    QFile settingsFile(ini);
    ASSERT_TRUE(settingsFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settingsFile.readAll().contains("NBTFile=/somewhere/house.nbt"));
}

TEST_F(MainWindowTest, FileAndLineCommands)
{
    // Add in the Workday table through the button; the editor is asked in its new-line mode.
    named<QPushButton>(QStringLiteral("CmdAdd"))->click();
    ASSERT_EQ(editModes, QList<int>{1});
    const ClockLine &added = program.clockTable.Lines[0];
    EXPECT_EQ(added.Table, clock::Workday);
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    EXPECT_TRUE(program.clockTable.TableChanged);
    window->RefreshStatus();
    EXPECT_TRUE(window->menus().toolbarButton(5)->isEnabled());

    // The menu adds to the table it names; a double click edits the selected line.
    window->findChild<QAction *>(QStringLiteral("mmuNieuw_4"))->trigger();
    EXPECT_EQ(program.clockTable.Lines[1].Table, clock::Special);
    editModes.clear();
    window->weekInput().SetSelected(0, 0);
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, At(2, 10, 0));
    EXPECT_TRUE(editModes.isEmpty());                                  // nothing selected
    const QPoint special = At(6, program.clockTable.Lines[1].Hour, 0); // Sunday: no workday
    click(special);
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, special);
    EXPECT_EQ(editModes, QList<int>{3});

    // Delete asks in Dutch, No being the default.
    click(special);
    prompter.expect(Answer::Yes);
    named<QPushButton>(QStringLiteral("CmdDelete"))->click();
    EXPECT_EQ(lastMessage(), "Mag On REL  01 verwijderd worden?");
    EXPECT_EQ(prompter.shown.constLast().defaultButton, Answer::No);
    EXPECT_FALSE(program.clockTable.Lines[1].inUse());
    EXPECT_EQ(program.clockTable.SelectedLine, 0);
    EXPECT_EQ(shownMarkers(1), 0);

    // Receive hands over and repaints.
    int received = 0;
    window->onReceive = [&] {
        ++received;
        put(5, Line(Monday.addDays(6), 20, 0, clock::Continue, clock::Once, 0));
    };
    // The table is changed: Receive asks first, as Open does; Cancel receives nothing.
    prompter.expect(Answer::Cancel);
    window->menus().toolbarButton(2)->trigger();
    EXPECT_EQ(received, 0);
    EXPECT_TRUE(lastMessage().endsWith("Save now?"));
    prompter.expect(Answer::No);
    window->menus().toolbarButton(2)->trigger();
    EXPECT_EQ(received, 1);
    EXPECT_FALSE(!reference(5));

    // The on-line test on a port that does not open only beeps.
    QFile ports(ini);
    ASSERT_TRUE(ports.open(QIODevice::WriteOnly));
    ports.write("[Ports]\nCOM2=" + dir.filePath(QStringLiteral("no-such-tty")).toUtf8() + "\n");
    ports.close();
    program.settings.comPort = 2;
    const int beeps = prompter.beeps;
    named<QPushButton>(QStringLiteral("CmdTest"))->click();
    EXPECT_EQ(prompter.beeps, beeps + 1);
}

TEST_F(MainWindowTest, ScrollingShowsLaterWeeks)
{
    put(0, Line(Monday.addDays(15), 12, 0, clock::Continue, clock::Once, 0));
    repaint();
    EXPECT_TRUE(!reference(0));
    window->ScrWeeks()->setValue(2);
    EXPECT_EQ(window->FirstShownDay(), Monday.addDays(14));
    EXPECT_FALSE(!reference(0));
    EXPECT_EQ(referenceRect(0).topLeft(), At(1, 12, 0) - QPoint(5, 25));

    // Editing brings the week of the line into view.
    window->ScrWeeks()->setValue(0);
    program.clockTable.SelectedLine = 1;
    window->lines().EditLine();
    EXPECT_EQ(window->ScrWeeks()->value(), 2);
}

// --- Keeping the user's work ------------------------------------------------------------------

// The list of all lines and the week choose the same line.
TEST_F(MainWindowTest, TheListFollowsTheWeekAndTheWeekTheList)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    repaint();
    window->history().markSaved();
    ui::LineListView *list = window->views().list();
    QTableView *rows = list->tableView();
    window->views().show(1);
    ASSERT_EQ(rows->model()->rowCount(), 2);

    // A row chosen in the list is the line chosen in the week, on the day it fires next.
    rows->selectRow(list->filter()->rowOfLine(1));
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_EQ(window->weekInput().hitCount(), 1);
    // A marker clicked in the week is the row chosen in the list.
    window->views().show(0);
    click(At(1, 8, 0));
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    EXPECT_EQ(list->selectedLines(), QList<int>{0});
    // Sorted by time, line 1 (12:00) comes after line 0 (08:00) and before it when reversed.
    rows->sortByColumn(ui::ClockLineListModel::TimeColumn, Qt::DescendingOrder);
    EXPECT_EQ(list->filter()->lineAt(0), 1);

    // The commands on lines act on the rows chosen in the list.
    window->views().show(1);
    rows->selectAll();
    EXPECT_EQ(window->views().chosenLines(), (QList<int>{0, 1}));
}

// The list's commands act on the rows the user sees highlighted, and its selection is the item
// view's own, whatever the week does on the way.
TEST_F(MainWindowTest, TheListsCommandsActOnExactlyTheHighlightedRows)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    for (int i = 0; i < 12; ++i)
        put(i, Line(Monday.addDays(i % 7), 6 + i, 0, clock::Continue, clock::Days, 7));
    repaint();
    window->views().show(1);
    ui::LineListView *list = window->views().list();
    QTableView *rows = list->tableView();
    const auto row = [&](int line) {
        return rows
            ->visualRect(list->filter()->index(list->filter()->rowOfLine(line),
                                               ui::ClockLineListModel::TimeColumn))
            .center();
    };
    const auto clickRow = [&](int line, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, modifiers, row(line));
    };
    QList<int> edited;
    window->lines().editLine = [&](int) {
        edited.append(program.clockTable.SelectedLine - 1);
        return true;
    };
    rows->setFocus();

    // Shift extends from the row clicked last, though the week followed every click.
    clickRow(5);
    EXPECT_EQ(program.clockTable.SelectedLine, 6);
    clickRow(8, Qt::ShiftModifier);
    EXPECT_EQ(list->selectedLines(), (QList<int>{5, 6, 7, 8}));
    clickRow(7);
    EXPECT_EQ(list->selectedLines(), QList<int>{7});
    QTest::keyClick(rows, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(list->selectedLines(), (QList<int>{7, 8}));

    // Ctrl+Home takes the highlight along; Enter and Delete act on what is highlighted.
    clickRow(10);
    QTest::keyClick(rows, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(list->selectedLines(), QList<int>{0});
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(edited, QList<int>{0});

    // The current row taken out of the highlight: line 3 alone is acted on.
    clickRow(3);
    clickRow(10, Qt::ControlModifier);
    clickRow(10, Qt::ControlModifier);
    ASSERT_EQ(list->selectedLines(), QList<int>{3});
    EXPECT_EQ(program.clockTable.SelectedLine, 4);
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(edited, (QList<int>{0, 3}));
    window->lines().DuplicateLines();
    EXPECT_EQ(program.clockTable.Lines[12].Hour, 9);
    EXPECT_FALSE(program.clockTable.Lines[13].inUse());
    window->views().show(1);
    clickRow(3);
    clickRow(10, Qt::ControlModifier);
    clickRow(10, Qt::ControlModifier);
    prompter.expect(Answer::Yes);
    QTest::keyClick(rows, Qt::Key_Delete);
    EXPECT_FALSE(program.clockTable.Lines[3].inUse());
    EXPECT_TRUE(program.clockTable.Lines[10].inUse());
    EXPECT_TRUE(program.clockTable.Lines[0].inUse());
}

// The agenda lists the firings of the range in time order, keeps what its filters keep, and a
// firing leads to its line in the week.
TEST_F(MainWindowTest, TheAgendaListsTheWeeksFiringsAndLeadsToTheirLines)
{
    // Daily at 08:00 from Tuesday; once on Thursday 12:00 (special table).
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    repaint();
    window->views().show(2);
    ui::AgendaView *agenda = window->views().agenda();
    QAbstractItemModel *firings = agenda->tableView()->model();
    // This week, from now (Wednesday 10:00) on: the dates are kept current, so Wednesday to
    // Sunday at 08:00 and Thursday 12:00, in time order.
    QStringList shown;
    for (int r = 0; r < firings->rowCount(); ++r)
        shown << firings->index(r, ui::AgendaModel::DateColumn).data().toString().right(10) + u' ' +
                     firings->index(r, ui::AgendaModel::TimeColumn).data().toString();
    EXPECT_TRUE(shown.contains(QLatin1String("10-12-2026 12:00")))
        << shown.join(u',').toStdString();
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [](const QString &a, const QString &b) {
        return QDateTime::fromString(a, QStringLiteral("dd-MM-yyyy hh:mm")) <
               QDateTime::fromString(b, QStringLiteral("dd-MM-yyyy hh:mm"));
    }));

    // The special table alone: the one firing; the next four weeks hold more of the daily line.
    auto *tables = named<QComboBox>(QStringLiteral("CboAgendaTable"));
    tables->setCurrentIndex(tables->findData(int(clock::Special)));
    ASSERT_EQ(firings->rowCount(), 1);
    EXPECT_EQ(firings->index(0, ui::AgendaModel::LineColumn).data().toInt(), 1);
    tables->setCurrentIndex(0);
    const int week = firings->rowCount();
    agenda->setRange(ui::AgendaView::NextFourWeeks);
    EXPECT_EQ(firings->rowCount(), week + 21);

    // Enter on a firing shows its line in the week.
    agenda->tableView()->setCurrentIndex(firings->index(0, 0));
    QTest::keyClick(agenda->tableView(), Qt::Key_Return);
    EXPECT_EQ(window->Pic()->isVisibleTo(window.get()), true);
    EXPECT_EQ(program.clockTable.SelectedLine,
              firings->index(0, ui::AgendaModel::LineColumn).data().toInt() + 1);
}

// Every kind of change is one step back and forth, byte for byte, and the changed flag follows
// the history: back at the saved table, the table is unchanged.
TEST_F(MainWindowTest, UndoAndRedoRestoreEveryKindOfChangeAndTheChangedFlag)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    repaint();
    window->history().markSaved();
    QUndoStack &steps = window->history().stack();
    auto *undo = named<QAction>(QStringLiteral("mmuUndo"));
    auto *redo = named<QAction>(QStringLiteral("mmuRedo"));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    // Keys that exist only under a desktop theme are there without one too.
    EXPECT_FALSE(redo->shortcut().isEmpty());
    EXPECT_EQ(named<QAction>(QStringLiteral("mmuFileSaveAs"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+S")));

    using Lines = decltype(program.clockTable.Lines);
    // Runs a change; then undo must give back `before` and redo the changed table, each with
    // the changed flag it had.
    const auto stepsBackAndForth = [&](const char *what, const std::function<void()> &change) {
        const Lines before = program.clockTable.Lines;
        const bool changedBefore = program.clockTable.TableChanged;
        const int count = steps.count();
        change();
        const Lines after = program.clockTable.Lines;
        const bool changedAfter = program.clockTable.TableChanged;
        ASSERT_EQ(steps.count(), count + 1) << what;
        ASSERT_NE(after, before) << what;
        undo->trigger();
        EXPECT_EQ(program.clockTable.Lines, before) << what;
        EXPECT_EQ(program.clockTable.TableChanged, changedBefore) << what;
        redo->trigger();
        EXPECT_EQ(program.clockTable.Lines, after) << what;
        EXPECT_EQ(program.clockTable.TableChanged, changedAfter) << what;
    };

    stepsBackAndForth("drag", [&] {
        press(At(1, 8, 0));
        QTest::mouseMove(pic(), At(1, 10, 0));
        QTest::mouseMove(pic(), At(2, 11, 0));
        release(At(2, 11, 0));
    });
    EXPECT_EQ(program.clockTable.Lines[0].Hour, 11);
    EXPECT_EQ(steps.count(), 1); // a whole drag is one step
    // Undo back to the saved state: unchanged, and the save button grey again.
    undo->trigger();
    EXPECT_FALSE(program.clockTable.TableChanged);
    window->RefreshStatus();
    EXPECT_FALSE(window->menus().toolbarButton(5)->isEnabled());
    redo->trigger();
    EXPECT_TRUE(program.clockTable.TableChanged);

    click(At(2, 11, 0));
    ASSERT_EQ(program.clockTable.SelectedLine, 1);
    stepsBackAndForth("keyboard move",
                      [&] { QTest::keyClick(pic(), Qt::Key_Right, Qt::ShiftModifier); });
    EXPECT_EQ(program.clockTable.SelectedLine, 1); // the line lives on: still selected
    stepsBackAndForth("edit", [&] {
        window->lines().editLine = [this](int) {
            program.clockTable.Lines[0].Level = 17;
            return true;
        };
        window->lines().EditLine();
    });
    stepsBackAndForth("add", [&] {
        window->lines().editLine = [](int) { return true; };
        window->lines().AddLine(clock::Special);
    });
    // Undoing the add dropped its selection; the added line is selected again to go.
    program.clockTable.SelectedLine = 2;
    stepsBackAndForth("delete", [&] {
        prompter.expect(Answer::Yes);
        window->lines().DeleteLine();
    });
    stepsBackAndForth("receive", [&] {
        window->onReceive = [this] { program.clockTable.Lines[5] = program.clockTable.Lines[0]; };
        prompter.expect(Answer::No); // the table is changed: the save question comes first
        window->files().Receive();
    });
    EXPECT_EQ(program.clockTable.SelectedLine, 0);

    // Sending frees a one-time line of the past: a change like any other, one step.
    window->history().markSaved();
    const Lines unsent = program.clockTable.Lines;
    window->onTransmit = [this] { program.clockTable.Lines[5].FunctionType = 0; };
    window->files().Transmit();
    EXPECT_FALSE(program.clockTable.Lines[5].inUse());
    EXPECT_TRUE(program.clockTable.TableChanged);
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, unsent);
    EXPECT_FALSE(program.clockTable.TableChanged);
    redo->trigger();
    EXPECT_TRUE(program.clockTable.TableChanged);

    // Open and New are steps too, and leave the table unchanged; undoing them brings the
    // previous table back whole: its file name, its central-unit model and line limit.
    const QString path = dir.filePath(QStringLiteral("other.clk"));
    program.clockTable.ClockFileName = QStringLiteral("mine.clk");
    clock::ClockTable other = program.clockTable;
    other.Lines = {};
    other.Lines[3] = Line(Monday, 6, 0, clock::Weekend, clock::Once, 0);
    other.ClockFileName = path;
    other.ModelIndex = 3;
    ASSERT_TRUE(clock::WriteClockFile(other, program.strings).done());
    const Lines mine = program.clockTable.Lines;
    ASSERT_EQ(program.clockTable.MaxClockLines, 100);
    ASSERT_TRUE(window->files().OpenClockFile(path));
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_TRUE(program.clockTable.Lines[3].inUse());
    EXPECT_EQ(program.clockTable.MaxClockLines, 50);
    EXPECT_EQ(program.project.ModelIndex, 3);
    const Lines opened = program.clockTable.Lines;
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, mine);
    EXPECT_EQ(program.clockTable.ClockFileName, QStringLiteral("mine.clk"));
    EXPECT_TRUE(program.clockTable.TableChanged);
    EXPECT_EQ(program.clockTable.ModelIndex, 0);
    EXPECT_EQ(program.clockTable.MaxClockLines, 100);
    EXPECT_EQ(program.project.ModelIndex, 0);
    EXPECT_EQ(clock::ClockFileImage(program.clockTable)[4], 0); // what Save would write
    redo->trigger();
    EXPECT_EQ(program.clockTable.ClockFileName, path);
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_EQ(program.clockTable.ModelIndex, 3);
    EXPECT_EQ(program.clockTable.MaxClockLines, 50);
    EXPECT_EQ(program.project.ModelIndex, 3);
    window->files().NewTable();
    EXPECT_FALSE(program.clockTable.Lines[3].inUse());
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, opened);
}

TEST_F(MainWindowTest, SwappingTheTableClearsTheSelectionAndOnlyRealChangesCount)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    repaint();
    click(At(1, 8, 0));
    ASSERT_EQ(program.clockTable.SelectedLine, 1);

    // Edit: Cancel, and OK on the same values, change nothing; a real change counts.
    window->lines().editLine = [](int) { return false; };
    window->lines().EditLine();
    EXPECT_FALSE(program.clockTable.TableChanged);
    window->lines().editLine = [](int) { return true; };
    window->lines().EditLine();
    EXPECT_FALSE(program.clockTable.TableChanged);
    window->lines().editLine = [this](int) {
        program.clockTable.Lines[0].Hour = 9;
        return true;
    };
    window->lines().EditLine();
    EXPECT_TRUE(program.clockTable.TableChanged);
    window->history().markSaved();

    // Receive replaces the table: no selection or panel of a line that is gone stays behind.
    click(At(1, 9, 0));
    ASSERT_EQ(program.clockTable.SelectedLine, 1);
    window->onReceive = [this] { clock::ClearClockTable(program.clockTable); };
    window->files().Receive();
    EXPECT_EQ(program.clockTable.SelectedLine, 0);
    EXPECT_EQ(window->weekInput().hitCount(), 0);
    EXPECT_FALSE(named<QWidget>(QStringLiteral("PicFnc_0"))->isVisibleTo(window.get()));
    int edits = 0;
    window->lines().editLine = [&](int) { return ++edits > 0; };
    window->lines().EditLine();
    EXPECT_EQ(edits, 0);

    // New answered No drops the changes: the empty table is not "changed".
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    program.clockTable.TableChanged = true;
    prompter.expect(Answer::No);
    window->files().NewTable();
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_FALSE(program.clockTable.Lines[0].inUse());
}

TEST_F(MainWindowTest, TheSelectionFollowsTheTabOnShowHoweverItChanged)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0, 2, 3, 127));
    repaint();
    click(At(1, 8, 0));
    QTabBar *tabs = window->TabClk();
    ASSERT_EQ(tabs->count(), 2);
    ASSERT_EQ(program.clockTable.SelectedLine, 1);

    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Right);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    QWheelEvent wheel(QPointF(5, 5), tabs->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(tabs, &wheel);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    EXPECT_EQ(named<QWidget>(QStringLiteral("PicFnc_0"))->palette().color(QPalette::Window),
              QColor(0, 0, 128));

    // The list shows the line of the tab chosen.
    window->views().show(1);
    EXPECT_EQ(window->views().list()->selectedLines(), QList<int>{0});
    QTest::keyClick(tabs, Qt::Key_Right);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_EQ(window->views().list()->selectedLines(), QList<int>{1});
}

TEST_F(MainWindowTest, AProjectsLanguageReachesEveryTextOfTheWindow)
{
    // English chosen; the project was stored by someone working in Dutch.
    ASSERT_EQ(program.strings.LanguageOffset(), 0);
    ASSERT_EQ(program.names.repeatName(clock::Days).trimmed(), "Day(s)");
    auto dutch = std::make_unique<project::ProjectModel>();
    project::NewProject(*dutch, 19200, 10000);
    project::SelectModel(*dutch, 1, program.strings);
    program.settings.nbtFile = WriteFile(dir.filePath(QStringLiteral("dutch.nbt")),
                                         quintara::project::WriteProjectFile(*dutch, 60));
    window->files().ReadProjectFromSettings();

    EXPECT_EQ(program.strings.LanguageOffset(), 10000);
    EXPECT_EQ(program.names.repeatName(clock::Days).trimmed(), "Dag(en)");
    EXPECT_EQ(window->findChild<QMenu *>(QStringLiteral("mmuFile"))->title(),
              program.strings.GetResString(2200));
    // Qt's own buttons and the day names follow.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ja");
    EXPECT_EQ(QLocale().dayName(1), "maandag");
}

TEST_F(MainWindowTest, WheelKeysAndShortcutsReachTheWeeksAndCommands)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    repaint();

    // The present moment is a red line on today's row (Wednesday 10:00), in this week only.
    EXPECT_EQ(window->Pic()->now(), QPointF(At(2, 10, 0)));

    // A notch of the wheel over the week is a week; Page Down/Up too; Home is this week.
    QWheelEvent down(QPointF(100, 100), pic()->mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic(), &down);
    EXPECT_EQ(window->ScrWeeks()->value(), 1);
    EXPECT_EQ(window->FirstShownDay(), Monday.addDays(7));
    EXPECT_FALSE(window->Pic()->now());
    pic()->setFocus();
    QTest::keyClick(pic(), Qt::Key_PageDown);
    EXPECT_EQ(window->ScrWeeks()->value(), 2);
    QTest::keyClick(pic(), Qt::Key_PageUp);
    QTest::keyClick(pic(), Qt::Key_PageUp);
    QTest::keyClick(pic(), Qt::Key_PageUp); // not before the current week
    EXPECT_EQ(window->ScrWeeks()->value(), 0);
    window->showWeek(5);
    QTest::keyClick(pic(), Qt::Key_Home);
    EXPECT_EQ(window->ScrWeeks()->value(), 0);

    // Enter edits the selected line, Delete deletes it after the question, Ctrl+S saves.
    click(At(1, 8, 0));
    QTest::keyClick(pic(), Qt::Key_Return);
    EXPECT_EQ(editModes, QList<int>{3});
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("keys.clk"));
    program.clockTable.TableChanged = true;
    QTest::keyClick(pic(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(program.clockTable.ClockFileName));
    EXPECT_FALSE(program.clockTable.TableChanged);
    prompter.expect(Answer::Yes);
    QTest::keyClick(pic(), Qt::Key_Delete);
    EXPECT_FALSE(program.clockTable.Lines[0].inUse());
}

TEST_F(MainWindowTest, TheWeeksKeysSelectAndEnterEdits)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 10, 7, clock::Special, clock::Once, 0));
    repaint();
    window->show();
    QApplication::setActiveWindow(window.get());
    pic()->setFocus();
    QTest::keyClick(pic(), Qt::Key_Right);
    QTest::keyClick(pic(), Qt::Key_Tab);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_TRUE(pic()->hasFocus()); // Tab stays in the week
    QTest::keyClick(pic(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(referenceRect(1).topLeft(), At(1, 10, 15) - QPoint(5, 25));
    QTest::keyClick(pic(), Qt::Key_Return);
    EXPECT_EQ(editModes, QList<int>{3});
}

TEST_F(MainWindowTest, MarkersTellTheirLinesInATooltip)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0, 2, 3, 127));
    repaint();
    const QString text = window->markerToolTip(At(1, 8, 0));
    EXPECT_TRUE(text.contains("REL 01 On\n08/12 08:00 Once (Continue table)"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("DIM 03 50 %"));
    EXPECT_TRUE(text.contains("08/12 08:00"));
    EXPECT_TRUE(text.contains("Simulation table"));
    EXPECT_TRUE(window->markerToolTip(At(4, 8, 0)).isEmpty());
    // A line that will not work as intended says so: Tuesday 08:00 has passed by Wednesday.
    EXPECT_TRUE(text.contains("\n⚠ Line 0 fires once, at 2026-12-08 08:00, which has passed"))
        << text.toStdString();
}

TEST_F(MainWindowTest, TheWeekScalesWithTheWindowAndOpensWhereItWasLeft)
{
    window->show();
    const auto fit = [this](QSize size) {
        window->resize(size);
        QApplication::processEvents();
    };
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));

    // Smaller than the classic form: the week is drawn smaller, and what lies under the mouse
    // is still found and dragged to the right quarter hour.
    fit(QSize(760, 470));
    ASSERT_LT(pic()->width(), 520)
        << window->minimumSizeHint().width() << " " << window->minimumSizeHint().height();
    ASSERT_LT(pic()->height(), 504);
    repaint();
    const double sx = pic()->width() / 520.0;
    const double sy = pic()->height() / 504.0;
    const QPoint marker = referenceRect(0).topLeft() + QPoint(5, 25);
    EXPECT_LE((marker - QPoint(qRound(180 * sx), qRound(110 * sy))).manhattanLength(), 2);
    click(marker);
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    const QPoint wednesday2pm(qRound(300 * sx), qRound(180 * sy));
    press(marker);
    QTest::mouseMove(pic(), marker + QPoint(10, 0));
    QTest::mouseMove(pic(), wednesday2pm);
    release(wednesday2pm);
    const ClockLine &line = program.clockTable.Lines[0];
    EXPECT_EQ(line.Hour, 14);
    EXPECT_EQ(line.Minute, 0);
    EXPECT_EQ(clock::ReferenceDate(line, quintara::testing::Years2026), Monday.addDays(2));

    // Larger: the markers follow, keeping their size.
    fit(QSize(1500, 1000));
    ASSERT_GT(pic()->width(), 520);
    EXPECT_EQ(referenceRect(0).size(), QSize(11, 51));
    const QPoint moved = referenceRect(0).topLeft() + QPoint(5, 25);
    EXPECT_LE((moved -
               QPoint(qRound(300 * pic()->width() / 520.0), qRound(180 * pic()->height() / 504.0)))
                  .manhattanLength(),
              2);

    // At any size a click finds the marker on the pixels it is drawn on, and not one beside.
    for (const QSize size : {QSize(1500, 1000), QSize(1234, 876), QSize(760, 470)}) {
        fit(size);
        window->weekInput().SetSelected(0, 0);
        const QRect box = referenceRect(0);
        const QImage with = pic()->grab().toImage();
        program.clockTable.Lines[0].FunctionType = 0;
        repaint();
        const QImage without = pic()->grab().toImage();
        program.clockTable.Lines[0].FunctionType = 1;
        repaint();
        QRect drawn;
        for (int y = 0; y < with.height(); ++y) {
            for (int x = 0; x < with.width(); ++x) {
                if (with.pixel(x, y) != without.pixel(x, y))
                    drawn |= QRect(x, y, 1, 1);
            }
        }
        // The picture fills the box across and from its top; below the point the box keeps
        // room for the selection's triangle and the stack number.
        EXPECT_TRUE(box.contains(drawn)) << size.width();
        EXPECT_GE(drawn.width(), box.width() - 2) << size.width();
        EXPECT_LE(drawn.top(), box.top() + 1) << size.width();
        for (const QPoint inside :
             {box.topLeft(), box.bottomRight(), box.topRight(), box.bottomLeft()}) {
            window->weekInput().SetSelected(0, 0);
            click(inside);
            EXPECT_EQ(program.clockTable.SelectedLine, 1) << size.width();
        }
        for (const QPoint beside :
             {box.topLeft() - QPoint(1, 0), box.topLeft() - QPoint(0, 1),
              box.bottomRight() + QPoint(1, 0), box.bottomRight() + QPoint(0, 1)}) {
            window->weekInput().SetSelected(0, 0);
            click(beside);
            EXPECT_EQ(program.clockTable.SelectedLine, 0) << size.width();
        }
    }

    // Its place and size go into a section of our own on closing, and come back.
    fit(QSize(770, 500));
    program.clockTable.TableChanged = false;
    window->close();
    EXPECT_FALSE(program.profile.readString("Quintara", "Geometry", "", 1000).isEmpty());
    ui::FrmKlokken again(program, dialogs);
    EXPECT_EQ(again.size(), QSize(770, 500));
}

TEST_F(MainWindowTest, EveryFormFitsAScreenAtScaleTwo)
{
    // 1920 x 1080 at scale factor 2 leaves 960 x 540 logical pixels, less title bar and panel.
    const QSize room(940, 490);
    put(0, Line(Monday, 7, 0, clock::Continue, clock::Days, 1));
    program.clockTable.SelectedLine = 1;
    quintara::testing::FakeSerialLine line(pump);
    for (int language = 0; language < settings::LanguageCount; ++language) {
        SCOPED_TRACE(language);
        program.strings.setLanguageOffset(language * settings::LanguageStep);
        ui::FrmClkEdit editor(program, ui::FrmClkEdit::ExistingLineMode);
        ui::FrmCom communication(program, ui::FrmCom::Mode::Transmit, line);
        ui::FrmSelectClkAct start(program.strings, {});
        ui::frmStart splash(program.strings, ui::CurrentPlatform());
        ui::FrmTaal languages;
        for (QWidget *form : std::initializer_list<QWidget *>{window.get(), &editor, &communication,
                                                              &start, &splash, &languages}) {
            const QSize needs = form->minimumSizeHint().expandedTo(form->minimumSize());
            EXPECT_LE(needs.width(), room.width()) << form->objectName().toStdString();
            EXPECT_LE(needs.height(), room.height()) << form->objectName().toStdString();
        }
    }
}

// --- Start-up ------------------------------------------------------------------------------

struct StartUpTest : ProgramTest {
    void writeSettings(const QByteArray &text)
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // Presses a button of the start dialog once it is up.
    void answerStartDialog(const QString &button)
    {
        answerForm(QStringLiteral("FrmSelectClkAct"), button);
    }
    // Presses a button of a modal form once it is up.
    void answerForm(const QString &form, const QString &button)
    {
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, form, button] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != form)
                return;
            timer->deleteLater();
            timer->stop();
            if (auto *b = dialog->findChild<QPushButton *>(button))
                b->click();
            if (dialog->isVisible())
                dialog->close();
        });
        timer->start(5);
    }
};

TEST_F(StartUpTest, InsistsOnAProjectFileThenOffersTheStartChoices)
{
    writeSettings("[Global]\nLanguage=0\n");
    const QString house = dir.filePath(QStringLiteral("house.nbt"));
    ASSERT_TRUE(QFile::copy(DemoProject(), house));

    prompter.expect(Answer::Ok);
    dialogs.answer(std::nullopt); // the first request is cancelled: asked again
    prompter.expect(Answer::Ok);
    dialogs.answer(house);
    prompter.expect(Answer::Ok);
    answerStartDialog(QStringLiteral("CmdNew"));
    const std::unique_ptr<ui::FrmKlokken> window = ui::ClockMain::Main(program, dialogs);
    ASSERT_NE(window, nullptr);
    // In the language in force, English here.
    ASSERT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(prompter.shown[0].text, "You must first read an NBT Ventora file to be able to "
                                      "work with this program");
    EXPECT_EQ(prompter.shown[0].buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(prompter.shown[0].title, "Quintara");
    EXPECT_EQ(prompter.shown[2].text, "You can now use the data of the VENTORA file read to "
                                      "define the actions further");
    // Without a clock file to go by, the dialog starts where the user is.
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_TRUE(dialogs.asked[0].request.initialFolder.isEmpty());
    EXPECT_TRUE(dialogs.asked[0].request.initialName.isEmpty());
    // A fresh table: no file yet, offered under the project's name.
    EXPECT_TRUE(program.clockTable.ClockFileName.isEmpty());
    window->RefreshStatus();
    EXPECT_EQ(window->windowTitle(), "Quintara - house.clk");
    EXPECT_GT(program.clockTable.MaxClockLines, 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompter.allAnswered());

    // With the project in the settings the start dialog is the first question.
    prompter.shown.clear();
    window->close();
    ui::Program again{prompter, clock, pump, settings::ProfileFile(ini)};
    answerStartDialog(QStringLiteral("CmdLoad"));
    int received = 0;
    const auto second = ui::ClockMain::Main(
        again, dialogs, [&](ui::FrmKlokken &main) { main.onReceive = [&] { ++received; }; });
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(received, 1);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(again.settings.nbtFile, house);
    EXPECT_TRUE(again.clockTable.ClockFileName.isEmpty());
}

TEST_F(StartUpTest, FirstStartAsksForTheLanguageFirst)
{
    answerForm(QStringLiteral("FrmTaal"), QStringLiteral("CmdTaal_1"));
    prompter.expect(Answer::Cancel); // then the request for a project file
    EXPECT_EQ(ui::ClockMain::Main(program, dialogs), nullptr);
    EXPECT_EQ(program.strings.LanguageOffset(), 10000);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, "U moet nu eerst een NBT Ventora bestand inlezen om met "
                                      "dit programma te kunnen werken");
    EXPECT_FALSE(QFile::exists(ini));
}

TEST_F(StartUpTest, DecliningAProjectEndsWithoutWritingSettings)
{
    writeSettings("[Global]\nLanguage=0\n[Clock]\nNBTFile=/no/such/file.nbt\n");
    prompter.expect(Answer::Cancel);
    EXPECT_EQ(ui::ClockMain::Main(program, dialogs), nullptr);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Global]\nLanguage=0\n[Clock]\nNBTFile=/no/such/file.nbt\n");
}

// Counts the start dialogs that come up while it lives, cancelling each.
struct StartDialogWatch {
    int shown = 0;
    QTimer timer;

    StartDialogWatch()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != QLatin1String("FrmSelectClkAct"))
                return;
            ++shown;
            if (auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("CmdCancel")))
                cancel->click();
            if (dialog->isVisible())
                dialog->close();
        });
        timer.start(5);
    }
};

int LinesInUse(const clock::ClockTable &table)
{
    return static_cast<int>(std::count_if(table.Lines.begin(), table.Lines.end(),
                                          [](const ClockLine &line) { return line.inUse(); }));
}

TEST_F(StartUpTest, AClockFileFromTheCommandLineOpensInPlaceOfTheStartDialog)
{
    writeSettings("[Global]\nLanguage=0\n[Clock]\nNBTFile=" + DemoProject().toUtf8() + "\n");
    StartDialogWatch watch;
    const auto window = ui::ClockMain::Main(program, dialogs, {}, DemoClockFile());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(watch.shown, 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(program.clockTable.ClockFileName, DemoClockFile());
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_GE(LinesInUse(program.clockTable), 30);
    EXPECT_GT(window->weekModel().repeatMarkers(), 30); // its week is full of markers
    // Opening at start-up is nothing to undo.
    EXPECT_FALSE(window->history().stack().canUndo());

    // The program's own icon, in every size the desktop installs, on every window.
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    EXPECT_EQ(window->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

TEST_F(StartUpTest, AClockFileOpenedWithoutAProjectProposesTheProjectBesideIt)
{
    // A first start on the demo as installed: the language is chosen, no project yet.
    writeSettings("[Global]\nLanguage=30000\n");
    const QString examples = dir.filePath(QStringLiteral("examples"));
    ASSERT_TRUE(QDir().mkpath(examples));
    const QString project = examples + QStringLiteral("/demo.nbt");
    const QString clockFile = examples + QStringLiteral("/demo.clk");
    ASSERT_TRUE(QFile::copy(DemoProject(), project));
    ASSERT_TRUE(QFile::copy(DemoClockFile(), clockFile));

    prompter.expect(Answer::Ok);
    dialogs.answer(project);
    prompter.expect(Answer::Ok);
    StartDialogWatch watch;
    const auto window = ui::ClockMain::Main(program, dialogs, {}, clockFile);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].request.initialFolder, examples);
    EXPECT_EQ(dialogs.asked[0].request.initialName, "demo.nbt");
    // The request in German, the language chosen; what follows in the language in force once
    // the project (which brings its own) is read.
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_TRUE(prompter.shown[0].text.startsWith("Sie müssen zuerst eine NBT-Ventora-Datei"))
        << prompter.shown[0].text.toStdString();
    EXPECT_EQ(prompter.shown[1].text, program.strings.GetResString(2141));
    EXPECT_EQ(program.settings.nbtFile, project);
    EXPECT_EQ(program.clockTable.ClockFileName, clockFile);
    EXPECT_EQ(watch.shown, 0);

    // Without a project of that name the dialog still starts in the clock file's folder.
    window->close();
    ASSERT_TRUE(QFile::remove(project));
    writeSettings("[Global]\nLanguage=0\n");
    ui::Program again{prompter, clock, pump, settings::ProfileFile(ini)};
    prompter.expect(Answer::Ok);
    dialogs.answer(std::nullopt);
    prompter.expect(Answer::Cancel);
    EXPECT_EQ(ui::ClockMain::Main(again, dialogs, {}, clockFile), nullptr);
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[1].request.initialFolder, examples);
    EXPECT_TRUE(dialogs.asked[1].request.initialName.isEmpty());
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(StartUpTest, AnUnreadableClockFileIsReportedAndTheStartDialogFollows)
{
    writeSettings("[Global]\nLanguage=0\n[Clock]\nNBTFile=" + DemoProject().toUtf8() + "\n");
    const QString foreign = dir.filePath(QStringLiteral("foreign.clk"));
    {
        QFile file(foreign);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1308, 'x'));
    }
    prompter.expect(Answer::Ok);
    {
        StartDialogWatch watch;
        const auto window = ui::ClockMain::Main(program, dialogs, {}, foreign);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(watch.shown, 1);
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.shown[0].text, "NO QBN Clock file!");
        // The fresh table of the start-up is back, without a file.
        EXPECT_TRUE(program.clockTable.ClockFileName.isEmpty());
        EXPECT_EQ(LinesInUse(program.clockTable), 0);
        window->close();
    }

    // A file the system cannot open is described as every file command describes it.
    prompter.shown.clear();
    prompter.expect(Answer::Ok);
    ui::Program again{prompter, clock, pump, settings::ProfileFile(ini)};
    StartDialogWatch watch;
    const auto window =
        ui::ClockMain::Main(again, dialogs, {}, dir.filePath(QStringLiteral("missing.clk")));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(watch.shown, 1);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].icon, platform::Icon::Critical);
    EXPECT_TRUE(again.clockTable.ClockFileName.isEmpty());
    EXPECT_TRUE(prompter.allAnswered());
}

TEST(SplashForm, VersionAndPlatformLabels)
{
    quintara::testing::ScriptedPrompter prompter;
    settings::Strings strings(settings::StringTable::builtIn());
    EXPECT_EQ(ui::VersionText(QStringLiteral("1.2.345")), "Version 1.2/345");
    EXPECT_EQ(ui::PlatformText({0, QStringLiteral("4.10"), QStringLiteral("x")}), "Unidentified");
    EXPECT_EQ(ui::PlatformText({1, QStringLiteral("4.10"), QStringLiteral("x")}),
              "Windows 95, 4.10");
    EXPECT_EQ(ui::PlatformText({2, QStringLiteral("10.0"), QStringLiteral("x")}),
              "Windows NT, 10.0");
    EXPECT_EQ(ui::PlatformText({3, QStringLiteral("12"), QStringLiteral("Debian 12")}),
              "Debian 12");
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.7"));
    ui::frmStart splash(strings, {2, QStringLiteral("10.0"), QString()});
    EXPECT_EQ(splash.lblVersion()->text(), "Version 1.0/7");
    EXPECT_EQ(splash.lblPlatform()->text(), "Windows NT, 10.0");
    QCoreApplication::setApplicationVersion(QString());
}

} // namespace

namespace {

// The main window on the demo installation and its clock file, for the README and for looking
// at: QUINTARA_SCREENSHOTS names the folder the pictures go to.
TEST_F(StartUpTest, Screenshots)
{
    const QString folder = qEnvironmentVariable("QUINTARA_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "QUINTARA_SCREENSHOTS names no folder";
    writeSettings(
        QStringLiteral("[Global]\nLanguage=0\n[Clock]\nNBTFile=%1\n").arg(DemoProject()).toUtf8());
    const auto window = ui::ClockMain::Main(program, dialogs, {}, DemoClockFile());
    ASSERT_NE(window, nullptr);
    // The size it asks for, where the week is drawn 1:1.
    window->resize(window->sizeHint());
    QApplication::processEvents();
    // Monday 06:00: the heating and the sprinkler of every other day.
    QTest::mouseClick(window->Pic(), Qt::LeftButton, {}, At(0, 6, 0));
    window->RefreshStatus();
    ASSERT_EQ(window->weekInput().hitCount(), 2);

    EXPECT_TRUE(window->grab().save(QDir(folder).filePath(QStringLiteral("main-window.png"))));
    window->close();
}

} // namespace
