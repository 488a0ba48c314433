// Table transfers and the on-line test end to end against the simulator executable.
#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/DeviceLine.h"
#include "link/Kalvenor.h"
#include "link/OnlineTest.h"
#include "link/Ticker.h"
#include "platform/EventPump.h"
#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"
#include "tables/TableSlots.h"
#include "tests/link/EventLog.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/CentralSimProcess.h"
#include "tests/support/FixedClock.h"
#include "tests/support/TestYears.h"

#include <QDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace quintara::link {
namespace {

// The tests' main() sees to it that QUINTARA_SOURCE_DIR names the source tree.
QString DemoPath()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.nbt");
}

// Against the simulator executable on each kind of line: a pseudo-terminal, raw TCP and Telnet
// with COM port control, the line chosen as the program chooses it, by the device's name.
class TransferSim : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        const QString kind = QString::fromLatin1(GetParam());
        ASSERT_TRUE(sim.device.startsWith(kind == u"pty" ? QStringLiteral("/dev/") : kind + u':'))
            << sim.device.toStdString();
        project::ProjectRead read =
            project::ReadProjectFile(DemoPath(), settings::Settings(), strings);
        ASSERT_EQ(read.status, project::ReadOutcome::Read);
        demo = std::move(read.model);
        link.setup.portNumber = 1;
    }

    static QStringList SimArguments()
    {
        QStringList arguments{QStringLiteral("--project"), DemoPath()};
        if (const QString kind = QString::fromLatin1(GetParam()); kind != u"pty")
            arguments << QStringLiteral("--listen") << kind + QStringLiteral("://127.0.0.1:0");
        return arguments;
    }

    testing::CentralSimProcess sim{QStringLiteral(QUINTARA_CENTRAL_SIM), SimArguments()};
    DeviceLine line{[this](int port) { return port == 1 ? sim.device : QString(); }};
    platform::QtEventPump pump;
    settings::Strings strings{settings::StringTable::builtIn()};
    CentralLink link{line, pump, strings};
    Drive drive = testing::DriveOn(pump);
    std::unique_ptr<project::ProjectModel> demo = std::make_unique<project::ProjectModel>();
};

