#include "tests/tools/CliFixture.h"

#include "clock/ClockFile.h"
#include "link/ClockConversion.h"
#include "tables/TableSet.h"
#include "tests/support/CentralSimProcess.h"

#include <QTcpServer>

#include <QDir>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace quintara::testing {
namespace {

using namespace clock;

// The lock file the serial port library leaves for an open device ("LCK..pts_3"), in whichever
// of the usual lock folders it chose; empty when there is none.
QString PortLockFile(const QString &device)
{
    const QString name = "LCK.." + QString(device).remove("/dev/").replace(u'/', u'_');
    for (const char *folder : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                               "/var/spool/uucp", "/tmp", "/var/tmp"}) {
        if (QFileInfo::exists(QDir(folder).filePath(name)))
            return QDir(folder).filePath(name);
    }
    return {};
}

using CliTransferTest = CliTest;

TEST_F(CliTransferTest, SendAndReceiveTheClockTableOverAPseudoTerminal)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    const ClockTable table =
        Table({{0, Line(QDate(2029, 6, 1), 7, 30, Continue, Once, 0, 255, 3)},
               {1, Line(QDate(2020, 1, 1), 8, 0, Continue, Once, 0, 255, 4)},
               {2, Line(QDate(2026, 11, 2), 22, 15, Workday, Once, 0, 127)},
               {70, Line(QDate(2029, 1, 31), 6, 0, Special, Months, 1, 0, 2)}});
    const QString now = "2026-12-09T10:00";
    const CliRun sent = run({"send", writeClockFile("out.clk", table), "--port", sim.device,
                             "--set-time", "--now", now});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.constData();
    EXPECT_TRUE(sent.out.startsWith("Sent the clock table") && sent.err.contains("Progress: 100%"))
        << sent.out.constData() << sent.err.constData();

    // Received into a new file of the model, the unit's table is what the program's own
    // normalisation and conversion make of the file: the past one-time line was freed on the
    // way out, the others come back with the chain the conversion gave them (a head only in
    // lines 0 to 4).
    ClockTable expected = table;
    expected.MaxClockLines = ClockLineCount;
    const QDateTime moment = QDateTime::fromString(now, Qt::ISODate);
    link::NormaliseClockDates(expected, moment);
    tables::TableSet set;
    link::ClockTableToCentral(expected, set, tables::TableSet::ClockSlot, moment);
    const QString received = writeFile("in.clk", QByteArray(4000, 'x'));
    ASSERT_EQ(run({"receive", "-o", received, "--port", sim.device}).exitCode, 0);
    EXPECT_EQ(QFile(received).size(), ClockFileSize);
    ClockTable got;
    ASSERT_TRUE(ReadClockImage(got, contents(received)).done());
    EXPECT_EQ(std::pair(int(got.ClockFileVersion), int(got.ModelIndex)), std::pair(1, 0));
    EXPECT_FALSE(got.Lines[1].inUse());
    expected.Lines[70].FirstLine = 0;
    for (const int index : {0, 2, 70})
        EXPECT_EQ(got.Lines[index], expected.Lines[index]) << index;
}

// One unit for a whole session: a verified send, a table the unit kept wrong, a port that does
// not open, and a send that fails after its last block.
TEST_F(CliTransferTest, VerifyMistakesAndFailedSendsAgainstOneUnit)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    const QString file = writeClockFile(
        "verify.clk", Table({{3, Line(QDate(2026, 12, 7), 7, 30, Continue, Days, 1, 255, 3)},
                             {8, Line(QDate(2026, 12, 7), 22, 15, Weekend, Days, 1, 127)}}));
    const QStringList send{"send", file, "--port", sim.device, "--now", "2026-12-09T10:00"};
    const CliRun verified = run(send + QStringList{"--verify"});
    ASSERT_EQ(verified.exitCode, 0) << verified.err.constData();
    EXPECT_EQ(verified.out, "Sent and verified\n");
    EXPECT_TRUE(verified.err.contains("Progress: Reading back")) << verified.err.constData();

    // The unit keeps the repeat unit of line 8 (the runs of one field begin at 7 x 100) wrong.
    EXPECT_EQ(sim.command("transfer corrupt-store 708"), "ok");
    expectFailure(send + QStringList{"--verify"}, 1, {"Lines that differ: 8 (22:15)\n"});

    // A device that does not open: the headline, its reason once, the remedy.
    const QString tty = QFileInfo(file).dir().filePath("no-such-tty");
    const CliRun missing = expectFailure({"send", file, "--port", tty}, 1,
                                         {"Communication problem:\n" + tty.toUtf8() + ": ",
                                          "Select other communication port"});
    EXPECT_EQ(missing.err.count("No such file or directory"), 1) << missing.err.constData();

    // A send that fails after its last block says the unit may hold the new table.
    ASSERT_EQ(sim.command("transfer silent ending"), "ok");
    EXPECT_TRUE(expectFailure(send, 1, {"Communication problem:\nNo ending\nThe central unit may "
                                        "already hold the new table.\n"})
                    .err.endsWith("To see which table it holds: quintara-cli send --verify, or "
                                  "quintara-cli receive.\n"));
}

