// Serial lines over the network: the addresses, the Telnet stream with COM port control, and the
// network line against servers on loopback.
#include "link/NetworkLine.h"

#include "link/TelnetStream.h"
#include "tests/link/FakeSerialLine.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

using testing::Bytes;
using testing::WaitFor;

TEST(NetworkAddress, OnlyWholeAddressesAreTaken)
{
    const auto raw = NetworkAddress::parse(QStringLiteral(" tcp://gateway.local:4001 "));
    ASSERT_TRUE(raw);
    EXPECT_EQ(std::tuple(raw->kind, raw->host, raw->port),
              std::tuple(NetworkAddress::Kind::Raw, "gateway.local", 4001));
    const auto telnet = NetworkAddress::parse(QStringLiteral("RFC2217://[::1]:2217"));
    EXPECT_TRUE(telnet && telnet->kind == NetworkAddress::Kind::ComPortControl &&
                telnet->toString() == "rfc2217://[::1]:2217");
    EXPECT_FALSE(NetworkAddress::isNetwork(QStringLiteral("/dev/ttyUSB0")));
    for (const char *bad : {"tcp://gateway", "tcp://gateway:0", "tcp://gateway:70000",
                            "tcp://user@gateway:1", "tcp://:4001", "tcp://gateway:4001/x",
                            "rfc2217://gateway:4001?baud=9600", "tcp://gate way:1"}) {
        QString refusal;
        EXPECT_FALSE(NetworkAddress::parse(QString::fromLatin1(bad), &refusal)) << bad;
        EXPECT_FALSE(refusal.isEmpty()) << bad;
    }
}

LineParameters Line19200()
{
    return *LineParameters::parse(QStringLiteral("19200,n,8,1"));
}

// The far side agrees to everything asked.
const QByteArray Agreed = Bytes({255, 253, 0, 255, 253, 3, 255, 253, 44, 255, 251, 0, 255, 251, 3});
// The four line parameters of 19200,n,8,1, as RFC 2217 sets them.
const QByteArray SetLine = Bytes({255, 250, 44, 1, 0, 0, 0x4b, 0, 255, 240,  //
                                  255, 250, 44, 2, 8, 255, 240,              //
                                  255, 250, 44, 3, 1, 255, 240,              //
                                  255, 250, 44, 4, 1, 255, 240});

TEST(TelnetStream, NegotiatesBinaryAndSetsTheFarPortsLine)
{
    TelnetStream stream(Line19200());
    EXPECT_EQ(stream.opening(),
              Bytes({255, 251, 0, 255, 251, 3, 255, 251, 44, 255, 253, 0, 255, 253, 3}));

    // Agreement to what was offered needs no answer, only the line's settings.
    QByteArray reply;
    EXPECT_TRUE(stream.receive(Agreed, reply).isEmpty());
    EXPECT_EQ(std::tuple(reply, stream.comPort(), stream.binary(), stream.lineConfirmed()),
              std::tuple(SetLine, TelnetStream::ComPort::Agreed, true, false));

    // Said again, it is not answered again: no negotiation loop.
    reply.clear();
    stream.receive(Agreed, reply);
    EXPECT_TRUE(reply.isEmpty());

    // The server's answers, one byte at a time, with line data between them.
    const QByteArray answers = Bytes({255, 250, 44, 101, 0, 0, 0x4b, 0, 255, 240, 0x06,  //
                                      255, 250, 44, 102, 8, 255, 240,                   //
                                      255, 250, 44, 103, 1, 255, 240, 0x15,             //
                                      255, 250, 44, 104, 1, 255, 240});
    QByteArray data;
    for (const char byte : answers)
        data += stream.receive(QByteArrayView(&byte, 1), reply);
    EXPECT_EQ(std::tuple(data, reply, stream.confirmedBaudRate(), stream.lineConfirmed()),
              std::tuple(Bytes({0x06, 0x15}), QByteArray(), 19200, true));
}

TEST(TelnetStream, AFarSideThatRefusesOrSetsOtherwiseIsSeen)
{
    TelnetStream stream(Line19200());
    stream.opening();
    QByteArray reply;
    // No COM port control; an option nobody asked for is declined both ways.
    stream.receive(Bytes({255, 254, 44, 255, 253, 24, 255, 251, 1}), reply);
    EXPECT_EQ(std::pair(stream.comPort(), reply),
              std::pair(TelnetStream::ComPort::Refused, Bytes({255, 252, 24, 255, 254, 1})));
    // Changing its mind, it gets the line settings, once however often it does.
    reply.clear();
    stream.receive(Bytes({255, 253, 44, 255, 254, 44, 255, 253, 44}), reply);
    EXPECT_EQ(stream.comPort(), TelnetStream::ComPort::Agreed);
    EXPECT_EQ(reply, Bytes({255, 251, 44}) + SetLine + Bytes({255, 252, 44, 255, 251, 44}));

    // A server that keeps its own baud rate.
    TelnetStream other(Line19200());
    other.opening();
    reply.clear();
    other.receive(Agreed + Bytes({255, 250, 44, 101, 0, 0, 0x25, 0x80, 255, 240}), reply);
    EXPECT_EQ(std::tuple(other.confirmedBaudRate(), other.lineConfirmed()),
              std::tuple(9600, false));
}

