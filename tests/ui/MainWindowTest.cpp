// The main window: what only it does (the week, the panel and the views wired to its parts; keys,
// buttons, closing and scaling) and the start-up that brings it up.
#include "project/ProjectFileWriter.h"
#include "tests/support/TestYears.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/AgendaView.h"
#include "ui/ClockMain.h"
#include "ui/FrmKlokken.h"
#include "ui/LineListView.h"
#include "ui/WeekView.h"
#include "presentation/ClockLineFilter.h"

#include <functional>

using namespace quintara;
using clock::ClockLine;
using platform::Answer;
using namespace quintara::testing::window;

namespace {

const QColor Navy(0, 0, 128);

// Lays a window out that is not shown, nested layouts (the views' pages) included.
void layOut(QWidget &window)
{
    // A hidden widget gets no resize event, so each layout is told its widget's new size.
    window.layout()->activate();
    for (QWidget *child : window.findChildren<QWidget *>())
        if (QLayout *layout = child->layout())
            layout->invalidate(), layout->activate();
}

struct MainWindowTest : ProgramTest {
    std::unique_ptr<ui::FrmKlokken> window;
    QList<int> editModes;

    MainWindowTest()
    {
        useModelZero();
        window = std::make_unique<ui::FrmKlokken>(program, dialogs);
        // At the size it asks for, the week area is drawn 1:1 and the tests' points are its own.
        window->resize(window->sizeHint());
        layOut(*window);
        EXPECT_EQ(window->Pic()->size(), QSize(520, 504));
        window->lines().editLine = [this](int mode) { return editModes.append(mode), true; };
    }
    ~MainWindowTest() override
    {
        window.reset();
        EXPECT_TRUE(prompter.allAnswered());
    }

    void showActive()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    void repaint() { window->ScrWeeks_Change(); }
    QWidget *pic() { return window->Pic(); }
    void click(QPoint at) { drag(at, {}); }
    void drag(QPoint from, std::initializer_list<QPoint> through)
    {
        QTest::mousePress(pic(), Qt::LeftButton, {}, from);
        QPoint last = from;
        for (const QPoint at : through)
            QTest::mouseMove(pic(), last = at);
        QTest::mouseRelease(pic(), Qt::LeftButton, {}, last);
    }
    // Markers on screen for line i: its reference marker and its repeat markers.
    int shownMarkers(int line)
    {
        const auto &markers = window->weekModel().markers();
        return int(std::count_if(markers.begin(), markers.end(),
                                 [line](const ui::WeekMarker &m) { return m.line == line; }));
    }
    std::optional<ui::WeekMarker> reference(int line)
    {
        for (const ui::WeekMarker &m : window->weekModel().markers())
            if (m.line == line && m.reference)
                return m;
        return std::nullopt;
    }
    QRect referenceRect(int line)
    {
        const auto marker = reference(line);
        return marker ? window->Pic()->markerRect(*marker) : QRect();
    }
    template <typename W = QWidget> W *named(const QString &name)
    {
        auto *widget = window->findChild<W *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QWidget *panel(int tab) { return named(QStringLiteral("PicFnc_%1").arg(tab)); }
};

TEST_F(MainWindowTest, StackedLinesShowOneNumberedMarkerATooltipAndATabEach)
{
    // A relay in the Continue table and a dimmer at 50 % in the Simulation table, both on
    // Tuesday 08:00.
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0, 2, 3, 127));
    repaint();
    EXPECT_EQ(referenceRect(0).topLeft(), At(1, 8, 0) - QPoint(5, 25));
    EXPECT_EQ(reference(1)->stack, 2);
    // The tooltip tells both lines, and what will not work as intended: Tuesday 08:00 has
    // passed by Wednesday.
    const QString tip = window->markerToolTip(At(1, 8, 0));
    for (const char *part :
         {"REL 01 On\n08/12 08:00 Once (Continue table)", "DIM 03 50 %", "Simulation table",
          "\n⚠ Line 0 fires once, at 2026-12-08 08:00, which has passed"})
        EXPECT_TRUE(tip.contains(QString::fromUtf8(part))) << tip.toStdString();
    EXPECT_TRUE(window->markerToolTip(At(4, 8, 0)).isEmpty());

