#include "ui/FrmClkEdit.h"
#include "settings/NameTables.h"
#include "tests/support/TestYears.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/FrmKlokken.h"
#include "ui/TimeField.h"
#include "ui/TypeAheadCombo.h"
#include "ui/UpDown.h"

using namespace quintara;
using namespace quintara::testing::window;
using clock::ClockLine;
using Mode = quintara::ui::FrmClkEdit;

namespace {

// An installation with relays, dimmers and a temperature sensor, at 14:30 on Wednesday.
struct EditorTest : ProgramTest {
    std::unique_ptr<ui::FrmClkEdit> dialog;

    EditorTest()
    {
        clock.at = QDateTime(Today, QTime(14, 30));
        program.names = settings::FillNameTables(program.strings);
        project::ProjectModel &model = program.project;
        project::NewProject(model, 19200, 0);
        project::SelectModel(model, 0, program.strings);
        model.OutputModules[0].ModuleType = 111; // relays 1..8
        model.OutputModules[0].Channels[0].Name = QStringLiteral("Hall light");
        model.OutputModules[1].ModuleType = 131; // dimmers 1..8
        model.OutputModules[1].Channels[0].Name = QStringLiteral("Living room");
        model.Sensors[0].Name = QStringLiteral("Outside");
        model.Sensors[0].Bytes = {1, 0, 0, 1, 0, 0}; // a temperature sensor in use
        program.clockTable.MaxClockLines = 100;
    }

    ClockLine &line(int index) { return program.clockTable.Lines[std::size_t(index)]; }
    // A line as the main window's add command makes it.
    int addLine(int table) { return *clock::BeginAddLine(program.clockTable, table, clock).line; }
    // An existing line, selected.
    int existing(const ClockLine &value, int index = 7)
    {
        put(index, value);
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
    template <typename W = QWidget> W *w(const char *name) { return Named<W>(dialog.get(), name); }
    bool shown(const char *name) { return !w(name)->isHidden(); }
    void choose(int typeEntry, int reference)
    {
        w<QComboBox>("CboFnc")->setCurrentIndex(w<QComboBox>("CboFnc")->findData(typeEntry));
        w<QComboBox>("CboLd")->setCurrentIndex(w<QComboBox>("CboLd")->findData(reference));
    }
    // Types into a field and leaves it with Tab (or Enter), as a user would.
    void type(const char *field, const QString &text, int key = Qt::Key_Tab)
    {
        auto *edit = w<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key(key));
    }
    void click(const char *button)
    {
        QTest::mouseClick(w<QAbstractButton>(button), Qt::LeftButton);
    }
};

TEST_F(EditorTest, CancelAndOkWithoutAFunctionLeaveTheTableAsItWas)
{
    // Without a selected line there is nothing to open.
    program.clockTable.SelectedLine = 0;
    EXPECT_FALSE(ui::FrmClkEdit::Edit(program, Mode::NewLineMode));
    // The arrows choose the table; Cancel (Enter on it too) frees a new line, and leaves an
    // existing one as it was, whatever was changed.
    const int fresh = addLine(clock::Workday);
    open(Mode::NewLineMode);
    w("OptTabel_0")->setFocus();
    QTest::keyClick(w("OptTabel_0"), Qt::Key_Right);
    const bool arrowed = w<QRadioButton>("OptTabel_1")->isChecked();
    w("CmdCancel")->setFocus();
    QTest::keyClick(w("CmdCancel"), Qt::Key_Return);
    EXPECT_TRUE(arrowed && !dialog->isVisible() && !line(fresh).inUse());
    const ClockLine before = Line(Monday.addDays(-3), 10, 15, clock::Special, clock::Weeks, 2, 2);
    const int index = existing(before);
    open(Mode::ExistingLineMode);
    choose(1, clock::FunctionReference(1, 1));
    w<ui::TimeField>("TimePic")->setTime(QTime(6, 0));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(!dialog->isVisible() && line(index) == before);

    // OK without a function says so and stays open.
    open(Mode::ExistingLineMode);
    choose(15, 0); // the project has no flags
    prompter.expect(platform::Answer::Ok);
    click("CmdOK");
    EXPECT_TRUE(lastMessage() == "Select an item!" && dialog->isVisible() && line(index) == before);

    // A line whose function the project lacks: the message names that function.
    ClockLine orphan = before;
    orphan.FunctionType = 1;
    orphan.FunctionNumber = 250;
    const int orphanIndex = existing(orphan);
    open(Mode::ExistingLineMode);
    prompter.expect(platform::Answer::Ok);
    click("CmdOK");
    EXPECT_TRUE(lastMessage().startsWith("Function REL 250")) << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().endsWith("is not in the project: choose one from the list."));
    EXPECT_EQ(line(orphanIndex), orphan);
}

