#include "link/TelnetStream.h"

#include <QtEndian>

namespace quintara::link {

using namespace telnet;

namespace {

// RFC 2217's codes for the line parameters.
quint8 ParityCode(char parity)
{
    switch (parity) {
    case 'o':
        return 2;
    case 'e':
        return 3;
    case 'm':
        return 4;
    case 's':
        return 5;
    default:
        return 1; // none
    }
}

void Append(QByteArray &out, std::initializer_list<quint8> bytes)
{
    for (const quint8 byte : bytes)
        out.append(char(byte));
}

// A COM port control command; IAC in its value doubled.
void AppendComPortCommand(QByteArray &out, quint8 command, QByteArrayView value)
{
    Append(out, {Iac, Sb, ComPortOption, command});
    for (const char byte : value) {
        out.append(byte);
        if (quint8(byte) == Iac)
            out.append(byte);
    }
    Append(out, {Iac, Se});
}

QByteArray BigEndian32(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(quint32(value), bytes.data());
    return bytes;
}

} // namespace

TelnetStream::TelnetStream(const LineParameters &parameters, Role role)
    : m_parameters(parameters), m_role(role)
{
}

bool TelnetStream::wanted(quint8 option)
{
    return option == Binary || option == SuppressGoAhead || option == ComPortOption;
}

QByteArray TelnetStream::opening()
{
    QByteArray out;
    for (const quint8 option : {Binary, SuppressGoAhead, ComPortOption}) {
        if (option == ComPortOption && m_role == Role::Server)
            continue; // the client performs it
        m_us[option] = Side::WantYes;
        Append(out, {Iac, Will, option});
    }
    // The far side performs binary and suppresses go-ahead too; COM port control is ours.
    for (const quint8 option : {Binary, SuppressGoAhead}) {
        m_him[option] = Side::WantYes;
        Append(out, {Iac, Do, option});
    }
    return out;
}

QByteArray TelnetStream::receive(QByteArrayView bytes, QByteArray &reply)
{
    QByteArray data;
    data.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = quint8(c);
        switch (m_state) {
        case State::Data:
            if (byte == Iac) {
                m_state = State::Command;
                break;
            }
            // Binary mode holds from the command that agreed it on.
            if (m_him[Binary] != Side::Yes && m_afterCr && byte == 0) {
                m_afterCr = false;
                break;
            }
            m_afterCr = byte == '\r';
            data.append(c);
            break;
        case State::Command:
            m_state = State::Data;
            if (byte == Iac) {
                m_afterCr = false;
                data.append(c);
            } else if (byte >= Will && byte <= Dont) {
                m_verb = byte;
                m_state = State::Option;
            } else if (byte == Sb) {
                m_sub.clear();
                m_subOverflow = false;
                m_state = State::Sub;
            } // other commands (NOP, go-ahead, a stray SE) carry nothing for the line
            break;
        case State::Option:
            m_state = State::Data;
            command(m_verb, byte, reply);
            break;
        case State::Sub:
            if (byte == Iac)
                m_state = State::SubCommand;
            else if (m_sub.size() < MaxSubnegotiation)
                m_sub.append(c);
            else
                m_subOverflow = true;
            break;
        case State::SubCommand:
            if (byte == Iac) {
                m_state = State::Sub;
                if (m_sub.size() < MaxSubnegotiation)
                    m_sub.append(c);
                else
                    m_subOverflow = true;
            } else if (byte == Se) {
                m_state = State::Data;
                if (m_subOverflow)
                    ++m_damaged;
                else
                    subnegotiation(reply);
            } else {
                // IAC and anything but SE or IAC ends a subnegotiation that was cut off: the
                // command it starts is read as one.
                ++m_damaged;
                m_state = State::Command;
                const char again = c;
                data += receive(QByteArrayView(&again, 1), reply);
            }
            break;
        }
    }
    return data;
}

void TelnetStream::command(quint8 verb, quint8 option, QByteArray &reply)
{
    // Turns one side of an option on or off. Only a change the far side asked for unprompted is
    // answered: an answer to this side's own request needs none, so the ends never loop.
    const auto turn = [&](Side &side, bool on, quint8 answer) {
        const Side to = on ? Side::Yes : Side::No;
        if (side == (on ? Side::No : Side::Yes))
            Append(reply, {Iac, answer, option});
        side = to;
    };
    switch (verb) {
    case Do:
        if (!wanted(option) || (option == ComPortOption && m_role == Role::Server)) {
            Append(reply, {Iac, Wont, option});
        } else if (m_us[option] != Side::Yes) {
            turn(m_us[option], true, Will);
            if (option == ComPortOption)
                agreeComPort(reply);
        }
        break;
    case Dont:
        turn(m_us[option], false, Wont);
        if (option == ComPortOption)
            m_comPort = ComPort::Refused;
        break;
    case Will:
        if (option == ComPortOption && m_role == Role::Server && !m_refuseComPort) {
            turn(m_him[option], true, Do);
            m_comPort = ComPort::Agreed;
        } else if (option != Binary && option != SuppressGoAhead) {
            Append(reply, {Iac, Dont, option});
            if (option == ComPortOption)
                m_comPort = ComPort::Refused;
        } else {
            turn(m_him[option], true, Do);
        }
        break;
    case Wont:
        turn(m_him[option], false, Dont);
        if (option == ComPortOption && m_role == Role::Server)
            m_comPort = ComPort::Refused;
        break;
    default:
        break;
    }
}

