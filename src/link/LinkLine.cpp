#include "link/LinkLine.h"

#include "link/Frames.h"
#include "link/LinkTimings.h"
#include "link/SerialLine.h"
#include "link/TrafficTrace.h"
#include "platform/EventPump.h"

#include <algorithm>

namespace quintara::link {

LinkLine::LinkLine(SerialLine &line, const platform::EventPump &time) : m_line(line), m_time(time)
{
    m_failedConnection = QObject::connect(&m_line, &SerialLine::failed, &m_line, [this] {
        m_broken = true;
        m_brokeDuringTransfer = true;
    });
}

LinkLine::~LinkLine()
{
    QObject::disconnect(m_failedConnection);
}

qint64 LinkLine::now() const
{
    return m_time.msecs();
}

bool LinkLine::open(int portNumber, qint32 baudRate)
{
    m_broken = false;
    if (!m_line.setPortNumber(portNumber))
        return false;
    if (!m_line.setParameters(QStringLiteral("%1,n,8,1").arg(baudRate)))
        return false;
    return m_line.open();
}

void LinkLine::close()
{
    if (trace && m_line.isOpen()) {
        // Bytes nobody asked for are often the clue: they go into the trace before they go.
        step(QStringLiteral("discarded"));
        readWaiting();
    }
    m_line.close();
    m_kind = Kind::None;
}

bool LinkLine::isOpen() const
{
    return m_line.isOpen();
}

QString LinkLine::device() const
{
    return m_line.device();
}

QString LinkLine::portDescription(int portNumber) const
{
    const QString device =
        m_line.device().isEmpty() ? QStringLiteral("COM%1").arg(portNumber) : m_line.device();
    const QString reason = m_line.lastError();
    return reason.isEmpty() ? device : device + QStringLiteral(": ") + reason;
}

bool LinkLine::write(quint8 byte)
{
    if (!m_line.writeByte(byte)) {
        m_broken = true;
        m_brokeDuringTransfer = true;
        return false;
    }
    if (trace)
        trace->record(now(), TrafficTrace::Direction::Sent, byte);
    return true;
}

bool LinkLine::write(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (!write(static_cast<quint8>(c)))
            return false;
    }
    return true;
}

bool LinkLine::writeLine(const QString &text)
{
    return write(text.toLatin1()) && write(LinkByte::LineFeed) && write(LinkByte::CarriageReturn);
}

bool LinkLine::readByte(quint8 &byte)
{
    const auto read = m_line.readByte();
    if (!read)
        return false;
    byte = *read;
    if (trace)
        trace->record(now(), TrafficTrace::Direction::Received, byte);
    return true;
}

QByteArray LinkLine::readWaiting()
{
    QByteArray bytes;
    quint8 byte = 0;
    while (m_line.bytesWaiting() > 0 && readByte(byte))
        bytes.append(static_cast<char>(byte));
    return bytes;
}

bool LinkLine::strayInput() const
{
    return m_line.bytesWaiting() > 0;
}

void LinkLine::clear()
{
    if (trace && m_line.isOpen()) {
        step(QStringLiteral("discarded"));
        readWaiting();
    }
    m_line.clearQueues();
}

void LinkLine::step(const QString &name)
{
    if (trace)
        trace->setStep(name);
}

void LinkLine::pause(int ms)
{
    m_kind = Kind::Pause;
    m_deadline = now() + ms;
    m_timeoutCode = LinkCode::Ok;
}

void LinkLine::input(int ms)
{
    m_kind = Kind::Input;
    m_deadline = now() + ms;
    m_timeoutCode = LinkCode::InputTimedOut;
}

void LinkLine::byte(int ms, int timeoutCode)
{
    m_kind = Kind::Byte;
    m_deadline = now() + ms;
    m_timeoutCode = timeoutCode;
}

void LinkLine::sent(std::optional<int> ms)
{
    m_kind = Kind::Sent;
    m_deadline = ms ? std::optional<qint64>(now() + *ms) : m_transferDeadline;
    m_timeoutCode = LinkCode::TooLong;
}

void LinkLine::carrier(bool on, int ms, int timeoutCode)
{
    m_kind = on ? Kind::Carrier : Kind::NoCarrier;
    m_deadline = now() + ms;
    m_timeoutCode = timeoutCode;
}

void LinkLine::restartTransferTimer()
{
    m_transferDeadline = now() + Timing::TransferTimerMs;
}

std::optional<int> LinkLine::poll(bool stopRequested)
{
    if (m_kind == Kind::None)
        return std::nullopt;
    std::optional<int> ended;
    // A port that broke in the middle ends the state like any failed step.
    if (m_broken)
        ended = m_line.failureCode();
    else if (m_kind == Kind::Sent && m_deadline && now() >= *m_deadline)
        ended = LinkCode::TooLong;
    else if (stopRequested)
        ended = LinkCode::Stopped;
    else
        ended = pollWait();
    if (ended)
        m_kind = Kind::None;
    return ended;
}

std::optional<int> LinkLine::pollWait()
{
    const bool timeUp = m_deadline && now() >= *m_deadline;
    switch (m_kind) {
    case Kind::None:
        return std::nullopt;
    case Kind::Pause:
        return timeUp ? std::optional<int>(LinkCode::Ok) : std::nullopt;
    case Kind::Input:
    case Kind::Byte:
        if (timeUp)
            return m_timeoutCode;
        if (m_line.bytesWaiting() == 0)
            return std::nullopt;
        if (m_kind == Kind::Input)
            return LinkCode::Ok;
        return readByte(m_lastByte) ? LinkCode::Ok : m_timeoutCode;
    case Kind::Sent:
        return m_line.outputQueueLength() == 0 ? std::optional<int>(LinkCode::Ok) : std::nullopt;
    case Kind::Carrier:
    case Kind::NoCarrier:
        if (timeUp)
            return m_timeoutCode;
        return m_line.carrierDetect() == (m_kind == Kind::Carrier)
                   ? std::optional<int>(LinkCode::Ok)
                   : std::nullopt;
    }
    return std::nullopt;
}

int LinkLine::msUntilNextLook() const
{
    if (m_kind == Kind::None)
        return 0;
    if (!m_deadline)
        return Timing::AdvanceSliceMs;
    return static_cast<int>(std::clamp<qint64>(*m_deadline - now(), 1, Timing::AdvanceSliceMs));
}

} // namespace quintara::link
