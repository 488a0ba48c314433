// Table transfer end to end over loopback: NetworkLine against the simulator executable
// listening raw and with Telnet COM port control.
#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/NetworkLine.h"
#include "platform/EventPump.h"
#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/CentralSimProcess.h"
#include "tests/support/FixedClock.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace quintara::link {
namespace {

QString DemoPath()
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath("examples/demo.nbt");
}

class TransferNetwork : public ::testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.device.startsWith(QString::fromLatin1(GetParam())))
            << sim.device.toStdString();
        project::ProjectRead read =
            project::ReadProjectFile(DemoPath(), settings::Settings(), strings);
        ASSERT_EQ(read.status, project::ReadOutcome::Read);
        demo = std::move(read.model);
        link.setup.portNumber = 1;
    }

    testing::CentralSimProcess sim{
        QStringLiteral(QUINTARA_CENTRAL_SIM),
        {QStringLiteral("--project"), DemoPath(), QStringLiteral("--listen"),
         QString::fromLatin1(GetParam()) + QStringLiteral("://127.0.0.1:0")}};
    NetworkLine line{[this](int port) { return port == 1 ? sim.device : QString(); }};
    platform::QtEventPump pump;
    settings::Strings strings{settings::StringTable::builtIn()};
    CentralLink link{line, pump, strings};
    Drive drive = testing::DriveOn(pump);
    std::unique_ptr<project::ProjectModel> demo = std::make_unique<project::ProjectModel>();
};

TEST_P(TransferNetwork, TheClockTableGoesToTheUnitAndComesBackTheSame)
{
    using namespace clock;
    ClockTable sent;
    sent.MaxClockLines = 100;
    // Bytes the Telnet layer must escape or could mistake: 255 levels, 13 minutes.
    sent.Lines[0] = ClockLine::fromBytes({13, 7, 29, 11, 26, Workday, Days, 1, 1, 3, 255, 0, 0});
    sent.Lines[1] = ClockLine::fromBytes({0, 13, 6, 12, 26, Continue, Days, 1, 1, 3, 0, 0, 0});
    sent.Lines[7] = ClockLine::fromBytes({45, 6, 19, 11, 26, Simulation, Weeks, 1, 2, 1, 255, 0, 0});

    const testing::FixedClock now{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    tables::TableSet set;
    ASSERT_TRUE(SendClockTable(link, drive, set, sent, *demo, now, true).ok());
    EXPECT_FALSE(line.isOpen());
    ClockTable received;
    received.MaxClockLines = 100;
    ASSERT_TRUE(ReceiveClockTable(link, drive, set, received, *demo, now).ok());
    for (int i = 0; i < 100; ++i) {
        ClockLine expected = sent.Lines[std::size_t(i)];
        expected.FirstLine = received.Lines[std::size_t(i)].FirstLine; // chain heads are the unit's
        if (i == 0)
            SetReferenceDate(expected, QDate(2026, 12, 8)); // normalised to this week
        EXPECT_EQ(received.Lines[std::size_t(i)], expected) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransferNetwork, ::testing::Values("tcp", "rfc2217"));

} // namespace
} // namespace quintara::link