TEST_F(EditorTest, OkKeepsAnyDateInRange)
{
    // OK brings a repeating line's date into the current week as the clock layer does (the
    // main window's Add shows it for a workday line); a single occurrence stays where the user
    // put it, two years ago included.
    const int index = existing(Line(QDate(2024, 11, 20), 10, 15, clock::Continue, clock::Once, 1));
    open(Mode::ExistingLineMode, false).accept();
    EXPECT_EQ(clock::ReferenceDateTime(line(index), quintara::testing::Years2026),
              QDateTime(QDate(2024, 11, 20), QTime(10, 15)));
    // The picker spans the same range at any date: 2030 can be chosen, stored and read back.
    for (const QDate today : {Today, QDate(2029, 6, 1), QDate(2030, 1, 15), QDate(2074, 12, 1)}) {
        clock.at = QDateTime(today, QTime(9, 0));
        const int once = existing(Line(today.addDays(100), 9, 0, clock::Continue, clock::Once, 1));
        open(Mode::ExistingLineMode, false);
        EXPECT_EQ(std::tuple(dialog->earliestDate(), dialog->latestDate(),
                             w<QDateEdit>("DatePic")->date()),
                  std::tuple(today.addDays(-210), today.addDays(280), today.addDays(100)));
        w<QDateEdit>("DatePic")->setDate(today.addDays(270));
        dialog->accept();
        EXPECT_EQ(clock::ReferenceDate(line(once), clock::YearWindow::around(today)),
                  today.addDays(270));
    }
}

TEST_F(EditorTest, DateTypedDayFirstIsTakenAndOkHoldsTheRange)
{
    // Day, then month, then year: "15-03" of this year lies before the range until the year
    // is typed, and must not be pulled into it meanwhile.
    const int index = existing(Line(Today.addDays(3), 10, 15, clock::Continue, clock::Once, 1));
    open(Mode::ExistingLineMode);
    auto *date = w<QDateEdit>("DatePic");
    date->setFocus();
    date->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(date, QStringLiteral("1503") + QString::number(Today.year() + 1));
    EXPECT_EQ(date->date(), QDate(Today.year() + 1, 3, 15));

    // Past the range, OK says which dates it takes and leaves the line alone.
    const ClockLine before = line(index);
    date->setDate(dialog->latestDate().addDays(1));
    prompter.expect(platform::Answer::Ok);
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(lastMessage().startsWith("Choose a date from "));
    EXPECT_EQ(line(index), before);
    date->setDate(QDate(Today.year() + 1, 3, 15));
    dialog->accept();
    EXPECT_EQ(clock::ReferenceDate(line(index), quintara::testing::Years2026),
              QDate(Today.year() + 1, 3, 15));
}

// Alt and a letter reach every button and field of the editor, in every language, and no two
// controls share a letter.
TEST_F(EditorTest, EveryControlHasAnAltLetterOfItsOwnInEveryLanguage)
{
    existing(Line(Today.addDays(3), 10, 15, clock::Continue, clock::Once, 1));
    for (int language = 0; language < settings::LanguageCount; ++language) {
        program.strings.setLanguageOffset(language * settings::LanguageStep);
        program.names = settings::FillNameTables(program.strings);
        open(Mode::ExistingLineMode, false);
        EXPECT_EQ(AltLetters(*dialog).size(), 13) << language;
        EXPECT_EQ(AltLetterFaults(*dialog), QStringList()) << language;
    }
    program.strings.setLanguageOffset(0);
    open(Mode::ExistingLineMode);
    const QChar date = ui::MnemonicOf(w<QLabel>("LblDate")->text());
    QTest::keyClick(dialog.get(), Qt::Key(Qt::Key_A + date.unicode() - u'a'), Qt::AltModifier);
    EXPECT_TRUE(w("DatePic")->hasFocus());
}

