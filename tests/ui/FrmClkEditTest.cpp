#include "ui/FrmClkEdit.h"
#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestYears.h"
#include "tests/support/VirtualPump.h"
#include "tests/ui/ScriptedFileDialogs.h"
#include "ui/FrmKlokken.h"
#include "ui/Program.h"
#include "ui/TimeField.h"
#include "ui/UpDown.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace quintara;
using clock::ClockLine;

namespace {

// Wednesday 9 December 2026; the current week begins on Monday the 7th.
const QDate Today(2026, 12, 9);
const QDate Monday(2026, 12, 7);

ClockLine Line(int table, int unit, int count, int type, int number, int level, QDate date,
               int hour = 10, int minute = 15)
{
    ClockLine l =
        ClockLine::fromBytes({quint8(minute), quint8(hour), 0, 0, 0, quint8(table), quint8(unit),
                              quint8(count), quint8(type), quint8(number), quint8(level), 254, 77});
    clock::SetReferenceDate(l, date);
    return l;
}

// An installation with two relays, two dimmers, a general mood and a temperature sensor.
struct EditorTest : ::testing::Test {
    quintara::testing::ScriptedPrompter prompter;
    quintara::testing::FixedClock clock{QDateTime(Today, QTime(14, 30))};
    quintara::testing::VirtualPump pump;
    ui::Program program{prompter, clock, pump, settings::ProfileFile(QStringLiteral("/none"))};
    std::unique_ptr<ui::FrmClkEdit> dialog;

    EditorTest()
    {
        program.names = settings::FillNameTables(program.strings);
        project::ProjectModel &model = program.project;
        project::NewProject(model, 19200, 0);
        project::SelectModel(model, 0, program.strings);
        model.OutputModules[0].ModuleType = 111; // relays 1..8
        model.OutputModules[0].Channels[0].Name = QStringLiteral("Hall light");
        model.OutputModules[1].ModuleType = 131; // dimmers 1..8
        model.OutputModules[1].Channels[0].Name = QStringLiteral("Living room");
        model.OutputModules[1].Channels[2].Name = QStringLiteral("Kitchen");
        model.GeneralMoods[0].Name = QStringLiteral("Evening");
        model.GeneralMoods[0].RelayStates.fill(3);
        model.GeneralMoods[0].RelayStates[1] = 255;
        model.GeneralMoods[0].DimmerLevels.fill(3);
        model.GeneralMoods[0].DimmerLevels[1] = 127;
        model.Sensors[0].Name = QStringLiteral("Outside");
        model.Sensors[0].Bytes = {1, 0, 0, 1, 0, 0}; // a temperature sensor in use
        program.clockTable.MaxClockLines = 100;
    }

    ClockLine &line(int index) { return program.clockTable.Lines[std::size_t(index)]; }
    // A line as the main window's add command makes it.
    int addLine(int table) { return *clock::BeginAddLine(program.clockTable, table, clock).line; }
    // An existing line, selected.
    int existingLine(ClockLine value, int index = 7)
    {
        line(index) = value;
        program.clockTable.SelectedLine = qint16(index + 1);
        return index;
    }
    ui::FrmClkEdit &open(int mode, bool show = true)
    {
        dialog = std::make_unique<ui::FrmClkEdit>(program, mode);
        if (show) {
            dialog->show();
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        }
        return *dialog;
    }
    template <typename W = QWidget> W *w(const char *name)
    {
        auto *widget = dialog->findChild<W *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    bool shown(const char *name) { return !w(name)->isHidden(); }
    void choose(int typeEntry, int reference)
    {
        w<QComboBox>("CboFnc")->setCurrentIndex(w<QComboBox>("CboFnc")->findData(typeEntry));
        w<QComboBox>("CboLd")->setCurrentIndex(w<QComboBox>("CboLd")->findData(reference));
    }
    // Types into a field and leaves it with Tab, as a user would.
    void type(const char *field, const QString &text)
    {
        auto *edit = w<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }
    void click(const char *button)
    {
        QTest::mouseClick(w<QAbstractButton>(button), Qt::LeftButton);
    }
};

TEST_F(EditorTest, OpensOnlyForALine)
{
    program.clockTable.SelectedLine = 0;
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] { dialogSeen = QApplication::activeModalWidget() != nullptr; });
    EXPECT_FALSE(ui::FrmClkEdit::Edit(program, ui::FrmClkEdit::NewLineMode));
    QApplication::processEvents();
    EXPECT_FALSE(dialogSeen);
}

