#include "tools/central-sim/CentralUnit.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace quintara::sim {

namespace {

constexpr quint8 FrameStart = 2;
constexpr quint8 MsgSet = 1;
constexpr quint8 MsgGet = 2;
constexpr quint8 ReportKey = 4;
constexpr quint8 ReportSensor = 6;
constexpr quint8 ReportState = 8;

constexpr quint8 KindRelay = 1;
constexpr quint8 KindDimmer = 2;
constexpr quint8 KindLocalMood = 8;
constexpr quint8 KindTimedLocalMood = 9;
constexpr quint8 KindGeneralMood = 10;
constexpr quint8 KindTouchPanelKey = 52;

// "All" in a get, "toggle / recall" in a set.
constexpr quint8 Special = 255;
constexpr quint8 SpecialDimmerRaw = 3;

struct Range {
    int low;
    int high;
    bool contains(int v) const { return v >= low && v <= high; }
};

// The numbers a kind has in this unit; kinds not listed accept any number.
std::optional<Range> NumbersOf(quint8 kind)
{
    switch (kind) {
    case KindRelay:
        return Range{1, 144};
    case KindDimmer:
        return Range{1, 120};
    case KindLocalMood:
        return Range{0, 99};
    case KindTimedLocalMood:
        return Range{0, 9};
    case KindGeneralMood:
        return Range{0, 19};
    case KindTouchPanelKey:
        return Range{0, 100};
    default:
        return std::nullopt;
    }
}

} // namespace

void CentralUnit::receive(QByteArrayView bytes, qint64 nowMs)
{
    advanceTo(nowMs);
    for (char sent : bytes) {
        for (char c : lineIn.apply(QByteArrayView(&sent, 1))) {
            const auto byte = static_cast<quint8>(c);
            if (m_receiving || !m_transfer.receiveByte(byte, nowMs))
                receiveByte(byte);
        }
        // Line faults at the n-th byte count from each connection, so every attempt meets them.
        if (m_transfer.counters().handshakes != m_handshakesSeen) {
            m_handshakesSeen = m_transfer.counters().handshakes;
            lineIn.restart();
            m_outputRestartAt = m_output.size();
        }
    }
    if (!bytes.isEmpty())
        m_lastByteMs = nowMs;
}

void CentralUnit::advanceTo(qint64 nowMs)
{
    m_transfer.advanceTo(nowMs);
    if (m_receiving && nowMs - m_lastByteMs >= FrameTimeoutMs) {
        m_receiving = false;
        m_received = 0;
        ++m_counters.droppedFrames;
    }
}

QByteArray CentralUnit::takeOutput()
{
    QByteArray out;
    out.swap(m_output);
    if (faults.silence)
        return {};
    if (m_outputRestartAt < 0)
        return lineOut.apply(out);
    // The handshake's last byte still belongs to the connection before the count restarts.
    const qsizetype split = std::min(m_outputRestartAt, out.size());
    m_outputRestartAt = -1;
    QByteArray damaged = lineOut.apply(QByteArrayView(out).first(split));
    lineOut.restart();
    return damaged + lineOut.apply(QByteArrayView(out).sliced(split));
}

quint8 CentralUnit::state(quint8 kind, quint8 number) const
{
    return m_states.value(key(kind, number), 0);
}

void CentralUnit::setState(quint8 kind, quint8 number, quint8 value)
{
    m_states.insert(key(kind, number), value);
}

void CentralUnit::receiveByte(quint8 byte)
{
    if (!m_receiving) {
        if (byte == FrameStart) {
            m_receiving = true;
            m_frame[0] = byte;
            m_received = 1;
        }
        return;
    }
    m_frame[static_cast<std::size_t>(m_received++)] = byte;
    // The length byte (at most 255) completes every frame by byte 256, the buffer's size.
    if (m_received > 2 && m_received > m_frame[1]) {
        const int size = m_received;
        m_receiving = false;
        m_received = 0;
        handleFrame(size);
    }
}

void CentralUnit::handleFrame(int size)
{
    ++m_counters.frames;
    unsigned sum = 0;
    for (int i = 0; i < size - 1; ++i)
        sum += m_frame[static_cast<std::size_t>(i)];
    if ((sum & 255u) != m_frame[static_cast<std::size_t>(size - 1)]) {
        ++m_counters.badChecksums;
        sendStatus(StatusBadChecksum);
        return;
    }
    handleMessage(m_frame.data() + 2, size - 3);
}

