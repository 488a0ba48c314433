// The real port path: QtSerialLine on pseudo-terminals, against the simulator executable.
#include "link/Kalvenor.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "link/Ticker.h"
#include "platform/EventPump.h"
#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "tests/link/EventLog.h"
#include "tests/support/CentralSimProcess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace quintara::link {
namespace {

using testing::EventLog;

constexpr int PatienceMs = 5000;

// Lets events run until the condition holds; false when it never did.
bool WaitUntil(platform::EventPump &pump, const std::function<bool()> &condition)
{
    const qint64 deadline = pump.msecs() + PatienceMs;
    while (!condition()) {
        if (pump.msecs() > deadline)
            return false;
        pump.processEvents(20);
    }
    return true;
}

TEST(PtyLink, SetAndGetAgainstTheSimulatorOverAPseudoTerminal)
{
    testing::CentralSimProcess sim{QStringLiteral(QUINTARA_CENTRAL_SIM)};
    ASSERT_TRUE(sim.device.startsWith(QStringLiteral("/dev/"))) << sim.device.toStdString();

    QtSerialLine line([&](int port) { return port == 1 ? sim.device : QString(); });
    QtTicker ticker;
    platform::QtEventPump pump;
    Kalvenor link{line, ticker};
    EventLog log{link};

    ASSERT_EQ(link.InitComm(1, 19200), 0) << line.lastError().toStdString();
    EXPECT_TRUE(ticker.isActive());

    EXPECT_EQ(link.SetRelay(5, 1), 0);
    ASSERT_TRUE(WaitUntil(pump, [&] { return !log.events.isEmpty(); }));
    EXPECT_EQ(log.take(), QStringList{"ErrMsg(0,All OK)"});

    EXPECT_EQ(link.GetRelayState(5), 0);
    ASSERT_TRUE(WaitUntil(pump, [&] { return log.events.size() >= 2; }));
    EXPECT_EQ(log.take(), QStringList({"ErrMsg(0,All OK)", "Relay(5,1)"}));

    EXPECT_FALSE(sim.command("report sensor 3 2 80").startsWith(u'?'));
    ASSERT_TRUE(WaitUntil(pump, [&] { return !log.events.isEmpty(); }));
    EXPECT_EQ(log.take(), QStringList{"Light(2,99)"});

    EXPECT_EQ(link.EndComm(), 0);
    EXPECT_FALSE(line.isOpen() || ticker.isActive());
}

TEST(PtyLink, PortsThatAreNotThereNeverOpen)
{
    QTemporaryDir dir;
    const settings::ProfileFile profile(dir.filePath(QStringLiteral("Ventora.ini")));
    const QString missing = dir.filePath(QStringLiteral("no-such-tty"));
    ASSERT_FALSE(platform::WriteWholeFile(profile.path(), "[Ports]\nCOM3=" + missing.toUtf8()));
    const DeviceMap map = DeviceMapFromSettings(profile);
    EXPECT_EQ(QStringList({map(3), map(1), map(0), map(MaxPortNumber + 1)}),
              QStringList({missing, QStringLiteral("/dev/ttyS0"), {}, {}}));

    QtSerialLine line(map);
    QtTicker ticker;
    Kalvenor link{line, ticker};
    EXPECT_EQ(link.InitComm(3, 19200), -1);
    EXPECT_FALSE(ticker.isActive());
}

TEST(PtyLink, LineCarriesRawBytesAndGivesUpWhenTheFarEndVanishes)
{
    // A raw pseudo-terminal pair made here, so the test plays the far end itself.
    termios raw{};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, &raw, nullptr), 0);
    QtSerialLine line([&](int) { return QString::fromLocal8Bit(name); });
    platform::QtEventPump pump;
    ASSERT_TRUE(line.setPortNumber(1));
    ASSERT_TRUE(line.setParameters(QStringLiteral("9600,n,8,1")));
    EXPECT_FALSE(line.setParameters(QStringLiteral("9600,x,8,1")));
    EXPECT_EQ(line.parameters(), QStringLiteral("9600,n,8,1"));
    const bool opened = line.open();
    ::close(slave); // the line has its own descriptor now
    ASSERT_TRUE(opened) << line.lastError().toStdString();

    // Every byte value passes unchanged in both directions.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    ASSERT_EQ(::write(master, all.constData(), all.size()), all.size());
    QByteArray received;
    QObject::connect(&line, &SerialLine::bytesArrived, [&] {
        while (line.bytesWaiting() > 0)
            received.append(static_cast<char>(*line.readByte()));
    });
    ASSERT_TRUE(WaitUntil(pump, [&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);

    for (char c : all)
        ASSERT_TRUE(line.writeByte(static_cast<quint8>(c)));
    ASSERT_TRUE(WaitUntil(pump, [&] { return line.outputQueueLength() == 0; }));
    QByteArray echoed;
    while (echoed.size() < all.size()) {
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        ASSERT_GT(n, 0);
        echoed.append(buffer, n);
    }
    EXPECT_EQ(echoed, all);
    EXPECT_FALSE(line.carrierDetect()); // a pty has no modem lines

    QString reason;
    QObject::connect(&line, &SerialLine::failed, [&](const QString &why) { reason = why; });
    ::close(master);
    ASSERT_TRUE(WaitUntil(pump, [&] { return !line.isOpen(); }));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(line.writeByte(1));
}

} // namespace
} // namespace quintara::link
