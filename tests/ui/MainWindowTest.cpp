// The main window: what only it does (the week, the panel and the views wired to its parts; keys,
// buttons, closing and scaling; the sun from the menus) and the start-up that brings it up.
#include "plan/ProjectLocation.h"
#include "plan/SunRetime.h"
#include "presentation/AgendaModel.h"
#include "presentation/HealthText.h"
#include "project/ProjectFileWriter.h"
#include "render/WeekPainter.h"
#include "tests/support/TestYears.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/AgendaView.h"
#include "ui/ClockMain.h"
#include "ui/FileCommands.h"
#include "ui/FrmKlokken.h"
#include "ui/WeekView.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDateEdit>
#include <QDir>
#include <QLocale>

using namespace quintara;
using clock::ClockLine;
using platform::Answer;
using namespace quintara::testing::window;

namespace {

const QColor Navy(0, 0, 128);
const plan::Location Amsterdam = std::get<plan::Location>(plan::Location::make(52.37, 4.89));

struct MainWindowTest : ProgramTest {
    std::unique_ptr<ui::FrmKlokken> window;
    QList<int> editModes;

    MainWindowTest()
    {
        useModelZero();
        window = std::make_unique<ui::FrmKlokken>(program, dialogs);
        // At the size it asks for, the week area is drawn 1:1 and the tests' points are its own.
        window->resize(window->sizeHint());
        window->show();
        EXPECT_EQ(window->Pic()->size(), QSize(520, 504));
        window->lines().editLine = [this](int mode) { return editModes.append(mode), true; };
    }
    ~MainWindowTest() override
    {
        window.reset();
        EXPECT_TRUE(prompter.allAnswered());
    }

    void repaint() { window->ScrWeeks_Change(); }
    QWidget *pic() { return window->Pic(); }
    void click(QPoint at) { Drag(pic(), at); }
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
    QWidget *panel(int tab) { return Named(window.get(), QStringLiteral("PicFnc_%1").arg(tab)); }
    // Runs a menu item whose modal dialog `answer` fills in; a dialog still open after it is
    // closed, so that a failed expectation can't hang the test.
    void run(
        const char *item, const std::function<void(QDialog &)> &answer = [](QDialog &) {})
    {
        // Dies with the call: an item that shows no dialog leaves nothing to answer the next.
        const WhenModal<QDialog> dialog(answer);
        Named<QAction>(window.get(), QString::fromLatin1(item))->trigger();
    }
    QTimeZone zone() const { return clock.now().timeZone(); }
};

TEST_F(MainWindowTest, StackedLinesShowOneNumberedMarkerATooltipAndATabEach)
{
    // A relay in the Continue table and a dimmer at 50 % in the Simulation table, both on
    // Tuesday 08:00.
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 8, 0, clock::Simulation, clock::Once, 0, 2, 3, 127));
    repaint();
    // The number they show is the week model's to test.
    EXPECT_EQ(referenceRect(0).topLeft(), At(1, 8, 0) - QPoint(5, 25));
    // The tooltip tells both lines, and what will not work as intended: Tuesday 08:00 has
    // passed by Wednesday.
    const QString tip = window->markerToolTip(At(1, 8, 0));
    for (const char *part :
         {"REL 01 On\n08/12 08:00 Once (Continue table)", "DIM 03 50 %", "Simulation table",
          "\n⚠ Line 0 fires once, at 2026-12-08 08:00, which has passed"})
        EXPECT_TRUE(tip.contains(QString::fromUtf8(part))) << tip.toStdString();

    click(At(1, 8, 0));
    EXPECT_EQ(
        std::pair(selected(), Named<QLabel>(window.get(), "LblFunctieA_1")->text().simplified()),
        std::pair(1, QStringLiteral("DIM 03 50 %")));

    // A change of tab selects its line and turns its panel navy.
    QTabBar *tabs = window->TabClk();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_TRUE(selected() == 2 && panel(1)->palette().color(QPalette::Window) == Navy);

    // The right button pops up the edit menu over the line.
    QTest::mousePress(pic(), Qt::RightButton, {}, At(1, 8, 0));
    EXPECT_TRUE(window->menus().editMenu()->isVisible());
    window->menus().editMenu()->hide();

    // Receive replaces the table: no selection or panel of a line that is gone stays behind.
    window->onReceive = [this] { clock::ClearClockTable(program.clockTable); };
    window->files().Receive();
    EXPECT_TRUE(selected() == 0 && window->weekInput().hitCount() == 0 &&
                !panel(0)->isVisibleTo(window.get()));
    window->lines().EditLine();
    EXPECT_TRUE(editModes.isEmpty()) << "an editor for no line";
}