// The date and repeat controls follow table and repetition; levels follow the function and
// typed levels become raw values.
TEST_F(EditorTest, ControlsFollowTheTableRepetitionAndFunction)
{
    const int index = addLine(clock::Continue); // daily
    open(Mode::NewLineMode);
    EXPECT_FALSE(shown("DatePic"));
    type("TxtRepeat", QStringLiteral("2"));
    EXPECT_TRUE(shown("DatePic"));
    w<QComboBox>("CboRepeat")->setCurrentIndex(clock::Once);
    EXPECT_TRUE(!shown("TxtRepeat") && shown("DatePic"));
    click("OptTabel_2");
    EXPECT_FALSE(shown("DatePic") || shown("CboRepeat"));

    EXPECT_EQ(dialog->statePicture(), 1); // relay on
    // What a typed level means is the value formatter's; the field shows and keeps it.
    type("TxtLvl", QStringLiteral("200"));
    EXPECT_TRUE(dialog->levelTag() == 256 + 3 && w<QLineEdit>("TxtLvl")->text() == "Uncoupled");
    // The arrow key and the button step a relay between off and on.
    w("TxtLvl")->setFocus();
    QTest::keyClick(w("TxtLvl"), Qt::Key_Up);
    QTest::mouseClick(w<ui::UpDown>("UpdLvl")->downButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->statePicture(), 2);

    // A sensor has no level: it is hidden and stored full.
    choose(65, clock::FunctionReference(24, 1)); // sensor 1
    EXPECT_TRUE(!shown("TxtLvl") && !shown("UpdLvl") && shown("VLAG"));
    click("CmdOK");
    EXPECT_EQ(QList<int>({line(index).FunctionType, line(index).Level}), QList<int>({24, 255}));

    // A dimmer names its output; Enter confirms with what was just typed, without leaving the
    // field.
    const int dimmer = existing(Line(Monday, 10, 15, clock::Continue, clock::Once, 1, 2, 1, 0));
    open(Mode::ExistingLineMode);
    EXPECT_TRUE(w<QPlainTextEdit>("TxtPrv")->toPlainText().contains(QLatin1String("Living room")));
    type("TxtLvl", QStringLiteral("50"), Qt::Key_Return);
    EXPECT_TRUE(dialog->result() == QDialog::Accepted && line(dimmer).Level == 127);

    // A count of 0 can come from a file; the field shows and stores at least 1.
    const int weekly = existing(Line(Monday.addDays(14), 10, 15, clock::Continue, clock::Weeks, 0));
    open(Mode::ExistingLineMode);
    const QString shownFirst = w<QLineEdit>("TxtRepeat")->text();
    type("TxtRepeat", QStringLiteral("0"));
    EXPECT_EQ(QStringList({shownFirst, w<QLineEdit>("TxtRepeat")->text()}),
              QStringList({"1", "1"}));
    click("CmdOK");
    EXPECT_EQ(line(weekly).RepeatCount, 1);
}

TEST_F(EditorTest, AnyLineBytesOpenAndStoreSoundValues)
{
    prompter.answerAllWithDefault(); // "Select an item!" for functions not in the project
    int stored = 0;
    for (int i = 0; i < 256; ++i) {
        const quint8 b = quint8(i * 37);
        // Odd rounds name any function at all, even rounds relay 1 with arbitrary other bytes.
        const quint8 type = i % 2 ? quint8(i) : 1, number = i % 2 ? b : 1;
        const int index =
            existing(ClockLine::fromBytes({b, quint8(b + 1), b, quint8(b / 3), b, quint8(i),
                                           quint8(i), quint8(i & 2), type, number, b, 0, 0}));
        open(Mode::ExistingLineMode, false).accept();
        if (dialog->result() != QDialog::Accepted)
            continue;
        ++stored;
        const ClockLine &l = line(index);
        EXPECT_TRUE(l.Table <= 4 && l.RepeatUnit <= 7 && l.RepeatCount >= 1) << i;
        EXPECT_TRUE(clock::ReferenceDateTime(l, quintara::testing::Years2026).isValid()) << i;
    }
    EXPECT_GE(stored, 128);
}