TEST_P(TransferSim, TheClockTableGoesToTheUnitAndComesBackTheSame)
{
    // A clock table of the kind the demo house has: lights, a dimmer, moods, shutters, dated
    // around 9 December 2026; levels of 255 and a minute of 13 for Telnet to escape or mistake.
    using namespace clock;
    clock::ClockTable sent;
    sent.MaxClockLines = static_cast<qint16>(demo->Limits.ClockLines);
    ASSERT_EQ(sent.MaxClockLines, 100);
    for (const auto &[index, bytes] : QList<std::pair<int, ClockLine::Bytes>>{
             {0, {0, 7, 29, 11, 26, Workday, Days, 1, 1, 3, 255, 0, 0}},
             {1, {30, 22, 6, 12, 26, Continue, Days, 1, 1, 3, 0, 0, 0}},
             {2, {15, 18, 2, 12, 26, Simulation, Days, 1, 2, 1, 127, 0, 0}},
             {3, {0, 8, 7, 12, 26, Weekend, Days, 1, 6, 2, 255, 0, 0}},
             {5, {45, 6, 19, 11, 26, Continue, Workdays, 1, 10, 1, 255, 0, 0}},
             {8, {0, 12, 9, 11, 26, Special, Weeks, 2, 2, 4, 3, 0, 0}},
             {13, {59, 23, 11, 12, 26, Continue, Once, 0, 8, 5, 255, 0, 0}},
             {42, {13, 0, 25, 10, 26, Continue, Months, 1, 15, 1, 0, 0, 0}}})
        sent.Lines[static_cast<std::size_t>(index)] = ClockLine::fromBytes(bytes);

    const testing::FixedClock now{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    tables::TableSet set;
    ASSERT_TRUE(SendClockTable(link, drive, set, sent, *demo, now, true).ok());
    EXPECT_FALSE(line.isOpen());
    clock::ClockTable received;
    received.MaxClockLines = 100;
    ASSERT_TRUE(ReceiveClockTable(link, drive, set, received, *demo, now).ok());
    for (int i = 0; i < 100; ++i) {
        clock::ClockLine expected = sent.Lines[static_cast<std::size_t>(i)];
        if (i >= clock::TableKindCount)
            expected.FirstLine = 0; // only the five chain heads travel
        EXPECT_EQ(received.Lines[static_cast<std::size_t>(i)], expected) << i;
    }
    // The normalisation gave the workday line yesterday's date; the chain of table 0 starts
    // at line 1.
    EXPECT_EQ(clock::ReferenceDate(received.Lines[0], quintara::testing::Years2026),
              QDate(2026, 12, 8));
    EXPECT_EQ(received.Lines[0].FirstLine, 1);
}

TEST_P(TransferSim, ReceivingEverythingGivesTheProjectTheUnitWasProgrammedWith)
{
    auto model = std::make_unique<project::ProjectModel>();
    project::NewProject(*model, 19200, 0);
    project::SelectModel(*model, demo->ModelIndex, strings);
    tables::TableSet set;
    ASSERT_TRUE(ReceiveEverything(link, drive, set, *model, 19200).ok());
    EXPECT_EQ(model->Flags[1].Name.trimmedRight(), QStringLiteral("Flags 1"));

    tables::TableSet fromDemo;
    tables::TableSet fromReceived;
    ASSERT_TRUE(tables::TableCompiler(fromDemo, *demo, strings).BuildAllTables().ok);
    ASSERT_TRUE(tables::TableCompiler(fromReceived, *model, strings).BuildAllTables().ok);
    namespace slot = tables::TableSlot;
    for (int n = 0; n < tables::TableSet::SlotCount; ++n) {
        // Sensor names and message texts are not part of what the unit sends back.
        if (n == slot::Sensors || n == slot::Messages)
            continue;
        EXPECT_EQ(std::pair(fromReceived[n].Length, fromReceived[n].Data),
                  std::pair(fromDemo[n].Length, fromDemo[n].Data))
            << n;
    }
}

TEST_P(TransferSim, TheOnlineTestSwitchesTheFunctionAndCancelEndsATransferAtOnce)
{
    {
        // The on-line test closes the line as soon as its frame is written: the frame still
        // reaches the unit, which reports the relay on when asked afterwards; a report the unit
        // pushes by itself arrives as well.
        QtTicker ticker;
        Kalvenor unit{line, ticker};
        testing::EventLog log{unit};
        const auto heard = [&](const QString &event) {
            testing::WaitFor([&] { return log.events.contains(event); });
            return log.take().contains(event);
        };
        const OnlineTestResult tested = RunOnlineTest(unit, 1, 19200, OnlineTestFunction{1, 5, 1});
        ASSERT_EQ(std::tuple(tested.setFunction, unit.InitComm(1, 19200)), std::tuple(0, 0));
        ASSERT_EQ(unit.GetRelayState(5), 0);
        EXPECT_TRUE(heard("Relay(5,1)"));
        EXPECT_FALSE(sim.command("report sensor 3 2 80").startsWith(u'?'));
        EXPECT_TRUE(heard("Light(2,99)"));
        EXPECT_EQ(unit.EndComm(), 0);
        EXPECT_FALSE(line.isOpen() || ticker.isActive());
    }

    // Cancel in the middle of a send ends it within the call, says nothing, and the unit keeps
    // the table it had.
    const QString held = sim.command("transfer table 18");
    std::optional<bool> busyAfterCancel;
    QTimer::singleShot(1500, [&] {
        link.RequestStop();
        busyAfterCancel = link.Busy() || line.isOpen();
    });
    clock::ClockTable table;
    table.MaxClockLines = 100;
    tables::TableSet set;
    const testing::FixedClock now{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    const TransferOutcome stopped = SendClockTable(link, drive, set, table, *demo, now, true);
    EXPECT_EQ(std::tuple(stopped.status, stopped.notices.size(), busyAfterCancel),
              std::tuple(LinkCode::Stopped, 0u, std::optional(false)));
    EXPECT_EQ(sim.command("transfer table 18"), held);
}

INSTANTIATE_TEST_SUITE_P(Lines, TransferSim, ::testing::Values("pty", "tcp", "rfc2217"));

} // namespace
} // namespace quintara::link