    click(At(1, 8, 0));
    EXPECT_EQ(window->TabClk()->count(), 2);
    EXPECT_EQ(selected(), 1);
    for (int tab = 0; tab < 3; ++tab)
        EXPECT_EQ(panel(tab)->isVisibleTo(window.get()), tab < 2) << tab;
    const auto label = [this](int tab) {
        return named<QLabel>(QStringLiteral("LblFunctieA_%1").arg(tab))->text().simplified();
    };
    EXPECT_EQ(QStringList({label(0), label(1)}), QStringList({"REL 01 On", "DIM 03 50 %"}));

    // However the tab changes (click or arrow key) its line is selected and its panel turns navy.
    QTabBar *tabs = window->TabClk();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(panel(1)->palette().color(QPalette::Window), Navy);
    EXPECT_NE(panel(0)->palette().color(QPalette::Window), Navy);
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Left);
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(panel(0)->palette().color(QPalette::Window), Navy);

    // The right button pops up the edit menu over the line.
    QTest::mousePress(pic(), Qt::RightButton, {}, At(1, 8, 0));
    EXPECT_TRUE(window->menus().editMenu()->isVisible());
    window->menus().editMenu()->hide();
}

// Only what is shown can be picked up or dragged: lines of a hidden table select nothing and
// move nothing.
TEST_F(MainWindowTest, HiddenTablesCanNeitherBePickedUpNorDragged)
{
    put(0, Line(Monday, 7, 0, clock::Workday, clock::Days, 1));
    put(1, Line(Monday.addDays(1), 7, 0, clock::Continue, clock::Once, 0));
    repaint();
    ASSERT_EQ(shownMarkers(0), 5);
    QAction *work = window->menus().toolbarButton(9);
    QWidget *button = window->findChild<QToolBar *>(QStringLiteral("Tlb"))->widgetForAction(work);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(work->isChecked());
    EXPECT_EQ(shownMarkers(0), 0);
    // Both lines lie under Tuesday 07:00, but only the one on show can be picked up.
    click(At(1, 7, 0));
    EXPECT_EQ(window->weekInput().hitCount(), 1);
    EXPECT_EQ(selected(), 2);
    const ClockLine hidden = program.clockTable.Lines[0];
    drag(At(3, 7, 0), {At(3, 18, 0)});
    EXPECT_EQ(program.clockTable.Lines[0], hidden);
    EXPECT_FALSE(program.clockTable.TableChanged);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(shownMarkers(0), 5);
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
    // Yes, then the Save As dialog is cancelled: the window stays; Cancel keeps it open too.
    prompter.expect(Answer::Yes);
    dialogs.answer(std::nullopt);
    window->close();
    prompter.expect(Answer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    const platform::Message &question = prompter.shown[0];
    // A table without a file goes by the name Save As offers it.
    EXPECT_EQ(QStringList({question.title, question.text}),
              QStringList({"KALVENOR Domotic system", "File house.clk is changed!\n\rSave now?"}));
    EXPECT_TRUE(question.buttons == platform::Buttons::YesNoCancel &&
                question.icon == platform::Icon::Question);
    EXPECT_EQ(dialogs.asked.constLast().request.filter,
              "Klok bestanden (*.clk) |*.clk|All files (*.*) |*.*");
    EXPECT_FALSE(QFile::exists(ini));

    // Yes with a name saves and closes, writing the settings.
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("house.clk"));
    prompter.expect(Answer::Yes);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QFileInfo(program.clockTable.ClockFileName).size(), clock::ClockFileSize);
    EXPECT_TRUE(FileBytes(ini).contains("NBTFile=/somewhere/house.nbt"));
}

