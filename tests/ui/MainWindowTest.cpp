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

namespace {

// Wednesday 9 December 2026; the current week begins on Monday the 7th.
const QDate Today(2026, 12, 9);
const QDate Monday(2026, 12, 7);

// The tests' main() sees to it that QUINTARA_SOURCE_DIR names the source tree.
QString DemoProject()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.nbt");
}

QString DemoClockFile()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.clk");
}

ClockLine Line(QDate date, int hour, int minute, int table, int unit, int count, int type = 1,
               int number = 1, int level = 255)
{
    ClockLine line;
    clock::SetReferenceDate(line, date);
    line.Hour = static_cast<quint8>(hour);
    line.Minute = static_cast<quint8>(minute);
    line.Table = static_cast<quint8>(table);
    line.RepeatUnit = static_cast<quint8>(unit);
    line.RepeatCount = static_cast<quint8>(count);
    line.FunctionType = static_cast<quint8>(type);
    line.FunctionNumber = static_cast<quint8>(number);
    line.Level = static_cast<quint8>(level);
    return line;
}

// Where an occurrence lies on the week area.
QPoint At(int row, int hour, int minute)
{
    return QPoint(qRound(20 + 20 * hour + minute / 3.0), 40 + 70 * row);
}

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

// A program whose settings live in a fresh folder.
struct ProgramTest : ::testing::Test {
    QTemporaryDir dir;
    quintara::testing::ScriptedPrompter prompter;
    quintara::testing::FixedClock clock{QDateTime(Today, QTime(10, 0))};
    quintara::testing::VirtualPump pump;
    quintara::testing::ScriptedFileDialogs dialogs;
    QString ini = dir.filePath(QStringLiteral("Ventora.ini"));
    ui::Program program{prompter, clock, pump, settings::ProfileFile(ini)};
};

struct MainWindowTest : ProgramTest {
    std::unique_ptr<ui::FrmKlokken> window;

    MainWindowTest()
    {
        project::NewProject(program.project, 19200, 0);
        project::SelectModel(program.project, 0, program.strings);
        for (int day = 0; day < 7; ++day) // Monday to Friday are workdays
            program.project.System.Options[project::SystemOption::FirstWorkday + day] = day < 5;
        clock::ApplyModel(program.clockTable, program.project);
        program.clockTable.ClockFileVersion = 1;
        window = std::make_unique<ui::FrmKlokken>(program, dialogs);
        // At the size it asks for, the week area is drawn 1:1 and the tests' points are its own.
        window->resize(window->sizeHint());
        layOut(*window);
        EXPECT_EQ(window->Pic()->size(), QSize(520, 504));
        window->editLine = [this](int mode) {
            editModes.append(mode);
            return true;
        };
    }
    ~MainWindowTest() override
    {
        window.reset();
        EXPECT_TRUE(prompter.allAnswered());
    }

