// The communication dialog with its real controls, against the simulator's engine on a fake
// serial line and virtual time, and end to end as the demo is set up: the simulator executable
// on a pseudo-terminal with the demo installation in its memory, the settings' [Ports] naming it.
#include "ui/FrmCom.h"

#include "link/ClockConversion.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "link/TrafficTrace.h"
#include "link/Transfer.h"
#include "platform/EventPump.h"
#include "project/ProjectFileReader.h"
#include "settings/ProfileFile.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/CentralSimProcess.h"
#include "tests/ui/WindowTestSupport.h"
#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/ProjectMemory.h"
#include "ui/FrmKlokken.h"
#include "ui/LinkCommands.h"

#include <QLabel>

using namespace quintara;
using namespace quintara::testing;
using namespace quintara::testing::window;
using Mode = ui::FrmCom::Mode;
using Step = sim::TransferSide::SilentStep;
using platform::Answer;

namespace {

// The program at half past two, its settings in a file of the test's own.
struct FrmComTest : ProgramTest {
    // Made before anything else listens to the pump, as the line's bytes leave first.
    quintara::testing::FakeSerialLine line{pump};
    sim::CentralUnit unit;
    std::unique_ptr<ui::FrmCom> dialog;

    FrmComTest()
    {
        clock.at = QDateTime(Today, QTime(14, 30));
        quintara::testing::ConnectCentralUnit(unit, line, pump);
        pump.addHook([this](qint64) { line.carrier = unit.transfer().carrier(); });
        project::NewProject(program.project, 19200, 0);
        project::SelectModel(program.project, 0, program.strings);
        program.clockTable.MaxClockLines = 100;
    }
    ~FrmComTest() override { EXPECT_TRUE(prompter.allAnswered()); }

