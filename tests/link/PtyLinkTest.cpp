// The real port path: QtSerialLine on pseudo-terminals, against the simulator executable.
#include "link/Kalvenor.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "link/Ticker.h"
#include "platform/EventPump.h"
#include "settings/ProfileFile.h"
#include "tests/link/EventLog.h"
#include "tests/support/CentralSimProcess.h"

#include <QFile>
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
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(ticker.isActive());
}

TEST(PtyLink, PortsThatAreNotThereNeverOpen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const settings::ProfileFile profile(dir.filePath(QStringLiteral("Ventora.ini")));
    {
        QFile file(profile.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Ports]\nCOM3=" + dir.filePath(QStringLiteral("no-such-tty")).toUtf8() + "\n");
    }
    const DeviceMap map = DeviceMapFromSettings(profile);
    EXPECT_EQ(map(3), dir.filePath(QStringLiteral("no-such-tty")));
    EXPECT_EQ(map(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_TRUE(map(0).isEmpty());
    EXPECT_TRUE(map(MaxPortNumber + 1).isEmpty());

    QtSerialLine line(map);
    QtTicker ticker;
    platform::QtEventPump pump;
    Kalvenor link{line, ticker};
    EXPECT_EQ(link.InitComm(3, 19200), -1);
    EXPECT_FALSE(ticker.isActive());
}

// A raw pseudo-terminal pair made here, so the test can play the far end itself.
struct PtyPair {
    PtyPair()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&master, &slave, name, &raw, nullptr) == 0)
            device = QString::fromLocal8Bit(name);
    }
    ~PtyPair()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
    int master = -1;
    int slave = -1;
    QString device;
};

TEST(PtyLink, LineCarriesRawBytesAndGivesUpWhenTheFarEndVanishes)
{
    PtyPair pty;
    ASSERT_FALSE(pty.device.isEmpty());
    QtSerialLine line([&](int) { return pty.device; });
    platform::QtEventPump pump;
    ASSERT_TRUE(line.setPortNumber(1));
    ASSERT_TRUE(line.setParameters(QStringLiteral("9600,n,8,1")));
    EXPECT_FALSE(line.setParameters(QStringLiteral("9600,x,8,1")));
    EXPECT_EQ(line.parameters(), QStringLiteral("9600,n,8,1"));
    ASSERT_TRUE(line.open()) << line.lastError().toStdString();
    ::close(pty.slave); // the line has its own descriptor now
    pty.slave = -1;

    // Every byte value passes unchanged in both directions.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    ASSERT_EQ(::write(pty.master, all.constData(), all.size()), all.size());
    QByteArray received;
    int notifications = 0;
    QObject::connect(&line, &SerialLine::bytesArrived, [&] {
        ++notifications;
        while (line.bytesWaiting() > 0)
            received.append(static_cast<char>(*line.readByte()));
    });
    ASSERT_TRUE(WaitUntil(pump, [&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);
    EXPECT_GE(notifications, 1);

    for (char c : all)
        ASSERT_TRUE(line.writeByte(static_cast<quint8>(c)));
    ASSERT_TRUE(WaitUntil(pump, [&] { return line.outputQueueLength() == 0; }));
    QByteArray echoed(all.size(), '\0');
    qsizetype got = 0;
    while (got < echoed.size()) {
        const ssize_t n = ::read(pty.master, echoed.data() + got, echoed.size() - got);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_EQ(echoed, all);
    EXPECT_FALSE(line.carrierDetect()); // a pty has no modem lines

    QString reason;
    QObject::connect(&line, &SerialLine::failed, [&](const QString &why) { reason = why; });
    ::close(pty.master);
    pty.master = -1;
    ASSERT_TRUE(WaitUntil(pump, [&] { return !line.isOpen(); }));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(line.writeByte(1));
}

} // namespace
} // namespace quintara::link
