// Table transfer end to end: QtSerialLine on a pseudo-terminal against the simulator executable
// loaded with the demo installation.
#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "platform/EventPump.h"
#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"
#include "tables/TableSlots.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/CentralSimProcess.h"
#include "tests/support/FixedClock.h"
#include "tests/support/TestYears.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace quintara::link {
namespace {

// The tests' main() sees to it that QUINTARA_SOURCE_DIR names the source tree.
QString DemoPath()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.nbt");
}

class TransferPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.device.startsWith(QStringLiteral("/dev/"))) << sim.device.toStdString();
        project::ProjectRead read =
            project::ReadProjectFile(DemoPath(), settings::Settings(), strings);
        ASSERT_EQ(read.status, project::ReadOutcome::Read);
        demo = std::move(read.model);
        link.setup.portNumber = 1;
    }

    testing::CentralSimProcess sim{QStringLiteral(QUINTARA_CENTRAL_SIM),
                                   {QStringLiteral("--project"), DemoPath()}};
    QtSerialLine line{[this](int port) { return port == 1 ? sim.device : QString(); }};
    platform::QtEventPump pump;
    settings::Strings strings{settings::StringTable::builtIn()};
    CentralLink link{line, pump, strings};
    Drive drive = testing::DriveOn(pump);
    std::unique_ptr<project::ProjectModel> demo = std::make_unique<project::ProjectModel>();
};

TEST_F(TransferPty, TheClockTableGoesToTheUnitAndComesBackTheSame)
{
    // A clock table of the kind the demo house has: lights, a dimmer, moods, shutters, dated
    // around 9 December 2026.
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
             {42, {10, 0, 25, 10, 26, Continue, Months, 1, 15, 1, 0, 0, 0}}})
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

TEST_F(TransferPty, ReceivingEverythingGivesTheProjectTheUnitWasProgrammedWith)
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

} // namespace
} // namespace quintara::link
