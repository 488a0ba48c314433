#include "link/NetworkLine.h"

#include "link/LinkLog.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QUrl>

namespace quintara::link {

namespace {

constexpr QLatin1StringView RawScheme("tcp");
constexpr QLatin1StringView TelnetScheme("rfc2217");

} // namespace

bool NetworkAddress::isNetwork(const QString &device)
{
    const QString text = device.trimmed();
    return text.startsWith(RawScheme + QLatin1StringView("://"), Qt::CaseInsensitive) ||
           text.startsWith(TelnetScheme + QLatin1StringView("://"), Qt::CaseInsensitive);
}

std::optional<NetworkAddress> NetworkAddress::parse(const QString &device, QString *refusal,
                                                    Use use)
{
    const auto refuse = [&](const QString &why) -> std::optional<NetworkAddress> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    const QString text = device.trimmed();
    if (!isNetwork(text))
        return refuse(QStringLiteral("not tcp://HOST:PORT or rfc2217://HOST:PORT"));
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() ||
        (!url.path().isEmpty() && url.path() != u"/") || url.hasQuery() || url.hasFragment())
        return refuse(QStringLiteral("not a host and a port"));
    if (url.port() < (use == Use::Listen ? 0 : 1))
        return refuse(QStringLiteral("no port given (1 to 65535)"));
    NetworkAddress address;
    address.kind = url.scheme().compare(TelnetScheme, Qt::CaseInsensitive) == 0
                       ? Kind::ComPortControl
                       : Kind::Raw;
    address.host = url.host();
    address.port = quint16(url.port());
    return address;
}

QString NetworkAddress::toString() const
{
    const QString host = this->host.contains(u':') ? u'[' + this->host + u']' : this->host;
    return QStringLiteral("%1://%2:%3")
        .arg(kind == Kind::Raw ? RawScheme : TelnetScheme, host)
        .arg(port);
}

NetworkLine::NetworkLine(DeviceMap deviceForPort, QObject *parent)
    : MappedPortLine(std::move(deviceForPort), parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_connected)
            fail(LinkCode::LineSettingsRefused,
                 QStringLiteral("the line settings were not confirmed within %1 s")
                     .arg(m_negotiationMs / 1000.0));
        else
            fail(LinkCode::NoConnection,
                 QStringLiteral("no answer within %1 s").arg(m_connectMs / 1000.0));
    });
}