// Only what is shown can be picked up or dragged: lines of a hidden table select nothing and
// move nothing. Values out of range never index past an array.
TEST_F(MainWindowTest, HiddenTablesAndBrokenLinesAreNeitherPickedUpNorDragged)
{
    put(0, Line(Monday, 7, 0, clock::Workday, clock::Days, 1));
    put(1, Line(Monday.addDays(1), 7, 0, clock::Continue, clock::Once, 0));
    put(2, Line(Monday.addDays(1), 9, 0, 9, clock::Once, 0, 200, 250, 17)); // table 9
    put(3, Line(Monday.addDays(1), 9, 0, 255, 12, 0, 99));                  // unit 12, count 0
    ClockLine broken = Line(Monday, 9, 0, 7, 200, 255, 70);
    broken.Hour = 40; // no such time
    broken.Day = 0;   // no such date
    put(4, broken);
    program.clockTable.SelectedLine = 250; // a selection naming no line
    repaint();
    EXPECT_TRUE(reference(3)->stack == 2 && !reference(4));
    // Every marker and panel paints with these lines.
    EXPECT_FALSE(window->grab().isNull());
    click(At(1, 9, 0));
    EXPECT_EQ(window->weekInput().hitCount(), 2);

    const int repeats = window->weekModel().repeatMarkers();
    QTest::mouseClick(
        Named<QToolBar>(window.get(), "Tlb")->widgetForAction(window->menus().toolbarButton(9)),
        Qt::LeftButton);
    EXPECT_EQ(window->weekModel().repeatMarkers(), repeats - 5);
    // Both lines lie under Tuesday 07:00, but only the one on show can be picked up.
    click(At(1, 7, 0));
    EXPECT_EQ(selected(), 2);
    const auto before = program.clockTable.Lines;
    Drag(pic(), At(3, 7, 0), {At(3, 18, 0)});
    EXPECT_EQ(program.clockTable.Lines, before);
}

TEST_F(MainWindowTest, ButtonsDoubleClicksTheToolbarAndClosingRunTheirCommands)
{
    // A double click edits the selected line, and nothing without one (the editor's tests
    // add through the button).
    put(1, Line(Monday.addDays(6), 9, 0, clock::Special, clock::Once, 0));
    repaint();
    window->weekInput().SetSelected(0, 0);
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, At(2, 10, 0));
    click(At(6, 9, 0));
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, At(6, 9, 0));
    EXPECT_EQ(editModes, QList<int>{3});

    // Delete asks in the language in force (it was Dutch in every language), as the legend
    // names On and Off.
    const auto inLanguage = [&](int language, Answer answer) {
        program.strings.setLanguageOffset(language * settings::LanguageStep);
        prompter.expect(answer);
        Named<QPushButton>(window.get(), "CmdDelete")->click();
        return QStringList{lastMessage()} +
               render::WeekPainter::LegendCaptions(program.names, program.strings).mid(0, 2);
    };
    EXPECT_EQ(inLanguage(3, Answer::No), QStringList({"Ein REL  01 löschen?", "Ein", "Aus"}));
    EXPECT_EQ(inLanguage(1, Answer::No),
              QStringList({"Mag Aan REL  01 verwijderd worden?", "Aan", "Uit"}));
    EXPECT_EQ(inLanguage(0, Answer::Yes), QStringList({"Delete On REL  01?", "On", "Off"}));
    EXPECT_FALSE(reference(1));

    // The table is changed: Receive asks first; Cancel receives nothing, No receives and
    // repaints.
    int received = 0;
    window->onReceive = [&] {
        ++received;
        put(5, Line(Monday.addDays(6), 20, 0, clock::Continue, clock::Once, 0));
    };
    for (const Answer answer : {Answer::Cancel, Answer::No}) {
        prompter.expect(answer);
        window->menus().toolbarButton(2)->trigger();
    }
    EXPECT_TRUE(received == 1 && reference(5));

    // Closing asks to save a changed table. Yes, then the Save As dialog cancelled, keeps the
    // window; so does Cancel. A table without a file goes by the name Save As offers it.
    program.settings.nbtFile = QStringLiteral("/somewhere/house.nbt");
    program.clockTable.TableChanged = true;
    dialogs.answer(std::nullopt);
    for (const Answer answer : {Answer::Yes, Answer::Cancel}) {
        prompter.expect(answer);
        window->close();
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QStringList({prompter.shown.constLast().title, lastMessage()}),
              QStringList({"Quintara", "File house.clk is changed!\n\rSave now?"}));
    EXPECT_TRUE(dialogs.asked.constLast().request.filter.startsWith("Clock files (*.clk) |*.clk|"));
    // Yes with a name saves and closes, writing the settings.
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("house.clk"));
    prompter.expect(Answer::Yes);
    window->close();
    EXPECT_TRUE(!window->isVisible() &&
                QFileInfo(program.clockTable.ClockFileName).size() == clock::ClockFileSize &&
                FileBytes(ini).contains("NBTFile=/somewhere/house.nbt"));
}

