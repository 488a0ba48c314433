#include "link/NetworkLine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>

namespace quintara::link {
namespace {

bool WaitFor(const std::function<bool()> &done, int ms = 5000)
{
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(char(value));
    return bytes;
}

TEST(NetworkAddress, OnlyWholeAddressesAreTaken)
{
    const auto raw = NetworkAddress::parse(QStringLiteral(" tcp://gateway.local:4001 "));
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->kind, NetworkAddress::Kind::Raw);
    EXPECT_EQ(raw->host, "gateway.local");
    EXPECT_EQ(raw->port, 4001);
    const auto telnet = NetworkAddress::parse(QStringLiteral("RFC2217://[::1]:2217"));
    ASSERT_TRUE(telnet);
    EXPECT_EQ(telnet->kind, NetworkAddress::Kind::ComPortControl);
    EXPECT_EQ(telnet->toString(), "rfc2217://[::1]:2217");

    EXPECT_FALSE(NetworkAddress::isNetwork(QStringLiteral("/dev/ttyUSB0")));
    for (const char *bad : {"tcp://gateway", "tcp://gateway:0", "tcp://gateway:70000",
                            "tcp://user@gateway:1", "tcp://:4001", "tcp://gateway:4001/x",
                            "rfc2217://gateway:4001?baud=9600", "tcp://gate way:1"}) {
        QString refusal;
        EXPECT_FALSE(NetworkAddress::parse(QString::fromLatin1(bad), &refusal)) << bad;
        EXPECT_FALSE(refusal.isEmpty()) << bad;
    }
}

// A serial port server on loopback: one connection, what it received, what it sends.
struct Server {
    QTcpServer listener;
    QTcpSocket *peer = nullptr;
    QByteArray received;

    Server()
    {
        EXPECT_TRUE(listener.listen(QHostAddress::LocalHost));
        QObject::connect(&listener, &QTcpServer::newConnection, [this] {
            peer = listener.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, [this] { received += peer->readAll(); });
        });
    }
    QString address(const char *scheme) const
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(listener.serverPort());
    }
};

struct NetworkLineTest : ::testing::Test {
    QString device;
    NetworkLine line{[this](int n) { return n == 1 ? device : QString(); }};
    QString failure;

    NetworkLineTest()
    {
        QObject::connect(&line, &SerialLine::failed, [this](const QString &why) { failure = why; });
    }
    bool openAt(const QString &address)
    {
        device = address;
        return line.setPortNumber(1) && line.open();
    }
    void write(const QByteArray &bytes)
    {
        for (const char byte : bytes)
            ASSERT_TRUE(line.writeByte(quint8(byte)));
    }
    QByteArray readAll()
    {
        QByteArray bytes;
        while (const auto byte = line.readByte())
            bytes.append(char(*byte));
        return bytes;
    }
};

TEST_F(NetworkLineTest, RawBytesCrossUnchangedAndWaitForTheConnection)
{
    Server server;
    ASSERT_TRUE(openAt(server.address("tcp")));
    EXPECT_TRUE(line.isOpen());
    // Written before the connection is up: held back, then sent in order.
    const QByteArray bytes = Bytes({0x02, 0xff, 0x0d, 0x00, 0x03});
    write(bytes);
    EXPECT_EQ(line.outputQueueLength(), bytes.size());
    ASSERT_TRUE(WaitFor([&] { return server.received == bytes; })) << server.received.toHex().data();
    EXPECT_TRUE(line.ready());
    EXPECT_TRUE(WaitFor([&] { return line.outputQueueLength() == 0; }));

    server.peer->write(Bytes({0x06, 0xff}));
    ASSERT_TRUE(WaitFor([&] { return line.bytesWaiting() == 2; }));
    EXPECT_EQ(readAll(), Bytes({0x06, 0xff}));

    // The far side going away mid-transfer fails the line, naming the address.
    server.peer->close();
    ASSERT_TRUE(WaitFor([&] { return !failure.isEmpty(); }));
    EXPECT_EQ(failure, "connection closed by the far side");
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.writeByte(1));
}

