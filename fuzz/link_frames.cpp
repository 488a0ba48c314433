// Feeds arbitrary bytes from the line to the link control's receiver and to the simulated
// central unit, in arbitrary chunks with ticks in between, and checks the decoded values.
#include "link/Kalvenor.h"
#include "link/SerialLine.h"
#include "link/Ticker.h"
#include "platform/EventPump.h"
#include "tools/central-sim/CentralUnit.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace quintara;

class MemoryLine final : public link::SerialLine {
public:
    bool setPortNumber(int portNumber) override
    {
        m_port = portNumber;
        return true;
    }
    int portNumber() const override { return m_port; }
    bool setParameters(const QString &parameters) override
    {
        m_parameters = parameters;
        return true;
    }
    QString parameters() const override { return m_parameters; }
    bool open() override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool writeByte(quint8) override { return m_open; }
    int bytesWaiting() const override { return static_cast<int>(m_input.size() - m_read); }
    std::optional<quint8> readByte() override
    {
        if (m_read >= m_input.size())
            return std::nullopt;
        return static_cast<quint8>(m_input[m_read++]);
    }
    qint64 outputQueueLength() const override { return 0; }
    void clearInput() override { m_read = m_input.size(); }
    void clearOutput() override {}
    bool carrierDetect() override { return false; }

    void deliver(const QByteArray &bytes)
    {
        m_input.append(bytes);
        emit bytesArrived();
    }

private:
    int m_port = 0;
    QString m_parameters;
    bool m_open = false;
    QByteArray m_input;
    qsizetype m_read = 0;
};

class ManualTicker final : public link::Ticker {
public:
    void start(int) override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    void fire()
    {
        if (m_active)
            emit tick();
    }

private:
    bool m_active = false;
};

class NullPump final : public platform::EventPump {
public:
    void processEvents(int maxWaitMs) override { m_now += maxWaitMs > 0 ? maxWaitMs : 1; }
    qint64 msecs() const override { return m_now; }

private:
    qint64 m_now = 0;
};

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    MemoryLine line;
    ManualTicker ticker;
    NullPump pump;
    link::Kalvenor control(line, ticker);
    sim::CentralUnit unit;

    QObject::connect(&control, &link::Kalvenor::Dimmer, [](qint16 outp, qint16 level) {
        Require(outp >= 0 && outp <= 255 && ((level >= 0 && level <= 100) || level == 255));
    });
    QObject::connect(&control, &link::Kalvenor::Relay,
                     [](qint16, qint16 state) { Require(state == 0 || state == 1); });
    QObject::connect(&control, &link::Kalvenor::Temperature, [](qint16, double value) {
        Require((value >= -40.0 && value < 80.0) || value == 255.0);
    });
    QObject::connect(&control, &link::Kalvenor::Light, [](qint16, double value) {
        Require(value >= 0.0 && value < 1e6);
    });
    Require(control.InitComm(1, 19200) == 0);

    // Each chunk: a control byte (low nibble + 1 = chunk length, bit 4 = tick after it),
    // then the chunk's bytes.
    qint64 now = 0;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t control_byte = data[i++];
        const std::size_t length = std::min<std::size_t>((control_byte & 15u) + 1u, size - i);
        const QByteArray chunk(reinterpret_cast<const char *>(data + i),
                               static_cast<qsizetype>(length));
        i += length;
        line.deliver(chunk);
        unit.receive(chunk, now);
        if (control_byte & 16u) {
            ticker.fire();
            now += sim::CentralUnit::FrameTimeoutMs;
            unit.advanceTo(now);
        }
        unit.takeOutput();
    }
    return 0;
}
