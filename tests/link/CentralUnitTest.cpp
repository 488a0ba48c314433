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
using testing::EventLog;
using testing::FakeSerialLine;
using testing::VirtualPump;
using testing::VirtualTicker;

class CentralUnitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ConnectCentralUnit(unit, line, pump);
        ASSERT_EQ(link.InitComm(1, 19200), 0);
    }

    // Lets the unit answer everything pending.
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            pump.processEvents(10);
    }

    VirtualPump pump;
    FakeSerialLine line{pump};
    VirtualTicker ticker{pump};
    CentralUnit unit;
    Kalvenor link{line, ticker};
    EventLog log{link};
};

TEST_F(CentralUnitTest, SetsAreAcknowledgedAndGetsAnsweredWithTheirState)
{
    EXPECT_EQ(link.SetRelay(5, 1), 0);
    EXPECT_EQ(link.SetDimmer(7, 50), 0);
    EXPECT_EQ(link.SetGeneralMood(3), 0);
    settle();
    EXPECT_EQ(log.take(),
              QStringList({"ErrMsg(0,All OK)", "ErrMsg(0,All OK)", "ErrMsg(0,All OK)"}));

    EXPECT_EQ(link.GetRelayState(5), 0);
    EXPECT_EQ(link.GetDimmerLevel(7), 0);
    EXPECT_EQ(link.GetFunctionState(10, 3), 0);
    settle();
    EXPECT_EQ(log.take(), QStringList({"ErrMsg(0,All OK)", "Relay(5,1)", "ErrMsg(0,All OK)",
                                       "Dimmer(7,50)", "ErrMsg(0,All OK)", "GeneralMood(3,1)"}));

    // 255 toggles a relay; a get of 255 reports every relay the unit knows.
    EXPECT_EQ(link.SetRelay(5, 255), 0);
    EXPECT_EQ(link.SetRelay(9, 1), 0);
    EXPECT_EQ(link.GetRelayState(255), 0);
    settle();
    EXPECT_EQ(log.take().mid(3), QStringList({"Relay(5,0)", "Relay(9,1)"}));

    // The special dimmer level is held as raw 3 and reported as 255.
    EXPECT_EQ(link.SetDimmer(8, 255), 0);
    settle();
    EXPECT_EQ(unit.state(2, 8), 3);
    EXPECT_EQ(link.GetDimmerLevel(8), 0);
    settle();
    EXPECT_EQ(log.take().mid(1), QStringList({"ErrMsg(0,All OK)", "Dimmer(8,255)"}));
}

TEST_F(CentralUnitTest, RefusedCommandsAndFaultsShowAsTheLinkSeesThem)
{
    EXPECT_EQ(link.SetFunction(1, 0, 1), 0);   // relay 0 does not exist
    EXPECT_EQ(link.SetFunction(2, 3, 150), 0); // a percentage beyond 100
    settle();
    EXPECT_EQ(log.take(),
              QStringList({"ErrMsg(10,Load not Available)", "ErrMsg(7,Load level out of range)"}));

    // Frames the control would never build: a wrong checksum, an unknown command, a set two
    // bytes short and a frame too short for any command.
    for (const char *hex : {"020503010111", "020509010112", "0204010108", "020204"}) {
        for (char c : QByteArray::fromHex(hex))
            line.writeByte(static_cast<quint8>(c));
    }
    settle();
    EXPECT_EQ(log.take(), QStringList({"ErrMsg(1,Invalid CheckSum)", "ErrMsg(2,Invalid Command)",
                                       "ErrMsg(3,Invalid Command-Lenght)",
                                       "ErrMsg(3,Invalid Command-Lenght)"}));

    unit.faults.corruptChecksum = true;
    EXPECT_EQ(link.GetRelayState(5), 0);
    settle();
    EXPECT_EQ(log.take(), QStringList({"ErrMsg(255,Communication problem)",
                                       "ErrMsg(255,Communication problem)"}));

    unit.faults.corruptChecksum = false;
    unit.faults.silence = true;
    EXPECT_EQ(link.SetRelay(5, 1), 0);
    settle();
    EXPECT_TRUE(log.events.isEmpty());

    unit.faults.silence = false;
    unit.faults.noise = true;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(link.GetRelayState(5), 0);
    settle();
    const QStringList events = log.take();
    EXPECT_EQ(events.size(), 40);
    EXPECT_EQ(events.count(QStringLiteral("Relay(5,1)")), 20);

    // A frame that stops half way is dropped after its time-out.
    unit.faults.noise = false;
    const int dropped = unit.counters().droppedFrames;
    for (int b : {2, 6, 1, 1})
        line.writeByte(static_cast<quint8>(b));
    settle();
    pump.advance(CentralUnit::FrameTimeoutMs);
    EXPECT_EQ(link.SetRelay(5, 1), 0);
    settle();
    EXPECT_EQ(log.take(), QStringList{"ErrMsg(0,All OK)"});
    EXPECT_EQ(unit.counters().droppedFrames, dropped + 1);
}

TEST_F(CentralUnitTest, ConsoleCommandsPushReportsAndSwitchFaults)
{
    const QStringList commands = {"report sensor 3 2 80",
                                  "report key 1 2",
                                  "report state 2 7 3",
                                  "set 1 4 1",
                                  "report state 1 4",
                                  "frame 0",
                                  "raw 0 255 7",
                                  "fault checksum on",
                                  "report sensor 1 4 100",
                                  "fault checksum off",
                                  "noise on",
                                  "report sensor 1 4 100"};
    for (const QString &command : commands) {
        const auto result = sim::RunCommand(unit, command);
        EXPECT_TRUE(result.ok) << command.toStdString() << ": " << result.reply.toStdString();
        EXPECT_FALSE(result.quit);
    }
    settle();
    EXPECT_EQ(log.take(), QStringList({"Light(2,99)", "TpKey(1,2,0)", "Dimmer(7,255)", "Relay(4,1)",
                                       "ErrMsg(0,All OK)", "ErrMsg(255,Communication problem)",
                                       "Temperature(4,10)"}));

    // Damage on the line: all the unit says is lost until it is switched off again.
    for (const char *command : {"line out drop random 100", "report key 1 2", "line out off",
                                "report key 1 3"}) {
        EXPECT_TRUE(sim::RunCommand(unit, QString::fromLatin1(command)).ok) << command;
        settle(); // bytes meet the damage as they leave
    }
    EXPECT_EQ(log.take(), QStringList{"TpKey(1,3,0)"});

    for (const char *bad : {"", "report", "report sensor 3 2", "report sensor 3 2 256", "set 1 x 1",
                            "fault checksum maybe", "frame", "jump", "line up drop 1",
                            "line in drop 0", "line in flip 3", "line out dup random 101"})
        EXPECT_FALSE(sim::RunCommand(unit, QString::fromLatin1(bad)).ok) << bad;
    EXPECT_TRUE(sim::RunCommand(unit, QStringLiteral("quit")).quit);
}

} // namespace
} // namespace quintara::link
