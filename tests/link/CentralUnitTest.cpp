// The simulator's engine as the fake central unit behind the link control.
#include "tools/central-sim/CentralUnit.h"

#include "link/Kalvenor.h"
#include "tests/link/EventLog.h"
#include "tests/link/FakeSerialLine.h"
#include "tools/central-sim/SimCommand.h"

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

using sim::CentralUnit;

class CentralUnitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ConnectCentralUnit(unit, line, pump);
        ASSERT_EQ(link.InitComm(1, 19200), 0);
    }

    // What the link heard once the unit has answered everything pending.
    QStringList heard()
    {
        for (int i = 0; i < 5; ++i)
            pump.processEvents(10);
        return log.take();
    }

    testing::VirtualPump pump;
    testing::FakeSerialLine line{pump};
    testing::VirtualTicker ticker{pump};
    CentralUnit unit;
    Kalvenor link{line, ticker};
    testing::EventLog log{link};
};

const QString Ok = QStringLiteral("ErrMsg(0,All OK)");
const QString Damaged = QStringLiteral("ErrMsg(255,Communication problem)");

TEST_F(CentralUnitTest, SetsAreKeptAndGetsAnsweredWithTheirState)
{
    // 255 toggles a relay; a get of 255 reports every relay the unit knows.
    EXPECT_EQ(QList<qint16>({link.SetRelay(5, 1), link.SetRelay(5, 255), link.SetRelay(9, 1),
                             link.GetRelayState(255)}),
              QList<qint16>(4, 0));
    EXPECT_EQ(heard().mid(4), QStringList({"Relay(5,0)", "Relay(9,1)"}));
    // The special dimmer level is held as raw 3 and reported as 255.
    EXPECT_EQ(QList<qint16>({link.SetDimmer(8, 255), link.SetGeneralMood(3), link.GetDimmerLevel(8),
                             link.GetFunctionState(10, 3)}),
              QList<qint16>(4, 0));
    EXPECT_EQ(heard(), QStringList({Ok, Ok, Ok, "Dimmer(8,255)", Ok, "GeneralMood(3,1)"}));
    EXPECT_EQ(unit.state(2, 8), 3);
}

TEST_F(CentralUnitTest, RefusedCommandsAndFaultsShowAsTheLinkSeesThem)
{
    // Frames the control would never build: a wrong checksum, an unknown command, a set two
    // bytes short and a frame too short for any command.
    unit.receive(QByteArray::fromHex("0205030101110205090101120204010108020204"), pump.msecs());
    link.SetFunction(1, 0, 1);   // relay 0 does not exist
    link.SetFunction(2, 3, 150); // a percentage beyond 100
    EXPECT_EQ(heard(), QStringList({"ErrMsg(1,Invalid CheckSum)", "ErrMsg(2,Invalid Command)",
                                    "ErrMsg(3,Invalid Command-Lenght)",
                                    "ErrMsg(3,Invalid Command-Lenght)",
                                    "ErrMsg(10,Load not Available)",
                                    "ErrMsg(7,Load level out of range)"}));

    unit.faults.silence = true;
    link.SetRelay(5, 1);
    EXPECT_EQ(heard(), QStringList());

    // A frame that stops half way is dropped after its time-out.
    unit.faults.silence = false;
    unit.receive(QByteArray::fromHex("02060101"), pump.msecs());
    heard();
    pump.advance(CentralUnit::FrameTimeoutMs);
    link.SetRelay(5, 1);
    EXPECT_EQ(heard(), QStringList{Ok});
    EXPECT_EQ(unit.counters().droppedFrames, 1);
}

TEST_F(CentralUnitTest, ConsoleCommandsPushReportsAndSwitchFaults)
{
    // Damage on the line loses all the unit says until it is switched off again.
    QStringList got;
    for (const char *command :
         {"report sensor 3 2 80", "report key 1 2", "report state 2 7 3", "set 1 4 1",
          "report state 1 4", "frame 0", "raw 0 255 7", "fault checksum on",
          "report sensor 1 4 100", "fault checksum off", "noise on", "report sensor 1 4 100",
          "line out drop random 100", "report key 1 2", "line out off", "report key 1 3"}) {
        const auto result = sim::RunCommand(unit, QString::fromLatin1(command));
        EXPECT_TRUE(result.ok && !result.quit) << command << ": " << result.reply.toStdString();
        got += heard(); // bytes meet the damage as they leave
    }
    EXPECT_EQ(got, QStringList({"Light(2,99)", "TpKey(1,2,0)", "Dimmer(7,255)", "Relay(4,1)", Ok,
                                Damaged, "Temperature(4,10)", "TpKey(1,3,0)"}));
    for (const char *bad : {"report sensor 3 2", "report sensor 3 2 256", "set 1 x 1", "jump",
                            "line in drop 0", "line out dup random 101"})
        EXPECT_FALSE(sim::RunCommand(unit, QString::fromLatin1(bad)).ok) << bad;
    EXPECT_TRUE(sim::RunCommand(unit, QStringLiteral("quit")).quit);
}

} // namespace
} // namespace quintara::link
