#pragma once

#include "link/SerialLine.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>

namespace quintara::link {

// The Telnet bytes a COM port control session speaks (RFC 854, 855, 856, 858, 2217).
namespace telnet {
inline constexpr quint8 Se = 240;
inline constexpr quint8 Sb = 250;
inline constexpr quint8 Will = 251;
inline constexpr quint8 Wont = 252;
inline constexpr quint8 Do = 253;
inline constexpr quint8 Dont = 254;
inline constexpr quint8 Iac = 255;

inline constexpr quint8 Binary = 0;
inline constexpr quint8 SuppressGoAhead = 3;
inline constexpr quint8 ComPortOption = 44;

// COM port control commands from the client; the server answers each with the command + 100.
inline constexpr quint8 SetBaudRate = 1;
inline constexpr quint8 SetDataSize = 2;
inline constexpr quint8 SetParity = 3;
inline constexpr quint8 SetStopSize = 4;
inline constexpr quint8 ServerReply = 100;
} // namespace telnet

// One side of a Telnet connection to a serial port server: separates the line's data from the
// negotiation and answers the far side. The client sets the far port's line parameters and
// knows which were confirmed; the server (the simulator's side) takes and confirms them. Data passes through untouched once binary mode holds both ways; before, a CR goes
// out as CR NUL and a NUL after a received CR is dropped, as a Telnet network terminal expects.
// Holds no connection of its own: the caller moves the bytes.
class TelnetStream {
public:
    // Where the far side stands on COM port control.
    enum class ComPort { Asked, Refused, Agreed };

    enum class Role { Client, Server };

    // `parameters`: what the client sets, or the server's port as it stands.
    explicit TelnetStream(const LineParameters &parameters, Role role = Role::Client);
    // A server that answers COM port control with DONT, as one without it does.
    void refuseComPort() { m_refuseComPort = true; }

    // What opens the session: the options this side offers and asks for.
    QByteArray opening();
    // Separates the bytes received into line data, returned, and negotiation; what must go
    // back to the far side is added to `reply`. Any byte sequence is accepted: a damaged or
    // overlong command is dropped whole.
    QByteArray receive(QByteArrayView bytes, QByteArray &reply);
    // Line data as it must go out: IAC doubled, CR NUL outside binary mode.
    QByteArray send(QByteArrayView data) const;

    ComPort comPort() const { return m_comPort; }
    // Server: the line as the client set it so far.
    const LineParameters &line() const { return m_parameters; }
    // The line parameters the far side confirmed; the baud rate is the one it reports.
    std::optional<qint32> confirmedBaudRate() const { return m_baudRate; }
    // Whether every line parameter asked for was confirmed as asked.
    bool lineConfirmed() const;
    bool binary() const;
    // Negotiations dropped as damaged (a subnegotiation too long or cut off).
    int damaged() const { return m_damaged; }

    // Longest subnegotiation kept; longer ones are damage (servers send a few bytes at most).
    static constexpr int MaxSubnegotiation = 64;

private:
    // Whether an option is on, per side (RFC 1143 without the queue: this side never changes
    // its mind).
    enum class Side : quint8 { No, WantYes, Yes };
    enum class State { Data, Command, Option, Sub, SubCommand };

    void command(quint8 verb, quint8 option, QByteArray &reply);
    void subnegotiation(QByteArray &reply);
    void serverCommand(quint8 command, QByteArrayView value, QByteArray &reply);
    void agreeComPort(QByteArray &reply);
    static bool wanted(quint8 option);

    LineParameters m_parameters;
    Role m_role = Role::Client;
    bool m_refuseComPort = false;
    std::array<Side, 256> m_us{};  // options this side performs
    std::array<Side, 256> m_him{}; // options the far side performs
    State m_state = State::Data;
    quint8 m_verb = 0;
    bool m_afterCr = false;
    bool m_subOverflow = false;
    QByteArray m_sub;
    ComPort m_comPort = ComPort::Asked;
    bool m_lineSent = false;
    std::optional<qint32> m_baudRate;
    std::array<bool, 5> m_confirmed{}; // per COM port command 1..4
    int m_damaged = 0;
};

} // namespace quintara::link