void CentralUnit::handleMessage(const quint8 *data, int count)
{
    if (count < 1) {
        sendStatus(StatusBadLength);
        return;
    }
    switch (data[0]) {
    case MsgSet:
        if (count != 4) {
            sendStatus(StatusBadLength);
            return;
        }
        sendStatus(handleSet(data[1], data[2], data[3]));
        return;
    case MsgGet:
        if (count != 3) {
            sendStatus(StatusBadLength);
            return;
        }
        handleGet(data[1], data[2]);
        return;
    default:
        sendStatus(StatusBadCommand);
        return;
    }
}

quint8 CentralUnit::handleSet(quint8 kind, quint8 number, quint8 value)
{
    if (const auto numbers = NumbersOf(kind); numbers && !numbers->contains(number))
        return StatusLoadNotAvailable;

    switch (kind) {
    case KindRelay:
        if (value == Special)
            value = state(kind, number) != 0 ? 0 : 1;
        else if (value > 1)
            return StatusLevelOutOfRange;
        break;
    case KindDimmer:
        // Percentages on the way in, raw levels inside and in reports.
        // The special level is held as raw 3, which the PC reads back as 255.
        if (value == Special)
            value = SpecialDimmerRaw;
        else if (value > 100)
            return StatusLevelOutOfRange;
        else
            value = static_cast<quint8>(value * 255 / 100);
        break;
    case KindLocalMood:
    case KindTimedLocalMood:
    case KindGeneralMood:
        if (value == Special)
            value = 1;
        else if (value > 1)
            return StatusLevelOutOfRange;
        break;
    case KindTouchPanelKey:
        // A key press is an action, not a state.
        return value >= 1 && value <= 8 ? StatusOk : StatusLevelOutOfRange;
    default:
        break;
    }
    setState(kind, number, value);
    return StatusOk;
}

void CentralUnit::handleGet(quint8 kind, quint8 number)
{
    const auto numbers = NumbersOf(kind);
    if (number != Special && numbers && !numbers->contains(number)) {
        sendStatus(StatusLoadNotAvailable);
        return;
    }
    sendStatus(StatusOk);
    if (number != Special) {
        sendStateReport(kind, number);
        return;
    }
    QList<int> known;
    for (auto it = m_states.cbegin(); it != m_states.cend(); ++it) {
        if (it.key() / 256 == kind)
            known.append(it.key() % 256);
    }
    std::sort(known.begin(), known.end());
    for (int n : known)
        sendStateReport(kind, static_cast<quint8>(n));
}

void CentralUnit::sendStatus(quint8 code)
{
    const char data[] = {static_cast<char>(code)};
    sendFrame(QByteArrayView(data, 1));
}

void CentralUnit::sendKeyReport(quint8 panel, quint8 key, quint8 extra)
{
    const char data[] = {static_cast<char>(ReportKey), static_cast<char>(panel),
                         static_cast<char>(key), static_cast<char>(extra)};
    sendFrame(QByteArrayView(data, 4));
}

void CentralUnit::sendSensorReport(quint8 kind, quint8 number, quint8 raw)
{
    const char data[] = {static_cast<char>(ReportSensor), static_cast<char>(kind),
                         static_cast<char>(number), static_cast<char>(raw)};
    sendFrame(QByteArrayView(data, 4));
}

void CentralUnit::sendStateReport(quint8 kind, quint8 number)
{
    const char data[] = {static_cast<char>(ReportState), static_cast<char>(kind),
                         static_cast<char>(number), static_cast<char>(state(kind, number))};
    sendFrame(QByteArrayView(data, 4));
}

void CentralUnit::sendFrame(QByteArrayView data)
{
    if (faults.silence || data.size() > 253)
        return;
    if (faults.noise) {
        const int count = 1 + static_cast<int>(nextNoiseByte() % 4);
        for (int i = 0; i < count; ++i)
            m_output.append(static_cast<char>(nextNoiseByte()));
    }
    const auto length = static_cast<quint8>(data.size() + 2);
    unsigned sum = FrameStart + length;
    m_output.append(static_cast<char>(FrameStart));
    m_output.append(static_cast<char>(length));
    for (char c : data) {
        m_output.append(c);
        sum += static_cast<quint8>(c);
    }
    if (faults.corruptChecksum)
        ++sum;
    m_output.append(static_cast<char>(sum & 255u));
}

void CentralUnit::sendRaw(QByteArrayView bytes)
{
    if (!faults.silence)
        m_output.append(bytes);
}

quint8 CentralUnit::nextNoiseByte()
{
    // xorshift32: reproducible noise for a given seed.
    quint8 byte = FrameStart;
    while (byte == FrameStart) {
        m_noiseState ^= m_noiseState << 13;
        m_noiseState ^= m_noiseState >> 17;
        m_noiseState ^= m_noiseState << 5;
        byte = static_cast<quint8>(m_noiseState >> 24);
    }
    return byte;
}

} // namespace quintara::sim