    void put(int index, const ClockLine &line)
    {
        program.clockTable.Lines[static_cast<std::size_t>(index)] = line;
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
    QString lastMessage() const
    {
        return prompter.shown.isEmpty() ? QString() : prompter.shown.constLast().text;
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
    EXPECT_EQ(window->hitCount(), 2);
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
    EXPECT_TRUE(window->mmuEdit()->isVisible());
    window->mmuEdit()->hide();
    release(At(1, 8, 0), Qt::RightButton);
}

TEST_F(MainWindowTest, HitBoxReachesFiveAcrossAndTwentyFiveUpAndDown)
{
    put(0, Line(Monday.addDays(3), 12, 0, clock::Continue, clock::Once, 0));
    repaint();
    const QPoint centre = At(3, 12, 0);
    const struct {
        QPoint offset;
        bool hit;
    } cases[] = {
        {{5, 0}, true},  {{6, 0}, false},  {{-5, 0}, true},  {{-6, 0}, false},
        {{0, 25}, true}, {{0, 26}, false}, {{0, -25}, true}, {{0, -26}, false},
    };
    for (const auto &c : cases) {
        window->SetSelected(0, 0);
        click(centre + c.offset);
        EXPECT_EQ(program.clockTable.SelectedLine, c.hit ? 1 : 0)
            << c.offset.x() << "," << c.offset.y();
    }
}

TEST_F(MainWindowTest, DraggingMovesOnTheQuarterHourGrid)
{
    put(0, Line(Monday.addDays(2), 10, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday, 7, 0, clock::Workday, clock::Days, 1));
    repaint();
    ClockLine &once = program.clockTable.Lines[0];

    // Past the right edge of the day gives 23:59; a row further down moves the date.
    press(At(2, 10, 0));
    QTest::mouseMove(pic(), QPoint(300, 252));
    EXPECT_EQ(once.Hour, 14);
    EXPECT_EQ(once.Minute, 0);
    EXPECT_EQ(once.Day, 10);
    QTest::mouseMove(pic(), QPoint(537, 252));
    release(QPoint(537, 252));
    EXPECT_EQ(once.Hour, 23);
    EXPECT_EQ(once.Minute, 59);
    EXPECT_EQ(clock::ReferenceDate(once, quintara::testing::Years2026), Monday.addDays(3));
    EXPECT_TRUE(program.clockTable.TableChanged);
    EXPECT_EQ(referenceRect(0).topLeft(), At(3, 23, 59) - QPoint(5, 25));

    // Past the left edge gives 00:00. Outside the drag area the pointer does not count.
    press(At(3, 23, 59));
    QTest::mouseMove(pic(), QPoint(2, 250));
    QTest::mouseMove(pic(), QPoint(200, 500));
    release(QPoint(200, 500));
    EXPECT_EQ(once.Hour, 0);
    EXPECT_EQ(once.Minute, 0);

    // A workday line keeps its date and table; only its time follows the pointer.
    const ClockLine before = program.clockTable.Lines[1];
    press(At(1, 7, 0));
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    QTest::mouseMove(pic(), At(3, 9, 15) + QPoint(1, 2));
    release(At(3, 9, 15));
    const ClockLine &workday = program.clockTable.Lines[1];
    EXPECT_EQ(workday.Hour, 9);
    EXPECT_EQ(workday.Minute, 15);
    EXPECT_EQ(workday.Day, before.Day);
    EXPECT_EQ(workday.Month, before.Month);
    EXPECT_EQ(workday.Table, clock::Workday);
    EXPECT_EQ(shownMarkers(1), 5); // Monday to Friday

    // A daily line dragged to Thursday keeps its reference before the current Monday.
    put(2, Line(Monday.addDays(-1), 6, 0, clock::Special, clock::Days, 1));
    repaint();
    press(At(4, 6, 0));
    QTest::mouseMove(pic(), At(3, 18, 30));
    release(At(3, 18, 30));
    const ClockLine &daily = program.clockTable.Lines[2];
    EXPECT_EQ(clock::ReferenceDate(daily, quintara::testing::Years2026), Monday);
    EXPECT_EQ(daily.Hour, 18);
    EXPECT_EQ(daily.Minute, 30);
    EXPECT_EQ(shownMarkers(2), 7);
}

TEST_F(MainWindowTest, FilterButtonsHideMarkersAndClicksFindOnlyWhatIsShown)
{
    put(0, Line(Monday, 7, 0, clock::Workday, clock::Days, 1));
    put(1, Line(Monday.addDays(1), 7, 0, clock::Continue, clock::Once, 0));
    repaint();
    ASSERT_EQ(shownMarkers(0), 5);

    QAction *work = window->toolbarButton(9);
    QToolBar *toolbar = window->findChild<QToolBar *>(QStringLiteral("Tlb"));
    QTest::mouseClick(toolbar->widgetForAction(work), Qt::LeftButton);
    EXPECT_FALSE(work->isChecked());
    EXPECT_EQ(shownMarkers(0), 0);
    EXPECT_EQ(shownMarkers(1), 1);

    // Both lines lie under Tuesday 07:00, but only the one on show can be picked up.
    click(At(1, 7, 0));
    EXPECT_EQ(window->hitCount(), 1);
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
    EXPECT_EQ(window->hitCount(), 2);
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
    EXPECT_EQ(window->hitCount(), 2);
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

// A new table has no file until the user names one, whatever folder the last dialog left
// current; a save over an existing file that is not the table's own asks first, No by default.
TEST_F(MainWindowTest, ANewTableHasNoFileAndSavesAskBeforeReplacingAnotherFile)
{
    const QString launched = QDir::currentPath();
    const QString folder = dir.filePath(QStringLiteral("projects.v2"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString house = folder + QStringLiteral("/house.nbt");
    ASSERT_TRUE(QFile::copy(DemoProject(), house));
    // The schedule that lies beside the project.
    const QString schedule = folder + QStringLiteral("/house.clk");
    clock::ClockTable existing;
    existing.ClockFileVersion = 1;
    existing.ClockFileName = schedule;
    for (int i = 0; i < 39; ++i)
        existing.Lines[std::size_t(i)] = Line(Monday, 6, i, clock::Continue, clock::Days, 1);
    ASSERT_TRUE(clock::WriteClockFile(existing, program.strings).done());
    const auto contents = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray scheduleBytes = contents(schedule);

    dialogs.answer(house);
    window->findChild<QAction *>(QStringLiteral("mmuFileOpenNBT"))->trigger();
    EXPECT_EQ(program.settings.nbtFile, house);
    EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());
    put(0, Line(Monday, 8, 0, clock::Continue, clock::Days, 1));
    program.clockTable.TableChanged = true;
    prompter.expect(Answer::No);
    window->toolbarButton(1)->trigger(); // New
    EXPECT_TRUE(program.clockTable.ClockFileName.isEmpty());
    EXPECT_EQ(program.clockTable.ClockFileVersion, 1);
    EXPECT_FALSE(program.clockTable.Lines[0].inUse());
    // The title and the exports name it after the project all the same.
    window->RefreshStatus();
    EXPECT_EQ(window->windowTitle(), "Quintara - house.clk");
    EXPECT_EQ(named<QLabel>(QStringLiteral("LblNBT_1"))->text(), "house.nbt");
    dialogs.answer(std::nullopt);
    window->ExportPdf();
    EXPECT_EQ(dialogs.asked.constLast().request.initialName, "house.pdf");

    // Save goes through Save As, which offers the project's name; the schedule there is not
    // this table's, so replacing it is asked, and No keeps it.
    put(0, Line(Monday, 8, 0, clock::Continue, clock::Days, 1));
    program.clockTable.TableChanged = true;
    dialogs.answer(schedule);
    prompter.expect(Answer::No);
    window->RefreshStatus();
    window->toolbarButton(5)->trigger();
    EXPECT_TRUE(dialogs.asked.constLast().save);
    EXPECT_EQ(dialogs.asked.constLast().request.initialName, "house.clk");
    EXPECT_EQ(lastMessage(), QDir::toNativeSeparators(schedule) + " already exists. Replace it?");
    EXPECT_EQ(prompter.shown.constLast().defaultButton, Answer::No);
    EXPECT_EQ(contents(schedule), scheduleBytes);
    EXPECT_TRUE(program.clockTable.ClockFileName.isEmpty());
    EXPECT_TRUE(program.clockTable.TableChanged);

    // A file of its own is written without a question, under Save and Save As alike.
    const QString mine = folder + QStringLiteral("/mine.clk");
    dialogs.answer(mine);
    window->Save();
    EXPECT_EQ(program.clockTable.ClockFileName, mine);
    EXPECT_FALSE(program.clockTable.TableChanged);
    program.clockTable.TableChanged = true;
    window->Save();
    dialogs.answer(mine);
    window->SaveAs();
    EXPECT_FALSE(program.clockTable.TableChanged);

    // Save As over another file asks in the language in force; Yes replaces it.
    program.strings.setLanguageOffset(settings::LanguageStep);
    dialogs.answer(schedule);
    prompter.expect(Answer::Yes);
    window->SaveAs();
    EXPECT_EQ(lastMessage(), QDir::toNativeSeparators(schedule) + " bestaat al. Vervangen?");
    EXPECT_EQ(contents(schedule), contents(mine));
    EXPECT_EQ(program.clockTable.ClockFileName, schedule);

    // A project path with backslashes and without extension.
    EXPECT_EQ(ui::ClockFileNameFor(QStringLiteral("C:\\Data\\villa.v1\\house.nbt")), "house.clk");
    EXPECT_EQ(ui::ClockFileNameFor(QStringLiteral("/data/house")), "house.clk");
    QDir::setCurrent(launched);
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
    EXPECT_TRUE(window->toolbarButton(5)->isEnabled());

    // The menu adds to the table it names; a double click edits the selected line.
    window->findChild<QAction *>(QStringLiteral("mmuNieuw_4"))->trigger();
    EXPECT_EQ(program.clockTable.Lines[1].Table, clock::Special);
    editModes.clear();
    window->SetSelected(0, 0);
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, At(2, 10, 0));
    EXPECT_TRUE(editModes.isEmpty());                                  // nothing selected
    const QPoint special = At(6, program.clockTable.Lines[1].Hour, 0); // Sunday: no workday
    click(special);
    QTest::mouseDClick(pic(), Qt::LeftButton, {}, special);
    EXPECT_EQ(editModes, QList<int>{3});

    // Save writes the file, Open reads it back.
    const QString path = dir.filePath(QStringLiteral("week.clk"));
    program.clockTable.ClockFileName.clear();
    dialogs.answer(path);
    window->RefreshStatus();
    window->toolbarButton(5)->trigger();
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_EQ(QFileInfo(path).size(), clock::ClockFileSize);
    const auto saved = program.clockTable.Lines;
    program.clockTable.Lines = {};
    dialogs.answer(path);
    window->toolbarButton(4)->trigger();
    EXPECT_EQ(program.clockTable.Lines, saved);
    EXPECT_EQ(program.clockTable.ClockFileName, path);

    // Delete asks in Dutch, No being the default.
    click(special);
    prompter.expect(Answer::Yes);
    named<QPushButton>(QStringLiteral("CmdDelete"))->click();
    EXPECT_EQ(lastMessage(), "Mag On REL  01 verwijderd worden?");
    EXPECT_EQ(prompter.shown.constLast().defaultButton, Answer::No);
    EXPECT_FALSE(program.clockTable.Lines[1].inUse());
    EXPECT_EQ(program.clockTable.SelectedLine, 0);
    EXPECT_EQ(shownMarkers(1), 0);

    // A file the system refuses: its description, the critical icon, the error title.
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("no/such/folder/x.clk"));
    program.clockTable.TableChanged = true;
    prompter.expect(Answer::Ok);
    window->Save();
    EXPECT_EQ(prompter.shown.constLast().icon, platform::Icon::Critical);
    EXPECT_EQ(prompter.shown.constLast().title, "KALVENOR Domotic systems");
    EXPECT_TRUE(lastMessage().startsWith(
        QDir::toNativeSeparators(program.clockTable.ClockFileName))); // the file is named
    EXPECT_TRUE(program.clockTable.TableChanged);

    // About names the version; Receive hands over and repaints.
    prompter.expect(Answer::Ok);
    window->About();
    EXPECT_TRUE(lastMessage().startsWith("KALVENOR Domotic Systems \nQuintara version "));
    EXPECT_EQ(prompter.shown.constLast().title, "Info");
    int received = 0;
    window->onReceive = [&] {
        ++received;
        put(5, Line(Monday.addDays(6), 20, 0, clock::Continue, clock::Once, 0));
    };
    // The table is changed: Receive asks first, as Open does; Cancel receives nothing.
    prompter.expect(Answer::Cancel);
    window->toolbarButton(2)->trigger();
    EXPECT_EQ(received, 0);
    EXPECT_TRUE(lastMessage().endsWith("Save now?"));
    prompter.expect(Answer::No);
    window->toolbarButton(2)->trigger();
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
    window->EditLine();
    EXPECT_EQ(window->ScrWeeks()->value(), 2);
}

// --- Keeping the user's work ------------------------------------------------------------------

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST_F(MainWindowTest, RefusedFilesNeverBecomeTheClockFileOrTheProject)
{
    program.settings.nbtFile = DemoProject();
    window->ReadProjectFromSettings();
    const QString demoRelay = program.project.RelayName(1);
    put(0, Line(Monday, 7, 0, clock::Continue, clock::Days, 1));
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("mine.clk"));
    repaint();
    const auto lines = program.clockTable.Lines;

    // A project file opened under "All files", a damaged clock file and a FIFO: each is refused
    // with its message, and neither the table nor its file name changes.
    const QString foreign =
        WriteFile(dir.filePath(QStringLiteral("house.nbt")), FileBytes(DemoProject()));
    QByteArray damagedImage = clock::ClockFileImage(program.clockTable);
    damagedImage.chop(3);
    const QString damaged = WriteFile(dir.filePath(QStringLiteral("cut.clk")), damagedImage);
    const QString fifo = dir.filePath(QStringLiteral("pipe.clk"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        QString message;
    } refused[] = {
        {foreign, "NO QBN Clock file!"},
        {damaged, "Read error in CLOCK File"},
        {fifo, fifo + "\nThis is not a regular file."},
    };
    for (const auto &c : refused) {
        dialogs.answer(c.path);
        prompter.expect(Answer::Ok);
        window->OpenClockFile();
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(program.clockTable.ClockFileName, dir.filePath(QStringLiteral("mine.clk")));
        EXPECT_EQ(program.clockTable.Lines, lines);
        EXPECT_EQ(program.project.RelayName(1), demoRelay);
    }
    // Saving now writes the table's own file and leaves the foreign one alone.
    window->Save();
    EXPECT_EQ(FileBytes(foreign), FileBytes(DemoProject()));
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("mine.clk"))).size(), clock::ClockFileSize);

    // A file with other names is not parted from them: Save refuses and says why, as the
    // command line does.
    const QString mine = dir.filePath(QStringLiteral("mine.clk"));
    const QString alias = dir.filePath(QStringLiteral("alias.clk"));
    ASSERT_EQ(::link(QFile::encodeName(mine).constData(), QFile::encodeName(alias).constData()), 0);
    const QByteArray saved = FileBytes(mine);
    prompter.expect(Answer::Ok);
    window->Save();
    EXPECT_EQ(lastMessage(), mine + "\nThe file has other hard links: replacing it would part it "
                                    "from them. Save it under another name.");
    EXPECT_EQ(FileBytes(alias), saved);
    EXPECT_EQ(FileBytes(mine), saved);
    ASSERT_EQ(::unlink(QFile::encodeName(alias).constData()), 0);

    // A project file that can't be read leaves the project in force, and its name.
    dialogs.answer(WriteFile(dir.filePath(QStringLiteral("bad.nbt")), "nonsense"));
    prompter.expect(Answer::Ok);
    window->ReadProject();
    EXPECT_EQ(prompter.shown.constLast().icon, platform::Icon::Critical);
    EXPECT_EQ(program.settings.nbtFile, DemoProject());
    EXPECT_EQ(program.project.RelayName(1), demoRelay);
    EXPECT_EQ(named<QLabel>(QStringLiteral("LblNBT_1"))->text(), "demo.nbt");
    EXPECT_EQ(program.clockTable.ClockFileName, dir.filePath(QStringLiteral("mine.clk")));
    EXPECT_GT(program.clockTable.MaxClockLines, 0);
}

