// The link control on a fake line: on its own, with the simulator's engine behind it, and in
// the on-line test.
#include "link/Kalvenor.h"

#include "link/OnlineTest.h"
#include "tests/link/EventLog.h"
#include "tests/link/FakeSerialLine.h"
#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/SimCommand.h"

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

using sim::CentralUnit;
using testing::Bytes;
using testing::EventLog;
using testing::FakeSerialLine;
using testing::VirtualPump;
using testing::VirtualTicker;

// The frame around the given data bytes, checksum added.
QByteArray Frame(std::initializer_list<int> data)
{
    QByteArray frame = Bytes({2, static_cast<int>(data.size()) + 2}) + Bytes(data);
    int sum = 0;
    for (char c : frame)
        sum += static_cast<quint8>(c);
    frame.append(static_cast<char>(sum % 256));
    return frame;
}

class KalvenorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(link.InitComm(1, 19200), 0); }

    // The events raised by bytes that arrive.
    QStringList heard(const QByteArray &bytes)
    {
        line.deliver(bytes);
        return log.take();
    }

    VirtualPump pump;
    FakeSerialLine line{pump};
    VirtualTicker ticker{pump};
    Kalvenor link{line, ticker};
    EventLog log{link};
};

TEST_F(KalvenorTest, EveryOperationChecksItsArgumentsBeforeSending)
{
    // Relay 5 on; the largest arguments each operation takes, then one past them: -2 for the
    // first argument, -3 for the second, and nothing sent. An unchecked kind that is no byte
    // cannot be framed: a port error, nothing half-sent.
    EXPECT_EQ(
        QList<qint16>({link.SetRelay(5, 1), link.KeyPress(0, 8), link.SetFunction(2, 144, 255),
                       link.SetDimmer(3, 255), link.SetRelay(144, 255), link.SetLocalMood(99, 1),
                       link.SetGeneralMood(19), link.SetTimedLocalMood(9, 255),
                       link.GetRelayState(255), link.GetDimmerLevel(120),
                       link.GetFunctionState(15, 255),
                       link.KeyPress(0, 9), link.KeyPress(101, 1), link.SetFunction(2, 145, 0),
                       link.SetDimmer(3, 101), link.SetDimmer(0, 50), link.SetRelay(5, 2),
                       link.SetLocalMood(100, 1), link.SetGeneralMood(20),
                       link.SetTimedLocalMood(0, 3), link.GetRelayState(145),
                       link.GetDimmerLevel(121), link.SetFunction(300, 1, 1)}),
        QList<qint16>(11, 0) + QList<qint16>({-3, -2, -2, -3, -2, -3, -2, -2, -3, -2, -2, -1}));
    // Relay 5 on as the seven documented bytes, then each operation's frame.
    EXPECT_EQ(line.written,
              Bytes({2, 6, 1, 1, 5, 1, 16}) + Frame({1, 52, 0, 8}) + Frame({1, 2, 144, 255}) +
                  Frame({1, 2, 3, 255}) + Frame({1, 1, 144, 255}) + Frame({1, 8, 99, 1}) +
                  Frame({1, 10, 19, 255}) + Frame({1, 9, 9, 255}) + Frame({2, 1, 255}) +
                  Frame({2, 2, 120}) + Frame({2, 15, 255}));
}

TEST_F(KalvenorTest, InitCommRefusesBadSettingsAndAClosedPortSendsNothing)
{
    // A port that vanishes stops the ticker; operations then fail, argument checks first.
    line.fail();
    EXPECT_EQ(QList<qint64>({ticker.isActive(), link.SetRelay(5, 1), link.SetRelay(0, 1),
                             line.written.size(), link.EndComm()}),
              QList<qint64>({0, -1, -2, 0, 0}));
    EXPECT_EQ(QList<qint16>({link.InitComm(0, 19200), link.InitComm(17, 19200),
                             link.InitComm(1, 12345)}),
              QList<qint16>({-2, -2, -3}));
    EXPECT_FALSE(ticker.isActive() || link.isOpen());
    EXPECT_TRUE(link.InitComm(2, 9600) == 0 && ticker.isActive());
    EXPECT_EQ(line.device() + ' ' + line.parameters(), QStringLiteral("/dev/fake2 9600,n,8,1"));
}