TEST_F(MainWindowTest, KeysTheWheelAndShortcutsReachTheWeeksAndCommands)
{
    QApplication::setActiveWindow(window.get());
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 10, 7, clock::Special, clock::Once, 0));
    put(2, Line(Monday.addDays(15), 12, 0, clock::Continue, clock::Once, 0));
    repaint();
    // The present moment is a red line on today's row (Wednesday 10:00), in this week only.
    EXPECT_EQ(window->Pic()->now(), QPointF(At(2, 10, 0)));

    // Tab goes from marker to marker, staying in the week; Enter edits the line.
    pic()->setFocus();
    QTest::keyClick(pic(), Qt::Key_Right);
    QTest::keyClick(pic(), Qt::Key_Tab);
    EXPECT_TRUE(selected() == 2 && pic()->hasFocus());
    QTest::keyClick(pic(), Qt::Key_Return);
    EXPECT_EQ(editModes, QList<int>{3});

    // A notch of the wheel over the week is a week; Page Down/Up too, never before the current
    // week; Home is this week.
    QWheelEvent notch(QPointF(5, 5), pic()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pic(), &notch);
    EXPECT_TRUE(window->FirstShownDay() == Monday.addDays(7) && !window->Pic()->now());
    QTest::keyClick(pic(), Qt::Key_PageDown);
    EXPECT_EQ(referenceRect(2).topLeft(), At(1, 12, 0) - QPoint(5, 25));
    QTest::keyClick(pic(), Qt::Key_Home);
    QTest::keyClick(pic(), Qt::Key_PageUp);
    EXPECT_EQ(window->ScrWeeks()->value(), 0);

    // Editing brings the week of the line into view.
    program.clockTable.SelectedLine = 3;
    window->lines().EditLine();
    EXPECT_EQ(window->ScrWeeks()->value(), 2);

    // Every tab, button and menu has an Alt+letter of its own, and the tabs' letters turn them.
    EXPECT_EQ(AltLetterFaults(*window), QStringList());
    QTabBar *tabs = window->findChild<QTabBar *>(QStringLiteral("ViewTabs"));
    for (const int tab : {1, 2, 0}) {
        const QChar letter = ui::MnemonicOf(tabs->tabText(tab));
        QTest::keyClick(window.get(), Qt::Key(Qt::Key_A + letter.unicode() - u'a'),
                        Qt::AltModifier);
        EXPECT_EQ(tabs->currentIndex(), tab) << qPrintable(AltLetters(*window).join(' '));
    }
    // Find leads to the list's search field from anywhere in the window.
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(tabs->currentIndex() == 1 &&
                QApplication::focusWidget() == Named<QWidget>(window.get(), "TxtSearch"));
}

