#include "ui/FrmClkEdit.h"
#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/VirtualPump.h"
#include "ui/Program.h"
#include "ui/UpDown.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace quintara;
using clock::ClockLine;

namespace {

// Wednesday 9 December 2026; the current week begins on Monday the 7th.
const QDate Today(2026, 12, 9);
const QDate CurrentMonday(2026, 12, 7);

template <typename W> W *control(QWidget &dialog, const QString &name)
{
    auto *widget = dialog.findChild<W *>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// An installation with two relays, two dimmers, a general mood and a temperature sensor.
struct EditorTest : ::testing::Test {
    quintara::testing::ScriptedPrompter prompter;
    quintara::testing::FixedClock clock{QDateTime(Today, QTime(14, 30))};
    quintara::testing::VirtualPump pump;
    ui::Program program{prompter, clock, pump,
                        settings::ProfileFile(QStringLiteral("/nonexistent/Ventora.ini"))};

    EditorTest()
    {
        program.names = settings::FillNameTables(program.strings);
        project::ProjectModel &model = program.project;
        project::NewProject(model, 19200, 0);
        project::SelectModel(model, 0, program.strings);
        model.OutputModules[0].ModuleType = 111; // relays 1..8
        model.OutputModules[0].Channels[0].Name = QStringLiteral("Hall light");
        model.OutputModules[0].Channels[1].Name = QStringLiteral("Garden pump");
        model.OutputModules[1].ModuleType = 131; // dimmers 1..8
        model.OutputModules[1].Channels[0].Name = QStringLiteral("Living room");
        model.OutputModules[1].Channels[0].Power = 300;
        model.OutputModules[1].Channels[2].Name = QStringLiteral("Kitchen");
        model.GeneralMoods[0].Name = QStringLiteral("Evening");
        model.GeneralMoods[0].RelayStates.fill(3);
        model.GeneralMoods[0].RelayStates[1] = 255;
        model.GeneralMoods[0].DimmerLevels.fill(3);
        model.GeneralMoods[0].DimmerLevels[1] = 127;
        model.Sensors[0].Name = QStringLiteral("Outside");
        model.Sensors[0].Bytes[0] = 1; // temperature
        model.Sensors[0].Bytes[3] = 1;
        program.clockTable.MaxClockLines = 100;
    }

    // A line as the main window's add command makes it.
    int addLine(int table)
    {
        return *clock::BeginAddLine(program.clockTable, table, clock, prompter);
    }
    ClockLine &line(int index) { return program.clockTable.Lines[std::size_t(index)]; }
    // An existing line, selected.
    int existingLine(ClockLine value, int index = 7)
    {
        line(index) = value;
        program.clockTable.SelectedLine = qint16(index + 1);
        return index;
    }

    static void choose(ui::FrmClkEdit &dialog, int typeEntry, int reference)
    {
        auto *types = control<QComboBox>(dialog, QStringLiteral("CboFnc"));
        types->setCurrentIndex(types->findData(typeEntry));
        auto *functions = control<QComboBox>(dialog, QStringLiteral("CboLd"));
        functions->setCurrentIndex(functions->findData(reference));
    }
    static void show(ui::FrmClkEdit &dialog)
    {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Types into a field and leaves it with Tab, as a user would.
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    static bool shown(ui::FrmClkEdit &dialog, const char *name)
    {
        return !control<QWidget>(dialog, QString::fromLatin1(name))->isHidden();
    }
};

ClockLine Line(int table, int unit, int count, int type, int number, int level, QDate date,
               int hour = 10, int minute = 15)
{
    ClockLine l;
    clock::SetReferenceDate(l, date);
    l.Hour = quint8(hour);
    l.Minute = quint8(minute);
    l.Table = quint8(table);
    l.RepeatUnit = quint8(unit);
    l.RepeatCount = quint8(count);
    l.FunctionType = quint8(type);
    l.FunctionNumber = quint8(number);
    l.Level = quint8(level);
    l.NextLine = 254;
    l.FirstLine = 77;
    return l;
}

TEST_F(EditorTest, OpensOnlyForALineAndOkWritesItThroughTheModalPath)
{
    program.clockTable.SelectedLine = 0;
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] { dialogSeen = QApplication::activeModalWidget() != nullptr; });
    EXPECT_FALSE(ui::FrmClkEdit::Edit(program, ui::FrmClkEdit::NewLineMode));
    QApplication::processEvents();
    EXPECT_FALSE(dialogSeen);

    const int index = addLine(clock::Continue);
    QTimer::singleShot(0, [] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(modal->windowTitle(), "Clockline add/edit");
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("CmdOK")), Qt::LeftButton);
    });
    QTimer::singleShot(3000, [] {
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
    EXPECT_TRUE(ui::FrmClkEdit::Edit(program, ui::FrmClkEdit::NewLineMode));
    EXPECT_TRUE(program.clockTable.TableChanged);
    // The defaults of a new line: relay 1 on, daily at 14:00; Monday 14:00 lies after the
    // week's start, so the date goes back one day.
    ClockLine expected =
        Line(clock::Continue, clock::Days, 1, 1, 1, 255, CurrentMonday.addDays(-1), 14, 0);
    expected.NextLine = expected.FirstLine = 0;
    EXPECT_EQ(line(index), expected);
}

TEST_F(EditorTest, CancelFreesANewLineAndLeavesAnExistingOneAsItWas)
{
    const int fresh = addLine(clock::Workday);
    {
        ui::FrmClkEdit dialog(program, 2);
        show(dialog);
        QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("CmdCancel")),
                          Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_FALSE(line(fresh).inUse());

    const ClockLine before =
        Line(clock::Special, clock::Weeks, 2, 2, 3, 127, CurrentMonday.addDays(-3));
    const int index = existingLine(before);
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
    show(dialog);
    control<QRadioButton>(dialog, QStringLiteral("OptTabel_0"))->click();
    choose(dialog, 1, clock::FunctionReference(1, 2));
    type(control<QLineEdit>(dialog, QStringLiteral("TxtLvl")), QStringLiteral("off"));
    control<QTimeEdit>(dialog, QStringLiteral("TimePic"))->setTime(QTime(6, 0));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(line(index), before);
    EXPECT_FALSE(program.clockTable.TableChanged);
}

TEST_F(EditorTest, OkBringsTheReferenceDateIntoTheCurrentWeekOrBefore)
{
    // Workday lines take the Sunday before the current week, whatever the picker said.
    const int workday =
        existingLine(Line(clock::Workday, clock::Days, 1, 1, 1, 255, CurrentMonday.addDays(40)), 3);
    {
        ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
        dialog.accept();
    }
    EXPECT_EQ(clock::ReferenceDate(line(workday)), QDate(2026, 12, 6));

    // Every week, three weeks ahead at 10:15: back past the current Monday's midnight.
    const int weekly =
        existingLine(Line(clock::Continue, clock::Weeks, 1, 2, 1, 127, CurrentMonday.addDays(21)));
    {
        ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
        dialog.accept();
    }
    EXPECT_EQ(clock::ReferenceDate(line(weekly)), CurrentMonday.addDays(-7));
    EXPECT_EQ(line(weekly).Hour, 10);
    EXPECT_EQ(line(weekly).NextLine, 254);
    EXPECT_EQ(line(weekly).FirstLine, 77);
    EXPECT_TRUE(program.clockTable.TableChanged);

    // A single occurrence stays where the user put it.
    const int once =
        existingLine(Line(clock::Simulation, clock::Once, 1, 1, 2, 0, CurrentMonday.addDays(50)));
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
    dialog.accept();
    EXPECT_EQ(clock::ReferenceDate(line(once)), CurrentMonday.addDays(50));
}

TEST_F(EditorTest, FunctionsWithoutALevelHideItAndStoreFullValue)
{
    const int index = addLine(clock::Continue);
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::NewLineMode);
    show(dialog);
    EXPECT_TRUE(shown(dialog, "TxtLvl"));
    EXPECT_EQ(dialog.statePicture(), 1); // relay on

    choose(dialog, 65, clock::FunctionReference(24, 1)); // frost protection of sensor 1
    EXPECT_FALSE(shown(dialog, "TxtLvl"));
    EXPECT_FALSE(shown(dialog, "UpdLvl"));
    EXPECT_FALSE(shown(dialog, "LblLvl"));
    EXPECT_TRUE(shown(dialog, "VLAG"));
    EXPECT_EQ(dialog.statePicture(), 9);
    QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("CmdOK")), Qt::LeftButton);
    EXPECT_EQ(line(index).FunctionType, 24);
    EXPECT_EQ(line(index).FunctionNumber, 1);
    EXPECT_EQ(line(index).Level, 255);

    // A dimmer at 0 % shows the dark lamp; the general mood hides its level again.
    existingLine(Line(clock::Continue, clock::Once, 1, 2, 1, 0, CurrentMonday));
    ui::FrmClkEdit mood(program, ui::FrmClkEdit::ExistingLineMode);
    EXPECT_EQ(mood.statePicture(), 2);
    EXPECT_TRUE(control<QPlainTextEdit>(mood, QStringLiteral("TxtPrv"))
                    ->toPlainText()
                    .contains(QLatin1String("Living room")));
    choose(mood, 10, clock::FunctionReference(10, 0));
    EXPECT_TRUE(mood.findChild<QLineEdit *>(QStringLiteral("TxtLvl"))->isHidden());
    EXPECT_EQ(mood.levelTag(), 10 * 256 + 255);
    EXPECT_EQ(mood.statePicture(), 1);
}