TEST_F(KalvenorTest, RepliesAndReportsBecomeEventsWithDecodedValues)
{
    // Status replies with their fixed texts (the simulator's test hears the others); set points
    // skip the no-reading test.
    for (const QByteArray &frame :
         {Frame({5}),             Frame({14}),           Frame({8, 2, 7, 127}),
          Frame({8, 2, 7, 3}),    Frame({8, 2, 7, 128}), Frame({8, 1, 12, 200}),
          Frame({8, 3, 4, 9}),    Frame({8, 8, 5, 1}),   Frame({8, 9, 6, 0}),
          Frame({8, 10, 7, 2}),   Frame({8, 14, 3, 1}),  Frame({8, 15, 39, 1}),
          Frame({8, 31, 4, 77}),  Frame({8, 60, 8, 1}),  Frame({4, 1, 2, 3}),
          Frame({6, 1, 4, 239}),  Frame({6, 1, 4, 240}), Frame({6, 2, 1, 55}),
          Frame({6, 3, 2, 20}),   Frame({6, 4, 2, 4}),   Frame({6, 5, 2, 240}),
          Frame({6, 129, 3, 240}), Frame({6, 133, 1, 250})})
        line.deliver(frame);
    EXPECT_EQ(log.take(),
              QStringList({"ErrMsg(5,Switch Not Assigned/Active)",
                           "ErrMsg(14,Function not available)", "Dimmer(7,50)", "Dimmer(7,255)",
                           "Dimmer(7,0)", "Relay(12,1)", "Proces(4,1)", "LocalMood(5,1)",
                           "TimedLocalMood(6,0)", "GeneralMood(7,1)", "Regime(3)", "Flag(39,1)",
                           "Audio(4,77)", "Condition(8,1)", "TpKey(1,2,3)", "Temperature(4,79.5)",
                           "Temperature(4,255)", "Humidity(1,55)", "Light(2,2.2)",
                           "Light(2,0.26)", "Light(2,255)", "TemperatureSet(3,80)",
                           "LightSet(1,1.77828e+06)"}));
    EXPECT_DOUBLE_EQ(link.lightValue(), 1778278.0);
    // Codes that are no status and no report, 255 included, and kinds without an event pass
    // silently.
    EXPECT_EQ(heard(Frame({9}) + Frame({11}) + Frame({255}) + Frame({8, 7, 12, 1}) +
                    Frame({6, 6, 1, 1}) + Frame({6, 130, 1, 1})),
              QStringList());
}

TEST_F(KalvenorTest, ReceiverFindsFramesInNoiseAndSurvivesShortAndBadOnes)
{
    // After a report, reports one field short with right checksums: nothing, not the previous
    // frame's value. Length bytes below 3 end the frame at its third byte, whatever that byte
    // is. A wrong checksum: one error and nothing else. A start byte inside the data is data.
    QByteArray corrupt = Frame({8, 1, 5, 1});
    corrupt.back() = static_cast<char>(corrupt.back() + 1);
    EXPECT_EQ(heard(Frame({8, 1, 12, 200}) + Frame({8, 1, 13}) + Frame({6, 3}) + Frame({4}) +
                    Bytes({2, 2, 4, 2, 0, 2, 2, 1, 0}) + corrupt + Frame({8, 2, 7, 127}) +
                    Frame({8, 2, 2, 2})),
              QStringList({"Relay(12,1)", "ErrMsg(255,Communication problem)", "Dimmer(7,50)",
                           "Dimmer(2,1)"}));

    // Noise around frames, frames in a burst, a frame spread over several arrivals.
    line.deliver(Bytes({0, 255, 7, 3}) + Frame({8, 1, 1, 1}) + Bytes({1, 96}) + Frame({0}) +
                 Frame({8, 1, 2, 0}));
    for (char c : Frame({6, 1, 4, 100}))
        line.deliver(QByteArray(1, c));
    EXPECT_EQ(log.take(),
              QStringList({"Relay(1,1)", "ErrMsg(0,All OK)", "Relay(2,0)", "Temperature(4,10)"}));

    // The longest frame the length byte allows, then an ordinary one.
    EXPECT_EQ(heard(Bytes({2, 255}) + QByteArray(253, '\x09') + Bytes({0}) + Frame({8, 1, 3, 1})),
              QStringList({"ErrMsg(255,Communication problem)", "Relay(3,1)"}));
}