// The list of all lines and the week choose the same line, and the commands on lines act on
// exactly the rows the user sees highlighted, whatever the week does on the way.
TEST_F(MainWindowTest, TheListAndTheWeekChooseTogetherAndCommandsActOnTheHighlight)
{
    QApplication::setActiveWindow(window.get());
    for (int i = 0; i < 12; ++i)
        put(i, Line(Monday.addDays(i % 7), 6 + i, 0, clock::Continue, clock::Days, 7));
    repaint();
    const ui::LineListView &list = *window->views().list();
    QTableView *rows = list.tableView();
    click(At(2, 8, 0));
    ASSERT_EQ(selected(), 3);
    window->views().show(1);
    EXPECT_EQ(list.selectedLines(), QList<int>{2});
    QList<int> edited;
    window->lines().editLine = [&](int) { return edited.append(selected() - 1), true; };
    rows->setFocus();
    // A row chosen in the list is the line chosen in the week; Shift extends from the row
    // clicked last, though the week followed every click.
    ClickLine(list, 5);
    ClickLine(list, 8, Qt::ShiftModifier);
    EXPECT_EQ(list.selectedLines(), (QList<int>{5, 6, 7, 8}));
    // The current row taken out of the highlight: line 3 alone is edited, then deleted.
    ClickLine(list, 3);
    ClickLine(list, 10, Qt::ControlModifier);
    ClickLine(list, 10, Qt::ControlModifier);
    ASSERT_EQ(list.selectedLines(), QList<int>{3});
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
    repaint();
    window->views().show(2);
    ui::AgendaView *agenda = window->views().agenda();
    QAbstractItemModel *firings = agenda->tableView()->model();
    agenda->setRange(ui::AgendaView::NextFourWeeks);
    EXPECT_GT(firings->rowCount(), 20);
    // Enter in a date field ends the typing there and opens no editor.
    QApplication::setActiveWindow(window.get());
    program.clockTable.SelectedLine = 1;
    int edits = 0;
    window->lines().editLine = [&](int) { return ++edits, false; };
    agenda->setRange(ui::AgendaView::ChosenDates);
    auto *from = Named<QDateEdit>(agenda, "DateFrom");
    from->setFocus();
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_EQ(edits, 0);
    agenda->setRange(ui::AgendaView::NextFourWeeks);
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
    window->history().markSaved();
    auto *undo = Named<QAction>(window.get(), "mmuUndo");
    auto *redo = Named<QAction>(window.get(), "mmuRedo");
    // Every key the README names is there, also where a platform without a desktop theme
    // knows no key for a standard action.
    QList<QKeySequence> bound;
    for (const QAction *action : window->findChildren<QAction *>())
        bound += action->shortcuts();
    for (const char *key :
         {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+Shift+S", "Ctrl+Q", "Ctrl+Z", "Ctrl+Shift+Z",
          "Ctrl+D", "Ctrl+C", "Ctrl+V", "Ctrl+P", "Ctrl+Shift+B", "Del", "Return"})
        EXPECT_TRUE(bound.contains(QKeySequence(QString::fromLatin1(key)))) << key;
    // A key bound twice does nothing at all.
    for (const QKeySequence &key : bound)
        EXPECT_EQ(bound.count(key), 1) << qPrintable(key.toString());

    using Lines = decltype(program.clockTable.Lines);
    const Lines saved = program.clockTable.Lines;
    program.clockTable.SelectedLine = 1;
    window->lines().editLine = [this](int) { return program.clockTable.Lines[0].Level = 17, true; };
    window->lines().EditLine();
    const Lines edited = program.clockTable.Lines;
    // The menu names the step the key would take back or bring again.
    EXPECT_EQ(undo->text(), "&Undo Edit line 0");
    // Undo back to the saved state: unchanged, and the save button grey again.
    undo->trigger();
    EXPECT_TRUE(program.clockTable.Lines == saved && !program.clockTable.TableChanged);
    EXPECT_EQ(QStringList({undo->text(), redo->text()}),
              QStringList({"&Undo", "&Redo Edit line 0"}));
    window->RefreshStatus();
    EXPECT_FALSE(window->menus().toolbarButton(5)->isEnabled());
    redo->trigger();
    EXPECT_TRUE(program.clockTable.Lines == edited && program.clockTable.TableChanged);

    // Open and New are steps too; undoing them brings the previous table back whole: its file
    // name, its central-unit model and line limit.
    const QString path = dir.filePath(QStringLiteral("other.clk"));
    program.clockTable.ClockFileName = QStringLiteral("mine.clk");
    clock::ClockTable other = program.clockTable;
    other.Lines = {};
    other.Lines[3] = Line(Monday, 6, 0, clock::Weekend, clock::Once, 0);
    other.ClockFileName = path;
    other.ModelIndex = 3;
    ASSERT_TRUE(clock::WriteClockFile(other, program.strings).done());
    const auto model = [this] {
        return QList<int>({program.clockTable.ModelIndex, program.clockTable.MaxClockLines,
                           program.project.ModelIndex});
    };
    ASSERT_TRUE(window->files().OpenClockFile(path));
    EXPECT_EQ(model(), QList<int>({3, 50, 3}));
    const Lines opened = program.clockTable.Lines;
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, edited);
    EXPECT_EQ(program.clockTable.ClockFileName, QStringLiteral("mine.clk"));
    EXPECT_EQ(model(), QList<int>({0, 100, 0}));
    EXPECT_EQ(clock::ClockFileImage(program.clockTable)[4], 0); // what Save would write
    redo->trigger();
    window->files().NewTable();
    undo->trigger();
    EXPECT_EQ(program.clockTable.Lines, opened);
}