TEST_F(EditorTest, CancelFreesANewLineAndLeavesAnExistingOneAsItWas)
{
    const int fresh = addLine(clock::Workday);
    open(2);
    click("CmdCancel");
    EXPECT_FALSE(line(fresh).inUse());

    const ClockLine before = Line(clock::Special, clock::Weeks, 2, 2, 3, 127, Monday.addDays(-3));
    const int index = existingLine(before);
    open(ui::FrmClkEdit::ExistingLineMode);
    click("OptTabel_0");
    choose(1, clock::FunctionReference(1, 1));
    type("TxtLvl", QStringLiteral("off"));
    w<ui::TimeField>("TimePic")->setTime(QTime(6, 0));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(line(index), before);
    EXPECT_FALSE(program.clockTable.TableChanged);
}

TEST_F(EditorTest, OkBringsTheReferenceDateIntoTheCurrentWeekOrBefore)
{
    // Workday lines take the Sunday before the current week, whatever the picker said.
    const int workday =
        existingLine(Line(clock::Workday, clock::Days, 1, 1, 1, 255, Monday.addDays(40)), 3);
    open(ui::FrmClkEdit::ExistingLineMode, false).accept();
    EXPECT_EQ(clock::ReferenceDate(line(workday), quintara::testing::Years2026),
              QDate(2026, 12, 6));

    // Every week, three weeks ahead at 10:15: back past the current Monday's midnight.
    const int weekly =
        existingLine(Line(clock::Continue, clock::Weeks, 1, 2, 1, 127, Monday.addDays(21)));
    open(ui::FrmClkEdit::ExistingLineMode, false).accept();
    EXPECT_EQ(line(weekly), Line(clock::Continue, clock::Weeks, 1, 2, 1, 127, Monday.addDays(-7)));
    EXPECT_TRUE(program.clockTable.TableChanged);

    // A single occurrence stays where the user put it.
    const int once =
        existingLine(Line(clock::Simulation, clock::Once, 1, 1, 1, 0, Monday.addDays(50)));
    open(ui::FrmClkEdit::ExistingLineMode, false).accept();
    EXPECT_EQ(clock::ReferenceDate(line(once), quintara::testing::Years2026), Monday.addDays(50));
}