NetworkLine::~NetworkLine()
{
    // No failure signal from a line that is going away.
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

bool NetworkLine::open()
{
    if (m_socket)
        return true;
    const std::optional<NetworkAddress> address = NetworkAddress::parse(device(), &m_lastError);
    if (!address)
        return false;
    m_address = *address;
    m_connected = m_ready = false;
    m_drainOnClose = true;
    m_failureCode = LinkCode::CommunicationProblem;
    m_held.clear();
    m_input.clear();
    m_telnet.reset();
    if (m_address.kind == NetworkAddress::Kind::ComPortControl)
        m_telnet.emplace(lineParameters());
    m_socket = std::make_unique<QTcpSocket>();
    connect(m_socket.get(), &QTcpSocket::connected, this, &NetworkLine::connected);
    connect(m_socket.get(), &QTcpSocket::readyRead, this, &NetworkLine::received);
    connect(m_socket.get(), &QTcpSocket::errorOccurred, this, &NetworkLine::socketFailed);
    qCDebug(lcLine) << "connecting to" << m_address.toString();
    m_deadline.start(m_connectMs);
    m_socket->connectToHost(m_address.host, m_address.port);
    return true;
}

void NetworkLine::close()
{
    if (!m_socket)
        return;
    // What was written before the far side was ready still leaves, as a serial port's queue
    // does on close: the on-line test writes its frame and closes at once.
    if (!m_ready && m_drainOnClose && !m_held.isEmpty())
        awaitReady(CloseDrainMs);
    if (!m_socket) // it failed meanwhile, and is closed
        return;
    m_deadline.stop();
    m_socket->disconnect(this);
    if (m_ready && m_drainOnClose && m_socket->bytesToWrite() > 0)
        m_socket->waitForBytesWritten(CloseDrainMs);
    m_socket->abort();
    // Deleted later: close() may run inside one of the socket's own signals.
    m_socket.release()->deleteLater();
    m_ready = false;
    m_held.clear();
}

void NetworkLine::awaitReady(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (m_socket && !m_ready && !deadline.hasExpired()) {
        const int left = int(deadline.remainingTime());
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            break;
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            m_socket->waitForConnected(left);
        else
            m_socket->waitForReadyRead(left);
    }
}

bool NetworkLine::writeByte(quint8 byte)
{
    if (!m_socket)
        return false;
    const char c = char(byte);
    m_drainOnClose = true;
    if (!m_ready) {
        m_held.append(c);
        return true;
    }
    const QByteArray out = m_telnet ? m_telnet->send(QByteArrayView(&c, 1)) : QByteArray(1, c);
    return m_socket->write(out) == out.size();
}

std::optional<quint8> NetworkLine::readByte()
{
    if (m_input.isEmpty())
        return std::nullopt;
    const auto byte = quint8(m_input.front());
    m_input.remove(0, 1);
    return byte;
}

qint64 NetworkLine::outputQueueLength() const
{
    return m_held.size() + (m_socket ? m_socket->bytesToWrite() : 0);
}

void NetworkLine::connected()
{
    qCDebug(lcLine) << "connected to" << m_address.toString();
    m_connected = true;
    // The protocol's bytes are small and timed: they must not wait to be coalesced. Only a
    // connected socket takes the option.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!m_telnet) {
        becomeReady();
        return;
    }
    m_deadline.start(m_negotiationMs);
    m_socket->write(m_telnet->opening());
}

void NetworkLine::received()
{
    const QByteArray bytes = m_socket->readAll();
    if (!m_telnet) {
        m_input += bytes;
    } else {
        QByteArray reply;
        m_input += m_telnet->receive(bytes, reply);
        if (!reply.isEmpty())
            m_socket->write(reply);
        if (m_telnet->comPort() == TelnetStream::ComPort::Refused) {
            fail(LinkCode::LineSettingsRefused,
                 QStringLiteral("COM port control (RFC 2217) refused: use tcp:// for a port "
                                "that is set up on the far side"));
            return;
        }
        if (!m_ready && m_telnet->lineConfirmed())
            becomeReady();
    }
    if (!m_input.isEmpty())
        emit bytesArrived();
}

void NetworkLine::becomeReady()
{
    m_deadline.stop();
    m_ready = true;
    sendHeld();
}

void NetworkLine::sendHeld()
{
    if (m_held.isEmpty())
        return;
    const QByteArray out = m_telnet ? m_telnet->send(m_held) : m_held;
    m_held.clear();
    m_socket->write(out);
}

void NetworkLine::socketFailed()
{
    switch (m_socket->error()) {
    case QAbstractSocket::HostNotFoundError:
        fail(LinkCode::HostNotFound, QStringLiteral("host %1 not found").arg(m_address.host));
        break;
    case QAbstractSocket::ConnectionRefusedError:
        fail(LinkCode::ConnectionRefused, QStringLiteral("connection refused"));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        fail(LinkCode::ClosedByFarSide, QStringLiteral("connection closed by the far side"));
        break;
    case QAbstractSocket::SocketTimeoutError:
        fail(LinkCode::NoConnection, QStringLiteral("no answer in time"));
        break;
    default:
        // Unreachable networks and the like: the operating system's words say it best.
        fail(m_connected ? LinkCode::ClosedByFarSide : LinkCode::NoConnection,
             m_socket->errorString());
        break;
    }
}

void NetworkLine::fail(int code, const QString &reason)
{
    if (!m_socket)
        return;
    m_failureCode = code;
    m_lastError = reason;
    qCDebug(lcLine) << "connection failed:" << reason;
    // Nothing held back leaves after a failure.
    m_held.clear();
    close();
    emit failed(reason);
}

} // namespace quintara::link
