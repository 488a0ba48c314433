#pragma once

#include "link/NetworkLine.h"
#include "link/TelnetStream.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>

#include <optional>

class QTcpSocket;

namespace quintara::sim {

class CentralUnit;

// Where the unit's output goes: a pseudo-terminal or a network connection.
class UnitServer : public QObject {
public:
    using QObject::QObject;
    // Sends what the unit has to say.
    virtual void flush() = 0;
    // The console's commands for the line itself; nothing when the line has none such.
    virtual std::optional<QString> lineCommand(const QStringList &words)
    {
        Q_UNUSED(words);
        return std::nullopt;
    }
};

// The unit on a TCP port, as behind a serial port server: raw bytes or Telnet with COM port
// control. One client at a time, the newest; the unit keeps its state between clients, as it
// does when a cable is pulled.
class NetworkServer final : public UnitServer {
public:
    NetworkServer(CentralUnit &unit, const link::NetworkAddress &address, bool refuseComPort);

    // Listens; false with the reason on standard error.
    bool listen();
    // The address a client connects to, with the port actually taken.
    link::NetworkAddress address() const;

    void flush() override;
    // "net close-after <n>|off": each connection is closed by this side once n bytes came in
    // on it, as by a gateway that loses power mid-transfer.
    std::optional<QString> lineCommand(const QStringList &words) override;

private:
    void accept();
    void received();

    CentralUnit &m_unit;
    link::NetworkAddress m_address;
    bool m_refuseComPort;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    std::optional<link::TelnetStream> m_telnet;
    std::optional<qint64> m_closeAfter;
    qint64 m_received = 0; // on this connection
    QTimer m_ticker;
    QElapsedTimer m_clock;
};

} // namespace quintara::sim