TEST_F(EditorTest, FunctionsWithoutALevelHideItAndStoreFullValue)
{
    const int index = addLine(clock::Continue);
    open(ui::FrmClkEdit::NewLineMode);
    EXPECT_TRUE(shown("TxtLvl"));
    EXPECT_EQ(dialog->statePicture(), 1); // relay on

    choose(65, clock::FunctionReference(24, 1)); // frost protection of sensor 1
    for (const char *name : {"LblLvl", "TxtLvl", "UpdLvl"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_TRUE(shown("VLAG"));
    EXPECT_EQ(dialog->statePicture(), 9);
    click("CmdOK");
    EXPECT_EQ(line(index).FunctionType, 24);
    EXPECT_EQ(line(index).FunctionNumber, 1);
    EXPECT_EQ(line(index).Level, 255);

    // A dimmer at 0 % shows the dark lamp; the general mood hides its level again.
    existingLine(Line(clock::Continue, clock::Once, 1, 2, 1, 0, Monday));
    open(ui::FrmClkEdit::ExistingLineMode, false);
    EXPECT_EQ(dialog->statePicture(), 2);
    EXPECT_TRUE(w<QPlainTextEdit>("TxtPrv")->toPlainText().contains(QLatin1String("Living room")));
    choose(10, clock::FunctionReference(10, 0));
    EXPECT_FALSE(shown("TxtLvl"));
    EXPECT_EQ(dialog->levelTag(), 10 * 256 + 255);
    EXPECT_EQ(dialog->statePicture(), 1);
}

TEST_F(EditorTest, DateAndRepeatControlsFollowTableAndRepetition)
{
    addLine(clock::Continue); // daily
    open(ui::FrmClkEdit::NewLineMode);
    auto *unit = w<QComboBox>("CboRepeat");
    EXPECT_FALSE(shown("DatePic"));
    type("TxtRepeat", QStringLiteral("2"));
    EXPECT_TRUE(shown("DatePic"));
    unit->setCurrentIndex(clock::Hours);
    EXPECT_FALSE(shown("DatePic"));
    unit->setCurrentIndex(clock::Once);
    EXPECT_FALSE(shown("TxtRepeat"));
    EXPECT_FALSE(shown("UpdRepeat"));
    EXPECT_TRUE(shown("DatePic"));

    click("OptTabel_2");
    for (const char *name : {"LblDate", "DatePic", "LblRepeat", "CboRepeat", "TxtRepeat"})
        EXPECT_FALSE(shown(name)) << name;
    click("OptTabel_3");
    EXPECT_TRUE(shown("CboRepeat"));
}

TEST_F(EditorTest, TypedLevelsBecomeRawValues)
{
    const int index = addLine(clock::Continue);
    open(ui::FrmClkEdit::NewLineMode);
    auto *level = w<QLineEdit>("TxtLvl");
    EXPECT_EQ(level->text(), "On");
    const struct {
        const char *typed;
        int raw;
        const char *shown;
    } relay[] = {{"30", 0, "Off"}, {"on", 255, "On"}, {"75", 255, "On"}, {"200", 3, "Uncoupled"}};
    for (const auto &c : relay) {
        type("TxtLvl", QString::fromLatin1(c.typed));
        EXPECT_EQ(dialog->levelTag(), 256 + c.raw) << c.typed;
        EXPECT_EQ(level->text(), c.shown) << c.typed;
    }
    // The arrow key and the button step a relay between off and on.
    level->setFocus();
    QTest::keyClick(level, Qt::Key_Up);
    EXPECT_EQ(level->text(), "On");
    QTest::mouseClick(w<ui::UpDown>("UpdLvl")->downButton(), Qt::LeftButton);
    EXPECT_EQ(level->text(), "Off");
    EXPECT_EQ(dialog->statePicture(), 2);

    // A dimmer reads a comma as the decimal point; the level is kept across the change.
    choose(2, clock::FunctionReference(2, 3));
    EXPECT_EQ(level->text(), "0 %");
    type("TxtLvl", QStringLiteral("12,5"));
    EXPECT_EQ(dialog->levelTag(), 2 * 256 + 30);
    EXPECT_EQ(level->text(), "12 %");
    // Enter confirms with what was just typed, without leaving the field.
    level->setFocus();
    level->selectAll();
    QTest::keyClicks(level, QStringLiteral("50"));
    QTest::keyClick(level, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(line(index).FunctionType, 2);
    EXPECT_EQ(line(index).FunctionNumber, 3);
    EXPECT_EQ(line(index).Level, 127);
}

TEST_F(EditorTest, ARepeatingLineNeverGetsACountOfZero)
{
    // A count of 0 can come from a file; the field shows and stores at least 1.
    const int index =
        existingLine(Line(clock::Continue, clock::Weeks, 0, 1, 1, 255, Monday.addDays(14)));
    open(ui::FrmClkEdit::ExistingLineMode);
    auto *count = w<QLineEdit>("TxtRepeat");
    EXPECT_EQ(count->text(), "1");
    QTest::mouseClick(w<ui::UpDown>("UpdRepeat")->downButton(), Qt::LeftButton);
    EXPECT_EQ(count->text(), "1");
    type("TxtRepeat", QStringLiteral("0"));
    EXPECT_EQ(count->text(), "1");
    EXPECT_EQ(dialog->repeatTag(), 1);
    click("CmdOK");
    EXPECT_EQ(line(index).RepeatCount, 1);
}

TEST_F(EditorTest, DatePickerRangeKeepsTheLinesOwnDate)
{
    addLine(clock::Continue);
    open(ui::FrmClkEdit::NewLineMode, false);
    EXPECT_EQ(dialog->earliestDate(), Today.addDays(-210));
    EXPECT_EQ(dialog->latestDate(), Today.addDays(280));

    // A single occurrence two years ago is shown and stored as it is.
    const QDate old(2024, 11, 20);
    const int index = existingLine(Line(clock::Continue, clock::Once, 1, 1, 1, 255, old));
    open(ui::FrmClkEdit::ExistingLineMode, false);
    EXPECT_EQ(w<QDateEdit>("DatePic")->date(), old);
    dialog->accept();
    EXPECT_EQ(clock::ReferenceDate(line(index), quintara::testing::Years2026), old);

    // The same range at any date: 2030 can be chosen, stored and read back as 2030.
    for (const QDate today : {QDate(2029, 6, 1), QDate(2030, 1, 15), QDate(2074, 12, 1)}) {
        clock.at = QDateTime(today, QTime(9, 0));
        const int once =
            existingLine(Line(clock::Continue, clock::Once, 1, 1, 1, 255, today.addDays(100)));
        open(ui::FrmClkEdit::ExistingLineMode, false);
        EXPECT_EQ(dialog->earliestDate(), today.addDays(-210));
        EXPECT_EQ(dialog->latestDate(), today.addDays(280));
        EXPECT_EQ(w<QDateEdit>("DatePic")->date(), today.addDays(100));
        w<QDateEdit>("DatePic")->setDate(today.addDays(270));
        dialog->accept();
        EXPECT_EQ(clock::ReferenceDate(line(once), clock::YearWindow::around(today)),
                  today.addDays(270));
    }
}

TEST_F(EditorTest, AnyLineBytesOpenAndStoreSoundValues)
{
    prompter.answerAllWithDefault(); // "Select an item!" for functions not in the project
    int stored = 0;
    for (int i = 0; i < 256; ++i) {
        const quint8 b = quint8(i * 37);
        // Odd rounds name any function at all, even rounds relay 1 with arbitrary other bytes.
        const quint8 type = i % 2 ? quint8(i) : 1;
        const quint8 number = i % 2 ? b : 1;
        const int index =
            existingLine(ClockLine::fromBytes({b, quint8(b + 1), b, quint8(b / 3), b, quint8(i),
                                               quint8(i), quint8(i & 2), type, number, b, 0, 0}));
        open(ui::FrmClkEdit::ExistingLineMode, false).accept();
        if (dialog->result() != QDialog::Accepted)
            continue;
        ++stored;
        EXPECT_LE(line(index).Table, 4) << i;
        EXPECT_LE(line(index).RepeatUnit, 7) << i;
        EXPECT_GE(line(index).RepeatCount, 1) << i;
        EXPECT_TRUE(clock::ReferenceDateTime(line(index), quintara::testing::Years2026).isValid())
            << i;
    }
    EXPECT_GE(stored, 128);
}

TEST_F(EditorTest, OkWithoutAFunctionSaysSoAndStaysOpen)
{
    const ClockLine before = Line(clock::Continue, clock::Days, 2, 1, 1, 255, Monday);
    const int index = existingLine(before);
    open(ui::FrmClkEdit::ExistingLineMode);
    w<QComboBox>("CboFnc")->setCurrentIndex(w<QComboBox>("CboFnc")->findData(15)); // no flags
    EXPECT_EQ(w<QComboBox>("CboLd")->count(), 0);
    EXPECT_FALSE(shown("VLAG"));
    prompter.expect(platform::Answer::Ok);
    click("CmdOK");
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, "Select an item!");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(line(index), before);
    EXPECT_FALSE(program.clockTable.TableChanged);
}

TEST_F(EditorTest, TheTimeFieldTakesWhatPeopleTypeAfterOneClick)
{
    const ClockLine before = Line(clock::Continue, clock::Once, 1, 1, 1, 255, Monday, 9, 0);
    const int index = existingLine(before);
    open(ui::FrmClkEdit::ExistingLineMode);
    auto *field = w<ui::TimeField>("TimePic");
    auto *edit = field->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(field->text(), "09:00");

    // One click selects the whole field, so typing replaces it; leaving the field takes it.
    for (const char *typed : {"0730", "7:30", "07.30", "730"}) {
        field->setTime(QTime(9, 0));
        w("CboFnc")->setFocus();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
        EXPECT_EQ(edit->selectedText(), "09:00") << typed;
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(field->time(), QTime(7, 30)) << typed;
        EXPECT_EQ(field->text(), "07:30") << typed;
    }
    EXPECT_EQ(prompter.beeps, 0);

    // Impossible times are refused with a beep and the field shows what it held; letters do
    // not even get in.
    int beeps = 0;
    for (const char *typed : {"2561", "24:00", "7:75", "ab"}) {
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(field->time(), QTime(7, 30)) << typed;
        EXPECT_EQ(field->text(), "07:30") << typed;
        if (QByteArray(typed) != "ab")
            ++beeps;
        EXPECT_EQ(prompter.beeps, beeps) << typed;
    }

    // Enter on an impossible time keeps the dialog open; on a good one it confirms.
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, QStringLiteral("2400"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(field->text(), "07:30");
    EXPECT_EQ(line(index), before);
    QTest::keyClicks(edit, QStringLiteral("1845"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(line(index).Hour, 18);
    EXPECT_EQ(line(index).Minute, 45);
}

TEST_F(EditorTest, TheTimeFieldStepsTheHourOrTheMinutesUnderTheCursor)
{
    existingLine(Line(clock::Continue, clock::Once, 1, 1, 1, 255, Monday, 23, 58));
    open(ui::FrmClkEdit::ExistingLineMode);
    auto *field = w<ui::TimeField>("TimePic");
    auto *edit = field->findChild<QLineEdit *>();
    field->setFocus(Qt::TabFocusReason);
    edit->setCursorPosition(1);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(field->time(), QTime(21, 58));
    edit->setCursorPosition(4);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up); // no further than 59
    EXPECT_EQ(field->time(), QTime(21, 59));
    // A typed time is taken before the step.
    field->selectAll();
    QTest::keyClicks(edit, QStringLiteral("615"));
    edit->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->time(), QTime(7, 15));
}

TEST_F(EditorTest, TabWalksTheFormAndArrowsChooseTheTable)
{
    const int index = addLine(clock::Continue);
    open(ui::FrmClkEdit::NewLineMode);
    w("OptTabel_0")->setFocus();
    QStringList order;
    for (int i = 0; i < 20 && QApplication::focusWidget() && order.size() < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // A field may hand focus to an inner, unnamed editor.
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        const QString name = focus ? focus->objectName() : QString();
        if (order.isEmpty() || order.back() != name)
            order << name;
    }
    EXPECT_EQ(order.join(u' ').toStdString(),
              "CboFnc CboLd TxtLvl TimePic CboRepeat TxtRepeat CmdOK CmdCancel OptTabel_0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_TRUE(w<QRadioButton>("OptTabel_1")->isChecked());
    EXPECT_FALSE(shown("CboRepeat"));
    // Enter on the focused Cancel button cancels.
    w("CmdCancel")->setFocus();
    QTest::keyClick(w("CmdCancel"), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(line(index).inUse());
}

// The main window's Add and Edit open this editor on the real path.
TEST_F(EditorTest, MainWindowAddAndEditOpenTheEditor)
{
    quintara::testing::ScriptedFileDialogs files;
    ui::FrmKlokken main(program, files);
    const auto answerEditor = [](const char *button, bool *seen) {
        QTimer::singleShot(0, [button, seen] {
            auto *editor = qobject_cast<ui::FrmClkEdit *>(QApplication::activeModalWidget());
            *seen = editor && editor->windowTitle() == QLatin1String("Clockline add/edit");
            if (editor)
                QTest::mouseClick(editor->findChild<QPushButton *>(QString::fromLatin1(button)),
                                  Qt::LeftButton);
        });
    };
    // The workday table is hidden; adding a line to it shows it again.
    QAction *workFilter = main.findChild<QAction *>(QStringLiteral("Tlb_9"));
    ASSERT_NE(workFilter, nullptr);
    workFilter->setChecked(false);
    bool seen = false;
    answerEditor("CmdOK", &seen);
    QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("CmdAdd")), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(program.clockTable.TableChanged);
    EXPECT_TRUE(workFilter->isChecked());
    // The defaults as shown, relay 1 on at 14:00; a workday line dates from last Sunday.
    EXPECT_EQ(line(0), ClockLine::fromBytes(
                           {0, 14, 6, 12, 26, clock::Workday, clock::Days, 1, 1, 1, 255, 0, 0}));

    const ClockLine added = line(0);
    program.clockTable.SelectedLine = 1;
    seen = false;
    answerEditor("CmdCancel", &seen);
    QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("CmdEdit")), Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(line(0), added);
}

} // namespace