TEST(TelnetStream, LineDataCrossesUnchangedBothWays)
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));
    all += Bytes({'\r', 0, '\r', '\n', 255, 255, '\r'});

    // Before binary mode: CR NUL out, the NUL dropped again on the way in.
    TelnetStream plain(Line19200());
    QByteArray reply;
    EXPECT_EQ(plain.send(Bytes({'\r', 255, 'a'})), Bytes({'\r', 0, 255, 255, 'a'}));
    EXPECT_EQ(TelnetStream(Line19200()).receive(plain.send(all), reply), all);

    TelnetStream binary(Line19200());
    binary.opening();
    binary.receive(Agreed, reply);
    EXPECT_EQ(binary.send(Bytes({'\r', 0, 255})), Bytes({'\r', 0, 255, 255}));
    EXPECT_EQ(binary.receive(binary.send(all), reply), all);
}

TEST(TelnetStream, DamagedNegotiationIsDroppedAndTheDataAroundItKept)
{
    TelnetStream stream(Line19200());
    stream.opening();
    QByteArray reply;
    stream.receive(Agreed, reply);
    reply.clear();

    // Too long to be a server's answer, then one cut off by a command.
    QByteArray damaged = Bytes({'a', 255, 250, 44, 101});
    damaged += QByteArray(200, char(7));
    damaged += Bytes({255, 240, 'b', 255, 250, 44, 101, 0, 255, 253, 24, 'c'});
    EXPECT_EQ(stream.receive(damaged, reply), QByteArray("abc"));
    EXPECT_EQ(std::tuple(stream.damaged(), reply, stream.confirmedBaudRate()),
              std::tuple(2, Bytes({255, 252, 24}), std::optional<qint32>()));
}

// Moves bytes between a client and a server until neither has more to say.
void Converse(TelnetStream &client, TelnetStream &server)
{
    QByteArray toServer = client.opening();
    QByteArray toClient = server.opening();
    for (int round = 0; round < 10 && !(toServer.isEmpty() && toClient.isEmpty()); ++round) {
        QByteArray fromServer;
        QByteArray fromClient;
        EXPECT_TRUE(server.receive(toServer, fromServer).isEmpty());
        EXPECT_TRUE(client.receive(toClient, fromClient).isEmpty());
        toServer = fromClient;
        toClient = fromServer;
    }
    EXPECT_TRUE(toServer.isEmpty() && toClient.isEmpty()) << "the negotiation does not settle";
}

TEST(TelnetStream, AServerTakesAndConfirmsTheLineAClientSets)
{
    TelnetStream client(*LineParameters::parse(QStringLiteral("9600,e,7,2")));
    TelnetStream server(Line19200(), TelnetStream::Role::Server);
    Converse(client, server);
    EXPECT_TRUE(client.lineConfirmed() && client.binary() && server.binary());
    EXPECT_EQ(server.line().toString(), "9600,e,7,2");
    // Data both ways, and a server that refuses, the network property test and the command
    // line's transfer test carry end to end.
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
    ASSERT_TRUE(openAt(server.address("tcp")) && line.isOpen());
    // Written before the connection is up: held back, then sent in order.
    const QByteArray bytes = Bytes({0x02, 0xff, 0x0d, 0x00, 0x03});
    write(bytes);
    EXPECT_EQ(line.outputQueueLength(), bytes.size());
    ASSERT_TRUE(WaitFor([&] { return server.received == bytes; })) << server.received.toHex().data();
    EXPECT_TRUE(line.ready() && WaitFor([&] { return line.outputQueueLength() == 0; }));

    server.peer->write(Bytes({0x06, 0xff}));
    ASSERT_TRUE(WaitFor([&] { return line.bytesWaiting() == 2; }));
    EXPECT_EQ(readAll(), Bytes({0x06, 0xff}));
    // A far side that goes away mid-transfer: the command line's transfer test.
}

TEST_F(NetworkLineTest, ComPortControlSetsTheLineBeforeAnyDataLeaves)
{
    Server server;
    ASSERT_TRUE(line.setParameters(QStringLiteral("9600,e,8,1")));
    ASSERT_TRUE(openAt(server.address("rfc2217")));
    write(Bytes({0xff, 0x0d}));
    ASSERT_TRUE(WaitFor([&] { return server.received.size() >= 15; }));
    EXPECT_EQ(server.received, TelnetStream(Line19200()).opening());
    server.received.clear();
    // The server agrees; the line settings follow, the data does not yet.
    server.peer->write(Agreed);
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

TEST_F(NetworkLineTest, AServerThatNeverConfirmsTheLineFailsItAndNothingHeldLeaves)
{
    // Nobody listening, and a server that refuses COM port control: the command line's
    // transfer test, end to end.
    Server server;
    line.setDeadlines(NetworkLine::ConnectMs, 300);
    ASSERT_TRUE(openAt(server.address("rfc2217")));
    write("data");
    ASSERT_TRUE(WaitFor([&] { return !failure.isEmpty(); }));
    EXPECT_TRUE(failure.startsWith("the line settings were not confirmed"))
        << failure.toStdString();
    EXPECT_EQ(line.failureCode(), LinkCode::LineSettingsRefused);
    EXPECT_FALSE(server.received.contains("data"));

    // An address that is none is refused at open, with the reason.
    EXPECT_FALSE(openAt(QStringLiteral("tcp://gateway")));
    EXPECT_TRUE(line.lastError().startsWith("no port given"));
}

} // namespace
} // namespace quintara::link