// The text layer of a PDF, as a reader would copy it.
QString PdfText(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QStringLiteral("(pdftotext is missing: scripts/deps installs poppler-utils)");
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(20000);
    // Ligatures ("fi") come back as the letters they join.
    return QString::fromUtf8(process.readAllStandardOutput())
        .normalized(QString::NormalizationForm_KC);
}

TEST_F(MainWindowTest, ExportPdfWritesTheWeekWithItsHeadWholeOrNotAtAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    program.settings.nbtFile = QStringLiteral("/somewhere/house.nbt");
    program.clockTable.ClockFileName = dir.filePath(QStringLiteral("week.clk"));
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    repaint();

    const QString path = dir.filePath(QStringLiteral("hand-over"));
    dialogs.answer(path);
    window->ExportPdf();
    QFile pdf(path + QStringLiteral(".pdf")); // the extension is added
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    const QString text = PdfText(pdf.fileName());
    // The week on the first page, the list of all lines on the second.
    for (const char *expected :
         {"Project file: house.nbt", "Clock file: week.clk", "Page 1", "Monday:", "08-12-2026",
          "12:00", "Page 2", "All clock lines", "08/12/2026"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;

    // A folder that is not there: the message names it, and no file appears.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
    prompter.expect(Answer::Ok);
    EXPECT_FALSE(window->ExportPdf(nowhere));
    EXPECT_TRUE(lastMessage().contains(nowhere));
    EXPECT_FALSE(QFile::exists(nowhere));
}

// Before sending, the health check says what will not work as intended, and the user chooses.
TEST_F(MainWindowTest, TransmitSummarisesProblemsFirstAndOnlyWhenThereAreAny)
{
    int sent = 0;
    window->onTransmit = [&sent] { ++sent; };
    put(0, Line(Monday.addDays(3), 8, 0, clock::Continue, clock::Days, 1));
    repaint();
    window->Transmit();
    EXPECT_EQ(sent, 1);
    EXPECT_TRUE(prompter.shown.isEmpty());

    // A one-time line on Monday morning lies before now (Wednesday 10:00).
    put(1, Line(Monday, 8, 0, clock::Special, clock::Once, 0));
    prompter.expect(Answer::Cancel);
    window->Transmit();
    EXPECT_EQ(sent, 1);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(lastMessage().startsWith("1 lines will not work as intended:\nLine 1 fires once"))
        << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().endsWith("Send the table all the same?"));
    EXPECT_EQ(prompter.shown.constLast().buttons, platform::Buttons::OkCancel);
    prompter.expect(Answer::Ok);
    window->Transmit();
    EXPECT_EQ(sent, 2);
}

// The list of all lines and the week choose the same line; duplicate, copy, paste and delete of
// several lines are one step each, all or nothing.
TEST_F(MainWindowTest, TheListFollowsTheWeekAndLinesGoAcrossTables)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    repaint();
    window->history().markSaved();
    ui::LineListView *list = window->lineList();
    QTableView *rows = list->tableView();
    window->showView(1);
    ASSERT_EQ(rows->model()->rowCount(), 2);

    // A row chosen in the list is the line chosen in the week, on the day it fires next.
    rows->selectRow(list->filter()->rowOfLine(1));
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_EQ(window->hitCount(), 1);
    // A marker clicked in the week is the row chosen in the list.
    window->showView(0);
    click(At(1, 8, 0));
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    EXPECT_EQ(list->selectedLines(), QList<int>{0});
    // Sorted by time, line 1 (12:00) comes after line 0 (08:00) and before it when reversed.
    rows->sortByColumn(ui::ClockLineListModel::TimeColumn, Qt::DescendingOrder);
    EXPECT_EQ(list->filter()->lineAt(0), 1);

    // Both lines chosen in the list: duplicated into the lowest free lines, byte for byte
    // but for the chain bytes, one step back and forth.
    window->showView(1);
    rows->selectAll();
    ASSERT_EQ(window->chosenLines(), (QList<int>{0, 1}));
    const auto before = program.clockTable.Lines;
    window->DuplicateLines();
    for (int k = 0; k < 2; ++k) {
        const auto copy = program.clockTable.Lines[std::size_t(2 + k)].toBytes();
        const auto original = before[std::size_t(k)].toBytes();
        EXPECT_TRUE(std::equal(copy.begin(), copy.begin() + 11, original.begin())) << k;
    }
    EXPECT_TRUE(program.clockTable.TableChanged);
    window->history().stack().undo();
    EXPECT_EQ(program.clockTable.Lines, before);
    EXPECT_FALSE(program.clockTable.TableChanged);

    // Copied, then pasted into a new table: the same lines again.
    rows->selectAll();
    window->CopyLines();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QLatin1String("12:00")));
    window->NewTable();
    EXPECT_FALSE(program.clockTable.Lines[0].inUse());
    window->PasteLines();
    EXPECT_EQ(program.clockTable.Lines[0].toBytes(), before[0].toBytes());
    EXPECT_EQ(program.clockTable.Lines[1].toBytes(), before[1].toBytes());
    const auto pasted = program.clockTable.Lines;
    window->history().stack().undo();
    EXPECT_FALSE(program.clockTable.Lines[0].inUse());
    window->history().stack().redo();
    EXPECT_EQ(program.clockTable.Lines, pasted);

    // A paste that does not fit pastes nothing and says how many lines are free.
    for (int i = 2; i < clock::ClockLineCount - 1; ++i)
        put(i, Line(Monday, 9, 0, clock::Continue, clock::Days, 1));
    const auto full = program.clockTable.Lines;
    prompter.expect(Answer::Ok);
    window->PasteLines();
    EXPECT_EQ(program.clockTable.Lines, full);
    EXPECT_EQ(lastMessage(), "Not enough free lines: 2 to paste, 1 free. Nothing was pasted.");

    // Several lines deleted after one question, as one step.
    prompter.expect(Answer::Yes);
    window->DeleteLines({0, 1});
    EXPECT_EQ(lastMessage(), "Delete the 2 chosen lines?");
    EXPECT_FALSE(program.clockTable.Lines[0].inUse());
    EXPECT_FALSE(program.clockTable.Lines[1].inUse());
    window->history().stack().undo();
    EXPECT_EQ(program.clockTable.Lines, full);
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
    window->showView(1);
    ui::LineListView *list = window->lineList();
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
    window->editLine = [&](int) {
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
    window->DuplicateLines();
    EXPECT_EQ(program.clockTable.Lines[12].Hour, 9);
    EXPECT_FALSE(program.clockTable.Lines[13].inUse());
    window->showView(1);
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
    window->showView(2);
    ui::AgendaView *agenda = window->agenda();
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

// Compare with another clock file shows the lines that differ, field by field, and changes
// nothing; Export CSV writes the lines for a spreadsheet.
TEST_F(MainWindowTest, CompareWithAFileAndExportCsvLeaveTheTableAsItIs)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Days, 1));
    put(1, Line(Monday.addDays(3), 12, 0, clock::Special, clock::Once, 0, 2, 3, 127));
    repaint();
    clock::ClockTable other = program.clockTable;
    other.Lines[1].Hour = 13;
    other.Lines[5] = Line(Monday, 6, 0, clock::Weekend, clock::Weeks, 1);
    other.ClockFileName = dir.filePath(QStringLiteral("other.clk"));
    ASSERT_TRUE(clock::WriteClockFile(other, program.strings).done());
    const auto mine = program.clockTable.Lines;

    std::optional<clock::TableDiff> shown;
    window->compareDialog = [&](const clock::TableDiff &diff, const clock::ClockTable &,
                                const QString &name) {
        shown = diff;
        EXPECT_EQ(name, QStringLiteral("other.clk"));
    };
    dialogs.answer(other.ClockFileName);
    window->CompareWithFile();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->lines.size(), 2);
    EXPECT_EQ(shown->lines[0].line, 1);
    EXPECT_EQ(shown->lines[0].fields.size(), 1);
    EXPECT_EQ(shown->lines[1].kind, clock::LineDifference::Kind::OnlyInB);
    EXPECT_EQ(program.clockTable.Lines, mine);
    EXPECT_NE(program.clockTable.ClockFileName, other.ClockFileName);

    // The dialog: a row per line, the differing field below it with both values.
    ui::CompareDialog compare(
        *shown, program.clockTable, other, QStringLiteral("other.clk"),
        ui::LineDescriber(ui::FunctionPresenter(program.project, program.names, program.strings,
                                                ui::ValueFormatter(program.strings)),
                          program.names, program.strings, program.clock));
    ASSERT_EQ(compare.tree()->topLevelItemCount(), 2);
    EXPECT_EQ(compare.tree()->topLevelItem(0)->child(0)->text(0), QStringLiteral("Hour"));
    EXPECT_EQ(compare.tree()->topLevelItem(0)->child(0)->text(1), QStringLiteral("12"));
    EXPECT_EQ(compare.tree()->topLevelItem(0)->child(0)->text(2), QStringLiteral("13"));
    EXPECT_EQ(compare.tree()->topLevelItem(1)->text(1), QStringLiteral("free"));

    // A damaged file is refused with the program's message and nothing to show.
    const QString damaged = dir.filePath(QStringLiteral("damaged.clk"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a clock file");
    file.close();
    shown.reset();
    prompter.answerAllWithDefault();
    EXPECT_FALSE(window->CompareWithFile(damaged));
    EXPECT_FALSE(shown);

    const QString csv = dir.filePath(QStringLiteral("lines.csv"));
    ASSERT_TRUE(window->ExportCsv(csv));
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = written.readAll().split('\n');
    EXPECT_TRUE(records[0].startsWith("\xEF\xBB\xBFindex,minute,hour,day,month,year,table,"));
    EXPECT_TRUE(records[0].endsWith("function,levelText\r"));
    EXPECT_TRUE(records[2].startsWith("1,0,12,10,12,26,4,0,0,2,3,127,"));
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
    EXPECT_FALSE(window->toolbarButton(5)->isEnabled());
    redo->trigger();
    EXPECT_TRUE(program.clockTable.TableChanged);

    click(At(2, 11, 0));
    ASSERT_EQ(program.clockTable.SelectedLine, 1);
    stepsBackAndForth("keyboard move",
                      [&] { QTest::keyClick(pic(), Qt::Key_Right, Qt::ShiftModifier); });
    EXPECT_EQ(program.clockTable.SelectedLine, 1); // the line lives on: still selected
    stepsBackAndForth("edit", [&] {
        window->editLine = [this](int) {
            program.clockTable.Lines[0].Level = 17;
            return true;
        };
        window->EditLine();
    });
    stepsBackAndForth("add", [&] {
        window->editLine = [](int) { return true; };
        window->AddLine(clock::Special);
    });
    // Undoing the add dropped its selection; the added line is selected again to go.
    program.clockTable.SelectedLine = 2;
    stepsBackAndForth("delete", [&] {
        prompter.expect(Answer::Yes);
        window->DeleteLine();
    });
    stepsBackAndForth("receive", [&] {
        window->onReceive = [this] { program.clockTable.Lines[5] = program.clockTable.Lines[0]; };
        prompter.expect(Answer::No); // the table is changed: the save question comes first
        window->Receive();
    });
    EXPECT_EQ(program.clockTable.SelectedLine, 0);

    // Sending frees a one-time line of the past: a change like any other, one step.
    window->history().markSaved();
    const Lines unsent = program.clockTable.Lines;
    window->onTransmit = [this] { program.clockTable.Lines[5].FunctionType = 0; };
    window->Transmit();
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
    ASSERT_TRUE(window->OpenClockFile(path));
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
    window->NewTable();
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
    window->editLine = [](int) { return false; };
    window->EditLine();
    EXPECT_FALSE(program.clockTable.TableChanged);
    window->editLine = [](int) { return true; };
    window->EditLine();
    EXPECT_FALSE(program.clockTable.TableChanged);
    window->editLine = [this](int) {
        program.clockTable.Lines[0].Hour = 9;
        return true;
    };
    window->EditLine();
    EXPECT_TRUE(program.clockTable.TableChanged);
    window->history().markSaved();

    // Add, then Cancel: the free line gets its bytes back and nothing counts as changed.
    const auto lines = program.clockTable.Lines;
    window->editLine = [this](int) {
        program.clockTable.Lines[1].FunctionType = 0; // the editor frees a cancelled new line
        return false;
    };
    named<QPushButton>(QStringLiteral("CmdAdd"))->click();
    EXPECT_EQ(program.clockTable.Lines, lines);
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_EQ(program.clockTable.SelectedLine, 0);

    // Receive replaces the table: no selection or panel of a line that is gone stays behind.
    click(At(1, 9, 0));
    ASSERT_EQ(program.clockTable.SelectedLine, 1);
    window->onReceive = [this] { clock::ClearClockTable(program.clockTable); };
    window->Receive();
    EXPECT_EQ(program.clockTable.SelectedLine, 0);
    EXPECT_EQ(window->hitCount(), 0);
    EXPECT_FALSE(named<QWidget>(QStringLiteral("PicFnc_0"))->isVisibleTo(window.get()));
    int edits = 0;
    window->editLine = [&](int) { return ++edits > 0; };
    window->EditLine();
    EXPECT_EQ(edits, 0);

    // New answered No drops the changes: the empty table is not "changed".
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    program.clockTable.TableChanged = true;
    prompter.expect(Answer::No);
    window->NewTable();
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
    window->showView(1);
    EXPECT_EQ(window->lineList()->selectedLines(), QList<int>{0});
    QTest::keyClick(tabs, Qt::Key_Right);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_EQ(window->lineList()->selectedLines(), QList<int>{1});
}

TEST_F(MainWindowTest, ATremorOnAClickIsNoMove)
{
    put(0, Line(Monday.addDays(2), 10, 7, clock::Continue, clock::Once, 0));
    repaint();
    const ClockLine before = program.clockTable.Lines[0];
    const QPoint at = At(2, 10, 7);
    press(at);
    QTest::mouseMove(pic(), at + QPoint(1, 1));
    release(at + QPoint(1, 1));
    EXPECT_EQ(program.clockTable.Lines[0], before);
    EXPECT_FALSE(program.clockTable.TableChanged);
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
}

TEST_F(MainWindowTest, FileDialogsLeaveTheCurrentFolderWhereTheyEnded)
{
    const QString launched = QDir::currentPath();
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sub")));
    const QString sub = dir.filePath(QStringLiteral("sub"));
    put(0, Line(Monday, 7, 0, clock::Continue, clock::Days, 1));
    program.clockTable.TableChanged = true;

    // Save As without an extension writes "week1.clk", where the open dialog's filter finds it.
    dialogs.answer(sub + QStringLiteral("/week1"));
    window->SaveAs();
    EXPECT_EQ(program.clockTable.ClockFileName, sub + QStringLiteral("/week1.clk"));
    EXPECT_EQ(QFileInfo(sub + QStringLiteral("/week1.clk")).size(), clock::ClockFileSize);
    EXPECT_FALSE(QFile::exists(sub + QStringLiteral("/week1")));
    EXPECT_FALSE(program.clockTable.TableChanged);
    // That folder is the current one now, and the settings keep it as their Path.
    EXPECT_EQ(QDir::currentPath(), QDir(sub).canonicalPath());
    settings::WriteSettings(program.profile, program.settings);
    EXPECT_EQ(QDir(program.profile.readString("Global", "Path", "", 499)).canonicalPath(),
              QDir(sub).canonicalPath());

    // A folder that does not exist is said, naming it; nothing is written or renamed.
    program.clockTable.TableChanged = true;
    dialogs.answer(dir.filePath(QStringLiteral("gone/week2.clk")));
    prompter.expect(Answer::Ok);
    window->SaveAs();
    EXPECT_EQ(lastMessage(), QDir::toNativeSeparators(dir.filePath(QStringLiteral("gone"))) +
                                 "\nThe folder does not exist.");
    EXPECT_EQ(program.clockTable.ClockFileName, sub + QStringLiteral("/week1.clk"));
    EXPECT_TRUE(program.clockTable.TableChanged);
    QDir::setCurrent(launched);
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
    window->ReadProjectFromSettings();

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

TEST_F(MainWindowTest, TheKeyboardSelectsMovesAndEditsLines)
{
    put(0, Line(Monday.addDays(1), 8, 0, clock::Continue, clock::Once, 0));
    put(1, Line(Monday.addDays(1), 10, 7, clock::Special, clock::Once, 0));
    put(2, Line(Monday.addDays(3), 9, 0, clock::Simulation, clock::Once, 0));
    repaint();
    window->show();
    QApplication::setActiveWindow(window.get());
    pic()->setFocus();

    // Right and Tab go through the markers in reading order, Left and Backtab back.
    QTest::keyClick(pic(), Qt::Key_Right);
    EXPECT_EQ(program.clockTable.SelectedLine, 1);
    QTest::keyClick(pic(), Qt::Key_Tab);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);
    EXPECT_TRUE(pic()->hasFocus()); // Tab stays in the week
    QTest::keyClick(pic(), Qt::Key_Down);
    EXPECT_EQ(program.clockTable.SelectedLine, 3); // the next row down that has a marker
    QTest::keyClick(pic(), Qt::Key_Up);
    EXPECT_EQ(program.clockTable.SelectedLine, 1); // the nearest in that row
    QTest::keyClick(pic(), Qt::Key_Right);
    EXPECT_EQ(program.clockTable.SelectedLine, 2);

    // Shift+arrows move the selected line as a drag would: a quarter hour, or a day.
    QTest::keyClick(pic(), Qt::Key_Left, Qt::ShiftModifier);
    const ClockLine &moved = program.clockTable.Lines[1];
    EXPECT_EQ(moved.Hour, 10);
    EXPECT_EQ(moved.Minute, 0);
    QTest::keyClick(pic(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(pic(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(moved.Minute, 30);
    QTest::keyClick(pic(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(clock::ReferenceDate(moved, quintara::testing::Years2026), Monday.addDays(2));
    EXPECT_TRUE(program.clockTable.TableChanged);
    EXPECT_EQ(program.clockTable.SelectedLine, 2); // still selected, in its new place
    EXPECT_FALSE(!reference(1));
    EXPECT_EQ(referenceRect(1).topLeft(), At(2, 10, 30) - QPoint(5, 25));

    // Enter edits it.
    QTest::keyClick(pic(), Qt::Key_Return);
    EXPECT_EQ(editModes, QList<int>{3});

    // After a drag the keys go on from the day the line was dropped on.
    press(At(2, 10, 30));
    QTest::mouseMove(pic(), At(2, 11, 0));
    QTest::mouseMove(pic(), At(4, 12, 0));
    release(At(4, 12, 0));
    ASSERT_EQ(clock::ReferenceDate(moved, quintara::testing::Years2026), Monday.addDays(4));
    QTest::keyClick(pic(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(clock::ReferenceDate(moved, quintara::testing::Years2026), Monday.addDays(4));
    EXPECT_EQ(moved.Hour, 12);
    EXPECT_EQ(moved.Minute, 15);
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
        window->SetSelected(0, 0);
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
            window->SetSelected(0, 0);
            click(inside);
            EXPECT_EQ(program.clockTable.SelectedLine, 1) << size.width();
        }
        for (const QPoint beside :
             {box.topLeft() - QPoint(1, 0), box.topLeft() - QPoint(0, 1),
              box.bottomRight() + QPoint(1, 0), box.bottomRight() + QPoint(0, 1)}) {
            window->SetSelected(0, 0);
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
    ASSERT_EQ(window->hitCount(), 2);

    EXPECT_TRUE(window->grab().save(QDir(folder).filePath(QStringLiteral("main-window.png"))));
    window->close();
}

} // namespace