    void open(Mode mode)
    {
        dialog = std::make_unique<ui::FrmCom>(program, mode, line);
        dialog->show();
    }
    template <typename T = QWidget> T *child(const char *name) const
    {
        return Named<T>(dialog.get(), QString::fromLatin1(name));
    }
    QString text(const char *name) const { return child<QLineEdit>(name)->text(); }
    // The user clicks a button or check box (a check box at its box, not its text).
    void click(const char *name) const
    {
        QAbstractButton *target = child<QAbstractButton>(name);
        const QPoint at = qobject_cast<QCheckBox *>(target) ? QPoint(6, target->height() / 2)
                                                            : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    }
    bool checked(const char *name) const { return child<QCheckBox>(name)->isChecked(); }
    // The message of a failed transfer ends with what failed.
    bool failedWith(int code) const
    {
        return lastMessage().endsWith(":\n" + program.strings.GetResString(code));
    }
    clock::ClockLine &clockLine(int index) { return program.clockTable.Lines[std::size_t(index)]; }
    // The dialog idle again after a transfer: the user may try again, and the line is closed.
    void expectIdle(const char *caption)
    {
        EXPECT_TRUE(dialog->isVisible() && !dialog->busy() && !line.isOpen());
        EXPECT_EQ(child<QPushButton>("cmdSendOK")->text().remove(u'&'), caption);
        for (const char *name : {"cmdSendOK", "CmdRcv", "FraCom", "FraModem"})
            EXPECT_TRUE(child(name)->isEnabled()) << name;
    }
};

// The dialog opens with the stored settings, its handlers keep them consistent, and Cancel
// stores nothing; a transmit sends the clock table with the clock and closes.
TEST_F(FrmComTest, OpensWithTheStoredSettingsAndTransmitsTheClockTable)
{
    clockLine(0) = Line(QDate(2026, 11, 2), 7, 0, clock::Continue, clock::Days, 1, 1, 3);
    // A one-time line in the past is dropped before sending.
    clockLine(9) = Line(QDate(2026, 12, 1), 8, 0, clock::Continue, clock::Once, 0, 1, 4);
    program.settings.comPort = 9;
    program.settings.baudRateInUse = 9600;
    program.project.Modem = {1, 2, QStringLiteral("  AT&F1"), QStringLiteral(" 0123 456"),
                             QStringLiteral("  0987")};
    open(Mode::Transmit);
    EXPECT_EQ(child<QLabel>("LblDirection")->text(), "Send the clock table to the central unit.");
    EXPECT_EQ(AltLetterFaults(*dialog), QStringList());
    // Port 9 is not in the list: nothing chosen, and the setting stays until the user picks one.
    EXPECT_EQ(child<QComboBox>("cboPort")->currentIndex(), -1);
    EXPECT_EQ(QStringList({child<QComboBox>("cboBaudrate")->currentText(), text("TxtInitString"),
                           text("TxttelNr"), text("TxtCallBack")}),
              QStringList({"9600", "AT&F1", "0123 456", "0987"}));
    EXPECT_TRUE(checked("ChkModem") && checked("ChkCallBack") && !checked("ChkTimeSet"));

    // The user picks with the keyboard.
    for (const auto &[list, index] : {std::pair("cboPort", 1), std::pair("cboBaudrate", 3)}) {
        QTest::keyClick(child(list), Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(child(list), Qt::Key_Down);
    }
    EXPECT_EQ(QList<int>({program.settings.comPort, program.settings.baudRateInUse,
                          program.project.System.BaudRate}),
              QList<int>({2, 19200, 19200}));
    click("ChkCallBack");
    EXPECT_TRUE(text("TxtCallBack").isEmpty() && !child("TxtCallBack")->isEnabled());

    // Cancel before any transfer closes and stores nothing.
    click("cmdSendCancel");
    EXPECT_TRUE(!dialog->isVisible() && dialog->result() == QDialog::Rejected &&
                line.written.isEmpty());
    EXPECT_EQ(program.project.Modem.CallBackNumber.trimmedRight(), QStringLiteral("  0987"));

    open(Mode::Transmit);
    // The clock set, the call-back given up, and the plain send without reading back.
    for (const char *box : {"ChkTimeSet", "ChkCallBack", "ChkVerify"})
        click(box);
    click("cmdSendOK");
    EXPECT_TRUE(!dialog->isVisible() && dialog->result() == QDialog::Accepted &&
                prompter.shown.isEmpty() && !line.isOpen() && !clockLine(9).inUse());
    EXPECT_TRUE(program.settings.timeSet == 1 && program.project.Modem.CallBackNumber.isBlank());
    const QByteArray sent = unit.transfer().tables[18];
    EXPECT_TRUE(sent.size() == link::CentralClockLength(100) &&
                sent.endsWith(QByteArray("\x0e\x1e\x09\x0c\x00\x1a\x04", 7))); // Wed = 4
    // The next opening shows the call-back unchecked, and remembers the choices.
    open(Mode::Transmit);
    EXPECT_TRUE(!checked("ChkCallBack") && checked("ChkTimeSet") && !checked("ChkVerify"));
}

// Cancel during the connection's pauses, and closing while the dialog waits for the header
// echo, stop the transfer at once and without a message.
TEST_F(FrmComTest, CancelOrClosingWhileBusyStopsWithoutAMessage)
{
    unit.transfer().faults.silentAt = Step::Header;
    open(Mode::Transmit);
    std::function<void()> act;
    qint64 actAt = 0;
    bool locked = false; // the dialog as the user found it
    pump.addHook([&](qint64 now) {
        if (act && now >= actAt) {
            locked = dialog->busy() && !child("cmdSendOK")->isEnabled();
            std::exchange(act, {})();
        }
    });
    const std::pair<qint64, std::function<void()>> stops[] = {
        {1500, [&] { click("cmdSendCancel"); }}, {4000, [&] { dialog->close(); }}};
    for (const auto &[after, stop] : stops) {
        actAt = pump.msecs() + after;
        act = stop;
        click("cmdSendOK");
        EXPECT_TRUE(locked && dialog->isVisible() && prompter.shown.isEmpty()) << after;
        EXPECT_LE(pump.msecs() - actAt, 100);
        EXPECT_EQ(dialog->centralLink().LastCode(), link::LinkCode::Stopped);
        // No box, but the dialog says what the unit holds: no table reached it.
        EXPECT_EQ(child<QLabel>("lblProgress")->text(),
                  "Cancelled: the central unit's table is unchanged.");
        expectIdle("OK");
    }
    EXPECT_EQ(unit.transfer().counters().tablesReceived, 0);
    // Idle again: Cancel closes.
    click("cmdSendCancel");
    EXPECT_FALSE(dialog->isVisible());
}

// What a receive of everything brings, and that names in use are kept, is the link's and the
// pty test's; the dialog asks first, fills in the names it lacks and keeps the modem settings.
TEST_F(FrmComTest, ReceiveEverythingAsksFirstAndKeepsTheNamesInUse)
{
    ASSERT_TRUE(sim::LoadProjectIntoMemory(unit.transfer(), QStringLiteral(QUINTARA_DEMO_PROJECT),
                                           program.notices));
    project::SelectModel(program.project, 1, program.strings);
    program.project.Fans[0].Value = 1;
    program.project.Modem.ModemInUse = 1;
    program.project.Modem.TelephoneNumber = QStringLiteral("0123");
    // A clock line on a motor the project does not name.
    program.names = settings::FillNameTables(program.strings);
    clock::ApplyModel(program.clockTable, program.project);
    clockLine(1).FunctionType = project::FunctionType::Motor;
    clockLine(1).FunctionNumber = 0;
    open(Mode::Receive);

    // The unit keeps no names, so the dialog asks first; No receives nothing.
    prompter.expect(Answer::No);
    click("CmdRcv");
    EXPECT_TRUE(prompter.shown[0].buttons == platform::Buttons::YesNo &&
                prompter.shown[0].defaultButton == Answer::No && line.written.isEmpty());
    // A unit that echoes no table header fails after the retries; the project stays.
    unit.transfer().faults.silentAt = Step::Header;
    prompter.expect(Answer::Yes);
    prompter.expect(Answer::Ok);
    click("CmdRcv");
    EXPECT_TRUE(failedWith(656) && program.project.Fans[0].Value == 1);

    unit.transfer().faults.silentAt = Step::None;
    prompter.expect(Answer::Yes);
    click("CmdRcv");
    EXPECT_TRUE(!dialog->isVisible() && dialog->result() == QDialog::Accepted &&
                !program.project.Motors[0].Name.isBlank());
    EXPECT_EQ(program.project.Modem.TelephoneNumber.trimmedRight(), QStringLiteral("0123"));
    // The clock table is not part of a model-1 receive.
    EXPECT_FALSE(line.written.contains(static_cast<char>(128 + 18)));
}

// A failing unit leaves the dialog open with Retry; so does one that keeps the table wrong,
// which the read-back after sending (on by default) catches.
TEST_F(FrmComTest, FailuresAndWhatTheUnitKeptWrongLeaveTheDialogOpenWithRetry)
{
    clockLine(6) = Line(QDate(2026, 11, 2), 7, 0, clock::Continue, clock::Days, 1, 1, 3);
    const quint8 version = std::exchange(unit.transfer().config().version, 34);
    open(Mode::Transmit);
    EXPECT_TRUE(child("ChkVerify")->isVisible() && checked("ChkVerify"));
    prompter.expect(Answer::Ok);
    click("cmdSendOK");
    EXPECT_TRUE(failedWith(667) && prompter.shown[0].title == platform::ProgramTitle &&
                prompter.shown[0].icon == platform::Icon::Critical && prompter.beeps == 5);
    expectIdle("Retry");
    EXPECT_TRUE(child<QPushButton>("cmdSendOK")->isDefault());
    // The texts put on again when the dialog is activated keep the caption.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(child<QPushButton>("cmdSendOK")->text().remove(u'&'), "Retry");

    // The unit keeps the minute of line 6 one off: the dialog stays open and says which line.
    unit.transfer().config().version = version;
    unit.transfer().faults.corruptStoreAt = 7 * 6 + 1;
    prompter.expect(Answer::Ok);
    click("cmdSendOK");
    const QString message = QStringLiteral("The central unit did not keep the clock table as it "
                                           "was sent. Lines that differ: 6 (07:00)");
    EXPECT_TRUE(lastMessage() == message && prompter.shown[1].icon == platform::Icon::Critical &&
                child<QLabel>("lblProgress")->text() == message);
    expectIdle("Retry");
    // Retried, it is kept right, and the dialog closes.
    prompter.expect(Answer::Ok);
    click("cmdSendOK");
    EXPECT_TRUE(lastMessage() == "Sent and verified" && !dialog->isVisible() &&
                dialog->result() == QDialog::Accepted);
    // Receiving has nothing to verify.
    open(Mode::Receive);
    EXPECT_FALSE(child("ChkVerify")->isVisible());
}

// The main window's Transmit and Receive open the dialog modally; the "user" presses its OK.
TEST_F(FrmComTest, TheWindowsCommandsGoThroughTheDialogAndKeepTheLastTrace)
{
    clock::ApplyModel(program.clockTable, program.project);
    ui::FrmKlokken window(program, dialogs);
    ui::InstallLinkCommands(window, program, line);
    window.show();
    const ModalAnswer pressOk(QStringLiteral("FrmCom"), QStringLiteral("cmdSendOK"), 4);

    // Monday evening of this week.
    clockLine(4) = Line(Monday, 20, 0, clock::Continue, clock::Weeks, 1, 1, 2);
    prompter.expect(Answer::Ok);
    window.files().Transmit();
    EXPECT_EQ(lastMessage(), "Sent and verified");

    // Sending gave the lines their chains, which change nothing a user would save: Receive
    // replaces the table without a question.
    EXPECT_FALSE(program.clockTable.TableChanged);
    clockLine(4) = {};
    window.files().Receive();
    EXPECT_TRUE(clockLine(4).FunctionNumber == 2 && prompter.shown.size() == 1);

    // With "[Link] Trace=1" the window keeps the last transfer's trace for support.
    ASSERT_TRUE(program.profile.writeString(QStringLiteral("Link"), QStringLiteral("Trace"),
                                            QStringLiteral("1")));
    prompter.expect(Answer::Ok); // "Sent and verified"
    window.files().Transmit();
    emit Named<QMenu>(&window, QStringLiteral("mmuCom"))->aboutToShow();
    auto *save = Named<QAction>(&window, QStringLiteral("mmuComSaveTrace"));
    EXPECT_TRUE(save->isEnabled());
    dialogs.answer(dir.filePath(QStringLiteral("trace.txt")));
    save->trigger();
    EXPECT_TRUE(
        FileBytes(dir.filePath(QStringLiteral("trace.txt"))).contains("PC>  header 18    B2"));

    // A send that fails once the unit may hold the new table offers to compare, and the window
    // then shows what the unit holds beside the open table. The unit keeps the table but
    // answers no end byte until the four attempts are over.
    std::optional<clock::TableDiff> compared;
    window.exports().compareDialog = [&](const clock::TableDiff &diff, const clock::ClockTable &,
                                         const QString &name) {
        compared = diff;
        EXPECT_EQ(name, program.strings.GetResString(2475));
    };
    unit.transfer().faults.silentAt = Step::Ending;
    const int endingsBefore = unit.transfer().counters().endings;
    pump.addHook([this, endingsBefore](qint64) {
        if (unit.transfer().counters().endings >= endingsBefore + 4)
            unit.transfer().faults.silentAt = Step::None;
    });
    prompter.expect(Answer::Yes);
    window.files().Transmit();
    EXPECT_TRUE(lastMessage().endsWith("Compare the central unit's table with the open one now?"));
    // It does: nothing differs.
    EXPECT_TRUE(compared && compared->lines.isEmpty() && !line.isOpen() && pressOk.seen == 4);
}

} // namespace

// A port bound to a serial port server from the dialog, by keyboard: an address that is none
// keeps the small dialog open, a whole one goes into the settings file and the list (each port
// says what it reaches), and nothing gives the port its own device back.
TEST_F(FrmComTest, APortIsBoundToASerialPortServerInTheDialog)
{
    program.settings.comPort = 3;
    open(Mode::Transmit);
    const auto bind = [this](const QStringList &typed) {
        QList<bool> stillOpen;
        QTimer::singleShot(0, [&] {
            QWidget *form = QApplication::activeModalWidget();
            ASSERT_TRUE(form && form->objectName() == "PortDeviceDialog");
            for (const QString &text : typed) {
                auto *edit = Named<QLineEdit>(form, QStringLiteral("txtDevice"));
                edit->selectAll();
                QTest::keyClicks(edit, text);
                if (text.isEmpty())
                    QTest::keyClick(edit, Qt::Key_Delete);
                QTest::keyClick(edit, Qt::Key_Return);
                stillOpen << form->isVisible();
            }
            if (form->isVisible())
                form->close();
        });
        QTest::keyClick(child("cmdPortDevice"), Qt::Key_Space);
        return stillOpen;
    };
    EXPECT_EQ(bind({"http://gateway:4001", "tcp://gateway", "rfc2217://192.168.1.20:2217"}),
              QList<bool>({true, true, false}));
    const auto bound = [this] {
        return program.profile.readString("Ports", "COM3", "(none)", 255);
    };
    EXPECT_EQ(
        std::tuple(bound(), child<QComboBox>("cboPort")->currentText(), program.settings.comPort),
        std::tuple(QStringLiteral("rfc2217://192.168.1.20:2217"),
                   QStringLiteral("COM3 – rfc2217://192.168.1.20:2217"), 3));

    EXPECT_EQ(bind({""}), QList<bool>({false}));
    EXPECT_EQ(std::pair(bound(), child<QComboBox>("cboPort")->currentText()),
              std::pair(QString(), "COM3 – " + settings::OwnPortDeviceName(3)));
}

// Each transfer of the clock table also says how it ended, which the window keeps as a version
// of the site in the editor.
TEST(FrmComPty, TransmitReceiveAndReceiveEverythingAgainstTheSimulatedDemoUnit)
{
    CentralSimProcess unit{QStringLiteral(QUINTARA_CENTRAL_SIM),
                           {QStringLiteral("--project"), QStringLiteral(QUINTARA_DEMO_PROJECT)}};
    ASSERT_FALSE(unit.device.isEmpty());
    QTemporaryDir dir;
    const QString settingsPath = WriteFile(dir.filePath(QStringLiteral("Ventora.ini")),
                                           "[Ports]\nCOM2=" + unit.device.toLocal8Bit());
    ScriptedPrompter prompter;
    FixedClock clock{QDateTime(Today, QTime(14, 30))};
    platform::QtEventPump pump;
    ui::Program program{prompter, clock, pump, settings::ProfileFile(settingsPath)};
    program.settings.comPort = 2;
    program.settings.nbtFile = QStringLiteral(QUINTARA_DEMO_PROJECT);
    project::ProjectRead read =
        project::ReadProjectFile(program.settings.nbtFile, program.settings, program.strings);
    ASSERT_EQ(read.status, project::ReadOutcome::Read);
    project::AdoptProjectRead(read, program.settings.nbtFile, program.project, program.settings);
    clock::ApplyModel(program.clockTable, program.project);
    clock::ClockLine &line = program.clockTable.Lines[3];
    line = Line(QDate(2026, 12, 1), 7, 15, clock::Continue, clock::Days, 1, 1, 2);
    link::QtSerialLine serial(link::DeviceMapFromSettings(program.profile));
    link::TrafficTrace trace;
    QList<std::pair<book::VersionEvent, int>> ended;
    const auto run = [&](Mode mode, const char *buttonName) {
        ui::FrmCom dialog(program, mode, serial, nullptr, &trace);
        dialog.tableTransferEnded = [&](const ui::FrmCom::TableTransfer &transfer) {
            ended.append({transfer.event, transfer.outcome});
            EXPECT_FALSE(trace.isEmpty());
        };
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QString::fromLatin1(buttonName)),
                          Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << buttonName;
        EXPECT_FALSE(serial.isOpen());
    };

    // Read back and verified, as it is unless the user turns it off.
    prompter.expect(platform::Answer::Ok);
    run(Mode::Transmit, "cmdSendOK");
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("Sent and verified"));
    line = {};
    run(Mode::Receive, "cmdSendOK");
    EXPECT_EQ(QList<int>({line.Hour, line.FunctionNumber, line.Day}), QList<int>({7, 2, 9}));
    EXPECT_EQ(ended, (QList<std::pair<book::VersionEvent, int>>{
                         {book::VersionEvent::Verified, 0}, {book::VersionEvent::Received, 0}}));

    // Receiving everything asks first; the relay the clock line switches keeps its name.
    const QString relayName = program.project.RelayName(2);
    ASSERT_FALSE(relayName.trimmed().isEmpty());
    prompter.expect(platform::Answer::Yes);
    run(Mode::Transmit, "CmdRcv");
    EXPECT_EQ(std::tuple(program.project.ModelIndex, program.project.Fans[0].Value,
                         program.project.Flags[0].Name.trimmedRight(), program.project.RelayName(2),
                         prompter.shown.size()),
              std::tuple(1, 300, QStringLiteral("Flags 0"), relayName, 2));
}
