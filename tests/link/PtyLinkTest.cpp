// The real port path: QtSerialLine on pseudo-terminals (against the simulator executable in
// the end-to-end transfer test).
#include "link/QtSerialLine.h"

#include "link/PortDevice.h"
#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "tests/link/FakeSerialLine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace quintara::link {
namespace {

using testing::WaitFor;

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
    EXPECT_FALSE(line.setPortNumber(3) && line.open());
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
    ASSERT_TRUE(WaitFor([&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);

    for (char c : all)
        ASSERT_TRUE(line.writeByte(static_cast<quint8>(c)));
    ASSERT_TRUE(WaitFor([&] { return line.outputQueueLength() == 0; }));
    QByteArray echoed;
    while (echoed.size() < all.size()) {
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        ASSERT_GT(n, 0);
        echoed.append(buffer, n);
    }
    // A pty has no modem lines.
    EXPECT_EQ(std::pair(echoed, line.carrierDetect()), std::pair(all, false));

    QString reason;
    QObject::connect(&line, &SerialLine::failed, [&](const QString &why) { reason = why; });
    ::close(master);
    ASSERT_TRUE(WaitFor([&] { return !line.isOpen(); }));
    EXPECT_FALSE(reason.isEmpty() || line.writeByte(1));
}

} // namespace
} // namespace quintara::link