TEST_F(EditorTest, DateAndRepeatControlsFollowTableAndRepetition)
{
    addLine(clock::Continue); // daily
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::NewLineMode);
    show(dialog);
    auto *unit = control<QComboBox>(dialog, QStringLiteral("CboRepeat"));
    auto *count = control<QLineEdit>(dialog, QStringLiteral("TxtRepeat"));
    EXPECT_EQ(unit->count(), 8);
    EXPECT_EQ(count->text(), "1");
    EXPECT_FALSE(shown(dialog, "DatePic"));
    EXPECT_FALSE(shown(dialog, "LblDate"));
    type(count, QStringLiteral("2"));
    EXPECT_TRUE(shown(dialog, "DatePic"));

    unit->setCurrentIndex(clock::Hours);
    EXPECT_FALSE(shown(dialog, "DatePic"));
    unit->setCurrentIndex(clock::Months);
    EXPECT_TRUE(shown(dialog, "DatePic"));
    unit->setCurrentIndex(clock::Once);
    EXPECT_FALSE(shown(dialog, "TxtRepeat"));
    EXPECT_FALSE(shown(dialog, "UpdRepeat"));
    EXPECT_TRUE(shown(dialog, "DatePic"));

    control<QRadioButton>(dialog, QStringLiteral("OptTabel_2"))->click();
    for (const char *name : {"LblDate", "DatePic", "LblRepeat", "CboRepeat", "TxtRepeat"})
        EXPECT_FALSE(shown(dialog, name)) << name;
    control<QRadioButton>(dialog, QStringLiteral("OptTabel_3"))->click();
    EXPECT_TRUE(shown(dialog, "CboRepeat"));
}

