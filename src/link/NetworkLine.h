#pragma once

#include "link/MappedPortLine.h"
#include "link/TelnetStream.h"

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class QTcpSocket;

namespace quintara::link {

// A serial port reached over the network: `tcp://HOST:PORT` carries the line's bytes as they
// are (the far side's port is set up there), `rfc2217://HOST:PORT` speaks Telnet and sets the
// far port's line parameters itself.
struct NetworkAddress {
    enum class Kind { Raw, ComPortControl };

    Kind kind = Kind::Raw;
    QString host;
    quint16 port = 0;

    // Whether the device is meant as a network address (by its scheme).
    static bool isNetwork(const QString &device);
    // Nothing, with the reason in `refusal`, for a network address that is not a whole one.
    // To listen on, port 0 stands for any free port.
    enum class Use { Connect, Listen };
    static std::optional<NetworkAddress> parse(const QString &device, QString *refusal = nullptr,
                                               Use use = Use::Connect);
    QString toString() const;
};

// The line over a TCP connection. open() starts connecting and answers at once, so nothing
// waits on the network: what is written before the far side is ready is held back and leaves
// once it is (connected; for COM port control also the line settings confirmed). Every
// connection fault closes the line and raises failed() with its reason (the caller names the
// address, as it names a serial device).
class NetworkLine final : public MappedPortLine {
    Q_OBJECT
public:
    explicit NetworkLine(DeviceMap deviceForPort, QObject *parent = nullptr);
    ~NetworkLine() override;

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_socket != nullptr; }

    bool writeByte(quint8 byte) override;
    int bytesWaiting() const override { return int(m_input.size()); }
    std::optional<quint8> readByte() override;
    qint64 outputQueueLength() const override;
    void clearInput() override { m_input.clear(); }
    // What the socket already took leaves only if more is written: a Cancel closes at once.
    void clearOutput() override
    {
        m_held.clear();
        m_drainOnClose = false;
    }
    // No modem lines on a network: the connection is the carrier.
    bool carrierDetect() override { return false; }

    QString lastError() const override { return m_lastError; }
    int failureCode() const override { return m_failureCode; }

    // Whether the far side is ready for the line's bytes.
    bool ready() const { return m_ready; }

    // How long connecting, and agreeing on the line settings after it, may take.
    static constexpr int ConnectMs = 5000;
    static constexpr int NegotiationMs = 3000;
    void setDeadlines(int connectMs, int negotiationMs)
    {
        m_connectMs = connectMs;
        m_negotiationMs = negotiationMs;
    }

private:
    void connected();
    void received();
    void socketFailed();
    void becomeReady();
    // Connects and agrees on the line for at most `ms`, without running other events.
    void awaitReady(int ms);
    void fail(int code, const QString &reason);
    void sendHeld();

    NetworkAddress m_address;
    QString m_lastError;
    int m_failureCode = LinkCode::CommunicationProblem;
    std::unique_ptr<QTcpSocket> m_socket;
    std::optional<TelnetStream> m_telnet;
    QTimer m_deadline;
    int m_connectMs = ConnectMs;
    int m_negotiationMs = NegotiationMs;
    bool m_connected = false;
    bool m_ready = false;
    bool m_drainOnClose = true;
    QByteArray m_held;  // written before the far side was ready
    QByteArray m_input; // line data received and not yet read
};

} // namespace quintara::link