TEST_F(MainWindowTest, ButtonsDoubleClicksAndTheToolbarRunTheirCommands)
{
    // Add in the Workday table through the button; a double click edits the selected line,
    // and nothing without one.
    named<QPushButton>(QStringLiteral("CmdAdd"))->click();
    EXPECT_EQ(program.clockTable.Lines[0].Table, clock::Workday);
    window->RefreshStatus();
    EXPECT_TRUE(window->menus().toolbarButton(5)->isEnabled());
    put(1, Line(Monday.addDays(6), 9, 0, clock::Special, clock::Once, 0));
    repaint();
    window->weekInput().SetSelected(0, 0);
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, At(2, 10, 0));
    click(At(6, 9, 0));
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, At(6, 9, 0));
    EXPECT_EQ(editModes, QList<int>({1, 3}));

    // Delete asks in Dutch, No being the default.
    prompter.expect(Answer::Yes);
    named<QPushButton>(QStringLiteral("CmdDelete"))->click();
    EXPECT_EQ(lastMessage(), "Mag On REL  01 verwijderd worden?");
    EXPECT_EQ(prompter.shown.constLast().defaultButton, Answer::No);
    EXPECT_EQ(shownMarkers(1), 0);

    // The table is changed: Receive asks first; Cancel receives nothing, No receives and
    // repaints.
    int received = 0;
    window->onReceive = [&] {
        ++received;
        put(5, Line(Monday.addDays(6), 20, 0, clock::Continue, clock::Once, 0));
    };
    prompter.expect(Answer::Cancel);
    window->menus().toolbarButton(2)->trigger();
    EXPECT_EQ(received, 0);
    prompter.expect(Answer::No);
    window->menus().toolbarButton(2)->trigger();
    EXPECT_TRUE(received == 1 && reference(5));

}

TEST_F(MainWindowTest, KeysTheWheelAndShortcutsReachTheWeeksAndCommands)
{
    showActive();
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 10, 7, clock::Special, clock::Once, 0));
    put(2, Line(Monday.addDays(15), 12, 0, clock::Continue, clock::Once, 0));
    repaint();
    // The present moment is a red line on today's row (Wednesday 10:00), in this week only.
    EXPECT_EQ(window->Pic()->now(), QPointF(At(2, 10, 0)));

    // Tab goes from marker to marker, staying in the week; Enter edits the line, Ctrl+S saves
    // and Delete deletes it after the question.
    pic()->setFocus();
    QTest::keyClick(pic(), Qt::Key_Right);
    QTest::keyClick(pic(), Qt::Key_Tab);
    EXPECT_EQ(selected(), 2);
    EXPECT_TRUE(pic()->hasFocus());
    QTest::keyClick(pic(), Qt::Key_Return);
    EXPECT_EQ(editModes, QList<int>{3});
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("keys.clk"));
    program.clockTable.TableChanged = true;
    QTest::keyClick(pic(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(program.clockTable.ClockFileName));
    EXPECT_FALSE(program.clockTable.TableChanged);
    prompter.expect(Answer::Yes);
    QTest::keyClick(pic(), Qt::Key_Delete);
    EXPECT_FALSE(program.clockTable.Lines[1].inUse());

    // A notch of the wheel over the week is a week; Page Down/Up too, never before the current
    // week; Home is this week.
    QWheelEvent notch(QPointF(5, 5), pic()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic(), &notch);
    EXPECT_EQ(window->FirstShownDay(), Monday.addDays(7));
    EXPECT_FALSE(window->Pic()->now());
    QTest::keyClick(pic(), Qt::Key_PageDown);
    EXPECT_EQ(referenceRect(2).topLeft(), At(1, 12, 0) - QPoint(5, 25));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(pic(), Qt::Key_PageUp);
    EXPECT_EQ(window->ScrWeeks()->value(), 0);
    window->showWeek(5);
    QTest::keyClick(pic(), Qt::Key_Home);
    EXPECT_EQ(window->ScrWeeks()->value(), 0);

    // Editing brings the week of the line into view.
    program.clockTable.SelectedLine = 3;
    window->lines().EditLine();
    EXPECT_EQ(window->ScrWeeks()->value(), 2);
}