TEST_F(KalvenorTest, TickDiscardsAHalfFrameOnlyWhenTheLineIsQuiet)
{
    const QByteArray frame = Frame({8, 1, 5, 1});
    line.deliver(frame.left(3));
    ticker.fire();
    EXPECT_EQ(heard(frame), QStringList{"Relay(5,1)"});

    // Without the tick the cut-off frame swallows the next one.
    line.deliver(frame.left(3));
    EXPECT_EQ(heard(frame), QStringList{"ErrMsg(255,Communication problem)"});
    ticker.fire();

    // Bytes still waiting at the tick belong to the frame: it is kept.
    line.deliver(frame.left(3));
    line.queue(frame.mid(3));
    ticker.fire();
    EXPECT_EQ(heard({}), QStringList{"Relay(5,1)"});
}

TEST_F(KalvenorTest, ASendQueuesItsFrameAndNeverRunsTheCallersEventsEvenFromAHandler)
{
    // Even a line whose output never drains: the operation returns at once, and the frame
    // leaves as the caller's events run.
    line.stuckOutput = true;
    EXPECT_EQ(link.SetRelay(5, 1), 0);
    EXPECT_EQ(std::pair(pump.calls, line.outputQueueLength()), std::pair(0L, 1LL));
    line.stuckOutput = false;
    pump.processEvents();
    EXPECT_EQ(line.takeSent(), Frame({1, 1, 5, 1}));
    // A get sent from the handler of a status reply: its answer arrives while the reply is
    // still being dispatched.
    QObject::connect(&link, &Kalvenor::ErrMsg, [&](qint16 code, const QString &) {
        if (code == 0) {
            EXPECT_EQ(link.GetRelayState(5), 0);
        }
    });
    pump.addHook([&](qint64) {
        if (line.takeSent().startsWith(Bytes({2, 5, 2, 1, 5})))
            line.deliver(Frame({8, 1, 5, 1}));
    });
    line.deliver(Frame({0}));
    pump.processEvents();
    EXPECT_EQ(log.take(), QStringList({"ErrMsg(0,All OK)", "Relay(5,1)"}));
}

// The simulator's engine as the fake central unit behind the link control.
class CentralUnitTest : public KalvenorTest {
protected:
    void SetUp() override
    {
        testing::ConnectCentralUnit(unit, line, pump);
        KalvenorTest::SetUp();
    }

    // What the link heard once the unit has answered everything pending.
    QStringList answered()
    {
        for (int i = 0; i < 5; ++i)
            pump.processEvents(10);
        return log.take();
    }

    CentralUnit unit;
};

const QString Ok = QStringLiteral("ErrMsg(0,All OK)");
const QString Damaged = QStringLiteral("ErrMsg(255,Communication problem)");

TEST_F(CentralUnitTest, SetsAreKeptAndGetsAnsweredWithTheirState)
{
    // 255 toggles a relay; a get of 255 reports every relay the unit knows.
    EXPECT_EQ(QList<qint16>({link.SetRelay(5, 1), link.SetRelay(5, 255), link.SetRelay(9, 1),
                             link.GetRelayState(255)}),
              QList<qint16>(4, 0));
    EXPECT_EQ(answered().mid(4), QStringList({"Relay(5,0)", "Relay(9,1)"}));
    // The special dimmer level is held as raw 3 and reported as 255.
    EXPECT_EQ(QList<qint16>({link.SetDimmer(8, 255), link.SetGeneralMood(3), link.GetDimmerLevel(8),
                             link.GetFunctionState(10, 3)}),
              QList<qint16>(4, 0));
    EXPECT_EQ(answered(), QStringList({Ok, Ok, Ok, "Dimmer(8,255)", Ok, "GeneralMood(3,1)"}));
    EXPECT_EQ(unit.state(2, 8), 3);
}

