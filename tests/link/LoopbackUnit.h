#pragma once

#include "link/NetworkLine.h"
#include "link/SerialLine.h"
#include "link/TelnetStream.h"
#include "tests/support/VirtualPump.h"

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <optional>

class QTcpSocket;

namespace quintara::sim {
class CentralUnit;
}

namespace quintara::testing {

// A line that passes everything to another and keeps account of the data since it was opened:
// what went out, and what came in and was taken (read, or cleared away: read first, so that
// nothing is taken unseen).
class TappedLine final : public link::SerialLine {
    Q_OBJECT
public:
    explicit TappedLine(link::SerialLine &line);

    bool setPortNumber(int portNumber) override { return m_line.setPortNumber(portNumber); }
    int portNumber() const override { return m_line.portNumber(); }
    bool setParameters(const QString &parameters) override
    {
        return m_line.setParameters(parameters);
    }
    QString parameters() const override { return m_line.parameters(); }
    bool open() override;
    void close() override { m_line.close(); }
    bool isOpen() const override { return m_line.isOpen(); }
    bool writeByte(quint8 byte) override;
    int bytesWaiting() const override { return m_line.bytesWaiting(); }
    std::optional<quint8> readByte() override;
    qint64 outputQueueLength() const override { return m_line.outputQueueLength(); }
    void clearInput() override;
    void clearOutput() override;
    bool carrierDetect() override { return m_line.carrierDetect(); }
    QString device() const override { return m_line.device(); }
    QString lastError() const override { return m_line.lastError(); }

    int opens = 0;
    // Since the last open: the data written and not cleared away before it left, and the data
    // taken.
    QByteArray written;
    QByteArray taken;

private:
    link::SerialLine &m_line;
};

// The simulator's engine behind a TCP server on loopback, reached by a real NetworkLine (raw or
// with Telnet COM port control) on virtual time. At each round of the pump the server hands
// the unit what the link wrote and sends its answer back, and the loopback is let settle (every
// data byte read at the far end, the line ready) before time moves on: the network takes no
// virtual time, as a fake line's wire takes none. A network that loses, changes or adds data,
// or does not settle within a real-time bound, is counted, never waited for twice.
class LoopbackUnit {
public:
    LoopbackUnit(sim::CentralUnit &unit, VirtualPump &pump, link::NetworkAddress::Kind kind);
    ~LoopbackUnit();
    LoopbackUnit(const LoopbackUnit &) = delete;
    LoopbackUnit &operator=(const LoopbackUnit &) = delete;

    // The link's line: port 1 is the server.
    link::SerialLine &line() { return m_tap; }
    // Data bytes lost, changed or added on the way, either way; a loopback that did not settle.
    int damagedBytes() const { return m_damaged; }
    bool stuck() const { return m_stuck; }

    // How long one round may wait, in real time, for the loopback to settle.
    static constexpr int SettleMs = 2000;

private:
    void round(qint64 nowMs);
    void accept();
    void received();
    void settle();
    bool settled() const;
    // Counts the bytes of `arrived` from `from` on that are not what was sent.
    void compare(const QByteArray &sent, const QByteArray &arrived, qsizetype from);

    sim::CentralUnit &m_unit;
    link::NetworkAddress::Kind m_kind;
    QTcpServer m_server;
    QString m_address;
    link::NetworkLine m_network;
    TappedLine m_tap{m_network};
    QPointer<QTcpSocket> m_peer;
    std::optional<link::TelnetStream> m_telnet;
    int m_accepted = 0;
    QByteArray m_heard;           // the data the server received on this connection
    QByteArray m_forUnit;         // of which the unit has not heard yet
    QByteArray m_told;            // the data the server sent on this connection
    qsizetype m_checkedTaken = 0; // of the data the link took, compared with m_told so far
    int m_damaged = 0;
    bool m_stuck = false;
    QTimer m_bound; // wakes a settling round that waits in vain
};

} // namespace quintara::testing