TEST_F(EditorTest, TypedLevelsBecomeRawValues)
{
    const int index = addLine(clock::Continue);
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::NewLineMode);
    show(dialog);
    auto *level = control<QLineEdit>(dialog, QStringLiteral("TxtLvl"));
    EXPECT_EQ(level->text(), "On");

    const struct {
        const char *typed;
        int raw;
        const char *shown;
    } relay[] = {{"30", 0, "Off"}, {"on", 255, "On"}, {"75", 255, "On"}, {"200", 3, "Uncoupled"}};
    for (const auto &c : relay) {
        type(level, QString::fromLatin1(c.typed));
        EXPECT_EQ(dialog.levelTag(), 256 + c.raw) << c.typed;
        EXPECT_EQ(level->text(), c.shown) << c.typed;
    }
    EXPECT_EQ(dialog.statePicture(), 1);
    type(level, QStringLiteral("off"));
    EXPECT_EQ(dialog.statePicture(), 2);
    // The buttons and the arrow keys step a relay between off and on.
    QTest::mouseClick(control<ui::UpDown>(dialog, QStringLiteral("UpdLvl"))->upButton(),
                      Qt::LeftButton);
    EXPECT_EQ(level->text(), "On");
    level->setFocus();
    QTest::keyClick(level, Qt::Key_Down);
    EXPECT_EQ(level->text(), "Off");

    // A dimmer reads a comma as the decimal point; the level is kept across the change.
    choose(dialog, 2, clock::FunctionReference(2, 3));
    EXPECT_EQ(level->text(), "0 %");
    type(level, QStringLiteral("12,5"));
    EXPECT_EQ(dialog.levelTag(), 2 * 256 + 30);
    EXPECT_EQ(level->text(), "12 %");
    QTest::keyClick(level, Qt::Key_Up);
    EXPECT_EQ(level->text(), "17 %");
    // Enter confirms with what was just typed, without leaving the field.
    level->setFocus();
    level->selectAll();
    QTest::keyClicks(level, QStringLiteral("50"));
    QTest::keyClick(level, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(line(index).FunctionType, 2);
    EXPECT_EQ(line(index).FunctionNumber, 3);
    EXPECT_EQ(line(index).Level, 127);
}