TEST_F(MainWindowTest, AProjectsLanguageReachesEveryTextOfTheWindow)
{
    // English chosen; the project was stored by someone working in Dutch.
    auto dutch = std::make_unique<project::ProjectModel>();
    project::NewProject(*dutch, 19200, 10000);
    project::SelectModel(*dutch, 1, program.strings);
    program.settings.nbtFile =
        WriteFile(dir.filePath(QStringLiteral("dutch.nbt")), project::WriteProjectFile(*dutch, 60));
    window->files().ReadProjectFromSettings();
    EXPECT_EQ(Named<QMenu>(window.get(), "mmuFile")->title(), program.strings.GetResString(2200));
    // Qt's own buttons and the day names follow.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ja");
    EXPECT_EQ(QLocale().dayName(1), "maandag");

    // German menus name the Enter key in German, where Qt's own translation keeps "Return".
    project::NewProject(*dutch, 19200, 30000);
    project::SelectModel(*dutch, 1, program.strings);
    program.settings.nbtFile = WriteFile(dir.filePath(QStringLiteral("german.nbt")),
                                         project::WriteProjectFile(*dutch, 60));
    window->files().ReadProjectFromSettings();
    EXPECT_EQ(QKeySequence(Qt::Key_Return).toString(QKeySequence::NativeText), "Eingabe");

    // The legend names whole words ("Sensorfunktionen", once cut to "Sensorf"); in a font too
    // large for them in one row it grows to hold their lines.
    auto *legend = Named<QWidget>(window.get(), "Legend");
    const int oneRow = legend->height();
    QFont large = legend->font();
    large.setPixelSize(30);
    legend->setFont(large);
    QApplication::processEvents();
    const auto shown = render::WeekPainter::LayOutLegend(
        render::WeekPainter::LegendCaptions(program.names, program.strings),
        QFontMetricsF(legend->font(), legend), legend->width() - 20);
    EXPECT_EQ(shown.entries.at(5).lines, QStringList{"Sensorfunktionen"});
    EXPECT_TRUE(legend->height() > oneRow && legend->height() >= shown.size.height())
        << legend->height() << " for " << shown.size.height();
}

TEST_F(MainWindowTest, TheWeekScalesWithTheWindowAndOpensWhereItWasLeft)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    // A point of the week drawn 1:1, where the week is drawn at its present size.
    const auto scaled = [this](QPoint p) {
        return QPoint(qRound(p.x() * pic()->width() / 520.0),
                      qRound(p.y() * pic()->height() / 504.0));
    };
    const auto markerPoint = [this] { return referenceRect(0).topLeft() + QPoint(5, 25); };
    // Smaller and larger than the classic form, the marker follows keeping its size, and what
    // lies under the mouse is found and dragged to the right quarter hour.
    const struct {
        QSize size;
        QPoint to;
        QDateTime dropped;
    } sizes[] = {{QSize(760, 470), At(2, 14, 0), QDateTime(Monday.addDays(2), QTime(14, 0))},
                 {QSize(1234, 876), At(3, 18, 0), QDateTime(Monday.addDays(3), QTime(18, 0))}};
    QPoint from = At(1, 8, 0);
    for (const auto &c : sizes) {
        SCOPED_TRACE(c.size.width());
        window->resize(c.size);
        QApplication::processEvents();
        repaint();
        EXPECT_EQ(referenceRect(0).size(), QSize(11, 51));
        EXPECT_LE((markerPoint() - scaled(from)).manhattanLength(), 2);
        Drag(pic(), markerPoint(), {markerPoint() + QPoint(10, 0), scaled(from = c.to)});
        EXPECT_EQ(
            clock::ReferenceDateTime(program.clockTable.Lines[0], quintara::testing::Years2026),
            c.dropped);
    }

    // Its place and size are kept on closing, and come back.
    window->resize(770, 500);
    program.clockTable.TableChanged = false;
    window->close();
    EXPECT_EQ(ui::FrmKlokken(program, dialogs).size(), QSize(770, 500));
}

// --- The sun: the location chosen from the menu, and Retime to the sun ----------------------

