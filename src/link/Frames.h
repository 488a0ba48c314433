#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <utility>

namespace quintara::link {

// Result codes of the connection and the table transfer; each has its text under the same
// string id. 0 is success.
namespace LinkCode {
inline constexpr int Ok = 0;
inline constexpr int CommunicationProblem = 650; // headline of every failure; also "no step ran"
inline constexpr int TooLong = 651;              // output queue did not drain in time
inline constexpr int NoAnswer = 652;
inline constexpr int NoOrOldCentral = 653;
inline constexpr int NoInit = 654;
inline constexpr int WrongInit = 655;
inline constexpr int NoTable = 656;
inline constexpr int WrongTable = 657;
inline constexpr int NoAck = 658;
inline constexpr int WrongAck = 659;
inline constexpr int NoMessage = 660;
inline constexpr int WrongMessage = 661;
inline constexpr int NoEnding = 662;
inline constexpr int WrongEnding = 663;
inline constexpr int InputTimedOut = 664; // a wait for input only; never the end of a transfer
inline constexpr int Stopped = 665;       // Cancel
inline constexpr int WrongCentral = 666;
inline constexpr int SoftwareIncompatible = 667;
inline constexpr int ModemConnected = 668; // no carrier in time, or the modem did not say "OK"
// An answer that none of the codes above names: a byte damaged on the line, or a device that
// does not speak this protocol. Its message says what was expected and what came.
inline constexpr int DamagedAnswer = 669;
// The network's faults on the way to a serial port server; each message names the address.
inline constexpr int HostNotFound = 681;
inline constexpr int ConnectionRefused = 682;
inline constexpr int NoConnection = 683; // no answer within the connect time
inline constexpr int ClosedByFarSide = 684;
inline constexpr int LineSettingsRefused = 685; // COM port control refused or never confirmed

// The line itself failed (rather than the unit answering wrongly): the step ends at once.
inline bool IsLineFault(int code)
{
    return code == CommunicationProblem || (code >= HostNotFound && code <= LineSettingsRefused);
}
// Faults another attempt cannot mend: the far side is not there, or will not set the line. A
// connection the far side closed is opened again, as a port that broke is.
inline bool EndsTheJob(int code)
{
    return IsLineFault(code) && code != CommunicationProblem && code != ClosedByFarSide;
}
} // namespace LinkCode

// Bytes of the handshake and the transfer.
namespace LinkByte {
inline constexpr quint8 Escape = 240; // starts each handshake group
inline constexpr quint8 Version = 33; // protocol version both sides speak
inline constexpr quint8 Ack = 192;
inline constexpr quint8 Nak = 224;
inline constexpr quint8 End = 96;            // '`'
inline constexpr quint8 SendHeader = 160;    // + table number: the PC sends the table
inline constexpr quint8 ReceiveHeader = 128; // + table number: the PC receives the table
inline constexpr quint8 InitRefused = 0;     // the unit's answer to a wrong handshake response
inline constexpr int BlockData = 15;         // data bytes of a full block
inline constexpr quint8 LineFeed = 10;
inline constexpr quint8 CarriageReturn = 13;
} // namespace LinkByte

inline const QString FirstAccessCode = QStringLiteral("QZMRWTPX");
inline const QString SecondAccessCode = QStringLiteral("XPTWRMZQ");

inline QByteArray OneByte(quint8 byte)
{
    return QByteArray(1, static_cast<char>(byte));
}

// One block of a table: a header with the block number (modulo 16) and the count, up to 15
// data bytes, and the checksum, the sum of all before it modulo 256. A table ends with a block
// shorter than 15 bytes; a table whose last block is full ends with an empty one.
class Block {
public:
    Block(int number, QByteArray data) : m_number(number % 16), m_data(std::move(data)) {}
    // What a received header says: the block number and the count that follows.
    static int NumberOf(quint8 header) { return header >> 4; }
    static int CountOf(quint8 header) { return header & 15; }

    int number() const { return m_number; }
    const QByteArray &data() const { return m_data; }
    bool isLast() const { return m_data.size() < LinkByte::BlockData; }
    quint8 header() const { return static_cast<quint8>(16 * m_number + m_data.size()); }
    quint8 checksum() const
    {
        unsigned sum = header();
        for (const char c : m_data)
            sum += static_cast<quint8>(c);
        return static_cast<quint8>(sum & 255u);
    }
    // The block as it goes on the line.
    QByteArray bytes() const { return OneByte(header()) + m_data + OneByte(checksum()); }

    bool operator==(const Block &) const = default;

private:
    int m_number = 0;
    QByteArray m_data;
};

// The groups of the identification handshake as the PC sends them.
namespace HandshakeFrame {
inline QByteArray FirstAccess()
{
    return OneByte(LinkByte::Escape) + OneByte(0) + FirstAccessCode.toLatin1();
}
inline QByteArray SecondAccess()
{
    return OneByte(LinkByte::Escape) + OneByte(255) + SecondAccessCode.toLatin1();
}
inline QByteArray Identification(quint8 model)
{
    return OneByte(LinkByte::Escape) + OneByte(model) + OneByte(LinkByte::Version);
}
} // namespace HandshakeFrame

} // namespace quintara::link
