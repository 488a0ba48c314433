#include "tests/tools/CliFixture.h"

#include "clock/ClockFile.h"
#include "link/ClockConversion.h"
#include "project/ProjectModel.h"
#include "tables/TableSet.h"
#include "tests/support/CentralSimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace quintara::testing {
namespace {

using clock::ClockTable;

// The lock file the serial port library leaves for an open device ("LCK..pts_3"), in whichever
// of the usual lock folders it chose; empty when there is none.
QString PortLockFile(const QString &device)
{
    const QString name = QStringLiteral("LCK..") +
                         QString(device).remove(QStringLiteral("/dev/")).replace(u'/', u'_');
    for (const char *folder : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                               "/var/spool/uucp", "/tmp", "/var/tmp"}) {
        const QString path = QDir(QString::fromLatin1(folder)).filePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

class CliTransferTest : public CliTest {
protected:
    ClockTable readBack(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        ClockTable table;
        EXPECT_TRUE(clock::ReadClockImage(table, file.readAll()).done());
        return table;
    }

    // A clock file of one daily line.
    QString writeDailyLine()
    {
        ClockTable table;
        table.ClockFileVersion = 1;
        table.Lines[0] =
            Line(QDate(2026, 12, 1), 7, 30, clock::Continue, clock::Days, 1, 1, 3, 255);
        return writeClockFile("house.clk", table);
    }
};

TEST_F(CliTransferTest, SendAndReceiveTheClockTableOverAPseudoTerminal)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);

    ClockTable table;
    table.ClockFileVersion = 1;
    table.ModelIndex = 0;
    table.Lines[0] = Line(QDate(2029, 6, 1), 7, 30, clock::Continue, clock::Once, 0, 1, 3, 255);
    table.Lines[1] = Line(QDate(2020, 1, 1), 8, 0, clock::Continue, clock::Once, 0, 1, 4, 255);
    table.Lines[2] = Line(QDate(2026, 11, 2), 22, 15, clock::Workday, clock::Once, 0, 2, 1, 127);
    table.Lines[70] = Line(QDate(2029, 1, 31), 6, 0, clock::Special, clock::Months, 1, 8, 2, 0);
    const QString file = writeClockFile("out.clk", table);

    const QString now = "2026-12-09T10:00";
    const CliRun sent = run({"send", file, "--port", sim.device, "--set-time", "--now", now});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.constData();
    EXPECT_TRUE(sent.out.startsWith("Sent the clock table")) << sent.out.constData();
    EXPECT_TRUE(sent.err.contains("Progress: 100%")) << sent.err.constData();

    // The unit holds what the program's own normalisation and conversion make of the file.
    ClockTable expected = table;
    expected.MaxClockLines = clock::ClockLineCount;
    const QDateTime moment = QDateTime::fromString(now, Qt::ISODate);
    link::NormaliseClockDates(expected, moment);
    tables::TableSet set;
    link::ClockTableToCentral(expected, set, tables::TableSet::ClockSlot, moment);
    set.FinishTable(tables::TableSet::ClockSlot);
    QStringList bytes;
    for (int i = 0; i < set[tables::TableSet::ClockSlot].Length; ++i)
        bytes << QString::number(
            set[tables::TableSet::ClockSlot].Data[static_cast<std::size_t>(i)]);
    EXPECT_EQ(sim.command("transfer table 18"), bytes.join(u' '));

    // Back as received, into a new file of the model: the past one-time line was freed on the
    // way out, the others come back with the chain the conversion gave them.
    const QString received = writeFile("in.clk", QByteArray(4000, 'x'));
    const CliRun back = run({"receive", "-o", received, "--port", sim.device});
    ASSERT_EQ(back.exitCode, 0) << back.err.constData();
    EXPECT_EQ(QFile(received).size(), clock::ClockFileSize);
    const ClockTable got = readBack(received);
    EXPECT_EQ(got.ClockFileVersion, 1);
    EXPECT_EQ(got.ModelIndex, 0);
    EXPECT_FALSE(got.Lines[1].inUse());
    for (const int index : {0, 2, 70}) {
        clock::ClockLine want = expected.Lines[index];
        // Only lines 0 to 4 carry a chain head in the unit's form.
        if (index >= clock::TableKindCount)
            want.FirstLine = 0;
        EXPECT_EQ(got.Lines[index], want) << index;
    }
}

TEST_F(CliTransferTest, SendWithVerifyReadsTheTableBackAndNamesTheLinesTheUnitGotWrong)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    ClockTable table;
    table.ClockFileVersion = 1;
    table.Lines[3] = Line(QDate(2026, 12, 7), 7, 30, clock::Continue, clock::Days, 1, 1, 3, 255);
    table.Lines[8] = Line(QDate(2026, 12, 7), 22, 15, clock::Weekend, clock::Days, 1, 2, 1, 127);
    const QString file = writeClockFile("verify.clk", table);
    const QStringList send{"send",     file,    "--port",          sim.device,
                           "--verify", "--now", "2026-12-09T10:00"};

    const CliRun verified = run(send);
    ASSERT_EQ(verified.exitCode, 0) << verified.err.constData();
    EXPECT_EQ(verified.out, "Sent and verified\n");
    EXPECT_TRUE(verified.err.contains("Progress: Reading back")) << verified.err.constData();

    // The unit keeps the repeat unit of line 8 (the runs of one field begin at 7 x 100) wrong.
    EXPECT_EQ(sim.command("transfer corrupt-store 708"), "ok");
    const CliRun different = run(send);
    EXPECT_EQ(different.exitCode, 1);
    EXPECT_TRUE(different.err.contains("Lines that differ: 8 (22:15)\n"))
        << different.err.constData();
    EXPECT_TRUE(different.out.isEmpty());
}