void TelnetStream::agreeComPort(QByteArray &reply)
{
    m_comPort = ComPort::Agreed;
    // Once: a far side that keeps changing its mind must not make the line settings pile up.
    if (m_lineSent)
        return;
    m_lineSent = true;
    AppendComPortCommand(reply, SetBaudRate, BigEndian32(m_parameters.baudRate));
    AppendComPortCommand(reply, SetDataSize, QByteArray(1, char(m_parameters.dataBits)));
    AppendComPortCommand(reply, SetParity, QByteArray(1, char(ParityCode(m_parameters.parity))));
    AppendComPortCommand(reply, SetStopSize, QByteArray(1, char(m_parameters.stopBits)));
}

void TelnetStream::subnegotiation(QByteArray &reply)
{
    if (m_sub.size() < 2 || quint8(m_sub[0]) != ComPortOption)
        return; // not ours: nothing to answer
    const QByteArrayView value = QByteArrayView(m_sub).sliced(2);
    if (m_role == Role::Server) {
        if (m_comPort == ComPort::Agreed)
            serverCommand(quint8(m_sub[1]), value, reply);
        return;
    }
    const int command = quint8(m_sub[1]) - ServerReply;
    switch (command) {
    case SetBaudRate:
        if (value.size() == 4) {
            m_baudRate = qint32(qFromBigEndian<quint32>(value.data()));
            m_confirmed[SetBaudRate] = *m_baudRate == m_parameters.baudRate;
        }
        break;
    case SetDataSize:
        if (value.size() == 1)
            m_confirmed[SetDataSize] = quint8(value[0]) == m_parameters.dataBits;
        break;
    case SetParity:
        if (value.size() == 1)
            m_confirmed[SetParity] = quint8(value[0]) == ParityCode(m_parameters.parity);
        break;
    case SetStopSize:
        if (value.size() == 1)
            m_confirmed[SetStopSize] = quint8(value[0]) == m_parameters.stopBits;
        break;
    default:
        break; // line and modem state notices: nothing the link waits for
    }
}

void TelnetStream::serverCommand(quint8 command, QByteArrayView value, QByteArray &reply)
{
    // A value of 0 asks for the setting as it stands; the answer is the setting either way.
    QByteArray answer;
    switch (command) {
    case SetBaudRate:
        if (value.size() != 4)
            return;
        if (const auto baud = qint32(qFromBigEndian<quint32>(value.data())); baud > 0)
            m_parameters.baudRate = baud;
        answer = BigEndian32(m_parameters.baudRate);
        break;
    case SetDataSize:
        if (value.size() != 1)
            return;
        if (const int bits = quint8(value[0]); bits >= 5 && bits <= 8)
            m_parameters.dataBits = bits;
        answer = QByteArray(1, char(m_parameters.dataBits));
        break;
    case SetParity:
        if (value.size() != 1)
            return;
        for (const char parity : {'n', 'o', 'e', 'm', 's'}) {
            if (ParityCode(parity) == quint8(value[0]))
                m_parameters.parity = parity;
        }
        answer = QByteArray(1, char(ParityCode(m_parameters.parity)));
        break;
    case SetStopSize:
        if (value.size() != 1)
            return;
        if (const int bits = quint8(value[0]); bits == 1 || bits == 2)
            m_parameters.stopBits = bits;
        answer = QByteArray(1, char(m_parameters.stopBits));
        break;
    default:
        return; // flow control, line state masks and the rest: not a unit's business
    }
    AppendComPortCommand(reply, quint8(command + ServerReply), answer);
}

bool TelnetStream::lineConfirmed() const
{
    return m_confirmed[SetBaudRate] && m_confirmed[SetDataSize] && m_confirmed[SetParity] &&
           m_confirmed[SetStopSize];
}

bool TelnetStream::binary() const
{
    return m_us[Binary] == Side::Yes && m_him[Binary] == Side::Yes;
}

QByteArray TelnetStream::send(QByteArrayView data) const
{
    const bool binaryOut = m_us[Binary] == Side::Yes;
    QByteArray out;
    out.reserve(data.size() + data.size() / 8);
    for (const char c : data) {
        out.append(c);
        if (quint8(c) == Iac)
            out.append(c);
        else if (c == '\r' && !binaryOut)
            out.append('\0');
    }
    return out;
}

} // namespace quintara::link