// The list of all lines and the week choose the same line, and the commands on lines act on
// exactly the rows the user sees highlighted, whatever the week does on the way.
TEST_F(MainWindowTest, TheListAndTheWeekChooseTogetherAndCommandsActOnTheHighlight)
{
    showActive();
    for (int i = 0; i < 12; ++i)
        put(i, Line(Monday.addDays(i % 7), 6 + i, 0, clock::Continue, clock::Days, 7));
    repaint();
    ui::LineListView *list = window->views().list();
    QTableView *rows = list->tableView();
    click(At(2, 8, 0));
    ASSERT_EQ(selected(), 3);
    window->views().show(1);
    EXPECT_EQ(list->selectedLines(), QList<int>{2});
    // A row chosen in the list is the line chosen in the week, on the day it fires next.
    rows->selectRow(list->filter()->rowOfLine(1));
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(window->weekInput().hitCount(), 1);

    const auto clickRow = [&](int line, Qt::KeyboardModifiers modifiers = {}) {
        const auto cell = list->filter()->index(list->filter()->rowOfLine(line),
                                                ui::ClockLineListModel::TimeColumn);
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, modifiers,
                          rows->visualRect(cell).center());
    };
    QList<int> edited;
    window->lines().editLine = [&](int) { return edited.append(selected() - 1), true; };
    rows->setFocus();
    // Shift extends from the row clicked last, though the week followed every click.
    clickRow(5);
    clickRow(8, Qt::ShiftModifier);
    EXPECT_EQ(list->selectedLines(), (QList<int>{5, 6, 7, 8}));
    // The current row taken out of the highlight: line 3 alone is edited, then deleted.
    clickRow(3);
    clickRow(10, Qt::ControlModifier);
    clickRow(10, Qt::ControlModifier);
    ASSERT_EQ(list->selectedLines(), QList<int>{3});
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(edited, QList<int>{3});
    prompter.expect(Answer::Yes);
    QTest::keyClick(rows, Qt::Key_Delete);
    EXPECT_FALSE(program.clockTable.Lines[3].inUse());
    EXPECT_TRUE(program.clockTable.Lines[10].inUse() && program.clockTable.Lines[2].inUse());
}

// The agenda lists the firings of the range, and a firing leads to its line in the week.
TEST_F(MainWindowTest, TheAgendaListsTheWeeksFiringsAndLeadsToTheirLines)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    repaint();
    window->views().show(2);
    ui::AgendaView *agenda = window->views().agenda();
    QAbstractItemModel *firings = agenda->tableView()->model();
    agenda->setRange(ui::AgendaView::NextFourWeeks);
    EXPECT_GT(firings->rowCount(), 20);
    agenda->tableView()->setCurrentIndex(firings->index(0, 0));
    QTest::keyClick(agenda->tableView(), Qt::Key_Return);
    EXPECT_TRUE(window->Pic()->isVisibleTo(window.get()));
    EXPECT_EQ(selected(), firings->index(0, ui::AgendaModel::LineColumn).data().toInt() + 1);
}

// Every kind of change the window makes is one step back and forth, and the changed flag
// follows the history: back at the saved table, the table is unchanged.
TEST_F(MainWindowTest, UndoAndRedoRestoreEveryKindOfChangeAndTheChangedFlag)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    repaint();
    window->history().markSaved();
    auto *undo = named<QAction>(QStringLiteral("mmuUndo"));
    auto *redo = named<QAction>(QStringLiteral("mmuRedo"));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    // Keys that exist only under a desktop theme are there without one too.
    EXPECT_FALSE(redo->shortcut().isEmpty());
    EXPECT_EQ(named<QAction>(QStringLiteral("mmuFileSaveAs"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+S")));

    using Lines = decltype(program.clockTable.Lines);
    const Lines saved = program.clockTable.Lines;
    drag(At(1, 8, 0), {At(1, 10, 0), At(2, 11, 0)});
    window->lines().editLine = [this](int) { return program.clockTable.Lines[0].Level = 17, true; };
    window->lines().EditLine();
    const Lines edited = program.clockTable.Lines;
    EXPECT_EQ(QList<int>({edited[0].Hour, edited[0].Level}), QList<int>({11, 17}));
    undo->trigger();
    EXPECT_TRUE(program.clockTable.Lines[0].Level == 255 && program.clockTable.TableChanged);
    // Undo back to the saved state: unchanged, and the save button grey again.
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, saved);
    EXPECT_FALSE(program.clockTable.TableChanged);
    window->RefreshStatus();
    EXPECT_FALSE(window->menus().toolbarButton(5)->isEnabled());
    redo->trigger();
    redo->trigger();
    EXPECT_EQ(program.clockTable.Lines, edited);

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
    const auto model = [this] {
        return QList<int>({program.clockTable.ModelIndex, program.clockTable.MaxClockLines,
                           program.project.ModelIndex});
    };
    ASSERT_TRUE(window->files().OpenClockFile(path));
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_EQ(model(), QList<int>({3, 50, 3}));
    const Lines opened = program.clockTable.Lines;
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, mine);
    EXPECT_EQ(program.clockTable.ClockFileName, QStringLiteral("mine.clk"));
    EXPECT_EQ(model(), QList<int>({0, 100, 0}));
    EXPECT_EQ(clock::ClockFileImage(program.clockTable)[4], 0); // what Save would write
    redo->trigger();
    EXPECT_EQ(model(), QList<int>({3, 50, 3}));
    window->files().NewTable();
    EXPECT_FALSE(program.clockTable.Lines[3].inUse());
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, opened);
}

