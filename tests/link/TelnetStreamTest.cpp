#include "link/TelnetStream.h"

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(char(value));
    return bytes;
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
    EXPECT_EQ(reply, SetLine);
    EXPECT_EQ(stream.comPort(), TelnetStream::ComPort::Agreed);
    EXPECT_TRUE(stream.binary());
    EXPECT_FALSE(stream.lineConfirmed());

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
    EXPECT_EQ(data, Bytes({0x06, 0x15}));
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(stream.confirmedBaudRate(), 19200);
    EXPECT_TRUE(stream.lineConfirmed());
}

TEST(TelnetStream, AFarSideThatRefusesOrSetsOtherwiseIsSeen)
{
    TelnetStream stream(Line19200());
    stream.opening();
    QByteArray reply;
    // No COM port control; an option nobody asked for is declined both ways.
    stream.receive(Bytes({255, 254, 44, 255, 253, 24, 255, 251, 1}), reply);
    EXPECT_EQ(stream.comPort(), TelnetStream::ComPort::Refused);
    EXPECT_EQ(reply, Bytes({255, 252, 24, 255, 254, 1}));
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
    EXPECT_EQ(other.confirmedBaudRate(), 9600);
    EXPECT_FALSE(other.lineConfirmed());
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
    EXPECT_EQ(stream.damaged(), 2);
    EXPECT_EQ(reply, Bytes({255, 252, 24}));
    EXPECT_FALSE(stream.confirmedBaudRate());
}

} // namespace
} // namespace quintara::link

namespace quintara::link {
namespace {

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
    EXPECT_TRUE(client.lineConfirmed());
    EXPECT_TRUE(client.binary() && server.binary());
    EXPECT_EQ(server.line().toString(), "9600,e,7,2");

    QByteArray reply;
    const QByteArray data = Bytes({0x02, 255, '\r', 0, 0x03});
    EXPECT_EQ(server.receive(client.send(data), reply), data);
    EXPECT_EQ(client.receive(server.send(data), reply), data);
    EXPECT_TRUE(reply.isEmpty());

    // One without COM port control: the client is told so and the server's line stays.
    TelnetStream hopeful(*LineParameters::parse(QStringLiteral("9600,n,8,1")));
    TelnetStream plain(Line19200(), TelnetStream::Role::Server);
    plain.refuseComPort();
    Converse(hopeful, plain);
    EXPECT_EQ(hopeful.comPort(), TelnetStream::ComPort::Refused);
    EXPECT_EQ(plain.line(), Line19200());
}

} // namespace
} // namespace quintara::link
