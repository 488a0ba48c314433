#pragma once

#include "link/SerialLine.h"
#include "link/Ticker.h"
#include "link/Transfer.h"
#include "tests/support/VirtualPump.h"
#include "tools/central-sim/CentralUnit.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSet>

#include <functional>
#include <initializer_list>

namespace quintara::testing {

// Byte values as the line carries them.
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

// Lets real events run until the condition holds; false when it never did.
inline bool WaitFor(const std::function<bool()> &done, int ms = 5000)
{
    for (const QDeadlineTimer deadline(ms); !done() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A serial line in memory. What the program writes waits in the output queue until the
// virtual pump runs (as QSerialPort's bytes leave when the event loop runs); what the test
// delivers is read back byte by byte. Make it before anything that listens to it on the pump.
class FakeSerialLine final : public link::SerialLine {
    Q_OBJECT
public:
    explicit FakeSerialLine(VirtualPump &pump)
    {
        pump.addHook(
            [this](qint64) { m_sent += stuckOutput ? QByteArray() : std::exchange(m_output, {}); });
    }

    // Numbers 1..16 are accepted as ports; only these exist.
    QSet<int> existingPorts{1, 2};
    // The output queue never drains (a stuck handshake line).
    bool stuckOutput = false;
    bool carrier = false;

    // Everything written since the line was made, and how often it was opened.
    QByteArray written;
    int opens = 0;

    bool setPortNumber(int portNumber) override
    {
        if (portNumber < 1 || portNumber > 16)
            return false;
        close();
        m_port = portNumber;
        return true;
    }
    int portNumber() const override { return m_port; }
    bool setParameters(const QString &parameters) override
    {
        const auto parsed = link::LineParameters::parse(parameters);
        m_parameters = parsed.value_or(m_parameters);
        return parsed.has_value();
    }
    QString parameters() const override { return m_parameters.toString(); }

    bool open() override
    {
        m_open = existingPorts.contains(m_port);
        opens += m_open;
        m_lastError = m_open ? QString() : QStringLiteral("No such file or directory");
        return m_open;
    }
    void close() override
    {
        m_open = false;
        m_output.clear();
    }
    bool isOpen() const override { return m_open; }

    bool writeByte(quint8 byte) override
    {
        if (m_open) {
            written.append(static_cast<char>(byte));
            m_output.append(static_cast<char>(byte));
        }
        return m_open;
    }
    int bytesWaiting() const override { return static_cast<int>(m_input.size()); }
    std::optional<quint8> readByte() override
    {
        if (m_input.isEmpty())
            return std::nullopt;
        return static_cast<quint8>(std::exchange(m_input, m_input.mid(1)).front());
    }
    qint64 outputQueueLength() const override { return stuckOutput ? 1 : m_output.size(); }
    void clearInput() override { m_input.clear(); }
    void clearOutput() override { m_output.clear(); }
    bool carrierDetect() override { return carrier; }
    QString device() const override { return QStringLiteral("/dev/fake%1").arg(m_port); }
    QString lastError() const override { return m_lastError; }

    // Bytes arrive from the far end; queued, their notification is still pending.
    void deliver(const QByteArray &bytes)
    {
        queue(bytes);
        emit bytesArrived();
    }
    void queue(const QByteArray &bytes) { m_input += m_open ? bytes : QByteArray(); }
    // The bytes that have left the output queue since the last call (the far end reads them).
    QByteArray takeSent() { return std::exchange(m_sent, {}); }
    // The device vanishes.
    void fail()
    {
        m_open = false;
        emit failed(m_lastError = QStringLiteral("device gone"));
    }

private:
    int m_port = 0;
    link::LineParameters m_parameters;
    bool m_open = false;
    QByteArray m_output;
    QByteArray m_sent;
    QByteArray m_input;
    QString m_lastError;
};

// A ticker on virtual time: ticks when the pump's clock passes each interval.
class VirtualTicker final : public link::Ticker {
    Q_OBJECT
public:
    explicit VirtualTicker(VirtualPump &pump) : m_pump(pump)
    {
        pump.addHook([this](qint64 now) { advanceTo(now); });
    }
    // Started again at its interval, it keeps its time.
    void start(int intervalMs) override
    {
        m_next = m_active && m_interval == intervalMs ? m_next : m_pump.msecs() + intervalMs;
        m_active = true;
        m_interval = intervalMs;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

    // One tick now, whatever the clock says; the next an interval later.
    void fire() { advanceTo(m_next = m_pump.msecs()); }

private:
    void advanceTo(qint64 now)
    {
        while (m_active && now >= m_next) {
            m_next += m_interval;
            emit tick();
        }
    }

    VirtualPump &m_pump;
    bool m_active = false;
    int m_interval = 0;
    qint64 m_next = 0;
};

// The simulator's engine behind a fake line: it hears what has left the line and answers at
// every round of the virtual pump.
inline void ConnectCentralUnit(sim::CentralUnit &unit, FakeSerialLine &line, VirtualPump &pump)
{
    pump.addHook([&unit, &line](qint64 now) {
        unit.receive(line.takeSent(), now);
        const QByteArray answer = unit.takeOutput();
        if (!answer.isEmpty())
            line.deliver(answer);
    });
}

// Runs a job of the link as a front end does: its events, then the link, until the job is done.
inline link::Drive DriveOn(platform::EventPump &pump)
{
    return [&pump](link::CentralLink &link) {
        while (link.Busy()) {
            pump.processEvents(link.msUntilNextLook());
            link.advance();
        }
    };
}

} // namespace quintara::testing