// A serial port server on the network, raw and with COM port control, and the ways reaching one
// fails: each names the address, and nothing is written.
TEST_F(CliTransferTest, TheNetworksFaultsNameTheAddress)
{
    const QString file = writeClockFile(
        "net.clk", Table({{3, Line(QDate(2026, 12, 7), 7, 30, Continue, Days, 1, 255, 3)}}));
    for (const QString kind : {"tcp", "rfc2217"}) {
        CentralSimProcess sim{QUINTARA_CENTRAL_SIM, {"--listen", kind + "://127.0.0.1:0"}};
        ASSERT_EQ(run({"send", file, "--port", sim.device}).exitCode, 0);
        // The server going away mid-block: said, and the unit keeps the table it had.
        const QString held = sim.command("transfer table 18");
        ASSERT_EQ(sim.command("net close-after 60"), "ok");
        expectFailure({"send", writeClockFile("other.clk", Table({})), "--port", sim.device}, 1,
                      {("Communication problem:\n" + sim.device +
                        ": connection closed by the far side.\n")
                           .toUtf8()});
        EXPECT_EQ(sim.command("transfer table 18"), held);
    }

    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const QString nobody = QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort);
    // Named with the address and what to check; another attempt would not mend it.
    const CliRun refused = expectFailure({"send", file, "--port", nobody}, 1,
                                         {"Communication problem:\n" + nobody.toUtf8() +
                                          ": connection refused. Check the port number"});
    EXPECT_FALSE(refused.err.contains("attempt 2 of 4"));

    CentralSimProcess plain{QUINTARA_CENTRAL_SIM,
                            {"--listen", "rfc2217://127.0.0.1:0", "--refuse-com-port"}};
    expectFailure({"send", file, "--port", plain.device}, 1,
                  {(plain.device + ": the far side did not set up its serial port").toUtf8()});
    const QString received = writeFile("never.clk", "kept");
    expectFailure({"receive", "-o", received, "--port", nobody}, 1, {"connection refused"});
    EXPECT_EQ(contents(received), "kept");
}

TEST_F(CliTransferTest, CtrlCOrSigtermStopsATransferAndFreesThePort)
{
    const QString file = writeClockFile(
        "house.clk", Table({{0, Line(QDate(2026, 12, 1), 7, 30, Continue, Days, 1)}}));
    for (const auto &[signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
        // A unit that never echoes a header keeps the transfer going for a minute.
        ASSERT_EQ(sim.command("transfer silent header"), "ok");
        QProcess cli;
        cli.start(QStringLiteral(QUINTARA_CLI), {"send", file, "--port", sim.device});
        ASSERT_TRUE(cli.waitForStarted());
        for (QDeadlineTimer patience(10000);
             PortLockFile(sim.device).isEmpty() && !patience.hasExpired();)
            QThread::msleep(20);
        const QString lock = PortLockFile(sim.device);
        ASSERT_FALSE(lock.isEmpty()) << "no lock file for " << qPrintable(sim.device);
        QThread::msleep(2500); // into the transfer's waits
        ::kill(static_cast<pid_t>(cli.processId()), signal);
        ASSERT_TRUE(cli.waitForFinished(3000));
        EXPECT_EQ(std::pair(cli.exitStatus(), cli.exitCode()),
                  std::pair(QProcess::NormalExit, status));
        EXPECT_FALSE(QFileInfo::exists(lock)) << qPrintable(lock);
        // Cancelled, not failed: no message.
        EXPECT_FALSE(cli.readAllStandardError().contains("Communication problem"));
    }
}

TEST_F(CliTransferTest, AWrongHandshakeKeyFailsWithTheLinksMessageAndWritesNothing)
{
    // A unit of the demo project's model that expects another handshake key.
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM, {"--project", demoProject(), "--key", "17"}};
    const QString target = writeFile("old.clk", "keep me");
    const QStringList receive{"receive", "-o", target, "--port", sim.device,
                              "--project", demoProject()};
    expectFailure(receive, 1, {"Communication problem:\nWrong init"});
    EXPECT_EQ(contents(target), "keep me");
    EXPECT_EQ(run(receive + QStringList{"--key", "17"}).exitCode, 0);
    ClockTable got;
    EXPECT_TRUE(ReadClockImage(got, contents(target)).done() && got.ModelIndex == 1);
}

} // namespace
} // namespace quintara::testing