TEST_F(EditorTest, TheTimeFieldTakesWhatPeopleTypeAndStepsThePartUnderTheCursor)
{
    const ClockLine before = Line(Monday, 9, 0, clock::Continue, clock::Once, 1);
    const int index = existing(before);
    open(Mode::ExistingLineMode);
    auto *field = w<ui::TimeField>("TimePic");
    auto *edit = field->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    // One click selects the whole field, so typing replaces it; leaving the field takes it (how
    // a typed time reads is the time input's).
    w("CboFnc")->setFocus();
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
    QTest::keyClicks(edit, QStringLiteral("730"));
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(field->text(), "07:30");
    // Impossible times are refused with a beep and the field shows what it held; letters do
    // not even get in; Enter on an impossible time keeps the dialog open.
    for (const char *typed : {"7:75", "ab", "2400"}) {
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        QTest::keyClick(edit, typed[0] == '2' ? Qt::Key_Return : Qt::Key_Tab);
        EXPECT_EQ(field->text(), "07:30") << typed;
    }
    EXPECT_TRUE(prompter.beeps == 2 && dialog->isVisible() && line(index) == before);

    // Up steps the part under the cursor (the minutes here), within its range.
    field->setTime(QTime(23, 58));
    field->setFocus(Qt::TabFocusReason);
    edit->setCursorPosition(4);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->time(), QTime(23, 59));
    // Enter on a good time confirms.
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(!dialog->isVisible() &&
                QTime(line(index).Hour, line(index).Minute) == QTime(23, 59));
}

// The main window's Add and Edit open this editor on the real path.
TEST_F(EditorTest, MainWindowAddAndEditOpenTheEditor)
{
    ui::FrmKlokken main(program, dialogs);
    // The workday table is hidden; adding a line to it shows it again.
    auto *workFilter = Named<QAction>(&main, QStringLiteral("Tlb_9"));
    workFilter->setChecked(false);
    const ModalAnswer ok(QStringLiteral("FrmClkEdit"), QStringLiteral("CmdOK"));
    QTest::mouseClick(Named<QPushButton>(&main, QStringLiteral("CmdAdd")), Qt::LeftButton);
    EXPECT_TRUE(ok.seen == 1 && program.clockTable.TableChanged && workFilter->isChecked());
    // The defaults as shown, relay 1 on at 14:00; a workday line dates from last Sunday.
    const ClockLine added = line(0);
    EXPECT_EQ(added, ClockLine::fromBytes(
                         {0, 14, 6, 12, 26, clock::Workday, clock::Days, 1, 1, 1, 255, 0, 0}));
    program.clockTable.SelectedLine = 1;
    const ModalAnswer cancel(QStringLiteral("FrmClkEdit"), QStringLiteral("CmdCancel"));
    QTest::mouseClick(Named<QPushButton>(&main, QStringLiteral("CmdEdit")), Qt::LeftButton);
    EXPECT_TRUE(cancel.seen == 1 && line(0) == added);
}

} // namespace

// The entries of the function lists start with blanks and numbers: keys find them by any word.
TEST(TypeAheadCombo, FindsAnEntryByTheStartOfAnyWord)
{
    ui::TypeAheadCombo list;
    list.addItems({QStringLiteral(" 21 Heating"), QStringLiteral(" 22 Hall"),
                   QStringLiteral("  3 Kitchen heater")});
    const auto typed = [&list](const char *keys) {
        QTest::keyClicks(&list, QString::fromLatin1(keys));
        const QString found = list.currentText();
        QTest::qWait(QApplication::keyboardInputInterval() + 50); // the next keys start afresh
        return found;
    };
    EXPECT_EQ(
        QStringList({typed("21"), typed("hal"), typed("kit"), typed("h"), typed("h")}),
        QStringList({" 21 Heating", " 22 Hall", "  3 Kitchen heater", " 21 Heating", " 22 Hall"}));
}