TEST_F(MainWindowTest, TheLocationFromTheMenuShadesTheWeekAndPutsTheSunInTheAgenda)
{
    program.settings.nbtFile = dir.filePath(QStringLiteral("house.nbt"));
    EXPECT_TRUE(window->Pic()->nights().empty());

    // A latitude beyond the pole is refused in the dialog, which stays open; a pasted pair
    // fills both fields.
    QString refused;
    run("mmuFileLocation", [&refused](QDialog &dialog) {
        auto *latitude = Named<QLineEdit>(&dialog, "txtLatitude");
        QTest::keyClicks(latitude, "95");
        QTest::keyClicks(Named<QLineEdit>(&dialog, "txtLongitude"), "4.89");
        Named<QDialogButtonBox>(&dialog, "")->button(QDialogButtonBox::Ok)->click();
        refused = dialog.isVisible() ? Named<QLabel>(&dialog, "lblRefusal")->text() : QString();
        latitude->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("52.37,4.89"));
        latitude->paste();
        EXPECT_EQ(
            QStringList({latitude->text(), Named<QLineEdit>(&dialog, "txtLongitude")->text()}),
            QStringList({"52.37", "4.89"}));
        Named<QDialogButtonBox>(&dialog, "")->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(refused.contains("latitude 95")) << refused.toStdString();
    EXPECT_EQ(plan::ReadProjectLocation(program.profile, program.settings.nbtFile), Amsterdam);
    EXPECT_EQ(window->Pic()->nights(), ui::WeekNights(Amsterdam, Monday, zone()));

    // The agenda of this week, without lines: a sunrise and a sunset each day.
    window->views().agenda()->refresh();
    const QAbstractItemModel *agenda = window->views().agenda()->tableView()->model();
    EXPECT_TRUE(agenda->rowCount() == 14 &&
                agenda->index(13, 0).data(ui::AgendaModel::SunRole).toBool());

    // None takes it away again, here and in the settings file.
    run("mmuFileLocation",
        [](QDialog &dialog) { Named<QPushButton>(&dialog, "cmdNone")->click(); });
    EXPECT_EQ(plan::ReadProjectLocation(program.profile, program.settings.nbtFile), std::nullopt);
    EXPECT_TRUE(window->Pic()->nights().empty());
    window->views().agenda()->refresh();
    EXPECT_EQ(agenda->rowCount(), 0);
}

TEST_F(MainWindowTest, RetimeToTheSunIsOneStepOfTheHistoryAndIsRefusedWithoutALocationOrLines)
{
    program.settings.nbtFile = dir.filePath(QStringLiteral("house.nbt"));
    put(0, Line(Monday.addDays(3), 19, 30, clock::Workday, clock::Days, 1));
    put(1, Line(Monday.addDays(4), 6, 0, clock::Weekend, clock::Once, 0));
    window->ScrWeeks_Change();

    // Without a location, and then without a chosen line: told, nothing asked.
    prompter.expect(Answer::Ok);
    run("mmuRetimeSun");
    EXPECT_TRUE(lastMessage().contains("No location")) << lastMessage().toStdString();
    run("mmuFileLocation", [](QDialog &dialog) {
        QTest::keyClicks(Named<QLineEdit>(&dialog, "txtLatitude"), "52.37");
        QTest::keyClicks(Named<QLineEdit>(&dialog, "txtLongitude"), "4.89");
        Named<QDialogButtonBox>(&dialog, "")->button(QDialogButtonBox::Ok)->click();
    });
    window->weekInput().clearSelection();
    prompter.expect(Answer::Ok);
    run("mmuRetimeSun");
    EXPECT_TRUE(lastMessage().contains("Choose the lines")) << lastMessage().toStdString();

    // Line 0 chosen: civil dusk plus a quarter of an hour on today's date.
    window->selectLine(0);
    const auto before = program.clockTable.Lines;
    const int steps = window->history().stack().count();
    QStringList preview;
    run("mmuRetimeSun", [&preview](QDialog &dialog) {
        auto *event = Named<QComboBox>(&dialog, "cboSunEvent");
        event->setCurrentIndex(event->findData(int(plan::SunEvent::CivilDusk)));
        Named<QSpinBox>(&dialog, "spnOffset")->setValue(15);
        auto *list = Named<QListWidget>(&dialog, "lstRetime");
        for (int k = 0; k < list->count(); ++k)
            preview << list->item(k)->text();
        Named<QPushButton>(&dialog, "cmdApplyRetime")->click();
    });
    // What else the line keeps is the retime's to test.
    const QTime dusk =
        plan::NearestMinute(*plan::SunTimes(Amsterdam, Today, zone()).dusk).addSecs(15 * 60).time();
    const clock::ClockLine &retimed = program.clockTable.Lines[0];
    EXPECT_EQ(std::tuple(QTime(retimed.Hour, retimed.Minute), program.clockTable.Lines[1], preview),
              std::tuple(dusk, before[1], QStringList{preview.value(0)}));
    EXPECT_TRUE(preview.value(0).contains(QStringLiteral("19:30 → ") + dusk.toString("HH:mm")))
        << preview.value(0).toStdString();

    // One step, and undone as one.
    EXPECT_EQ(std::tuple(program.clockTable.TableChanged, window->history().stack().count(),
                         window->history().stack().undoText()),
              std::tuple(true, steps + 1, QStringLiteral("Retime to the sun")));
    window->history().stack().undo();
    EXPECT_EQ(program.clockTable.Lines, before);
}

// --- Start-up ------------------------------------------------------------------------------

struct StartUpTest : ProgramTest {
    void writeSettings(const QString &text) { WriteFile(ini, text.toUtf8()); }
    static inline const QString StartDialog = QStringLiteral("FrmSelectClkAct");
};

// A first start asks for the language, then insists on a project file in it.
TEST_F(StartUpTest, InsistsOnAProjectFileThenOffersTheStartChoices)
{
    const ModalAnswer dutch(QStringLiteral("FrmTaal"), QStringLiteral("CmdTaal_1"));
    const QString house =
        WriteFile(dir.filePath(QStringLiteral("house.nbt")), FileBytes(DemoProject()));
    for (int i = 0; i < 3; ++i)
        prompter.expect(Answer::Ok);
    dialogs.answer(std::nullopt); // the first request is cancelled: asked again
    dialogs.answer(house);
    const ModalAnswer startNew(StartDialog, QStringLiteral("CmdNew"));
    const std::unique_ptr<ui::FrmKlokken> window = ui::ClockMain::Main(program, dialogs);
    ASSERT_NE(window, nullptr);
    // Without a clock file to go by, the dialog starts where the user is.
    EXPECT_EQ(QStringList({prompter.shown[0].title, prompter.shown[0].text,
                           dialogs.asked[0].request.initialFolder}),
              QStringList({"Quintara",
                           "U moet nu eerst een NBT Ventora bestand inlezen om met dit "
                           "programma te kunnen werken",
                           ""}));
    // A fresh table: no file yet, offered under the project's name.
    window->RefreshStatus();
    EXPECT_EQ(window->windowTitle(), "Quintara - house.clk[*]");
    EXPECT_FALSE(window->isWindowModified());
    program.clockTable.TableChanged = true;
    window->RefreshStatus();
    EXPECT_TRUE(window->isWindowModified());
    program.clockTable.TableChanged = false;

    // With the project in the settings the start dialog is the first question.
    prompter.shown.clear();
    window->close();
    ui::Program again{prompter, clock, pump, settings::ProfileFile(ini)};
    const ModalAnswer receive(StartDialog, QStringLiteral("CmdLoad"));
    int received = 0;
    const auto second = ui::ClockMain::Main(
        again, dialogs, [&](ui::FrmKlokken &main) { main.onReceive = [&] { ++received; }; });
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(received == 1 && prompter.shown.isEmpty() && again.settings.nbtFile == house);
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
    prompter.expect(Answer::Ok);
    dialogs.answer(project);
    const ModalAnswer start(StartDialog, QStringLiteral("CmdCancel"));
    const auto window = ui::ClockMain::Main(program, dialogs, {}, clockFile);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(
        QStringList({dialogs.asked[0].request.initialFolder, dialogs.asked[0].request.initialName}),
        QStringList({examples, "demo.nbt"}));
    // The request in German, the language chosen; what follows in the language in force once
    // the project (which brings its own) is read.
    EXPECT_TRUE(prompter.shown[0].text.startsWith("Sie müssen zuerst eine NBT-Ventora-Datei"));
    EXPECT_TRUE(lastMessage() == program.strings.GetResString(2141) &&
                program.clockTable.ClockFileName == clockFile && start.seen == 0);
}

// A clock file named on the command line opens in place of the start dialog; one that cannot be
// read is reported by name (a foreign file with the program's words, one the system cannot open as
// every file command describes it) and the start dialog follows, over the fresh table.
TEST_F(StartUpTest, AClockFileFromTheCommandLineOpensInPlaceOfTheStartDialog)
{
    writeSettings(QStringLiteral("[Global]\nLanguage=0\n[Clock]\nNBTFile=%1\n").arg(DemoProject()));
    const QString foreign = dir.filePath(QStringLiteral("foreign.clk"));
    for (const QString &path : {DemoClockFile(), WriteFile(foreign, QByteArray(1308, 'x')),
                                dir.filePath(QStringLiteral("missing.clk"))}) {
        SCOPED_TRACE(path.toStdString());
        ui::Program fresh{prompter, clock, pump, settings::ProfileFile(ini)};
        const bool opens = path == DemoClockFile();
        prompter.shown.clear();
        if (!opens)
            prompter.expect(Answer::Ok);
        const ModalAnswer start(StartDialog, QStringLiteral("CmdCancel"));
        const auto window = ui::ClockMain::Main(fresh, dialogs, {}, path);
        ASSERT_NE(window, nullptr);
        // Opening at start-up is nothing to undo; the week of the demo is full of markers.
        EXPECT_EQ(std::tuple(start.seen, fresh.clockTable.ClockFileName,
                             window->history().stack().canUndo(),
                             window->weekModel().repeatMarkers() > 30, prompter.shown.size()),
                  std::tuple(opens ? 0 : 1, opens ? path : QString(), false, opens,
                             qsizetype(opens ? 0 : 1)));
        const platform::Message told = prompter.shown.value(0);
        // Either way the box names the file.
        EXPECT_TRUE(opens || told.text.contains(QDir::toNativeSeparators(path)));
        EXPECT_TRUE(opens || (path == foreign ? told.text.endsWith(":\nNO QBN Clock file!")
                                              : told.icon == platform::Icon::Critical));
        window->close();
    }
}

} // namespace