TEST_F(CliTransferTest, PortAndTraceMistakesAreSaidBeforeTheLineIsTouched)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    const QString file = writeDailyLine();
    const QString unitBefore = sim.command("transfer table 18");
    const auto path = [&file](const char *name) {
        return QFileInfo(file).dir().filePath(QString::fromLatin1(name));
    };

    // A trace that could not be written after the transfer.
    for (const QString &trace : {path("missing/trace.txt"), path(".")}) {
        const CliRun refused = run({"send", file, "--port", sim.device, "--trace", trace});
        EXPECT_EQ(refused.exitCode, 2) << qPrintable(trace);
        EXPECT_TRUE(refused.err.contains("--trace")) << refused.err.constData();
        EXPECT_FALSE(refused.err.contains("Progress")) << refused.err.constData();
    }
    EXPECT_EQ(sim.command("transfer table 18"), unitBefore);

    // Numbers are port numbers, never devices in the current folder.
    for (const char *port : {"0", "100", "-1", "99999999999"}) {
        const CliRun refused = run({"send", file, "--port", port});
        EXPECT_EQ(refused.exitCode, 2) << port;
        EXPECT_TRUE(refused.err.contains("--port takes a port number 1 to 99 or a device"))
            << refused.err.constData();
    }

    // A device that does not open: the headline, its reason once, the remedy.
    const CliRun missing = run({"send", file, "--port", path("no-such-tty")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("Communication problem:\n" + path("no-such-tty").toUtf8() +
                                     ": "))
        << missing.err.constData();
    EXPECT_TRUE(missing.err.contains("Select other communication port"));
    EXPECT_EQ(missing.err.count("No such file or directory"), 1) << missing.err.constData();
}

TEST_F(CliTransferTest, ASendThatFailsAfterItsLastBlockSaysTheUnitMayHoldTheNewTable)
{
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    const QString file = writeDailyLine();
    const QStringList send = {"send", file, "--port", sim.device, "--now", "2026-12-09T10:00"};

    ASSERT_EQ(sim.command("transfer silent ending"), "ok");
    const CliRun ending = run(send);
    EXPECT_EQ(ending.exitCode, 1);
    EXPECT_TRUE(ending.err.contains("Communication problem:\nNo ending\nThe central unit may "
                                    "already hold the new table.\n"))
        << ending.err.constData();
    EXPECT_TRUE(ending.err.endsWith("To see which table it holds: quintara-cli send --verify, or "
                                    "quintara-cli receive.\n"));

    ASSERT_EQ(sim.command("transfer silent header"), "ok");
    const CliRun header = run(send);
    EXPECT_EQ(header.exitCode, 1);
    EXPECT_TRUE(header.err.contains("Communication problem:\nNo table\n"));
    EXPECT_FALSE(header.err.contains("may already hold")) << header.err.constData();
}

TEST_F(CliTransferTest, CtrlCOrSigtermStopsATransferAndFreesThePort)
{
    const QString file = writeDailyLine();
    for (const auto &[signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        CentralSimProcess sim{QUINTARA_CENTRAL_SIM};
        ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
        // A unit that never echoes a header keeps the transfer going for a minute.
        ASSERT_EQ(sim.command("transfer silent header"), "ok");
        QProcess cli;
        cli.start(QStringLiteral(QUINTARA_CLI), {"send", file, "--port", sim.device});
        ASSERT_TRUE(cli.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (PortLockFile(sim.device).isEmpty() && waited.elapsed() < 10000)
            QThread::msleep(20);
        const QString lock = PortLockFile(sim.device);
        ASSERT_FALSE(lock.isEmpty()) << "no lock file for " << qPrintable(sim.device);
        // Into the transfer's waits.
        QThread::msleep(2500);

        ::kill(static_cast<pid_t>(cli.processId()), signal);
        ASSERT_TRUE(cli.waitForFinished(3000));
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(cli.exitCode(), status) << signal;
        EXPECT_FALSE(QFileInfo::exists(lock)) << qPrintable(lock);
        // Cancelled, not failed: no message.
        EXPECT_FALSE(cli.readAllStandardError().contains("Communication problem"));
    }
}

TEST_F(CliTransferTest, FailuresReportTheLinksMessageAndWriteNothing)
{
    // A unit of the demo project's model that expects another handshake key.
    CentralSimProcess sim{QUINTARA_CENTRAL_SIM, {"--project", demoProject(), "--key", "17"}};
    ASSERT_TRUE(sim.device.startsWith("/dev/")) << qPrintable(sim.device);
    const QString target = writeFile("old.clk", "keep me");

    const CliRun wrongKey =
        run({"receive", "-o", target, "--port", sim.device, "--project", demoProject()});
    EXPECT_EQ(wrongKey.exitCode, 1);
    EXPECT_TRUE(wrongKey.err.contains("Communication problem:\nWrong init"))
        << wrongKey.err.constData();
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "keep me");

    const CliRun rightKey = run(
        {"receive", "-o", target, "--port", sim.device, "--project", demoProject(), "--key", "17"});
    EXPECT_EQ(rightKey.exitCode, 0) << rightKey.err.constData();
    EXPECT_EQ(readBack(target).ModelIndex, 1);
}

} // namespace
} // namespace quintara::testing