TEST_F(MainWindowTest, SwappingTheTableClearsTheSelectionAndCancelChangesNothing)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    repaint();
    click(At(1, 8, 0));
    // Edit: Cancel, and OK on the same values, change nothing.
    for (const bool ok : {false, true}) {
        window->lines().editLine = [ok](int) { return ok; };
        window->lines().EditLine();
        EXPECT_FALSE(program.clockTable.TableChanged) << ok;
    }
    // Receive replaces the table: no selection or panel of a line that is gone stays behind.
    ASSERT_EQ(selected(), 1);
    window->onReceive = [this] { clock::ClearClockTable(program.clockTable); };
    window->files().Receive();
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(window->weekInput().hitCount(), 0);
    EXPECT_FALSE(panel(0)->isVisibleTo(window.get()));
    window->lines().editLine = [](int) -> bool {
        ADD_FAILURE() << "an editor for no line";
        return false;
    };
    window->lines().EditLine();
}

TEST_F(MainWindowTest, AProjectsLanguageReachesEveryTextOfTheWindow)
{
    // English chosen; the project was stored by someone working in Dutch.
    ASSERT_EQ(program.names.repeatName(clock::Days).trimmed(), "Day(s)");
    auto dutch = std::make_unique<project::ProjectModel>();
    project::NewProject(*dutch, 19200, 10000);
    project::SelectModel(*dutch, 1, program.strings);
    program.settings.nbtFile = WriteFile(dir.filePath(QStringLiteral("dutch.nbt")),
                                         project::WriteProjectFile(*dutch, 60));
    window->files().ReadProjectFromSettings();
    EXPECT_EQ(program.strings.LanguageOffset(), 10000);
    EXPECT_EQ(program.names.repeatName(clock::Days).trimmed(), "Dag(en)");
    EXPECT_EQ(named<QMenu>(QStringLiteral("mmuFile"))->title(), program.strings.GetResString(2200));
    // Qt's own buttons and the day names follow.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ja");
    EXPECT_EQ(QLocale().dayName(1), "maandag");
}

TEST_F(MainWindowTest, TheWeekScalesWithTheWindowAndOpensWhereItWasLeft)
{
    window->show();
    const auto fit = [this](QSize size) {
        window->resize(size);
        QApplication::processEvents();
    };
    // A point of the week drawn 1:1, where the week is drawn at its present size.
    const auto scaled = [this](int x, int y) {
        return QPoint(qRound(x * pic()->width() / 520.0), qRound(y * pic()->height() / 504.0));
    };
    const auto markerPoint = [this] { return referenceRect(0).topLeft() + QPoint(5, 25); };
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));

    // Smaller than the classic form: what lies under the mouse is still found and dragged to
    // the right quarter hour.
    fit(QSize(760, 470));
    ASSERT_TRUE(pic()->width() < 520 && pic()->height() < 504);
    repaint();
    EXPECT_LE((markerPoint() - scaled(180, 110)).manhattanLength(), 2);
    drag(markerPoint(), {markerPoint() + QPoint(10, 0), scaled(300, 180)});
    EXPECT_EQ(clock::ReferenceDateTime(program.clockTable.Lines[0], quintara::testing::Years2026),
              QDateTime(Monday.addDays(2), QTime(14, 0)));

    // At any size the markers follow, keeping their size, and a click finds the marker on its
    // corners and not beside them.
    for (const QSize size : {QSize(1500, 1000), QSize(1234, 876)}) {
        SCOPED_TRACE(size.width());
        fit(size);
        const QRect box = referenceRect(0);
        EXPECT_EQ(box.size(), QSize(11, 51));
        EXPECT_LE((markerPoint() - scaled(300, 180)).manhattanLength(), 2);
        for (const QPoint at : {box.topLeft(), box.bottomRight(), box.topLeft() - QPoint(1, 0),
                                box.bottomRight() + QPoint(0, 1)}) {
            window->weekInput().SetSelected(0, 0);
            click(at);
            EXPECT_EQ(selected(), box.contains(at) ? 1 : 0);
        }
    }

    // Its place and size go into a section of our own on closing, and come back.
    fit(QSize(770, 500));
    program.clockTable.TableChanged = false;
    window->close();
    EXPECT_FALSE(program.profile.readString("Quintara", "Geometry", "", 1000).isEmpty());
    EXPECT_EQ(ui::FrmKlokken(program, dialogs).size(), QSize(770, 500));
}