TEST_F(NetworkLineTest, ComPortControlSetsTheLineBeforeAnyDataLeaves)
{
    Server server;
    ASSERT_TRUE(line.setParameters(QStringLiteral("9600,e,8,1")));
    ASSERT_TRUE(openAt(server.address("rfc2217")));
    write(Bytes({0xff, 0x0d}));
    ASSERT_TRUE(WaitFor([&] { return server.received.size() >= 15; }));
    EXPECT_EQ(server.received,
              Bytes({255, 251, 0, 255, 251, 3, 255, 251, 44, 255, 253, 0, 255, 253, 3}));
    server.received.clear();
    // The server agrees; the line settings follow, the data does not yet.
    server.peer->write(Bytes({255, 253, 0, 255, 253, 3, 255, 253, 44, 255, 251, 0, 255, 251, 3}));
    const QByteArray settings = Bytes({255, 250, 44, 1, 0, 0, 0x25, 0x80, 255, 240, 255, 250, 44, 2,
                                       8, 255, 240, 255, 250, 44, 3, 3, 255, 240, 255, 250, 44,
                                       4, 1, 255, 240});
    ASSERT_TRUE(WaitFor([&] { return server.received.size() >= settings.size(); }));
    EXPECT_EQ(server.received, settings);
    EXPECT_FALSE(line.ready());
    server.received.clear();
    server.peer->write(Bytes({255, 250, 44, 101, 0, 0, 0x25, 0x80, 255, 240, 255, 250, 44, 102, 8,
                              255, 240, 255, 250, 44, 103, 3, 255, 240, 255, 250, 44, 104, 1,
                              255, 240, 0x15, 0xff, 0xff}));
    // Binary mode both ways: IAC doubled, CR as it is.
    ASSERT_TRUE(WaitFor([&] { return server.received.size() >= 3; }));
    EXPECT_EQ(server.received, Bytes({0xff, 0xff, 0x0d}));
    ASSERT_TRUE(WaitFor([&] { return line.bytesWaiting() == 2; }));
    EXPECT_EQ(readAll(), Bytes({0x15, 0xff}));
    EXPECT_TRUE(failure.isEmpty());
}

TEST_F(NetworkLineTest, ConnectionFaultsAreNamedAndNothingHeldLeaves)
{
    // Nobody listening.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const QString nobody = QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort);
    ASSERT_TRUE(openAt(nobody));
    write("x");
    ASSERT_TRUE(WaitFor([&] { return !failure.isEmpty(); }));
    EXPECT_EQ(failure, "connection refused");
    EXPECT_EQ(line.failureCode(), LinkCode::ConnectionRefused);
    EXPECT_EQ(line.outputQueueLength(), 0);

    // A server without COM port control, and one that never confirms the line.
    for (const bool refuses : {true, false}) {
        Server server;
        failure.clear();
        // Short only where it must run out: a refusal gets the time a loaded machine needs.
        line.setDeadlines(NetworkLine::ConnectMs, refuses ? NetworkLine::NegotiationMs : 300);
        ASSERT_TRUE(openAt(server.address("rfc2217")));
        write("data");
        ASSERT_TRUE(WaitFor([&] { return server.peer != nullptr; }));
        if (refuses)
            server.peer->write(Bytes({255, 254, 44}));
        ASSERT_TRUE(WaitFor([&] { return !failure.isEmpty(); }));
        EXPECT_TRUE(failure.startsWith(refuses ? "COM port control (RFC 2217) refused"
                                               : "the line settings were not confirmed"))
            << failure.toStdString();
        EXPECT_EQ(line.failureCode(), LinkCode::LineSettingsRefused);
        EXPECT_FALSE(server.received.contains("data"));
    }

    // An address that is none is refused at open, with the reason.
    EXPECT_FALSE(openAt(QStringLiteral("tcp://gateway")));
    EXPECT_TRUE(line.lastError().startsWith("no port given"));
}

} // namespace
} // namespace quintara::link