TEST_F(EditorTest, ARepeatingLineNeverGetsACountOfZero)
{
    // A count of 0 can come from a file; the field shows and stores at least 1.
    const int index =
        existingLine(Line(clock::Continue, clock::Weeks, 0, 1, 1, 255, CurrentMonday.addDays(14)));
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
    show(dialog);
    auto *count = control<QLineEdit>(dialog, QStringLiteral("TxtRepeat"));
    EXPECT_EQ(count->text(), "1");
    type(count, QStringLiteral("0"));
    EXPECT_EQ(count->text(), "1");
    EXPECT_EQ(dialog.repeatTag(), 1);
    auto *buttons = control<ui::UpDown>(dialog, QStringLiteral("UpdRepeat"));
    QTest::mouseClick(buttons->downButton(), Qt::LeftButton);
    EXPECT_EQ(count->text(), "1");
    type(count, QStringLiteral("100"));
    QTest::mouseClick(buttons->upButton(), Qt::LeftButton);
    EXPECT_EQ(count->text(), "100");
    type(count, QStringLiteral("0"));
    dialog.accept();
    EXPECT_EQ(line(index).RepeatCount, 1);
    EXPECT_EQ(clock::ReferenceDate(line(index)), CurrentMonday.addDays(-7));
}

TEST_F(EditorTest, DatePickerRangeKeepsTheLinesOwnDate)
{
    addLine(clock::Continue);
    {
        ui::FrmClkEdit dialog(program, ui::FrmClkEdit::NewLineMode);
        EXPECT_EQ(dialog.earliestDate(), Today.addDays(-210));
        EXPECT_EQ(dialog.latestDate(), Today.addDays(280));
    }
    // A single occurrence two years ago is shown and stored as it is.
    const QDate old(2024, 11, 20);
    const int index = existingLine(Line(clock::Continue, clock::Once, 1, 1, 1, 255, old));
    {
        ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
        EXPECT_EQ(control<QDateEdit>(dialog, QStringLiteral("DatePic"))->date(), old);
        EXPECT_EQ(dialog.earliestDate(), old);
        dialog.accept();
    }
    EXPECT_EQ(clock::ReferenceDate(line(index)), old);

    // Two digits of year name nothing after 2029.
    clock.at = QDateTime(QDate(2029, 6, 1), QTime(9, 0));
    ui::FrmClkEdit late(program, ui::FrmClkEdit::ExistingLineMode);
    EXPECT_EQ(late.latestDate(), QDate(2029, 12, 31));
}