// --- Start-up ------------------------------------------------------------------------------

struct StartUpTest : ProgramTest {
    void writeSettings(const QString &text) { WriteFile(ini, text.toUtf8()); }
    static inline const QString StartDialog = QStringLiteral("FrmSelectClkAct");
};

TEST_F(StartUpTest, InsistsOnAProjectFileThenOffersTheStartChoices)
{
    writeSettings(QStringLiteral("[Global]\nLanguage=0\n"));
    const QString house =
        WriteFile(dir.filePath(QStringLiteral("house.nbt")), FileBytes(DemoProject()));
    prompter.expect(Answer::Ok);
    dialogs.answer(std::nullopt); // the first request is cancelled: asked again
    prompter.expect(Answer::Ok);
    dialogs.answer(house);
    prompter.expect(Answer::Ok);
    const ModalAnswer startNew(StartDialog, QStringLiteral("CmdNew"));
    const std::unique_ptr<ui::FrmKlokken> window = ui::ClockMain::Main(program, dialogs);
    ASSERT_NE(window, nullptr);
    // In the language in force, English here; without a clock file to go by, the dialog starts
    // where the user is.
    ASSERT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(QStringList({prompter.shown[0].title, prompter.shown[0].text, prompter.shown[2].text}),
              QStringList({"Quintara",
                           "You must first read an NBT Ventora file to be able to work with this "
                           "program",
                           "You can now use the data of the VENTORA file read to define the "
                           "actions further"}));
    EXPECT_EQ(prompter.shown[0].buttons, platform::Buttons::OkCancel);
    EXPECT_TRUE(dialogs.asked[0].request.initialFolder.isEmpty());
    // A fresh table: no file yet, offered under the project's name.
    EXPECT_TRUE(program.clockTable.ClockFileName.isEmpty());
    window->RefreshStatus();
    EXPECT_EQ(window->windowTitle(), "Quintara - house.clk");

    // With the project in the settings the start dialog is the first question.
    prompter.shown.clear();
    window->close();
    ui::Program again{prompter, clock, pump, settings::ProfileFile(ini)};
    const ModalAnswer receive(StartDialog, QStringLiteral("CmdLoad"));
    int received = 0;
    const auto second = ui::ClockMain::Main(
        again, dialogs, [&](ui::FrmKlokken &main) { main.onReceive = [&] { ++received; }; });
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(received == 1 && prompter.shown.isEmpty());
    EXPECT_EQ(again.settings.nbtFile, house);
}

TEST_F(StartUpTest, FirstStartAsksForTheLanguageFirstAndDecliningAProjectWritesNothing)
{
    const ModalAnswer dutch(QStringLiteral("FrmTaal"), QStringLiteral("CmdTaal_1"));
    prompter.expect(Answer::Cancel); // then the request for a project file
    EXPECT_EQ(ui::ClockMain::Main(program, dialogs), nullptr);
    EXPECT_EQ(program.strings.LanguageOffset(), 10000);
    EXPECT_EQ(lastMessage(), "U moet nu eerst een NBT Ventora bestand inlezen om met "
                             "dit programma te kunnen werken");
    EXPECT_FALSE(QFile::exists(ini));

    // A project in the settings that is gone, and the request for another declined.
    const QByteArray settings = "[Global]\nLanguage=0\n[Clock]\nNBTFile=/no/such/file.nbt\n";
    WriteFile(ini, settings);
    ui::Program again{prompter, clock, pump, settings::ProfileFile(ini)};
    prompter.expect(Answer::Cancel);
    EXPECT_EQ(ui::ClockMain::Main(again, dialogs), nullptr);
    EXPECT_EQ(FileBytes(ini), settings);
}

