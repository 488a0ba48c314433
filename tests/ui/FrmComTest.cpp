// The communication dialog with its real controls, against the simulator's engine on a fake
// serial line and virtual time.
#include "ui/FrmCom.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/Transfer.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/ProfileFile.h"
#include "tables/TableSet.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/VirtualPump.h"
#include "tests/ui/ScriptedFileDialogs.h"
#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/ProjectMemory.h"
#include "ui/FrmKlokken.h"
#include "ui/LinkCommands.h"
#include "ui/Program.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

using namespace quintara;
using clock::ClockLine;
using Mode = ui::FrmCom::Mode;
using Step = sim::TransferSide::SilentStep;

namespace {

// Wednesday 9 December 2026, half past two.
const QDateTime Now(QDate(2026, 12, 9), QTime(14, 30));

ClockLine Line(int table, int unit, int count, int type, int number, int level, QDate date,
               int hour)
{
    ClockLine l =
        ClockLine::fromBytes({0, quint8(hour), 0, 0, 0, quint8(table), quint8(unit), quint8(count),
                              quint8(type), quint8(number), quint8(level), 0, 0});
    clock::SetReferenceDate(l, date);
    return l;
}

struct FrmComTest : ::testing::Test {
    quintara::testing::ScriptedPrompter prompter;
    quintara::testing::FixedClock clock{Now};
    quintara::testing::VirtualPump pump;
    // Made before anything else listens to the pump, as the line's bytes leave first.
    quintara::testing::FakeSerialLine line{pump};
    sim::CentralUnit unit;
    // The dialog writes its own choices into the settings file: a file of the test's own.
    QTemporaryDir settingsDir;
    ui::Program program{prompter, clock, pump,
                        settings::ProfileFile(settingsDir.filePath(QStringLiteral("Ventora.ini")))};
    std::unique_ptr<ui::FrmCom> dialog;

    FrmComTest()
    {
        quintara::testing::ConnectCentralUnit(unit, line, pump);
        pump.addHook([this](qint64) { line.carrier = unit.transfer().carrier(); });
        project::NewProject(program.project, 19200, 0);
        project::SelectModel(program.project, 0, program.strings);
        program.clockTable.MaxClockLines = 100;
    }