TEST_F(EditorTest, ForeignBytesAndMissingChoicesAreHandledWithoutStoringNonsense)
{
    // Table and unit bytes beyond the known ones show as the continuous table, once.
    ClockLine foreign = Line(9, 12, 5, 1, 2, 0, CurrentMonday.addDays(-2));
    foreign.Day = 31;
    foreign.Month = 2; // no such date
    const int index = existingLine(foreign);
    {
        ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
        EXPECT_TRUE(control<QRadioButton>(dialog, QStringLiteral("OptTabel_0"))->isChecked());
        EXPECT_EQ(control<QComboBox>(dialog, QStringLiteral("CboRepeat"))->currentIndex(), 0);
        EXPECT_EQ(control<QDateEdit>(dialog, QStringLiteral("DatePic"))->date(), CurrentMonday);
        dialog.accept();
    }
    EXPECT_EQ(line(index).Table, clock::Continue);
    EXPECT_EQ(line(index).RepeatUnit, clock::Once);
    EXPECT_EQ(clock::ReferenceDate(line(index)), CurrentMonday);

    // A type without functions leaves nothing to pick: OK says so and stays open.
    program.clockTable.TableChanged = false;
    const ClockLine before = line(index);
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::ExistingLineMode);
    show(dialog);
    auto *types = control<QComboBox>(dialog, QStringLiteral("CboFnc"));
    types->setCurrentIndex(types->findData(15)); // flags: none defined
    EXPECT_EQ(control<QComboBox>(dialog, QStringLiteral("CboLd"))->count(), 0);
    EXPECT_FALSE(shown(dialog, "VLAG"));
    prompter.expect(platform::Answer::Ok);
    QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("CmdOK")), Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, "Select an item!");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(line(index), before);
    EXPECT_FALSE(program.clockTable.TableChanged);
}

TEST_F(EditorTest, TabWalksTheFormAndArrowsChooseTheTable)
{
    addLine(clock::Continue);
    ui::FrmClkEdit dialog(program, ui::FrmClkEdit::NewLineMode);
    show(dialog);
    control<QRadioButton>(dialog, QStringLiteral("OptTabel_0"))->setFocus();
    QStringList order;
    for (int i = 0; i < 10 && QApplication::focusWidget(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // The time editor hands focus to its inner line edit and tabs through its sections.
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        const QString name = focus ? focus->objectName() : QString();
        if (order.isEmpty() || order.back() != name)
            order << name;
    }
    EXPECT_EQ(order.join(u' ').toStdString(),
              "CboFnc CboLd TxtLvl TimePic CboRepeat TxtRepeat CmdOK CmdCancel OptTabel_0");

    // The arrow keys choose among the day tables, and the form follows.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_TRUE(control<QRadioButton>(dialog, QStringLiteral("OptTabel_1"))->isChecked());
    EXPECT_FALSE(shown(dialog, "CboRepeat"));
}

TEST_F(EditorTest, Screenshots)
{
    const QString folder = qEnvironmentVariable("QUINTARA_SCREENSHOTS");
    existingLine(Line(clock::Continue, clock::Weeks, 2, 2, 1, 127, CurrentMonday.addDays(-7)));
    ui::FrmClkEdit dimmer(program, ui::FrmClkEdit::ExistingLineMode);
    show(dimmer);
    const QImage dimmerShot = dimmer.grab().toImage();
    dimmer.close();
    existingLine(Line(clock::Simulation, clock::Days, 1, 10, 0, 255, CurrentMonday, 19, 30));
    ui::FrmClkEdit mood(program, ui::FrmClkEdit::ExistingLineMode);
    show(mood);
    const QImage moodShot = mood.grab().toImage();
    if (!folder.isEmpty()) {
        dimmerShot.save(QDir(folder).filePath(QStringLiteral("editor-dimmer.png")));
        moodShot.save(QDir(folder).filePath(QStringLiteral("editor-gmood.png")));
    }
    // Text really renders: two different captions don't paint the same pixels.
    EXPECT_NE(control<QLabel>(mood, QStringLiteral("LblTijd"))->grab().toImage(),
              control<QLabel>(mood, QStringLiteral("LblDate"))->grab().toImage());
}

} // namespace