TEST_F(StartUpTest, AClockFileOpenedWithoutAProjectProposesTheProjectBesideIt)
{
    // A first start on the demo as installed: the language is chosen, no project yet.
    writeSettings(QStringLiteral("[Global]\nLanguage=30000\n"));
    const QString examples = dir.filePath(QStringLiteral("examples"));
    ASSERT_TRUE(QDir().mkpath(examples));
    const QString project = WriteFile(examples + "/demo.nbt", FileBytes(DemoProject()));
    const QString clockFile = WriteFile(examples + "/demo.clk", FileBytes(DemoClockFile()));
    prompter.expect(Answer::Ok);
    dialogs.answer(project);
    prompter.expect(Answer::Ok);
    const ModalAnswer start(StartDialog, QStringLiteral("CmdCancel"));
    const auto window = ui::ClockMain::Main(program, dialogs, {}, clockFile);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialogs.asked[0].request.initialFolder, examples);
    EXPECT_EQ(dialogs.asked[0].request.initialName, "demo.nbt");
    // The request in German, the language chosen; what follows in the language in force once
    // the project (which brings its own) is read.
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_TRUE(prompter.shown[0].text.startsWith("Sie müssen zuerst eine NBT-Ventora-Datei"));
    EXPECT_EQ(prompter.shown[1].text, program.strings.GetResString(2141));
    EXPECT_EQ(program.clockTable.ClockFileName, clockFile);
    EXPECT_EQ(start.seen, 0);

}

// A clock file named on the command line opens in place of the start dialog; one that cannot be
// read is reported (a foreign file with the program's words, one the system cannot open as every
// file command describes it) and the start dialog follows, over the fresh table.
TEST_F(StartUpTest, AClockFileFromTheCommandLineOpensInPlaceOfTheStartDialog)
{
    writeSettings(QStringLiteral("[Global]\nLanguage=0\n[Clock]\nNBTFile=%1\n").arg(DemoProject()));
    const QString foreign = dir.filePath(QStringLiteral("foreign.clk"));
    for (const QString &path : {DemoClockFile(), WriteFile(foreign, QByteArray(1308, 'x')),
                                dir.filePath(QStringLiteral("missing.clk"))}) {
        SCOPED_TRACE(path.toStdString());
        ui::Program fresh{prompter, clock, pump, settings::ProfileFile(ini)};
        const bool opens = path == DemoClockFile();
        const auto lastIcon = [this] { return prompter.shown.value(0).icon; };
        prompter.shown.clear();
        if (!opens)
            prompter.expect(Answer::Ok);
        const ModalAnswer start(StartDialog, QStringLiteral("CmdCancel"));
        const auto window = ui::ClockMain::Main(fresh, dialogs, {}, path);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(start.seen, opens ? 0 : 1);
        EXPECT_EQ(fresh.clockTable.ClockFileName, opens ? path : QString());
        EXPECT_EQ(fresh.clockTable.TableChanged, false);
        // Opening at start-up is nothing to undo; the week of the demo is full of markers.
        EXPECT_FALSE(window->history().stack().canUndo());
        EXPECT_EQ(window->weekModel().repeatMarkers() > 30, opens);
        // The program's own icon, from the smallest size the desktop installs to the largest.
        EXPECT_EQ(window->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(16, 16)) &&
                    window->windowIcon().availableSizes().contains(QSize(256, 256)));
        EXPECT_EQ(prompter.shown.size(), opens ? 0 : 1);
        EXPECT_TRUE(opens || (path == foreign ? lastMessage() == "NO QBN Clock file!"
                                              : lastIcon() == platform::Icon::Critical));
        window->close();
    }
}

// The main window on the demo installation and its clock file, for the README's picture:
// QUINTARA_SCREENSHOTS names the folder it goes to.
TEST_F(StartUpTest, Screenshots)
{
    const QString folder = qEnvironmentVariable("QUINTARA_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "QUINTARA_SCREENSHOTS names no folder";
    writeSettings(QStringLiteral("[Global]\nLanguage=0\n[Clock]\nNBTFile=%1\n").arg(DemoProject()));
    const auto window = ui::ClockMain::Main(program, dialogs, {}, DemoClockFile());
    ASSERT_NE(window, nullptr);
    window->resize(window->sizeHint()); // the week drawn 1:1
    QApplication::processEvents();
    // Monday 06:00: the heating and the sprinkler of every other day.
    QTest::mouseClick(window->Pic(), Qt::LeftButton, {}, At(0, 6, 0));
    window->RefreshStatus();
    EXPECT_TRUE(window->grab().save(QDir(folder).filePath(QStringLiteral("main-window.png"))));
    window->close();
}

} // namespace