    void open(Mode mode)
    {
        dialog = std::make_unique<ui::FrmCom>(program, mode, line);
        dialog->show();
    }
    template <typename T> T *child(const char *name) const
    {
        T *found = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QCheckBox *check(const char *name) const { return child<QCheckBox>(name); }
    QComboBox *combo(const char *name) const { return child<QComboBox>(name); }
    QLineEdit *edit(const char *name) const { return child<QLineEdit>(name); }
    // The user picks an item of a closed list with the keyboard.
    void pick(const char *name, int index) const
    {
        QComboBox *list = combo(name);
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(list, Qt::Key_Down);
    }
    // The user clicks a button or check box.
    void click(const char *name) const
    {
        QAbstractButton *target = child<QAbstractButton>(name);
        // A check box is wider than its box and text; aim at the box.
        const QPoint at = qobject_cast<QCheckBox *>(target) ? QPoint(6, target->height() / 2)
                                                            : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    }

    QString failureText(int code) const
    {
        return program.strings.GetResString(650) + QStringLiteral(":\n") +
               program.strings.GetResString(code);
    }
    ClockLine &clockLine(int index) { return program.clockTable.Lines[std::size_t(index)]; }
};

TEST_F(FrmComTest, OpensWithTheStoredSettingsAndItsHandlersKeepThemConsistent)
{
    program.settings.comPort = 9;
    program.settings.baudRateInUse = 9600;
    project::ModemRec &modem = program.project.Modem;
    modem.ModemInUse = 1;
    modem.ModemType = 2;
    modem.ModemInit = QStringLiteral("  AT&F1");
    modem.TelephoneNumber = QStringLiteral(" 0123 456");
    modem.CallBackNumber = QStringLiteral("  0987");
    open(Mode::Transmit);

    // Port 9 is not in the list: nothing chosen, and the setting stays until the user picks one.
    EXPECT_EQ(combo("cboPort")->currentIndex(), -1);
    EXPECT_EQ(program.settings.comPort, 9);
    EXPECT_EQ(combo("cboBaudrate")->currentText(), QStringLiteral("9600"));
    EXPECT_TRUE(check("ChkModem")->isChecked());
    EXPECT_EQ(combo("CboModem")->currentIndex(), 2);
    EXPECT_EQ(edit("TxtInitString")->text(), QStringLiteral("AT&F1"));
    EXPECT_TRUE(edit("TxtInitString")->isEnabled());
    EXPECT_EQ(edit("TxttelNr")->text(), QStringLiteral("0123 456"));
    EXPECT_TRUE(check("ChkCallBack")->isChecked());
    EXPECT_EQ(edit("TxtCallBack")->text(), QStringLiteral("0987"));
    EXPECT_TRUE(edit("TxtCallBack")->isEnabled());
    EXPECT_FALSE(check("ChkTimeSet")->isChecked());
    EXPECT_TRUE(check("ChkTimeSet")->isVisible());

    pick("cboPort", 2);
    EXPECT_EQ(program.settings.comPort, 3);
    pick("cboBaudrate", 3);
    EXPECT_EQ(program.settings.baudRateInUse, 19200);
    EXPECT_EQ(program.project.System.BaudRate, 19200);

    // Only the specific modem's string is the user's; the others are fixed.
    pick("CboModem", 1);
    EXPECT_EQ(edit("TxtInitString")->text(), QStringLiteral("ATZ0"));
    EXPECT_FALSE(edit("TxtInitString")->isEnabled());
    pick("CboModem", 2);
    EXPECT_EQ(edit("TxtInitString")->text(), QStringLiteral("AT&F1"));
    EXPECT_TRUE(edit("TxtInitString")->isEnabled());

    click("ChkModem");
    for (const char *name : {"CboModem", "TxttelNr", "ChkCallBack", "TxtInitString", "LblModem"})
        EXPECT_FALSE(dialog->findChild<QWidget *>(QString::fromLatin1(name))->isEnabled()) << name;
    click("ChkModem");
    EXPECT_TRUE(combo("CboModem")->isEnabled());
    EXPECT_TRUE(edit("TxtInitString")->isEnabled());

    click("ChkCallBack");
    EXPECT_TRUE(edit("TxtCallBack")->text().isEmpty());
    EXPECT_FALSE(edit("TxtCallBack")->isEnabled());
    EXPECT_FALSE(child<QLabel>("LblCallBack")->isEnabled());

    // Cancel before any transfer closes and stores nothing.
    click("cmdSendCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(program.project.Modem.CallBackNumber.trimmedRight(), QStringLiteral("  0987"));
    EXPECT_TRUE(line.written.isEmpty());
}

TEST_F(FrmComTest, TransmitSendsTheClockTableWithTheClockAndCloses)
{
    clockLine(0) = Line(clock::Continue, clock::Days, 1, 1, 3, 255, QDate(2026, 11, 2), 7);
    // A one-time line in the past is dropped before sending.
    clockLine(9) = Line(clock::Continue, clock::Once, 0, 1, 4, 255, QDate(2026, 12, 1), 8);
    program.project.Modem.ModemInUse = 1;
    program.project.Modem.CallBackNumber = QStringLiteral("0987");
    open(Mode::Transmit);
    click("ChkTimeSet");
    // The call-back given up: OK stores an empty number.
    click("ChkCallBack");
    // The plain send, without reading back.
    click("ChkVerify");

    click("cmdSendOK");

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(child<QProgressBar>("PanProgress")->value(), 100);
    EXPECT_EQ(child<QLabel>("lblProgress")->text(), QStringLiteral("Progress: 100%"));
    EXPECT_EQ(program.settings.timeSet, 1);
    EXPECT_TRUE(program.project.Modem.CallBackNumber.isBlank());
    EXPECT_EQ(program.project.Modem.ModemInUse, 1);
    EXPECT_EQ(program.project.Modem.ModemInit.trimmedRight(), QStringLiteral("AT&F%C0"));

    const QByteArray sent = unit.transfer().tables[18];
    ASSERT_EQ(sent.size(), link::CentralClockLength(100));
    EXPECT_EQ(sent.right(7), QByteArray("\x0e\x1e\x09\x0c\x00\x1a\x04", 7)); // Wed = 4
    EXPECT_FALSE(clockLine(9).inUse());

    // The next opening shows the call-back unchecked.
    open(Mode::Transmit);
    EXPECT_FALSE(check("ChkCallBack")->isChecked());
    EXPECT_TRUE(check("ChkTimeSet")->isChecked());
}

TEST_F(FrmComTest, AFailingUnitLeavesTheDialogOpenWithRetry)
{
    unit.transfer().config().version = 34;
    open(Mode::Transmit);
    prompter.expect(platform::Answer::Ok);

    click("cmdSendOK");

    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, failureText(667));
    EXPECT_TRUE(prompter.shown[0].text.startsWith(QStringLiteral("Communication problem:\n")));
    EXPECT_EQ(prompter.shown[0].title, platform::ErrorTitle);
    EXPECT_EQ(prompter.shown[0].icon, platform::Icon::Critical);
    EXPECT_EQ(prompter.beeps, 5);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->busy());
    EXPECT_EQ(button("cmdSendOK")->text(), QStringLiteral("Retry"));
    for (const char *name : {"cmdSendOK", "CmdRcv", "FraCom", "FraModem"})
        EXPECT_TRUE(dialog->findChild<QWidget *>(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(button("cmdSendOK")->isDefault());
    EXPECT_EQ(child<QProgressBar>("PanProgress")->value(), 0);
    EXPECT_FALSE(line.isOpen());

    // The texts put on again when the dialog is activated keep the caption.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(button("cmdSendOK")->text(), QStringLiteral("Retry"));

    unit.transfer().config().version = 33;
    prompter.expect(platform::Answer::Ok);
    click("cmdSendOK");
    EXPECT_EQ(prompter.shown.last().text, QStringLiteral("Sent and verified"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(unit.transfer().counters().tablesReceived, 1);
}

TEST_F(FrmComTest, CancelOrClosingWhileBusyStopsWithoutAMessage)
{
    unit.transfer().faults.silentAt = Step::Header;
    open(Mode::Transmit);
    // What the user does once the transfer has run for a while, and what the dialog looked like.
    std::function<void()> userAction;
    qint64 actAt = 0;
    bool lockedWhenActing = false;
    bool visibleAfterAction = false;
    pump.addHook([&](qint64 now) {
        if (userAction && now >= actAt) {
            lockedWhenActing = dialog->busy() && !button("cmdSendOK")->isEnabled() &&
                               !button("CmdRcv")->isEnabled() &&
                               !button("CmdPrgModem")->isEnabled() &&
                               button("cmdSendCancel")->isDefault();
            std::exchange(userAction, {})();
            visibleAfterAction = dialog->isVisible();
        }
    });
    auto transmitAndStop = [&](std::function<void()> action, qint64 at) {
        userAction = std::move(action);
        actAt = pump.msecs() + at;
        click("cmdSendOK");
        EXPECT_TRUE(lockedWhenActing);
        EXPECT_TRUE(visibleAfterAction);
        EXPECT_TRUE(prompter.shown.isEmpty());
        EXPECT_EQ(dialog->centralLink().LastCode(), link::LinkCode::Stopped);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(button("cmdSendOK")->text(), QStringLiteral("OK"));
        EXPECT_TRUE(button("cmdSendOK")->isEnabled());
        EXPECT_EQ(child<QLabel>("lblProgress")->text(), QStringLiteral("Progress: 0%"));
        EXPECT_FALSE(line.isOpen());
    };

    // Cancel during the connection's pauses: noticed at once.
    transmitAndStop([&] { click("cmdSendCancel"); }, 1500);
    EXPECT_LT(pump.msecs(), 1600);
    // Closing while waiting for the header echo: refused, and the transfer stops at once.
    const qint64 start = pump.msecs();
    transmitAndStop([&] { dialog->close(); }, 4000);
    EXPECT_LE(pump.msecs() - start, 4000 + 100);
    EXPECT_EQ(unit.transfer().counters().tablesReceived, 0);

    // Idle again: Cancel closes.
    click("cmdSendCancel");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FrmComTest, ReceiveEverythingAdoptsTheUnitsProject)
{
    ASSERT_TRUE(sim::LoadProjectIntoMemory(unit.transfer(), QStringLiteral(QUINTARA_DEMO_PROJECT),
                                           program.notices));
    project::SelectModel(program.project, 1, program.strings);
    program.project.Fans[0].Value = 1;
    program.project.Modem.ModemInUse = 1;
    program.project.Modem.TelephoneNumber = QStringLiteral("0123");
    // Clock lines on a fan the project names and on a motor it does not.
    program.names = settings::FillNameTables(program.strings);
    program.project.Fans[0].Name = QStringLiteral("Attic fan");
    clock::ApplyModel(program.clockTable, program.project);
    program.clockTable.Lines[0].FunctionType = project::FunctionType::Fan;
    program.clockTable.Lines[1].FunctionType = project::FunctionType::Motor;
    program.clockTable.Lines[1].FunctionNumber = 0;
    open(Mode::Receive);

    // The unit keeps no names, so the dialog asks first; No receives nothing.
    prompter.expect(platform::Answer::No);
    click("CmdRcv");
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(prompter.shown[0].defaultButton, platform::Answer::No);
    EXPECT_TRUE(line.written.isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    prompter.shown.clear();

    // A first try against a unit that echoes no table header fails after the retries.
    unit.transfer().faults.silentAt = Step::Header;
    prompter.expect(platform::Answer::Yes);
    prompter.expect(platform::Answer::Ok);
    click("CmdRcv");
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[1].text, failureText(656));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(button("CmdRcv")->isEnabled());
    EXPECT_TRUE(button("CmdRcv")->isDefault());
    EXPECT_TRUE(button("cmdSendOK")->isEnabled());
    EXPECT_EQ(button("cmdSendOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(program.project.Fans[0].Value, 1);

    unit.transfer().faults.silentAt = Step::None;
    prompter.expect(platform::Answer::Yes);
    click("CmdRcv");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(prompter.shown.size(), 3);
    // Functions the clock lines use keep the name the project gave them.
    EXPECT_EQ(program.project.Fans[0].Name.trimmedRight(), QStringLiteral("Attic fan"));
    EXPECT_FALSE(program.project.Motors[0].Name.isBlank());
    EXPECT_EQ(program.project.ModelIndex, 1);
    EXPECT_EQ(program.project.Fans[0].Value, 300);
    EXPECT_EQ(program.project.Motors[0].Bytes, (std::array<quint8, 2>{23, 24}));
    EXPECT_EQ(program.project.Flags[0].Name.trimmedRight(), QStringLiteral("Flags 0"));
    // The modem settings that reached the unit stay.
    EXPECT_EQ(program.project.Modem.ModemInUse, 1);
    EXPECT_EQ(program.project.Modem.TelephoneNumber.trimmedRight(), QStringLiteral("0123"));
    // The clock table is not part of a model-1 receive.
    EXPECT_FALSE(line.written.contains(static_cast<char>(128 + 18)));
}

TEST_F(FrmComTest, ModemProgrammingSendsTheCallBackLinesAndLocksTheDialog)
{
    program.project.Modem.ModemInUse = 1;
    open(Mode::Transmit);
    click("ChkCallBack");
    QTest::keyClicks(edit("TxtCallBack"), QStringLiteral(" 0987 "));
    bool lockedWhileOpen = true;
    pump.addHook([&](qint64) {
        if (line.isOpen())
            lockedWhileOpen = lockedWhileOpen && dialog->busy() &&
                              !button("cmdSendOK")->isEnabled() && !button("CmdRcv")->isEnabled();
    });
    prompter.expect(platform::Answer::Ok);

    click("CmdPrgModem");

    EXPECT_EQ(unit.transfer().modemLines(),
              (QStringList{"AT*P0:QZMRWTPX:0987", "ATS200=16", "AT&D0&K0K0S0=1%C0E0&W"}));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("OK"));
    EXPECT_EQ(prompter.shown[0].title, platform::ErrorTitle);
    EXPECT_TRUE(lockedWhileOpen);
    EXPECT_EQ(program.project.Modem.CallBackNumber.trimmedRight(), QStringLiteral("0987"));
    EXPECT_TRUE(button("cmdSendOK")->isEnabled());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FrmComTest, Screenshot)
{
    const QString folder = qEnvironmentVariable("QUINTARA_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "QUINTARA_SCREENSHOTS names no folder";
    project::ModemRec &modem = program.project.Modem;
    modem.ModemInUse = 1;
    modem.ModemType = 1;
    modem.TelephoneNumber = QStringLiteral("0032 9 123 45 67");
    modem.CallBackNumber = QStringLiteral("0032 9 765 43 21");
    program.settings.timeSet = 1;
    open(Mode::Transmit);
    EXPECT_TRUE(
        dialog->grab().toImage().save(QDir(folder).filePath(QStringLiteral("communication.png"))));
}

// The main window's Transmit and Receive open the dialog modally; the "user" presses its OK.
TEST_F(FrmComTest, VerifyingIsOnByDefaultCatchesWhatTheUnitKeptWrongAndIsRemembered)
{
    clockLine(6) = Line(clock::Continue, clock::Days, 1, 1, 3, 255, QDate(2026, 11, 2), 7);
    open(Mode::Transmit);
    EXPECT_TRUE(check("ChkVerify")->isVisible());
    EXPECT_TRUE(check("ChkVerify")->isChecked());
    EXPECT_EQ(check("ChkVerify")->text(), QStringLiteral("Read back and verify after sending"));

    // The unit keeps the minute of line 6 one off: the dialog stays open and says which line.
    unit.transfer().faults.corruptStoreAt = 7 * 6 + 1;
    prompter.expect(platform::Answer::Ok);
    click("cmdSendOK");
    const QString message = QStringLiteral("The central unit did not keep the clock table as it "
                                           "was sent. Lines that differ: 6 (07:00)");
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, message);
    EXPECT_EQ(prompter.shown[0].icon, platform::Icon::Critical);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(child<QLabel>("lblProgress")->text(), message);
    EXPECT_EQ(button("cmdSendOK")->text(), QStringLiteral("Retry"));
    EXPECT_TRUE(button("cmdSendOK")->isEnabled());

    // Sent again, it is kept right.
    prompter.expect(platform::Answer::Ok);
    click("cmdSendOK");
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("Sent and verified"));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    // Turned off, a send is only a send, and the next opening remembers it.
    open(Mode::Transmit);
    click("ChkVerify");
    click("cmdSendOK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(unit.transfer().counters().tablesServed, 2);
    EXPECT_EQ(program.profile.readString(QStringLiteral("Quintara"), ui::FrmCom::VerifyKey, {}, 5),
              QStringLiteral("0"));
    open(Mode::Transmit);
    EXPECT_FALSE(check("ChkVerify")->isChecked());
    // Receiving has nothing to verify.
    open(Mode::Receive);
    EXPECT_FALSE(check("ChkVerify")->isVisible());
}

// Comparing receives the unit's table beside the open one and leaves the open one alone.
TEST_F(FrmComTest, CompareWithTheUnitReceivesBesideTheOpenTable)
{
    clockLine(6) = Line(clock::Continue, clock::Days, 1, 1, 3, 255, QDate(2026, 11, 2), 7);
    open(Mode::Transmit);
    click("ChkVerify"); // a plain send
    click("cmdSendOK");
    ASSERT_EQ(dialog->result(), QDialog::Accepted);

    // The open table moves on: line 6 an hour later, line 9 new.
    clockLine(6).Hour = 8;
    clockLine(9) = Line(clock::Special, clock::Once, 0, 1, 4, 255, QDate(2026, 12, 24), 18);
    const auto open = program.clockTable.Lines;
    this->open(Mode::Compare);
    EXPECT_FALSE(check("ChkVerify")->isVisible());
    click("cmdSendOK");
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(dialog->comparison());
    const clock::TableDiff &diff = dialog->comparison()->diff;
    ASSERT_EQ(diff.lines.size(), 2);
    EXPECT_EQ(diff.lines[0].line, 6);
    ASSERT_EQ(diff.lines[0].fields.size(), 1);
    EXPECT_EQ(diff.lines[0].fields[0].field, clock::LineField::Hour);
    EXPECT_EQ(diff.lines[1].line, 9);
    EXPECT_EQ(diff.lines[1].kind, clock::LineDifference::Kind::OnlyInA);
    EXPECT_EQ(program.clockTable.Lines, open);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(FrmComTest, TheMainWindowsTransmitAndReceiveGoThroughTheDialog)
{
    quintara::testing::ScriptedFileDialogs files;
    clock::ApplyModel(program.clockTable, program.project);
    ui::FrmKlokken window(program, files);
    ui::InstallLinkCommands(window, program, line);
    window.show();
    QList<ui::FrmCom::Mode> modes;
    auto pressOkInTheDialog = [&] {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<ui::FrmCom *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            modes.append(dialog->mode());
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdSendOK")),
                              Qt::LeftButton);
        });
    };

    // Monday evening of this week.
    clockLine(4) = Line(clock::Continue, clock::Weeks, 1, 1, 2, 255, QDate(2026, 12, 7), 20);
    pressOkInTheDialog();
    prompter.expect(platform::Answer::Ok);
    window.files().Transmit();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("Sent and verified"));
    EXPECT_EQ(unit.transfer().counters().tablesReceived, 1);
    // Markers on screen for a line: its reference marker and its repeat markers.
    auto shownMarkers = [&window](int index) {
        const auto &markers = window.weekModel().markers();
        return std::count_if(markers.begin(), markers.end(),
                             [index](const ui::WeekMarker &m) { return m.line == index; });
    };
    EXPECT_EQ(shownMarkers(4), 1);

    // Sending gave the lines their chains, which change nothing a user would save: Receive
    // replaces the table without a question.
    EXPECT_FALSE(program.clockTable.TableChanged);
    clockLine(4) = {};
    window.ScrWeeks_Change();
    EXPECT_EQ(shownMarkers(4), 0);
    pressOkInTheDialog();
    window.files().Receive();
    EXPECT_EQ(modes,
              (QList<ui::FrmCom::Mode>{ui::FrmCom::Mode::Transmit, ui::FrmCom::Mode::Receive}));
    EXPECT_EQ(clockLine(4).FunctionNumber, 2);
    EXPECT_EQ(shownMarkers(4), 1);
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_FALSE(line.isOpen());
}

// A send that fails once the unit may hold the new table offers to compare, and the window then
// shows what the unit holds beside the open table.
TEST_F(FrmComTest, AFailedSendWhoseTableTheUnitMayHoldOffersTheComparison)
{
    quintara::testing::ScriptedFileDialogs files;
    clock::ApplyModel(program.clockTable, program.project);
    ui::FrmKlokken window(program, files);
    ui::InstallLinkCommands(window, program, line);
    std::optional<clock::TableDiff> compared;
    QString comparedWith;
    window.exports().compareDialog = [&](const clock::TableDiff &diff, const clock::ClockTable &,
                               const QString &name) {
        compared = diff;
        comparedWith = name;
    };
    clockLine(4) = Line(clock::Continue, clock::Weeks, 1, 1, 2, 255, QDate(2026, 12, 7), 20);
    // The unit keeps the table but answers no end byte until the four attempts are over.
    unit.transfer().faults.silentAt = Step::Ending;
    pump.addHook([this](qint64) {
        if (unit.transfer().counters().endings >= 4)
            unit.transfer().faults.silentAt = Step::None;
    });
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdSendOK")),
                          Qt::LeftButton);
    });
    prompter.expect(platform::Answer::Yes);
    window.files().Transmit();

    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(prompter.shown[0].text,
              failureText(662) +
                  QStringLiteral("\nThe central unit may already hold the new table.\n\n"
                                 "Compare the central unit's table with the open one now?"));
    // It does: nothing differs.
    ASSERT_TRUE(compared.has_value());
    EXPECT_TRUE(compared->lines.isEmpty());
    EXPECT_EQ(comparedWith, program.strings.GetResString(2475));
    EXPECT_FALSE(line.isOpen());
}

