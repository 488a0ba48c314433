// The communication dialog end to end, set up as the demo is: the simulator executable on a
// pseudo-terminal with the demo installation in its memory, the settings' [Ports] naming it.
#include "ui/FrmCom.h"

#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "platform/EventPump.h"
#include "project/ProjectFileReader.h"
#include "tests/support/CentralSimProcess.h"
#include "tests/ui/WindowTestSupport.h"

using namespace quintara;
using Mode = ui::FrmCom::Mode;

namespace {

TEST(FrmComPty, TransmitReceiveAndReceiveEverythingAgainstTheSimulatedDemoUnit)
{
    quintara::testing::CentralSimProcess unit{
        QStringLiteral(QUINTARA_CENTRAL_SIM),
        {QStringLiteral("--project"), QStringLiteral(QUINTARA_DEMO_PROJECT)}};
    ASSERT_FALSE(unit.device.isEmpty());
    QTemporaryDir dir;
    const QString settingsPath = quintara::testing::window::WriteFile(
        dir.filePath(QStringLiteral("Ventora.ini")), "[Ports]\nCOM2=" + unit.device.toLocal8Bit());
    quintara::testing::ScriptedPrompter prompter;
    quintara::testing::FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(14, 30))};
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
    line = quintara::testing::window::Line(QDate(2026, 12, 1), 7, 15, clock::Continue,
                                           clock::Days, 1, 1, 2);
    link::QtSerialLine serial(link::DeviceMapFromSettings(program.profile));
    const auto run = [&](Mode mode, const char *buttonName) {
        ui::FrmCom dialog(program, mode, serial);
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

    // Receiving everything asks first; the relay the clock line switches keeps its name.
    const QString relayName = program.project.RelayName(2);
    ASSERT_FALSE(relayName.trimmed().isEmpty());
    prompter.expect(platform::Answer::Yes);
    run(Mode::Transmit, "CmdRcv");
    EXPECT_EQ(program.project.ModelIndex, 1);
    EXPECT_EQ(program.project.Fans[0].Value, 300);
    EXPECT_EQ(program.project.Flags[0].Name.trimmedRight(), QStringLiteral("Flags 0"));
    EXPECT_EQ(program.project.RelayName(2), relayName);
    EXPECT_EQ(prompter.shown.size(), 2);
}

} // namespace
