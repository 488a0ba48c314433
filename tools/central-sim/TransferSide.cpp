#include "tools/central-sim/TransferSide.h"

#include <algorithm>

namespace quintara::sim {

namespace {

constexpr quint8 Escape = 240;
constexpr quint8 Ack = 192;
constexpr quint8 Nak = 224;
constexpr quint8 End = 96;
constexpr quint8 SendHeader = 160;    // the PC sends table n
constexpr quint8 ReceiveHeader = 128; // the PC receives table n
constexpr int BlockData = 15;
constexpr quint8 CarriageReturn = 13;

constexpr qint64 HandshakeTimeoutMs = 3000;
// Longer than the PC's pause between two header tries.
constexpr qint64 ConnectedTimeoutMs = 10000;
constexpr int MaxTextLine = 120;
constexpr int MaxModemLines = 100;

const QByteArray FirstAccessCode = "QZMRWTPX";
const QByteArray SecondAccessCode = "XPTWRMZQ";

quint8 Response(quint8 challenge, quint8 key)
{
    const int r = challenge ^ key;
    return static_cast<quint8>(r >= 128 ? (2 * r) % 256 : r);
}

} // namespace

TransferSide::TransferSide(QByteArray &output, quint32 seed) : m_output(output), m_random(seed | 1u)
{
}

void TransferSide::send(quint8 byte)
{
    m_output.append(static_cast<char>(byte));
}

void TransferSide::send(const QByteArray &bytes)
{
    m_output.append(bytes);
}

quint8 TransferSide::nextChallenge()
{
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return static_cast<quint8>(m_random >> 24);
}

void TransferSide::advanceTo(qint64 nowMs)
{
    const qint64 quiet = nowMs - m_lastByteMs;
    switch (m_state) {
    case State::Handshake:
        // The response follows the challenge at once; a retry's new handshake must not be
        // taken for it.
        if (quiet >= HandshakeTimeoutMs || (m_stage == 3 && quiet >= BlockTimeoutMs)) {
            m_state = State::Idle;
            m_stage = 0;
        }
        break;
    case State::Connected:
        if (quiet >= ConnectedTimeoutMs)
            m_state = State::Idle;
        break;
    case State::ReceiveBlocks:
    case State::AwaitStart:
    case State::Serving:
        if (quiet >= BlockTimeoutMs)
            m_state = State::Connected;
        break;
    case State::Closing:
        if (quiet >= SettleMs)
            closeTable();
        break;
    case State::Idle:
        break;
    }

    if (m_carrierOffAt >= 0 && nowMs >= m_carrierOffAt) {
        m_carrierOffAt = -1;
        m_online = false;
        m_carrierOnAt = nowMs + m_config.callBackMs;
    }
    if (m_carrierOnAt >= 0 && nowMs >= m_carrierOnAt) {
        m_carrierOnAt = -1;
        m_online = true;
        m_state = State::Idle;
        send(QByteArray("\r\nCONNECT\r\n"));
    }
}

bool TransferSide::receiveByte(quint8 byte, qint64 nowMs)
{
    advanceTo(nowMs);
    m_lastByteMs = nowMs;

    // An off-line modem takes every byte as command text.
    if (m_config.modem && !m_online) {
        modemText(byte, nowMs);
        return true;
    }
    // The modem in front of the unit hears the call-back code whatever the unit is doing.
    if (m_config.modem) {
        m_recent.append(static_cast<char>(byte));
        if (m_recent.size() > FirstAccessCode.size() + 1)
            m_recent.remove(0, 1);
        if (m_recent == FirstAccessCode + char(CarriageReturn))
            m_carrierOffAt = nowMs + m_config.hangUpMs;
    }
    switch (m_state) {
    case State::Idle:
        if (byte == Escape) {
            m_state = State::Handshake;
            m_stage = 0;
            m_group = QByteArray(1, static_cast<char>(byte));
            return true;
        }
        // Command lines and the call-back code arrive between frames; the frame protocol
        // ignores them.
        modemText(byte, nowMs);
        return false;
    case State::Handshake:
        handshakeByte(byte);
        return true;
    case State::Connected:
        connectedByte(byte);
        return true;
    case State::ReceiveBlocks:
        receiveBlockByte(byte);
        return true;
    case State::Closing:
        // What looked like the last block was not: the table is not kept.
        ++m_counters.badBlocks;
        send(Nak);
        m_building.clear();
        m_block.clear();
        m_state = State::ReceiveBlocks;
        return true;
    case State::AwaitStart:
        if (byte == Ack) {
            m_servePos = 0;
            m_serveBlockNumber = 0;
            if (faults.silentAt == SilentStep::Block) {
                m_state = State::Connected;
                return true;
            }
            m_state = State::Serving;
            serveBlock();
        } else {
            m_state = State::Connected;
            connectedByte(byte);
        }
        return true;
    case State::Serving:
        servingByte(byte);
        return true;
    }
    return true;
}

void TransferSide::handshakeByte(quint8 byte)
{
    if (m_stage == 3 && m_group.isEmpty()) {
        // The PC's response to the challenge.
        if (byte == Response(m_challenge, m_config.key)) {
            ++m_counters.handshakes;
            if (faults.silentAt != SilentStep::Init)
                send(Ack);
            m_state = State::Connected;
        } else {
            ++m_counters.refusals;
            if (faults.silentAt != SilentStep::Init)
                send(0);
            m_state = State::Idle;
        }
        m_stage = 0;
        return;
    }
    if (m_group.isEmpty()) {
        if (byte == Escape)
            m_group.append(static_cast<char>(byte));
        return;
    }
    m_group.append(static_cast<char>(byte));
    if (m_group.size() < 2)
        return;
    const auto kind = static_cast<quint8>(m_group.at(1));
    const bool accessCode = kind == 0 || kind == 255;
    if (m_group.size() < (accessCode ? 2 + 8 : 3))
        return;

    const QByteArray code = m_group.mid(2);
    m_group.clear();
    if (kind == 0) {
        m_stage = code == FirstAccessCode ? 1 : 0;
    } else if (kind == 255) {
        if (m_stage == 1 && code == SecondAccessCode) {
            m_stage = 2;
            if (faults.silentAt != SilentStep::AccessCode)
                send(m_config.name);
        } else {
            m_stage = 0;
        }
    } else if (m_stage == 2) {
        // The PC names its model and version; the unit answers with its own.
        m_challenge = nextChallenge();
        m_stage = 3;
        if (faults.silentAt != SilentStep::Identification) {
            send(m_config.identification);
            send(m_config.identification);
            send(m_config.version);
            send(m_config.minorVersion);
            send(0);
            send(m_challenge);
        }
    }
}

void TransferSide::connectedByte(quint8 byte)
{
    if (byte == Escape) {
        m_state = State::Handshake;
        m_stage = 0;
        m_group = QByteArray(1, static_cast<char>(byte));
        return;
    }
    if (byte == End) {
        ++m_counters.endings;
        m_state = State::Idle;
        if (faults.silentAt != SilentStep::Ending)
            send(faults.wrongEnding ? Nak : End);
        return;
    }
    const bool sendHeader = byte >= SendHeader && byte < SendHeader + TableCount;
    const bool receiveHeader = byte >= ReceiveHeader && byte < ReceiveHeader + TableCount;
    if (!sendHeader && !receiveHeader)
        return;
    ++m_counters.headers;
    if (faults.silentAt == SilentStep::Header)
        return;
    if (faults.wrongHeaderEcho) {
        send(static_cast<quint8>(byte + 1));
        return;
    }
    send(byte);
    m_table = byte - (sendHeader ? SendHeader : ReceiveHeader);
    if (sendHeader) {
        m_building.clear();
        m_block.clear();
        m_blockNumber = 0;
        m_state = State::ReceiveBlocks;
    } else {
        m_state = State::AwaitStart;
    }
}

void TransferSide::receiveBlockByte(quint8 byte)
{
    m_block.append(static_cast<char>(byte));
    const int count = static_cast<quint8>(m_block.at(0)) & 15;
    if (m_block.size() < count + 2)
        return;
    unsigned sum = 0;
    for (int i = 0; i < count + 1; ++i)
        sum += static_cast<quint8>(m_block.at(i));
    // A block out of turn is as bad as one with a wrong checksum.
    const bool good = (sum & 255u) == static_cast<quint8>(m_block.at(count + 1)) &&
                      static_cast<quint8>(m_block.at(0)) >> 4 == m_blockNumber % 16;
    const bool closing = count == 0 && !m_building.isEmpty() && m_building.size() % BlockData == 0;
    const QByteArray data = m_block.mid(1, count);
    m_block.clear();
    if (!good) {
        ++m_counters.badBlocks;
        send(Nak);
        return;
    }
    // No table of the unit is longer than its memory area; a sender that goes on is refused.
    if (m_building.size() + data.size() > MaxTableSize) {
        send(Nak);
        m_state = State::Connected;
        return;
    }
    m_building.append(data);
    ++m_blockNumber;
    if (count < BlockData) {
        // Kept only when the line stays quiet after it: more bytes would mean that its header
        // was lost and data bytes stood in for a last block.
        m_closingEmpty = closing;
        m_state = State::Closing;
        return;
    }
    answerBlock(false);
}

void TransferSide::answerBlock(bool closing)
{
    const SilentStep silent = closing ? SilentStep::EmptyBlock : SilentStep::Block;
    if (faults.silentAt != silent)
        send(faults.nak || (closing && faults.nakClosingBlock) ? Nak : Ack);
}

void TransferSide::closeTable()
{
    answerBlock(m_closingEmpty);
    if (faults.corruptStoreAt && !m_building.isEmpty()) {
        const qsizetype at = *faults.corruptStoreAt % m_building.size();
        m_building[at] = static_cast<char>(static_cast<quint8>(m_building.at(at)) + 1);
        faults.corruptStoreAt.reset();
    }
    tables[static_cast<std::size_t>(m_table)] = m_building;
    ++m_counters.tablesReceived;
    m_state = State::Connected;
}

void TransferSide::serveBlock()
{
    const QByteArray &table = tables[static_cast<std::size_t>(m_table)];
    // The console may have shortened the table while it was being served.
    const int count =
        faults.endlessTable ? BlockData : std::clamp<int>(table.size() - m_servePos, 0, BlockData);
    const auto header = static_cast<quint8>(16 * (m_serveBlockNumber % 16) + count);
    unsigned sum = header;
    send(header);
    for (int i = 0; i < count; ++i) {
        const auto byte = faults.endlessTable ? static_cast<quint8>(i + 1)
                                              : static_cast<quint8>(table.at(m_servePos + i));
        sum += byte;
        send(byte);
    }
    if (faults.corruptBlockChecksum)
        ++sum;
    send(static_cast<quint8>(sum & 255u));
    if (!faults.endlessTable)
        m_servePos += count;
    ++m_serveBlockNumber;
    m_lastServedCount = count;
}

void TransferSide::servingByte(quint8 byte)
{
    if (byte == Ack) {
        if (m_lastServedCount < BlockData) {
            ++m_counters.tablesServed;
            m_state = State::Connected;
        } else {
            serveBlock();
        }
        return;
    }
    m_state = State::Connected;
    if (byte != Nak)
        connectedByte(byte);
}

void TransferSide::modemText(quint8 byte, qint64 nowMs)
{
    if (byte == CarriageReturn) {
        const QByteArray line = m_text;
        m_text.clear();
        modemLine(line, nowMs);
        return;
    }
    if (byte < 32 || byte > 126) {
        if (byte != 10)
            m_text.clear();
        return;
    }
    if (m_text.size() < MaxTextLine)
        m_text.append(static_cast<char>(byte));
}

void TransferSide::modemLine(const QByteArray &line, qint64 nowMs)
{
    if (line.isEmpty())
        return;
    if (!line.toUpper().startsWith("AT"))
        return;
    if (m_modemLines.size() >= MaxModemLines)
        m_modemLines.removeFirst();
    m_modemLines.append(QString::fromLatin1(line));
    if (faults.modemSilent)
        return;
    if (m_config.modem && !m_online && line.toUpper().startsWith("ATDT")) {
        m_carrierOnAt = nowMs + m_config.dialMs;
        return;
    }
    send(QByteArray("\r\nOK\r\n"));
}

} // namespace quintara::sim
