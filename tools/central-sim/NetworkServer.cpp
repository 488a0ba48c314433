#include "tools/central-sim/NetworkServer.h"

#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/TransferSide.h"

#include <QTcpSocket>

#include <cstdio>

namespace quintara::sim {

NetworkServer::NetworkServer(CentralUnit &unit, const link::NetworkAddress &address,
                             bool refuseComPort)
    : m_unit(unit), m_address(address), m_refuseComPort(refuseComPort)
{
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &NetworkServer::accept);
    connect(&m_ticker, &QTimer::timeout, this, [this] {
        m_unit.advanceTo(m_clock.elapsed());
        flush();
    });
    m_ticker.start(int(TransferSide::SettleMs));
}

bool NetworkServer::listen()
{
    const QHostAddress host(m_address.host == u"localhost" ? QStringLiteral("127.0.0.1")
                                                           : m_address.host);
    if (host.isNull()) {
        std::fprintf(stderr, "central-sim: listen on an IP address, not %s\n",
                     qPrintable(m_address.host));
        return false;
    }
    if (!m_server.listen(host, m_address.port)) {
        std::fprintf(stderr, "central-sim: cannot listen on %s: %s\n",
                     qPrintable(m_address.toString()), qPrintable(m_server.errorString()));
        return false;
    }
    return true;
}

link::NetworkAddress NetworkServer::address() const
{
    link::NetworkAddress address = m_address;
    address.port = m_server.serverPort();
    return address;
}

void NetworkServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        // The newest client takes the line: one that went away may not have been seen going
        // yet when its successor connects. What it sent before it went is still heard.
        if (m_client) {
            m_client->waitForReadyRead(0);
            m_client->disconnect(this);
            m_client->abort();
            m_client->deleteLater();
        }
        m_client = socket;
        m_received = 0;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &NetworkServer::received);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        m_telnet.reset();
        if (m_address.kind == link::NetworkAddress::Kind::ComPortControl) {
            m_telnet.emplace(link::LineParameters{}, link::TelnetStream::Role::Server);
            if (m_refuseComPort)
                m_telnet->refuseComPort();
            socket->write(m_telnet->opening());
        }
    }
}

void NetworkServer::received()
{
    if (!m_client)
        return;
    QByteArray bytes = m_client->readAll();
    const bool closing = m_closeAfter && m_received + bytes.size() >= *m_closeAfter;
    if (closing)
        bytes.truncate(qsizetype(*m_closeAfter - m_received));
    m_received += bytes.size();
    QByteArray data = bytes;
    if (m_telnet) {
        QByteArray reply;
        data = m_telnet->receive(bytes, reply);
        m_client->write(reply);
    }
    if (!data.isEmpty())
        m_unit.receive(data, m_clock.elapsed());
    if (closing) {
        m_client->abort();
        return;
    }
    flush();
}

std::optional<QString> NetworkServer::lineCommand(const QStringList &words)
{
    if (words.value(0) != u"net")
        return std::nullopt;
    bool ok = false;
    const qint64 count = words.value(2).toLongLong(&ok);
    if (words.size() != 3 || words[1] != u"close-after" || (!ok && words[2] != u"off") ||
        (ok && count < 1))
        return QStringLiteral("? usage: net close-after <bytes>|off");
    m_closeAfter = ok ? std::optional<qint64>(count) : std::nullopt;
    return QStringLiteral("ok");
}

void NetworkServer::flush()
{
    const QByteArray output = m_unit.takeOutput();
    // With nobody connected the unit talks to an empty line.
    if (!m_client || output.isEmpty())
        return;
    m_client->write(m_telnet ? m_telnet->send(output) : output);
}

} // namespace quintara::sim
