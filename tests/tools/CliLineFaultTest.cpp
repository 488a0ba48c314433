// A damaged line end to end: quintara-cli against central-sim, with one byte lost, repeated or
// turned over at the same place in every attempt. The command fails with the link's
// message and leaves every file as it was; its trace shows what the line carried.
#include "tests/tools/CliFixture.h"

#include "tests/support/CentralSimProcess.h"

namespace quintara::testing {
namespace {

using namespace clock;

struct LineFaultCase {
    const char *name;
    bool send;         // else receive
    const char *fault; // the simulator's console line
    const char *text;  // the code's text in the message
};

// Each fault over a pseudo-terminal and behind a serial port server (raw for a receive, with COM
// port control for a send): the network adds nothing and hides nothing.
class CliLineFault : public CliTest,
                     public ::testing::WithParamInterface<std::tuple<LineFaultCase, bool>> {};

TEST_P(CliLineFault, FailsWithACodeAndLeavesTheFilesAlone)
{
    const auto &[c, network] = GetParam();
    const QString listen = c.send ? "rfc2217://127.0.0.1:0" : "tcp://127.0.0.1:0";
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM,
                          network ? QStringList{"--listen", listen} : QStringList{}};
    ASSERT_TRUE(sim.device.startsWith(network ? listen.left(6) : "/dev/"))
        << qPrintable(sim.device);
    // A clock table of some length in the unit, sent over the undamaged line first.
    const QString clockFile = writeClockFile(
        "house.clk", Table({{0, Line(QDate(2026, 12, 1), 7, 30, Continue, Days, 1, 255, 3)},
                            {60, Line(QDate(2026, 12, 2), 22, 0, Weekend, Days, 1, 127)}}));
    const QByteArray clockBytes = contents(clockFile);
    const QStringList send{"send", clockFile, "--port", sim.device, "--now", "2026-12-09T10:00"};
    ASSERT_EQ(run(send).exitCode, 0);
    const QString unitTable = sim.command("transfer table 18");

    const QString target = writeFile("old.clk", "the user's clock file");
    ASSERT_EQ(sim.command(c.fault), QStringLiteral("ok"));
    const CliRun damaged =
        run(c.send ? send : QStringList{"receive", "-o", target, "--port", sim.device});
    EXPECT_EQ(damaged.exitCode, 1) << damaged.out.constData();
    EXPECT_TRUE(damaged.err.contains(QByteArray("Communication problem:\n") + c.text))
        << damaged.err.constData();
    EXPECT_EQ(contents(clockFile), clockBytes);
    EXPECT_EQ(contents(target), "the user's clock file");
    EXPECT_EQ(sim.command("transfer table 18"), unitTable); // the unit keeps no damaged table
}

// Counted after each handshake. The unit says: 1 the header echo, then each block (header,
// data, checksum: 17 bytes when full) when it serves a table, or an acknowledgement a block
// when it takes one. The PC says: 1 the header, then its start and acknowledgements when it
// receives, or the blocks when it sends.
INSTANTIATE_TEST_SUITE_P(
    BothDirections, CliLineFault,
    ::testing::Combine(
        ::testing::Values(
            LineFaultCase{"ReceiveDataByteLost", false, "line out drop 75", "No Ack"},
            LineFaultCase{"ReceiveDataByteTurned", false, "line out corrupt 75", "No Ack"},
            LineFaultCase{"ReceiveAcknowledgementTwice", false, "line in dup 3", "No Ack"},
            LineFaultCase{"SendHeaderOfBlock1Lost", true, "line in drop 19", "Wrong Ack"},
            LineFaultCase{"SendDataByteLost", true, "line in drop 5", "No Ack"},
            LineFaultCase{"SendDataByteTurned", true, "line in corrupt 5", "Wrong Ack"},
            // Where the unit should be silent: no reason the protocol names, what came instead.
            LineFaultCase{"SendAcknowledgementTwice", true, "line out dup 2",
                          "Damaged or unexpected answer\nExpected: nothing, came: 192"}),
        ::testing::Bool()),
    [](const auto &info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "OverTheNetwork" : "OverAPty");
    });

TEST_F(CliTest, TraceHoldsTheLinesBytesWhateverTheOutcome)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    const QString clockFile = writeClockFile(
        "house.clk", Table({{3, Line(QDate(2026, 12, 1), 6, 45, Workday, Days, 1, 255, 2)}}));
    const QString sendTrace = writeFile("send.txt", "old");
    const CliRun sent = run({"send", clockFile, "--port", sim.device, "--trace", sendTrace});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.constData();
    const QByteArray trace = contents(sendTrace);
    // The wake-up byte and the identification may fall on one line or two, by the clock.
    for (const char *expected :
         {"PC>  handshake    F0", " 00 51 5A 4D", "<CU  handshake    51 42 4E",
          "PC>  header 18    B2", "PC>  block 87", "<CU  ack          C0", "PC>  end          60",
          "<CU  end          60"})
        EXPECT_TRUE(trace.contains(expected)) << expected << '\n' << trace.constData();
    EXPECT_FALSE(trace.contains(sim.device.toUtf8())); // nothing but bytes and steps

    // A failed receive leaves its trace too, with the bytes nobody asked for.
    ASSERT_EQ(sim.command("line out dup 5"), QStringLiteral("ok"));
    const QString receiveTrace = writeFile("receive.txt", "old");
    EXPECT_EQ(run({"receive", "-o", writeFile("in.clk", "keep"), "--port", sim.device, "--trace",
                   receiveTrace})
                  .exitCode,
              1);
    const QByteArray failed = contents(receiveTrace);
    EXPECT_TRUE(failed.contains("<CU  block 0      0F") && failed.contains("<CU  discarded"))
        << failed.constData();
    EXPECT_EQ(run({"send", clockFile, "--port", sim.device, "--trace", ""}).exitCode, 2);
}

} // namespace
} // namespace quintara::testing