TEST_F(CentralUnitTest, RefusedCommandsAndFaultsShowAsTheLinkSeesThem)
{
    // Frames the control would never build: a wrong checksum, an unknown command, a set two
    // bytes short and a frame too short for any command.
    unit.receive(QByteArray::fromHex("0205030101110205090101120204010108020204"), pump.msecs());
    link.SetFunction(1, 0, 1);   // relay 0 does not exist
    link.SetFunction(2, 3, 150); // a percentage beyond 100
    EXPECT_EQ(answered(),
              QStringList({"ErrMsg(1,Invalid CheckSum)", "ErrMsg(2,Invalid Command)",
                           "ErrMsg(3,Invalid Command-Lenght)", "ErrMsg(3,Invalid Command-Lenght)",
                           "ErrMsg(10,Load not Available)", "ErrMsg(7,Load level out of range)"}));

    unit.faults.silence = true;
    link.SetRelay(5, 1);
    EXPECT_EQ(answered(), QStringList());

    // A frame that stops half way is dropped after its time-out.
    unit.faults.silence = false;
    unit.receive(QByteArray::fromHex("02060101"), pump.msecs());
    answered();
    pump.advance(CentralUnit::FrameTimeoutMs);
    link.SetRelay(5, 1);
    EXPECT_EQ(answered(), QStringList{Ok});
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
        got += answered(); // bytes meet the damage as they leave
    }
    EXPECT_EQ(got, QStringList({"Light(2,99)", "TpKey(1,2,0)", "Dimmer(7,255)", "Relay(4,1)", Ok,
                                Damaged, "Temperature(4,10)", "TpKey(1,3,0)"}));
    for (const char *bad : {"report sensor 3 2", "report sensor 3 2 256", "set 1 x 1", "jump",
                            "line in drop 0", "line out dup random 101"})
        EXPECT_FALSE(sim::RunCommand(unit, QString::fromLatin1(bad)).ok) << bad;
    EXPECT_TRUE(sim::RunCommand(unit, QStringLiteral("quit")).quit);
}

TEST(OnlineTest, SendsTheSelectedLineOnceAndClosesAgainOrBeepsWhenThePortFails)
{
    testing::VirtualPump pump;
    testing::FakeSerialLine line{pump};
    testing::VirtualTicker ticker{pump};
    Kalvenor link{line, ticker};
    // What InitComm and SetFunction answered, and whether the user hears a beep.
    using Answers = std::tuple<qint16, std::optional<qint16>, bool>;
    const auto run = [&](qint16 port, qint32 baudRate, std::optional<OnlineTestFunction> selected) {
        const OnlineTestResult result = RunOnlineTest(link, port, baudRate, selected);
        EXPECT_FALSE(ticker.isActive());
        return Answers{result.initComm, result.setFunction, result.beep()};
    };
    // Without a selected line it only opens and closes.
    EXPECT_EQ(run(1, 9600, std::nullopt), Answers(0, std::nullopt, false));
    EXPECT_TRUE(line.written.isEmpty());
    // A dimmer line goes with its stored raw level, not a percentage.
    EXPECT_EQ(run(2, 19200, OnlineTestFunction{2, 7, 127}), Answers(0, 0, false));
    EXPECT_EQ(line.written, QByteArray::fromHex("02060102077f91"));
    EXPECT_EQ(std::tuple(line.device() + ' ' + line.parameters(), line.opens, line.isOpen()),
              std::tuple(QStringLiteral("/dev/fake2 19200,n,8,1"), 2, false));

    // A port that fails beeps and sends nothing; a rate beyond what the link takes is refused,
    // not wrapped round to another number.
    EXPECT_EQ(run(5, 19200, OnlineTestFunction{1, 5, 1}), Answers(-1, std::nullopt, true));
    EXPECT_EQ(run(1, 38400, OnlineTestFunction{1, 5, 1}), Answers(-3, std::nullopt, true));
    EXPECT_EQ(std::pair(line.opens, line.written.size()), std::pair(2, qsizetype(7)));
}

} // namespace
} // namespace quintara::link