// With "[Link] Trace=1" the window keeps the last transfer's trace for support.
TEST_F(FrmComTest, CommunicationSavesTheLastTraceWhenTracingIsOn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    program.profile = settings::ProfileFile(dir.filePath(QStringLiteral("Ventora.ini")));
    quintara::testing::ScriptedFileDialogs files;
    clock::ApplyModel(program.clockTable, program.project);
    ui::FrmKlokken window(program, files);
    ui::InstallLinkCommands(window, program, line);
    auto *menu = window.findChild<QMenu *>(QStringLiteral("mmuCom"));
    auto *save = window.findChild<QAction *>(QStringLiteral("mmuComSaveTrace"));
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(save, nullptr);
    const auto transmit = [&] {
        prompter.expect(platform::Answer::Ok); // "Sent and verified"
        QTimer::singleShot(0, [] {
            auto *com = qobject_cast<ui::FrmCom *>(QApplication::activeModalWidget());
            ASSERT_NE(com, nullptr);
            QTest::mouseClick(com->findChild<QPushButton *>(QStringLiteral("cmdSendOK")),
                              Qt::LeftButton);
        });
        window.files().Transmit();
        emit menu->aboutToShow();
    };

    transmit();
    EXPECT_FALSE(save->isEnabled()); // tracing is off by default
    ASSERT_TRUE(program.profile.writeString(QStringLiteral("Link"), QStringLiteral("Trace"),
                                            QStringLiteral("1")));
    transmit();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(save->text(), QStringLiteral("Save last trace..."));

    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    files.answer(path);
    save->trigger();
    ASSERT_EQ(files.asked.size(), 1);
    EXPECT_TRUE(files.asked[0].save);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray trace = file.readAll();
    EXPECT_TRUE(trace.contains("PC>  header 18    B2")) << trace.constData();
    EXPECT_TRUE(trace.contains("<CU  end          60")) << trace.constData();
    EXPECT_EQ(unit.transfer().counters().tablesReceived, 2);
}

} // namespace
