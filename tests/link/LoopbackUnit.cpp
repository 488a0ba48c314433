#include "tests/link/LoopbackUnit.h"

#include "tools/central-sim/CentralUnit.h"

#include <QCoreApplication>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <utility>

namespace quintara::testing {

TappedLine::TappedLine(link::SerialLine &line) : m_line(line)
{
    connect(&line, &SerialLine::bytesArrived, this, &SerialLine::bytesArrived);
    connect(&line, &SerialLine::failed, this, &SerialLine::failed);
}

bool TappedLine::open()
{
    const bool wasOpen = m_line.isOpen();
    if (!m_line.open())
        return false;
    if (!wasOpen) {
        ++opens;
        written.clear();
        taken.clear();
    }
    return true;
}

bool TappedLine::writeByte(quint8 byte)
{
    if (!m_line.writeByte(byte))
        return false;
    written.append(char(byte));
    return true;
}

std::optional<quint8> TappedLine::readByte()
{
    const std::optional<quint8> byte = m_line.readByte();
    if (byte)
        taken.append(char(*byte));
    return byte;
}

void TappedLine::clearInput()
{
    while (readByte()) {
    }
    m_line.clearInput();
}

void TappedLine::clearOutput()
{
    // What is dropped is what had not left yet: the newest bytes.
    const qint64 queued = m_line.outputQueueLength();
    m_line.clearOutput();
    written.chop(qsizetype(queued - m_line.outputQueueLength()));
}

LoopbackUnit::LoopbackUnit(sim::CentralUnit &unit, VirtualPump &pump,
                           link::NetworkAddress::Kind kind)
    : m_unit(unit), m_kind(kind),
      m_network([this](int port) { return port == 1 ? m_address : QString(); })
{
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost)) << m_server.errorString().toStdString();
    m_address =
        link::NetworkAddress{kind, QStringLiteral("127.0.0.1"), m_server.serverPort()}.toString();
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    m_bound.setSingleShot(true);
    pump.addHook([this](qint64 now) { round(now); });
}

LoopbackUnit::~LoopbackUnit()
{
    m_network.close();
    // The line's sockets go on deleteLater(), and no event loop runs here to delete them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void LoopbackUnit::round(qint64 nowMs)
{
    settle();
    m_unit.receive(std::exchange(m_forUnit, {}), nowMs);
    const QByteArray answer = m_unit.takeOutput();
    // With nobody connected the unit talks to an empty line.
    if (!answer.isEmpty() && m_peer && m_peer->state() == QAbstractSocket::ConnectedState) {
        m_told += answer;
        m_peer->write(m_telnet ? m_telnet->send(answer) : answer);
    }
    settle();
}

void LoopbackUnit::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_peer)
            m_peer->abort();
        m_peer = socket;
        ++m_accepted;
        m_heard.clear();
        m_told.clear();
        m_checkedTaken = 0;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (socket == m_peer)
                received();
        });
        m_telnet.reset();
        if (m_kind == link::NetworkAddress::Kind::ComPortControl) {
            m_telnet.emplace(link::LineParameters{}, link::TelnetStream::Role::Server);
            socket->write(m_telnet->opening());
        }
    }
}

void LoopbackUnit::received()
{
    const QByteArray bytes = m_peer->readAll();
    QByteArray data = bytes;
    if (m_telnet) {
        QByteArray reply;
        data = m_telnet->receive(bytes, reply);
        if (!reply.isEmpty())
            m_peer->write(reply);
    }
    const qsizetype from = m_heard.size();
    m_heard += data;
    m_forUnit += data;
    if (m_accepted == m_tap.opens)
        compare(m_tap.written, m_heard, from);
}

bool LoopbackUnit::settled() const
{
    if (!m_tap.isOpen())
        return true;
    if (!m_network.ready() || m_accepted != m_tap.opens || !m_peer)
        return false;
    return m_heard.size() >= m_tap.written.size() &&
           m_tap.taken.size() + m_tap.bytesWaiting() >= m_told.size();
}

void LoopbackUnit::settle()
{
    // What the link took since the last round came from this connection.
    if (m_accepted == m_tap.opens) {
        compare(m_told, m_tap.taken, m_checkedTaken);
        m_checkedTaken = m_tap.taken.size();
    }
    if (m_stuck || settled())
        return;
    // Only the sockets' events move it on: sleep until one comes, or the bound does.
    m_bound.start(SettleMs);
    while (!settled() && m_bound.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_bound.stop();
    // Counted once; later rounds only look.
    m_stuck = !settled();
}

void LoopbackUnit::compare(const QByteArray &sent, const QByteArray &arrived, qsizetype from)
{
    for (qsizetype i = from; i < arrived.size(); ++i)
        m_damaged += i >= sent.size() || sent[i] != arrived[i];
}

} // namespace quintara::testing