namespace {

// What a screen reader is told of the week view.
struct WeekReaderTest : MainWindowTest {
    QAccessibleInterface *week() { return QAccessible::queryAccessibleInterface(pic()); }
};

// The days hold their markers, named by moment, function, level, table and warnings; choosing
// and pressing one does what a click and a double click do; Tab moves the reader's focus too (the
// event that announces it needs a platform's bridge: the accessibility client's test sees it).
TEST_F(WeekReaderTest, TheWeekShowsAScreenReaderItsDaysAndMarkers)
{
    QApplication::setActiveWindow(window.get());
    // Thursday: the relay on at 06:30 and off at the same minute (a conflict), a lamp at 08:00.
    put(0, Line(Monday.addDays(3), 6, 30, clock::Workday, clock::Once, 0));
    put(1, Line(Monday.addDays(3), 8, 0, clock::Continue, clock::Once, 0, 1, 2));
    put(2, Line(Monday.addDays(3), 6, 30, clock::Continue, clock::Once, 0, 1, 1, 0));
    repaint();
    ASSERT_EQ(week()->childCount(), 7);
    QAccessibleInterface *thursday = week()->child(3);
    const QString day = QLocale().toString(Monday.addDays(3), QStringLiteral("dddd "));
    EXPECT_EQ(thursday->text(QAccessible::Name),
              day + QStringLiteral("10/12/2026, ") + program.strings.GetResString(1005).trimmed());
    ASSERT_EQ(thursday->childCount(), 3);
    QAccessibleInterface *early = thursday->child(0);
    const QStringList parts = early->text(QAccessible::Name).split(QStringLiteral(", "));
    ASSERT_GE(parts.size(), 4);
    EXPECT_EQ(std::tuple(parts[0], parts[3], early->parent(), thursday->indexOfChild(early)),
              std::tuple(day + QStringLiteral("10/12/2026 06:30"),
                         program.strings.GetResString(1005).trimmed(), thursday, 0));
    const auto warnings =
        ui::HealthTextsByLine(window->files().healthProblems(), program.clockTable, program.strings,
                              window->files().years());
    ASSERT_FALSE(warnings[0].isEmpty());
    EXPECT_TRUE(early->text(QAccessible::Name)
                    .endsWith(QStringLiteral(", ") + warnings[0].join(QStringLiteral(", "))));
    EXPECT_EQ(early->rect(),
              QRect(pic()->mapToGlobal(At(3, 6, 30) - QPoint(5, 25)), QSize(11, 51)));
    EXPECT_EQ(week()->childAt(early->rect().center().x(), early->rect().center().y()), thursday);

    // Choosing through the reader selects the line; pressing opens it in the editor.
    QAccessibleActionInterface *actions = early->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_TRUE(selected() == 1 && early->state().selected &&
                !thursday->child(1)->state().selected);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(editModes.size(), 1);

    // Tab to the next marker: the reader's focus goes with it.
    pic()->setFocus();
    QTest::keyClick(pic(), Qt::Key_Tab);
    EXPECT_EQ(selected(), 2);
    EXPECT_TRUE(thursday->child(2)->state().focused && !early->state().focused);
    EXPECT_EQ(week()->focusChild(), thursday->child(2));
}

} // namespace
